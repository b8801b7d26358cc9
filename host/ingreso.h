#pragma once

#include "ado/databaseaddress.h"
#include "servicios/frenodeintentos.h"

#include <QString>

#include <optional>

// Who may sign in to the host, checked against the operators of the session's database.
// Codes match ignoring case and come back as the database stores them, so restricted
// options, the audit log and the status bar all see the one spelling.
class Ingreso final
{
public:
    // On the demo database (the file the host builds in the user's data folder, and no
    // copy of it) an operator without a password signs in without one, so the demo opens
    // straight on the board. On any other database such an operator cannot sign in until
    // a password is set.
    explicit Ingreso(bool baseDeDemostracion,
                     Servicios::FrenoDeIntentos::Espera espera = Servicios::FrenoDeIntentos::esperaSinEntrada);

    // On a PostgreSQL server that keeps the rights, signing in is connecting: the code names
    // the operator's own login role on the server of `direccion` (which names no user), and
    // the server checks the password (or finds it in PGPASSWORD or ~/.pgpass). Once in, that
    // connection is the session's database.
    static Ingreso porServidor(const Ado::DatabaseAddress &direccion, Servicios::FrenoDeIntentos::Espera espera =
                                                                          Servicios::FrenoDeIntentos::esperaSinEntrada);

    // The operator's code as stored, or nothing when the code is unknown or the password
    // wrong: the caller cannot tell which, and neither can whoever is guessing. After five
    // failures in a row for a code, each further try first waits (see FrenoDeIntentos).
    // A database that cannot be read raises, and counts as no try.
    std::optional<QString> entra(const QString &codigo, const QString &contrasena);

    // Whether the operator signs in with no password typed: the demo's operators, or one
    // whose password the server's client library finds on its own.
    bool entraSinContrasena(const QString &codigo) const;

    // The single refusal both an unknown code and a wrong password get.
    static QString rechazo();

private:
    std::optional<QString> revisa(const QString &codigo, const QString &contrasena) const;
    std::optional<QString> conecta(const QString &codigo, const QString &contrasena) const;
    Ado::DatabaseAddress comoOperador(const QString &codigo, const QString &contrasena) const;

    bool m_demo;
    std::optional<Ado::DatabaseAddress> m_servidor;
    Servicios::FrenoDeIntentos m_freno;
};

// Whether the session's database is the demo database of this user.
bool esBaseDeDemostracion(const QString &archivoDemo);
