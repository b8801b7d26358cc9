#include "naturalorder.h"

#include <QRegularExpression>

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
        if (!ascii && character == QLatin1Char('n') && at + 1 < letters.size() && letters.at(at + 1).unicode() == 0x0303) {
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

} // namespace

bool readsAsNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9][0-9,]*(\\.[0-9]+)?$"));
    return number.match(text).hasMatch();
}

bool readsAsDate(const QString &text)
{
    static const QRegularExpression date(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}( [0-9:]{8})?$"));
    return date.match(text).hasMatch();
}

SortKey sortKeyOf(const QString &text, TextTable::ColumnKind kind)
{
    switch (kind) {
    case TextTable::ColumnKind::Number: {
        bool ok = false;
        const double value = QString(text).remove(QLatin1Char(',')).toDouble(&ok);
        return SortKey{ok ? value : -std::numeric_limits<double>::infinity(), {}};
    }
    case TextTable::ColumnKind::Date:
        return SortKey{0, text};
    case TextTable::ColumnKind::Text:
        break;
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
