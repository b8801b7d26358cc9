// The list's reloading on its own: a list, the test database, a change token and a clock the
// test moves, and what the reloading tells the board.
#include "tablero.h"

#include "recargadelista.h"

#include "bitacora.h"

#include "ado/connection.h"

#include <QLoggingCategory>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <random>

namespace {

using namespace std::chrono_literals;

class RecargaDeListaSola : public Pruebas::TableroDePrueba
{
protected:
    void SetUp() override
    {
        TableroDePrueba::SetUp();
        base.ejecuta("INSERT INTO Consulta VALUES ('OTRA', 'Otra', 'SELECT Op_Folio FROM Oportunidad')");
        recarga.setReloj([this] { return ahora; });
        recarga.setFicha([this] { return ficha; });
    }

    // Each thing the reloading told the board, in order.
    RecargaDeLista::Avisos avisos()
    {
        const auto anota = [this](const QString &aviso) { dichos << aviso; };
        return {.fallaDeLectura = [=](std::exception_ptr) { anota("falla"); },
                .fallaDeAspecto = [=](std::exception_ptr) { anota("aspecto"); },
                .consultaFaltante = [=](const QString &clave) { anota("falta " + clave); },
                .conexion = [](bool) {},
                .cuentaCambiada = [] {}};
    }
    // The view as the board reads it: its statement from the stored query, none when missing.
    std::optional<ConsultaDeVista> consulta() const
    {
        QString sql = base.valor(QStringLiteral("SELECT Cs_Sql FROM Consulta WHERE Cs_Cve_Consulta = '%1'").arg(clave));
        return ConsultaDeVista{clave, clave,
                               sql.isEmpty() ? std::nullopt : std::optional(sql.replace("{PARAMETROS}", "1 = 1"))};
    }
    void describe(const QString &texto)
    {
        otro.Execute(QStringLiteral("UPDATE Oportunidad SET Op_Descripcion = '%1' WHERE Op_Folio = 'F1'").arg(texto));
    }
    QString descripcion() const { return lista.itemCount() ? lista.subItemText(1, 1) : QString(); }
    // An automatic reload, and its reading shown when it brought one.
    void automatica()
    {
        recarga.recargaAutomatica();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !recarga.enCurso(); }, 10000));
    }
    // Automatic reloads, each after a commit.
    void automaticas(int veces)
    {
        for (int vez = 0; vez < veces; ++vez) {
            ficha = *ficha + "+";
            automatica();
        }
    }

    Kit::ListView lista;
    QString clave = QStringLiteral("CONTROL");
    QStringList dichos;
    RecargaDeLista recarga{lista, [this] { return consulta(); }, avisos()};
    std::chrono::steady_clock::time_point ahora = std::chrono::steady_clock::now();
    std::optional<QString> ficha = QStringLiteral("1");
    Ado::Connection otro{base.direccion()};
};

// The token is the test's own: commits of other programs on a shared server move nothing. A
// view that depends on the clock is also read a minute after its last full reading.
TEST_F(RecargaDeListaSola, readsOnlyAfterACommitOrForAClockViewAMinuteAfterTheLastFullReading)
{
    base.ejecuta("INSERT INTO Consulta VALUES ('RELOJ', 'Reloj', 'SELECT Op_Folio, Op_Descripcion FROM Oportunidad "
                 "WHERE Op_Fecha_Alta IS NULL OR Op_Fecha_Alta < CAST(CURRENT_DATE AS TEXT) ORDER BY Op_Folio')");
    for (const char *vista : {"CONTROL", "RELOJ"}) {
        SCOPED_TRACE(vista);
        clave = QString::fromUtf8(vista);
        const bool reloj = clave == "RELOJ";
        describe("Licencias");
        recarga.recarga();
        ASSERT_EQ(descripcion(), "Licencias");
        const std::vector<std::tuple<const char *, std::chrono::seconds, const char *, bool>> tics = {
            {"Uno", 0s, "1", false},  // nothing committed: nothing read
            {"Uno", 0s, "2", true},   // a commit
            {"Dos", 59s, "2", false}, // within the minute
            {"Tres", 1s, "2", reloj}, // a minute after the last full reading
        };
        for (const auto &[texto, pasa, nueva, lee] : tics) {
            SCOPED_TRACE(texto);
            const QString antes = descripcion();
            describe(texto);
            ahora += pasa;
            ficha = nueva;
            automatica();
            EXPECT_EQ(descripcion(), lee ? texto : antes);
        }
        ficha.reset(); // a token that cannot be asked reads
        automatica();
        EXPECT_EQ(descripcion(), "Tres");
        ficha = "1";
    }
    EXPECT_TRUE(dichos.isEmpty());
}

