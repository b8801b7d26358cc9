// board_bench: the board's speed and memory on generated databases, against the floor of
// what any board must do (run the view's query and one query for the looks, reading every
// value as text). Prints one line per measurement: "name value unit".
//   board_bench [--database sqlite | postgresql://user@host:port/db] [--rows 10000,100000]
#include "frmKLD251.h"
#include "publico.h"

#include "ado/connection.h"
#include "ado/session.h"
#include "controles/listmodel.h"
#include "controles/listview.h"
#include "datos/demo.h"
#include "datos/esquema.h"
#include "runtime/conversions.h"
#include "servicios/servicios.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <sys/resource.h>

#include <algorithm>
#include <functional>
#include <set>

namespace {

const QString operador = QStringLiteral("GERENTE"); // a level-3 salesperson: every row is listed

void imprime(const QString &nombre, double valor, const QString &unidad)
{
    QTextStream(stdout) << nombre << ' ' << QString::number(valor, 'f', valor < 10 ? 2 : 1) << ' ' << unidad
                        << Qt::endl;
}

double mediana(int veces, const std::function<void()> &preparacion, const std::function<void()> &medido)
{
    std::vector<double> tiempos;
    for (int vez = 0; vez < veces; ++vez) {
        preparacion();
        QElapsedTimer reloj;
        reloj.start();
        medido();
        tiempos.push_back(double(reloj.nsecsElapsed()) / 1e6);
    }
    std::sort(tiempos.begin(), tiempos.end());
    return tiempos[tiempos.size() / 2];
}

// A host object that only lets the board close it.
class Anfitrion final : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void close() {}
};

struct Base
{
    Ado::DatabaseAddress direccion;
    QString motor; // "sqlite" or "postgresql", for the measurement names
};

Base preparaBase(const QString &destino, const QTemporaryDir &carpeta, int filas)
{
    Base base;
    if (destino == QLatin1String("sqlite")) {
        base.motor = QStringLiteral("sqlite");
        base.direccion.engine = Ado::Engine::SQLite;
        base.direccion.path = carpeta.filePath(QStringLiteral("bench-%1.db").arg(filas));
    } else {
        base.motor = QStringLiteral("postgresql");
        base.direccion = Ado::DatabaseAddress::parse(destino);
        Ado::Connection conexion(base.direccion);
        conexion.Execute(QStringLiteral("SET client_min_messages = warning"));
        conexion.Execute(QStringLiteral("DROP SCHEMA IF EXISTS public CASCADE"));
        conexion.Execute(QStringLiteral("CREATE SCHEMA public"));
    }
    Ado::Connection conexion(base.direccion);
    Datos::creaEsquema(conexion);
    Datos::cargaDemo(conexion, filas);
    if (base.direccion.engine == Ado::Engine::PostgreSQL)
        conexion.Execute(QStringLiteral("ANALYZE"));
    return base;
}

// The floor: the view's query with its salesperson filter and one query for the looks of
// those rows, every value read as text.
double piso(Ado::Connection &conexion, const QString &vista, int veces = 5)
{
    const QString aspectos = QStringLiteral(
        "SELECT Oportunidad.Op_Folio, Estado_Oportunidad.Eo_Hexadecimal, Estado_Oportunidad.Eo_Negrilla "
        "FROM Oportunidad INNER JOIN Estado_Oportunidad ON Estado_Oportunidad.Eo_Cve_Estado_Oportunidad = "
        "Oportunidad.Op_Estado_Oportunidad INNER JOIN Vendedor ON Vendedor.Vn_Cve_Vendedor = Oportunidad.Op_Cve_Vendedor "
        "WHERE (1 = 1)");
    qint64 caracteres = 0;
    const double tiempo = mediana(veces, [] {}, [&] {
        for (const QString &sentencia : {vista, aspectos}) {
            Ado::Recordset datos = conexion.Execute(sentencia);
            for (; !datos.atEnd(); datos.moveNext()) {
                for (int campo = 0; campo < datos.fieldCount(); ++campo)
                    caracteres += Runtime::toTextOrEmpty(datos.field(campo)).size();
            }
        }
    });
    return caracteres > 0 ? tiempo : 0;
}

