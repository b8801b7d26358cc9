#include "contrasenasvendedor.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "runtime/conversions.h"
#include "servicios/cifrado.h"
#include "servicios/contrasenavendedor.h"

#include <QLoggingCategory>

#include <memory>
#include <utility>

namespace Datos {
namespace {

Q_LOGGING_CATEGORY(logDatos, "teqvaro.datos")

// No key on this desk (or one that cannot be used) leaves every password to be given anew.
std::unique_ptr<Servicios::Cifrado> claveDeEsteEquipo()
{
    try {
        return std::make_unique<Servicios::Cifrado>();
    } catch (const std::exception &) {
        return nullptr;
    }
}

QString descifrada(const Servicios::Cifrado *cifrado, const QString &guardada)
{
    if (!cifrado)
        return {};
    try {
        return cifrado->Descifra(guardada);
    } catch (const std::exception &) {
        return {};
    }
}

} // namespace

void trasladaContrasenasDeVendedores(Ado::Connection &conexion)
{
    QList<std::pair<QString, QString>> guardadas;
    {
        Ado::Recordset filas = conexion.Execute(QStringLiteral(
            "SELECT Vn_Cve_Vendedor, Vn_Password FROM Vendedor WHERE Vn_Password IS NOT NULL AND Vn_Password <> ''"));
        for (; !filas.atEnd(); filas.moveNext())
            guardadas << std::pair{filas.field(0).toString(), filas.field(1).toString()};
    }
    if (guardadas.isEmpty())
        return;
    const std::unique_ptr<Servicios::Cifrado> cifrado = claveDeEsteEquipo();
    int pendientes = 0;
    for (const auto &[codigo, guardada] : guardadas) {
        const QString clara = descifrada(cifrado.get(), guardada);
        if (!clara.isEmpty()) {
            Servicios::guardaContrasenaDeVendedor(conexion, codigo, clara);
            continue;
        }
        conexion.Execute(
            QStringLiteral("INSERT INTO Vendedor_Contrasena (Vc_Cve_Vendedor, Vc_Huella) VALUES (?, NULL)"),
            Ado::texts({codigo}));
        ++pendientes;
    }
    conexion.Execute(QStringLiteral("UPDATE Vendedor SET Vn_Password = NULL"));
    if (pendientes > 0)
        qCWarning(logDatos).noquote() << pendientes
                                      << "vendedores necesitan una contraseña nueva: su contraseña "
                                         "cifrada no se pudo descifrar con la clave de este equipo";
}

} // namespace Datos
