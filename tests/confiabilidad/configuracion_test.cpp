// Bad configuration and data: each case ends in the message the board defines for it, or
// in silence, never in a crash, and the board stays usable.
#include "tablero.h"

#include "controles/cbzel.h"
#include "respuestas.h"
#include "runtime/settings.h"

#include <QToolButton>

namespace {

struct Caso
{
    const char *valor;
    QStringList mensajes;
    int renglones;
};

class Configuracion : public Pruebas::TableroDePrueba
{
protected:
    struct Resultado
    {
        QStringList mensajes;
        int renglones = 0;
        int vistas = 0;
    };

    Resultado abreYCuenta()
    {
        entorno->mensajes.clear();
        abre();
        const Resultado resultado{entorno->identificadores(), lista().itemCount(),
                                  tablero->findChild<Controles::cbZel *>(QStringLiteral("cboVistas"))->NumElementos()};
        tablero.reset();
        return resultado;
    }

    void revisa(const char *que, const std::vector<Caso> &casos, const std::function<void(const QString &)> &pon)
    {
        for (const Caso &caso : casos) {
            SCOPED_TRACE(std::string(que) + " = «" + caso.valor + "»");
            pon(QString::fromUtf8(caso.valor));
            const Resultado resultado = abreYCuenta();
            EXPECT_EQ(resultado.mensajes, caso.mensajes);
            EXPECT_EQ(resultado.renglones, caso.renglones);
        }
    }
};

const QStringList sinMensaje;
const QStringList fallaDeCarga{QStringLiteral("ERR-ID:7500014")};

// The remembered view and the refresh count: a value that is no 16-bit number is reported
// as a failure of the load, and the board still opens on its first view with its rows.
TEST_F(Configuracion, unreadableNumbersAreReportedAndTheBoardStillOpens)
{
    revisa("VISTA",
           {{"abc", fallaDeCarga, 4},
            {"40000", fallaDeCarga, 4},
            {"1e10", fallaDeCarga, 4},
            {"-1", sinMensaje, 4},
            {"", sinMensaje, 4},
            {" 2 ", sinMensaje, 4}},
           [](const QString &valor) {
               Runtime::saveSetting(QStringLiteral("KLD251"), QStringLiteral("Settings"), QStringLiteral("VISTA"),
                                    valor);
           });
    Runtime::saveSetting(QStringLiteral("KLD251"), QStringLiteral("Settings"), QStringLiteral("VISTA"),
                         QStringLiteral("0"));
    revisa("CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES",
           {{"-5", sinMensaje, 4},
            {"0", sinMensaje, 4},
            {"1e3", sinMensaje, 4},
            {"", sinMensaje, 4},
            {"2.5", sinMensaje, 4},
            {"40000", fallaDeCarga, 4},
            {"abc", fallaDeCarga, 4}},
           [this](const QString &valor) { variable(QStringLiteral("CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES"), valor); });
}

// A service that fails during the load (here the variables' table is gone) is the load's
// failure: reported, and the rest of the load skipped.
TEST_F(Configuracion, aServiceFailingDuringTheLoadEndsTheLoad)
{
    base.ejecuta(QStringLiteral("DROP TABLE Variable"));
    const Resultado resultado = abreYCuenta();
    EXPECT_EQ(resultado.mensajes.value(0), QStringLiteral("ERR-ID:7500014"));
    EXPECT_EQ(resultado.vistas, 0);
}

// The list of views that cannot be read (its variable fails to read, the others do not) is
// reported by the routine that reads it, and no view is offered.
TEST_F(Configuracion, aListOfViewsThatCannotBeReadIsReportedByItsRoutine)
{
    base.ejecuta(QStringLiteral("ALTER TABLE Variable RENAME TO Variable_Guardada"));
    base.ejecuta(QStringLiteral(
        "CREATE VIEW Variable AS SELECT Va_Nombre, CASE WHEN Va_Nombre = "
        "'CRM_VISTA_CONTROL_OPORTUNIDADES' THEN CAST(abs(CAST(-9223372036854775808 AS BIGINT) + 0 * length(Va_Nombre)) "
        "AS TEXT) ELSE Va_Valor END AS Va_Valor FROM Variable_Guardada"));
    const Resultado resultado = abreYCuenta();
    EXPECT_EQ(resultado.mensajes, QStringList{QStringLiteral("ERR-ID:7500015")});
    EXPECT_EQ(resultado.vistas, 0);
}

// Malformed view lists give the views that are well formed; a key that names no stored
// query says so; a stored query that does not run leaves the list empty and says so (the
// list library's own message has no identifier).
TEST_F(Configuracion, viewListsAndStoredQueries)
{
    const QStringList sinConsulta{QStringLiteral("ERR-ID:7500016")};
    revisa("CRM_VISTA_CONTROL_OPORTUNIDADES",
           {{",,,", sinMensaje, 0},
            {"|", sinMensaje, 0},
            {"a|", sinMensaje, 0},
            {"|b", sinMensaje, 0},
            {"sin barra", sinMensaje, 0},
            {"   |   ", sinMensaje, 0},
            {"a|b|c", sinConsulta, 0},
            {"TODOS|NOEXISTE", sinConsulta, 0},
            {"TODOS|CONTROL,,x|", sinMensaje, 4},
            {"T|CONTROL|extra", sinMensaje, 4}},
           [this](const QString &valor) { variable(QStringLiteral("CRM_VISTA_CONTROL_OPORTUNIDADES"), valor); });
    revisa(
        "Cs_Sql", {{"SELEC * FROM {PARAMETROS}", {""}, 0}, {"SELECT 1 FROM NoHay WHERE {PARAMETROS}", {""}, 0}},
        [this](const QString &valor) { base.ejecuta(QStringLiteral("UPDATE Consulta SET Cs_Sql = '%1'").arg(valor)); });
}

// A colour that cannot be shown is reported once per reload and leaves the rows of that
// state in the default look; a Null weight is not bold.
TEST_F(Configuracion, coloursThatCannotBeShownAndNullWeights)
{
    const QStringList sinColor{QStringLiteral("ERR-ID:7500018")};
    revisa("Eo_Hexadecimal",
           {{"''", sinColor, 4},
            {"NULL", sinColor, 4},
            {"'&HZZ'", sinColor, 4},
            {"'1099511627776'", sinColor, 4},
            {"'-1'", sinColor, 4},
            {"'&H'", sinColor, 4},
            {"'&HFFFFFFFFF'", sinColor, 4},
            {"'abc'", sinColor, 4}},
           [this](const QString &valor) {
               base.ejecuta(QStringLiteral("UPDATE Estado_Oportunidad SET Eo_Hexadecimal = %1 "
                                           "WHERE Eo_Cve_Estado_Oportunidad = 'ROJO'")
                                .arg(valor));
           });
    base.ejecuta(QStringLiteral("UPDATE Estado_Oportunidad SET Eo_Hexadecimal = '&HFF', Eo_Negrilla = NULL"));
    entorno->mensajes.clear();
    abre();
    EXPECT_EQ(entorno->identificadores(), QStringList());
    EXPECT_EQ(lista().cellForeColor(1, 0), 0x0000FF);
    EXPECT_FALSE(lista().cellBold(1, 0));
}

// The state picker has 48 tiles: with none it opens empty and changes nothing, with 48 it
// shows them all, and a 49th is reported and the picker does not open.
TEST_F(Configuracion, noStatesFortyEightAndFortyNine)
{
    const auto cambiaEstado = [this](int estados) {
        base.ejecuta(QStringLiteral("DELETE FROM Estado_Oportunidad"));
        for (int numero = 0; numero < estados; ++numero)
            base.ejecuta(QStringLiteral("INSERT INTO Estado_Oportunidad VALUES ('E%1', 'Estado %1', '&H%2', 'NO')")
                             .arg(numero)
                             .arg(numero * 4, 0, 16));
        abre();
        entorno->mensajes.clear();
        lista().selectItem(1);
        bool abierto = false;
        Pruebas::alAparecer(QStringLiteral("frmEstados"), [&abierto](QWidget &selector) {
            abierto = true;
            Pruebas::pulsa(selector, QStringLiteral("cmdCancelar"));
        });
        tablero->findChild<QToolButton *>(QStringLiteral("imgEstadoOp"))->click();
        const QStringList mensajes = entorno->identificadores();
        tablero.reset();
        return std::make_pair(abierto, mensajes);
    };
    EXPECT_EQ(cambiaEstado(0), std::make_pair(true, sinMensaje));
    EXPECT_EQ(cambiaEstado(48), std::make_pair(true, sinMensaje));
    EXPECT_EQ(cambiaEstado(49), std::make_pair(false, QStringList{QStringLiteral("ERR-ID:7500027")}));
    EXPECT_EQ(base.cuenta(QStringLiteral("Oportunidad"), QStringLiteral("Op_Estado_Oportunidad LIKE 'E%'")), 0);
}

} // namespace
