#include "runtime/log.h"

#include "runtime/error.h"

namespace Runtime {

Q_LOGGING_CATEGORY(logRuntime, "teqvaro.runtime")

void logUntrappedFailure(const char *routine, std::exception_ptr failure)
{
    try {
        const RuntimeError error = toRuntimeError(failure);
        qCWarning(logRuntime).noquote() << routine << "falló sin trampa de errores:" << error.number()
                                        << error.description();
    } catch (...) {
        // Logging must never be the thing that ends the host.
    }
}

} // namespace Runtime
