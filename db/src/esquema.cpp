#include "datos/esquema.h"

#include "ado/connection.h"
#include "ado/transaction.h"
#include "datos/version.h"
#include "recursos.h"

#include <QRegularExpression>

namespace Datos {

QStringList sentenciasDelEsquema()
{
    QString text = textoDelRecurso(QStringLiteral(":/datos/esquema.sql"));
    text.remove(QRegularExpression(QStringLiteral("--[^\n]*")));
    QStringList statements;
    for (const QString &piece : text.split(QLatin1Char(';'))) {
        const QString statement = piece.trimmed();
        if (!statement.isEmpty())
            statements << statement;
    }
    return statements;
}

void creaTablas(Ado::Connection &conexion, int version)
{
    for (const QString &statement : sentenciasDelEsquema())
        conexion.Execute(statement);
    aplicaPasosDesde(conexion, 1, version > 0 ? version : versionDelPrograma());
}

void creaEsquema(Ado::Connection &conexion, int version)
{
    Ado::Transaction transaccion(conexion);
    creaTablas(conexion, version);
    transaccion.commit();
}

QStringList tablasDelEsquema()
{
    static const QRegularExpression creacion(QStringLiteral("^CREATE TABLE (\\w+)"),
                                             QRegularExpression::CaseInsensitiveOption);
    QStringList tablas;
    for (const QString &statement : sentenciasDelEsquema() + sentenciasDeLosPasos()) {
        if (const QRegularExpressionMatch encontrada = creacion.match(statement); encontrada.hasMatch())
            tablas << encontrada.captured(1);
    }
    return tablas;
}

} // namespace Datos
