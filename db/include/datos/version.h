#pragma once

#include "datos/datos_export.h"

#include <QStringList>

namespace Ado {
class Connection;
}

namespace Datos {

// The schema version this program reads and writes. Databases made before the schema had
// versions hold no Version_Esquema table and count as version 1.
DATOS_EXPORT int versionDelPrograma();

// The version the database holds (1 when it has no Version_Esquema table).
DATOS_EXPORT int versionDeLaBase(Ado::Connection &conexion);

// Brings a database with the suite's tables up to this program's version, every step in one
// transaction: an interrupted upgrade leaves the database as it was. Hosts started together
// upgrade it once. Raises, changing nothing, when the database is newer than the program.
DATOS_EXPORT void actualizaEsquema(Ado::Connection &conexion);

// The steps from `desde` to `hasta`, inside the caller's transaction.
DATOS_EXPORT void aplicaPasosDesde(Ado::Connection &conexion, int desde, int hasta);

// The statements of every step, from version 1 on.
DATOS_EXPORT QStringList sentenciasDeLosPasos();

} // namespace Datos
