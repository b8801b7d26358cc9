#include "servicios/contrasenavendedor.h"

#include "servicios/contrasenaoperador.h"

#include "ado/connection.h"
#include "ado/session.h"
#include "ado/sqltext.h"
#include "runtime/conversions.h"
#include "runtime/error.h"

namespace Servicios {
namespace {

RevisionDeContrasena revisaEnElServidor(Ado::Connection &conexion, const QString &codigo, const QString &clara)
{
    if (conexion.inTransaction())
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("La contraseña de un vendedor no se revisa dentro de una transacción"));
    const QString intento = conexion
                                .Execute(QStringLiteral("SELECT teqvaro_intenta_vendedor(?, ?)"),
                                         Ado::texts({codigo, clara}))
                                .field(0)
                                .toString();
    const QString resultado = conexion
                                  .Execute(QStringLiteral("SELECT teqvaro_resultado_vendedor(CAST(? AS UUID))"),
                                           {intento})
                                  .field(0)
                                  .toString();
    if (resultado == QLatin1String("SI"))
        return RevisionDeContrasena::Coincide;
    return resultado == QLatin1String("NUEVA") ? RevisionDeContrasena::PideNueva : RevisionDeContrasena::NoCoincide;
}

// A code without a password is checked at the same cost as a wrong password.
RevisionDeContrasena revisaEnElProceso(Ado::Connection &conexion, const QString &codigo, const QString &clara)
{
    const Ado::Recordset guardada = conexion.Execute(
        QStringLiteral("SELECT Vc_Huella FROM Vendedor_Contrasena WHERE Vc_Cve_Vendedor = ?"), Ado::texts({codigo}));
    if (!guardada.atEnd() && Runtime::isNull(guardada.field(0)))
        return RevisionDeContrasena::PideNueva;
    const QString huella = guardada.atEnd() ? QString() : guardada.field(0).toString();
    return HuellaDeContrasena::coincide(huella, clara) ? RevisionDeContrasena::Coincide
                                                       : RevisionDeContrasena::NoCoincide;
}

} // namespace

RevisionDeContrasena revisaContrasenaDeVendedor(Ado::Connection &conexion, const QString &codigo, const QString &clara)
{
    return conexion.engine() == Ado::Engine::PostgreSQL ? revisaEnElServidor(conexion, codigo, clara)
                                                        : revisaEnElProceso(conexion, codigo, clara);
}

void guardaContrasenaDeVendedor(Ado::Connection &conexion, const QString &codigo, const QString &clara)
{
    if (conexion.engine() == Ado::Engine::PostgreSQL) {
        conexion.Execute(QStringLiteral("SELECT teqvaro_pon_contrasena_vendedor(?, ?)"), Ado::texts({codigo, clara}));
        return;
    }
    conexion.Execute(
        QStringLiteral("INSERT OR REPLACE INTO Vendedor_Contrasena (Vc_Cve_Vendedor, Vc_Huella, Vc_Fallos) "
                       "VALUES (?, ?, 0)"),
        Ado::texts({codigo, HuellaDeContrasena::calcula(clara)}));
}

void guardaContrasenaDeTodos(Ado::Connection &conexion, const QString &clara)
{
    if (conexion.engine() == Ado::Engine::PostgreSQL) {
        conexion.Execute(QStringLiteral("INSERT INTO Vendedor_Contrasena (Vc_Cve_Vendedor, Vc_Huella, Vc_Fallos) "
                                        "SELECT Vn_Cve_Vendedor, Una.Huella, 0 FROM Vendedor, "
                                        "(SELECT teqvaro_huella_vendedor(?, gen_salt('bf', 10)) AS Huella) AS Una "
                                        "ON CONFLICT (Vc_Cve_Vendedor) DO UPDATE SET Vc_Huella = EXCLUDED.Vc_Huella"),
                         Ado::texts({clara}));
        return;
    }
    conexion.Execute(
        QStringLiteral("INSERT OR REPLACE INTO Vendedor_Contrasena (Vc_Cve_Vendedor, Vc_Huella, Vc_Fallos) "
                       "SELECT Vn_Cve_Vendedor, ?, 0 FROM Vendedor"),
        Ado::texts({HuellaDeContrasena::calcula(clara)}));
}

void ponContrasena(const QString &codigoVendedor, const QString &clara)
{
    revisaContrasenaNueva(clara);
    const std::shared_ptr<Ado::Connection> conexion = Ado::Session::connection();
    if (conexion
            ->Execute(QStringLiteral("SELECT 1 FROM Vendedor WHERE Vn_Cve_Vendedor = ?"), Ado::texts({codigoVendedor}))
            .atEnd())
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("No existe el vendedor %1").arg(codigoVendedor));
    guardaContrasenaDeVendedor(*conexion, codigoVendedor, clara);
}

} // namespace Servicios
