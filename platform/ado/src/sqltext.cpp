#include "ado/sqltext.h"

namespace Ado {

QString quoted(const QString &value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    return escaped;
}

} // namespace Ado
