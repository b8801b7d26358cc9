#pragma once

#include "ado/ado_export.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <memory>

namespace Ado {

class WatchedConnection;

// A forward-only result: positioned on its first row when it arrives; fields are found by
// name regardless of letter case (PostgreSQL folds unquoted names to lower case).
class ADO_EXPORT Recordset
{
public:
    // `watched`: the connection's server watch, which bounds the wait for each row.
    explicit Recordset(QSqlQuery query, std::shared_ptr<WatchedConnection> watched = nullptr);
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;
    Recordset(Recordset &&) noexcept = default;
    Recordset &operator=(Recordset &&) noexcept = default;
    ~Recordset();

    // EOF: no current row (an empty result, or moved past the last row).
    bool atEnd() const { return !m_onRow; }

    // Raises 3265 for a field the result does not have, 3021 past the end.
    QVariant field(const QString &name) const;
    QVariant field(int index) const;
    int fieldCount() const { return m_record.count(); }
    QString fieldName(int index) const { return m_record.fieldName(index); }

    void moveNext();
    void close();

private:
    void requireRow() const;
    void advance();

    std::shared_ptr<WatchedConnection> m_watched;
    QSqlQuery m_query;
    QSqlRecord m_record;
    bool m_onRow = false;
};

} // namespace Ado
