#pragma once

#include "runtime/runtime_export.h"

#include <QLoggingCategory>
#include <QObject>

#include <exception>
#include <type_traits>

namespace Runtime {

RUNTIME_EXPORT Q_DECLARE_LOGGING_CATEGORY(logRuntime)

    // Records a failure that left a routine without an error trap of its own; the host goes on.
    RUNTIME_EXPORT void logUntrappedFailure(const char *routine, std::exception_ptr failure);
// From now on every message box the application shows, whoever shows it, is logged (category
// "teqvaro.mensajes") with its title, its reference and its text, on one line.
RUNTIME_EXPORT void logMessageBoxes();

// Records a failure the user was already told of, and is not told again.
RUNTIME_EXPORT void logRepeatedFailure(const char *routine, std::exception_ptr failure);

// Runs an event handler so that nothing it throws leaves it: a failure is logged.
template<typename Body> void runHandler(const char *routine, Body &&body) noexcept
{
    try {
        body();
    } catch (...) {
        logUntrappedFailure(routine, std::current_exception());
    }
}

// Connects a signal to an event handler run through runHandler: whatever the handler
// throws is logged and goes no further than the connection.
template<typename Sender, typename Signal, typename Receiver, typename Handler>
QMetaObject::Connection connectHandler(Sender *sender, Signal signal, Receiver *receiver, const char *routine,
                                       Handler handler)
{
    return QObject::connect(sender, signal, receiver, [routine, handler](auto... arguments) {
        runHandler(routine, [&] {
            if constexpr (std::is_invocable_v<const Handler &, decltype(arguments)...>)
                handler(arguments...);
            else
                handler(); // a handler that takes none of the signal's arguments
        });
    });
}

} // namespace Runtime
