#include "ado/recordset.h"

#include "databaseerror.h"
#include "serverwatch.h"

#include "runtime/error.h"

namespace Ado {

Recordset::Recordset(QSqlQuery query, std::shared_ptr<WatchedConnection> watched)
    : m_watched(std::move(watched))
    , m_query(std::move(query))
{
    if (m_query.isActive() && m_query.isSelect()) {
        m_record = m_query.record();
        advance();
    }
}

// A result may arrive row by row: a failure on the way (a statement that ran out of time,
// a connection cut) ends the rows early, and must not pass for the end of the result.
void Recordset::advance()
{
    {
        const ServerWait waiting(m_watched);
        m_onRow = m_query.next();
    }
    if (!m_onRow && m_query.lastError().type() != QSqlError::NoError)
        raiseDatabaseError(QStringLiteral("Error de la base de datos"),
                           m_watched && m_watched->timedOut() ? serverDidNotAnswer() : driverText(m_query.lastError()));
}

Recordset::~Recordset() = default;

void Recordset::requireRow() const
{
    if (!m_onRow)
        Runtime::raise(Runtime::ErrorNumber::NoCurrentRecord);
}

QVariant Recordset::field(const QString &name) const
{
    const int index = m_record.indexOf(name); // QSqlRecord looks names up regardless of case
    if (index < 0)
        Runtime::raise(Runtime::ErrorNumber::ItemNotFound,
                       Runtime::standardDescription(Runtime::ErrorNumber::ItemNotFound) + QStringLiteral(": ") + name);
    return field(index);
}

QVariant Recordset::field(int index) const
{
    if (index < 0 || index >= m_record.count())
        Runtime::raise(Runtime::ErrorNumber::ItemNotFound);
    requireRow();
    return m_query.value(index);
}

void Recordset::moveNext()
{
    requireRow();
    advance();
}

void Recordset::close()
{
    m_onRow = false;
    m_query.finish();
}

} // namespace Ado
