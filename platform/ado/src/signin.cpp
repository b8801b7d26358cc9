#include "ado/signin.h"

#include "databaseerror.h"

#include <QByteArrayList>
#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QScopeGuard>

#include <libpq-fe.h>
#include <poll.h>

#include <vector>

namespace Ado {
namespace {

constexpr int connectSeconds = 10;

// The server's answer carries its SQLSTATE only in verbose messages, which read the same
// in every language the server may speak.
QString sqlState(const QString &message)
{
    static const QRegularExpression state(QStringLiteral("(?:FATAL|ERROR):\\s+([0-9A-Z]{5}):"));
    return state.match(message).captured(1);
}

bool isAuthenticationFailure(const QString &state)
{
    return state.startsWith(QLatin1String("28")); // invalid_authorization_specification, invalid_password
}

struct Parameters
{
    QByteArrayList keys;
    QByteArrayList values;

    void add(const char *key, const QString &value)
    {
        if (!value.isEmpty()) {
            keys << key;
            values << value.toUtf8();
        }
    }
};

Parameters parametersOf(const DatabaseAddress &address)
{
    Parameters parameters;
    parameters.add("host", address.host);
    parameters.add("port", QString::number(address.port));
    parameters.add("user", address.user);
    parameters.add("password", address.password);
    parameters.add("dbname", address.database);
    parameters.add("application_name", QStringLiteral("Teqvaro"));
    parameters.add("sslmode", address.sslMode);
    parameters.add("sslrootcert", address.sslRootCert);
    return parameters;
}

// Polls the connection to its end, never longer than connectSeconds.
ConnStatusType finish(PGconn *connection)
{
    const QDeadlineTimer deadline(connectSeconds * 1000);
    PostgresPollingStatusType status = PGRES_POLLING_WRITING;
    while (status != PGRES_POLLING_OK && status != PGRES_POLLING_FAILED) {
        pollfd socket{PQsocket(connection), short(status == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        if (socket.fd < 0 || deadline.hasExpired() || ::poll(&socket, 1, int(deadline.remainingTime())) <= 0)
            return CONNECTION_BAD;
        status = PQconnectPoll(connection);
    }
    return PQstatus(connection);
}

} // namespace

SignIn trySignIn(const DatabaseAddress &address)
{
    const Parameters parameters = parametersOf(address);
    std::vector<const char *> keys;
    std::vector<const char *> values;
    for (qsizetype i = 0; i < parameters.keys.size(); ++i) {
        keys.push_back(parameters.keys.at(i).constData());
        values.push_back(parameters.values.at(i).constData());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    PGconn *connection = PQconnectStartParams(keys.data(), values.data(), 0);
    const auto close = qScopeGuard([connection] { PQfinish(connection); });
    if (!connection)
        raiseDatabaseError(QStringLiteral("No hay memoria para conectar con la base de datos"), QString());
    PQsetErrorVerbosity(connection, PQERRORS_VERBOSE);
    if (finish(connection) == CONNECTION_OK)
        return SignIn::Accepted;
    const QString message = QString::fromUtf8(PQerrorMessage(connection)).trimmed();
    if (PQconnectionNeedsPassword(connection))
        return SignIn::PasswordNeeded;
    if (isAuthenticationFailure(sqlState(message)))
        return SignIn::Refused;
    raiseDatabaseError(QStringLiteral("No se pudo conectar con la base de datos %1").arg(address.toDisplayString()),
                       message.isEmpty() ? QStringLiteral("el servidor no respondió a tiempo") : message);
}

} // namespace Ado
