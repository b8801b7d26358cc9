// A row in the colour and weight of its opportunity's state.
#include "frmKLD251.h"

#include "aspectos.h"
#include "atrapa.h"
#include "publico.h"

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
        reportaFallaDeColor(std::current_exception());
    }
}

// Every row of a reload in its state's look, with one look-up for the whole list instead
// of one per row.
void frmKLD251::coloreaRenglones()
{
    Aspectos::Leidos leidos;
    std::exception_ptr falla;
    try {
        const Runtime::BusyCursor ocupado;
        const std::shared_ptr<const Kit::TextTable> filas = lvOrdenes->listModel().table();
        leidos = Aspectos::lee(*Publico::Entorno->Conexion(), *filas);
    } catch (...) {
        falla = std::current_exception();
    }
    if (falla)
        reportaFallaDeColor(falla);
    aplicaAspectos(leidos);
}

// A row whose state has no look, or whose colour cannot be shown, is in the default look, as
// a row created afresh is. Each distinct colour is converted once, when a row first needs it.
void frmKLD251::aplicaAspectos(const Aspectos::Leidos &leidos)
{
    std::vector<std::optional<std::optional<qint32>>> convertidos(leidos.colores.size());
    const auto colorMostrable = [&](int indice) -> std::optional<qint32> {
        std::optional<std::optional<qint32>> &convertido = convertidos[size_t(indice)];
        if (!convertido) {
            try {
                const qint32 referencia = Runtime::toColorReference(leidos.colores[size_t(indice)]);
                if (!Runtime::isValidColorReference(referencia))
                    Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
                convertido = std::optional<qint32>(referencia);
            } catch (...) {
                convertido = std::optional<qint32>();
                reportaFallaDeColor(std::current_exception());
            }
        }
        return *convertido;
    };
    std::vector<std::optional<Kit::ListView::RowLook>> aspectos(size_t(lvOrdenes->itemCount()),
                                                                Kit::ListView::RowLook{});
    for (size_t fila = 0; fila < std::min(aspectos.size(), leidos.porPosicion.size()); ++fila) {
        const std::optional<Aspectos::Aspecto> &aspecto = leidos.porPosicion[fila];
        if (!aspecto)
            continue;
        if (const std::optional<qint32> color = colorMostrable(aspecto->color))
            aspectos[fila] = Kit::ListView::RowLook{color, aspecto->negrilla};
    }
    lvOrdenes->setRowLooksInArrivalOrder(aspectos);
}

// Within one reload a failure is reported once per description: a state whose colour
// cannot be shown would otherwise bring one message for every row of that state.
void frmKLD251::reportaFallaDeColor(std::exception_ptr falla)
{
    const Runtime::RuntimeError error = Runtime::toRuntimeError(falla);
    if (m_cargando && m_fallasDeColorReportadas.contains(error.description()))
        return;
    m_fallasDeColorReportadas.insert(error.description());
    Publico::ReportaFalla(this, QStringLiteral("Carga_Oportunidades()"), QStringLiteral("ERR-ID:7500018"), falla);
}
