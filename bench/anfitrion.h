#pragma once

// The host program, started as a user starts it, on the benchmark's database.

#include "bases.h"

#include <QProcessEnvironment>
#include <QStringList>

namespace Banco {

// No display: the offscreen platform. The rest (the registry of modules, the settings
// folders) is the benchmark's own, which its children inherit.
QProcessEnvironment entornoDelAnfitrion();

inline constexpr char contrasenaDelBanco[] = "banco-contrasena";

// The host opening the board on this database for the benchmark's operator, who signs in
// with the first line of the host's standard input.
QStringList argumentosDelAnfitrion(const Base &base);
// Gives the benchmark's operator its password on this database.
void ponContrasenaDelBanco(const Base &base);

} // namespace Banco
