#pragma once

#include <QString>

namespace Datos {

// The text of one of the library's resources (db/datos.qrc), as UTF-8.
QString textoDelRecurso(const QString &ruta);

} // namespace Datos
