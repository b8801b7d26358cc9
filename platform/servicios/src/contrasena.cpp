#include "servicios/contrasenaoperador.h"

#include "runtime/error.h"

#include <QList>

namespace Servicios {

void revisaContrasenaNueva(const QString &clara)
{
    constexpr qsizetype largoMinimo = 10;
    constexpr qsizetype largoMaximo = 256;
    if (clara.trimmed().isEmpty())
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("La contraseña no puede estar vacía ni ser sólo espacios; no se cambió nada"));
    const qsizetype largo = clara.toUcs4().size();
    if (largo < largoMinimo)
        Runtime::raise(
            Runtime::ErrorNumber::InvalidCall,
            QStringLiteral("La contraseña debe tener al menos %1 caracteres; no se cambió nada").arg(largoMinimo));
    if (largo > largoMaximo)
        Runtime::raise(
            Runtime::ErrorNumber::InvalidCall,
            QStringLiteral("La contraseña no puede tener más de %1 caracteres; no se cambió nada").arg(largoMaximo));
}

} // namespace Servicios
