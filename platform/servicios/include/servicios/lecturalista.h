#pragma once

#include "servicios/servicios_export.h"

#include "controles/listupdate.h"

#include <QVariant>

#include <functional>
#include <optional>

namespace Ado {
class Recordset;
}
namespace Kit {
class ListView;
}

namespace Servicios {

// Reads a result into what a list must change to show it, comparing each record on the way
// with the row shown in its place: while they agree nothing is kept, so a refresh that finds
// nothing new costs little more than reading the result, and one that finds a few changed
// rows keeps just those. Rows that arrive in other places, or many changed rows, make a new
// table (sorted as the list sorts). Values are shown as the suite's users read them (see
// FormatoDeLista: "$1,234.50", "45,000.5", "31/12/2026"), the first column as it is. It only
// reads the snapshot, so it runs on any thread; none when `debeParar` says so while it reads.
// `avance`, every few hundred rows: the rows read so far, and the new table they are in (none
// while the rows read are still those shown).
using AvanceDeLectura = std::function<void(int filas, const Kit::TextTable *leidas, const QStringList &encabezados)>;
SERVICIOS_EXPORT std::optional<Kit::ListUpdate> leeLista(Ado::Recordset &datos, const Kit::ListSnapshot &mostrada,
                                                         const std::function<bool()> &debeParar = {},
                                                         const AvanceDeLectura &avance = {});

// Applies a reading to the list it was read for. New columns, or the list's layout key naming
// another view, bring back the layout the user left for them (see Kit::ListView), or
// fit the columns to the window when there is none; otherwise the columns stay as they are.
// `columnasNuevas`: whether they were new when the reading began, when the list showed some of
// its rows meanwhile.
SERVICIOS_EXPORT void aplicaLectura(Kit::ListView &lista, Kit::ListUpdate lectura,
                                    std::optional<bool> columnasNuevas = std::nullopt);

// What an amount column shows before a value that is not a number ("⚠ $9,999,999.00", a text
// the database holds there), so it cannot pass for an amount; the totals leave such a cell out.
inline constexpr QStringView marcaDeMontoNoNumerico = u"\u26A0 ";

// The plain text of a database value, as a list's first column shows it and as the folios
// and state keys read back from the database are compared with it: Null as nothing,
// fractional numbers with two decimals, dates in ISO form.
SERVICIOS_EXPORT QString textoDeCelda(const QVariant &valor);

} // namespace Servicios
