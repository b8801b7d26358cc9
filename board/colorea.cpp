// A row in the colour and weight of its opportunity's state.
#include "frmKLD251.h"

#include "atrapa.h"
#include "publico.h"
#include "recargadelista.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "controles/listmodel.h"
#include "controles/listview.h"
#include "runtime/busycursor.h"
#include "runtime/colors.h"
#include "runtime/conversions.h"
#include "runtime/error.h"

void frmKLD251::ColoreaRenglon(const QString &folio, int renglon)
{
    try {
        Publico::TextoSql = QStringLiteral("Select ")
                            + QStringLiteral("     estado_oportunidad.Eo_Cve_Estado_Oportunidad, ")
                            + QStringLiteral("     estado_oportunidad.Eo_Hexadecimal, ")
                            + QStringLiteral("     estado_oportunidad.Eo_Negrilla ")
                            + QStringLiteral("FROM Oportunidad ")
                            + QStringLiteral(
                                "     inner join estado_oportunidad on estado_oportunidad.Eo_Cve_Estado_Oportunidad = "
                                "Oportunidad.Op_Estado_Oportunidad  ")
                            + QStringLiteral("WHERE Oportunidad.Op_Folio = '") + Ado::quoted(folio)
                            + QStringLiteral("' ");
        const Ado::Recordset estado = Publico::Entorno->Conexion()->Execute(Publico::TextoSql, nullptr, -1);
        if (estado.atEnd())
            return;
        const bool negrilla = Runtime::toTextOrEmpty(estado.field(QStringLiteral("Eo_Negrilla")))
                              == QLatin1String("SI");
        lvOrdenes->setItemForeColor(renglon, Runtime::toColorReference(estado.field(QStringLiteral("Eo_Hexadecimal"))));
        lvOrdenes->setItemBold(renglon, negrilla);
        const int subelementos = lvOrdenes->columnCount() - 1;
        for (int subelemento = 1; subelemento <= subelementos; ++subelemento) {
            lvOrdenes->setSubItemForeColor(renglon, subelemento,
                                           Runtime::toColorReference(estado.field(QStringLiteral("Eo_Hexadecimal"))));
            lvOrdenes->setSubItemBold(renglon, subelemento, negrilla);
        }
    } catch (...) {
        m_recarga->reportaFallaDeAspecto(std::current_exception());
    }
}

void frmKLD251::reportaFallaDeColor(std::exception_ptr falla)
{
    Publico::ReportaFalla(this, QStringLiteral("Carga_Oportunidades()"), QStringLiteral("ERR-ID:7500018"), falla);
}
