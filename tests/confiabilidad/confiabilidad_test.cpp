// The board under what a user, an administrator or the server may throw at it: hostile values
// at every place the board writes a value into a statement (each stays inside its literal and
// only the intended row changes); bad configuration and data (each ends in the message the
// board defines for it, or in silence, and the board stays usable); and faults of a real
// PostgreSQL server (a connection cut in the middle of a cancellation, the server stopped and
// started again). The service library binds its values and the code box's look-up quotes the
// code: their own tests.
#include "respuestas.h"
#include "tablero.h"

#include "ado/recordset.h"
#include "ado/sqltext.h"
#include "controles/cbzel.h"
#include "runtime/conversions.h"
#include "runtime/screenstatus.h"
#include "runtime/settings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <functional>

namespace {

const auto q = Ado::literal;

// Values a user may type or an administrator may store that try to leave their literal or
// trip up the database: quotes, statement ends, comments, backslashes, LIKE wildcards, very
// long text, accents and non-Latin scripts.
const char *const cortas[] = {
    "O'Brien", "'; DROP TABLE Oportunidad; --", "' OR '1'='1",         "\\' OR 1=1 --",    "C:\\ruta\\", "100%", "_",
    "%_%'",    "\"; DELETE FROM Bitacora; --",  "Peñón Ñandú áéíóú ü", "北京 Москва عربى", "''"};
const QStringList cargas = QStringList(std::begin(cortas), std::end(cortas)) << QString("ñ'").repeated(5000);

using Hostil = Pruebas::TableroDePrueba;

// The level-1 filter, the colouring of the list and of one row, the contact and
// organisation look-ups, the change of state (read and update) and the cancellation
// (check, update and audit entry), each with the payload as the value. (An empty code means
// an operator without a salesperson, an empty folio no selection: tests of their own.)
TEST_F(Hostil, everyStatementOfTheBoardKeepsThePayloadInsideItsLiteral)
{
    const auto color = [](qsizetype numero) { return int(numero + 1) * 0x0A0B0C & 0xFFFFFF; };
    // Every opportunity's state and record status, by folio: what must not change except
    // where an action was meant to.
    const auto oportunidades = [this] {
        QMap<QString, QString> filas;
        Ado::Recordset datos = base.conexion()->Execute(
            "SELECT Op_Folio, COALESCE(Op_Estado_Oportunidad, '') || ' / ' || Es_Cve_Estado FROM Oportunidad");
        for (; !datos.atEnd(); datos.moveNext())
            filas[Runtime::toTextOrEmpty(datos.field(0))] = Runtime::toTextOrEmpty(datos.field(1));
        return filas;
    };
    for (qsizetype numero = 0; numero < cargas.size(); ++numero) {
        // A salesperson of level 1 whose code, folio, contact, organisation and state are
        // all the payload, signed in as its own operator.
        const QString carga = q(cargas[numero]);
        base.ejecuta("INSERT INTO Operador VALUES ('OPH" + QString::number(numero) + "', 'Hostil', " + carga + ")");
        base.ejecuta(QString("INSERT INTO Estado_Oportunidad VALUES (%1, 'Hostil', '&H%2', 'NO')")
                         .arg(carga, QString::number(color(numero), 16)));
        for (const QString sentencia :
             {"INSERT INTO Vendedor VALUES (%1, 'Hostil', 1, NULL, 'AC')",
              "INSERT INTO Organizacion VALUES (%1, 'Hostil', '', '')",
              "INSERT INTO Contacto VALUES (%1, 'Hostil', %1, '', '')",
              "INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Contacto, Op_Estado_Oportunidad, "
              "Es_Cve_Estado) VALUES (%1, %1, %1, %1, 'GRIS', 'AC')"})
            base.ejecuta(sentencia.arg(carga));
    }
    for (qsizetype numero = 0; numero < cargas.size(); ++numero) {
        const QString &carga = cargas[numero];
        SCOPED_TRACE(carga.left(40).toStdString());
        QMap<QString, QString> esperadas = oportunidades();
        esperadas[carga] = carga + " / CA";
        anfitrion.solicitudes.clear();
        entorno->mensajes.clear();
        abre(QString("OPH%1").arg(numero));

        ASSERT_EQ(folios(), QStringList{carga}); // its own row and nobody else's
        lista().selectItem(1);
        EXPECT_EQ(lista().cellForeColor(1, 0), 0x808080);
        Pruebas::pulsa(*tablero, "imgContacto");
        Pruebas::pulsa(*tablero, "imgOrganizacion");
        EXPECT_EQ(anfitrion.solicitudes,
                  (QStringList{"KLD215 ACCION=CONSULTA|DATO=" + carga, "KLD238 ACCION=CONSULTAR|DATO=" + carga}));
        Pruebas::eligeEstado(carga);
        Pruebas::pulsa(*tablero, "imgEstadoOp");
        EXPECT_EQ(lista().cellForeColor(1, 0), color(numero));
        Pruebas::pulsa(*tablero, "imgCancelar");
        EXPECT_EQ(entorno->identificadores(), QStringList{"ERR-ID:7500021"});
        EXPECT_EQ(oportunidades(), esperadas);
        EXPECT_EQ(base.cuenta("Bitacora", "Bi_Accion = 'Cancelación' AND Bi_Clave = " + q(carga)), 1);
        tablero.reset();
    }
    EXPECT_EQ(base.cuenta("Bitacora"), int(cargas.size()));
}

// Where the value goes (the remembered view, a variable's name, or a statement taking it as %1),
// the value, the identifier of the one message shown (or none), the rows and the views listed.
using Caso = std::tuple<const char *, const char *, const char *, int, int>;

const char *const FallaDeCarga = "ERR-ID:7500014";
const char *const SinColor = "ERR-ID:7500018"; // once per reload; the rows of that state keep the default look
const char *const Tiempo = "CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES";
const char *const Color = "UPDATE Estado_Oportunidad SET Eo_Hexadecimal = %1 WHERE Eo_Cve_Estado_Oportunidad = 'ROJO'";
const char *const Sentencias = "%1"; // separated by "; "

const Caso casos[] = {
    // The remembered view and the refresh count: a value that is no 16-bit number is a
    // failure of the load, and the board still opens on its first view with its rows.
    // (Other remembered views: the board's own tests.)
    {"VISTA", "40000", FallaDeCarga, 4, 1},
    {"VISTA", " 2 ", nullptr, 4, 1},
    {Tiempo, "2.5", nullptr, 4, 1},
    {Tiempo, "40000", FallaDeCarga, 4, 1},
    {Tiempo, "abc", FallaDeCarga, 4, 1},
    // (Stored queries that do not run, malformed view lists and colours: the board's own tests.)
    {Color, "NULL", SinColor, 4, 1},
    {Sentencias, "UPDATE Estado_Oportunidad SET Eo_Negrilla = NULL", nullptr, 4, 1}, // a Null weight is no failure
    // A service that fails during the load (the variables' table is gone) is the load's
    // failure: reported, and the rest of the load skipped.
    {Sentencias, "DROP TABLE Variable", FallaDeCarga, 0, 0},
    // The list of views that cannot be read (its variable fails to read, the others do not)
    // is reported by the routine that reads it, and no view is offered.
    {Sentencias,
     "ALTER TABLE Variable RENAME TO Guardada; CREATE VIEW Variable AS SELECT Va_Nombre, CASE WHEN Va_Nombre = "
     "'CRM_VISTA_CONTROL_OPORTUNIDADES' THEN CAST(abs(CAST(-9223372036854775808 AS BIGINT) + 0 * length(Va_Nombre)) "
     "AS TEXT) ELSE Va_Valor END AS Va_Valor FROM Guardada",
     "ERR-ID:7500015", 0, 0},
};

class Configuracion : public Pruebas::TableroDePrueba, public testing::WithParamInterface<Caso>
{
protected:
    void pon(const QString &donde, const QString &valor) const
    {
        if (donde == "VISTA")
            Runtime::saveSetting("KLD251", "Settings", donde, valor);
        else if (!donde.contains('%'))
            variable(donde, valor);
        else
            for (const QString &sentencia : donde.arg(valor).split("; "))
                base.ejecuta(sentencia);
    }
};

TEST_P(Configuracion, aBadValueEndsInItsMessageOrInSilenceAndTheBoardStillOpens)
{
    const auto &[donde, valor, mensaje, renglones, vistas] = GetParam();
    SCOPED_TRACE(std::string(donde) + " = «" + valor + "»");
    pon(QString::fromUtf8(donde), QString::fromUtf8(valor));
    abre();
    EXPECT_EQ(entorno->identificadores(), mensaje ? QStringList{QString::fromUtf8(mensaje)} : QStringList());
    EXPECT_EQ(lista().itemCount(), renglones);
    EXPECT_EQ(static_cast<Kit::cbZel *>(control("cboVistas"))->NumElementos(), vistas);
}

INSTANTIATE_TEST_SUITE_P(Casos, Configuracion, testing::ValuesIn(casos));

class FallasPostgreSQL : public Pruebas::TableroDePrueba
{
protected:
    void SetUp() override
    {
        TableroDePrueba::SetUp();
        variable("CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES", "0"); // a reload every tick
    }

