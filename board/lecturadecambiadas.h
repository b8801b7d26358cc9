#pragma once

#include "aspectos.h"

#include "controles/listupdate.h"
#include "servicios/mezclalista.h"

#include <QStringList>

#include <optional>

namespace Ado {
class Connection;
}

// The opportunities that changed since the rows shown were read.
struct Cambiadas
{
    QStringList folios;
    bool descendente = false; // the view lists its folios from the last
    QString intercalacion;    // the collation the view orders its folios by, as SQL names it
};

// The rows shown with the changed ones read again, and the looks of those.
struct LecturaDeCambiadas
{
    Servicios::Mezcla mezcla;
    // By the rows of a new table (none for a row kept as it was), or in the order of the
    // rows read again when the rows shown stay.
    Aspectos::Leidos aspectos;
};

// Reads the rows of the changed opportunities alone, through the view's statement as a
// sub-select filtered by its first column, the folio, and puts them where the view's order
// does, the database comparing the folios. None when merging them could give other rows
// than reading the view whole (then it is read whole).
std::optional<LecturaDeCambiadas> leeCambiadas(Ado::Connection &conexion, const QString &sql,
                                               const Cambiadas &cambiadas, const Kit::ListSnapshot &mostrada);
