#include "conexioninicial.h"

#include "runtime/error.h"

#include <QDebug>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>

#include <optional>
#include <vector>

namespace ConexionInicial {
namespace {

struct Causa
{
    QRegularExpression texto;
    QString motivo;
};

// In the order they are tried: once the server answered, what it said is the cause, whatever
// the network did before. Each cause in the words of the client library and of the server,
// in English and in Spanish (they speak the user's language when their translations are
// installed), and by SQLSTATE when the text is verbose.
const std::vector<Causa> &causas()
{
    const auto causa = [](const char *texto, const char *motivo) {
        return Causa{QRegularExpression(QString::fromUtf8(texto), QRegularExpression::CaseInsensitiveOption),
                     QString::fromUtf8(motivo)};
    };
    static const std::vector<Causa> conocidas = {
        causa(R"(database "[^"]*" does not exist|no existe la base de datos|\b3D000\b)", "la base de datos no existe"),
        causa(R"(password authentication failed|authentication failed for user|no password supplied|)"
              R"(role "[^"]*" does not exist|la autentificación \S+ falló|no existe el rol|\b28P01\b|\b28000\b)",
              "el usuario o la contraseña no son válidos"),
        causa(R"(database system is (starting up|shutting down|in recovery mode)|)"
              R"(base de datos está (iniciándose|apagándose|en modo de recuperación)|\b57P03\b)",
              "el servidor está arrancando o deteniéndose"),
        causa(R"(too many clients|demasiados clientes|\b53300\b)",
              "el servidor ya atiende todas las conexiones que admite"),
        causa(R"(could not translate host name|Name or service not known|failure in name resolution|)"
              R"(No address associated with hostname|no se pudo traducir el nombre|Nombre o servicio desconocido|)"
              R"(resolución del nombre|dirección asociada al nombre)",
              "no se encontró el servidor con ese nombre"),
        causa(R"(Connection refused|Conexión rehusada)", "el servidor no acepta conexiones en esa dirección y puerto"),
        causa(R"(timeout expired|timed out|tiempo de espera agotado|Expiró el tiempo|no respondió a tiempo)",
              "el servidor no respondió a tiempo"),
        causa(R"(No route to host|Network is unreachable|ninguna ruta hasta|La red es inaccesible)",
              "la red no llega hasta el servidor"),
    };
    return conocidas;
}

// Connection and trySignIn name the address that failed (the session's, or the one a person
// signs in with) before the driver's own words.
const QRegularExpression &conLaDireccion()
{
    static const QRegularExpression antes(QStringLiteral("^([^:]*postgresql://\\S*?): "));
    return antes;
}

QString sinLaDireccion(const QString &descripcion)
{
    const QRegularExpressionMatch antes = conLaDireccion().match(descripcion);
    return antes.hasMatch() ? descripcion.mid(antes.capturedLength()) : descripcion;
}

// The driver's text when the database refused or could not be reached; nothing once connected.
std::optional<QString> falla(const std::function<void()> &conectaAlServidor)
{
    try {
        conectaAlServidor();
        return std::nullopt;
    } catch (const Runtime::RuntimeError &error) {
        if (error.number() != Runtime::ErrorNumber::Database)
            throw;
        return sinLaDireccion(error.description());
    }
}

} // namespace

QString motivo(const QString &textoDelControlador)
{
    for (const Causa &causa : causas()) {
        if (causa.texto.match(textoDelControlador).hasMatch())
            return causa.motivo;
    }
    return QStringLiteral("la comunicación con el servidor falló");
}

QString mensaje(const Ado::DatabaseAddress &direccion, const QString &textoDelControlador)
{
    return QStringLiteral("No se pudo conectar con la base de datos %1: %2.")
        .arg(direccion.toDisplayString(), motivo(textoDelControlador));
}

QString enPalabrasLlanas(const QString &descripcion)
{
    const QRegularExpressionMatch antes = conLaDireccion().match(descripcion);
    if (!antes.hasMatch())
        return descripcion;
    return QStringLiteral("%1: %2.").arg(antes.captured(1), motivo(descripcion.mid(antes.capturedLength())));
}

Respuesta preguntaAlUsuario(const QString &mensaje, const QString &detalle)
{
    QMessageBox caja(QMessageBox::Critical, QStringLiteral("Teqvaro"), mensaje);
    caja.setObjectName(QStringLiteral("ConexionInicial"));
    caja.setTextFormat(Qt::PlainText);
    caja.setInformativeText(QStringLiteral(
        "Pulse «Reintentar» para intentarlo de nuevo con la misma dirección, o «Salir» para cerrar el programa."));
    caja.setDetailedText(detalle);
    QPushButton *reintentar = caja.addButton(QStringLiteral("Reintentar"), QMessageBox::AcceptRole);
    reintentar->setObjectName(QStringLiteral("reintentar"));
    QPushButton *salir = caja.addButton(QStringLiteral("Salir"), QMessageBox::RejectRole);
    salir->setObjectName(QStringLiteral("salir"));
    caja.setDefaultButton(reintentar);
    caja.setEscapeButton(salir); // closing the box leaves too
    caja.exec();
    return caja.clickedButton() == reintentar ? Respuesta::Reintentar : Respuesta::Salir;
}

Respuesta sinPantalla(const QString &mensaje, const QString & /*detalle: logged with each failure*/)
{
    qCritical().noquote() << mensaje;
    return Respuesta::Salir;
}

void conecta(const Ado::DatabaseAddress &direccion, const std::function<void()> &conectaAlServidor,
             const Pregunta &pregunta)
{
    if (direccion.engine != Ado::Engine::PostgreSQL) {
        conectaAlServidor();
        return;
    }
    std::optional<QString> texto = falla(conectaAlServidor);
    while (texto) {
        qWarning().noquote()
            << QStringLiteral("No se pudo conectar con %1: %2").arg(direccion.toDisplayString(), *texto);
        if (pregunta(mensaje(direccion, *texto), *texto) == Respuesta::Salir)
            throw Abandonada{};
        // No window is on screen yet, and a server that does not answer takes the connection's
        // whole timeout.
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restaura = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        texto = falla(conectaAlServidor);
    }
}

} // namespace ConexionInicial
