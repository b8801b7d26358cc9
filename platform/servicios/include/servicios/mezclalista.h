#pragma once

#include "servicios/servicios_export.h"

#include "controles/listupdate.h"

#include <QSet>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace Ado {
class Recordset;
}

namespace Servicios {

// The rows shown with some of their folios read again: what a whole reading would have
// found, row for row, in the same order and with the same texts.
struct Mezcla
{
    Kit::ListUpdate actualizacion;
    // With a new table: for each of its rows, the row shown it is, unchanged, or -1 for a row
    // read again.
    std::vector<int> conservada;
    // Without one, the rows shown staying in their places: the rows read again, in order.
    std::vector<int> releidas;
};

// The order of the view's folios as the database compares them (its collation, which the
// list cannot know): the folios given in the view's order, and for each pair whether the
// first comes before the second.
struct OrdenDeFolios
{
    std::function<QStringList(const QStringList &folios)> ordena;
    std::function<std::vector<bool>(const QStringList &primeros, const QStringList &segundos)> antes;
};

// Merges into a list whose rows come one per folio, in the order of their folios, the rows
// read again of `folios` (those that changed since the list was read): `cambiadas` holds the
// view's rows of those folios that are in it now. A folio shown and not read again has left
// the view; one read again and not shown goes where the view's order puts it.
// None when the result could differ from a whole reading: a folio listed twice or empty,
// other columns, or a column of figures whose decimals would change with the rows that came
// or went.
SERVICIOS_EXPORT std::optional<Mezcla> mezclaLista(Ado::Recordset &cambiadas, const Kit::ListSnapshot &mostrada,
                                                   const QSet<QString> &folios, const OrdenDeFolios &orden);

} // namespace Servicios
