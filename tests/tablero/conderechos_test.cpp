// The board and the salesperson's login on a database the suite shared through one account,
// converted so that each person signs in as themselves: no row is lost, each person lists what
// their level lets them see and acts on it through the server's policies.
#include "tablero.h"

#include "frmLogin.h"
#include "respuestas.h"

#include "ado/session.h"
#include "datos/preparacion.h"
#include "servicios/contrasenaoperador.h"
#include "servicios/contrasenavendedor.h"

namespace {

const QString clave = "Clave de prueba 1";

class TableroConDerechosPostgreSQL : public Pruebas::TableroDePrueba
{
protected:
    void SetUp() override
    {
        TableroDePrueba::SetUp();
        Servicios::guardaContrasenaDeTodos(*base.conexion(), "Secreta1");
        const QString antes = filas();
        const QStringList hecho = Datos::convierteBase(base.direccion(),
                                                       {.administrador = "OP3", .contrasena = [] { return clave; }});
        EXPECT_TRUE(hecho.join(' ').contains("aún no contraseña")) << hecho.join('\n').toStdString();
        EXPECT_EQ(filas(), antes);
        Ado::Session::configure(base.comoOperador("OP3", clave));
        for (const char *operador : {"OP0", "OP1", "OP2"})
            Servicios::ponContrasenaOperador(operador, clave);
    }

    // Every table's rows, read as the server's administrator.
    QString filas() const
    {
        Ado::Connection dueno(base.direccion());
        QString cuentas;
        for (const char *tabla : {"Oportunidad", "Vendedor", "Operador", "Estado_Oportunidad", "Consulta", "Variable",
                                  "Vendedor_Contrasena", "Causa_Oportunidad_Perdida"})
            cuentas += dueno.Execute(QString("SELECT COUNT(*) FROM ") + tabla).field(0).toString() + ' ';
        return cuentas;
    }
};

TEST_F(TableroConDerechosPostgreSQL, eachPersonListsWhatTheirLevelSeesAndCancelsThroughTheServer)
{
    const std::tuple<const char *, const char *, QStringList> casos[] = {
        // operator, the salesperson whose login they give, what the board lists (each cancels the first)
        {"OP1", nullptr, {"F1"}},
        {"OP2", nullptr, {"F2", "F3"}},
        {"OP0", "V2", {"F3"}},
        {"OP3", nullptr, {"F4"}},
    };
    for (const auto &[operador, vendedor, listadas] : casos) {
        SCOPED_TRACE(operador);
        Ado::Session::configure(base.comoOperador(operador, clave));
        if (vendedor)
            Pruebas::alAparecer("frmLogin", [vendedor = QString(vendedor)](QWidget &ventana) {
                Pruebas::escribeLogin(static_cast<frmLogin &>(ventana), vendedor, "Secreta1");
                Pruebas::pulsa(ventana, "cmdAceptar");
            });
        abre(operador);
        EXPECT_EQ(folios(), listadas);
        lista().selectItem(1);
        Pruebas::pulsa(*tablero, "imgCancelar");
        EXPECT_FALSE(folios().contains(listadas.first()));
        tablero.reset();
    }
    Ado::Connection dueno(base.direccion());
    EXPECT_EQ(dueno
                  .Execute("SELECT string_agg(Op_Folio || ':' || Oper_Baja || ':' || Bi_Operador, ' ' ORDER BY "
                           "Op_Folio) FROM Oportunidad JOIN Bitacora ON Bi_Clave = Op_Folio WHERE Es_Cve_Estado = 'CA'")
                  .field(0)
                  .toString(),
              "F1:OP1:OP1 F2:OP2:OP2 F3:OP0:OP0 F4:OP3:OP3");
    EXPECT_TRUE(entorno->identificadores().filter("7500002").isEmpty())
        << entorno->identificadores().join(' ').toStdString();
}

} // namespace
