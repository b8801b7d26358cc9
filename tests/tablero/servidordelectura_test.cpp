// The board's reading server on the throwaway primary and its hot standby: where the automatic
// reload asks and reads, when it falls back to the primary, and that a switch misses nothing.
#include "tablero.h"

#include "bitacora.h"

#include "cambiosdelavista.h"
#include "servidordelectura.h"

#include "ado/connection.h"
#include "ado/session.h"
#include "controles/listview.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {

using namespace std::chrono_literals;
using Que = CambiosDeLaVista::Respuesta::Que;

class ServidorDeLecturaPostgreSQL : public Pruebas::TableroDePrueba
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("KLD251_PG_STANDBY_URL"))
            GTEST_SKIP() << "KLD251_PG_STANDBY_URL is not set: ./test starts a standby";
        TableroDePrueba::SetUp();
        reserva = Ado::DatabaseAddress::parse(qEnvironmentVariable("KLD251_PG_STANDBY_URL"));
        admin = std::make_unique<Ado::Connection>(reserva); // the test's database may not be there yet
        reserva.database = base.direccion().database;
        otro = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("otro"));
        otro.setHostName(base.direccion().host);
        otro.setPort(base.direccion().port);
        otro.setUserName(base.direccion().user);
        otro.setDatabaseName(base.direccion().database);
        ASSERT_TRUE(otro.open());
        Ado::Session::configureStandby(reserva);
        esperaLaReplica();
    }
    void TearDown() override
    {
        if (!admin)
            return;
        admin->Execute("SELECT pg_wal_replay_resume()");
        Ado::Session::configureStandby(std::nullopt);
        otro.close();
        otro = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("otro"));
        TableroDePrueba::TearDown();
    }

    // Another program's commit: outside this process, so not this user's own write.
    void otroEscribe(const QString &sentencia) { ASSERT_TRUE(QSqlQuery(otro).exec(sentencia)); }
    void otroDescribe(const QString &folio)
    {
        otroEscribe(QStringLiteral("UPDATE Oportunidad SET Op_Descripcion = 'Otra' WHERE Op_Folio = '%1'").arg(folio));
    }
    QString posicionDelPrincipal() const { return base.valor("SELECT CAST(pg_current_wal_insert_lsn() AS text)"); }
    // Until the standby has received (or replayed) the primary's log as far as it goes now.
    void esperaLaReplica(const char *hasta = "pg_last_wal_replay_lsn()")
    {
        const QString posicion = posicionDelPrincipal();
        const auto alcanzo = [&] {
            return admin->Execute(QStringLiteral("SELECT %1 >= CAST(? AS pg_lsn)").arg(hasta), {posicion})
                .field(0)
                .toBool();
        };
        ASSERT_TRUE(QTest::qWaitFor(alcanzo, 20000)) << "the standby did not reach " << posicion.toStdString();
    }
    void pausa() { admin->Execute("SELECT pg_wal_replay_pause()"); }
    void reanuda()
    {
        admin->Execute("SELECT pg_wal_replay_resume()");
        esperaLaReplica();
    }
    // Where the board's session lets the reading thread ask and read.
    static Servidores servidores()
    {
        return {Ado::Session::address(), ServidorDeLectura::reservaNombrada(*Ado::Session::connection()),
                Ado::Connection::serverWrites(), false};
    }
    // Where the next automatic reload asks (and reads): the standby or the primary.
    static bool enLaReserva(ServidorDeLectura &servidor)
    {
        const Servidores donde = servidores();
        const bool preguntaEnLaReserva = servidor.pregunta(donde, [](Ado::Connection &conexion) {
            return conexion.Execute("SELECT pg_is_in_recovery()").field(0).toBool();
        });
        EXPECT_EQ(servidor.elegida(donde).address().port,
                  preguntaEnLaReserva ? donde.reserva->port : donde.principal.port);
        return preguntaEnLaReserva;
    }
    // Other programs may write to the server meanwhile: the standby answers once it has
    // replayed as far as the primary was when this process last wrote.
    static bool llegaALaReserva(ServidorDeLectura &servidor)
    {
        return QTest::qWaitFor([&] { return enLaReserva(servidor); }, 20000);
    }

    Ado::DatabaseAddress reserva;
    std::unique_ptr<Ado::Connection> admin; // the standby's, as postgres
    QSqlDatabase otro;
    Pruebas::Bitacora bitacora{"default"};
    QStringList dichos() const { return bitacora.lineas().filter("servidor de lectura"); }
    std::chrono::steady_clock::time_point ahora = std::chrono::steady_clock::now();
};

