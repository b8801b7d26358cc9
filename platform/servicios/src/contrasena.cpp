#include "servicios/cifrado.h"

#include "ado/session.h"
#include "ado/sqltext.h"
#include "runtime/error.h"

namespace Servicios {

void ponContrasena(const QString &codigoVendedor, const QString &clara)
{
    qint64 filas = 0;
    Ado::Session::connection()->Execute(QStringLiteral("UPDATE Vendedor SET Vn_Password = '")
                                            + Ado::quoted(Cifrado::Cifra(clara))
                                            + QStringLiteral("' WHERE Vn_Cve_Vendedor = '")
                                            + Ado::quoted(codigoVendedor) + QStringLiteral("'"),
                                        &filas);
    if (filas < 1)
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("No existe el vendedor %1").arg(codigoVendedor));
}

} // namespace Servicios
