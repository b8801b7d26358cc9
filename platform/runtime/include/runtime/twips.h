#pragma once

#include "runtime/runtime_export.h"

#include <QRect>

class QWidget;

namespace Runtime {

// Form layouts are designed in twips (1/1440 inch): 15 twips to a pixel at 96 dpi, and
// proportionally more pixels on a screen with a higher logical dpi.
RUNTIME_EXPORT int twipsToPixels(double twips, const QWidget *onScreenOf = nullptr);
RUNTIME_EXPORT double pixelsToTwips(int pixels, const QWidget *onScreenOf = nullptr);

// Places a widget at a design position and size given in twips.
RUNTIME_EXPORT void placeInTwips(QWidget *widget, int left, int top, int width, int height);

} // namespace Runtime
