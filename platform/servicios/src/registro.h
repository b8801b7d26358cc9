#pragma once

#include <QLoggingCategory>

namespace Servicios {

Q_DECLARE_LOGGING_CATEGORY(logServicios)

} // namespace Servicios
