#include "ado/databaseaddress.h"

#include "runtime/error.h"

#include <QDir>
#include <QUrl>
#include <QUrlQuery>

namespace Ado {
namespace {

const QString esperada = QStringLiteral(
    "se espera sqlite:/ruta/archivo.db o postgresql://usuario@servidor:puerto/base");

// libpq's modes, from no encryption to a server whose name its certificate proves.
const QStringList modosDeCifrado = {QStringLiteral("disable"),   QStringLiteral("allow"),
                                    QStringLiteral("prefer"),    QStringLiteral("require"),
                                    QStringLiteral("verify-ca"), QStringLiteral("verify-full")};

[[noreturn]] void rechaza(const QString &motivo)
{
    Runtime::raise(Runtime::ErrorNumber::InvalidCall, motivo);
}

// A path as the user meant it: "~/" is the home folder, and a relative path is taken from the
// current folder once, so messages and later connections name the same file.
QString rutaCompleta(const QString &ruta)
{
    if (ruta == QLatin1String("~") || ruta.startsWith(QLatin1String("~/")))
        return QDir::cleanPath(QDir::homePath() + ruta.mid(1));
    return QDir::cleanPath(QDir::current().absoluteFilePath(ruta));
}

QString escrita(const QString &clave, const QString &valor)
{
    return valor.isEmpty() ? clave : clave + QLatin1Char('=') + valor;
}

// How a PostgreSQL connection is encrypted. Qt's driver ends an option at ';', so a path that
// holds one could not reach libpq whole.
void aplicaCifrado(DatabaseAddress &address, const QString &clave, const QString &valor, const QString &mostrada)
{
    const QString lleva = QStringLiteral("La dirección de la base de datos %1 lleva «%2»")
                              .arg(mostrada, escrita(clave, valor));
    if (address.engine == Engine::SQLite)
        rechaza(lleva + QStringLiteral(", que sólo vale para PostgreSQL (un archivo SQLite no se abre por la red)"));
    if (clave == QLatin1String("sslmode")) {
        if (!modosDeCifrado.contains(valor))
            rechaza(lleva
                    + QStringLiteral(", un modo de cifrado que no se reconoce (se acepta %1)")
                          .arg(modosDeCifrado.join(QStringLiteral(", "))));
        address.sslMode = valor;
    } else {
        if (valor.isEmpty() || valor.contains(QLatin1Char(';')))
            rechaza(lleva + QStringLiteral(", que no es la ruta de un archivo (no puede estar vacía ni llevar «;»)"));
        address.sslRootCert = rutaCompleta(valor);
    }
}

// The options an address may carry: the mode and, on PostgreSQL, the encryption. Anything else
// was meant to do something the program would not do, so it is refused rather than ignored.
void aplicaOpciones(DatabaseAddress &address, const QString &opciones, const QString &mostrada)
{
    const QUrlQuery consulta(opciones);
    for (const auto &[clave, valor] : consulta.queryItems(QUrl::FullyDecoded)) {
        if (clave == QLatin1String("mode") && valor == QLatin1String("ro"))
            address.readOnly = true;
        else if (clave == QLatin1String("mode") && valor == QLatin1String("rw"))
            address.readOnly = false;
        else if (clave == QLatin1String("sslmode") || clave == QLatin1String("sslrootcert"))
            aplicaCifrado(address, clave, valor, mostrada);
        else
            rechaza(QStringLiteral("La dirección de la base de datos %1 lleva la opción «%2» que no se reconoce "
                                   "(se acepta ?mode=ro, sólo lectura, o ?mode=rw; en PostgreSQL, también sslmode "
                                   "y sslrootcert)")
                        .arg(mostrada, escrita(clave, valor)));
    }
}

// A value in a libpq connection string: in single quotes, so a path may hold spaces.
QString entreComillas(QString valor)
{
    valor.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + valor + QLatin1Char('\'');
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
    QUrlQuery opciones;
    if (readOnly)
        opciones.addQueryItem(QStringLiteral("mode"), QStringLiteral("ro"));
    if (!sslMode.isEmpty())
        opciones.addQueryItem(QStringLiteral("sslmode"), sslMode);
    if (!sslRootCert.isEmpty())
        opciones.addQueryItem(QStringLiteral("sslrootcert"), sslRootCert);
    // Escaped as far as parse() needs to read the same path back (QUrlQuery leaves '#', which
    // would end the URL) and no further, so a path reads as the user wrote it.
    const QString escritas = opciones.isEmpty() ? QString()
                                                : QLatin1Char('?')
                                                      + opciones.toString(QUrl::EncodeSpaces | QUrl::EncodeReserved)
                                                            .replace(QLatin1Char('#'), QLatin1String("%23"));
    if (engine == Engine::SQLite)
        return QStringLiteral("sqlite:") + path + escritas;
    const QString quien = user.isEmpty() ? QString() : user + QLatin1Char('@');
    return QStringLiteral("postgresql://%1%2:%3/%4").arg(quien, host).arg(port).arg(database) + escritas;
}

QString DatabaseAddress::postgresqlOptions() const
{
    QStringList opciones;
    if (!sslMode.isEmpty())
        opciones.append(QStringLiteral("sslmode=") + sslMode);
    if (!sslRootCert.isEmpty())
        opciones.append(QStringLiteral("sslrootcert=") + entreComillas(sslRootCert));
    return opciones.join(QLatin1Char(';'));
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
