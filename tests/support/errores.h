#pragma once

#include "runtime/error.h"

#include <functional>

namespace Pruebas {

// Runs a step and answers the number of the runtime error it raised, 0 when it raised none.
inline int errorDe(const std::function<void()> &paso)
{
    try {
        paso();
    } catch (const Runtime::RuntimeError &error) {
        return error.number();
    }
    return 0;
}

// The description of the runtime error a step raised, "" when it raised none: where the user
// reads the reason, the reason is what a test checks.
inline QString descripcionDe(const std::function<void()> &paso)
{
    try {
        paso();
    } catch (const Runtime::RuntimeError &error) {
        return error.description();
    }
    return {};
}

} // namespace Pruebas
