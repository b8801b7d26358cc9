#include "basedeprueba.h"

#include "ado/session.h"
#include "datos/esquema.h"
#include "runtime/conversions.h"
#include "servicios/usuarios.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace Pruebas {
namespace {

Ado::Engine currentEngine = Ado::Engine::SQLite;

QString programDatabaseName()
{
    return QStringLiteral("prueba_") + QFileInfo(QCoreApplication::applicationFilePath()).baseName().toLower();
}

Ado::DatabaseAddress postgresqlAddress()
{
    const QString url = qEnvironmentVariable("KLD251_PG_URL");
    if (url.isEmpty()) {
        ADD_FAILURE() << "This test needs the PostgreSQL server that ./test starts: KLD251_PG_URL is not set";
        throw std::runtime_error("KLD251_PG_URL not set");
    }
    Ado::DatabaseAddress server = Ado::DatabaseAddress::parse(url);
    Ado::DatabaseAddress own = server;
    own.database = programDatabaseName();
    {
        Ado::Connection admin(server);
        const Ado::Recordset existing = admin.Execute(
            QStringLiteral("SELECT 1 FROM pg_database WHERE datname = '%1'").arg(own.database));
        if (existing.atEnd())
            admin.Execute(QStringLiteral("CREATE DATABASE %1").arg(own.database));
    }
    Ado::Connection fresh(own);
    vaciaPostgreSQL(fresh);
    return own;
}

} // namespace

void vaciaPostgreSQL(Ado::Connection &conexion)
{
    conexion.Execute(QStringLiteral("SET client_min_messages = warning"));
    // Roles outlive a schema: the people and groups an earlier test made for this database go.
    conexion.Execute(QStringLiteral(R"(DO $$
DECLARE rol TEXT;
BEGIN
    FOR rol IN SELECT quote_ident(rolname) FROM pg_roles
               WHERE rolname LIKE current_database() || '.%' OR rolname LIKE current_database() || ':%' LOOP
        EXECUTE format('REASSIGN OWNED BY %s TO CURRENT_USER', rol);
        EXECUTE format('DROP OWNED BY %s', rol);
        EXECUTE format('DROP ROLE %s', rol);
    END LOOP;
END $$)"));
    conexion.Execute(QStringLiteral("DROP SCHEMA IF EXISTS public CASCADE"));
    conexion.Execute(QStringLiteral("CREATE SCHEMA public"));
}

Ado::Engine motor()
{
    return currentEngine;
}

void estableceMotor(Ado::Engine engine)
{
    currentEngine = engine;
}

BaseDePrueba::BaseDePrueba(int version)
{
    if (currentEngine == Ado::Engine::SQLite) {
        m_address.engine = Ado::Engine::SQLite;
        m_address.path = m_folder.filePath(QStringLiteral("prueba.db"));
    } else {
        m_address = postgresqlAddress();
    }
    Ado::Session::configure(m_address);
    Datos::creaEsquema(*conexion(), version);
}

Ado::DatabaseAddress BaseDePrueba::comoOperador(const QString &codigo, const QString &contrasena) const
{
    Ado::DatabaseAddress direccion = m_address;
    direccion.user = Servicios::rolDeOperador(direccion.database, codigo);
    direccion.password = contrasena;
    return direccion;
}

QString BaseDePrueba::url() const
{
    if (m_address.engine == Ado::Engine::SQLite)
        return QStringLiteral("sqlite:") + m_address.path;
    return qEnvironmentVariable("KLD251_PG_URL").section(QLatin1Char('/'), 0, -2) + QLatin1Char('/')
           + m_address.database;
}

QString BaseDePrueba::valor(const QString &query) const
{
    const Ado::Recordset result = conexion()->Execute(query);
    return result.atEnd() ? QString() : Runtime::toTextOrEmpty(result.field(0));
}

int BaseDePrueba::cuenta(const QString &table, const QString &condition) const
{
    QString query = QStringLiteral("SELECT COUNT(*) FROM ") + table;
    if (!condition.isEmpty())
        query += QStringLiteral(" WHERE ") + condition;
    return valor(query).toInt();
}

} // namespace Pruebas
