#include "runtime/regional.h"

#include <QDateTime>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace Runtime {

const QLocale &mexicanLocale()
{
    static const QLocale locale(QLocale::Spanish, QLocale::Mexico);
    return locale;
}

namespace {

// Figures as Mexico writes them: a sign, then the symbol if any, then the digits with a
// comma before each group of three whole ones.
QString grouped(std::string_view digits, bool negative, QStringView symbol)
{
    const qsizetype whole = qsizetype(std::min(digits.find('.'), digits.size()));
    QString text(qsizetype(digits.size()) + (whole - 1) / 3 + (negative ? 1 : 0) + symbol.size(), Qt::Uninitialized);
    QChar *out = text.data();
    if (negative)
        *out++ = u'-';
    for (const QChar character : symbol)
        *out++ = character;
    for (qsizetype at = 0; at < qsizetype(digits.size()); ++at) {
        if (at > 0 && at < whole && (whole - at) % 3 == 0)
            *out++ = u',';
        *out++ = QLatin1Char(digits[size_t(at)]);
    }
    return text;
}

// What mexicanLocale().toString(value, 'f', decimals) writes, at half its cost (the same
// digits, rounded the same way, grouped here): a list writes every figure of every reading.
// A value that rounds to zero has no sign: "-0.00" would read as a debt.
QString fixed(double value, int decimals, QStringView symbol)
{
    if (!std::isfinite(value))
        return symbol.toString() + mexicanLocale().toString(value, 'f', decimals);
    const QByteArray written = QByteArray::number(std::fabs(value), 'f', decimals);
    const bool zero = std::all_of(written.cbegin(), written.cend(), [](char c) { return c == '0' || c == '.'; });
    return grouped(std::string_view(written.constData(), size_t(written.size())), value < 0 && !zero, symbol);
}

} // namespace

QString formatNumber(double value, int decimals)
{
    return fixed(value, decimals, {});
}

QString formatInteger(qint64 value)
{
    std::array<char, 24> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    const bool negative = value < 0;
    return grouped(std::string_view(digits.data() + (negative ? 1 : 0), size_t(end - digits.data()) - (negative ? 1 : 0)),
                   negative, {});
}

QString formatAmount(double value)
{
    return fixed(value, 2, u"$");
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
