#pragma once

#include "servicios/servicios_export.h"

#include <QString>

namespace Ado {
class Connection;
}

namespace Servicios {

// A salesperson's password is never read back, only checked, and where its hash is kept:
// on PostgreSQL by the server (crypt() of pgcrypto, in functions that run as the tables'
// owner, which count failures and slow a guesser down), on a SQLite file in this process
// (Argon2id, as the operators' passwords). The hashes live in Vendedor_Contrasena, which
// users do not read.
enum class RevisionDeContrasena {
    Coincide,
    NoCoincide, // also a salesperson who never had a password
    PideNueva,  // the stored password could not be carried over: an administrator must give a new one
};

// Checks the typed password of the salesperson with that code. On PostgreSQL the try is
// committed before its outcome is read, so it must not run inside a transaction (raises 5).
SERVICIOS_EXPORT RevisionDeContrasena revisaContrasenaDeVendedor(Ado::Connection &conexion, const QString &codigo,
                                                                 const QString &clara);

// Stores a salesperson's password as its hash, inside the caller's transaction when there is
// one. No rule is checked here: see ponContrasena.
SERVICIOS_EXPORT void guardaContrasenaDeVendedor(Ado::Connection &conexion, const QString &codigo,
                                                 const QString &clara);

// Gives every salesperson the same password with one hash, as demo data starts.
SERVICIOS_EXPORT void guardaContrasenaDeTodos(Ado::Connection &conexion, const QString &clara);

// Stores a salesperson's password on the session's connection, for the host's command line.
// Raises 5 when the password breaks the rules of revisaContrasenaNueva or no salesperson has
// that code. On a server that keeps the rights, only an administrator may.
SERVICIOS_EXPORT void ponContrasena(const QString &codigoVendedor, const QString &clara);

} // namespace Servicios
