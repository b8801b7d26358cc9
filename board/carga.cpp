// Loading the list: the view's stored query with the salesperson's filter, the rows
// coloured by state, the previous selection restored, the count shown.
#include "frmKLD251.h"

#include "atrapa.h"
#include "publico.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "controles/cbzel.h"
#include "controles/listmodel.h"
#include "controles/listview.h"
#include "runtime/busycursor.h"
#include "runtime/conversions.h"
#include "runtime/error.h"
#include "runtime/log.h"
#include "servicios/menulista.h"

#include <QLabel>
#include <QScrollBar>

namespace {

const QString marcador = QStringLiteral("{PARAMETROS}");

// The condition that takes the place of {PARAMETROS}, by the salesperson's level; none for
// a level other than 1, 2 or 3.
std::optional<QString> filtroPorNivel(qint16 nivel, const QString &vendedor)
{
    switch (nivel) {
    case 1: return QStringLiteral(" (Vendedor.Vn_Cve_Vendedor = '") + Ado::quoted(vendedor) + QStringLiteral("') ");
    case 2: return QStringLiteral(" (Vendedor.Vn_Nivel = '") + QString::number(nivel) + QStringLiteral("') ");
    case 3: return QStringLiteral(" (1 = 1) ");
    default: return std::nullopt;
    }
}

// Each view keeps the user's own layout of the list (widths, column order, sort) in the
// module's settings, under its name and stored query as the views variable writes them.
QString claveDeDisposicion(const QString &nombre, const QString &consulta)
{
    return Publico::Modulo + QStringLiteral("/lvOrdenes/") + nombre + QLatin1Char('|') + consulta;
}

} // namespace

// A reload asked for while one is running (a tick of the timer during one of its message
// boxes) is skipped: the running one will show the current rows. A reading in progress off
// the user-interface thread is dropped: this one is newer.
void frmKLD251::Carga_Oportunidades()
{
    if (m_cargando)
        return;
    descartaLecturas();
    comoRecarga([this] { cargaOportunidades(); }, Recarga::Pedida);
}

// A reload's work: nothing nests in it, a colouring failure is reported once in it, and any
// other failure as the loader's.
void frmKLD251::comoRecarga(const std::function<void()> &cuerpo, Recarga recarga)
{
    m_cargando = true;
    m_recargaActual = recarga;
    m_fallasDeColorReportadas.clear();
    try {
        cuerpo();
    } catch (...) {
        reportaFallaDeRecarga(std::current_exception());
    }
    m_cargando = false;
}

// While the database stays down every automatic reload fails the same way: the user is told
// once, and the rest are only logged until a reload succeeds. A reload the user asked for
// always says why it failed.
bool frmKLD251::hayQueAvisar(const QString &motivo)
{
    if (m_recargaActual == Recarga::Automatica && m_fallaDeRecargaMostrada == motivo)
        return false;
    m_fallaDeRecargaMostrada = motivo;
    return true;
}

void frmKLD251::reportaFallaDeRecarga(std::exception_ptr falla)
{
    if (!hayQueAvisar(Runtime::toRuntimeError(falla).description())) {
        Runtime::logRepeatedFailure("Carga_Oportunidades", falla);
        return;
    }
    Publico::ReportaFalla(this, QStringLiteral("Carga_Oportunidades()"), QStringLiteral("ERR-ID:7500017"), falla);
}

void frmKLD251::cargaOportunidades()
{
    const std::optional<QString> consulta = consultaDeLaVista();
    if (!consulta)
        return;
    const QString seleccionado = folioSeleccionado();
    const int desplazamiento = lvOrdenes->verticalScrollBar()->value();
    const std::optional<QString> ficha = fichaDeCambios();
    const auto inicio = m_reloj();
    bool llena = false;
    {
        const Runtime::BusyCursor ocupado;
        llena = Publico::Funciones->LlenaLista(*consulta, *lvOrdenes, -1);
    }
    if (llena) {
        coloreaRenglones();
        restauraPosicion(seleccionado, desplazamiento);
        m_fallaDeRecargaMostrada.reset();
    } else {
        m_fallaDeRecargaMostrada = Publico::Funciones->UltimaFalla(); // the library has shown it
    }
    marcaLeida(llena ? ficha : std::nullopt, inicio);
    actualizaCuenta();
}

