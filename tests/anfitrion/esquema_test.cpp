// The schema's version: a database from before versions is brought up to date with its rows
// kept, a database newer than the program is refused untouched, and a step that fails leaves
// the database as it was.
#include "basedeprueba.h"

#include "datos/version.h"
#include "runtime/error.h"

#include <gtest/gtest.h>

namespace {

class VersionDelEsquema : public testing::Test
{
protected:
    // The error actualizaEsquema raised, or "" when it raised none.
    QString errorAlActualizar() const
    {
        try {
            Datos::actualizaEsquema(*base.conexion());
        } catch (const Runtime::RuntimeError &error) {
            return error.description();
        }
        return {};
    }

    int version() const { return Datos::versionDeLaBase(*base.conexion()); }

    Pruebas::BaseDePrueba base;
};

// Given a database as the field has it, the tables of esquema.sql and no version, the upgrade
// runs once, keeps its rows and leaves it where a new database starts.
TEST_F(VersionDelEsquema, aDatabaseFromBeforeVersionsIsUpgradedOnceToTheProgramsVersionKeepingItsRows)
{
    EXPECT_EQ(version(), Datos::versionDelPrograma());
    base.ejecuta(QStringLiteral("DROP TABLE Version_Esquema"));
    base.ejecuta(QStringLiteral("DROP TABLE Operador_Contrasena"));
    base.ejecuta(QStringLiteral("INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre) VALUES ('ANA', 'Ana')"));
    ASSERT_EQ(version(), 1);

    EXPECT_EQ(errorAlActualizar(), QString());
    EXPECT_EQ(errorAlActualizar(), QString()); // nothing left to do the second time

    EXPECT_EQ(version(), Datos::versionDelPrograma());
    EXPECT_EQ(base.cuenta(QStringLiteral("Version_Esquema")), 1);
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Ope_Nombre FROM Operador WHERE Ope_Cve_Operador = 'ANA'")),
              QStringLiteral("Ana"));
    EXPECT_EQ(base.cuenta(QStringLiteral("Operador_Contrasena")), 0);
}

// A database newer than the program is refused untouched. Given then an old database where a
// later step cannot be applied (its table is already there), the upgrade fails and the earlier
// steps, done in the same transaction, are undone.
TEST_F(VersionDelEsquema, aNewerDatabaseIsRefusedUntouchedAndAStepThatFailsUndoesTheWholeUpgrade)
{
    const int nueva = Datos::versionDelPrograma() + 1;
    base.ejecuta(QStringLiteral("UPDATE Version_Esquema SET Ve_Version = %1").arg(nueva));
    EXPECT_TRUE(errorAlActualizar().contains(QStringLiteral("versión %1 del esquema").arg(nueva)));
    EXPECT_EQ(version(), nueva);

    base.ejecuta(QStringLiteral("DROP TABLE Version_Esquema"));
    EXPECT_FALSE(errorAlActualizar().isEmpty());
    EXPECT_EQ(version(), 1);
}

} // namespace
