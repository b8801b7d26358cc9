#pragma once

#include "runtime/error.h"

#include <QSqlError>
#include <QString>

namespace Ado {

// The database's own words for a failure, or the driver's when the database gave none.
inline QString driverText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    return text;
}

// A wait on the server that outlasted its limit, in the words the user reads.
QString serverDidNotAnswer();

[[noreturn]] inline void raiseDatabaseError(const QString &what, const QString &databaseText)
{
    Runtime::raise(Runtime::ErrorNumber::Database,
                   databaseText.isEmpty() ? what : what + QStringLiteral(": ") + databaseText);
}

} // namespace Ado
