#include "identificador.h"

#include "runtime/error.h"

#include <QRegularExpression>

namespace Servicios {

void exigeIdentificador(const QString &nombre)
{
    static const QRegularExpression identificador(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!identificador.match(nombre).hasMatch())
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       Runtime::standardDescription(Runtime::ErrorNumber::InvalidCall)
                           + QStringLiteral(": «%1» no es un nombre de tabla o columna").arg(nombre));
}

} // namespace Servicios
