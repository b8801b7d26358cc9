// A sales team's idle boards against one database server: the server's CPU for each board
// left open a minute, refreshing on its timer with nothing new to show. Each board is a
// host process of its own, as on the team's desks.
#include "anfitrion.h"
#include "mediciones.h"
#include "piso.h"
#include "procesos.h"

#include <QCoreApplication>
#include <QDebug>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include <sys/prctl.h>

namespace Banco {
namespace {

using namespace std::chrono_literals;

constexpr auto ventana = 65s; // a minute, and a once-a-minute re-read inside it
constexpr auto pasoDeCalma = 2s;
constexpr auto limiteDeCalma = 90s;
constexpr double crecimientoDeCalmaMs = 20; // two clock ticks: the timer's own wake-ups

// Every backend is a child of the postmaster; those that ended during the window left
// their CPU in the postmaster's children's times.
class Servidor
{
public:
    explicit Servidor(ConexionPlana &conexion)
        : m_postmaster(postmasterDe(conexion))
    { }

    double cpu() const
    {
        const std::optional<TiemposDeProceso> propio = tiemposDe(m_postmaster);
        double total = propio ? propio->propios + propio->deHijosTerminados : 0;
        for (const qint64 hijo : hijosDe(m_postmaster)) {
            if (const std::optional<TiemposDeProceso> tiempos = tiemposDe(hijo))
                total += tiempos->propios;
        }
        return total;
    }

    double cpuEnLaVentana() const
    {
        const double antes = cpu();
        std::this_thread::sleep_for(ventana);
        return cpu() - antes;
    }

private:
    static qint64 postmasterDe(ConexionPlana &conexion)
    {
        const qint64 backend = conexion.primerValor(QStringLiteral("SELECT pg_backend_pid()")).toLongLong();
        const std::optional<TiemposDeProceso> tiempos = tiemposDe(backend);
        if (!tiempos)
            throw std::runtime_error("No se pueden leer los procesos del servidor en /proc");
        return tiempos->padre;
    }

    qint64 m_postmaster;
};

int tablerosOcupados(ConexionPlana &conexion)
{
    return conexion
        .primerValor(QStringLiteral(
            "SELECT count(*) FROM pg_stat_activity WHERE application_name = 'Teqvaro' AND state <> 'idle'"))
        .toInt();
}

// K hosts, each with its board open; ended when the measure is done, by force if they do
// not end when asked.
class Anfitriones
{
public:
    Anfitriones(const Base &base, int cuantos)
    {
        for (int uno = 0; uno < cuantos; ++uno) {
            auto anfitrion = std::make_unique<QProcess>();
            anfitrion->setProcessEnvironment(entornoDelAnfitrion());
            anfitrion->setStandardOutputFile(QProcess::nullDevice());
            anfitrion->setStandardErrorFile(QProcess::nullDevice());
            // No host outlives a benchmark that ends early.
            anfitrion->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
            anfitrion->start(QStringLiteral(TEQVARO_PROGRAMA), argumentosDelAnfitrion(base));
            anfitrion->waitForStarted();
            anfitrion->write(QByteArray(contrasenaDelBanco) + '\n');
            anfitrion->closeWriteChannel();
            m_procesos.push_back(std::move(anfitrion));
        }
    }

    ~Anfitriones()
    {
        for (const auto &anfitrion : m_procesos)
            anfitrion->terminate();
        for (const auto &anfitrion : m_procesos) {
            if (!anfitrion->waitForFinished(5000))
                anfitrion->kill();
            anfitrion->waitForFinished();
        }
    }

    Anfitriones(const Anfitriones &) = delete;
    Anfitriones &operator=(const Anfitriones &) = delete;

    // Until each host has gone a while without its CPU growing and the server is busy with
    // none of them: the first loads are not part of an idle team. A host waiting for the
    // server does not grow either, hence the look at the server.
    void esperaCalma(ConexionPlana &conexion) const
    {
        std::vector<bool> calmados(m_procesos.size(), false);
        std::vector<double> antes = cpus();
        for (auto esperado = 0s; esperado < limiteDeCalma; esperado += pasoDeCalma) {
            std::this_thread::sleep_for(pasoDeCalma);
            const std::vector<double> ahora = cpus();
            for (size_t uno = 0; uno < calmados.size(); ++uno)
                calmados[uno] = calmados[uno] || ahora[uno] - antes[uno] <= crecimientoDeCalmaMs;
            if (std::all_of(calmados.begin(), calmados.end(), [](bool calmado) { return calmado; })
                && tablerosOcupados(conexion) == 0)
                return;
            antes = ahora;
        }
        qWarning() << "algún anfitrión sigue ocupado después de" << limiteDeCalma.count() << "s; se mide así";
    }

    // A host that ended is noticed by its QProcess only when events are processed.
    int vivos()
    {
        QCoreApplication::processEvents();
        return int(std::count_if(m_procesos.begin(), m_procesos.end(),
                                 [](const auto &anfitrion) { return anfitrion->state() == QProcess::Running; }));
    }

private:
    std::vector<double> cpus() const
    {
        std::vector<double> tiempos;
        for (const auto &anfitrion : m_procesos) {
            const std::optional<TiemposDeProceso> uno = tiemposDe(anfitrion->processId());
            tiempos.push_back(uno ? uno->propios : 0);
        }
        return tiempos;
    }

    std::vector<std::unique_ptr<QProcess>> m_procesos;
};

// The server's CPU for K boards in the window, less what it used alone, per board and
// minute.
double cpuPorTableroMinuto(const Base &base, const Servidor &servidor, ConexionPlana &conexion, int cuantos,
                           double enReposo)
{
    Anfitriones equipo(base, cuantos);
    equipo.esperaCalma(conexion);
    if (const int vivos = equipo.vivos(); vivos != cuantos)
        qWarning() << "de" << cuantos << "anfitriones sólo" << vivos << "siguen abiertos";
    const double minutos = std::chrono::duration<double>(ventana).count() / 60.0;
    return (servidor.cpuEnLaVentana() - enReposo) / cuantos / minutos;
}

} // namespace

void mideEquipo(const Corrida &corrida, const Base &base)
{
    ConexionPlana conexion(base.direccion);
    const Servidor servidor(conexion);
    const double enReposo = servidor.cpuEnLaVentana();
    const QString medida = corrida.nombre(QStringLiteral("team_server_cpu_per_board_minute"));
    double delEquipo = 0;
    for (const int cuantos : {1, 4, 8}) {
        delEquipo = cpuPorTableroMinuto(base, servidor, conexion, cuantos, enReposo);
        imprime(medida + QStringLiteral("_k%1").arg(cuantos), delEquipo, QStringLiteral("ms"));
    }
    imprime(medida, delEquipo, QStringLiteral("ms"));
    imprime(corrida.nombre(QStringLiteral("team_boards_per_server_core")), 60000.0 / delEquipo,
            QStringLiteral("boards"));
}

} // namespace Banco
