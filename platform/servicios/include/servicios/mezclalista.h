#pragma once

#include "servicios/servicios_export.h"

#include "controles/listupdate.h"

#include <QSet>
#include <QString>

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
    // For each row of the result (the new table's, or the table shown's when it stays): the
    // row shown it is, unchanged, or -1 for a row read again.
    std::vector<int> conservada;
};

// Merges into a list whose rows come one per folio, in the order of their folios, the rows
// read again of `folios` (those rows that changed since the list was read): `cambiadas` holds
// the view's columns and one more, the folio of the row that comes before each one in the
// view's order now (none for the first). A folio read again that is not shown goes after that
// one; a folio shown and not read again has left the view.
// None when the result could differ from a whole reading: a folio listed twice or empty, a
// row whose place the database did not give, other columns, or a column of figures whose
// decimals would change with the rows that came or went.
SERVICIOS_EXPORT std::optional<Mezcla> mezclaLista(Ado::Recordset &cambiadas, const Kit::ListSnapshot &mostrada,
                                                   const QSet<QString> &folios);

} // namespace Servicios
