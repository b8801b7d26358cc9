#include "servicios/servicios.h"

namespace Servicios {
namespace {

QString &operadorActual()
{
    static QString operador;
    return operador;
}

} // namespace

Entorno::~Entorno() = default;
Funciones::~Funciones() = default;
Procesos::~Procesos() = default;

void estableceOperador(const QString &operador)
{
    operadorActual() = operador;
}

QString operadorDeSesion()
{
    return operadorActual();
}

} // namespace Servicios
