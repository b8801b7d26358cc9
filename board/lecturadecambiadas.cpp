#include "lecturadecambiadas.h"

#include "cambiosdelavista.h"

#include "ado/connection.h"
#include "controles/texttable.h"

namespace {

QString nombreEntreComillas(QString nombre)
{
    return QLatin1Char('"') + nombre.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// The rows of the folios given, each with the folio before it in the view's order (none for
// the first). The filter reaches the folio's index through the sub-select, and the folio
// before is one step back along it.
QString sentencia(const QString &sql, const QString &columnaDelFolio, bool descendente)
{
    const QString folio = nombreEntreComillas(columnaDelFolio);
    const QString antes = descendente ? QStringLiteral(" > ") : QStringLiteral(" < ");
    const QString haciaAtras = descendente ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
    return QStringLiteral("SELECT v.*, (SELECT w.") + folio + QStringLiteral(" FROM (") + sql
           + QStringLiteral(") AS w WHERE w.") + folio + antes + QStringLiteral("v.") + folio
           + QStringLiteral(" ORDER BY w.") + folio + haciaAtras + QStringLiteral(" LIMIT 1) FROM (") + sql
           + QStringLiteral(") AS v WHERE v.") + folio + QStringLiteral(" = ANY (CAST(? AS text[]))");
}

// The looks of the rows read again, by their places in the result.
Aspectos::Leidos aspectosDeLasReleidas(Ado::Connection &conexion, const Kit::TextTable &resultado,
                                       const std::vector<int> &conservada)
{
    Kit::TextTable releidas;
    for (size_t fila = 0; fila < conservada.size(); ++fila) {
        if (conservada[fila] < 0)
            releidas.appendRow(std::vector<QString>{resultado.text(int(fila), 0)});
    }
    Aspectos::Leidos leidos = Aspectos::lee(conexion, releidas);
    std::vector<std::optional<Aspectos::Aspecto>> porPosicion(conservada.size());
    size_t releida = 0;
    for (size_t fila = 0; fila < conservada.size(); ++fila) {
        if (conservada[fila] < 0)
            porPosicion[fila] = leidos.porPosicion[releida++];
    }
    leidos.porPosicion = std::move(porPosicion);
    return leidos;
}

} // namespace

std::optional<LecturaDeCambiadas> leeCambiadas(Ado::Connection &conexion, const QString &sql,
                                               const Cambiadas &cambiadas, const Kit::ListSnapshot &mostrada)
{
    if (!mostrada.table || mostrada.headers.isEmpty())
        return std::nullopt;
    std::optional<Servicios::Mezcla> mezcla;
    {
        Ado::Recordset filas = conexion.Execute(sentencia(sql, mostrada.headers.front(), cambiadas.descendente),
                                                {arregloDeTextos(cambiadas.folios)});
        mezcla = Servicios::mezclaLista(filas, mostrada,
                                        QSet<QString>(cambiadas.folios.cbegin(), cambiadas.folios.cend()));
    }
    if (!mezcla)
        return std::nullopt;
    const Kit::TextTable &resultado = mezcla->actualizacion.table ? *mezcla->actualizacion.table : *mostrada.table;
    LecturaDeCambiadas lectura{std::move(*mezcla), {}};
    lectura.aspectos = aspectosDeLasReleidas(conexion, resultado, lectura.mezcla.conservada);
    return lectura;
}
