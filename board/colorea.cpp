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

// Folios per look-up statement: few statements for a long list, each of a size every
// database takes.
constexpr int foliosPorConsulta = 1000;

struct Aspecto
{
    QVariant color;
    QString negrilla;
};

// The looks of the listed folios, in as few statements as the list needs. A folio whose
// state has no look is not in the answer; for a folio with several, the first counts.
QHash<QString, Aspecto> aspectosDe(const QStringList &folios)
{
    QHash<QString, Aspecto> aspectos;
    aspectos.reserve(folios.size());
    for (qsizetype inicio = 0; inicio < folios.size(); inicio += foliosPorConsulta) {
        QStringList literales;
        for (const QString &folio : folios.mid(inicio, foliosPorConsulta))
            literales << QLatin1Char('\'') + Ado::quoted(folio) + QLatin1Char('\'');
        Publico::TextoSql = QStringLiteral("Select Oportunidad.Op_Folio, ")
                            + QStringLiteral("     estado_oportunidad.Eo_Hexadecimal, ")
                            + QStringLiteral("     estado_oportunidad.Eo_Negrilla ")
                            + QStringLiteral("FROM Oportunidad ")
                            + QStringLiteral("     inner join estado_oportunidad on estado_oportunidad.Eo_Cve_Estado_Oportunidad = Oportunidad.Op_Estado_Oportunidad  ")
                            + QStringLiteral("WHERE Oportunidad.Op_Folio IN (") + literales.join(QLatin1Char(','))
                            + QStringLiteral(")");
        Ado::Recordset estados = Publico::Entorno->Conexion()->Execute(Publico::TextoSql, nullptr, -1);
        for (; !estados.atEnd(); estados.moveNext()) {
            const QString folio = Runtime::toTextOrEmpty(estados.field(0));
            if (!aspectos.contains(folio))
                aspectos.insert(folio, Aspecto{estados.field(1), Runtime::toTextOrEmpty(estados.field(2))});
        }
    }
    return aspectos;
}

} // namespace

// Every row of a reload in its state's look, with one look-up for the whole list instead
// of one per row. A row whose state has no look, or whose colour cannot be shown, is in the
// default look, as a row created afresh is.
void frmKLD251::coloreaRenglones()
{
    const Kit::ListModel &modelo = lvOrdenes->listModel();
    QStringList folios;
    folios.reserve(modelo.size());
    for (int posicion = 0; posicion < modelo.size(); ++posicion)
        folios << (modelo.row(posicion).texts.isEmpty() ? QString() : modelo.row(posicion).texts.first());
    QHash<QString, Aspecto> aspectos;
    try {
        QStringList distintos = folios;
        distintos.removeDuplicates();
        aspectos = aspectosDe(distintos);
    } catch (...) {
        reportaFallaDeColor(std::current_exception());
    }

    QHash<QString, std::optional<qint32>> colores; // each state's colour converted once
    std::vector<std::optional<Kit::ListView::RowLook>> aspectosDeRenglon(size_t(modelo.size()), Kit::ListView::RowLook{});
    for (int posicion = 0; posicion < modelo.size(); ++posicion) {
        const auto encontrado = aspectos.constFind(folios.at(posicion));
        if (encontrado == aspectos.constEnd())
            continue;
        const QString claveDeColor = Runtime::isNull(encontrado->color) ? QStringLiteral("\u0001nulo")
                                                                         : encontrado->color.toString();
        if (!colores.contains(claveDeColor)) {
            try {
                const qint32 color = Runtime::toColorReference(encontrado->color);
                if (!Runtime::isValidColorReference(color))
                    Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
                colores.insert(claveDeColor, color);
            } catch (...) {
                colores.insert(claveDeColor, std::nullopt);
                reportaFallaDeColor(std::current_exception());
            }
        }
        if (const std::optional<qint32> color = colores.value(claveDeColor))
            aspectosDeRenglon[size_t(posicion)] = Kit::ListView::RowLook{color, encontrado->negrilla == QLatin1String("SI")};
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
