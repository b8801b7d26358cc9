#pragma once

#include "controles/texttable.h"

#include <QCollatorSortKey>
#include <QString>

#include <vector>

namespace Kit::Internal {

// The order of a column's cells: numbers by value (signs, "$" and thousands separators aside),
// dates in time order (written "2026-12-31" or "31/12/2026", with or without a time), other
// text as Mexican Spanish collates it: letter case aside, ñ a letter of its own between n and
// o, numbers inside the text by value (OP-9 before OP-10), and a word with accents right after
// the same word without them.
//
// A sort computes the key of each distinct text of the column once, before it starts, so that
// its comparisons only compare bytes.
class SortKeys
{
public:
    SortKeys(TextTable::ColumnKind kind, size_t count);

    void add(const QString &text);
    // Below, at or above zero as the text added `left`-th sorts before, with or after the
    // `right`-th.
    int compare(size_t left, size_t right) const;

private:
    TextTable::ColumnKind m_kind;
    std::vector<double> m_numbers;
    std::vector<QString> m_dates;
    std::vector<QCollatorSortKey> m_texts;
};

// The same order for two cells alone, for the few comparisons that put a changed row back in
// its place.
int compareCells(const QString &left, const QString &right, TextTable::ColumnKind kind);

bool readsAsNumber(const QString &text);
bool readsAsDate(const QString &text);

} // namespace Kit::Internal
