// What a PostgreSQL server that keeps the rights lets each person do, tried as psql would:
// plain Qt SQL connections as each person's own login role, not through the program's layers.
#include "basedeprueba.h"

#include "errores.h"

#include "ado/session.h"
#include "ado/transaction.h"
#include "datos/derechos.h"
#include "datos/preparacion.h"
#include "datos/version.h"
#include "servicios/contrasenavendedor.h"
#include "servicios/usuarios.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

namespace {

const QString clave = "Clave de prueba 1";

// The demo's people: GERENTE (level 3, administrator), SUPERVISOR (level 2), VENDEDOR (level 1)
// and CAPTURISTA (no salesperson of their own, without the cancel and won options), who has
// given the password of V004 (level 1) in the salesperson's login.
class DerechosPostgreSQL : public testing::Test
{
protected:
    DerechosPostgreSQL()
    {
        Pruebas::vaciaPostgreSQL(*base.conexion());
        Datos::Preparacion preparacion{
            .administrador = "GERENTE", .demo = true, .oportunidadesDemo = 60, .contrasena = [] { return clave; }};
        Datos::preparaBase(base.direccion(), preparacion);
        Ado::Session::configure(como("GERENTE"));
        for (const char *operador : {"SUPERVISOR", "VENDEDOR", "CAPTURISTA"})
            Servicios::altaDeOperador(*Ado::Session::connection(), {operador, {}, {}, false, clave});
        Ado::Session::configure(como("CAPTURISTA"));
        Servicios::revisaContrasenaDeVendedor(*Ado::Session::connection(), "V004", "demo");
        Ado::Session::configure(base.direccion());
    }
    ~DerechosPostgreSQL() override
    {
        for (const QString &nombre : QSqlDatabase::connectionNames())
            if (nombre.startsWith("psql-"))
                QSqlDatabase::removeDatabase(nombre);
    }

    Ado::DatabaseAddress como(const QString &operador) const { return base.comoOperador(operador, clave); }

    // What a statement gives a person: "negado" when the server refuses it, the first value of
    // a query, the rows a change touched, or "hecho".
    QString intenta(const QString &operador, const QString &sentencia) const
    {
        const QString nombre = "psql-" + operador;
        QSqlDatabase conexion = QSqlDatabase::database(nombre, false);
        if (!conexion.isValid()) {
            const Ado::DatabaseAddress direccion = como(operador);
            conexion = QSqlDatabase::addDatabase("QPSQL", nombre);
            conexion.setHostName(direccion.host);
            conexion.setPort(direccion.port);
            conexion.setDatabaseName(direccion.database);
            conexion.setUserName(direccion.user);
            conexion.setPassword(direccion.password);
        }
        if (!conexion.isOpen() && !conexion.open())
            return "sin conexión: " + conexion.lastError().text();
        QSqlQuery consulta(conexion);
        if (!consulta.exec(sentencia))
            return "negado";
        if (consulta.isSelect())
            return consulta.next() ? consulta.value(0).toString() : "";
        return consulta.numRowsAffected() >= 0 ? QString::number(consulta.numRowsAffected()) : "hecho";
    }

    // The folios the board lists for a salesperson's condition, read as the tables' owner.
    QString folios(const QString &condicion) const
    {
        return base.valor("SELECT string_agg(Op_Folio, ',' ORDER BY Op_Folio) FROM Oportunidad JOIN Vendedor ON "
                          "Vn_Cve_Vendedor = Op_Cve_Vendedor WHERE "
                          + condicion);
    }

