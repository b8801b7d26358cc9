#include "publico.h"

#include <QScopeGuard>

namespace Publico {

std::unique_ptr<Servicios::Entorno> Entorno;
std::unique_ptr<Servicios::Funciones> Funciones;
std::unique_ptr<Servicios::Procesos> Procesos;
QString TextoSql;

namespace {

int mensajesAbiertos = 0;

} // namespace

qint32 Mensaje(const QString &texto, qint32 estilo, const QString &titulo, QWidget *propietario, const QString &modulo,
               const QString &idError)
{
    ++mensajesAbiertos;
    const auto cerrado = qScopeGuard([] { --mensajesAbiertos; });
    return Entorno->Mensaje(texto, estilo, titulo, propietario, modulo, idError);
}

bool HayMensajeAbierto()
{
    return mensajesAbiertos > 0;
}

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
