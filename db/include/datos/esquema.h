#pragma once

#include "datos/datos_export.h"

#include <QStringList>

namespace Ado {
class Connection;
}

namespace Datos {

// The statements that create the suite's tables as they were before the schema had versions
// (version 1), the same text for SQLite and PostgreSQL; datos/version.h goes on from there.
DATOS_EXPORT QStringList sentenciasDelEsquema();

// Creates the suite's tables on an empty database, at this program's schema version (or an
// older one, as databases in the field may have them).
DATOS_EXPORT void creaEsquema(Ado::Connection &conexion, int version = 0);
// The same inside the caller's transaction.
DATOS_EXPORT void creaTablas(Ado::Connection &conexion, int version = 0);

// The names of the tables creaEsquema makes, as they are written in its statements.
DATOS_EXPORT QStringList tablasDelEsquema();

} // namespace Datos
