#include "sonda.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <algorithm>

namespace Banco {
namespace {

constexpr qint64 cuadroEnNs = 16'000'000; // one frame at 60 Hz: a longer gap is a visible freeze

} // namespace

void correElLazo(std::chrono::milliseconds duracion)
{
    QEventLoop lazo;
    QTimer::singleShot(duracion, Qt::PreciseTimer, &lazo, &QEventLoop::quit);
    lazo.exec();
}

Bloqueos sondea(std::chrono::milliseconds ventana, std::chrono::milliseconds periodo)
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
    sonda.setInterval(periodo);
    QObject::connect(&sonda, &QTimer::timeout, registra);
    reloj.start();
    sonda.start();
    correElLazo(ventana);
    registra();
    return Bloqueos{std::max(0.0, double(mayor) / 1e6 - double(periodo.count())),
                    100.0 * double(congelado) / double(reloj.nsecsElapsed())};
}

} // namespace Banco
