#include "ado/connection.h"

#include "databaseerror.h"
#include "serverwatch.h"

#include "runtime/error.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>

#include <libpq-fe.h>

#include <algorithm>

namespace Ado {
namespace {

QAtomicInteger<quint64> writesBegun;
QAtomicInteger<quint64> serverWritesBegun;

// A statement that only reads: whatever else it is, a write as far as locks go.
bool onlyReads(const QString &statement)
{
    const QString start = statement.trimmed().left(8).toUpper();
    return start.startsWith(QLatin1String("SELECT")) || start.startsWith(QLatin1String("PRAGMA"))
           || start.startsWith(QLatin1String("EXPLAIN"));
}

// Whether a statement may change a PostgreSQL server's data. A WITH query does only when one
// of its parts modifies rows: the board's change question is one and only reads.
bool mayWriteToServer(const QString &statement)
{
    if (statement.isEmpty())
        return true; // a transaction begins
    if (onlyReads(statement))
        return false;
    static const QRegularExpression modifies(QStringLiteral("\\b(INSERT|UPDATE|DELETE|MERGE)\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    return !statement.trimmed().left(4).toUpper().startsWith(QLatin1String("WITH")) || statement.contains(modifies);
}

// PostgreSQL keeps no NUL character in a text, and SQLite would keep one it was given bound;
// such a value is refused on either engine, as one quoted into a statement's text always was.
void refuseNulCharacters(const QVariantList &values)
{
    for (const QVariant &value : values) {
        if (value.typeId() == QMetaType::QString && value.toString().contains(QChar(0)))
            raiseDatabaseError(QStringLiteral("Error de la base de datos"),
                               QStringLiteral("un texto contiene el carácter nulo, que la base de datos no guarda"));
    }
}

// The client library's own connection behind Qt's driver; none when the driver names it
// otherwise.
PGconn *clientConnection(const QSqlDatabase &database)
{
    const QVariant handle = database.driver()->handle();
    // Qt's driver names the handle by the structure behind libpq's typedef.
    if (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0)
        return nullptr;
    return *static_cast<PGconn *const *>(handle.constData());
}

// Connecting waits no longer than any other wait on the server, and never above five
// seconds; the client library counts whole seconds, two at the least.
qint64 connectTimeoutInSeconds()
{
    return std::clamp<qint64>((ServerWatch::limit().count() + 999) / 1000, 2, 5);
}

QString nextConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("teqvaro-%1").arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

QString serverDidNotAnswer()
{
    return QStringLiteral("el servidor no respondió en %1 s; se cortó la conexión, que se abrirá de nuevo en el "
                          "siguiente intento")
        .arg(double(ServerWatch::limit().count()) / 1000.0);
}

Connection::Connection(const DatabaseAddress &address)
    : m_address(address)
    , m_connectionName(nextConnectionName())
{
    const bool sqlite = address.engine == Engine::SQLite;
    m_database = QSqlDatabase::addDatabase(sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"),
                                           m_connectionName);
    if (!m_database.isValid()) {
        forget();
        raiseDatabaseError(QStringLiteral("No está instalado el controlador de base de datos %1")
                               .arg(sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL")),
                           QString());
    }
    if (sqlite) {
        if (address.mustExist && !QFileInfo(address.path).isFile()) {
            forget();
            raiseDatabaseError(QStringLiteral("No existe la base de datos %1").arg(address.toDisplayString()),
                               QStringLiteral("revise la ruta; el archivo no se creó"));
        }
        m_database.setDatabaseName(address.path);
        m_database.setConnectOptions(address.readOnly
                                         ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_READONLY")
                                         : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    } else {
        m_database.setHostName(address.host);
        m_database.setPort(address.port);
        m_database.setUserName(address.user);
        m_database.setPassword(address.password);
        m_database.setDatabaseName(address.database);
        // Standard strings from the session's first moment, whatever the server's default: the
        // driver learns at connecting whether a backslash escapes, and writes bound values so.
        // Then a backslash is an ordinary character in bound values and in quoted literals alike
        // (whose quotes are doubled), so nothing else can end a literal. Keepalives and the TCP
        // user timeout find a link cut while the connection is idle; the server watch bounds
        // every wait on a server that stops answering.
        m_database.setConnectOptions(
            QStringLiteral("connect_timeout=%1;keepalives=1;keepalives_idle=30;keepalives_interval=10;"
                           "keepalives_count=3;tcp_user_timeout=30000;application_name=Teqvaro;options='-c "
                           "standard_conforming_strings=on -c client_min_messages=warning';")
                .arg(connectTimeoutInSeconds())
            + address.postgresqlOptions());
    }
    if (!m_database.open()) {
        const QString reason = driverText(m_database.lastError());
        forget();
        raiseDatabaseError(QStringLiteral("No se pudo conectar con la base de datos %1").arg(address.toDisplayString()),
                           reason);
    }
    if (!sqlite)
        m_watched = ServerWatch::instance().watch(clientConnection(m_database));
    if (!sqlite && address.readOnly) {
        QSqlQuery setup(m_database);
        const ServerWait waiting(m_watched);
        if (!setup.exec(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"))) {
            const QString reason = driverText(setup.lastError());
            forget();
            raiseDatabaseError(
                QStringLiteral("No se pudo abrir en sólo lectura la base de datos %1").arg(address.toDisplayString()),
                reason);
        }
    }
}

Connection::~Connection()
{
    forget();
}

void Connection::forget()
{
    ServerWatch::instance().unwatch(m_watched);
    m_database.close();
    m_database = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

quint64 Connection::localWrites()
{
    return writesBegun.loadAcquire();
}

quint64 Connection::serverWrites()
{
    return serverWritesBegun.loadAcquire();
}

void Connection::noteWrite(const QString &statement)
{
    if (engine() == Engine::SQLite && (statement.isEmpty() || !onlyReads(statement)))
        writesBegun.fetchAndAddOrdered(1);
    else if (engine() == Engine::PostgreSQL && !m_address.readOnly && mayWriteToServer(statement))
        serverWritesBegun.fetchAndAddOrdered(1);
}

Recordset Connection::Execute(const QString &statement, qint64 *recordsAffected, int /*options*/)
{
    noteWrite(statement);
    QSqlQuery query(m_database);
    query.setForwardOnly(true);
    bool ran = false;
    {
        const ServerWait waiting(m_watched);
        ran = query.exec(statement);
    }
    if (!ran)
        raiseFailure(QStringLiteral("Error de la base de datos"), query.lastError());
    if (recordsAffected)
        *recordsAffected = query.isSelect() ? -1 : query.numRowsAffected();
    return Recordset(std::move(query), m_watched);
}

Recordset Connection::Execute(const QString &statement, const QVariantList &values, qint64 *recordsAffected)
{
    refuseNulCharacters(values);
    noteWrite(statement);
    QSqlQuery query(m_database);
    query.setForwardOnly(true);
    bool ran = false;
    {
        const ServerWait waiting(m_watched);
        ran = query.prepare(statement);
        for (const QVariant &value : values)
            query.addBindValue(value);
        ran = ran && query.exec();
    }
    if (!ran)
        raiseFailure(QStringLiteral("Error de la base de datos"), query.lastError());
    if (recordsAffected)
        *recordsAffected = query.isSelect() ? -1 : query.numRowsAffected();
    return Recordset(std::move(query), m_watched);
}

QString Connection::literal(const QVariant &value) const
{
    QSqlField field(QString(), value.metaType());
    field.setValue(value);
    return m_database.driver()->formatValue(field);
}

void Connection::BeginTrans()
{
    noteWrite(QString());
    bool begun = false;
    {
        const ServerWait waiting(m_watched);
        begun = m_database.transaction();
    }
    if (!begun)
        raiseFailure(QStringLiteral("No se pudo iniciar la transacción"), m_database.lastError(), false);
    m_inTransaction = true;
}

void Connection::CommitTrans()
{
    bool committed = false;
    {
        const ServerWait waiting(m_watched);
        committed = m_database.commit();
    }
    if (!committed)
        raiseFailure(QStringLiteral("No se pudo confirmar la transacción"), m_database.lastError(), false);
    m_inTransaction = false;
}

void Connection::RollbackTrans()
{
    const bool wasOpen = m_inTransaction;
    m_inTransaction = false;
    bool rolledBack = false;
    {
        const ServerWait waiting(m_watched);
        rolledBack = m_database.rollback();
    }
    if (!rolledBack && wasOpen)
        raiseFailure(QStringLiteral("No se pudo deshacer la transacción"), m_database.lastError(), false);
}

// SQLite counts the commits of other connections in data_version and this connection's own
// changes in total_changes(); a PostgreSQL snapshot changes with every transaction that ends
// anywhere on the server (its whole text, not only its horizon).
QString Connection::changeToken()
{
    const QString probe = engine() == Engine::SQLite ? QStringLiteral(
                              "SELECT (SELECT data_version FROM pragma_data_version) || ':' || total_changes()")
                                                     : QStringLiteral("SELECT CAST(pg_current_snapshot() AS text)");
    const Recordset token = Execute(probe);
    return token.field(0).toString();
}

void Connection::listen(const QStringList &channels)
{
    QStringList statements{QStringLiteral("UNLISTEN *")};
    for (const QString &channel : channels)
        statements << QStringLiteral("LISTEN ") + m_database.driver()->escapeIdentifier(channel, QSqlDriver::FieldName);
    QSqlQuery query(m_database); // not forward only: the driver sends the statements as one
    bool listening = false;
    {
        const ServerWait waiting(m_watched);
        listening = query.exec(statements.join(QStringLiteral("; ")));
    }
    if (!listening)
        raiseFailure(QStringLiteral("No se pudo escuchar los avisos de la base de datos"), query.lastError());
}

// The client library keeps what arrived while it read results; what came since is read from
// the socket without waiting (the library's socket never blocks).
std::optional<QStringList> Connection::takeNotifications()
{
    PGconn *connection = engine() == Engine::PostgreSQL ? clientConnection(m_database) : nullptr;
    if (!connection || isBroken() || PQconsumeInput(connection) == 0)
        return std::nullopt;
    QStringList channels;
    while (PGnotify *notification = PQnotifies(connection)) {
        channels << QString::fromUtf8(notification->relname);
        PQfreemem(notification);
    }
    return channels;
}

QString Connection::passwordVerifier(const QString &role, const QString &clear)
{
    PGconn *connection = engine() == Engine::PostgreSQL ? clientConnection(m_database) : nullptr;
    if (!connection)
        raiseDatabaseError(QStringLiteral("Sólo un servidor PostgreSQL guarda contraseñas de usuarios"), QString());
    char *verifier = PQencryptPasswordConn(connection, clear.toUtf8().constData(), role.toUtf8().constData(),
                                           "scram-sha-256");
    if (!verifier)
        raiseDatabaseError(QStringLiteral("No se pudo preparar la contraseña"),
                           QString::fromUtf8(PQerrorMessage(connection)).trimmed());
    const QString result = QString::fromLatin1(verifier);
    PQfreemem(verifier);
    return result;
}

bool Connection::isAlive()
{
    if (!m_database.isOpen() || (m_watched && m_watched->timedOut()))
        return false;
    QSqlQuery probe(m_database);
    const ServerWait waiting(m_watched);
    return probe.exec(QStringLiteral("SELECT 1"));
}

bool Connection::isBroken() const
{
    return m_broken || (m_watched && m_watched->timedOut());
}

// A failure because the server did not answer in time says so; any other says the database's
// own words, and marks the connection broken when the link to the server is gone.
void Connection::raiseFailure(const QString &what, const QSqlError &error, bool probeLink)
{
    if (m_watched && m_watched->timedOut()) {
        m_broken = true;
        raiseDatabaseError(what, serverDidNotAnswer());
    }
    const QString text = driverText(error);
    if (probeLink)
        m_broken = !isAlive();
    raiseDatabaseError(what, text);
}

void Connection::setWaitLimit(std::chrono::milliseconds limit)
{
    ServerWatch::setLimit(limit);
}

std::chrono::milliseconds Connection::waitLimit()
{
    return ServerWatch::limit();
}

} // namespace Ado
