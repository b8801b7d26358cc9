#pragma once

#include "runtime/runtime_export.h"

#include <QColor>
#include <QPalette>

namespace Runtime {

// Colour references are laid out 0x00BBGGRR (lowest byte red). Values from 0x80000000
// to 0x80000018 name system colours, resolved against a palette.
RUNTIME_EXPORT bool isValidColorReference(qint32 reference);

// Raises 380 for a reference that is neither an RGB colour nor a system colour.
RUNTIME_EXPORT QColor toQColor(qint32 reference, const QPalette &palette = QPalette());

RUNTIME_EXPORT qint32 toColorReference(const QColor &color);

} // namespace Runtime
