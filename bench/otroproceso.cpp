// Another program on the same SQLite file while the board reads it: a process of its own
// that commits a follow-up note every 100 ms, and how long its longest commit took while
// the board reloaded its rows in full and refreshed itself in the background.
#include "cambios.h"
#include "mediciones.h"
#include "piso.h"
#include "tablero.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEventLoop>
#include <QProcess>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace Banco {
namespace {

using namespace std::chrono_literals;

constexpr auto periodoDelOtro = 100ms;
constexpr int recargasMedidas = 3;
constexpr auto refrescosMedidos = 15s; // several automatic readings at the board's 2 s

// Waits up to `espera` for the benchmark to close this process's standard input.
bool entradaCerrada(std::chrono::milliseconds espera)
{
    pollfd entrada{STDIN_FILENO, POLLIN, 0};
    if (poll(&entrada, 1, int(espera.count())) <= 0)
        return false;
    char byte = 0;
    return read(STDIN_FILENO, &byte, 1) <= 0;
}

void correElLazo(std::chrono::milliseconds duracion)
{
    QEventLoop lazo;
    QTimer::singleShot(duracion, &lazo, &QEventLoop::quit);
    lazo.exec();
}

struct Esperas
{
    double maxima = 0;
    double mediana = 0;
    int commits = 0;
};

// What the other process printed: its longest commit, its median and how many it made.
Esperas leeEsperas(QProcess &otro)
{
    QTextStream salida(otro.readAllStandardOutput());
    Esperas esperas;
    salida >> esperas.maxima >> esperas.mediana >> esperas.commits;
    return esperas;
}

} // namespace

int hijoQueEscribe(const QString &archivo, int filas)
{
    Ado::DatabaseAddress direccion;
    direccion.engine = Ado::Engine::SQLite;
    direccion.path = archivo;
    ConexionPlana conexion(direccion);
    const Escritura nota = notaDeSeguimiento(filas);
    std::vector<double> esperas;
    for (int vez = 0; !entradaCerrada(periodoDelOtro); ++vez)
        esperas.push_back(milisegundosDe([&] { nota(conexion, vez); }));
    const double maxima = esperas.empty() ? 0 : *std::max_element(esperas.begin(), esperas.end());
    const int commits = int(esperas.size());
    QTextStream(stdout) << maxima << ' ' << mediana(std::move(esperas)) << ' ' << commits << Qt::endl;
    return 0;
}

void mideEsperaDeOtroProceso(const Corrida &corrida, const Base &base, Tablero &tablero)
{
    QProcess otro;
    otro.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    otro.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--sqlite-writer"), base.direccion.path,
                                                         QStringLiteral("--rows"), QString::number(corrida.filas)});
    if (!otro.waitForStarted()) {
        qWarning() << "no arrancó el proceso que escribe";
        return;
    }
    correElLazo(1s);
    for (int vez = 0; vez < recargasMedidas; ++vez)
        tablero.recargaCompleta();
    correElLazo(refrescosMedidos);
    otro.closeWriteChannel();
    if (!otro.waitForFinished(60000) || otro.exitCode() != 0) {
        qWarning() << "el proceso que escribe no terminó bien";
        return;
    }
    // The refresh the last commits started ends before the next measurement, which would
    // otherwise share the machine with it.
    tablero.esperaFinDelRefresco();
    const Esperas esperas = leeEsperas(otro);
    if (esperas.commits == 0)
        qWarning() << "el otro proceso no confirmó nada";
    imprime(QStringLiteral("sqlite_writer_wait_max_") + corrida.tamano(), esperas.maxima, QStringLiteral("ms"));
    imprime(QStringLiteral("sqlite_writer_wait_median_") + corrida.tamano(), esperas.mediana, QStringLiteral("ms"));
    tablero.revisaCuenta("las recargas con otro proceso que escribe");
}

} // namespace Banco
