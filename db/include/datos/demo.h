#pragma once

#include "datos/datos_export.h"

#include <QString>

namespace Ado {
class Connection;
}

namespace Datos {

// The demo data: states with their colours (some bold), salespeople of levels 1 to 3 (one
// deactivated) with enciphered passwords, operators with and without a salesperson,
// contacts with and without an organisation, lost causes (one deactivated), the suite's
// variables, two stored views, and `oportunidades` opportunities.
DATOS_EXPORT void cargaDemo(Ado::Connection &conexion, int oportunidades = 300);
// The same rows inside the caller's transaction.
DATOS_EXPORT void agregaDemo(Ado::Connection &conexion, int oportunidades = 300);

// Adds `cantidad` opportunities with folios "OP-" + six digits after the ones already
// numbered below `primerNumero`, spread over salespeople, contacts and states. The same
// number always gives the same rows.
DATOS_EXPORT void generaOportunidades(Ado::Connection &conexion, int cantidad, int primerNumero = 1);

// The password every demo salesperson starts with.
inline const QString ContrasenaDemo = QStringLiteral("demo");

// Creates the tables and the demo data in a new SQLite file (nothing when it exists); true
// when it created the file.
DATOS_EXPORT bool aseguraBaseDemo(const QString &archivo, int oportunidades = 300);

} // namespace Datos
