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

} // namespace Pruebas
