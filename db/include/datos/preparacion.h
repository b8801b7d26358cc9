#pragma once

#include "datos/datos_export.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace Ado {
class Connection;
struct DatabaseAddress;
} // namespace Ado

namespace Datos {

// How a new database is prepared for its first sign-in.
struct Preparacion
{
    // The administrator's operator code, kept in capitals. Unless the rows loaded already hold that operator,
    // it is made with a salesperson of the same code and level 3, so the administrator's
    // board shows every opportunity without the salesperson's login.
    QString administrador = QStringLiteral("ADMIN");
    bool demo = false; // the demo's rows instead of the minimum configuration
    int oportunidadesDemo = 300;
    // The administrator's password: asked for only once the database is known to be
    // empty, and checked against the password rules before anything is written.
    std::function<QString()> contrasena;
};

// Prepares an empty database (a SQLite file is created when missing, readable by its owner
// only): the suite's tables at this program's schema version, the minimum configuration or
// the demo's rows, and the administrator signing in with the password given. On PostgreSQL
// the server keeps the rights: its roles, grants and policies, and the administrator's own
// login role (run by a role that may create roles and owns the database). Everything in one transaction: on any
// failure nothing is left, not even a SQLite file it created. Raises, changing nothing, on
// a database that holds any of the suite's tables. Returns what it did, a line for each step,
// in Spanish.
DATOS_EXPORT QStringList preparaBase(const Ado::DatabaseAddress &direccion, const Preparacion &preparacion);

// Converts a PostgreSQL database the suite shared through one account into one where each
// person signs in as themselves and the server keeps the rights: the roles, the owner, the
// grants and policies, a login role for every operator (the administrator's with the password
// given, the others to be given one). No row is lost. Older schemas are brought up to date
// first; the rest is one transaction. Run by a role that may create roles and owns the
// database (the server's administrator). Returns what it did, a line for each step.
DATOS_EXPORT QStringList convierteBase(const Ado::DatabaseAddress &direccion, const Preparacion &preparacion);

// The suite's tables the database already holds, as the database names them.
DATOS_EXPORT QStringList tablasDeLaSuite(Ado::Connection &conexion);

} // namespace Datos
