// The host's command line: the standby the board's automatic readings go to.
#include "iniciosesion.h"
#include "opciones.h"

#include "runtime/error.h"

#include <gtest/gtest.h>

namespace {

// Named beside a PostgreSQL session, it must be a PostgreSQL server's; the help lists it.
TEST(Opciones, theReadingServerIsAPostgreSQLServerBesideAPostgreSQLSession)
{
    const QString servidor = "postgresql://ana@127.0.0.1/base";
    const QString reserva = "postgresql://127.0.0.1:5433/base";
    const std::vector<std::pair<QStringList, int>> casos = {
        // arguments, the standby's port (0: none, -1: refused)
        {{"--bd", servidor}, 0},
        {{"--bd", servidor, "--bd-lectura", reserva}, 5433},
        {{"--bd", "sqlite:/tmp/base.db", "--bd-lectura", reserva}, -1},
        {{"--bd", servidor, "--bd-lectura", "sqlite:/tmp/base.db"}, -1},
        {{"--bd", servidor, "--bd-lectura", "ftp://127.0.0.1/base"}, -1},
    };
    for (const auto &[argumentos, puerto] : casos) {
        SCOPED_TRACE(argumentos.join(' ').toStdString());
        const Opciones opciones = Opciones::lee(QStringList{"teqvaro"} + argumentos);
        ASSERT_TRUE(opciones.errores.isEmpty());
        try {
            const std::optional<Ado::DatabaseAddress> direccion = direccionDeLectura(
                opciones, Ado::DatabaseAddress::parse(opciones.baseDeDatos));
            EXPECT_EQ(direccion ? direccion->port : 0, puerto);
        } catch (const Runtime::RuntimeError &) {
            EXPECT_EQ(puerto, -1);
        }
    }
    EXPECT_TRUE(Opciones::texto({"teqvaro", "--help"}).contains("--bd-lectura <url>"));
}

} // namespace
