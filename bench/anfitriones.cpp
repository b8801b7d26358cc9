#include "anfitriones.h"

#include "anfitrion.h"
#include "piso.h"
#include "procesos.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

#include <sys/prctl.h>

namespace Banco {
namespace {

using namespace std::chrono_literals;

constexpr auto pasoDeCalma = 2s;
constexpr auto limiteDeCalma = 180s;        // eight first loads at once on a shared machine
constexpr double crecimientoDeCalmaMs = 20; // two clock ticks: the timer's own wake-ups
// What a host logs when its board's first automatic refresh studies the view: its first load
// is over. Before it, a host signing in or waiting for its rows looks as calm as an idle one.
const QByteArray vistaEstudiada = QByteArrayLiteral("Vista que ");

int tablerosOcupados(ConexionPlana &conexion)
{
    return conexion
        .primerValor(QStringLiteral(
            "SELECT count(*) FROM pg_stat_activity WHERE application_name = 'Teqvaro' AND state <> 'idle'"))
        .toInt();
}

} // namespace

Anfitriones::Anfitriones(const Base &base, int cuantos)
{
    for (int uno = 0; uno < cuantos; ++uno) {
        auto anfitrion = std::make_unique<QProcess>();
        anfitrion->setProcessEnvironment(entornoDelAnfitrion());
        anfitrion->setStandardOutputFile(QProcess::nullDevice());
        anfitrion->setStandardErrorFile(m_bitacoras.filePath(QStringLiteral("anfitrion-%1.log").arg(uno)));
        // No host outlives a benchmark that ends early.
        anfitrion->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        anfitrion->start(QStringLiteral(TEQVARO_PROGRAMA), argumentosDelAnfitrion(base));
        anfitrion->waitForStarted();
        // Written now: the benchmark's thread waits for the team without running an event loop,
        // and a password left in the process's buffer would keep the host at its sign-in.
        anfitrion->write(QByteArray(contrasenaDelBanco) + '\n');
        anfitrion->waitForBytesWritten();
        anfitrion->closeWriteChannel();
        m_procesos.push_back(std::move(anfitrion));
    }
}

Anfitriones::~Anfitriones()
{
    for (const auto &anfitrion : m_procesos)
        anfitrion->terminate();
    for (const auto &anfitrion : m_procesos) {
        if (!anfitrion->waitForFinished(5000))
            anfitrion->kill();
        anfitrion->waitForFinished();
    }
}

// Until every host has read its board and gone a step without its CPU growing, all in the same
// step: the first loads are not part of an idle team. A host waiting for the server does not
// grow either, hence the look at the server.
void Anfitriones::esperaCalma(ConexionPlana &conexion) const
{
    std::vector<bool> calmados(m_procesos.size(), false);
    std::vector<double> antes = cpus();
    for (auto esperado = 0s; esperado < limiteDeCalma; esperado += pasoDeCalma) {
        std::this_thread::sleep_for(pasoDeCalma);
        const std::vector<double> ahora = cpus();
        for (size_t uno = 0; uno < calmados.size(); ++uno)
            calmados[uno] = leyoSuTablero(uno) && ahora[uno] - antes[uno] <= crecimientoDeCalmaMs;
        if (std::all_of(calmados.begin(), calmados.end(), [](bool calmado) { return calmado; })
            && tablerosOcupados(conexion) == 0)
            return;
        antes = ahora;
    }
    qWarning() << "algún anfitrión sigue ocupado después de" << limiteDeCalma.count() << "s; se mide así";
}

// A host that ended is noticed by its QProcess only when events are processed.
int Anfitriones::vivos()
{
    QCoreApplication::processEvents();
    return int(std::count_if(m_procesos.begin(), m_procesos.end(),
                             [](const auto &anfitrion) { return anfitrion->state() == QProcess::Running; }));
}

bool Anfitriones::leyoSuTablero(size_t anfitrion) const
{
    QFile bitacora(m_bitacoras.filePath(QStringLiteral("anfitrion-%1.log").arg(anfitrion)));
    return bitacora.open(QIODevice::ReadOnly) && bitacora.readAll().contains(vistaEstudiada);
}

std::vector<double> Anfitriones::cpus() const
{
    std::vector<double> tiempos;
    for (const auto &anfitrion : m_procesos) {
        const std::optional<TiemposDeProceso> uno = tiemposDe(anfitrion->processId());
        tiempos.push_back(uno ? uno->propios : 0);
    }
    return tiempos;
}

} // namespace Banco
