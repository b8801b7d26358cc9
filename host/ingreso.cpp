#include "ingreso.h"

#include "ado/session.h"
#include "servicios/contrasenaoperador.h"

#include <QFileInfo>

Ingreso::Ingreso(bool baseDeDemostracion, Servicios::FrenoDeIntentos::Espera espera)
    : m_demo(baseDeDemostracion)
    , m_freno(std::move(espera))
{ }

std::optional<QString> Ingreso::entra(const QString &codigo, const QString &contrasena)
{
    m_freno.antesDeRevisar(codigo);
    std::optional<QString> operador = revisa(codigo, contrasena);
    m_freno.anota(codigo, operador.has_value());
    return operador;
}

std::optional<QString> Ingreso::revisa(const QString &codigo, const QString &contrasena) const
{
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

bool Ingreso::entraSinContrasena(const QString &codigo) const
{
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
