#include "ado/sqltext.h"

namespace Ado {

QString quoted(const QString &value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    return escaped;
}

QString literal(const QString &value)
{
    return QLatin1Char('\'') + quoted(value) + QLatin1Char('\'');
}

} // namespace Ado
