#pragma once

#include <QString>

class QWidget;

namespace Kit {
class flatButton;
class Titulo;
} // namespace Kit

// The pieces the module's dialogs share, with their design-time settings.
namespace Dialogos {

// The title band across the top (405 twips high), without minimise, maximise or icon; the
// exit button only where the dialog offers one.
Kit::Titulo *creaTitulo(QWidget *dialogo, const QString &leyenda, int ancho, bool conSalida);

// A flat button in the suite's dialog colours, Calibri 9, placed in twips.
Kit::flatButton *creaBoton(QWidget *dialogo, const QString &nombre, const QString &leyenda, int izquierda, int arriba,
                           int ancho);

} // namespace Dialogos