    // What a cancellation of the folio left: its record status, who cancelled it, how many audit entries.
    QString cancelacion(const QString &folio) const
    {
        return base.valor("SELECT Es_Cve_Estado || '/' || COALESCE(Oper_Baja, '') FROM Oportunidad WHERE Op_Folio = '"
                          + folio + "'")
               + ' ' + QString::number(base.cuenta("Bitacora"));
    }
};

// The server ends the session's backend while the audit entry of a cancellation is being
// written: the server rolls the update back, the board says the cancellation failed, and
// the next action opens a new connection by itself.
TEST_F(FallasPostgreSQL, aConnectionCutBetweenTheUpdateAndTheAuditEntryLeavesNothingHalfDone)
{
    base.ejecuta("CREATE FUNCTION corta() RETURNS trigger AS $$ BEGIN PERFORM pg_terminate_backend(pg_backend_pid()); "
                 "RETURN NEW; END $$ LANGUAGE plpgsql");
    base.ejecuta("CREATE TRIGGER corta BEFORE INSERT ON Bitacora FOR EACH ROW EXECUTE FUNCTION corta()");
    abre();
    lista().selectItem(1);
    const QString folio = lista().itemText(1);
    Pruebas::pulsa(*tablero, "imgCancelar");
    EXPECT_EQ(entorno->identificadores(), (QStringList{"ERR-ID:7500021", "ERR-ID:7500002"}));
    EXPECT_EQ(cancelacion(folio), "AC/ 0"); // asked on a new connection

    base.ejecuta("DROP TRIGGER corta ON Bitacora");
    entorno->mensajes.clear();
    Pruebas::pulsa(*tablero, "imgCancelar");
    EXPECT_EQ(entorno->identificadores(), QStringList{"ERR-ID:7500021"});
    EXPECT_EQ(cancelacion(folio), "CA/OP3 1");
}

// A server of its own, to stop and start while the board is open.
class ServidorDetenidoPostgreSQL : public FallasPostgreSQL
{
protected:
    static void SetUpTestSuite()
    {
        carpeta = std::make_unique<QTemporaryDir>();
        urlCompartida = qgetenv("KLD251_PG_URL");
        qputenv("KLD251_PG_URL", servidor("start").toUtf8());
    }