// After this process writes, the primary answers until the standby has replayed the write;
// another program's commit changes nothing. A standby that has more to replay than its limit
// allows falls back to the primary too.
TEST_F(ServidorDeLecturaPostgreSQL, theStandbyAnswersUnlessItHasNotReplayedOnesOwnWriteOrLags)
{
    ServidorDeLectura paciente;
    ServidorDeLectura estricto({.atrasoMaximo = 0s});
    EXPECT_TRUE(llegaALaReserva(paciente));
    EXPECT_TRUE(llegaALaReserva(estricto));
    pausa();
    otroDescribe("F1");
    esperaLaReplica("pg_last_wal_receive_lsn()");
    EXPECT_TRUE(enLaReserva(paciente));
    EXPECT_FALSE(enLaReserva(estricto));
    base.ejecuta("UPDATE Oportunidad SET Op_Monto = 7 WHERE Op_Folio = 'F2'");
    EXPECT_FALSE(enLaReserva(paciente));
    EXPECT_FALSE(enLaReserva(paciente));
    reanuda();
    EXPECT_TRUE(llegaALaReserva(paciente));
}

// A primary quiet for longer than the limit leaves the standby's last replayed commit that
// old: a standby seen with nothing to replay a moment ago is still that close behind.
TEST_F(ServidorDeLecturaPostgreSQL, aQuietPrimaryDoesNotMakeACaughtUpStandbyLag)
{
    ServidorDeLectura servidor({.atrasoMaximo = 2s});
    QTest::qWait(2500);
    EXPECT_TRUE(llegaALaReserva(servidor));
    pausa();
    otroDescribe("F1");
    esperaLaReplica("pg_last_wal_receive_lsn()");
    EXPECT_TRUE(enLaReserva(servidor));
    QTest::qWait(2500);
    EXPECT_FALSE(enLaReserva(servidor));
}

// An ordinary role reads every value the board measures the standby by.
TEST_F(ServidorDeLecturaPostgreSQL, anOrdinaryRoleMeasuresTheStandby)
{
    const QString rol = base.direccion().database + ".lector";
    base.ejecuta(QStringLiteral("CREATE ROLE \"%1\" LOGIN PASSWORD 'Clave1'").arg(rol));
    Ado::DatabaseAddress comoRol = base.direccion();
    comoRol.user = rol;
    comoRol.password = "Clave1";
    Ado::Session::configure(comoRol);
    esperaLaReplica();
    ServidorDeLectura servidor;
    EXPECT_TRUE(llegaALaReserva(servidor));
    EXPECT_EQ(servidores().reserva->user, rol);
    Ado::Session::configure(base.direccion());
}

// One that cannot be reached is said once, and tried again only after the retry time.
TEST_F(ServidorDeLecturaPostgreSQL, anUnreachableStandbyIsToldOnceAndTriedAgainLater)
{
    const QString tardia = base.direccion().database + "_tardia";
    base.ejecuta(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(tardia));
    Ado::DatabaseAddress cerrada = reserva;
    cerrada.port = 1;
    Ado::DatabaseAddress faltante = reserva;
    faltante.database = tardia;
    for (const Ado::DatabaseAddress &direccion : {cerrada, faltante}) {
        bitacora.olvida();
        Ado::Session::configureStandby(direccion);
        ServidorDeLectura servidor({.reloj = [this] { return ahora; }});
        EXPECT_FALSE(enLaReserva(servidor));
        EXPECT_FALSE(enLaReserva(servidor));
        ASSERT_EQ(dichos().size(), 1);
        EXPECT_TRUE(dichos().front().startsWith("No se pudo usar el servidor de lectura"));
        if (direccion.port == cerrada.port)
            continue;
        base.ejecuta(QStringLiteral("CREATE DATABASE %1").arg(tardia));
        esperaLaReplica();
        ahora += 59s;
        EXPECT_FALSE(enLaReserva(servidor));
        ahora += 2s;
        EXPECT_TRUE(llegaALaReserva(servidor));
        EXPECT_EQ(dichos().size(), 2);
    }
    base.ejecuta(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(tardia));
}

