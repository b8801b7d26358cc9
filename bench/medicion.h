#pragma once

// What every measurement shares: how a figure is printed and named, medians, and ratios to
// the floor taken side by side.

#include <QString>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace Banco {

// One size of one engine: the part every measurement name ends with, "_100k_sqlite".
struct Corrida
{
    int filas = 0;
    QString motor; // "sqlite" or "postgresql"

    QString nombre(const QString &medida) const;
    // The size alone, "100k".
    QString tamano() const;
};

// One line a figure, "name value unit", so that runs can be compared line by line.
void imprime(const QString &nombre, double valor, const QString &unidad);

// Sleeps for `duracion` unless the thread is asked to stop first; false when it was.
bool pausa(const std::stop_token &alto, std::chrono::milliseconds duracion);

// Ends the process when no figure has been printed for `limite`: a board that hangs would
// otherwise keep a whole run of bench/run waiting for ever.
class Vigilante
{
public:
    explicit Vigilante(std::chrono::minutes limite);

private:
    void vigila(const std::stop_token &alto, std::chrono::minutes limite);

    std::jthread m_hilo;
};

// While one lives, the Vigilante waits without a limit: for a step known to be long, not
// stuck, such as generating millions of rows on a busy machine. The time without figures
// counts again from its end.
class SinVigilancia
{
public:
    SinVigilancia();
    ~SinVigilancia();
    SinVigilancia(const SinVigilancia &) = delete;
    SinVigilancia &operator=(const SinVigilancia &) = delete;
};

double mediana(std::vector<double> valores);

double milisegundosDe(const std::function<void()> &medido);

// The median time of `veces` runs of `medido`, each after its own untimed preparation.
double medianaDe(int veces, const std::function<void()> &preparacion, const std::function<void()> &medido);

// The board's side of a ratio: what gets it ready (not timed), what is timed, and what
// looks at the result afterwards (not timed either).
struct Lado
{
    std::function<void()> prepara = [] {};
    std::function<void()> mide;
    std::function<void()> revisa = [] {};
};

struct Razon
{
    double razon = 0;  // median of the pairs' ratios
    double tiempo = 0; // median of the board's times, ms
    double piso = 0;   // median of the floors, ms
};

// Each time of the board is measured beside a floor of its own, so a machine that slows
// down for a while slows both sides of the ratio. The two sides take turns at going first,
// so neither always finds the database's cache warmed by the other.
Razon razonAlPiso(int veces, const std::function<double()> &piso, const Lado &tablero);
// The same for a board's side that times itself, in ms: when the moment it starts is the
// board's own, not the call's.
Razon razonAlPiso(int veces, const std::function<double()> &piso, const std::function<double()> &tablero);

// The board's median time, "name ms", and its ratio, "name_ratio x".
void imprimeRazon(const Corrida &corrida, const QString &medida, const Razon &razon);

} // namespace Banco
