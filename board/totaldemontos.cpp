#include "totaldemontos.h"

#include "controles/listmodel.h"
#include "controles/texttable.h"
#include "runtime/regional.h"
#include "servicios/lecturalista.h"
#include "servicios/resumenestados.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>
#include <utility>

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

// Below this many rows the amounts are read at once: a reading costs less than a thread.
constexpr int renglonesLeidosAqui = 50'000;

// A cell the list marked as a text is left out even when the text reads as an amount; so is
// any other filled cell that does not read as one.
void leeCelda(const QString &texto, double &monto, char &fuera)
{
    monto = texto.startsWith(Servicios::marcaDeMontoNoNumerico) ? sinMonto : leeMontoDeLista(texto).value_or(sinMonto);
    fuera = std::isnan(monto) && !texto.isEmpty() ? 1 : 0;
}

TotalDeMontos::Montos leeColumna(const Kit::TextTable &tabla, int columna, int generacion)
{
    TotalDeMontos::Montos leidos;
    leidos.generacion = generacion;
    leidos.montos.resize(size_t(tabla.rowCount()));
    leidos.fuera.resize(leidos.montos.size());
    for (int renglon = 0; renglon < tabla.rowCount(); ++renglon)
        leeCelda(tabla.text(renglon, columna), leidos.montos[size_t(renglon)], leidos.fuera[size_t(renglon)]);
    return leidos;
}

} // namespace

TotalDeMontos::TotalDeMontos(const Kit::ListModel &modelo, QObject *parent)
    : QObject(parent)
    , m_modelo(modelo)
{
    m_aviso.setSingleShot(true);
    m_aviso.setInterval(0);
    m_hilo.setMaxThreadCount(1);
    connect(&m_aviso, &QTimer::timeout, this, [this] {
        if (m_releerTodo)
            releeTodo();
        Q_EMIT cambio();
    });
    connect(&m_lectura, &QFutureWatcher<std::shared_ptr<Montos>>::finished, this, [this] {
        if (m_lectura.future().resultCount() > 0)
            adopta(std::move(*m_lectura.result()));
    });
    const auto releerTodo = [this] {
        m_releerTodo = true;
        m_aviso.start();
    };
    connect(&modelo, &QAbstractItemModel::modelReset, this, releerTodo);
    connect(&modelo, &QAbstractItemModel::headerDataChanged, this, releerTodo);
    // Only new texts change amounts: recolouring, sorting and the window's filter do not. The
    // rows are the table's, shown or not.
    connect(&modelo, &Kit::ListModel::textsChanged, this, [this](const QList<int> &renglones) {
        if (m_leyendo)
            m_cambiadosMientras << renglones;
        else if (!m_releerTodo)
            releeRenglones(renglones);
        m_aviso.start();
    });
}

TotalDeMontos::~TotalDeMontos()
{
    m_lectura.waitForFinished();
}

// A reading still going on is left to end unheard.
void TotalDeMontos::releeTodo()
{
    m_releerTodo = false;
    m_columna = Servicios::columnaTitulada(m_modelo.headers(), QStringLiteral("Monto"));
    m_leidos = {};
    m_leyendo = false;
    m_cambiadosMientras.clear();
    const std::shared_ptr<const Kit::TextTable> tabla = m_modelo.table();
    if (m_columna <= 0 || !tabla) // the first column holds the folio
        return;
    ++m_generacion;
    if (tabla->rowCount() < renglonesLeidosAqui) {
        m_leidos = leeColumna(*tabla, m_columna, m_generacion);
        return;
    }
    m_leyendo = true;
    m_lectura.setFuture(QtConcurrent::run(&m_hilo, [tabla, columna = m_columna, generacion = m_generacion] {
        return std::make_shared<Montos>(leeColumna(*tabla, columna, generacion));
    }));
}

// What the thread read is the rows as they were; those changed since are read again here.
void TotalDeMontos::adopta(Montos leidos)
{
    if (!m_leyendo || leidos.generacion != m_generacion)
        return;
    m_leyendo = false;
    m_leidos = std::move(leidos);
    releeRenglones(std::exchange(m_cambiadosMientras, {}));
    Q_EMIT cambio();
}

// These rows of the table read again; a row read for the first time means a new set of rows,
// read whole.
void TotalDeMontos::releeRenglones(const QList<int> &renglones)
{
    if (m_columna <= 0)
        return;
    for (const int renglon : renglones) {
        if (size_t(renglon) >= m_leidos.montos.size()) {
            m_releerTodo = true;
            m_aviso.start();
            return;
        }
        leeCelda(m_modelo.table()->text(renglon, m_columna), m_leidos.montos[size_t(renglon)],
                 m_leidos.fuera[size_t(renglon)]);
    }
}

std::optional<double> TotalDeMontos::total() const
{
    double suma = 0;
    bool alguno = false;
    for (const double monto : m_leidos.montos) {
        if (!std::isnan(monto)) {
            suma += monto;
            alguno = true;
        }
    }
    return alguno ? std::optional<double>(suma) : std::nullopt;
}

int TotalDeMontos::fueraDelTotal() const
{
    return int(std::count(m_leidos.fuera.cbegin(), m_leidos.fuera.cend(), 1));
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
