// The statements of the actions on their own: the test database, another user's connection,
// and what each statement says happened.
#include "tablero.h"

#include "accionesoportunidad.h"

#include "ado/connection.h"

#include <QDateTime>

namespace {

using Cancelacion = AccionesSobreOportunidad::Cancelacion;

class AccionesSolas : public Pruebas::TableroDePrueba
{
protected:
    int cancelaciones(const QString &folio) const
    {
        return base.cuenta(
            "Bitacora",
            QStringLiteral("Bi_Entidad = 'OPORTUNIDAD' AND Bi_Clave = '%1' AND Bi_Accion = 'Cancelación'").arg(folio));
    }

    AccionesSobreOportunidad acciones{base.conexion(), QStringLiteral("OP3")};
    Ado::Connection otro{base.direccion()};
};

// The second cancellation, here or by another user first, writes nothing over the first.
TEST_F(AccionesSolas, aCancellationWritesTheRowAndOneAuditEntryOnlyOnceOrNothing)
{
    EXPECT_TRUE(acciones.sigueVigente("F1"));
    EXPECT_EQ(acciones.cancela("F1"), Cancelacion::Cancelada);
    EXPECT_EQ(campo("Es_Cve_Estado || '/' || Oper_Baja", "F1"), "CA/OP3");
    const QDateTime fecha = QDateTime::fromString(campo("Fecha_Baja", "F1"), "yyyy-MM-dd HH:mm:ss");
    EXPECT_NEAR(fecha.toSecsSinceEpoch(), QDateTime::currentSecsSinceEpoch(), 60);
    EXPECT_FALSE(acciones.sigueVigente("F1"));
    EXPECT_EQ(acciones.cancela("F1"), Cancelacion::YaEstabaCancelada);
    EXPECT_EQ(cancelaciones("F1"), 1);

    otro.Execute("UPDATE Oportunidad SET Es_Cve_Estado = 'CA', Oper_Baja = 'OTRO' WHERE Op_Folio = 'F2'");
    EXPECT_EQ(acciones.cancela("F2"), Cancelacion::YaEstabaCancelada);
    EXPECT_EQ(campo("Oper_Baja", "F2"), "OTRO");
    EXPECT_EQ(cancelaciones("F2"), 0);
    EXPECT_FALSE(acciones.sigueVigente("NO-HAY"));

    // A failed audit entry leaves the row as it was.
    base.ejecuta("DROP TABLE Bitacora");
    EXPECT_ANY_THROW(acciones.cancela("F3"));
    EXPECT_EQ(campo("Es_Cve_Estado", "F3"), "AC");
    EXPECT_FALSE(base.conexion()->inTransaction());
}

// PostgreSQL begins a nested BEGIN with a warning, so only SQLite can fail this way: somebody
// else's transaction on the shared connection is left as it was.
using AccionesSolasSQLite = AccionesSolas;

TEST_F(AccionesSolasSQLite, aTransactionThatCannotBeginIsNotRolledBack)
{
    const auto conexion = base.conexion();
    conexion->BeginTrans();
    conexion->Execute("INSERT INTO Bitacora VALUES ('X', 'Y', 'Z', NULL, NULL)");
    EXPECT_ANY_THROW(acciones.cancela("F1"));
    EXPECT_TRUE(conexion->inTransaction());
    EXPECT_EQ(base.cuenta("Bitacora", "Bi_Entidad = 'X'"), 1);
    conexion->RollbackTrans();
}

TEST_F(AccionesSolas, aStateIsWrittenOnlyOverTheStateTheUserSaw)
{
    base.ejecuta("UPDATE Oportunidad SET Op_Estado_Oportunidad = NULL WHERE Op_Folio = 'F3'");
    EXPECT_EQ(acciones.estadoActual("F1"), "ROJO");
    EXPECT_EQ(acciones.estadoActual("F3"), "");
    EXPECT_EQ(acciones.estadoActual("NO-HAY"), "");
    const std::vector<std::tuple<const char *, const char *, const char *, bool, const char *>> casos = {
        {"F1", "ROJO", "AZUL", true, "AZUL"},   {"F2", "ROJO", "GRIS", false, "AZUL"}, {"F3", "", "GRIS", true, "GRIS"},
        {"F4", "", "ROJO", false, "SINESTADO"}, {"NO-HAY", "", "ROJO", false, ""},
    };
    for (const auto &[folio, leido, elegido, escrito, queda] : casos) {
        SCOPED_TRACE(folio);
        EXPECT_EQ(acciones.cambiaEstado(folio, leido, elegido), escrito);
        EXPECT_EQ(campo("Op_Estado_Oportunidad", folio), queda);
    }
    EXPECT_EQ(campo("Oper_Ult_Modif", "F1"), "OP3");
}

} // namespace
