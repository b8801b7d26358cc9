#include "ado/connection.h"

#include "databaseerror.h"

#include "runtime/error.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <libpq-fe.h>

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

QString nextConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("teqvaro-%1").arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

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
        // (whose quotes are doubled), so nothing else can end a literal.
        m_database.setConnectOptions(QStringLiteral("connect_timeout=5;application_name=Teqvaro;options='-c "
                                                    "standard_conforming_strings=on -c client_min_messages=warning';")
                                     + address.postgresqlOptions());
    }
    if (!m_database.open()) {
        const QString reason = driverText(m_database.lastError());
        forget();
        raiseDatabaseError(QStringLiteral("No se pudo conectar con la base de datos %1").arg(address.toDisplayString()),
                           reason);
    }
    if (!sqlite && address.readOnly) {
        QSqlQuery setup(m_database);
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
    if (!query.exec(statement)) {
        m_broken = !isAlive();
        raiseDatabaseError(QStringLiteral("Error de la base de datos"), driverText(query.lastError()));
    }
    if (recordsAffected)
        *recordsAffected = query.isSelect() ? -1 : query.numRowsAffected();
    return Recordset(std::move(query));
}

Recordset Connection::Execute(const QString &statement, const QVariantList &values, qint64 *recordsAffected)
{
    refuseNulCharacters(values);
    noteWrite(statement);
    QSqlQuery query(m_database);
    query.setForwardOnly(true);
    const bool prepared = query.prepare(statement);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!prepared || !query.exec()) {
        m_broken = !isAlive();
        raiseDatabaseError(QStringLiteral("Error de la base de datos"), driverText(query.lastError()));
    }
    if (recordsAffected)
        *recordsAffected = query.isSelect() ? -1 : query.numRowsAffected();
    return Recordset(std::move(query));
}

void Connection::BeginTrans()
{
    noteWrite(QString());
    if (!m_database.transaction())
        raiseDatabaseError(QStringLiteral("No se pudo iniciar la transacción"), driverText(m_database.lastError()));
    m_inTransaction = true;
}

void Connection::CommitTrans()
{
    if (!m_database.commit()) {
        const QString text = driverText(m_database.lastError());
        raiseDatabaseError(QStringLiteral("No se pudo confirmar la transacción"), text);
    }
    m_inTransaction = false;
}

void Connection::RollbackTrans()
{
    const bool wasOpen = m_inTransaction;
    m_inTransaction = false;
    if (!m_database.rollback() && wasOpen)
        raiseDatabaseError(QStringLiteral("No se pudo deshacer la transacción"), driverText(m_database.lastError()));
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

QString Connection::passwordVerifier(const QString &role, const QString &clear)
{
    const QVariant handle = m_database.driver()->handle();
    // Qt's driver names the handle by the structure behind libpq's typedef.
    if (engine() != Engine::PostgreSQL
        || (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0))
        raiseDatabaseError(QStringLiteral("Sólo un servidor PostgreSQL guarda contraseñas de usuarios"), QString());
    PGconn *connection = *static_cast<PGconn *const *>(handle.constData());
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
    if (!m_database.isOpen())
        return false;
    QSqlQuery probe(m_database);
    return probe.exec(QStringLiteral("SELECT 1"));
}

} // namespace Ado
