#pragma once

#include <QString>

namespace Servicios {

// Table and column names cannot be quoted like values, so only plain identifiers are let
// into a statement; anything else raises 5.
void exigeIdentificador(const QString &nombre);

} // namespace Servicios