// A reading finished on its thread whose result arrives after the user reloaded, or after an
// action, is dropped.
TEST_F(RecargaDeListaSola, aReadingThatArrivesAfterAReloadOrAnActionIsDropped)
{
    recarga.recarga();
    const std::function<void()> despues[] = {[&] { recarga.recarga(); }, [&] { recarga.descartaLecturas(); }};
    for (const auto &paso : despues) {
        describe("Vieja");
        ficha = *ficha + "+";
        recarga.recargaAutomatica();
        QTest::qSleep(500); // it reads and finishes; its result waits for the event loop
        describe("Nueva");
        paso();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !recarga.enCurso(); }, 10000));
        EXPECT_EQ(descripcion(), "Nueva");
    }
}

// A query that fails leaves no rows of the view before it: the reloads the user asks for are
// told by the list's filling itself, the automatic ones say it once. A missing stored query
// leaves the rows of the view shown; after a switch to another view the list is emptied. Each
// reload the user asks for says why; automatic ones say it once.
TEST_F(RecargaDeListaSola, aMissingOrFailingQueryKeepsTheViewsOwnRowsButNeverAnothers)
{
    recarga.recarga();
    base.ejecuta("INSERT INTO Consulta VALUES ('ROTA', 'Rota', 'SELECT Op_Folio FROM NoHay')");
    clave = "ROTA";
    recarga.recarga();
    EXPECT_EQ(lista.itemCount(), 0);
    automaticas(3);
    recarga.recarga();
    EXPECT_EQ(entorno->mensajes.size(), 2u);

    clave = "CONTROL";
    recarga.recarga();
    base.ejecuta("DELETE FROM Consulta WHERE Cs_Cve_Consulta = 'CONTROL'");
    recarga.recarga();
    EXPECT_EQ(lista.itemCount(), 4);
    automaticas(2);
    recarga.recarga();
    EXPECT_EQ(lista.itemCount(), 4);

    clave = "OTRA";
    recarga.recarga();
    base.ejecuta("DELETE FROM Consulta WHERE Cs_Cve_Consulta = 'OTRA'");
    clave = "CONTROL";
    recarga.recarga();
    EXPECT_EQ(lista.itemCount(), 0);
    EXPECT_EQ(dichos, QStringList(3, "falta CONTROL"));
}

// A reading that finds nothing new touches no row, nor the sort or the selection; one that
// finds a changed state changes that row alone, with its new look.
TEST_F(RecargaDeListaSola, aReadingChangesOnlyTheRowsThatChanged)
{
    base.ejecuta(
        "UPDATE Consulta SET Cs_Sql = 'SELECT Op_Folio, Op_Estado_Oportunidad FROM Oportunidad ORDER BY Op_Folio'");
    recarga.recarga();
    lista.setSortKey(0);
    lista.setSorted(true);
    lista.selectItem(3);
    QSignalSpy reinicios(&lista.listModel(), &QAbstractItemModel::modelReset);
    QSignalSpy reordenados(&lista.listModel(), &QAbstractItemModel::layoutChanged);
    QSignalSpy cambios(&lista.listModel(), &QAbstractItemModel::dataChanged);
    ficha = "2";
    automatica();
    EXPECT_EQ(reinicios.count() + reordenados.count() + cambios.count(), 0);
    EXPECT_EQ(lista.selectedIndex(), 3);

    base.ejecuta("UPDATE Oportunidad SET Op_Estado_Oportunidad = 'GRIS' WHERE Op_Folio = 'F2'");
    ficha = "3";
    automatica();
    EXPECT_EQ(reinicios.count(), 0);
    ASSERT_FALSE(cambios.isEmpty());
    for (const QList<QVariant> &cambio : cambios)
        EXPECT_EQ(cambio.at(0).toModelIndex().row() + cambio.at(1).toModelIndex().row(), 2); // F2's row alone
    EXPECT_EQ(lista.subItemText(2, 1), "GRIS");
    EXPECT_EQ(lista.cellForeColor(2, 1), 0x808080);
    EXPECT_EQ(lista.selectedIndex(), 3);
}

using RecargaDeListaSolaPostgreSQL = RecargaDeListaSola;

// The readings share one server session, kept open between them.
TEST_F(RecargaDeListaSolaPostgreSQL, readingsKeepTheirSessionOpen)
{
    const auto sesiones = [this] {
        return base
            .valor("SELECT string_agg(CAST(pid AS TEXT), ' ' ORDER BY pid) FROM pg_stat_activity "
                   "WHERE datname = current_database()")
            .split(' ');
    };
    recarga.recarga();
    const QStringList antes = sesiones();
    ficha = "2";
    automatica();
    const QStringList conLector = sesiones();
    EXPECT_EQ(conLector.size(), antes.size() + 1);
    ficha = "3";
    automatica();
    EXPECT_EQ(sesiones(), conLector);
}

