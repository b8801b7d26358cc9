#pragma once

#include "runtime/runtime_export.h"

#include <QLoggingCategory>

#include <exception>

namespace Runtime {

RUNTIME_EXPORT Q_DECLARE_LOGGING_CATEGORY(logRuntime)

// Records a failure that left a routine without an error trap of its own; the host goes on.
RUNTIME_EXPORT void logUntrappedFailure(const char *routine, std::exception_ptr failure);

// Runs an event handler so that nothing it throws leaves it: a failure is logged.
template<typename Body>
void runHandler(const char *routine, Body &&body) noexcept
{
    try {
        body();
    } catch (...) {
        logUntrappedFailure(routine, std::current_exception());
    }
}

} // namespace Runtime
