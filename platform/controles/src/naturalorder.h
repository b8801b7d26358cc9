#pragma once

#include "controles/texttable.h"

#include <QString>

namespace Controles::Internal {

// The value a cell sorts by: numbers by value (signs, "$" and thousands separators aside),
// dates in time order (written "2026-12-31" or "31/12/2026", with or without a time), other text by a key
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
