#pragma once

#include "servicios/servicios_export.h"

namespace Kit {
class ListView;
}

namespace Servicios {

// Fits a list's columns to its width. Each column is measured on its header and its first
// rows, so the cost does not grow with the list; when they do not all fit, the text columns
// give up width in proportion to what they have beyond a minimum, long texts ending in "…",
// while the first column (the row's key), figures and dates keep what they need. The last
// column takes whatever width is left.
class SERVICIOS_EXPORT AjusteLista final
{
public:
    static constexpr int FilasMedidas = 200;

    // What a form asks after each resize of its own: fits the columns, keeping nothing. A
    // window made narrow for a moment is not the user's choice of widths.
    void Ajusta(Kit::ListView &lista);
    // "Ajustar columnas": fits the columns and keeps that as the user's layout of the list.
    void AjustaYGuarda(Kit::ListView &lista);
    // Fits the columns, as a new filling does, keeping nothing.
    void AjustaAlAncho(Kit::ListView &lista);
};

} // namespace Servicios
