#pragma once

#include <QWidget>

// Brings a window of the application to the front and makes it the active one, restoring
// it first when minimised.
inline void alFrente(QWidget *ventana)
{
    if (ventana->isMinimized())
        ventana->showNormal();
    ventana->show();
    ventana->raise();
    ventana->activateWindow();
}
