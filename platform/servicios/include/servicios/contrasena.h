#pragma once

#include "servicios/servicios_export.h"

#include <QString>

namespace Servicios {

// Stores a salesperson's password, enciphered, on the session's connection. Raises 5 when
// no salesperson has that code. For the host's command line.
SERVICIOS_EXPORT void ponContrasena(const QString &codigoVendedor, const QString &clara);

} // namespace Servicios
