#pragma once

#include "ado/ado_export.h"
#include "ado/connection.h"

#include <memory>

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

    // Closes the shared connection (the next use opens it again).
    static void reset();
};

} // namespace Ado
