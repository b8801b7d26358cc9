// SQLite's write-ahead log: a writer does not wait for a reading, and a file that cannot
// take the log still opens.
#include "basedeprueba.h"

#include "datos/diario.h"

#include <gtest/gtest.h>

namespace {

TEST(DiarioSQLite, aWriterCommitsWhileAReadingIsUnderWay)
{
    const Pruebas::BaseDePrueba base;
    ASSERT_TRUE(Datos::usaDiarioAnticipado(*base.conexion()));
    base.ejecuta("INSERT INTO Variable VALUES ('A', '1'), ('B', '2')");
    Ado::Connection lector(base.direccion());
    const Ado::Recordset leyendo = lector.Execute("SELECT Va_Nombre FROM Variable");
    ASSERT_FALSE(leyendo.atEnd()); // the reading holds its snapshot open
    Ado::Connection escritor(base.direccion());
    escritor.Execute("UPDATE Variable SET Va_Valor = '3'"); // without the log: "database is locked"
    EXPECT_EQ(base.valor("SELECT MAX(Va_Valor) FROM Variable"), "3");
}

// Opened read-only, as from a read-only medium: the file keeps its mode and is read.
TEST(DiarioSQLite, aFileThatCannotTakeTheLogStillOpens)
{
    const Pruebas::BaseDePrueba base;
    Ado::DatabaseAddress soloLectura = base.direccion();
    soloLectura.readOnly = true;
    Ado::Connection abierta(soloLectura);
    EXPECT_FALSE(Datos::usaDiarioAnticipado(abierta));
    EXPECT_EQ(abierta.Execute("SELECT COUNT(*) FROM Variable").field(0).toInt(), 0);
    EXPECT_EQ(base.valor("PRAGMA journal_mode").toLower(), "delete");
}

} // namespace
