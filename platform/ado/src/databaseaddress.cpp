#include "ado/databaseaddress.h"

#include "runtime/error.h"

#include <QDir>
#include <QUrl>
#include <QUrlQuery>

namespace Ado {
namespace {

const QString esperada = QStringLiteral(
    "se espera sqlite:/ruta/archivo.db o postgresql://usuario@servidor:puerto/base");

[[noreturn]] void rechaza(const QString &motivo)
{
    Runtime::raise(Runtime::ErrorNumber::InvalidCall, motivo);
}

// The options an address may carry: only the mode. Anything else was meant to do something
// the program would not do, so it is refused rather than ignored.
void aplicaOpciones(DatabaseAddress &address, const QString &opciones, const QString &mostrada)
{
    const QUrlQuery consulta(opciones);
    for (const auto &[clave, valor] : consulta.queryItems(QUrl::FullyDecoded)) {
        if (clave == QLatin1String("mode") && valor == QLatin1String("ro"))
            address.readOnly = true;
        else if (clave == QLatin1String("mode") && valor == QLatin1String("rw"))
            address.readOnly = false;
        else
            rechaza(QStringLiteral("La dirección de la base de datos %1 lleva la opción «%2» que no se reconoce "
                                   "(sólo se acepta ?mode=ro, sólo lectura, o ?mode=rw)")
                        .arg(mostrada, valor.isEmpty() ? clave : clave + QLatin1Char('=') + valor));
    }
}

// A path as the user meant it: "~/" is the home folder, and a relative path is taken from the
// current folder once, so messages and later connections name the same file.
QString rutaCompleta(const QString &ruta)
{
    if (ruta == QLatin1String("~") || ruta.startsWith(QLatin1String("~/")))
        return QDir::cleanPath(QDir::homePath() + ruta.mid(1));
    return QDir::cleanPath(QDir::current().absoluteFilePath(ruta));
}

// "sqlite:" and the file's path, taken as written (a file name may hold any character a URL
// would escape), then the options after '?'.
DatabaseAddress sqlite(const QString &resto, const QString &url)
{
    QString ruta = resto.section(QLatin1Char('?'), 0, 0);
    if (ruta.startsWith(QLatin1String("///")))
        ruta = ruta.mid(2);
    if (ruta.isEmpty())
        rechaza(QStringLiteral("La dirección de la base de datos no es válida: %1 (%2)").arg(url, esperada));
    DatabaseAddress address;
    address.engine = Engine::SQLite;
    address.path = rutaCompleta(ruta);
    address.mustExist = true;
    aplicaOpciones(address, resto.section(QLatin1Char('?'), 1), address.toDisplayString());
    return address;
}

} // namespace

DatabaseAddress DatabaseAddress::parse(const QString &url)
{
    const QString texto = url.trimmed();
    if (texto.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive))
        return sqlite(texto.mid(7), texto);
    const QUrl parsed(texto, QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (parsed.isValid() && (scheme == QLatin1String("postgresql") || scheme == QLatin1String("postgres"))) {
        DatabaseAddress address;
        address.engine = Engine::PostgreSQL;
        address.host = parsed.host().isEmpty() ? QStringLiteral("localhost") : parsed.host();
        address.port = parsed.port(5432);
        address.user = parsed.userName();
        address.password = parsed.password();
        address.database = parsed.path().mid(1);
        if (!address.database.isEmpty()) {
            aplicaOpciones(address, parsed.query(QUrl::FullyEncoded), address.toDisplayString());
            return address;
        }
    }
    rechaza(QStringLiteral("La dirección de la base de datos no es válida: %1 (%2)")
                .arg(parsed.toDisplayString(QUrl::RemovePassword), esperada));
}

QString DatabaseAddress::toDisplayString() const
{
    const QString modo = readOnly ? QStringLiteral("?mode=ro") : QString();
    if (engine == Engine::SQLite)
        return QStringLiteral("sqlite:") + path + modo;
    return QStringLiteral("postgresql://%1@%2:%3/%4").arg(user, host).arg(port).arg(database) + modo;
}

QString DatabaseAddress::passwordWarning() const
{
    if (password.isEmpty())
        return {};
    return QStringLiteral(
        "La dirección de la base de datos lleva la contraseña: cualquier usuario de este equipo puede "
        "verla en la lista de procesos. Quítela de la dirección y guárdela en ~/.pgpass (permisos 0600) "
        "o en la variable PGPASSWORD.");
}

} // namespace Ado
