#include "ingreso.h"

#include "ado/session.h"
#include "ado/signin.h"
#include "servicios/contrasenaoperador.h"
#include "servicios/usuarios.h"

#include <QFileInfo>

Ingreso::Ingreso(bool baseDeDemostracion, Servicios::FrenoDeIntentos::Espera espera)
    : m_demo(baseDeDemostracion)
    , m_freno(std::move(espera))
{ }

Ingreso Ingreso::porServidor(const Ado::DatabaseAddress &direccion, Servicios::FrenoDeIntentos::Espera espera)
{
    Ingreso ingreso(false, std::move(espera));
    ingreso.m_servidor = direccion;
    return ingreso;
}

std::optional<QString> Ingreso::entra(const QString &codigo, const QString &contrasena)
{
    m_freno.antesDeRevisar(codigo);
    std::optional<QString> operador = revisa(codigo, contrasena);
    m_freno.anota(codigo, operador.has_value());
    return operador;
}

std::optional<QString> Ingreso::revisa(const QString &codigo, const QString &contrasena) const
{
    if (m_servidor)
        return conecta(codigo, contrasena);
    const std::optional<Servicios::OperadorGuardado> operador = Servicios::leeOperador(codigo);
    if (operador && operador->huella.isEmpty() && m_demo)
        return operador->codigo;
    // An unknown code, or one without a password, is checked at the same cost, so the time
    // taken does not tell it from a wrong password.
    const bool coincide = Servicios::HuellaDeContrasena::coincide(operador ? operador->huella : QString(), contrasena);
    if (!operador || !coincide)
        return std::nullopt;
    return operador->codigo;
}

Ado::DatabaseAddress Ingreso::comoOperador(const QString &codigo, const QString &contrasena) const
{
    Ado::DatabaseAddress direccion = *m_servidor;
    direccion.user = Servicios::rolDeOperador(direccion.database, codigo);
    direccion.password = contrasena;
    return direccion;
}

// A login role that is nobody's operator (made by hand on the server) gets the same refusal.
std::optional<QString> Ingreso::conecta(const QString &codigo, const QString &contrasena) const
{
    if (codigo.trimmed().isEmpty())
        return std::nullopt;
    const Ado::DatabaseAddress direccion = comoOperador(codigo, contrasena);
    if (Ado::trySignIn(direccion) != Ado::SignIn::Accepted)
        return std::nullopt;
    Ado::Session::configure(direccion);
    std::optional<QString> operador = Servicios::operadorDeLaSesion(*Ado::Session::connection());
    if (!operador)
        Ado::Session::reset();
    return operador;
}

bool Ingreso::entraSinContrasena(const QString &codigo) const
{
    if (m_servidor)
        return !codigo.trimmed().isEmpty() && Ado::trySignIn(comoOperador(codigo, QString())) == Ado::SignIn::Accepted;
    if (!m_demo)
        return false;
    const std::optional<Servicios::OperadorGuardado> operador = Servicios::leeOperador(codigo);
    return operador && operador->huella.isEmpty();
}

QString Ingreso::rechazo()
{
    return QStringLiteral("El operador o la contraseña no son correctos.");
}

bool esBaseDeDemostracion(const QString &archivoDemo)
{
    const Ado::DatabaseAddress &direccion = Ado::Session::address();
    if (direccion.engine != Ado::Engine::SQLite)
        return false;
    const QString demo = QFileInfo(archivoDemo).canonicalFilePath();
    return !demo.isEmpty() && QFileInfo(direccion.path).canonicalFilePath() == demo;
}
