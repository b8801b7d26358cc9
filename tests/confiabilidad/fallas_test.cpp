// Faults of a real PostgreSQL server under the board: a connection cut in the middle of a
// cancellation, the server stopped and started again, statements that run out of time.
#include "tablero.h"

#include "runtime/screenstatus.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

class FallasPostgreSQL : public Pruebas::TableroDePrueba
{
protected:
    void SetUp() override
    {
        TableroDePrueba::SetUp();
        variable("CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES", "0"); // a reload every tick
    }

    void pulsaBoton(const char *nombre) const { static_cast<QToolButton *>(control(nombre))->click(); }

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
    pulsaBoton("imgCancelar");
    EXPECT_EQ(entorno->identificadores(), (QStringList{"ERR-ID:7500021", "ERR-ID:7500002"}));
    EXPECT_EQ(cancelacion(folio), "AC/ 0"); // asked on a new connection

    base.ejecuta("DROP TRIGGER corta ON Bitacora");
    entorno->mensajes.clear();
    pulsaBoton("imgCancelar");
    EXPECT_EQ(entorno->identificadores(), QStringList{"ERR-ID:7500021"});
    EXPECT_EQ(cancelacion(folio), "CA/OP3 1");
}

// A statement that runs out of time: a view slower than the session allows leaves the list
// as it was, and a cancellation that waits for a row another user holds is undone and
// reported; the same connection goes on working.
TEST_F(FallasPostgreSQL, statementsThatRunOutOfTimeChangeNothing)
{
    abre();
    const QStringList antes = folios();
    // The limit of every session, as an administrator sets it: the automatic reload reads on
    // a connection of its own.
    const QString baseDeDatos = "ALTER DATABASE " + base.direccion().database;
    base.ejecuta(baseDeDatos + " SET statement_timeout = 300");
    const auto sinLimite = qScopeGuard([&] { base.ejecuta(baseDeDatos + " RESET statement_timeout"); });
    base.ejecuta("SET statement_timeout = 300");
    base.ejecuta("UPDATE Consulta SET Cs_Sql = REPLACE(Cs_Sql, ' FROM Oportunidad', "
                 "', pg_sleep(0.2) AS \"Espera\" FROM Oportunidad')");
    tic(2);
    EXPECT_EQ(folios(), antes);
    EXPECT_EQ(lista().columnCount(), 3);                                  // not the slow view's columns
    EXPECT_EQ(entorno->identificadores(), QStringList{"ERR-ID:7500017"}); // once
    entorno->mensajes.clear();

    Ado::Connection otro(base.direccion());
    otro.BeginTrans();
    otro.Execute("SELECT Op_Folio FROM Oportunidad WHERE Op_Folio = 'F1' FOR UPDATE");
    lista().selectItem(int(folios().indexOf("F1")) + 1);
    pulsaBoton("imgCancelar");
    EXPECT_EQ(entorno->identificadores(), (QStringList{"ERR-ID:7500021", "ERR-ID:7500002"}));
    otro.RollbackTrans();
    EXPECT_EQ(cancelacion("F1"), "AC/ 0");
    EXPECT_FALSE(base.conexion()->isBroken());
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

    static inline std::unique_ptr<QTemporaryDir> carpeta;
    static inline QByteArray urlCompartida;
};

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
    pulsaBoton("imgRefrescar");
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

} // namespace
