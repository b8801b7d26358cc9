#include "dialogonota.h"

#include "servicios/entornosql.h"
#include "servicios/funcionessql.h"
#include "servicios/procesossql.h"
#include "servicios/servicios.h"

namespace Servicios {
namespace {

Fabrica predeterminada()
{
    Fabrica fabrica;
    fabrica.nuevoEntorno = [] { return std::unique_ptr<Entorno>(std::make_unique<EntornoSql>()); };
    fabrica.nuevasFunciones = [](Entorno &entorno) {
        return std::unique_ptr<Funciones>(std::make_unique<FuncionesSql>(entorno));
    };
    fabrica.nuevosProcesos = [](Entorno &entorno, Funciones &funciones) {
        return std::unique_ptr<Procesos>(std::make_unique<ProcesosSql>(entorno, funciones));
    };
    fabrica.capturaDeNota = capturaConDialogo;
    return fabrica;
}

} // namespace

Fabrica &Fabrica::actual()
{
    static Fabrica fabrica = predeterminada();
    return fabrica;
}

void Fabrica::restablece()
{
    actual() = predeterminada();
}

} // namespace Servicios
