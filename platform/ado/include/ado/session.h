#pragma once

#include "ado/ado_export.h"
#include "ado/connection.h"

#include <memory>
#include <optional>

namespace Ado {

// The process's one shared connection to the suite's database, opened on first use from
// the address the host configured, and reopened when the server dropped it.
class ADO_EXPORT Session
{
public:
    static void configure(const DatabaseAddress &address);
    static bool isConfigured();
    static const DatabaseAddress &address();

    // Raises 91 when no address was configured, or the connection's own error when the
    // database cannot be reached.
    static std::shared_ptr<Connection> connection();

    // Whether the shared connection holds a transaction open; asks nothing of the server.
    static bool inTransaction();

    // Closes the shared connection (the next use opens it again).
    static void reset();

    // A hot standby of the session's PostgreSQL server, named by the host, that readings which
    // may be a little behind can use; none when the host named none. Whoever uses it signs in
    // with the session's user and password.
    static void configureStandby(const std::optional<DatabaseAddress> &address);
    static const std::optional<DatabaseAddress> &standby();
};

} // namespace Ado
