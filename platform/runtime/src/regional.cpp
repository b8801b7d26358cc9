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

// Whether rounding `value` to `decimals` meets an exact half, where the locale rounds away
// from zero and the correctly rounded digits of <charconv> round to even.
bool tiesAt(double value, int decimals)
{
    const double scaled = std::fabs(value) * std::pow(10.0, decimals);
    return scaled < 0x1p52 && scaled - std::floor(scaled) == 0.5;
}

// What mexicanLocale().toString(value, 'f', decimals) writes, at a third of its cost (the
// same digits, grouped here): a list writes every figure of every reading. A value that
// rounds to zero has no sign: "-0.00" would read as a debt.
QString fixed(double value, int decimals, QStringView symbol)
{
    if (!std::isfinite(value) || tiesAt(value, decimals)) {
        const QString figures = mexicanLocale().toString(std::fabs(value), 'f', decimals);
        const bool zero = std::all_of(figures.cbegin(), figures.cend(), [](QChar c) { return c == u'0' || c == u'.'; });
        return (value < 0 && !zero ? QStringLiteral("-") : QString()) + symbol.toString() + figures;
    }
    std::array<char, 400> digits{}; // the widest double written without an exponent
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), std::fabs(value),
                                   std::chars_format::fixed, decimals)
                         .ptr;
    const std::string_view written(digits.data(), size_t(end - digits.data()));
    const bool zero = std::all_of(written.cbegin(), written.cend(), [](char c) { return c == '0' || c == '.'; });
    return grouped(written, value < 0 && !zero, symbol);
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
    return grouped(
        std::string_view(digits.data() + (negative ? 1 : 0), size_t(end - digits.data()) - (negative ? 1 : 0)),
        negative, {});
}

QString formatAmount(double value)
{
    return fixed(value, 2, u"$");
}

// Written digit by digit: the general formatter costs a quarter of a microsecond a date, and
// a list of a database that gives dates as dates writes one for every row it reads.
QString formatDate(const QDate &date)
{
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    if (year < 1000 || year > 9999)
        return date.toString(dateFormat);
    QString text(10, Qt::Uninitialized);
    QChar *out = text.data();
    const auto twoDigits = [&out](int value) {
        *out++ = QChar(u'0' + value / 10);
        *out++ = QChar(u'0' + value % 10);
    };
    twoDigits(day);
    *out++ = u'/';
    twoDigits(month);
    *out++ = u'/';
    twoDigits(year / 100);
    twoDigits(year % 100);
    return text;
}

QString formatDateTime(const QDateTime &moment)
{
    const QTime time = moment.time();
    if (time.msecsSinceStartOfDay() < 1000)
        return formatDate(moment.date());
    return moment.toString(time.second() == 0 ? dateTimeFormat : QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

QString foldedForComparison(const QString &text)
{
    const QString decomposed = text.trimmed().toCaseFolded().normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar letter : decomposed) {
        if (letter.category() != QChar::Mark_NonSpacing)
            folded += letter;
    }
    return folded;
}

} // namespace Runtime
