#include "servicios/usuarios.h"

#include "servicios/contrasenaoperador.h"

#include "ado/connection.h"
#include "ado/sqltext.h"

namespace Servicios {

QString rolDeOperador(const QString &baseDeDatos, const QString &codigo)
{
    return baseDeDatos + QLatin1Char('.') + codigo.trimmed().toLower();
}

bool derechosEnElServidor(Ado::Connection &conexion)
{
    if (conexion.engine() != Ado::Engine::PostgreSQL)
        return false;
    const Ado::Recordset tabla = conexion.Execute(
        QStringLiteral("SELECT relrowsecurity FROM pg_class WHERE oid = to_regclass('oportunidad')"));
    return !tabla.atEnd() && tabla.field(0).toBool();
}

std::optional<QString> operadorDeLaSesion(Ado::Connection &conexion)
{
    if (!derechosEnElServidor(conexion))
        return std::nullopt;
    const Ado::Recordset yo = conexion.Execute(QStringLiteral("SELECT operador FROM Usuario_Actual"));
    if (yo.atEnd())
        return std::nullopt;
    return yo.field(0).toString();
}

QString altaDeOperador(Ado::Connection &conexion, const AltaDeOperador &alta)
{
    revisaContrasenaNueva(alta.contrasena);
    const QString rol = rolDeOperador(conexion.address().database, alta.codigo);
    const QString verificador = conexion.passwordVerifier(rol, alta.contrasena);
    return conexion
        .Execute(QStringLiteral("SELECT teqvaro_alta_operador(?, ?, ?, ?, ?)"),
                 Ado::texts({alta.codigo.trimmed(), alta.nombre, alta.vendedor})
                     + QVariantList{alta.administrador, verificador})
        .field(0)
        .toString();
}

void bajaDeOperador(Ado::Connection &conexion, const QString &codigo)
{
    conexion.Execute(QStringLiteral("SELECT teqvaro_baja_operador(?)"), Ado::texts({codigo.trimmed()}));
}

} // namespace Servicios
