#include "registro.h"

namespace Servicios {

Q_LOGGING_CATEGORY(logServicios, "teqvaro.servicios")

} // namespace Servicios