// A ratio to the floor, each time measured beside a floor of its own, so a machine that
// slows down for a while slows both sides of the ratio. The two sides take turns at going
// first, so neither always finds the database's cache warmed by the other.
double razonAlPiso(int veces, const std::function<double()> &piso1, const std::function<void()> &preparacion,
                   const std::function<void()> &medido)
{
    std::vector<double> razones;
    for (int vez = 0; vez < veces; ++vez) {
        double suelo = 0;
        double tiempo = 0;
        if (vez % 2 == 0) {
            suelo = piso1();
            tiempo = mediana(1, preparacion, medido);
        } else {
            tiempo = mediana(1, preparacion, medido);
            suelo = piso1();
        }
        razones.push_back(tiempo / suelo);
    }
    std::sort(razones.begin(), razones.end());
    return razones[razones.size() / 2];
}

std::set<int> renglonesCambiados(const QSignalSpy &cambios)
{
    std::set<int> renglones;
    for (const QList<QVariant> &cambio : cambios) {
        for (int renglon = cambio.at(0).toModelIndex().row(); renglon <= cambio.at(1).toModelIndex().row(); ++renglon)
            renglones.insert(renglon);
    }
    return renglones;
}

void mideTablero(const Base &base, int filas)
{
    const QString sufijo = QStringLiteral("_%1k_%2").arg(filas / 1000).arg(base.motor);
    Ado::Session::configure(base.direccion);
    Servicios::estableceOperador(operador);
    Publico::Termina();
    Publico::Main();

    QString vista = Publico::Funciones->LeeConsulta(QStringLiteral("CONTROL_OPORTUNIDADES"));
    vista.replace(QStringLiteral("{PARAMETROS}"), QStringLiteral(" (1 = 1) "));
    const double suelo = piso(*Ado::Session::connection(), vista);
    imprime(QStringLiteral("floor") + sufijo, suelo, QStringLiteral("ms"));

    Anfitrion anfitrion;
    frmKLD251 tablero;
    tablero.setPadre(&anfitrion);
    tablero.show();
    QApplication::setActiveWindow(&tablero);
    [[maybe_unused]] const bool activo = QTest::qWaitForWindowActive(&tablero, 5000);
    auto &lista = *tablero.findChild<Controles::ListView *>(QStringLiteral("lvOrdenes"));
    if (lista.itemCount() != filas)
        qWarning() << "el tablero lista" << lista.itemCount() << "de" << filas << "oportunidades";

    const int veces = filas > 50000 ? 3 : 11;
    const auto pisoUnaVez = [&] { return piso(*Ado::Session::connection(), vista, 1); };
    const auto vacia = [&] { lista.replaceContents({}, {}); };
    const auto recarga = [&] { tablero.Carga_Oportunidades(); };
    imprime(QStringLiteral("reload") + sufijo, mediana(veces, vacia, recarga), QStringLiteral("ms"));
    imprime(QStringLiteral("reload") + sufijo + QStringLiteral("_ratio"), razonAlPiso(veces, pisoUnaVez, vacia, recarga),
            QStringLiteral("x"));

    tablero.Carga_Oportunidades();
    QSignalSpy reinicios(&lista.listModel(), &QAbstractItemModel::modelReset);
    QSignalSpy cambios(&lista.listModel(), &QAbstractItemModel::dataChanged);
    imprime(QStringLiteral("refresh_unchanged") + sufijo, mediana(veces, [] {}, recarga), QStringLiteral("ms"));
    imprime(QStringLiteral("refresh_unchanged") + sufijo + QStringLiteral("_ratio"),
            razonAlPiso(veces, pisoUnaVez, [] {}, recarga), QStringLiteral("x"));
    imprime(QStringLiteral("refresh_unchanged_rows_touched") + sufijo,
            double(reinicios.count() * filas) + double(renglonesCambiados(cambios).size()), QStringLiteral("rows"));

    reinicios.clear();
    cambios.clear();
    Ado::Session::connection()->Execute(QStringLiteral(
        "UPDATE Oportunidad SET Op_Estado_Oportunidad = CASE WHEN Op_Estado_Oportunidad = 'NEG' THEN 'PRO' ELSE 'NEG' END "
        "WHERE Op_Folio IN ('OP-000011', 'OP-000022', 'OP-000033', 'OP-000044', 'OP-000055', 'OP-000066', "
        "'OP-000077', 'OP-000088', 'OP-000099', 'OP-000100')"));
    tablero.Carga_Oportunidades();
    imprime(QStringLiteral("refresh_10_changed_rows_touched") + sufijo,
            double(reinicios.count() * filas) + double(renglonesCambiados(cambios).size()), QStringLiteral("rows"));

    const double busqueda = mediana(5, [&] { lista.clearSelection(); },
                                    [&] { frmKLD251::Buscar(lista, QStringLiteral("zzzz-no-existe")); });
    imprime(QStringLiteral("search_no_match") + sufijo, busqueda, QStringLiteral("ms"));

    const double orden = mediana(5, [] {}, [&] {
        Q_EMIT lista.columnClick(2); // "Descripción", a text column
        lista.listModel();
    });
    imprime(QStringLiteral("sort_text") + sufijo, orden, QStringLiteral("ms"));
    const double ordenFolios = mediana(5, [] {}, [&] {
        Q_EMIT lista.columnClick(1); // "Folio": every value different
        lista.listModel();
    });
    imprime(QStringLiteral("sort_unique_text") + sufijo, ordenFolios, QStringLiteral("ms"));
    tablero.close();
    Publico::Termina();
}

