#pragma once

#include "controles/controles_export.h"

#include <QString>

namespace Kit {

// The embeddings, overrides and isolates (U+202A–202E, U+2066–2069) and the two marks
// (U+200E, U+200F): each reorders the text around it, so "OP-\u202E100000" reads as
// "OP-000001".
CONTROLES_EXPORT bool changesDirection(QChar letter);

// The text with each character that changes direction shown as its code ("‹U+202E›"), so no
// text shown can pass for another. For showing only: what is stored, copied, exported or
// saved keeps the text as it is.
CONTROLES_EXPORT QString withDirectionShown(const QString &text);

} // namespace Kit
