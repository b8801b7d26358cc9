#include "parametros.h"

#include <QStringList>

QMap<QString, QString> leeParametros(const QString &parametros)
{
    QMap<QString, QString> leidos;
    for (const QString &par : parametros.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const qsizetype igual = par.indexOf(QLatin1Char('='));
        const QString clave = (igual < 0 ? par : par.left(igual)).trimmed().toUpper();
        if (clave.isEmpty())
            continue;
        leidos.insert(clave, igual < 0 ? QString() : par.mid(igual + 1));
    }
    return leidos;
}
