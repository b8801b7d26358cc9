#include "lecturadecambiadas.h"

#include "cambiosdelavista.h"

#include "ado/connection.h"
#include "controles/texttable.h"

#include <algorithm>

namespace {

QString nombreEntreComillas(QString nombre)
{
    return QLatin1Char('"') + nombre.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// The view's rows of the folios given: the filter reaches the folio's index through the
// sub-select.
QString sentencia(const QString &sql, const QString &columnaDelFolio)
{
    const QString folio = nombreEntreComillas(columnaDelFolio);
    return QStringLiteral("SELECT * FROM (") + sql + QStringLiteral(") AS v WHERE v.") + folio
           + QStringLiteral(" = ANY (CAST(? AS text[]))");
}

// The view's order of folios, as the database compares them: its collation, either way.
Servicios::OrdenDeFolios ordenDelServidor(Ado::Connection &conexion, const Cambiadas &cambiadas)
{
    const QString intercalacion = QStringLiteral(" COLLATE ") + cambiadas.intercalacion;
    const QString sentido = cambiadas.descendente ? QStringLiteral(" DESC") : QStringLiteral(" ASC");
    const QString antes = cambiadas.descendente ? QStringLiteral(" > ") : QStringLiteral(" < ");
    return {
        .ordena =
            [&conexion, intercalacion, sentido](const QStringList &folios) {
                QStringList ordenados;
                for (Ado::Recordset fila =
                         conexion.Execute(QStringLiteral("SELECT f FROM unnest(CAST(? AS text[])) AS t(f) ORDER BY f")
                                              + intercalacion + sentido,
                                          {arregloDeTextos(folios)});
                     !fila.atEnd(); fila.moveNext())
                    ordenados << fila.field(0).toString();
                return ordenados;
            },
        .antes =
            [&conexion, intercalacion, antes](const QStringList &primeros, const QStringList &segundos) {
                std::vector<bool> respuestas;
                for (Ado::Recordset fila = conexion.Execute(
                         QStringLiteral("SELECT a") + intercalacion + antes
                             + QStringLiteral("b FROM unnest(CAST(? AS text[]), CAST(? AS text[])) WITH ORDINALITY "
                                              "AS t(a, b, n) ORDER BY n"),
                         {arregloDeTextos(primeros), arregloDeTextos(segundos)});
                     !fila.atEnd(); fila.moveNext())
                    respuestas.push_back(fila.field(0).toBool());
                return respuestas;
            },
    };
}

// The looks of the rows read again: by the rows of a new table (none for a row kept), or
// in the order of the rows read again when the rows shown stay.
Aspectos::Leidos aspectosDeLasReleidas(Ado::Connection &conexion, const Kit::TextTable &resultado,
                                       const Servicios::Mezcla &mezcla)
{
    Kit::TextTable releidas;
    const auto agrega = [&](int fila) { releidas.appendRow(std::vector<QString>{resultado.text(fila, 0)}); };
    if (!mezcla.actualizacion.table) {
        std::for_each(mezcla.releidas.cbegin(), mezcla.releidas.cend(), agrega);
        return Aspectos::lee(conexion, releidas);
    }
    const std::vector<int> &conservada = mezcla.conservada;
    for (size_t fila = 0; fila < conservada.size(); ++fila) {
        if (conservada[fila] < 0)
            agrega(int(fila));
    }
    Aspectos::Leidos leidos = Aspectos::lee(conexion, releidas);
    std::vector<int> porPosicion(conservada.size(), 0);
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
        Ado::Recordset filas = conexion.Execute(sentencia(sql, mostrada.headers.front()),
                                                {arregloDeTextos(cambiadas.folios)});
        mezcla = Servicios::mezclaLista(filas, mostrada,
                                        QSet<QString>(cambiadas.folios.cbegin(), cambiadas.folios.cend()),
                                        ordenDelServidor(conexion, cambiadas));
    }
    if (!mezcla)
        return std::nullopt;
    const Kit::TextTable &resultado = mezcla->actualizacion.table ? *mezcla->actualizacion.table : *mostrada.table;
    LecturaDeCambiadas lectura{std::move(*mezcla), {}};
    lectura.aspectos = aspectosDeLasReleidas(conexion, resultado, lectura.mezcla);
    return lectura;
}
