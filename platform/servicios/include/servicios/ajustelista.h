#pragma once

#include "servicios/servicios_export.h"

namespace Controles {
class ListView;
}

namespace Servicios {

// Fits a list's columns to their contents. Only the header and the first rows are
// measured, so the cost does not grow with the list; the last column takes the rest of
// the width.
class SERVICIOS_EXPORT AjusteLista final
{
public:
    static constexpr int FilasMedidas = 200;

    void Ajusta(Controles::ListView &lista);
};

} // namespace Servicios
