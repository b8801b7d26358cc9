// The open board left to itself, refreshing on its own timer: how long its event loop
// stays frozen (the user's clicks and keys wait that long), with another user committing
// changes and with nothing new, and how much CPU it burns while nobody touches it.
#include "cambios.h"
#include "mediciones.h"
#include "procesos.h"
#include "sonda.h"
#include "tablero.h"

#include "controles/listview.h"

#include <QDebug>
#include <QElapsedTimer>

#include <chrono>

namespace Banco {
namespace {

using namespace std::chrono_literals;

constexpr auto ventanaDeSonda = 20s;
constexpr auto ventanaDeCpu = 20s;
constexpr auto ventanaLarga = 5min; // a board left alone a while, with any once-a-minute re-read in it
constexpr auto periodoDeSonda = 1ms;

// CPU of every thread of the process, as a share of one core over the wall time.
double usoDeCpu(std::chrono::milliseconds ventana)
{
    QElapsedTimer reloj;
    reloj.start();
    const double antes = cpuPropia();
    correElLazo(ventana);
    return 100.0 * (cpuPropia() - antes) / double(reloj.elapsed());
}

void imprimeBloqueos(const Corrida &corrida, const QString &sufijo, const Bloqueos &bloqueos)
{
    imprime(corrida.nombre(QStringLiteral("stall_max") + sufijo), bloqueos.maximo, QStringLiteral("ms"));
    imprime(corrida.nombre(QStringLiteral("frozen") + sufijo), bloqueos.congelado, QStringLiteral("%"));
}

// Another user commits a change every second, so every automatic refresh has something
// to read and apply.
void bloqueosConCambios(const Corrida &corrida, const Base &base, Tablero &tablero)
{
    RenglonesTocados tocados(*tablero.lista().model(), corrida.filas);
    Bloqueos bloqueos;
    {
        const Escritor otroUsuario(base.direccion, corrida.filas);
        bloqueos = sondea(ventanaDeSonda, periodoDeSonda);
        if (otroUsuario.cambiosHechos() == 0)
            qWarning() << "nadie cambió nada mientras se medían los bloqueos";
    }
    if (tocados.cuenta() == 0)
        qWarning() << "el tablero no mostró ningún cambio en" << ventanaDeSonda.count() << "s";
    imprimeBloqueos(corrida, QString(), bloqueos);
}

} // namespace

void mideReposo(const Corrida &corrida, const Base &base, Tablero &tablero, const Plan &plan)
{
    bloqueosConCambios(corrida, base, tablero);
    tablero.recargaPintada(); // the last change committed is shown before the quiet windows
    imprimeBloqueos(corrida, QStringLiteral("_idle"), sondea(ventanaDeSonda, periodoDeSonda));
    imprime(corrida.nombre(QStringLiteral("idle_cpu_20s")), usoDeCpu(ventanaDeCpu), QStringLiteral("%"));
    if (plan.cincoMinutos)
        imprime(corrida.nombre(QStringLiteral("idle_cpu")), usoDeCpu(ventanaLarga), QStringLiteral("%"));
}

} // namespace Banco
