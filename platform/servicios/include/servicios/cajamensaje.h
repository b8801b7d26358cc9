#pragma once

#include "servicios/servicios_export.h"

#include <QString>

class QWidget;

namespace Servicios {

// What one message box shows. The style combines the classic flags: buttons (style & 7),
// icon (style & 0x70) and default button (style & 0x300).
struct DatosMensaje
{
    QString texto;
    qint32 estilo = 0;
    QString titulo;
    QWidget *propietario = nullptr;
    QString modulo;
    QString idError;
};

// Shows a message box modally and returns the classic code of the button pressed:
// 1 Aceptar, 2 Cancelar, 3 Anular, 4 Reintentar, 5 Omitir, 6 Sí, 7 No. With an owner the
// box is window modal to the owner's window; without one it is application modal.
// The module code and error identifier appear in small grey print under the text, so a
// user can quote them to support. The box's objectName is "Mensaje".
SERVICIOS_EXPORT qint32 muestraMensaje(const DatosMensaje &datos);

} // namespace Servicios
