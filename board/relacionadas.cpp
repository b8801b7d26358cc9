// Screens of the sibling modules, opened through the host, and the refresh button.
#include "frmKLD251.h"

#include "atrapa.h"
#include "lanzador.h"
#include "publico.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "controles/listview.h"
#include "runtime/conversions.h"

namespace {

// The first row's value of a look-up, "" when it finds nothing.
QString primerValor(const QString &campo)
{
    const Ado::Recordset resultado = Publico::Entorno->Conexion()->Execute(Publico::TextoSql, nullptr, -1);
    return resultado.atEnd() ? QString() : Runtime::toTextOrEmpty(resultado.field(campo));
}

} // namespace

void frmKLD251::imgContacto_Click()
{
    if (lvOrdenes->selectedIndex() == 0)
        return;
    Publico::Atrapa(this, QStringLiteral("imgContacto_Click()"), QStringLiteral("ERR-ID:7500003"), [this] {
        Publico::TextoSql = QStringLiteral("SELECT Op_Contacto as Cn_Cve_Contacto ")
                            + QStringLiteral(" FROM Oportunidad ") + QStringLiteral(" WHERE Op_Folio = '")
                            + Ado::quoted(folioSeleccionado()) + QStringLiteral("'");
        const QString contacto = primerValor(QStringLiteral("Cn_Cve_Contacto"));
        if (!contacto.isEmpty())
            Lanzador::Lanza(Padre(), Lanzador::Contactos, Lanzador::Parametros(Lanzador::Consulta, contacto));
    });
}

void frmKLD251::imgOrganizacion_Click()
{
    Publico::Atrapa(this, QStringLiteral("imgOrganizacion_Click()"), QStringLiteral("ERR-ID:7500009"), [this] {
        if (lvOrdenes->selectedIndex() == 0)
            return;
        Publico::TextoSql = QStringLiteral("SELECT Cn_Organizacion ") + QStringLiteral("FROM Oportunidad ")
                            + QStringLiteral(
                                "   INNER JOIN Contacto ON Oportunidad.Op_Contacto = Contacto.Cn_Cve_Contacto ")
                            + QStringLiteral("WHERE Op_Folio = '") + Ado::quoted(folioSeleccionado())
                            + QStringLiteral("'");
        const QString organizacion = primerValor(QStringLiteral("Cn_Organizacion"));
        if (!organizacion.isEmpty())
            Lanzador::Lanza(Padre(), Lanzador::Organizaciones, Lanzador::Parametros(Lanzador::Consultar, organizacion));
    });
}

void frmKLD251::imgNuevo_Click()
{
    Lanzador::Lanza(Padre(), Lanzador::EditorOportunidades, Lanzador::Parametros(Lanzador::Nuevo));
}

void frmKLD251::imgOportunidad_Click()
{
    if (lvOrdenes->selectedIndex() != 0)
        Lanzador::Lanza(Padre(), Lanzador::EditorOportunidades,
                        Lanzador::Parametros(Lanzador::Consulta, folioSeleccionado()));
}

void frmKLD251::imgEditOportunidad_Click()
{
    lvOrdenes_DblClick();
}

void frmKLD251::imgRefrescar_Click()
{
    Carga_Oportunidades();
}
