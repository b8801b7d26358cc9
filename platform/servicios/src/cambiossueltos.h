#pragma once

#include <algorithm>
#include <cstddef>

namespace Servicios {

// Beyond this many changed rows (a share of the rows shown) a reading keeps them as a new
// table rather than one by one: a table keeps each repeated text once.
inline size_t maximoDeCambiosSueltos(int filasMostradas)
{
    constexpr size_t minimo = 64;
    constexpr int parte = 16;
    return std::max(minimo, size_t(filasMostradas / parte));
}

} // namespace Servicios
