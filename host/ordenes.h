#pragma once

#include <QStringList>

namespace Ado {
struct DatabaseAddress;
}
namespace Datos {
struct Preparacion;
}
struct Opciones;

// The commands that act on a database and end, without a window: their outcome on standard
// output, a failure raised for the caller to report.

// Prepares or converts the database of `url` with `prepara`; the administrator's password is
// read from standard input only once the database is known to suit.
int preparaBase(const QString &url, const Opciones &opciones,
                QStringList (*prepara)(const Ado::DatabaseAddress &, const Datos::Preparacion &));

// Whether the command line asks for a command on the session's database (passwords, people,
// the schema), run as whoever gives it.
bool esOrdenSobreLaBase(const Opciones &opciones);
int ejecutaOrdenSobreLaBase(const Opciones &opciones);
