#include "aspectos.h"

#include "ado/connection.h"
#include "controles/texttable.h"
#include "runtime/conversions.h"

#include <QHash>

namespace Aspectos {
namespace {

// The folios go to the database as one bound value, each with its position in the list:
// a JSON array for SQLite, a text array for PostgreSQL (whose planner sizes an array it is
// given, and so joins a long list by hashing and a short one through the folio's index).
QString estadosDeLosFolios(Ado::Engine motor)
{
    if (motor == Ado::Engine::SQLite)
        return QStringLiteral("SELECT Folios.key, Oportunidad.Op_Estado_Oportunidad "
                              "FROM json_each(?) AS Folios "
                              "     INNER JOIN Oportunidad ON Oportunidad.Op_Folio = Folios.value");
    return QStringLiteral("SELECT Folios.posicion - 1, Oportunidad.Op_Estado_Oportunidad "
                          "FROM unnest(CAST(? AS text[])) WITH ORDINALITY AS Folios(folio, posicion) "
                          "     INNER JOIN Oportunidad ON Oportunidad.Op_Folio = Folios.folio");
}

// The folios as one text: a JSON array of strings for SQLite, an array literal for
// PostgreSQL (each element between double quotes). Written directly rather than through a
// document object: a list may hold a million folios.
QString listaDeFolios(Ado::Engine motor, const Controles::TextTable &filas)
{
    const bool json = motor == Ado::Engine::SQLite;
    QString lista;
    lista.reserve(qsizetype(filas.rowCount()) * 12 + 2);
    lista += json ? QLatin1Char('[') : QLatin1Char('{');
    for (int fila = 0; fila < filas.rowCount(); ++fila) {
        if (fila > 0)
            lista += QLatin1Char(',');
        lista += QLatin1Char('"');
        for (const QChar letra : filas.text(fila, 0)) {
            if (json && letra.unicode() < 0x20) {
                lista += QStringLiteral("\\u%1").arg(letra.unicode(), 4, 16, QLatin1Char('0'));
                continue;
            }
            if (letra == QLatin1Char('"') || letra == QLatin1Char('\\'))
                lista += QLatin1Char('\\');
            lista += letra;
        }
        lista += QLatin1Char('"');
    }
    lista += json ? QLatin1Char(']') : QLatin1Char('}');
    return lista;
}

// The look of every state, by its key; for a key listed twice, the first.
QHash<QString, Aspecto> aspectosDeEstados(Ado::Connection &conexion, std::vector<QVariant> &colores)
{
    QHash<QString, Aspecto> porEstado;
    QHash<QString, int> indiceDeColor;
    Ado::Recordset estados = conexion.Execute(
        QStringLiteral("SELECT Eo_Cve_Estado_Oportunidad, Eo_Hexadecimal, Eo_Negrilla FROM Estado_Oportunidad"));
    for (; !estados.atEnd(); estados.moveNext()) {
        const QString clave = Runtime::toTextOrEmpty(estados.field(0));
        if (Runtime::isNull(estados.field(0)) || porEstado.contains(clave))
            continue;
        const QVariant color = estados.field(1);
        const QString claveDeColor = Runtime::isNull(color) ? QStringLiteral("\u0001nulo") : color.toString();
        auto indice = indiceDeColor.constFind(claveDeColor);
        if (indice == indiceDeColor.constEnd()) {
            indice = indiceDeColor.insert(claveDeColor, int(colores.size()));
            colores.push_back(color);
        }
        porEstado.insert(clave, Aspecto{*indice, Runtime::toTextOrEmpty(estados.field(2)) == QLatin1String("SI")});
    }
    return porEstado;
}

} // namespace

Leidos lee(Ado::Connection &conexion, const Controles::TextTable &filas)
{
    Leidos leidos;
    leidos.porPosicion.resize(size_t(filas.rowCount()));
    if (filas.rowCount() == 0)
        return leidos;
    const QHash<QString, Aspecto> porEstado = aspectosDeEstados(conexion, leidos.colores);
    Ado::Recordset estados = conexion.Execute(estadosDeLosFolios(conexion.engine()),
                                              {listaDeFolios(conexion.engine(), filas)});
    for (; !estados.atEnd(); estados.moveNext()) {
        const qint64 posicion = estados.field(0).toLongLong();
        if (posicion < 0 || posicion >= filas.rowCount() || leidos.porPosicion[size_t(posicion)])
            continue;
        const auto aspecto = porEstado.constFind(Runtime::toTextOrEmpty(estados.field(1)));
        if (aspecto != porEstado.constEnd() && !Runtime::isNull(estados.field(1)))
            leidos.porPosicion[size_t(posicion)] = *aspecto;
    }
    return leidos;
}

} // namespace Aspectos
