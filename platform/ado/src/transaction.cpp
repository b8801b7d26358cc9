#include "ado/transaction.h"

#include "ado/connection.h"

namespace Ado {

Transaction::Transaction(Connection &connection)
    : m_connection(connection)
{
    m_connection.BeginTrans();
}

// A rollback that fails (the server went away) has nothing left to undo, and a destructor
// must not throw.
Transaction::~Transaction()
{
    if (!m_open || !m_connection.inTransaction())
        return;
    try {
        m_connection.RollbackTrans();
    } catch (...) { }
}

void Transaction::commit()
{
    m_connection.CommitTrans();
    m_open = false;
}

} // namespace Ado
