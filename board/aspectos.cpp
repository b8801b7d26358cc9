#include "aspectos.h"

#include "ado/connection.h"
#include "controles/texttable.h"
#include "runtime/conversions.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

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

QString listaDeFolios(Ado::Engine motor, const Controles::TextTable &filas)
{
    if (motor == Ado::Engine::SQLite) {
        QJsonArray folios;
        for (int fila = 0; fila < filas.rowCount(); ++fila)
            folios.append(filas.text(fila, 0));
        return QString::fromUtf8(QJsonDocument(folios).toJson(QJsonDocument::Compact));
    }
    // An array literal: every element between double quotes, with its double quotes and
    // backslashes escaped by a backslash.
    QString arreglo;
    arreglo.reserve(qsizetype(filas.rowCount()) * 12 + 2);
    arreglo += QLatin1Char('{');
    for (int fila = 0; fila < filas.rowCount(); ++fila) {
        const QString &folio = filas.text(fila, 0);
        if (fila > 0)
            arreglo += QLatin1Char(',');
        arreglo += QLatin1Char('"');
        for (const QChar letra : folio) {
            if (letra == QLatin1Char('"') || letra == QLatin1Char('\\'))
                arreglo += QLatin1Char('\\');
            arreglo += letra;
        }
        arreglo += QLatin1Char('"');
    }
    arreglo += QLatin1Char('}');
    return arreglo;
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
