// The open board left to itself, refreshing on its own timer: how long its event loop
// stays frozen (the user's clicks and keys wait that long), with another user committing
// changes and with nothing new, and how much CPU it burns while nobody touches it.
#include "cambios.h"
#include "mediciones.h"
#include "procesos.h"
#include "tablero.h"

#include "controles/listview.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>

namespace Banco {
namespace {

using namespace std::chrono_literals;

constexpr auto ventanaDeSonda = 20s;
constexpr auto ventanaDeCpu = 20s;
constexpr auto ventanaLarga = 5min;       // a board left alone a while, with any once-a-minute re-read in it
constexpr qint64 cuadroEnNs = 16'000'000; // one frame at 60 Hz: a longer gap is a visible freeze
constexpr double periodoDeSondaEnMs = 1;

void correElLazo(std::chrono::milliseconds ventana)
{
    QEventLoop lazo;
    QTimer::singleShot(ventana, Qt::PreciseTimer, &lazo, &QEventLoop::quit);
    lazo.exec();
}

struct Bloqueos
{
    double maximo = 0;    // ms beyond the probe's own period
    double congelado = 0; // % of the window spent in gaps longer than a frame
};

// A 1 ms timer on the board's own event loop: any gap between two of its timeouts beyond
// that millisecond is time the loop could not answer. The gap still open when the window
// ends counts too: a reload that outlasts the window is not cut short.
Bloqueos sondea(std::chrono::milliseconds ventana)
{
    QElapsedTimer reloj;
    qint64 anterior = 0;
    qint64 mayor = 0;
    qint64 congelado = 0;
    const auto registra = [&] {
        const qint64 ahora = reloj.nsecsElapsed();
        const qint64 hueco = ahora - anterior;
        anterior = ahora;
        mayor = std::max(mayor, hueco);
        if (hueco > cuadroEnNs)
            congelado += hueco;
    };
    QTimer sonda;
    sonda.setTimerType(Qt::PreciseTimer);
    sonda.setInterval(1);
    QObject::connect(&sonda, &QTimer::timeout, registra);
    reloj.start();
    sonda.start();
    correElLazo(ventana);
    registra();
    return Bloqueos{std::max(0.0, double(mayor) / 1e6 - periodoDeSondaEnMs),
                    100.0 * double(congelado) / double(reloj.nsecsElapsed())};
}

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
        bloqueos = sondea(ventanaDeSonda);
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
    imprimeBloqueos(corrida, QStringLiteral("_idle"), sondea(ventanaDeSonda));
    imprime(corrida.nombre(QStringLiteral("idle_cpu_20s")), usoDeCpu(ventanaDeCpu), QStringLiteral("%"));
    if (plan.cincoMinutos)
        imprime(corrida.nombre(QStringLiteral("idle_cpu")), usoDeCpu(ventanaLarga), QStringLiteral("%"));
}

} // namespace Banco
