#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the board learns of a view's statement from its text. Whether its rows may change with
// the clock alone, with no write to any table: its statement asks for the date or the time,
// or calls a function the board cannot tell is free of the clock. In doubt, it may: such a
// view is read again at least every minute. And whether its rows come in the order of their
// folios, so that the rows of a few opportunities can be read again alone and put in place.
namespace Sql {

// A statement whose rows come one per opportunity, ordered by the folio, its first column.
struct OrdenPorFolio
{
    bool descendente = false;
};

struct Lectura
{
    bool dependeDelReloj = false;
    QString porque; // what made it depend on the clock, for the log
    // A function the board cannot look into: it may read any table.
    bool llamaDesconocida = false;
    QStringList nombres; // the names the statement uses outside its texts, in lower case
    std::optional<OrdenPorFolio> ordenPorFolio;
};

// Reads a statement of PostgreSQL or SQLite as text, to its end; the views it names are not
// looked into here (see `nombres`).
Lectura lee(const QString &sql);

} // namespace Sql
