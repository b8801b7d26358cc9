#pragma once

#include <QString>

class VentanaPrincipal;

// The picture a run without a display leaves of what the user would see.
namespace Captura {

// Draws the main window, the windows it owns over it and a dialog one of them opened over
// everything, and writes the picture to a PNG; false (and logged) when it cannot be written.
bool guarda(VentanaPrincipal &ventana, const QString &archivo);

} // namespace Captura
