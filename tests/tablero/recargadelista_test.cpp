// The list's reloading on its own: a list, the test database, a change token and a clock the
// test moves, and what the reloading tells the board.
#include "tablero.h"

#include "recargadelista.h"

#include "ado/connection.h"

#include <QSignalSpy>
#include <QTest>

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
    const std::vector<std::pair<std::function<void()>, const char *>> despues = {
        {[&] { recarga.recarga(); }, "Nueva"},
        {[&] { recarga.descartaLecturas(); }, "Nueva"},
    };
    for (const auto &[paso, vista] : despues) {
        describe("Vieja");
        ficha = *ficha + "+";
        recarga.recargaAutomatica();
        QTest::qSleep(500); // it reads and finishes; its result waits for the event loop
        describe("Nueva");
        paso();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !recarga.enCurso(); }, 10000));
        EXPECT_EQ(descripcion(), vista);
    }
}

// A missing stored query leaves the rows of the view shown; after a switch to another view
// the list is emptied. Each reload the user asks for says why; automatic ones say it once.
TEST_F(RecargaDeListaSola, aMissingQueryKeepsTheViewsOwnRowsButNeverAnothers)
{
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

// A query that fails leaves no rows of the view before it. The reloads the user asks for are
// told by the list's filling itself; the automatic ones say it once.
TEST_F(RecargaDeListaSola, aFailingQueryLeavesNoRowsOfTheViewBeforeAndIsToldOnceAutomatically)
{
    recarga.recarga();
    base.ejecuta("INSERT INTO Consulta VALUES ('ROTA', 'Rota', 'SELECT Op_Folio FROM NoHay')");
    clave = "ROTA";
    recarga.recarga();
    EXPECT_EQ(lista.itemCount(), 0);
    automaticas(3);
    recarga.recarga();
    EXPECT_EQ(entorno->mensajes.size(), 2u);
    EXPECT_TRUE(dichos.isEmpty());
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

} // namespace

namespace {

class RecargaDeListaSolaPostgreSQL : public RecargaDeListaSola
{
protected:
    QStringList sesiones()
    {
        QStringList pids;
        for (Ado::Recordset fila = otro.Execute("SELECT pid FROM pg_stat_activity WHERE datname = current_database() "
                                                "AND pid <> pg_backend_pid() ORDER BY pid");
             !fila.atEnd(); fila.moveNext())
            pids << fila.field(0).toString();
        return pids;
    }
};

// The readings share one server session, kept open between them.
TEST_F(RecargaDeListaSolaPostgreSQL, readingsKeepTheirSessionOpen)
{
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

} // namespace
