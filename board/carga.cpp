// What the list loads: the view's stored query with the salesperson's filter; the messages of
// a load; the count shown.
#include "cuenta.h"
#include "frmKLD251.h"
#include "recargadelista.h"

#include "atrapa.h"
#include "publico.h"

#include "ado/sqltext.h"
#include "controles/cbzel.h"
#include "controles/listview.h"
#include "runtime/conversions.h"

#include <QLabel>

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

void frmKLD251::Carga_Oportunidades()
{
    m_recarga->recarga();
}

// The view's stored query with the salesperson's filter in place of {PARAMETROS}; none when
// there is nothing to load (no salesperson yet, no view, a salesperson of no known level).
// A missing stored query comes back without its statement.
std::optional<ConsultaDeVista> frmKLD251::consultaDeLaVista()
{
    if (CveVendedor.isEmpty())
        return std::nullopt;
    const qint16 indice = cboVistas->Indice();
    if (indice < 0 || cboVistas->NumElementos() < 1 || indice > ConsultasVista.size() - 1)
        return std::nullopt;
    ConsultaDeVista vista{indice < NombresVista.size() ? NombresVista.at(indice) : QString(), ConsultasVista.at(indice),
                          std::nullopt};
    lvOrdenes->setLayoutKey(claveDeDisposicion(vista.nombre, vista.clave));
    lvOrdenes->setExportName(vista.nombre);
    Publico::TextoSql = Publico::Funciones->LeeConsulta(vista.clave);
    if (Publico::TextoSql.trimmed().isEmpty())
        return vista;
    const QString nivel = Publico::Funciones->BuscaCampo(QStringLiteral("Vendedor"), QStringLiteral("VN_CVE_VENDEDOR"),
                                                         CveVendedor, QStringLiteral("Vn_Nivel"), 0, QString(),
                                                         QString(), QString());
    if (nivel.isEmpty())
        return std::nullopt;
    const std::optional<QString> filtro = filtroPorNivel(Runtime::toInteger16(nivel), CveVendedor);
    if (!filtro)
        return std::nullopt;
    Publico::TextoSql.replace(marcador, *filtro);
    vista.sql = Publico::TextoSql;
    return vista;
}

void frmKLD251::avisaConsultaFaltante(const QString &clave)
{
    Publico::Mensaje(QStringLiteral("No existe la consulta '") + clave + QStringLiteral("'"),
                     Servicios::Estilo::Critico, QStringLiteral("Carga_Oportunidades()"), this, Publico::Modulo,
                     QStringLiteral("ERR-ID:7500016"));
}

void frmKLD251::reportaFallaDeRecarga(std::exception_ptr falla)
{
    Publico::ReportaFalla(this, QStringLiteral("Carga_Oportunidades()"), QStringLiteral("ERR-ID:7500017"), falla);
}

void frmKLD251::actualizaCuenta()
{
    lbOrdenes->setText(Cuenta::deLaEtiqueta(*lvOrdenes));
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
