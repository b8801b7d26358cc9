// What the automatic reload asks before it reads: whether a view depends on the clock, and
// what changed in its tables, with the test database and another user's connection.
#include "tablero.h"

#include "cambiosdelavista.h"
#include "lecturasql.h"
#include "timbredecambios.h"

#include "ado/connection.h"

#include <QTest>

namespace {

using namespace std::chrono_literals;
using Que = CambiosDeLaVista::Respuesta::Que;

// A statement depends on the clock when it asks for the time or calls what the board cannot
// tell; one ordered by its first column, the folio, can be read again by folio.
TEST(LecturaSql, aStatementDependsOnTheClockOrCanBeReadAgainByFolio)
{
    const std::vector<std::tuple<const char *, bool, bool>> casos = {
        // statement, depends on the clock, calls a function the board cannot look into
        {"SELECT Op_Folio, upper(Op_Descripcion), COUNT(*) FROM Oportunidad WHERE x IN (1) GROUP BY 1", false, false},
        {"SELECT CAST(Op_Monto AS numeric(14, 2)), 'now()', \"now\" -- now()\n FROM t /* current_date */", false,
         false},
        {"SELECT Op_Folio FROM Oportunidad WHERE Op_Fecha_Alta < CAST(CURRENT_DATE AS TEXT)", true, false},
        {"SELECT Op_Folio FROM Oportunidad WHERE Op_Fecha_Alta < Now ()", true, false},
        {"SELECT date(' Today ')", true, false},
        {"SELECT Op_Folio FROM Oportunidad WHERE Op_Fecha_Alta < 'now'", true, false},
        {"SELECT mi_funcion(Op_Folio) FROM Oportunidad", true, true},
        {"SELECT $$ x $$ FROM t", true, true},
        {"SELECT E'\\'' || x FROM t", true, true},
    };
    for (const auto &[sql, reloj, desconocida] : casos) {
        SCOPED_TRACE(sql);
        const Sql::Lectura lectura = Sql::lee(QString::fromUtf8(sql));
        EXPECT_EQ(lectura.dependeDelReloj, reloj);
        EXPECT_EQ(lectura.llamaDesconocida, desconocida);
    }

    enum Orden { Ninguno, Ascendente, Descendente };
    const std::vector<std::pair<const char *, Orden>> ordenes = {
        {"SELECT Oportunidad.Op_Folio AS \"Folio\", x FROM Oportunidad ORDER BY Oportunidad.Op_Folio", Ascendente},
        {"SELECT o.op_folio f, (SELECT 1 FROM t ORDER BY y) FROM Oportunidad o ORDER BY f DESC;", Descendente},
        {"SELECT Op_Folio AS \"Folio\" FROM Oportunidad ORDER BY \"Folio\" ASC", Ascendente},
        {"WITH a AS (SELECT 1) SELECT ALL Op_Folio FROM Oportunidad ORDER BY 1", Ascendente},
        {"SELECT Op_Folio FROM Oportunidad", Ninguno},
        {"SELECT Op_Folio FROM Oportunidad ORDER BY Op_Folio LIMIT 10", Ninguno},
        {"SELECT Op_Folio FROM Oportunidad ORDER BY Op_Folio, x", Ninguno},
        {"SELECT x, Op_Folio FROM Oportunidad ORDER BY Op_Folio", Ninguno},
        {"SELECT upper(Op_Folio) FROM Oportunidad ORDER BY upper(Op_Folio)", Ninguno},
        {"SELECT DISTINCT Op_Folio FROM Oportunidad ORDER BY Op_Folio", Ninguno},
        {"SELECT Op_Folio FROM a UNION SELECT Op_Folio FROM b ORDER BY Op_Folio", Ninguno},
        {"SELECT Op_Folio FROM Oportunidad ORDER BY Op_Folio NULLS FIRST", Ninguno},
    };
    for (const auto &[sql, orden] : ordenes) {
        SCOPED_TRACE(sql);
        const std::optional<Sql::OrdenPorFolio> leido = Sql::lee(QString::fromUtf8(sql)).ordenPorFolio;
        EXPECT_EQ(leido ? (leido->descendente ? Descendente : Ascendente) : Ninguno, orden);
    }
}

class Cambios : public Pruebas::TableroDePrueba
{
protected:
    const QString vista = QStringLiteral("SELECT Op_Folio, Vn_Descripcion FROM Oportunidad INNER JOIN Vendedor ON "
                                         "Vn_Cve_Vendedor = Op_Cve_Vendedor ORDER BY Op_Folio");
    // Asks as the board does, and goes on from the answer's token as if it had read again.
    CambiosDeLaVista::Respuesta pregunta()
    {
        CambiosDeLaVista::Respuesta respuesta = cambios.pregunta(*base.conexion(), vista, ficha);
        ficha = respuesta.ficha;
        return respuesta;
    }
    void otroActualiza(const QString &folio)
    {
        otro.Execute(QStringLiteral("UPDATE Oportunidad SET Op_Descripcion = 'Otra' WHERE Op_Folio = '%1'").arg(folio));
    }

