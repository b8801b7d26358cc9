#include "naturalorder.h"

#include <algorithm>
#include <limits>

namespace Controles::Internal {
namespace {

void appendNaturalKey(QString &key, const QString &text)
{
    constexpr qsizetype digitWidth = 20;
    QString letters = text.toCaseFolded();
    const bool ascii = std::all_of(letters.cbegin(), letters.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii)
        letters = letters.normalized(QString::NormalizationForm_D);
    key.reserve(letters.size() + digitWidth);
    for (qsizetype at = 0; at < letters.size();) {
        const QChar character = letters.at(at);
        if (character.isDigit()) {
            qsizetype end = at;
            while (end < letters.size() && letters.at(end).isDigit())
                ++end;
            for (qsizetype pad = end - at; pad < digitWidth; ++pad)
                key += QLatin1Char('0');
            key += QStringView(letters).mid(at, end - at);
            at = end;
            continue;
        }
        if (!ascii && character == QLatin1Char('n') && at + 1 < letters.size()
            && letters.at(at + 1).unicode() == 0x0303) {
            key += QLatin1Char('n');
            key += QChar(0xFFFF); // ñ: after every n-word, before o
            at += 2;
            continue;
        }
        if (ascii || character.category() != QChar::Mark_NonSpacing)
            key += character;
        ++at;
    }
}

bool isDigit(QChar character)
{
    return character >= QLatin1Char('0') && character <= QLatin1Char('9');
}

// Whether the text holds, from `at` on, `count` digits; moves past them.
bool digits(QStringView text, qsizetype &at, qsizetype count)
{
    for (qsizetype end = at + count; at < end; ++at) {
        if (at >= text.size() || !isDigit(text[at]))
            return false;
    }
    return true;
}

// A date shown as "31/12/2026 17:30" sorts by "2026-12-31 17:30": year, month, day, time.
QString chronologicalKey(const QString &text)
{
    if (text.size() < 10 || text[2] != QLatin1Char('/'))
        return text;
    return text.mid(6, 4) + QLatin1Char('-') + text.mid(3, 2) + QLatin1Char('-') + text.first(2) + text.mid(10);
}

} // namespace

// These are asked of every cell of the first rows of every reading, so they scan the text
// once rather than run a pattern.

// -?\$?[0-9][0-9,]*(\.[0-9]+)?: a plain figure, or one as a Mexican list shows it ("-$1,234.50").
bool readsAsNumber(const QString &text)
{
    qsizetype at = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (at < text.size() && text[at] == QLatin1Char('$'))
        ++at;
    if (at >= text.size() || !isDigit(text[at]))
        return false;
    while (at < text.size() && (isDigit(text[at]) || text[at] == QLatin1Char(',')))
        ++at;
    if (at == text.size())
        return true;
    if (text[at] != QLatin1Char('.') || at + 1 == text.size())
        return false;
    for (++at; at < text.size(); ++at) {
        if (!isDigit(text[at]))
            return false;
    }
    return true;
}

namespace {

// [0-9]{4}-[0-9]{2}-[0-9]{2}( [0-9:]{8})?
bool readsAsIsoDate(const QString &text)
{
    qsizetype at = 0;
    const auto separator = [&](QChar expected) { return at < text.size() && text[at++] == expected; };
    if (!digits(text, at, 4) || !separator(QLatin1Char('-')) || !digits(text, at, 2) || !separator(QLatin1Char('-'))
        || !digits(text, at, 2))
        return false;
    if (at == text.size())
        return true;
    if (!separator(QLatin1Char(' ')) || text.size() != at + 8)
        return false;
    return std::all_of(text.cbegin() + at, text.cend(), [](QChar c) { return isDigit(c) || c == QLatin1Char(':'); });
}

// [0-9]{2}/[0-9]{2}/[0-9]{4}( [0-9]{2}:[0-9]{2}(:[0-9]{2})?)?, as the forms write a date.
bool readsAsShownDate(const QString &text)
{
    qsizetype at = 0;
    const auto separator = [&](QChar expected) { return at < text.size() && text[at++] == expected; };
    if (!digits(text, at, 2) || !separator(QLatin1Char('/')) || !digits(text, at, 2) || !separator(QLatin1Char('/'))
        || !digits(text, at, 4))
        return false;
    if (at == text.size())
        return true;
    if (!separator(QLatin1Char(' ')) || !digits(text, at, 2) || !separator(QLatin1Char(':')) || !digits(text, at, 2))
        return false;
    return at == text.size() || (separator(QLatin1Char(':')) && digits(text, at, 2) && at == text.size());
}

} // namespace

bool readsAsDate(const QString &text)
{
    return readsAsIsoDate(text) || readsAsShownDate(text);
}

SortKey sortKeyOf(const QString &text, TextTable::ColumnKind kind)
{
    switch (kind) {
    case TextTable::ColumnKind::Number: {
        bool ok = false;
        const double value = QString(text).remove(QLatin1Char(',')).remove(QLatin1Char('$')).toDouble(&ok);
        return SortKey{ok ? value : -std::numeric_limits<double>::infinity(), {}};
    }
    case TextTable::ColumnKind::Date: return SortKey{0, chronologicalKey(text)};
    case TextTable::ColumnKind::Text: break;
    }
    SortKey key;
    appendNaturalKey(key.text, text);
    return key;
}

int compareKeys(const SortKey &left, const SortKey &right, TextTable::ColumnKind kind)
{
    if (kind == TextTable::ColumnKind::Number)
        return left.number < right.number ? -1 : right.number < left.number ? 1 : 0;
    return left.text.compare(right.text);
}

} // namespace Controles::Internal
