#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace Pruebas {

// Answers a modal dialog or a popup menu the code under test is about to open: once the
// active modal widget (or popup) named `nombre` is up, `respuesta` runs on it. It waits
// for the widget by polling the event loop, not by the clock.
void alAparecer(const QString &nombre, std::function<void(QWidget &)> respuesta);

// Clicks the child button named `boton` of the widget.
void pulsa(QWidget &ventana, const QString &boton);

} // namespace Pruebas
