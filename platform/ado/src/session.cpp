#include "ado/session.h"

#include "runtime/error.h"

#include <QCoreApplication>

#include <optional>

namespace Ado {
namespace {

struct SessionState
{
    std::optional<DatabaseAddress> address;
    std::shared_ptr<Connection> connection;
    std::optional<DatabaseAddress> standby;
};

SessionState &state()
{
    static SessionState instance;
    return instance;
}

} // namespace

void Session::configure(const DatabaseAddress &address)
{
    reset();
    if (!state().address)
        qAddPostRoutine(&Session::reset); // database connections must close before Qt goes
    state().address = address;
}

bool Session::isConfigured()
{
    return state().address.has_value();
}

const DatabaseAddress &Session::address()
{
    if (!state().address)
        Runtime::raise(Runtime::ErrorNumber::ObjectNotSet,
                       QStringLiteral("No se ha indicado la base de datos de la sesión"));
    return *state().address;
}

std::shared_ptr<Connection> Session::connection()
{
    SessionState &current = state();
    if (current.connection && current.connection->isBroken() && !current.connection->inTransaction())
        current.connection.reset();
    if (!current.connection)
        current.connection = std::make_shared<Connection>(address());
    return current.connection;
}

bool Session::inTransaction()
{
    const SessionState &current = state();
    return current.connection && current.connection->inTransaction();
}

void Session::reset()
{
    state().connection.reset();
}

void Session::configureStandby(const std::optional<DatabaseAddress> &address)
{
    state().standby = address;
}

const std::optional<DatabaseAddress> &Session::standby()
{
    return state().standby;
}

} // namespace Ado
