#include "servicios/cifrado.h"

#include "ado/session.h"
#include "runtime/error.h"

namespace Servicios {

void revisaContrasenaNueva(const QString &clara)
{
    constexpr qsizetype largoMaximo = 256;
    if (clara.trimmed().isEmpty())
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("La contraseña no puede estar vacía ni ser sólo espacios; no se cambió nada"));
    if (clara.toUcs4().size() > largoMaximo)
        Runtime::raise(
            Runtime::ErrorNumber::InvalidCall,
            QStringLiteral("La contraseña no puede tener más de %1 caracteres; no se cambió nada").arg(largoMaximo));
}

void ponContrasena(const QString &codigoVendedor, const QString &clara)
{
    revisaContrasenaNueva(clara);
    qint64 filas = 0;
    // Bound, so the cipher text is never part of a statement's text, in a log or a message.
    Ado::Session::connection()->Execute(QStringLiteral("UPDATE Vendedor SET Vn_Password = ? WHERE Vn_Cve_Vendedor = ?"),
                                        {Cifrado::Cifra(clara), codigoVendedor}, &filas);
    if (filas < 1)
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("No existe el vendedor %1").arg(codigoVendedor));
}

} // namespace Servicios
