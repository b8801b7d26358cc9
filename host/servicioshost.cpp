#include "servicioshost.h"

ServiciosDelAnfitrion::ServiciosDelAnfitrion()
    : entorno(Servicios::Fabrica::actual().nuevoEntorno())
    , funciones(Servicios::Fabrica::actual().nuevasFunciones(*entorno))
    , procesos(Servicios::Fabrica::actual().nuevosProcesos(*entorno, *funciones))
{ }
