// A sales team's boards against one database server: the CPU of the server's processes that
// serve them, per board and minute, while the rest of the team writes elsewhere (follow-up
// notes, ten a second, in a table no board reads) and then while the team also changes one
// opportunity a second that every board shows. Each board is a host process of its own, as
// on the team's desks, refreshing on its timer (every 2 s).
#include "anfitriones.h"
#include "cambios.h"
#include "mediciones.h"
#include "piso.h"
#include "sesiones.h"

#include "lecturasql.h"

#include <QDebug>

#include <chrono>
#include <functional>
#include <thread>

namespace Banco {
namespace {

using namespace std::chrono_literals;

constexpr auto ventana = 60s;
constexpr auto periodoDeLasNotas = 100ms;
constexpr auto arranqueDeLosCambios = 4s; // every board has met a change before the window
constexpr int tablerosEnReposo = 8;
// Each change is read alone by every board (its folio through the view), not the whole view:
// as many boards as idle ones fit on this two-core machine.
constexpr int tablerosConCambios = 8;

// The view the boards show reads no clock, as a team's usual views do: such a view is read
// again only when its tables change, and a once-a-minute reading would not be idle work.
void revisaLaVista(ConexionPlana &conexion)
{
    const Sql::Lectura lectura = Sql::lee(consultaDeLaVista(conexion));
    if (lectura.dependeDelReloj)
        qWarning().noquote() << "la vista medida depende del reloj (" << lectura.porque
                             << "): los tableros la leen cada minuto";
}

// Each board has its session's connection, and its background reader's from its first
// background reading on.
double porTableroMinuto(const ConsumoDeSesiones &consumo, int tableros)
{
    if (consumo.sesiones < tableros || consumo.sesiones > 2 * tableros || consumo.terminadas > 0)
        qWarning() << "sesiones de" << tableros << "tableros:" << consumo.sesiones
                   << "; terminadas en la ventana:" << consumo.terminadas;
    return consumo.cpu / tableros / std::chrono::duration<double, std::ratio<60>>(ventana).count();
}

void imprimeEquipo(const Corrida &corrida, const QString &medida, double porMinuto)
{
    imprime(corrida.nombre(medida + QStringLiteral("_server_cpu_per_board_minute")), porMinuto, QStringLiteral("ms"));
    imprime(corrida.nombre(medida + QStringLiteral("_boards_per_core")), 60000.0 / porMinuto, QStringLiteral("boards"));
}

// The hosts start after the sessions already open are noted; the window opens once each has
// loaded its board and gone quiet.
using Ventana = std::function<ConsumoDeSesiones(SesionesDeLosTableros &sesiones)>;

double cpuPorTableroMinuto(const Base &base, ConexionPlana &conexion, int tableros, const Ventana &ventanaDelEquipo)
{
    SesionesDeLosTableros sesiones(conexion);
    Anfitriones equipo(base, tableros);
    equipo.esperaCalma(conexion);
    if (const int vivos = equipo.vivos(); vivos != tableros)
        qWarning() << "de" << tableros << "anfitriones sólo" << vivos << "siguen abiertos";
    return porTableroMinuto(ventanaDelEquipo(sesiones), tableros);
}

ConsumoDeSesiones enReposo(SesionesDeLosTableros &sesiones)
{
    return sesiones.cpuEn(ventana);
}

Ventana conCambios(const Base &base, int filas)
{
    return [&base, filas](SesionesDeLosTableros &sesiones) {
        const Escritor cambios(base.direccion, filas);
        std::this_thread::sleep_for(arranqueDeLosCambios);
        return sesiones.cpuEn(ventana);
    };
}

} // namespace

void mideEquipo(const Corrida &corrida, const Base &base)
{
    ConexionPlana conexion(base.direccion);
    revisaLaVista(conexion);
    const Escritor notas(base.direccion, periodoDeLasNotas, notaDeSeguimiento(corrida.filas));
    imprimeEquipo(corrida, QStringLiteral("team_idle"),
                  cpuPorTableroMinuto(base, conexion, tablerosEnReposo, enReposo));
    imprimeEquipo(corrida, QStringLiteral("team_active"),
                  cpuPorTableroMinuto(base, conexion, tablerosConCambios, conCambios(base, corrida.filas)));
    if (notas.cambiosHechos() == 0)
        qWarning() << "nadie escribió notas mientras se medía el equipo";
}

} // namespace Banco
