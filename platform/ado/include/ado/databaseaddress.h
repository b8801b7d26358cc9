#pragma once

#include "ado/ado_export.h"

#include <QString>

namespace Ado {

enum class Engine { SQLite, PostgreSQL };

// Where the suite's database lives, written as a URL:
//   sqlite:/path/to/file.db            (a relative path is taken from the current folder)
//   postgresql://user@host:port/database
// Either may end in "?mode=ro" for a connection that writes nothing. A PostgreSQL address may
// also say how the connection is encrypted, with libpq's own options:
//   ?sslmode=verify-full&sslrootcert=/path/to/ca.crt
// No other option is accepted. The PostgreSQL password is best left to ~/.pgpass or PGPASSWORD.
struct ADO_EXPORT DatabaseAddress
{
    Engine engine = Engine::SQLite;
    QString path; // SQLite file
    QString host; // PostgreSQL
    int port = 5432;
    QString user;
    QString password;
    QString database;
    bool readOnly = false;
    QString sslMode;     // disable, allow, prefer, require, verify-ca or verify-full; "" is libpq's default
    QString sslRootCert; // the certificate authority that signed the server's certificate, a full path
    // A SQLite file a user named must be there: a mistyped path is refused, never made into
    // a new empty database. Addresses the program builds for files it creates leave it false.
    bool mustExist = false;

    // Raises 5 with a Spanish description when the text is not such an address or carries an
    // option it does not know.
    static DatabaseAddress parse(const QString &url);
    QString toDisplayString() const; // without the password, in a form parse() reads back
    // The encryption options for Qt's PostgreSQL driver ("sslmode=require;sslrootcert='/ca.crt'"),
    // "" when the address sets none.
    QString postgresqlOptions() const;
    // What to tell the user when the address holds a password, or "".
    QString passwordWarning() const;

    bool operator==(const DatabaseAddress &) const = default;
};

} // namespace Ado
