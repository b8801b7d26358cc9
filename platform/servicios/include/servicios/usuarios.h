#pragma once

#include "servicios/servicios_export.h"

#include <QString>

#include <optional>

namespace Ado {
class Connection;
}

namespace Servicios {

// When the suite's PostgreSQL database keeps the rights itself, each person signs in to it
// as a login role of their own, and the server decides what they may read and write. These
// are the host's ways into that: who a role is, and an administrator's adding and removing of
// people. A SQLite file, or a PostgreSQL database shared through one account, has no roles.

// The login role of an operator's code: the database's name, a dot, the code in lower case.
SERVICIOS_EXPORT QString rolDeOperador(const QString &baseDeDatos, const QString &codigo);

// Whether the server of this connection keeps the rights (row-level security on the
// opportunities).
SERVICIOS_EXPORT bool derechosEnElServidor(Ado::Connection &conexion);

// The operator the connection's login role is, as Operador spells the code; nothing when the
// role is no operator's (the owner, the server's administrator, a shared account).
SERVICIOS_EXPORT std::optional<QString> operadorDeLaSesion(Ado::Connection &conexion);

struct AltaDeOperador
{
    QString codigo;
    QString nombre;   // "" takes the code
    QString vendedor; // "" for none
    bool administrador = false;
    QString contrasena; // in clear here; it reaches the server only as its SCRAM verifier
};

// Adds a person: their login role, their operator and salesperson, in one transaction. Only
// an administrator may; the server says so otherwise. Returns the login role.
SERVICIOS_EXPORT QString altaDeOperador(Ado::Connection &conexion, const AltaDeOperador &alta);

// Removes a person: their login role, operator and restrictions, in one transaction.
SERVICIOS_EXPORT void bajaDeOperador(Ado::Connection &conexion, const QString &codigo);

} // namespace Servicios
