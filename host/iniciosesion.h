#pragma once

#include "conexioninicial.h"

#include "ado/databaseaddress.h"

#include <QString>

#include <optional>

class Ingreso;
struct Opciones;

// How this run signs its operator in.
struct PeticionDeIngreso
{
    QString codigo;           // from --operador: it only fills the code box
    bool demo = false;        // the session's database is the user's demo database
    bool sinPantalla = false; // nobody can type: the password, if one is needed, is the first line of standard input
};

// The operator of this run, signed in; nothing when the user gave up. On the demo database
// the code defaults to the demo's manager, and an operator without a password is in
// without a dialog, so the demo opens straight on the board. A run without a display that
// cannot sign in raises, saying why.
std::optional<QString> iniciaSesion(const PeticionDeIngreso &peticion, Ingreso &ingreso);

// The session's database as the command line names it: by default the demo's, made on first use.
Ado::DatabaseAddress direccionDeLaSesion(const Opciones &opciones);

// The hot standby the command line names for the board's automatic readings; none when it
// names none. Raises when it is not a PostgreSQL server's, or the session's database is not.
std::optional<Ado::DatabaseAddress> direccionDeLectura(const Opciones &opciones, const Ado::DatabaseAddress &sesion);

// Makes it the session's database, brought up to this program's schema version. A server that
// cannot be reached is `pregunta`'s to retry or give up on.
void abreLaSesion(const Ado::DatabaseAddress &direccion, const ConexionInicial::Pregunta &pregunta);

// Opens the session's database and signs this run's operator in: the operator's code as the
// database spells it, or nothing when the user gave up signing in. Throws
// ConexionInicial::Abandonada when the user gave up waiting for the server.
std::optional<QString> iniciaLaSesion(const Opciones &opciones);
