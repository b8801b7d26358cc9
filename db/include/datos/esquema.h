#pragma once

#include "datos/datos_export.h"

#include <QStringList>

namespace Ado {
class Connection;
}

namespace Datos {

// The statements that create the suite's tables, the same text for SQLite and PostgreSQL.
DATOS_EXPORT QStringList sentenciasDelEsquema();

// Creates the suite's tables on an empty database.
DATOS_EXPORT void creaEsquema(Ado::Connection &conexion);

} // namespace Datos
