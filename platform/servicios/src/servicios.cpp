#include "servicios/servicios.h"

namespace Servicios {

Entorno::~Entorno() = default;
Funciones::~Funciones() = default;
Procesos::~Procesos() = default;

} // namespace Servicios