// The host as a user starts it: its peak memory with the board of this database, and the
// time to the first paint of the board with its rows.
void mideAnfitrion(const Base &base, int filas, const QString &registro)
{
    const QString sufijo = QStringLiteral("_%1k_%2").arg(filas / 1000).arg(base.motor);
    QProcess anfitrion;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("TEQVARO_REGISTRO"), registro);
    anfitrion.setProcessEnvironment(entorno);
    const QString url = base.direccion.engine == Ado::Engine::SQLite
                            ? QStringLiteral("sqlite:") + base.direccion.path
                            : QStringLiteral("postgresql://%1@%2:%3/%4")
                                  .arg(base.direccion.user, base.direccion.host)
                                  .arg(base.direccion.port)
                                  .arg(base.direccion.database);
    anfitrion.start(QStringLiteral(TEQVARO_PROGRAMA),
                    {QStringLiteral("--bd"), url, QStringLiteral("--operador"), operador, QStringLiteral("--mide-arranque")});
    anfitrion.waitForFinished(600000);
    rusage uso{};
    getrusage(RUSAGE_CHILDREN, &uso);
    imprime(QStringLiteral("host_peak_memory") + sufijo, double(uso.ru_maxrss) / 1024.0, QStringLiteral("MB"));
}

double arranqueDemo(const QString &registro)
{
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("TEQVARO_REGISTRO"), registro);
    std::vector<double> tiempos;
    for (int vez = 0; vez < 6; ++vez) {
        QProcess anfitrion;
        anfitrion.setProcessEnvironment(entorno);
        QElapsedTimer reloj;
        reloj.start();
        anfitrion.start(QStringLiteral(TEQVARO_PROGRAMA), {QStringLiteral("--mide-arranque")});
        anfitrion.waitForFinished(60000);
        if (vez > 0) // the first run creates the demo database
            tiempos.push_back(double(reloj.nsecsElapsed()) / 1e6);
    }
    std::sort(tiempos.begin(), tiempos.end());
    return tiempos[tiempos.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir carpeta;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", carpeta.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", carpeta.filePath(QStringLiteral("data")).toLocal8Bit());
    const QString registro = carpeta.filePath(QStringLiteral("config/Teqvaro/componentes.ini"));
    qputenv("TEQVARO_REGISTRO", registro.toLocal8Bit());
    QApplication aplicacion(argc, argv);

    QCommandLineParser parser;
    const QCommandLineOption base(QStringLiteral("database"), QStringLiteral("sqlite o una dirección postgresql://"),
                                  QStringLiteral("base"), QStringLiteral("sqlite"));
    const QCommandLineOption filas(QStringLiteral("rows"), QStringLiteral("Tamaños, separados por comas"),
                                   QStringLiteral("n"), QStringLiteral("10000,100000"));
    parser.addOptions({base, filas});
    parser.process(aplicacion);

    QProcess::execute(QStringLiteral(TEQVARO_PROGRAMA),
                      {QStringLiteral("--registra"), QStringLiteral(KLD251_BIBLIOTECA)});
    if (parser.value(base) == QLatin1String("sqlite"))
        imprime(QStringLiteral("start_to_first_paint_demo"), arranqueDemo(registro), QStringLiteral("ms"));
    for (const QString &tamano : parser.value(filas).split(QLatin1Char(','))) {
        const int cantidad = tamano.toInt();
        const Base preparada = preparaBase(parser.value(base), carpeta, cantidad);
        mideTablero(preparada, cantidad);
        mideAnfitrion(preparada, cantidad, registro);
    }
    Ado::Session::reset();
    return 0;
}

#include "board_bench.moc"
