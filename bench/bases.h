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

// How many ticks of its 1 s timer a board that loads on this database lets pass between two
// automatic reloads (CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES): 0 reloads on every tick. The
// generated databases let one pass: a reload every 2 s.
inline constexpr int ticsEntreRefrescosDeLasBases = 1;
void ponTicsEntreRefrescos(const Ado::DatabaseAddress &direccion, int tics);

// A database with the demo's catalogues and `filas` opportunities, on which the board
// refreshes itself every 2 s. For "sqlite", a working copy in `carpeta` of a file kept in
// the user's cache (generating a million rows takes minutes); for a postgresql:// address,
// its public schema made anew.
Base preparaBase(const QString &destino, const QString &carpeta, int filas);

// A PostgreSQL database of preparaBase as a team shares it once the server keeps the rights:
// converted, each person signing in as a role of their own and the policies choosing their
// rows, with `operador` its administrator. Returns the address on which that operator signs
// in with `contrasena`. The measurements that sign in as the server's administrator on one
// shared account come before it.
Ado::DatabaseAddress convierteConDerechos(const Base &base, const QString &operador, const QString &contrasena);

// The role that owns the tables of a converted database; no policy applies to it.
QString duenoDeLasTablas(const Base &base);

} // namespace Banco