// The rows of a list as the user sees them: texts and looks in the order shown, the row
// selected and where the view stands.
QStringList vistaDe(Kit::ListView &lista)
{
    QStringList vista{QString::number(lista.selectedIndex()), QString::number(lista.verticalScrollBar()->value())};
    for (int fila = 1; fila <= lista.itemCount(); ++fila) {
        QStringList celdas{QString::number(lista.cellForeColor(fila, 0).value_or(-1)),
                           lista.cellBold(fila, 0) ? "negrilla" : ""};
        for (int columna = 0; columna < lista.columnCount(); ++columna)
            celdas << (columna == 0 ? lista.itemText(fila) : lista.subItemText(fila, columna));
        vista << celdas.join('|');
    }
    return vista;
}

// Another user inserts, describes, deletes, cancels, reactivates and changes the state of
// opportunities at random; after each round the list read by its changed rows alone is what
// a whole reading shows, in ascending and descending views, sorted by the user or not.
TEST_F(RecargaDeListaSolaPostgreSQL, readingOnlyTheChangedRowsShowsWhatAWholeReadingShows)
{
    QLoggingCategory::setFilterRules("teqvaro.recarga.debug=true");
    const Pruebas::Bitacora registro("teqvaro.recarga");
    Kit::ListView mezclada, entera; // the first asks the database what changed
    RecargaDeLista porCambios{mezclada, [this] { return consulta(); }, avisos()};
    RecargaDeLista completa{entera, [this] { return consulta(); }, avisos()};
    int commits = 0;
    completa.setFicha([&] { return QString::number(++commits); }); // always reads whole
    for (Kit::ListView *una : {&mezclada, &entera}) {
        una->resize(400, 150);
        una->show();
    }
    std::mt19937 azar(251);
    const auto uno = [&](int hasta) { return int(azar() % unsigned(hasta)); };
    for (int folio = 10; folio < 60; folio += 2)
        oportunidad(QString("F%1").arg(folio), "V1", "AZUL", "Alta");
    const QStringList estados = {"ROJO", "AZUL", "GRIS", "NADA"};
    const QStringList cambios = {
        "INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Estado_Oportunidad) VALUES ('F%1', "
        "'Nueva', 'V%2', '%3'), ('F%1x', 'Otra', 'V1', '%3') ON CONFLICT DO NOTHING",
        "UPDATE Oportunidad SET Op_Descripcion = 'D%2' WHERE Op_Folio = 'F%1'",
        "DELETE FROM Oportunidad WHERE Op_Folio = 'F%1'",
        "UPDATE Oportunidad SET Es_Cve_Estado = 'CA' WHERE Op_Folio = 'F%1'",
        "UPDATE Oportunidad SET Es_Cve_Estado = 'AC' WHERE Op_Folio = 'F%1'",
        "UPDATE Oportunidad SET Op_Estado_Oportunidad = '%3' WHERE Op_Folio = 'F%1'",
        "UPDATE Oportunidad SET Op_Monto = %2 WHERE Op_Folio = 'F%1'",
    };
    // Descending, with a column of figures whose decimals follow its rows.
    base.ejecuta("INSERT INTO Consulta SELECT 'DESC', 'Desc', replace(Cs_Sql, ' FROM', ', Op_Monto / 4 AS \"Cuarto\" "
                 "FROM') || ' DESC' FROM Consulta WHERE Cs_Cve_Consulta = 'CONTROL'");
    for (const char *vista : {"CONTROL", "DESC"}) {
        clave = vista;
        for (int ronda = 0; ronda < 30; ++ronda) {
            SCOPED_TRACE(QString("%1, ronda %2").arg(vista).arg(ronda).toStdString());
            if (ronda % 10 == 0) {
                porCambios.recarga();
                completa.recarga();
                for (Kit::ListView *una : {&mezclada, &entera}) {
                    una->setSortKey(1);
                    una->setSorted(ronda == 10);
                }
            }
            for (int cambio = 1 + uno(3); cambio > 0; --cambio)
                otro.Execute(cambios[uno(cambios.size())].arg(uno(70)).arg(1 + uno(5)).arg(estados[uno(4)]));
            QCoreApplication::processEvents(); // the scroll bars know the rows
            const int elegida = 1 + uno(std::max(1, entera.itemCount()));
            const int desplazamiento = uno(entera.verticalScrollBar()->maximum() + 1);
            for (Kit::ListView *una : {&mezclada, &entera}) {
                if (entera.itemCount() > 0)
                    una->selectItem(elegida);
                una->verticalScrollBar()->setValue(desplazamiento);
            }
            for (RecargaDeLista *una : {&porCambios, &completa}) {
                una->recargaAutomatica();
                ASSERT_TRUE(QTest::qWaitFor([&] { return !una->enCurso(); }, 10000));
            }
            ASSERT_EQ(vistaDe(mezclada), vistaDe(entera));
        }
    }
    QLoggingCategory::setFilterRules({});
    EXPECT_GE(registro.lineas().count("sólo las cambiadas"), 40) << registro.lineas().join(", ").toStdString();
}

} // namespace
