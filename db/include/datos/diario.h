#pragma once

#include "datos/datos_export.h"

namespace Ado {
class Connection;
}

namespace Datos {

// Puts a SQLite database in write-ahead-log mode, where a reading never holds up a writer nor
// a writer a reading. The mode stays in the file, so the host sets it once, when it opens the
// session's database. A file that cannot take it (on a read-only medium, or opened read-only)
// keeps its mode and still opens; the log says so. Answers whether the file is in that mode.
DATOS_EXPORT bool usaDiarioAnticipado(Ado::Connection &conexion);

} // namespace Datos
