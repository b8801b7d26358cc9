#include "publico.h"

namespace Publico {

std::unique_ptr<Servicios::Entorno> Entorno;
std::unique_ptr<Servicios::Funciones> Funciones;
std::unique_ptr<Servicios::Procesos> Procesos;
QString TextoSql;

void Main()
{
    const Servicios::Fabrica &fabrica = Servicios::Fabrica::actual();
    Entorno = fabrica.nuevoEntorno();
    Funciones = fabrica.nuevasFunciones(*Entorno);
    Procesos = fabrica.nuevosProcesos(*Entorno, *Funciones);
}

bool Iniciado()
{
    return Entorno && Funciones && Procesos;
}

void Termina()
{
    Procesos.reset();
    Funciones.reset();
    Entorno.reset();
    TextoSql.clear();
}

} // namespace Publico