    CambiosDeLaVista cambios;
    std::optional<QString> ficha;
    Ado::Connection otro{base.direccion()};
};

// A view of a view that asks for the date depends on the clock; on PostgreSQL the board
// learns the tables the plan reads, and the stored queries' own.
TEST_F(Cambios, aViewIsStudiedThroughTheViewsItReads)
{
    base.ejecuta("CREATE VIEW Vencidas AS SELECT * FROM Oportunidad WHERE Op_Fecha_Cierre_Estimada < CAST(CURRENT_DATE "
                 "AS TEXT)");
    base.ejecuta("CREATE VIEW DeVencidas AS SELECT Op_Folio FROM Vencidas");
    EXPECT_TRUE(cambios.estudia(*base.conexion(), "SELECT * FROM DeVencidas").dependeDelReloj);
    const EstudioDeVista &estudio = cambios.estudia(*base.conexion(), vista);
    EXPECT_FALSE(estudio.dependeDelReloj);
    if (Pruebas::motor() == Ado::Engine::PostgreSQL) {
        ASSERT_TRUE(estudio.tablas.has_value());
        QStringList tablas = *estudio.tablas;
        tablas.sort();
        EXPECT_EQ(tablas, (QStringList{"consulta", "oportunidad", "vendedor"}));
        EXPECT_FALSE(cambios.estudia(*base.conexion(), "SELECT * FROM generate_series(1, 3)").tablas.has_value());
    }
}

// SQLite counts every commit to the file.
using CambiosSQLite = Cambios;

TEST_F(CambiosSQLite, anyCommitCounts)
{
    EXPECT_EQ(pregunta().que, Que::Todo);
    EXPECT_EQ(pregunta().que, Que::Nada);
    otro.Execute("INSERT INTO Contacto VALUES ('C9', 'Nadie', '', '', '')");
    EXPECT_EQ(pregunta().que, Que::Todo);
}

using CambiosPostgreSQL = Cambios;

// Commits to other tables cost nothing; one to an opportunity names it; one to another table
// of the view reads everything.
TEST_F(CambiosPostgreSQL, onlyCommitsToTheViewsTablesCount)
{
    EXPECT_EQ(pregunta().que, Que::Todo);
    otro.Execute("INSERT INTO Contacto VALUES ('C9', 'Nadie', '', '', '')");
    EXPECT_EQ(pregunta().que, Que::Nada);
    otroActualiza("F1");
    otroActualiza("F3");
    const CambiosDeLaVista::Respuesta respuesta = pregunta();
    EXPECT_EQ(respuesta.que, Que::Oportunidades);
    EXPECT_EQ(QSet<QString>(respuesta.folios.cbegin(), respuesta.folios.cend()), (QSet<QString>{"F1", "F3"}));
    EXPECT_EQ(pregunta().que, Que::Nada);
    otro.Execute("UPDATE Vendedor SET Vn_Descripcion = 'Otro' WHERE Vn_Cve_Vendedor = 'V1'");
    EXPECT_EQ(pregunta().que, Que::Todo);
    otro.Execute("UPDATE Consulta SET Cs_Sql = Cs_Sql");
    EXPECT_EQ(pregunta().que, Que::Todo);
}

// A transaction that began first and commits last is seen when it commits, not lost behind
// the later one already seen.
TEST_F(CambiosPostgreSQL, aTransactionThatCommitsAfterALaterOneIsNeverMissed)
{
    pregunta();
    Ado::Connection primero(base.direccion());
    primero.BeginTrans();
    primero.Execute("UPDATE Oportunidad SET Op_Monto = 1 WHERE Op_Folio = 'F2'");
    otroActualiza("F3");
    EXPECT_EQ(pregunta().folios, QStringList{"F3"});
    primero.CommitTrans();
    EXPECT_EQ(pregunta().folios, QStringList{"F2"});
    EXPECT_EQ(pregunta().que, Que::Nada);
}

// Too many opportunities, or a token older than the notes kept, read everything.
TEST_F(CambiosPostgreSQL, manyChangesOrNotesTakenAwayReadEverything)
{
    pregunta();
    otro.Execute("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor) "
                 "SELECT 'N' || n, 'Nueva', 'V1' FROM generate_series(1, 1001) AS n");
    EXPECT_EQ(pregunta().que, Que::Todo);
    base.ejecuta("UPDATE Cambio_Horizonte SET Ch_Borrado = '999999999'"); // notes taken away up to there
    EXPECT_EQ(pregunta().que, Que::Todo);
}

// Idle boards ask only when a table of their view is written: one of them rings for all, and
// one that goes away is replaced at the others' next revision, which asks anyway, and rings
// every board once.
TEST_F(CambiosPostgreSQL, idleBoardsAskOnlyWhenRungForTheirTables)
{
    auto ahora = std::chrono::steady_clock::now();
    const TimbreDeCambios::Ajustes ajustes{30s, [&] { return ahora; }};
    const QStringList tablas{"oportunidad", "vendedor"};
    auto primera = std::make_unique<Ado::Connection>(base.direccion());
    Ado::Connection segunda(base.direccion());
    auto campanero = std::make_unique<TimbreDeCambios>(ajustes);
    TimbreDeCambios oyente(ajustes);
    // A tick of each board, the bell-ringer's first; whatever it rang reaches the other's
    // session before the server answers anything else there.
    const auto preguntan = [&] {
        const bool primeraPregunta = campanero && campanero->hayQuePreguntar(*primera, tablas);
        segunda.Execute("SELECT 1");
        return std::pair{primeraPregunta, oyente.hayQuePreguntar(segunda, tablas + QStringList{"contacto"})};
    };
    EXPECT_EQ(preguntan(), std::pair(true, true)); // listening begins
    EXPECT_TRUE(campanero->esQuienToca());
    EXPECT_FALSE(oyente.esQuienToca());
    EXPECT_EQ(preguntan(), std::pair(false, false));
    otro.Execute("INSERT INTO Seguimiento (Sg_Entidad, Sg_Clave, Sg_Nota, Sg_Operador, Sg_Fecha) "
                 "VALUES ('O', 'F1', 'Nota', 'OP1', '2026-12-08')");
    EXPECT_EQ(preguntan(), std::pair(false, false)); // a table nobody's view reads
    otro.Execute("INSERT INTO Contacto VALUES ('C9', 'Nadie', '', '', '')");
    EXPECT_EQ(preguntan(), std::pair(false, true)); // rung for the other board alone
    otroActualiza("F1");
    EXPECT_EQ(preguntan(), std::pair(true, true));
    EXPECT_EQ(preguntan(), std::pair(false, false));
    ahora += 30s;
    EXPECT_EQ(preguntan(), std::pair(true, true)); // the revision; the other's offer is refused
    EXPECT_FALSE(oyente.esQuienToca());
    const auto inicio = ahora; // a third board, whose revision is not due again
    Ado::Connection tercera(base.direccion());
    TimbreDeCambios tercero({30s, [&] { return inicio; }});
    EXPECT_TRUE(tercero.hayQuePreguntar(tercera, tablas));

    campanero.reset();
    primera.reset(); // the bell-ringer's session ends, and the server lets its lock go
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return base.valor("SELECT COUNT(*) FROM pg_locks WHERE locktype = 'advisory' AND objid = 251254") == "0";
        },
        10000));
    otroActualiza("F2");
    EXPECT_EQ(preguntan(), std::pair(false, false));
    EXPECT_FALSE(tercero.hayQuePreguntar(tercera, tablas));
    ahora += 30s;
    EXPECT_EQ(preguntan(), std::pair(false, true));
    EXPECT_TRUE(oyente.esQuienToca());
    tercera.Execute("SELECT 1");
    EXPECT_TRUE(tercero.hayQuePreguntar(tercera, tablas)); // the new one rang for all
    otroActualiza("F3");
    EXPECT_EQ(preguntan(), std::pair(false, true));

    // Where the bell cannot be used, every tick asks and the session holds nothing: read only
    // (as a standby is opened), or a database without the bell.
    Ado::DatabaseAddress soloLectura = base.direccion();
    soloLectura.readOnly = true;
    base.ejecuta("DROP FUNCTION teqvaro_timbre(pg_snapshot)");
    for (const Ado::DatabaseAddress &direccion : {soloLectura, base.direccion()}) {
        Ado::Connection conexion(direccion);
        TimbreDeCambios sinTimbre(ajustes);
        EXPECT_TRUE(sinTimbre.hayQuePreguntar(conexion, tablas));
        EXPECT_TRUE(sinTimbre.hayQuePreguntar(conexion, tablas));
        EXPECT_EQ(
            conexion.Execute("SELECT COUNT(*) FROM pg_locks WHERE locktype = 'advisory' AND pid = pg_backend_pid()")
                .field(0)
                .toInt(),
            0);
    }
}

} // namespace
