#pragma once

#include <QString>

#include <optional>

class Ingreso;

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
