#include "totaldemontos.h"

#include "controles/listmodel.h"
#include "controles/texttable.h"
#include "runtime/regional.h"
#include "servicios/lecturalista.h"
#include "servicios/resumenestados.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

constexpr double sinMonto = std::numeric_limits<double>::quiet_NaN();

// An amount exactly as the list writes one ("-$1,234.50": sign, "$", digits grouped by
// threes, two decimals), read in a few nanoseconds; any other text goes to the general
// reader, whose patterns cost a microsecond a cell.
std::optional<double> leeMontoDeLista(const QString &texto)
{
    if (texto.size() < 5 || texto.size() > 30) // "$0.00" at least
        return texto.isEmpty() ? std::nullopt : Servicios::leeMonto(texto);
    const bool negativo = texto.startsWith(u'-');
    const QStringView cifras = QStringView(texto).sliced(negativo ? 2 : 1);
    const bool forma = texto.at(negativo ? 1 : 0) == u'$' && cifras.size() >= 4 && cifras.at(cifras.size() - 3) == u'.';
    std::array<char, 32> digitos{};
    size_t largo = 0;
    if (negativo)
        digitos[largo++] = '-';
    const qsizetype enteros = cifras.size() - 3;
    for (qsizetype i = 0; forma && i < cifras.size(); ++i) {
        const QChar c = cifras.at(i);
        const bool separador = i > 0 && i < enteros && (enteros - i) % 4 == 0;
        if (i == enteros)
            digitos[largo++] = '.';
        else if (separador ? c != u',' : !c.isDigit() || c.unicode() > u'9')
            return Servicios::leeMonto(texto);
        else if (!separador)
            digitos[largo++] = char(c.unicode());
    }
    double valor = 0;
    if (!forma || std::from_chars(digitos.data(), digitos.data() + largo, valor).ec != std::errc())
        return Servicios::leeMonto(texto);
    return valor;
}

} // namespace

TotalDeMontos::TotalDeMontos(const Kit::ListModel &modelo, QObject *parent)
    : QObject(parent)
    , m_modelo(modelo)
{
    m_aviso.setSingleShot(true);
    m_aviso.setInterval(0);
    connect(&m_aviso, &QTimer::timeout, this, [this] {
        if (m_releerTodo)
            releeTodo();
        Q_EMIT cambio();
    });
    const auto releerTodo = [this] {
        m_releerTodo = true;
        m_aviso.start();
    };
    connect(&modelo, &QAbstractItemModel::modelReset, this, releerTodo);
    connect(&modelo, &QAbstractItemModel::rowsInserted, this, releerTodo);
    connect(&modelo, &QAbstractItemModel::rowsRemoved, this, releerTodo);
    connect(&modelo, &QAbstractItemModel::headerDataChanged, this, releerTodo);
    // Recolouring changes no amount; new texts do.
    connect(&modelo, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &desde, const QModelIndex &hasta, const QList<int> &papeles) {
                if (!papeles.isEmpty() && !papeles.contains(Qt::DisplayRole))
                    return;
                if (!m_releerTodo)
                    releeRenglones(desde.row(), hasta.row());
                m_aviso.start();
            });
}

void TotalDeMontos::releeTodo()
{
    m_releerTodo = false;
    m_columna = Servicios::columnaTitulada(m_modelo.headers(), QStringLiteral("Monto"));
    const int renglones = m_modelo.table() ? m_modelo.table()->rowCount() : 0;
    m_montos.assign(m_columna > 0 ? size_t(renglones) : 0, sinMonto); // the first column holds the folio
    m_fuera.assign(m_montos.size(), 0);
    for (size_t renglon = 0; renglon < m_montos.size(); ++renglon)
        leeRenglon(int(renglon));
}

// The rows at these places shown read again; a row the table does not hold yet means a new
// set of rows, read whole.
void TotalDeMontos::releeRenglones(int primero, int ultimo)
{
    if (m_columna <= 0)
        return;
    for (int lugar = primero; lugar <= ultimo && !m_releerTodo; ++lugar) {
        const size_t renglon = size_t(m_modelo.rowAt(lugar));
        if (renglon >= m_montos.size())
            m_releerTodo = true;
        else
            leeRenglon(int(renglon));
    }
}

// A cell the list marked as a text is left out even when the text reads as an amount; so is
// any other filled cell that does not read as one.
void TotalDeMontos::leeRenglon(int renglonDeLaTabla)
{
    const QString &texto = m_modelo.table()->text(renglonDeLaTabla, m_columna);
    const double monto = texto.startsWith(Servicios::marcaDeMontoNoNumerico)
                             ? sinMonto
                             : leeMontoDeLista(texto).value_or(sinMonto);
    m_montos[size_t(renglonDeLaTabla)] = monto;
    m_fuera[size_t(renglonDeLaTabla)] = std::isnan(monto) && !texto.isEmpty() ? 1 : 0;
}

std::optional<double> TotalDeMontos::total() const
{
    double suma = 0;
    bool alguno = false;
    for (const double monto : m_montos) {
        if (!std::isnan(monto)) {
            suma += monto;
            alguno = true;
        }
    }
    return alguno ? std::optional<double>(suma) : std::nullopt;
}

int TotalDeMontos::fueraDelTotal() const
{
    return int(std::count(m_fuera.cbegin(), m_fuera.cend(), 1));
}

QString TotalDeMontos::enPalabras() const
{
    QString texto;
    if (const std::optional<double> suma = total())
        texto = QStringLiteral(" · %1 en total").arg(Runtime::formatAmount(*suma));
    if (const int fuera = fueraDelTotal(); fuera > 0)
        texto += fuera == 1 ? QStringLiteral(" (1 monto no numérico fuera del total)")
                            : QStringLiteral(" (%1 montos no numéricos fuera del total)").arg(fuera);
    return texto;
}
