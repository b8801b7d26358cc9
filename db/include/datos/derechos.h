#pragma once

#include "datos/datos_export.h"

#include <QString>
#include <QStringList>

namespace Ado {
class Connection;
}

namespace Datos {

// A PostgreSQL database whose server keeps the rights: the roles of db/sql/roles_postgresql.sql,
// the grants and policies of derechos_postgresql.sql, the functions of gestion_postgresql.sql.
// Everything here runs inside the caller's transaction.

// The group roles of this database that the server already has.
DATOS_EXPORT QStringList rolesDeLaBase(Ado::Connection &conexion);

// Creates the group roles and takes the database from everyone else. The connection's role
// must be able to create roles and own the database (the server's administrator can); it is
// made a member of the new owner and manager for as long as the transaction needs.
DATOS_EXPORT void creaRolesDeLaBase(Ado::Connection &conexion);

// Gives the tables, their functions and the database to the owner role.
DATOS_EXPORT void entregaAlDueno(Ado::Connection &conexion);

// The grants, views and policies, as the owner (the connection acts as it until the
// transaction ends); again after each schema upgrade.
DATOS_EXPORT void aplicaDerechos(Ado::Connection &conexion);

// The functions through which administrators add and remove people.
DATOS_EXPORT void instalaGestion(Ado::Connection &conexion);

// A login role for an operator already in Operador, without going through an administrator:
// for the one who prepares or converts the database. Without a verifier the role cannot sign
// in until it is given a password. Returns the role.
DATOS_EXPORT QString creaRolDeOperador(Ado::Connection &conexion, const QString &codigo, const QString &verificador,
                                       bool administrador);

// Drops the memberships creaRolesDeLaBase gave the connection's role.
DATOS_EXPORT void sueltaLosRoles(Ado::Connection &conexion);

// Whether the signed-in person may act as the owner (an administrator may, to upgrade the schema).
DATOS_EXPORT bool puedeActuarComoDueno(Ado::Connection &conexion);

// Acts as the tables' owner until the end of the caller's transaction.
DATOS_EXPORT void actuaComoDueno(Ado::Connection &conexion);

} // namespace Datos
