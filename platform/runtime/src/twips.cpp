#include "runtime/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace Runtime {
namespace {

constexpr double twipsPerInch = 1440.0;

double logicalDpi(const QWidget *widget)
{
    const QScreen *screen = widget && widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

} // namespace

int twipsToPixels(double twips, const QWidget *onScreenOf)
{
    return int(std::lround(twips * logicalDpi(onScreenOf) / twipsPerInch));
}

double pixelsToTwips(int pixels, const QWidget *onScreenOf)
{
    return double(pixels) * twipsPerInch / logicalDpi(onScreenOf);
}

void placeInTwips(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsToPixels(left, widget), twipsToPixels(top, widget), twipsToPixels(width, widget),
                        twipsToPixels(height, widget));
}

} // namespace Runtime