    Pruebas::BaseDePrueba base;
};

// Each person reads exactly the opportunities the board lists for their level, and the notes,
// closings and audit entries that go with them.
TEST_F(DerechosPostgreSQL, eachPersonReadsExactlyWhatTheBoardListsForTheirLevel)
{
    const QString todas = "SELECT string_agg(Op_Folio, ',' ORDER BY Op_Folio) FROM Oportunidad";
    const std::pair<const char *, const char *> casos[] = {
        {"GERENTE", "1 = 1"},
        {"SUPERVISOR", "Vn_Nivel = 2"},
        {"VENDEDOR", "Vn_Cve_Vendedor = 'V004'"},
        {"CAPTURISTA", "Vn_Cve_Vendedor = 'V004'"},
    };
    for (const auto &[operador, condicion] : casos) {
        EXPECT_FALSE(folios(condicion).isEmpty()) << operador;
        EXPECT_EQ(intenta(operador, todas), folios(condicion)) << operador;
    }
}

// Every way around the board a salesperson tried with psql is refused by the server: another's
// rows, the audit log, hashes and passwords, the configuration, levels and restrictions, the
// schema's version, another's password; what the screens do still goes through.
TEST_F(DerechosPostgreSQL, theServerRefusesEveryWayAroundTheBoard)
{
    const QString dueno = "\"" + base.direccion().database + ":dueno\"";
    const QString verificador = base.conexion()->passwordVerifier("x", clave);
    const QString ajena = "Op_Cve_Vendedor <> 'V004'";
    const QString propia = "Op_Folio = (SELECT MIN(Op_Folio) FROM Oportunidad WHERE Op_Cve_Vendedor = 'V004')";
    const std::tuple<const char *, QString, const char *> casos[] = {
        // who, what they try, what the server answers
        {"VENDEDOR", "UPDATE Oportunidad SET Op_Monto = 1, Op_Cve_Vendedor = 'V004' WHERE " + ajena, "0"},
        {"SUPERVISOR", "UPDATE Oportunidad SET Op_Monto = 1 WHERE Op_Cve_Vendedor = 'V004'", "0"},
        {"VENDEDOR", "UPDATE Oportunidad SET Op_Cve_Vendedor = 'V001' WHERE " + propia, "negado"},
        {"VENDEDOR", "UPDATE Oportunidad SET Op_Folio = 'X' WHERE " + propia, "negado"},
        {"VENDEDOR", "DELETE FROM Oportunidad WHERE " + propia, "negado"},
        {"VENDEDOR", "UPDATE Oportunidad SET Op_Monto = 2 WHERE " + propia, "1"},
        {"CAPTURISTA", "UPDATE Oportunidad SET Es_Cve_Estado = 'CA' WHERE " + propia, "negado"},
        {"CAPTURISTA", "INSERT INTO Cierre_Oportunidad VALUES ('OP-000001', 1, NULL, 'CAPTURISTA', '')", "negado"},
        {"VENDEDOR", "INSERT INTO Cierre_Oportunidad SELECT MAX(Op_Folio), 2, 1, 'GERENTE', '' FROM Oportunidad",
         "negado"},
        {"VENDEDOR", "DELETE FROM Bitacora", "negado"},
        {"GERENTE", "DELETE FROM Bitacora", "negado"},
        {"GERENTE", "TRUNCATE Bitacora", "negado"},
        {"VENDEDOR", "UPDATE Bitacora SET Bi_Accion = ''", "negado"},
        {"VENDEDOR", "INSERT INTO Bitacora VALUES ('OPORTUNIDAD', 'OP-000001', 'Falsa', 'GERENTE', '')", "negado"},
        {"VENDEDOR", "INSERT INTO Bitacora VALUES ('OPORTUNIDAD', 'OP-000001', 'Propia', 'VENDEDOR', '')", "1"},
        {"VENDEDOR", "SELECT COUNT(*) FROM Operador_Contrasena", "negado"},
        {"GERENTE", "SELECT COUNT(*) FROM Vendedor_Contrasena", "negado"},
        {"VENDEDOR", "SELECT COUNT(*) FROM Intento_Vendedor", "negado"},
        {"VENDEDOR", "SELECT COUNT(*) FROM Vendedor WHERE Vn_Password IS NOT NULL", "0"},
        {"VENDEDOR", "SELECT rolpassword FROM pg_authid", "negado"},
        {"VENDEDOR", "SELECT teqvaro_pon_contrasena_vendedor('V004', 'Nueva contraseña')", "negado"},
        {"VENDEDOR", "DELETE FROM Opcion_Restringida", "negado"},
        {"CAPTURISTA", "DELETE FROM Opcion_Restringida", "negado"},
        {"VENDEDOR", "UPDATE Vendedor SET Vn_Nivel = 3", "negado"},
        {"VENDEDOR", "UPDATE Operador SET Ope_Cve_Vendedor = 'V001'", "negado"},
        {"VENDEDOR", "INSERT INTO Operador_Rol VALUES ('x', 'GERENTE', NULL)", "negado"},
        {"VENDEDOR", "UPDATE Variable SET Va_Valor = ''", "negado"},
        {"VENDEDOR", "DELETE FROM Consulta", "negado"},
        {"VENDEDOR", "UPDATE Estado_Oportunidad SET Eo_Hexadecimal = '0'", "negado"},
        {"VENDEDOR", "UPDATE Causa_Oportunidad_Perdida SET Es_Cve_Estado = 'BA'", "negado"},
        {"VENDEDOR", "DELETE FROM Cambio", "negado"},
        {"VENDEDOR", "UPDATE Cambio_Horizonte SET Ch_Borrado = '0'", "negado"},
        {"VENDEDOR", "SELECT teqvaro_poda_cambios()", "negado"},
        {"VENDEDOR", "SELECT COUNT(*) > 0 FROM Cambio", "true"},
        {"VENDEDOR", "UPDATE Version_Esquema SET Ve_Version = 99", "negado"},
        {"GERENTE", "UPDATE Version_Esquema SET Ve_Version = 99", "negado"},
        {"GERENTE", "INSERT INTO Variable VALUES ('PRUEBA', 'x')", "1"},
        {"VENDEDOR", "SET ROLE " + dueno, "negado"},
        {"VENDEDOR", "ALTER ROLE \"" + como("GERENTE").user + "\" PASSWORD 'Otra contraseña'", "negado"},
        {"VENDEDOR", "SELECT teqvaro_pon_contrasena_operador('GERENTE', '" + verificador + "')", "negado"},
        {"SUPERVISOR", "SELECT teqvaro_alta_operador('YO', '', '', true, '" + verificador + "')", "negado"},
        {"VENDEDOR", "SELECT teqvaro_baja_operador('GERENTE')", "negado"},
        {"VENDEDOR", "SELECT 1 FROM teqvaro_pon_contrasena_operador('VENDEDOR', '" + verificador + "')", "1"},
    };
    for (const auto &[operador, sentencia, respuesta] : casos)
        EXPECT_EQ(intenta(operador, sentencia), respuesta) << operador << ": " << sentencia.toStdString();
    EXPECT_EQ(base.cuenta("Bitacora", "Bi_Accion = 'Falsa'"), 0);
    EXPECT_EQ(base.cuenta("Oportunidad", "Op_Monto = 1"), 0);
}

// An old schema is upgraded only by an administrator, acting as the tables' owner; any other
// person's host says whom to ask and which command, and changes nothing.
TEST_F(DerechosPostgreSQL, onlyAnAdministratorUpgradesTheSchemaAndAUserIsToldWhom)
{
    base.ejecuta("UPDATE Version_Esquema SET Ve_Version = 3");
    Ado::Connection vendedor(como("VENDEDOR"));
    const QString dicho = Pruebas::descripcionDe([&] { Datos::actualizaEsquema(vendedor); });
    EXPECT_TRUE(dicho.contains("versión 3 del esquema") && dicho.contains("--actualiza-esquema"))
        << dicho.toStdString();
    EXPECT_EQ(base.valor("SELECT Ve_Version FROM Version_Esquema"), "3");

    Ado::Connection gerente(como("GERENTE"));
    Ado::Transaction transaccion(gerente);
    Datos::aplicaDerechos(gerente); // what every upgrade ends with, as the owner
    transaccion.commit();
    EXPECT_EQ(intenta("VENDEDOR", "DELETE FROM Bitacora"), "negado");
}

} // namespace
