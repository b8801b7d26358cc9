#pragma once

#include "servicios/servicios_export.h"

#include <QString>

namespace Kit {
class ListView;
}

namespace Servicios::AccionesLista {

// The list exactly as the user sees it: the visible columns in their on-screen order and
// the rows in their current (sorted) order, the headers first.

// ',' between fields (the list separator of a Windows set to Spanish (Mexico), so Excel opens
// the file in columns there), CRLF after each line; a field holding ',', '"' or a line break is
// enclosed in quotes with its quotes doubled (an amount, "$1,234.50", too). A field a spreadsheet would run as a formula,
// at its start or after a comma or a semicolon inside it, goes out as text: an apostrophe
// before it, and quotes when the formula is inside.
SERVICIOS_EXPORT QString textoCsv(const Kit::ListView &lista);

// Tabs between fields, LF after each line; tabs and line breaks inside a cell become blanks,
// so a spreadsheet pastes one cell per field.
SERVICIOS_EXPORT QString textoTabulado(const Kit::ListView &lista);

// Writes textoCsv as UTF-8 with a byte order mark (spreadsheets need it to read accents).
// Raises 75 with the reason when the file cannot be written.
SERVICIOS_EXPORT void guardaCsv(const Kit::ListView &lista, const QString &ruta);

SERVICIOS_EXPORT void copiaFilas(const Kit::ListView &lista);

} // namespace Servicios::AccionesLista
