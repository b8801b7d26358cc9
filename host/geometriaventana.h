#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// The main window comes back as the user left it (size, position, maximised), kept in the
// user's settings ("Teqvaro/teqvaro.ini"), but always within the available area of a screen
// that is there now: a geometry saved on a larger screen, or on one since unplugged, is
// brought back inside.
namespace GeometriaVentana {

// The size a first open asks for when the screen has room.
inline constexpr QSize TamanoInicial{1100, 700};
// The smallest size at which the board's toolbar and its search still fit.
inline constexpr QSize TamanoMinimo{640, 400};

// Before the window is shown: the saved geometry, or without one (or one this screen cannot
// take) TamanoInicial or less, centred; and a minimum size no larger than the screen.
void restaura(QWidget &ventana);

void guarda(const QWidget &ventana);

// `deseado` shrunk to fit `disponible` and moved inside it, keeping its place if it can.
QRect dentroDe(const QRect &deseado, const QRect &disponible);

} // namespace GeometriaVentana
