#pragma once

#include "controles/texttable.h"

#include <QString>

namespace Controles::Internal {

// The value a cell sorts by: numbers by value, dates by their ISO text, other text by a key
// in Spanish order: letter case and accents aside, ñ its own letter between n and o, and
// numbers inside the text by value (OP-9 before OP-10).
struct SortKey
{
    double number = 0;
    QString text;
};

SortKey sortKeyOf(const QString &text, TextTable::ColumnKind kind);
int compareKeys(const SortKey &left, const SortKey &right, TextTable::ColumnKind kind);

bool readsAsNumber(const QString &text);
bool readsAsDate(const QString &text);

} // namespace Controles::Internal
