#pragma once

// The generated databases the board is measured on.

#include "ado/databaseaddress.h"

#include <QString>

namespace Banco {

struct Base
{
    Ado::DatabaseAddress direccion;
    QString motor; // "sqlite" or "postgresql", for the measurement names
};

// A database with the demo's catalogues and `filas` opportunities, on which the board
// refreshes itself every 2 s. For "sqlite", a working copy in `carpeta` of a file kept in
// the user's cache (generating a million rows takes minutes); for a postgresql:// address,
// its public schema made anew.
Base preparaBase(const QString &destino, const QString &carpeta, int filas);

} // namespace Banco
