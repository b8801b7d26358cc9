#include "runtime/regional.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace Runtime {

const QLocale &mexicanLocale()
{
    static const QLocale locale(QLocale::Spanish, QLocale::Mexico);
    return locale;
}

// A value that rounds to zero has no sign: "-0.00" would read as a debt.
QString formatNumber(double value, int decimals)
{
    const QString figures = mexicanLocale().toString(std::fabs(value), 'f', decimals);
    const bool zero = std::all_of(figures.cbegin(), figures.cend(), [](QChar c) { return c == u'0' || c == u'.'; });
    return value < 0 && !zero ? QLatin1Char('-') + figures : figures;
}

QString formatInteger(qint64 value)
{
    return mexicanLocale().toString(value);
}

QString formatAmount(double value)
{
    const QString figures = formatNumber(value, 2);
    return figures.startsWith(QLatin1Char('-')) ? QStringLiteral("-$") + figures.mid(1) : QLatin1Char('$') + figures;
}

QString formatDate(const QDate &date)
{
    return date.toString(dateFormat);
}

QString formatDateTime(const QDateTime &moment)
{
    const QTime time = moment.time();
    if (time.msecsSinceStartOfDay() < 1000)
        return formatDate(moment.date());
    return moment.toString(time.second() == 0 ? dateTimeFormat : QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

} // namespace Runtime
