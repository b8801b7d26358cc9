#pragma once

#include "servicios/servicios_export.h"

#include "controles/listupdate.h"

#include <QVariant>

#include <functional>
#include <optional>

namespace Ado {
class Recordset;
}
namespace Controles {
class ListView;
}

namespace Servicios {

// Reads a result into what a list must change to show it, comparing each record on the way
// with the row shown in its place: while they agree nothing is kept, so a refresh that finds
// nothing new costs little more than reading the result, and one that finds a few changed
// rows keeps just those. Rows that arrive in other places, or many changed rows, make a new
// table (sorted as the list sorts). It only reads the snapshot, so it runs on any thread;
// none when `debeParar` says so while it reads.
SERVICIOS_EXPORT std::optional<Controles::ListUpdate> leeLista(Ado::Recordset &datos,
                                                               const Controles::ListSnapshot &mostrada,
                                                               const std::function<bool()> &debeParar = {});

// Applies a reading to the list it was read for; a new set of columns is fitted to its
// contents, the same columns keep the widths the user gave them.
SERVICIOS_EXPORT void aplicaLectura(Controles::ListView &lista, Controles::ListUpdate lectura);

// How a database value reads in a list: Null as nothing, fractional numbers with two
// decimals, dates in the suite's text form.
SERVICIOS_EXPORT QString textoDeCelda(const QVariant &valor);

} // namespace Servicios
