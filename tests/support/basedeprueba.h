#pragma once

#include "ado/connection.h"
#include "ado/session.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <ostream>

// Readable failures: texts print as texts.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace Pruebas {

// The engine this run of a test program works against, from --database=sqlite|postgresql.
Ado::Engine motor();
void estableceMotor(Ado::Engine engine);

// Takes from a PostgreSQL database every table and every role made for it.
void vaciaPostgreSQL(Ado::Connection &conexion);

// A fresh database for one test, with the suite's tables and nothing in them, configured
// as the session's database. SQLite: a new file in a temporary folder. PostgreSQL: the
// server named by $KLD251_PG_URL, in a database of this test program's own whose public
// schema is emptied and created again.
class BaseDePrueba
{
public:
    // `version`: the schema as an older program left it (0, this program's).
    explicit BaseDePrueba(int version = 0);
    ~BaseDePrueba() { Ado::Session::reset(); }
    BaseDePrueba(const BaseDePrueba &) = delete;
    BaseDePrueba &operator=(const BaseDePrueba &) = delete;

    const Ado::DatabaseAddress &direccion() const { return m_address; }
    // The address as an operator signs in to a PostgreSQL server that keeps the rights.
    Ado::DatabaseAddress comoOperador(const QString &codigo, const QString &contrasena) const;
    QString url() const;

    // The session's shared connection.
    std::shared_ptr<Ado::Connection> conexion() const { return Ado::Session::connection(); }

    // Runs a statement on the session's connection (for setting up and checking data).
    void ejecuta(const QString &statement) const { conexion()->Execute(statement); }
    // The first column of the first row of a query, as text ("" when there is no row).
    QString valor(const QString &query) const;
    int cuenta(const QString &table, const QString &condition = QString()) const;

private:
    QTemporaryDir m_folder;
    Ado::DatabaseAddress m_address;
};

} // namespace Pruebas