// The host's option wins over the team's variable; either is signed in to as the session's
// user, and a name that is not a PostgreSQL server's is said and left unused.
TEST_F(ServidorDeLecturaPostgreSQL, theOptionWinsOverTheTeamsVariable)
{
    Ado::DatabaseAddress opcion = reserva;
    opcion.port = 1;
    const QString url = QStringLiteral("postgresql://127.0.0.1:%1/%2").arg(reserva.port).arg(reserva.database);
    const std::vector<std::tuple<std::optional<Ado::DatabaseAddress>, QString, int>> casos = {
        // the host's option, the variable, the port read from (0: none)
        {std::nullopt, "", 0},
        {std::nullopt, url, reserva.port},
        {opcion, url, 1},
        {std::nullopt, "sqlite:/tmp/no.db", 0},
    };
    for (const auto &[delAnfitrion, deLaVariable, puerto] : casos) {
        SCOPED_TRACE(deLaVariable.toStdString());
        Ado::Session::configureStandby(delAnfitrion);
        variable(ServidorDeLectura::variable, deLaVariable);
        const std::optional<Ado::DatabaseAddress> leida = servidores().reserva;
        ASSERT_EQ(leida.has_value(), puerto != 0);
        if (leida) {
            EXPECT_EQ(leida->port, puerto);
            EXPECT_EQ(leida->user, base.direccion().user);
            EXPECT_TRUE(leida->readOnly);
        }
    }
    EXPECT_EQ(dichos().size(), 1);
}

// A token read on the primary, asked of a standby that is behind, finds nothing; the standby's
// own older token, once it has replayed, finds every commit since: one too many, none missed.
TEST_F(ServidorDeLecturaPostgreSQL, aSwitchBetweenServersNeverMissesACommit)
{
    const QString vista = "SELECT Op_Folio, Op_Descripcion FROM Oportunidad ORDER BY Op_Folio";
    CambiosDeLaVista cambios;
    Ado::Connection enReserva(*servidores().reserva);
    std::optional<QString> ficha;
    const auto pregunta = [&](Ado::Connection &conexion) {
        CambiosDeLaVista::Respuesta respuesta = cambios.pregunta(conexion, vista, ficha);
        ficha = respuesta.ficha;
        respuesta.folios.sort();
        return std::pair(respuesta.que, respuesta.folios);
    };
    pregunta(*base.conexion());
    pausa();
    otroDescribe("F1");
    EXPECT_EQ(pregunta(*base.conexion()), std::pair(Que::Oportunidades, QStringList{"F1"}));
    otroDescribe("F2");
    EXPECT_EQ(pregunta(enReserva), std::pair(Que::Nada, QStringList{}));
    reanuda();
    EXPECT_EQ(pregunta(enReserva), std::pair(Que::Oportunidades, QStringList({"F1", "F2"})));
    EXPECT_EQ(pregunta(*base.conexion()), std::pair(Que::Nada, QStringList{}));
}

// On the board: another program's commit on the primary reaches the list through the standby,
// where the change question and the reading share the reading thread's one session, and the
// board no longer listens or rings on the primary.
TEST_F(ServidorDeLecturaPostgreSQL, aCommitOnThePrimaryReachesTheBoardThroughTheStandby)
{
    variable("CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES", "0"); // every tick reloads
    abre();
    tic(); // the primary answers until the standby has replayed this process's writes
    esperaLaReplica();
    otroDescribe("F1");
    const auto mostrada = [&] {
        tic();
        return lista().subItemText(1, 1) == "Otra";
    };
    EXPECT_TRUE(QTest::qWaitFor(mostrada, 40000)); // past a replay that waits for a conflicting query
    EXPECT_EQ(admin
                  ->Execute("SELECT count(*) FROM pg_stat_activity WHERE datname = ? AND application_name = 'Teqvaro'",
                            {reserva.database})
                  .field(0)
                  .toInt(),
              1);
    // It rang for the others while it read from the primary; from the standby, it rings for nobody
    // (its own write may send it back to the primary for a tick or two).
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            tic();
            return base.valor("SELECT COUNT(*) FROM pg_locks WHERE locktype = 'advisory'") == "0";
        },
        20000));
}

} // namespace
