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

QVariantList texts(const QStringList &values)
{
    QVariantList bound;
    bound.reserve(values.size());
    for (const QString &value : values)
        bound << (value.isNull() ? QStringLiteral("") : value);
    return bound;
}

} // namespace Ado
