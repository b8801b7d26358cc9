#pragma once

#include "ado/ado_export.h"

namespace Ado {

class Connection;

// A transaction on a connection for the length of a scope: begun when made, undone when the
// scope ends without commit(), whatever ends it. A shared connection must never be left inside
// a transaction a failure abandoned.
class ADO_EXPORT Transaction
{
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();

private:
    Connection &m_connection;
    bool m_open = true;
};

} // namespace Ado
