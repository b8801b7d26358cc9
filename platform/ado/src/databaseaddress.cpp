#include "ado/databaseaddress.h"

#include "runtime/error.h"

#include <QUrl>

namespace Ado {

DatabaseAddress DatabaseAddress::parse(const QString &url)
{
    const QUrl parsed(url, QUrl::StrictMode);
    DatabaseAddress address;
    const QString scheme = parsed.scheme().toLower();
    if (parsed.isValid() && scheme == QLatin1String("sqlite") && !parsed.path().isEmpty()) {
        address.engine = Engine::SQLite;
        address.path = parsed.path();
        return address;
    }
    if (parsed.isValid() && (scheme == QLatin1String("postgresql") || scheme == QLatin1String("postgres"))) {
        address.engine = Engine::PostgreSQL;
        address.host = parsed.host().isEmpty() ? QStringLiteral("localhost") : parsed.host();
        address.port = parsed.port(5432);
        address.user = parsed.userName();
        address.password = parsed.password();
        address.database = parsed.path().mid(1);
        if (!address.database.isEmpty())
            return address;
    }
    Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                   QStringLiteral("La dirección de la base de datos no es válida: %1 "
                                  "(se espera sqlite:/ruta/archivo.db o postgresql://usuario@servidor:puerto/base)")
                       .arg(parsed.toDisplayString(QUrl::RemovePassword)));
}

QString DatabaseAddress::toDisplayString() const
{
    if (engine == Engine::SQLite)
        return QStringLiteral("sqlite:") + path;
    return QStringLiteral("postgresql://%1@%2:%3/%4").arg(user, host).arg(port).arg(database);
}

} // namespace Ado
