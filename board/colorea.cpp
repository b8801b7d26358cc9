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

// The distinct colours of the states, as stored, each converted when a listed row first
// needs it.
struct Color
{
    QVariant guardado;
    std::optional<std::optional<qint32>> convertido; // unset: not yet; nullopt inside: cannot be shown
};

struct Aspecto
{
    int color = 0; // index into the distinct colours
    bool negrilla = false;
};

struct Aspectos
{
    std::vector<std::optional<Aspecto>> porRenglon; // by the row's position in the list
    std::vector<Color> colores;
};

// Where each look goes. The answer usually comes in the order the rows came, so each folio
// is first compared with the next row expected; the folios that do not follow that order
// wait in a table for the rows left over.
class Reparto
{
public:
    explicit Reparto(const Kit::ListModel &modelo)
        : m_modelo(modelo), m_orden(modelo.positionsByArrival()), m_aspectos(size_t(modelo.size()))
    {
    }

    void recibe(const QString &folio, const Aspecto &aspecto)
    {
        if (m_siguiente < m_orden.size() && folioDe(m_orden[m_siguiente]) == folio) {
            m_aspectos[size_t(m_orden[m_siguiente++])] = aspecto;
            return;
        }
        if (!m_sobrantes.contains(folio))
            m_sobrantes.insert(folio, aspecto);
    }

    std::vector<std::optional<Aspecto>> termina()
    {
        if (m_orden.empty() && m_modelo.size() > 0) {
            for (int posicion = 0; posicion < m_modelo.size(); ++posicion)
                m_orden.push_back(posicion);
        }
        for (size_t llegada = m_siguiente; llegada < m_orden.size(); ++llegada) {
            const auto encontrado = m_sobrantes.constFind(folioDe(m_orden[llegada]));
            if (encontrado != m_sobrantes.constEnd())
                m_aspectos[size_t(m_orden[llegada])] = *encontrado;
        }
        return std::move(m_aspectos);
    }

private:
    QString folioDe(int posicion) const
    {
        const QStringList &textos = m_modelo.row(posicion).texts;
        return textos.isEmpty() ? QString() : textos.first();
    }

    const Kit::ListModel &m_modelo;
    std::vector<int> m_orden;
    size_t m_siguiente = 0;
    std::vector<std::optional<Aspecto>> m_aspectos;
    QHash<QString, Aspecto> m_sobrantes;
};

// The looks of every opportunity the salesperson may see, in one statement: the same
// salesperson filter as the view's, so the database does the work once for the whole list.
// A folio whose state has no look is not in the answer; for a folio with several looks, the
// first the database returns counts, as for a single row.
Aspectos aspectosDelVendedor(const QString &filtro, const Kit::ListModel &modelo)
{
    Publico::TextoSql = QStringLiteral("Select Oportunidad.Op_Folio, ")
                        + QStringLiteral("     estado_oportunidad.Eo_Hexadecimal, ")
                        + QStringLiteral("     estado_oportunidad.Eo_Negrilla ")
                        + QStringLiteral("FROM Oportunidad ")
                        + QStringLiteral("     inner join estado_oportunidad on estado_oportunidad.Eo_Cve_Estado_Oportunidad = Oportunidad.Op_Estado_Oportunidad  ")
                        + QStringLiteral("     inner join Vendedor on Vendedor.Vn_Cve_Vendedor = Oportunidad.Op_Cve_Vendedor ")
                        + QStringLiteral("WHERE") + filtro;
    Aspectos aspectos;
    Reparto reparto(modelo);
    QHash<QString, int> indiceDeColor;
    Ado::Recordset estados = Publico::Entorno->Conexion()->Execute(Publico::TextoSql, nullptr, -1);
    for (; !estados.atEnd(); estados.moveNext()) {
        const QVariant color = estados.field(1);
        const QString claveDeColor = Runtime::isNull(color) ? QStringLiteral("\u0001nulo") : color.toString();
        auto indice = indiceDeColor.constFind(claveDeColor);
        if (indice == indiceDeColor.constEnd()) {
            indice = indiceDeColor.insert(claveDeColor, int(aspectos.colores.size()));
            aspectos.colores.push_back(Color{color, std::nullopt});
        }
        reparto.recibe(Runtime::toTextOrEmpty(estados.field(0)),
                       Aspecto{*indice, Runtime::toTextOrEmpty(estados.field(2)) == QLatin1String("SI")});
    }
    aspectos.porRenglon = reparto.termina();
    return aspectos;
}

} // namespace

// Every row of a reload in its state's look, with one look-up for the whole list instead
// of one per row. A row whose state has no look, or whose colour cannot be shown, is in the
// default look, as a row created afresh is.
void frmKLD251::coloreaRenglones(const QString &filtro)
{
    const Kit::ListModel &modelo = lvOrdenes->listModel();
    Aspectos aspectos;
    try {
        aspectos = aspectosDelVendedor(filtro, modelo);
    } catch (...) {
        reportaFallaDeColor(std::current_exception());
    }
    const auto colorMostrable = [&](Color &color) -> std::optional<qint32> {
        if (!color.convertido) {
            try {
                const qint32 referencia = Runtime::toColorReference(color.guardado);
                if (!Runtime::isValidColorReference(referencia))
                    Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
                color.convertido = std::optional<qint32>(referencia);
            } catch (...) {
                color.convertido = std::optional<qint32>();
                reportaFallaDeColor(std::current_exception());
            }
        }
        return *color.convertido;
    };

    std::vector<std::optional<Kit::ListView::RowLook>> aspectosDeRenglon(size_t(modelo.size()), Kit::ListView::RowLook{});
    for (size_t posicion = 0; posicion < aspectos.porRenglon.size(); ++posicion) {
        const std::optional<Aspecto> &aspecto = aspectos.porRenglon[posicion];
        if (!aspecto)
            continue;
        if (const std::optional<qint32> color = colorMostrable(aspectos.colores[size_t(aspecto->color)]))
            aspectosDeRenglon[posicion] = Kit::ListView::RowLook{color, aspecto->negrilla};
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
