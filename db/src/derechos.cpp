#include "datos/derechos.h"

#include "recursos.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "runtime/error.h"
#include "servicios/usuarios.h"

namespace Datos {
namespace {

QString rolDelGrupo(Ado::Connection &conexion, const char *grupo)
{
    return conexion.address().database + QLatin1Char(':') + QLatin1String(grupo);
}

// A role's name as it goes into a statement that cannot bind it.
QString identificador(const QString &nombre)
{
    return QLatin1Char('"') + QString(nombre).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

bool esSuperusuario(Ado::Connection &conexion)
{
    return conexion.Execute(QStringLiteral("SELECT rolsuper FROM pg_roles WHERE rolname = current_user"))
        .field(0)
        .toBool();
}

} // namespace

QStringList rolesDeLaBase(Ado::Connection &conexion)
{
    QStringList roles;
    Ado::Recordset filas = conexion.Execute(
        QStringLiteral("SELECT rolname FROM pg_roles WHERE rolname IN (?, ?, ?, ?) ORDER BY rolname"),
        Ado::texts({rolDelGrupo(conexion, "dueno"), rolDelGrupo(conexion, "usuarios"),
                    rolDelGrupo(conexion, "administradores"), rolDelGrupo(conexion, "gestor")}));
    for (; !filas.atEnd(); filas.moveNext())
        roles << filas.field(0).toString();
    return roles;
}

void creaRolesDeLaBase(Ado::Connection &conexion)
{
    conexion.Execute(textoDelRecurso(QStringLiteral(":/datos/roles_postgresql.sql")));
    if (!esSuperusuario(conexion))
        conexion.Execute(
            QStringLiteral("GRANT %1, %2 TO CURRENT_USER")
                .arg(identificador(rolDelGrupo(conexion, "dueno")), identificador(rolDelGrupo(conexion, "gestor"))));
    // The extension of the salespeople's passwords is trusted, but the owner may not create
    // in the database: it is made here, once.
    conexion.Execute(QStringLiteral("CREATE EXTENSION IF NOT EXISTS pgcrypto"));
}

void entregaAlDueno(Ado::Connection &conexion)
{
    conexion.Execute(QStringLiteral(R"(
DO $entrega$
DECLARE
    dueno TEXT := current_database() || ':dueno';
    objeto RECORD;
BEGIN
    EXECUTE format('ALTER DATABASE %I OWNER TO %I', current_database(), dueno);
    FOR objeto IN SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace
                  WHERE n.nspname = 'public' AND c.relkind IN ('r', 'v', 'S')
                    AND NOT EXISTS (SELECT 1 FROM pg_depend d WHERE d.objid = c.oid AND d.deptype = 'e')
    LOOP
        EXECUTE format('ALTER TABLE %I OWNER TO %I', objeto.relname, dueno);
    END LOOP;
    FOR objeto IN SELECT p.oid::regprocedure AS firma FROM pg_proc p JOIN pg_namespace n ON n.oid = p.pronamespace
                  WHERE n.nspname = 'public' AND p.proname LIKE 'teqvaro\_%'
    LOOP
        EXECUTE format('ALTER FUNCTION %s OWNER TO %I', objeto.firma, dueno);
    END LOOP;
END
$entrega$)"));
}

void aplicaDerechos(Ado::Connection &conexion)
{
    actuaComoDueno(conexion);
    conexion.Execute(textoDelRecurso(QStringLiteral(":/datos/derechos_postgresql.sql")));
}

void instalaGestion(Ado::Connection &conexion)
{
    conexion.Execute(textoDelRecurso(QStringLiteral(":/datos/gestion_postgresql.sql")));
}

QString creaRolDeOperador(Ado::Connection &conexion, const QString &codigo, const QString &verificador,
                          bool administrador)
{
    const QString rol = Servicios::rolDeOperador(conexion.address().database, codigo);
    QString creacion = QStringLiteral("CREATE ROLE %1 LOGIN").arg(identificador(rol));
    if (!verificador.isEmpty())
        creacion += QStringLiteral(" PASSWORD ") + Ado::literal(verificador);
    creacion += QStringLiteral(" IN ROLE ") + identificador(rolDelGrupo(conexion, "usuarios"));
    if (administrador)
        creacion += QStringLiteral(", ") + identificador(rolDelGrupo(conexion, "administradores"));
    conexion.Execute(creacion);
    conexion.Execute(QStringLiteral("INSERT INTO Operador_Rol (Orl_Rol, Orl_Cve_Operador) VALUES (?, ?)"),
                     Ado::texts({rol, codigo}));
    return rol;
}

void sueltaLosRoles(Ado::Connection &conexion)
{
    if (!esSuperusuario(conexion))
        conexion.Execute(
            QStringLiteral("REVOKE %1, %2 FROM CURRENT_USER")
                .arg(identificador(rolDelGrupo(conexion, "dueno")), identificador(rolDelGrupo(conexion, "gestor"))));
}

bool puedeActuarComoDueno(Ado::Connection &conexion)
{
    return conexion
        .Execute(QStringLiteral("SELECT pg_has_role(session_user, ?, 'MEMBER')"),
                 Ado::texts({rolDelGrupo(conexion, "dueno")}))
        .field(0)
        .toBool();
}

void actuaComoDueno(Ado::Connection &conexion)
{
    conexion.Execute(QStringLiteral("SET LOCAL ROLE ") + identificador(rolDelGrupo(conexion, "dueno")));
}

} // namespace Datos
