#include "runtime/log.h"

#include "runtime/error.h"

namespace Runtime {

Q_LOGGING_CATEGORY(logRuntime, "teqvaro.runtime")

namespace {

void logFailure(const char *routine, std::exception_ptr failure, const char *circumstance) noexcept
{
    try {
        const RuntimeError error = toRuntimeError(failure);
        qCWarning(logRuntime).noquote() << routine << circumstance << error.number() << error.description();
    } catch (...) {
        // Logging must never be the thing that ends the host.
    }
}

} // namespace

void logUntrappedFailure(const char *routine, std::exception_ptr failure)
{
    logFailure(routine, failure, "falló sin trampa de errores:");
}

void logRepeatedFailure(const char *routine, std::exception_ptr failure)
{
    logFailure(routine, failure, "volvió a fallar (ya se avisó):");
}

} // namespace Runtime
