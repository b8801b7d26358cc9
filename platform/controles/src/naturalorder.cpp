#include "naturalorder.h"

#include "runtime/regional.h"

#include <QCollator>

#include <algorithm>
#include <limits>

namespace Kit::Internal {
namespace {

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

namespace {

// A figure as a list shows it, by value; text that is no figure before every figure.
double valueOf(const QString &text)
{
    bool ok = false;
    const double value = QString(text).remove(QLatin1Char(',')).remove(QLatin1Char('$')).toDouble(&ok);
    return ok ? value : -std::numeric_limits<double>::infinity();
}

int compareValues(double left, double right)
{
    return left < right ? -1 : right < left ? 1 : 0;
}

// Setting a collator up is costly and lazy, so a collator is not safe to share between
// threads (a list is sorted on its reading's thread as well): one a thread, set up once.
const QCollator &spanishCollator()
{
    thread_local const QCollator collator = [] {
        QCollator spanish(Runtime::mexicanLocale());
        spanish.setNumericMode(true);
        spanish.setCaseSensitivity(Qt::CaseInsensitive);
        return spanish;
    }();
    return collator;
}

} // namespace

SortKeys::SortKeys(TextTable::ColumnKind kind, size_t count)
    : m_kind(kind)
{
    switch (m_kind) {
    case TextTable::ColumnKind::Number: m_numbers.reserve(count); break;
    case TextTable::ColumnKind::Date: m_dates.reserve(count); break;
    case TextTable::ColumnKind::Text: m_texts.reserve(count); break;
    }
}

void SortKeys::add(const QString &text)
{
    switch (m_kind) {
    case TextTable::ColumnKind::Number: m_numbers.push_back(valueOf(text)); break;
    case TextTable::ColumnKind::Date: m_dates.push_back(chronologicalKey(text)); break;
    case TextTable::ColumnKind::Text: m_texts.push_back(spanishCollator().sortKey(text)); break;
    }
}

int SortKeys::compare(size_t left, size_t right) const
{
    switch (m_kind) {
    case TextTable::ColumnKind::Number: return compareValues(m_numbers[left], m_numbers[right]);
    case TextTable::ColumnKind::Date: return m_dates[left].compare(m_dates[right]);
    case TextTable::ColumnKind::Text: break;
    }
    return m_texts[left].compare(m_texts[right]);
}

int compareCells(const QString &left, const QString &right, TextTable::ColumnKind kind)
{
    switch (kind) {
    case TextTable::ColumnKind::Number: return compareValues(valueOf(left), valueOf(right));
    case TextTable::ColumnKind::Date: return chronologicalKey(left).compare(chronologicalKey(right));
    case TextTable::ColumnKind::Text: break;
    }
    return spanishCollator().compare(left, right);
}

} // namespace Kit::Internal
