// What the board tells the window that holds it, for its status bar: the outcome of each
// action in plain words, whose board it is, whether the database answers, and how many
// opportunities the list shows with their total amount.
#include "frmKLD251.h"

#include "controles/listmodel.h"
#include "controles/listview.h"
#include "runtime/screenstatus.h"
#include "servicios/resumenestados.h"

#include "runtime/regional.h"

#include <QTime>
#include <QTimer>

#include <array>
#include <charconv>

using Parte = Runtime::ScreenStatus::Part;

namespace {

// An amount exactly as the list writes one ("-$1,234.50": sign, "$", digits grouped by
// threes, two decimals), read in a few nanoseconds; any other text goes to the general
// reader, whose patterns cost a microsecond a cell, too much for every reload of a long list.
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

// The list's contents are summed once after a burst of changes (a reload resets the model
// and then recolours it), not once per signal.
void frmKLD251::creaEstado()
{
    m_estado = new Runtime::ScreenStatus(this);
    auto *resumen = new QTimer(this);
    resumen->setSingleShot(true);
    resumen->setInterval(0);
    connect(resumen, &QTimer::timeout, this, &frmKLD251::anunciaContenido);
    const auto programa = [resumen] { resumen->start(); };
    const Kit::ListModel *modelo = &lvOrdenes->listModel();
    connect(modelo, &QAbstractItemModel::modelReset, resumen, programa);
    connect(modelo, &QAbstractItemModel::rowsInserted, resumen, programa);
    connect(modelo, &QAbstractItemModel::rowsRemoved, resumen, programa);
    // Recolouring changes no amount; new texts do.
    connect(modelo, &QAbstractItemModel::dataChanged, resumen,
            [programa](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
                    programa();
            });
}

void frmKLD251::anuncia(const QString &resultado)
{
    m_estado->set(Parte::Action, resultado);
}

void frmKLD251::anunciaVendedor()
{
    m_estado->set(Parte::User, CveVendedor);
}

// The first failure of the database's probe is the moment the connection was lost; the
// board keeps probing on every tick, so the first success ends it.
void frmKLD251::anunciaConexion(bool responde)
{
    if (responde) {
        m_sinConexionDesde.reset();
        m_estado->set(Parte::Connection, QString());
        return;
    }
    if (!m_sinConexionDesde)
        m_sinConexionDesde = QTime::currentTime();
    m_estado->set(Parte::Connection, QStringLiteral("Sin conexión desde las %1, reintentando")
                                         .arg(m_sinConexionDesde->toString(QStringLiteral("HH:mm"))));
}

void frmKLD251::anunciaContenido()
{
    const int cuantas = lvOrdenes->columnCount() > 1 ? lvOrdenes->itemCount() : 0;
    QString texto = cuantas == 1 ? QStringLiteral("1 oportunidad") : QStringLiteral("%1 oportunidades").arg(cuantas);
    if (const std::optional<double> total = totalDeMontos())
        texto += QStringLiteral(" · %1 en total").arg(Runtime::formatAmount(*total));
    m_estado->set(Parte::Contents, texto);
}

// The sum of the "Monto" column as the list shows it; nothing when the list has no such
// column or no amount in it.
std::optional<double> frmKLD251::totalDeMontos() const
{
    const Kit::ListModel &modelo = lvOrdenes->listModel();
    const int columna = Servicios::columnaTitulada(modelo.headers(), QStringLiteral("Monto"));
    if (columna <= 0) // the first column holds the folio
        return std::nullopt;
    double total = 0;
    bool alguno = false;
    for (int renglon = 0; renglon < modelo.size(); ++renglon) {
        if (columna >= modelo.textCount(renglon))
            continue;
        if (const std::optional<double> monto = leeMontoDeLista(modelo.text(renglon, columna))) {
            total += *monto;
            alguno = true;
        }
    }
    return alguno ? std::optional<double>(total) : std::nullopt;
}
