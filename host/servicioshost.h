#pragma once

#include "servicios/servicios.h"

#include <memory>

// The service library's three objects for the host's own screens, made by the same factory
// the module's start-up uses, so the host reads the session's operator and variables, writes
// the audit log and closes opportunities exactly as the board does.
struct ServiciosDelAnfitrion
{
    ServiciosDelAnfitrion();

    std::unique_ptr<Servicios::Entorno> entorno;
    std::unique_ptr<Servicios::Funciones> funciones;
    std::unique_ptr<Servicios::Procesos> procesos;
};
