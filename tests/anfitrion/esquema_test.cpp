// The schema's version: a database from before versions is brought up to date with its rows
// kept, a database newer than the program is refused untouched, and a step that fails leaves
// the database as it was.
#include "basedeprueba.h"
#include "errores.h"

#include "datos/version.h"

#include <gtest/gtest.h>

namespace {

class VersionDelEsquema : public testing::Test
{
protected:
    explicit VersionDelEsquema(int version = 0)
        : base(version)
    { }

    // The error actualizaEsquema raised, or "" when it raised none.
    QString errorAlActualizar() const
    {
        return Pruebas::descripcionDe([&] { Datos::actualizaEsquema(*base.conexion()); });
    }

    int version() const { return Datos::versionDeLaBase(*base.conexion()); }

    Pruebas::BaseDePrueba base;
};

class VersionUno : public VersionDelEsquema
{
protected:
    VersionUno()
        : VersionDelEsquema(1)
    { }
};

// Given a database as the field has it, the tables of esquema.sql and no version, the upgrade
// runs once, keeps its rows and leaves it where a new database starts.
TEST_F(VersionUno, aDatabaseFromBeforeVersionsIsUpgradedOnceToTheProgramsVersionKeepingItsRows)
{
    base.ejecuta("INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre) VALUES ('ANA', 'Ana')");
    ASSERT_EQ(version(), 1);

    EXPECT_EQ(errorAlActualizar(), QString());
    EXPECT_EQ(errorAlActualizar(), QString()); // nothing left to do the second time

    EXPECT_EQ(version(), Datos::versionDelPrograma());
    EXPECT_EQ(base.cuenta("Version_Esquema"), 1);
    EXPECT_EQ(base.valor("SELECT Ope_Nombre FROM Operador WHERE Ope_Cve_Operador = 'ANA'"), "Ana");
    EXPECT_EQ(base.cuenta("Operador_Contrasena"), 0);
}

// A database newer than the program is refused untouched. Given then an old database where a
// later step cannot be applied (its table is already there), the upgrade fails and the earlier
// steps, done in the same transaction, are undone.
TEST_F(VersionDelEsquema, aNewerDatabaseIsRefusedUntouchedAndAStepThatFailsUndoesTheWholeUpgrade)
{
    const int nueva = Datos::versionDelPrograma() + 1;
    base.ejecuta("UPDATE Version_Esquema SET Ve_Version = " + QString::number(nueva));
    EXPECT_TRUE(errorAlActualizar().contains("versión " + QString::number(nueva) + " del esquema"));
    EXPECT_EQ(version(), nueva);

    base.ejecuta("DROP TABLE Version_Esquema");
    EXPECT_FALSE(errorAlActualizar().isEmpty());
    EXPECT_EQ(version(), 1);
}

} // namespace