// The view's stored query with the salesperson's filter in place of {PARAMETROS}; none when
// there is nothing to load (no salesperson yet, no view, a salesperson of no known level)
// or the stored query is missing, which is said.
std::optional<QString> frmKLD251::consultaDeLaVista()
{
    if (CveVendedor.isEmpty())
        return std::nullopt;
    const qint16 indice = cboVistas->Indice();
    if (indice < 0 || cboVistas->NumElementos() < 1 || indice > ConsultasVista.size() - 1)
        return std::nullopt;
    const QString clave = ConsultasVista.at(indice);
    const QString nombre = indice < NombresVista.size() ? NombresVista.at(indice) : QString();
    lvOrdenes->setLayoutKey(claveDeDisposicion(nombre, clave));
    lvOrdenes->setProperty(Servicios::PropiedadNombreDeVista, nombre); // the export names its file after it
    Publico::TextoSql = Publico::Funciones->LeeConsulta(clave);
    if (Publico::TextoSql.trimmed().isEmpty()) {
        avisaConsultaFaltante(clave);
        return std::nullopt;
    }
    const QString nivel = Publico::Funciones->BuscaCampo(QStringLiteral("Vendedor"), QStringLiteral("VN_CVE_VENDEDOR"),
                                                         CveVendedor, QStringLiteral("Vn_Nivel"), 0, QString(),
                                                         QString(), QString());
    if (nivel.isEmpty())
        return std::nullopt;
    const std::optional<QString> filtro = filtroPorNivel(Runtime::toInteger16(nivel), CveVendedor);
    if (!filtro)
        return std::nullopt;
    Publico::TextoSql.replace(marcador, *filtro);
    return Publico::TextoSql;
}

// The rows of another view must not pass for this one's, so the list is emptied; the
// message follows the rule of any reload failure.
void frmKLD251::avisaConsultaFaltante(const QString &clave)
{
    lvOrdenes->replaceContents({}, {});
    actualizaCuenta();
    const QString aviso = QStringLiteral("No existe la consulta '") + clave + QStringLiteral("'");
    if (!hayQueAvisar(aviso))
        return;
    Publico::Mensaje(aviso, Servicios::Estilo::Critico, QStringLiteral("Carga_Oportunidades()"), this, Publico::Modulo,
                     QStringLiteral("ERR-ID:7500016"));
}

// The previously selected folio is selected again, and the view scrolled back to where the
// user was: rows that stayed in their places keep both by themselves.
void frmKLD251::restauraPosicion(const QString &folio, int desplazamiento)
{
    const Kit::ListModel &modelo = lvOrdenes->listModel();
    for (int posicion = 0; posicion < modelo.size(); ++posicion) {
        if (modelo.text(posicion, 0) == folio && lvOrdenes->selectedIndex() != posicion + 1)
            lvOrdenes->selectItem(posicion + 1);
    }
    lvOrdenes->verticalScrollBar()->setValue(desplazamiento);
    lvOrdenes->viewport()->update();
}

void frmKLD251::actualizaCuenta()
{
    QString leyenda = QStringLiteral("0 Oportunidad");
    if (lvOrdenes->columnCount() > 1) {
        leyenda = lvOrdenes->itemCount() == 1
                      ? QStringLiteral("1 Oportunidad")
                      : QString::number(lvOrdenes->itemCount()) + QStringLiteral(" Oportunidades");
    }
    lbOrdenes->setText(leyenda);
    lbOrdenes->adjustSize();
}

QString frmKLD251::folioSeleccionado() const
{
    const int seleccionado = lvOrdenes->selectedIndex();
    return seleccionado == 0 ? QString() : lvOrdenes->itemText(seleccionado);
}

// The selected row when it still holds the folio, otherwise the first row that does; 0
// when the folio left the list.
int frmKLD251::renglonDelFolio(const QString &folio) const
{
    if (folioSeleccionado() == folio)
        return lvOrdenes->selectedIndex();
    for (int renglon = 1; renglon <= lvOrdenes->itemCount(); ++renglon) {
        if (lvOrdenes->itemText(renglon) == folio)
            return renglon;
    }
    return 0;
}
