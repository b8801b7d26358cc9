// A row in the colour and weight of its opportunity's state.
#include "frmKLD251.h"

#include "atrapa.h"
#include "publico.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "controles/listmodel.h"
#include "controles/listview.h"
#include "runtime/colors.h"
#include "runtime/conversions.h"
#include "runtime/error.h"

#include <QHash>

void frmKLD251::ColoreaRenglon(const QString &folio, int renglon)
{
    try {
        Publico::TextoSql = QStringLiteral("Select ")
                            + QStringLiteral("     estado_oportunidad.Eo_Cve_Estado_Oportunidad, ")
                            + QStringLiteral("     estado_oportunidad.Eo_Hexadecimal, ")
                            + QStringLiteral("     estado_oportunidad.Eo_Negrilla ")
                            + QStringLiteral("FROM Oportunidad ")
                            + QStringLiteral("     inner join estado_oportunidad on estado_oportunidad.Eo_Cve_Estado_Oportunidad = Oportunidad.Op_Estado_Oportunidad  ")
                            + QStringLiteral("WHERE Oportunidad.Op_Folio = '") + Ado::quoted(folio) + QStringLiteral("' ");
        const Ado::Recordset estado = Publico::Entorno->Conexion()->Execute(Publico::TextoSql, nullptr, -1);
        if (estado.atEnd())
            return;
        const bool negrilla = Runtime::toTextOrEmpty(estado.field(QStringLiteral("Eo_Negrilla"))) == QLatin1String("SI");
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

namespace {

struct Aspecto
{
    QString color; // as stored: a number or its text
    bool colorNulo = false;
    bool negrilla = false;
};

// The looks of every opportunity the salesperson may see, in one statement: the same
// salesperson filter as the view's, so the database does the work once for the whole list.
// A folio whose state has no look is not in the answer; for a folio with several, the first
// counts.
QHash<QString, Aspecto> aspectosDelVendedor(const QString &filtro, int renglones)
{
    Publico::TextoSql = QStringLiteral("Select Oportunidad.Op_Folio, ")
                        + QStringLiteral("     estado_oportunidad.Eo_Hexadecimal, ")
                        + QStringLiteral("     estado_oportunidad.Eo_Negrilla ")
                        + QStringLiteral("FROM Oportunidad ")
                        + QStringLiteral("     inner join estado_oportunidad on estado_oportunidad.Eo_Cve_Estado_Oportunidad = Oportunidad.Op_Estado_Oportunidad  ")
                        + QStringLiteral("     inner join Vendedor on Vendedor.Vn_Cve_Vendedor = Oportunidad.Op_Cve_Vendedor ")
                        + QStringLiteral("WHERE") + filtro;
    QHash<QString, Aspecto> aspectos;
    aspectos.reserve(renglones);
    Ado::Recordset estados = Publico::Entorno->Conexion()->Execute(Publico::TextoSql, nullptr, -1);
    for (; !estados.atEnd(); estados.moveNext()) {
        const QString folio = Runtime::toTextOrEmpty(estados.field(0));
        if (aspectos.contains(folio))
            continue;
        const QVariant color = estados.field(1);
        aspectos.emplace(folio, Aspecto{Runtime::toTextOrEmpty(color), Runtime::isNull(color),
                                        Runtime::toTextOrEmpty(estados.field(2)) == QLatin1String("SI")});
    }
    return aspectos;
}

} // namespace

// Every row of a reload in its state's look, with one look-up for the whole list instead
// of one per row. A row whose state has no look, or whose colour cannot be shown, is in the
// default look, as a row created afresh is.
void frmKLD251::coloreaRenglones(const QString &filtro)
{
    const Kit::ListModel &modelo = lvOrdenes->listModel();
    QHash<QString, Aspecto> aspectos;
    try {
        aspectos = aspectosDelVendedor(filtro, modelo.size());
    } catch (...) {
        reportaFallaDeColor(std::current_exception());
    }

    QHash<QString, std::optional<qint32>> colores; // each state's colour converted once
    std::vector<std::optional<Kit::ListView::RowLook>> aspectosDeRenglon(size_t(modelo.size()), Kit::ListView::RowLook{});
    for (int posicion = 0; posicion < modelo.size(); ++posicion) {
        const QStringList &textos = modelo.row(posicion).texts;
        const auto encontrado = aspectos.constFind(textos.isEmpty() ? QString() : textos.first());
        if (encontrado == aspectos.constEnd())
            continue;
        const QString claveDeColor = encontrado->colorNulo ? QStringLiteral("\u0001nulo") : encontrado->color;
        if (!colores.contains(claveDeColor)) {
            try {
                const qint32 color = Runtime::toColorReference(encontrado->colorNulo ? Runtime::nullValue()
                                                                                     : QVariant(encontrado->color));
                if (!Runtime::isValidColorReference(color))
                    Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
                colores.insert(claveDeColor, color);
            } catch (...) {
                colores.insert(claveDeColor, std::nullopt);
                reportaFallaDeColor(std::current_exception());
            }
        }
        if (const std::optional<qint32> color = colores.value(claveDeColor))
            aspectosDeRenglon[size_t(posicion)] = Kit::ListView::RowLook{color, encontrado->negrilla};
    }
    lvOrdenes->setRowLooks(aspectosDeRenglon);
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
