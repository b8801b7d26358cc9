#include "grabadores.h"

#include "ado/connection.h"
#include "publico.h"

#include <QWidget>

namespace Pruebas {

EntornoGrabador::EntornoGrabador()
    : m_real(Servicios::Fabrica::actual().nuevoEntorno())
{ }

EntornoGrabador::~EntornoGrabador() = default;

qint32 EntornoGrabador::Mensaje(const QString &texto, qint32 estilo, const QString &titulo, QWidget *propietario,
                                const QString &modulo, const QString &idError)
{
    mensajes.push_back({texto, estilo, titulo, propietario, modulo, idError});
    if (alMostrar)
        alMostrar(mensajes.back());
    if (!respuestas.empty()) {
        const qint32 respuesta = respuestas.front();
        respuestas.pop_front();
        return respuesta;
    }
    return (estilo & 7) == Servicios::Estilo::SiNo ? Servicios::Respuesta::Si : Servicios::Respuesta::Aceptar;
}

QStringList EntornoGrabador::identificadores() const
{
    QStringList ids;
    for (const MensajeMostrado &mensaje : mensajes)
        ids << mensaje.idError;
    return ids;
}

EntornoGrabador &iniciaModuloConGrabador()
{
    Publico::Termina();
    Servicios::Fabrica::restablece();
    auto entorno = std::make_unique<EntornoGrabador>();
    EntornoGrabador &grabador = *entorno;
    Publico::Entorno = std::move(entorno);
    Publico::Funciones = Servicios::Fabrica::actual().nuevasFunciones(*Publico::Entorno);
    Publico::Procesos = Servicios::Fabrica::actual().nuevosProcesos(*Publico::Entorno, *Publico::Funciones);
    return grabador;
}

void AnfitrionGrabador::transacciones(const QString &modulo, const QString &parametros)
{
    solicitudes << modulo + QLatin1Char(' ') + parametros;
}

void AnfitrionGrabador::close()
{
    ++cierres;
    if (pantalla)
        pantalla->close();
}

} // namespace Pruebas
