// board_bench: the board's speed, stalls, CPU and memory on generated databases, against
// the floor of what any board must do (run the view's query and one query for the looks,
// reading every value as text). Prints one line per measurement: "name value unit". Sizes
// above a million rows (5000000) are measured by the board's first load alone.
//   board_bench [--database sqlite | postgresql://user@host:port/db] [--rows 10000,100000,1000000]
//               [--long] [--team] [--no-demo] [--rls-only] [--replica postgresql://host:port/db]
//               [--no-hung-server | --hung-server-only]
#include "anfitrion.h"
#include "cargagrande.h"
#include "mediciones.h"
#include "piso.h"
#include "procesos.h"
#include "reserva.h"
#include "tablero.h"

#include "runtime/error.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDebug>
#include <QProcess>
#include <QTemporaryDir>

namespace {

using namespace Banco;

struct Opciones
{
    QString destino;
    QList<int> tamanos;
    bool largo = false;
    bool equipo = false;
    bool demo = true;
    bool soloDerechos = false;        // only the reload under the server's policies
    bool servidorColgado = true;      // the board while its server hangs, once a process (PostgreSQL)
    bool soloServidorColgado = false; // only that
    QString hijoDeMemoria;            // the database of a process that only measures its own memory
    QString replica;                  // only the readings from this hot standby of the database
    QString hijoQueEscribe;           // the SQLite file of a process that only commits notes to it
};

Opciones leeOpciones(const QApplication &aplicacion)
{
    QCommandLineParser parser;
    const QCommandLineOption base(QStringLiteral("database"), QStringLiteral("sqlite o una dirección postgresql://"),
                                  QStringLiteral("base"), QStringLiteral("sqlite"));
    const QCommandLineOption filas(QStringLiteral("rows"), QStringLiteral("Tamaños, separados por comas"),
                                   QStringLiteral("n"), QStringLiteral("10000,100000"));
    const QCommandLineOption largo(QStringLiteral("long"), QStringLiteral("También el CPU en reposo durante 5 min"));
    const QCommandLineOption equipo(QStringLiteral("team"),
                                    QStringLiteral("También el CPU del servidor por tablero (PostgreSQL)"));
    const QCommandLineOption sinDemo(QStringLiteral("no-demo"),
                                     QStringLiteral("Sin el arranque del anfitrión con la base de demostración"));
    const QCommandLineOption soloDerechos(
        QStringLiteral("rls-only"), QStringLiteral("Sólo la recarga con las políticas del servidor (PostgreSQL)"));
    const QCommandLineOption sinColgado(QStringLiteral("no-hung-server"),
                                        QStringLiteral("Sin la ventana con el servidor detenido (PostgreSQL)"));
    const QCommandLineOption soloColgado(QStringLiteral("hung-server-only"),
                                         QStringLiteral("Sólo la ventana con el servidor detenido (PostgreSQL)"));
    const QCommandLineOption replica(QStringLiteral("replica"),
                                     QStringLiteral("Sólo el tablero que lee de esta réplica de la base (PostgreSQL)"),
                                     QStringLiteral("url"));
    QCommandLineOption hijo(QStringLiteral("memory-child"), QStringLiteral("Uso interno"), QStringLiteral("base"));
    hijo.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption escritor(QStringLiteral("sqlite-writer"), QStringLiteral("Uso interno"),
                                QStringLiteral("archivo"));
    escritor.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addHelpOption();
    parser.addOptions(
        {base, filas, largo, equipo, sinDemo, soloDerechos, sinColgado, soloColgado, replica, hijo, escritor});
    parser.process(aplicacion);

    Opciones opciones{.destino = parser.value(base),
                      .tamanos = {},
                      .largo = parser.isSet(largo),
                      .equipo = parser.isSet(equipo),
                      .demo = !parser.isSet(sinDemo),
                      .soloDerechos = parser.isSet(soloDerechos),
                      .servidorColgado = !parser.isSet(sinColgado),
                      .soloServidorColgado = parser.isSet(soloColgado),
                      .hijoDeMemoria = parser.value(hijo),
                      .replica = parser.value(replica),
                      .hijoQueEscribe = parser.value(escritor)};
    for (const QString &tamano : parser.value(filas).split(QLatin1Char(',')))
        opciones.tamanos << tamano.toInt();
    return opciones;
}

// A million rows take seconds a reload (and the floor as many): fewer repetitions. The hung
// server's figure names no size: it is measured once a run, on its first size.
Plan planPara(int filas, bool primera, const Opciones &opciones, const Base &base)
{
    Plan plan;
    plan.veces = filas > 500000 ? 3 : filas > 50000 ? 5 : 11;
    plan.cincoMinutos = opciones.largo;
    plan.equipo = opciones.equipo && base.direccion.engine == Ado::Engine::PostgreSQL;
    plan.derechos = base.direccion.engine == Ado::Engine::PostgreSQL;
    plan.servidorColgado = opciones.servidorColgado && primera && base.direccion.engine == Ado::Engine::PostgreSQL;
    return plan;
}

// The board inside this process: a fresh one to its first paint, then one left open for
// the reloads, the refresh after one change, the quiet windows, another process writing to
// its file, the search and the sorts; last, a board of its own while the server hangs, so
// that it holds up none of the others.
void mideEnEsteProceso(const Corrida &corrida, const Base &base, const Plan &plan)
{
    iniciaSesion(base.direccion);
    {
        Piso piso(base.direccion, corrida.filas);
        midePrimeraPintura(corrida, piso, plan);
        Tablero tablero(corrida.filas);
        tablero.muestra(limiteDePintura);
        mideRecargas(corrida, base, tablero, piso, plan);
        mideRefrescoConUnCambio(corrida, base, tablero, piso, plan);
        mideReposo(corrida, base, tablero, plan);
        if (base.direccion.engine == Ado::Engine::SQLite)
            mideEsperaDeOtroProceso(corrida, base, tablero);
        mideBusquedaYOrden(corrida, tablero);
    }
    if (plan.servidorColgado)
        mideServidorColgado(corrida, base);
    terminaSesion();
}

void mideSoloServidorColgado(const Corrida &corrida, const Base &base, const Plan &plan)
{
    if (!plan.servidorColgado)
        return;
    iniciaSesion(base.direccion);
    mideServidorColgado(corrida, base);
    terminaSesion();
}

// On the one account the suite shared before the server kept the rights. The measurements
// that change many rows come last.
void mideConUnaCuenta(const Corrida &corrida, const Base &base, const Plan &plan, Lanzador &lanzador)
{
    ponContrasenaDelBanco(base);
    mideEnEsteProceso(corrida, base, plan);
    if (plan.equipo)
        mideEquipo(corrida, base);
    mideAnfitrion(corrida, base, lanzador);
    mideMemoria(corrida, base, lanzador);
}

// The reload under the server's policies converts the database, and reads its rows as
// generated, as the other reloads do: their writes lengthen every row, which is enough for
// the server to pick another plan for the owner's reading than for the person's.
void mideTamano(const Opciones &opciones, const QTemporaryDir &carpeta, Lanzador &lanzador, int filas, bool primera)
{
    const auto generada = [&] { return preparaBase(opciones.destino, carpeta.path(), filas); };
    const Base base = generada();
    const Corrida corrida{filas, base.motor};
    const Plan plan = planPara(filas, primera, opciones, base);
    if (soloPrimeraCarga(filas)) {
        mideCargaGrande(corrida, base, lanzador);
        return;
    }
    if (!opciones.replica.isEmpty()) {
        Ado::DatabaseAddress replica = Ado::DatabaseAddress::parse(opciones.replica);
        replica.database = base.direccion.database;
        mideReserva(corrida, base, replica);
        return;
    }
    if (opciones.soloServidorColgado) {
        mideSoloServidorColgado(corrida, base, plan);
        return;
    }
    if (!opciones.soloDerechos)
        mideConUnaCuenta(corrida, base, plan, lanzador);
    if (plan.derechos)
        mideConDerechos(corrida, opciones.soloDerechos ? base : generada(), plan);
}

int mide(const Opciones &opciones, const QTemporaryDir &carpeta, Lanzador &lanzador)
{
    QProcess::execute(QStringLiteral(TEQVARO_PROGRAMA),
                      {QStringLiteral("--registra"), QStringLiteral(KLD251_BIBLIOTECA)});
    if (opciones.demo && !opciones.soloDerechos && !opciones.soloServidorColgado && opciones.replica.isEmpty()
        && opciones.destino == QLatin1String("sqlite"))
        imprime(QStringLiteral("start_to_first_paint_demo"), arranqueDemo(), QStringLiteral("ms"));
    for (qsizetype tamano = 0; tamano < opciones.tamanos.size(); ++tamano)
        mideTamano(opciones, carpeta, lanzador, opciones.tamanos.at(tamano), tamano == 0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Settings and the registry of modules of a run of its own, for the benchmark and the
    // hosts it starts alike.
    const QTemporaryDir carpeta;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", carpeta.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", carpeta.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("TEQVARO_REGISTRO", carpeta.filePath(QStringLiteral("config/Teqvaro/componentes.ini")).toLocal8Bit());
    Lanzador lanzador; // while this process is still small
    const Vigilante vigilante(std::chrono::minutes(20));
    QApplication aplicacion(argc, argv);
    const Opciones opciones = leeOpciones(aplicacion);
    try {
        if (!opciones.hijoDeMemoria.isEmpty())
            return hijoDeMemoria(opciones.hijoDeMemoria, opciones.tamanos.value(0));
        if (!opciones.hijoQueEscribe.isEmpty())
            return hijoQueEscribe(opciones.hijoQueEscribe, opciones.tamanos.value(0));
        return mide(opciones, carpeta, lanzador);
    } catch (...) {
        qCritical().noquote() << Runtime::toRuntimeError(std::current_exception()).description();
        return 1;
    }
}
