#include "medicion.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

namespace Banco {
namespace {

// When the last figure was printed, as the steady clock's count.
std::atomic<std::chrono::steady_clock::rep> ultimoAvance = std::chrono::steady_clock::now().time_since_epoch().count();

std::chrono::steady_clock::duration desdeElUltimoAvance()
{
    const std::chrono::steady_clock::duration ultimo(ultimoAvance.load());
    return std::chrono::steady_clock::now().time_since_epoch() - ultimo;
}

} // namespace

QString Corrida::nombre(const QString &medida) const
{
    const QString miles = filas % 1000 == 0 ? QString::number(filas / 1000) : QString::number(filas / 1000.0);
    return medida + QStringLiteral("_%1k_%2").arg(miles, motor);
}

void imprime(const QString &nombre, double valor, const QString &unidad)
{
    const int decimales = std::fabs(valor) < 10 ? 2 : 1;
    QTextStream(stdout) << nombre << ' ' << QString::number(valor, 'f', decimales) << ' ' << unidad << Qt::endl;
    ultimoAvance = std::chrono::steady_clock::now().time_since_epoch().count();
}

Vigilante::Vigilante(std::chrono::minutes limite)
    : m_hilo([this, limite](std::stop_token alto) { vigila(std::move(alto), limite); })
{ }

bool pausa(const std::stop_token &alto, std::chrono::milliseconds duracion)
{
    std::mutex reposo;
    std::condition_variable_any despierta;
    std::unique_lock espera(reposo);
    return !despierta.wait_for(espera, alto, duracion, [&alto] { return alto.stop_requested(); });
}

void Vigilante::vigila(std::stop_token alto, std::chrono::minutes limite)
{
    while (pausa(alto, std::chrono::seconds(10))) {
        if (desdeElUltimoAvance() > limite) {
            qCritical() << "ninguna medición en" << limite.count() << "min: el banco se detiene";
            std::_Exit(3);
        }
    }
}

double mediana(std::vector<double> valores)
{
    if (valores.empty())
        return 0;
    std::sort(valores.begin(), valores.end());
    return valores[valores.size() / 2];
}

double milisegundosDe(const std::function<void()> &medido)
{
    QElapsedTimer reloj;
    reloj.start();
    medido();
    return double(reloj.nsecsElapsed()) / 1e6;
}

double medianaDe(int veces, const std::function<void()> &preparacion, const std::function<void()> &medido)
{
    std::vector<double> tiempos;
    for (int vez = 0; vez < veces; ++vez) {
        preparacion();
        tiempos.push_back(milisegundosDe(medido));
    }
    return mediana(std::move(tiempos));
}

Razon razonAlPiso(int veces, const std::function<double()> &piso, const Lado &tablero)
{
    std::vector<double> razones;
    std::vector<double> tiempos;
    std::vector<double> pisos;
    const auto delTablero = [&] {
        tablero.prepara();
        tiempos.push_back(milisegundosDe(tablero.mide));
        tablero.revisa();
    };
    for (int vez = 0; vez < veces; ++vez) {
        if (vez % 2 == 0) {
            pisos.push_back(piso());
            delTablero();
        } else {
            delTablero();
            pisos.push_back(piso());
        }
        razones.push_back(tiempos.back() / pisos.back());
    }
    return Razon{mediana(std::move(razones)), mediana(std::move(tiempos)), mediana(std::move(pisos))};
}

} // namespace Banco