    static void TearDownTestSuite()
    {
        servidor("stop");
        qputenv("KLD251_PG_URL", urlCompartida);
        carpeta.reset();
    }

    static QString servidor(const QString &accion)
    {
        QProcess guion;
        guion.start(KLD251_RAIZ "/scripts/postgresql", {accion, carpeta->filePath("pg")});
        guion.waitForFinished(120000);
        EXPECT_EQ(guion.exitCode(), 0) << guion.readAllStandardError().toStdString();
        return QString::fromUtf8(guion.readAllStandardOutput()).trimmed();
    }

    // Every process of the server stops (or goes on), as a server that hangs.
    static void congela(bool congelado)
    {
        QFile pid(carpeta->filePath("pg/data/postmaster.pid"));
        ASSERT_TRUE(pid.open(QIODevice::ReadOnly));
        const QString postmaster = QString::fromLatin1(pid.readLine()).trimmed();
        const QString senal = congelado ? "-STOP" : "-CONT";
        ASSERT_EQ(QProcess::execute("sh", {"-c", QString("kill %1 %2; pkill %1 -P %2").arg(senal, postmaster)}), 0);
    }

    static inline std::unique_ptr<QTemporaryDir> carpeta;
    static inline QByteArray urlCompartida;
};

// The longest the event loop went without running while `paso` ran and the test waited.
std::chrono::milliseconds pausaMaxima(const std::function<void()> &paso, std::chrono::milliseconds espera)
{
    QElapsedTimer reloj;
    reloj.start();
    qint64 ultimo = 0;
    qint64 maxima = 0;
    QTimer latido;
    QObject::connect(&latido, &QTimer::timeout, [&] {
        maxima = std::max(maxima, reloj.elapsed() - ultimo);
        ultimo = reloj.elapsed();
    });
    latido.start(10);
    paso();
    maxima = std::max(maxima, reloj.elapsed() - ultimo);
    QTest::qWait(int(espera.count()));
    return std::chrono::milliseconds(maxima);
}

// While the server is down the first automatic reload says so and the next ones only log,
// none starting another; a reload the user asks for always says so; the status bar says
// since when the connection is down. The first reload after the server is back shows the
// current rows again, with no message.
TEST_F(ServidorDetenidoPostgreSQL, theBoardSaysSoOnceAndRecoversByItself)
{
    abre();
    const QStringList antes = folios();
    ASSERT_EQ(antes.size(), 4);
    servidor("stop");

    // The timer goes on ticking while the user reads.
    entorno->alMostrar = [this](const Pruebas::MensajeMostrado &) { tic(1); };
    tic(3);
    EXPECT_EQ(int(entorno->mensajes.size()), 1);
    Pruebas::pulsa(*tablero, "imgRefrescar");
    tic(2);
    EXPECT_EQ(entorno->identificadores(), (QStringList{"ERR-ID:7500017", "ERR-ID:7500017"}));
    EXPECT_EQ(folios(), antes);
    const auto conexion = [this] {
        return Runtime::ScreenStatus::of(tablero.get())->text(Runtime::ScreenStatus::Part::Connection);
    };
    EXPECT_TRUE(QRegularExpression("^Sin conexión desde las \\d\\d:\\d\\d, reintentando$").match(conexion()).hasMatch())
        << conexion().toStdString();

    servidor("start");
    entorno->mensajes.clear();
    oportunidad("F5", "V9", "AZUL");
    tic(1);
    EXPECT_TRUE(entorno->mensajes.empty());
    EXPECT_EQ(folios().size(), 5);
    EXPECT_EQ(conexion(), QString());
}

// A server that hangs: an automatic refresh never holds up the window and says so once; a
// reload or an action the user waits for ends after the wait's limit (and one reconnection)
// with the failure's message; once the server answers again, the board works by itself.
TEST_F(ServidorDetenidoPostgreSQL, aHungServerNeverFreezesTheWindowAndEveryWaitEnds)
{
    using namespace std::chrono_literals;
    abre();
    const QStringList antes = folios();
    const auto limite = Ado::Connection::waitLimit();
    Ado::Connection::setWaitLimit(1s);
    congela(true);
    const auto automatica = pausaMaxima([this] { tic(1, false); }, 4s);
    EXPECT_LT(automatica, 300ms);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !tablero->recargaEnCurso(); }, 10000));
    EXPECT_EQ(entorno->identificadores(), QStringList{"ERR-ID:7500017"});
    entorno->mensajes.clear();
    const std::vector<std::pair<const char *, QStringList>> pedidas = {
        {"imgRefrescar", {"ERR-ID:7500017"}},
        {"imgCancelar", {"ERR-ID:7500002"}},
    };
    for (const auto &[boton, mensajes] : pedidas) {
        SCOPED_TRACE(boton);
        lista().selectItem(1);
        QElapsedTimer reloj;
        reloj.start();
        Pruebas::pulsa(*tablero, boton);
        EXPECT_LT(reloj.elapsed(), 6000); // a wait of 1 s, then a connection attempt of 2
        EXPECT_EQ(entorno->identificadores().mid(0, 1), mensajes);
        entorno->mensajes.clear();
    }
    congela(false);
    tic(1);
    EXPECT_TRUE(entorno->mensajes.empty());
    EXPECT_EQ(folios(), antes);
    Ado::Connection::setWaitLimit(limite);
}

} // namespace
