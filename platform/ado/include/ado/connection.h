#pragma once

#include "ado/ado_export.h"
#include "ado/databaseaddress.h"
#include "ado/recordset.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <chrono>
#include <memory>
#include <optional>

namespace Ado {

class WatchedConnection;

// An open connection to the suite's database. Statement failures raise a runtime error
// whose description carries the database's own message.
class ADO_EXPORT Connection
{
public:
    // Opens the database; raises with a Spanish description when it cannot be reached.
    explicit Connection(const DatabaseAddress &address);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    const DatabaseAddress &address() const { return m_address; }
    // A name no other connection of the process has had.
    const QString &name() const { return m_connectionName; }
    Engine engine() const { return m_address.engine; }

    // Runs a statement; recordsAffected receives the rows changed by an UPDATE, INSERT or
    // DELETE. The options argument is accepted for the callers' sake and means nothing here.
    Recordset Execute(const QString &statement, qint64 *recordsAffected = nullptr, int options = -1);
    // Runs a statement whose values are bound to its "?" placeholders, in order: a value
    // never becomes part of the statement's text.
    Recordset Execute(const QString &statement, const QVariantList &values, qint64 *recordsAffected = nullptr);

    // A value as a literal of this database's SQL, written as the driver writes bound values.
    // For a statement run every few seconds: bound values take the driver three round trips to
    // a PostgreSQL server (prepare, execute, deallocate), a statement text one.
    QString literal(const QVariant &value) const;

    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool inTransaction() const { return m_inTransaction; }

    // A text that stays the same while nothing is committed to the database: by any other
    // connection, and by this one. One cheap statement; comparing two tokens of the same
    // connection tells whether a result read in between could have changed.
    QString changeToken();

    // How many times this process has begun to write to a SQLite database. SQLite locks the
    // whole file against a write while any statement reads it, so a reading on another thread
    // stops when this changes rather than hold up the write.
    static quint64 localWrites();
    // How many times this process has begun to write to a PostgreSQL server: a standby that
    // has not yet replayed the latest of them would show this user rows without their own work.
    static quint64 serverWrites();

    // PostgreSQL's notifications. `listen` makes the session listen on exactly these channels
    // (one round trip; it changes no data). `takeNotifications` hands over the channels rung
    // since the last call, as far as they have reached this process, without asking the
    // server anything; none when the link to the server is gone or the engine has none.
    void listen(const QStringList &channels);
    std::optional<QStringList> takeNotifications();

    // The form in which a PostgreSQL server keeps a role's password (SCRAM-SHA-256), made here
    // so the password itself never travels to the server nor reaches its logs.
    QString passwordVerifier(const QString &role, const QString &clear);

    // Whether the server still answers. A statement that failed because the link to the
    // server broke marks the connection broken, and the session opens a new one.
    bool isAlive();
    bool isBroken() const;

    // The longest any wait on a PostgreSQL server may last (a statement, a commit, the next
    // row), for every connection of the process: past it the connection is cut and the wait
    // fails as the broken link it is. Ten seconds unless set.
    static void setWaitLimit(std::chrono::milliseconds limit);
    static std::chrono::milliseconds waitLimit();

private:
    void forget();
    void noteWrite(const QString &statement);
    [[noreturn]] void raiseFailure(const QString &what, const QSqlError &error, bool probeLink = true);

    DatabaseAddress m_address;
    QString m_connectionName;
    QSqlDatabase m_database;
    bool m_inTransaction = false;
    bool m_broken = false;
    std::shared_ptr<WatchedConnection> m_watched; // none for SQLite
};

} // namespace Ado
