// The automatic reload in the board: its reading waits for the board's messages, gives way to
// this process's writes, and follows the board's tick count. What it reads and when, and
// which readings are dropped, are the reloading's own tests.
#include "tablero.h"

#include "ado/connection.h"
#include "controles/txtzel.h"

#include <QTest>
#include <QToolButton>

namespace {

class Recarga : public Pruebas::TableroDePrueba
{
protected:
    void SetUp() override
    {
        TableroDePrueba::SetUp();
        variable("CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES", "0");
    }

    // Ticks until one starts a reading (and the count starts over).
    void ticHastaQueLea() const
    {
        for (int vez = 0; vez < 10 && !tablero->recargaEnCurso(); ++vez)
            tic(1, false);
        EXPECT_TRUE(tablero->recargaEnCurso());
    }
    QString descripcion() const { return lista().subItemText(1, 1); }
    // Another user commits: a new description of F1.
    void otroDescribe(const QString &texto)
    {
        otro.Execute(QStringLiteral("UPDATE Oportunidad SET Op_Descripcion = '%1' WHERE Op_Folio = 'F1'").arg(texto));
        QTest::qSleep(2); // so that a reading from now on reads another time
    }

    Ado::Connection otro{base.direccion()};
};

// A reading whose result comes while one of the board's messages is open waits for the
// message to close; one that an explicit reload or an action came after is dropped.
TEST_F(Recarga, aReadingWaitsForAnOpenMessageAndIsDroppedWhenAReloadOrAnActionCameAfterIt)
{
    variable("CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES", "4");
    abre();
    tablero->findChild<Kit::txtZEL *>("txtBuscar")->setTexto("no está");
    // The user reads a message of the search while the timer reads the list.
    const auto lecturaDuranteUnMensaje = [&] {
        const QString antes = descripcion();
        entorno->alMostrar = [&](const Pruebas::MensajeMostrado &) {
            ticHastaQueLea();
            QTest::qWait(300);
            EXPECT_EQ(descripcion(), antes);
        };
        lista().setFocus();
        QTest::keyClick(&lista(), Qt::Key_F3);
        entorno->alMostrar = nullptr;
    };
    otroDescribe("Leída");
    lecturaDuranteUnMensaje();
    tic(1);
    EXPECT_EQ(descripcion(), "Leída");

    // An action comes after a reading that waits (an F5: the reloading's own tests).
    otroDescribe("Vieja");
    lecturaDuranteUnMensaje();
    lista().selectItem(1);
    Pruebas::eligeEstado("AZUL");
    tablero->findChild<QToolButton *>("imgEstadoOp")->click();
    tic(1); // not a reading tick: only what waited could be shown
    EXPECT_EQ(descripcion(), "Leída");
    EXPECT_EQ(lista().cellForeColor(1, 0), 0xFF0000); // the action's look stays
}

// SQLite locks the whole file against a write while a statement reads it, a PostgreSQL reading
// holds up no write: a reading off the user-interface thread gives way to a write of this process.
using RecargaSQLite = Recarga;

TEST_F(RecargaSQLite, aWriteOfThisProcessNeverWaitsForAReading)
{
    abre();
    base.ejecuta(QStringLiteral("UPDATE Consulta SET Cs_Sql = 'WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 "
                                "FROM n WHERE x < 5000000) SELECT ''F'' || x, x FROM n'"));
    tic(1, false);
    ASSERT_TRUE(tablero->recargaEnCurso());
    QTest::qWait(200); // well into its rows
    base.ejecuta("UPDATE Oportunidad SET Op_Descripcion = 'Escrita' WHERE Op_Folio = 'F1'");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !tablero->recargaEnCurso(); }, 10000));
    EXPECT_EQ(lista().itemCount(), 4); // the reading that gave way shows nothing
}

} // namespace
