// A board whose automatic readings go to a hot standby of the team's server: what its idle
// minutes cost the primary (the CPU of the board's own server processes there), and how long
// another user's commit on the primary takes to reach the board's screen through the standby.
#include "reserva.h"

#include "piso.h"
#include "sonda.h"
#include "tablero.h"

#include "ado/session.h"
#include "controles/listview.h"

#include <QDateTime>
#include <QDebug>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSqlQuery>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <map>
#include <vector>

namespace Banco {
namespace {

using namespace std::chrono_literals;

constexpr auto ventana = 65s; // a minute, and a once-a-minute re-read inside it
constexpr auto asiento = 10s; // the first questions note the writes that prepared the base
constexpr int cambios = 7;
constexpr auto limiteDeCambio = 30s;
constexpr int columnaDeDescripcion = 1; // the generated view's second column

// The board's sessions on a server, as its connections name themselves there; the benchmark's
// own plain connections name no application.
std::vector<qint64> sesionesDelTablero(ConexionPlana &conexion)
{
    std::vector<qint64> pids;
    QSqlQuery consulta(conexion.base());
    consulta.exec(QStringLiteral("SELECT pid FROM pg_stat_activity WHERE application_name = 'Teqvaro' AND datname = "
                                 "current_database()"));
    while (consulta.next())
        pids.push_back(consulta.value(0).toLongLong());
    return pids;
}

// The time a process has run, in ms, from the scheduler's own count in nanoseconds: the
// clock ticks of /proc/<pid>/stat are far too coarse for a millisecond a minute.
double cpuEnMs(qint64 pid)
{
    QFile cuenta(QStringLiteral("/proc/%1/schedstat").arg(pid));
    if (!cuenta.open(QIODevice::ReadOnly)) {
        qWarning() << "no se puede leer el tiempo del proceso" << pid;
        return 0;
    }
    return cuenta.readAll().split(' ').value(0).toDouble() / 1e6;
}

// The primary's CPU for the board's own sessions there over an idle window, per minute. A
// session the board opened during the window counts whole.
double cpuDelPrincipalPorMinuto(ConexionPlana &principal, ConexionPlana &reserva)
{
    correElLazo(asiento);
    std::map<qint64, double> alEmpezar;
    for (const qint64 pid : sesionesDelTablero(principal))
        alEmpezar[pid] = cpuEnMs(pid);
    if (alEmpezar.empty())
        qWarning() << "el tablero no tiene sesión en el principal";
    correElLazo(ventana);
    double usado = 0;
    for (const qint64 pid : sesionesDelTablero(principal))
        usado += cpuEnMs(pid) - (alEmpezar.contains(pid) ? alEmpezar[pid] : 0);
    if (sesionesDelTablero(reserva).empty())
        qWarning() << "el tablero no pregunta en la réplica";
    return usado / std::chrono::duration<double, std::ratio<60>>(ventana).count();
}

// The row of a folio, as the board lists it (its first column); 0 when it is not listed.
int renglonDe(Kit::ListView &lista, const QString &buscado)
{
    for (int renglon = 1; renglon <= lista.itemCount(); ++renglon) {
        if (lista.itemText(renglon) == buscado)
            return renglon;
    }
    return 0;
}

// From another user's commit on the primary to the first paint of the board's list with the
// new description, in ms; the median of a few. The board learns of it only at its next tick,
// so each wait spans up to a refresh period plus the standby's replay and the reading.
double deCambioAPantalla(ConexionPlana &principal, Tablero &tablero)
{
    Kit::ListView &lista = tablero.lista();
    const QString elegido = lista.itemText(std::max(1, lista.itemCount() / 2));
    const int renglon = renglonDe(lista, elegido);
    std::vector<double> tiempos;
    for (int vez = 0; vez < cambios; ++vez) {
        const QString texto = QStringLiteral("Réplica %1 %2").arg(vez).arg(QDateTime::currentMSecsSinceEpoch());
        principal.ejecuta(
            QStringLiteral("UPDATE Oportunidad SET Op_Descripcion = '%1' WHERE Op_Folio = '%2'").arg(texto, elegido));
        QElapsedTimer reloj;
        reloj.start();
        bool visto = false;
        QEventLoop lazo;
        QTimer revision;
        QObject::connect(&revision, &QTimer::timeout, [&] {
            if (lista.subItemText(renglon, columnaDeDescripcion) == texto) {
                visto = true;
                lista.viewport()->repaint(); // the paint that shows it
                lazo.quit();
            }
        });
        revision.start(1);
        QTimer::singleShot(limiteDeCambio, &lazo, &QEventLoop::quit);
        lazo.exec();
        if (!visto) {
            qWarning() << "el cambio de" << elegido << "no llegó al tablero en" << limiteDeCambio.count() << "s";
            return -1;
        }
        tiempos.push_back(double(reloj.nsecsElapsed()) / 1e6);
    }
    std::sort(tiempos.begin(), tiempos.end());
    return tiempos[tiempos.size() / 2];
}

} // namespace

void mideReserva(const Corrida &corrida, const Base &base, const Ado::DatabaseAddress &replica)
{
    iniciaSesion(base.direccion);
    Ado::Session::configureStandby(replica);
    {
        ConexionPlana principal(base.direccion);
        ConexionPlana reserva(replica);
        Tablero tablero(corrida.filas);
        tablero.muestra(limiteDePintura);
        imprime(corrida.nombre(QStringLiteral("replica_primary_cpu_per_board_minute")),
                cpuDelPrincipalPorMinuto(principal, reserva), QStringLiteral("ms"));
        imprime(QStringLiteral("replica_change_to_screen_ms"), deCambioAPantalla(principal, tablero),
                QStringLiteral("ms"));
    }
    Ado::Session::configureStandby(std::nullopt);
    terminaSesion();
}

} // namespace Banco
