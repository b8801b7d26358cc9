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

std::atomic<int> pasosLargos = 0; // the SinVigilancia alive

void marcaAvance()
{
    ultimoAvance = std::chrono::steady_clock::now().time_since_epoch().count();
}

std::chrono::steady_clock::duration desdeElUltimoAvance()
{
    const std::chrono::steady_clock::duration ultimo(ultimoAvance.load());
    return std::chrono::steady_clock::now().time_since_epoch() - ultimo;
}

} // namespace

QString Corrida::tamano() const
{
    const QString miles = filas % 1000 == 0 ? QString::number(filas / 1000) : QString::number(filas / 1000.0);
    return miles + QLatin1Char('k');
}

QString Corrida::nombre(const QString &medida) const
{
    return medida + QStringLiteral("_%1_%2").arg(tamano(), motor);
}

void imprime(const QString &nombre, double valor, const QString &unidad)
{
    const int decimales = std::fabs(valor) < 10 ? 2 : 1;
    QTextStream(stdout) << nombre << ' ' << QString::number(valor, 'f', decimales) << ' ' << unidad << Qt::endl;
    marcaAvance();
}

SinVigilancia::SinVigilancia()
{
    ++pasosLargos;
}

SinVigilancia::~SinVigilancia()
{
    marcaAvance();
    --pasosLargos;
}

Vigilante::Vigilante(std::chrono::minutes limite)
    : m_hilo([this, limite](const std::stop_token &alto) { vigila(alto, limite); })
{ }

bool pausa(const std::stop_token &alto, std::chrono::milliseconds duracion)
{
    std::mutex reposo;
    std::condition_variable_any despierta;
    std::unique_lock espera(reposo);
    return !despierta.wait_for(espera, alto, duracion, [&alto] { return alto.stop_requested(); });
}

void Vigilante::vigila(const std::stop_token &alto, std::chrono::minutes limite)
{
    while (pausa(alto, std::chrono::seconds(10))) {
        if (pasosLargos == 0 && desdeElUltimoAvance() > limite) {
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

Razon razonAlPiso(int veces, const std::function<double()> &piso, const std::function<double()> &tablero)
{
    std::vector<double> razones;
    std::vector<double> tiempos;
    std::vector<double> pisos;
    for (int vez = 0; vez < veces; ++vez) {
        if (vez % 2 == 0) {
            pisos.push_back(piso());
            tiempos.push_back(tablero());
        } else {
            tiempos.push_back(tablero());
            pisos.push_back(piso());
        }
        razones.push_back(tiempos.back() / pisos.back());
    }
    return Razon{mediana(std::move(razones)), mediana(std::move(tiempos)), mediana(std::move(pisos))};
}

Razon razonAlPiso(int veces, const std::function<double()> &piso, const Lado &tablero)
{
    return razonAlPiso(veces, piso, [&tablero] {
        tablero.prepara();
        const double tiempo = milisegundosDe(tablero.mide);
        tablero.revisa();
        return tiempo;
    });
}

void imprimeRazon(const Corrida &corrida, const QString &medida, const Razon &razon)
{
    imprime(corrida.nombre(medida), razon.tiempo, QStringLiteral("ms"));
    imprime(corrida.nombre(medida) + QStringLiteral("_ratio"), razon.razon, QStringLiteral("x"));
}

} // namespace Banco
