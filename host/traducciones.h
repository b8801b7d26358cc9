#pragma once

class QCoreApplication;

// Qt's own dialogs and buttons (the file dialog, "Cancelar", the colour dialog) speak the
// user's language only when Qt's translations are loaded: the host speaks Spanish (Mexico)
// whatever the computer's language, as every text of its own does. Called once, right after
// the application object exists and before any dialog. Over Qt's Spanish go the few words
// Mexico says otherwise ("Nombre de archivo", not "de fichero"), a resource of the host. False
// (and logged) when Qt's Spanish texts are not installed: the program goes on with Qt's
// English ones.
bool instalaTraducciones(QCoreApplication &aplicacion);
