// Bad configuration and data: each case ends in the message the board defines for it, or
// in silence, never in a crash, and the board stays usable.
#include "tablero.h"

#include "controles/cbzel.h"
#include "runtime/settings.h"

namespace {

struct Caso
{
    const char *donde; // the remembered view, a variable's name, or a statement taking the value as %1
    const char *valor;
    const char *mensaje; // the identifier of the one message shown ("" for one without), or none
    int renglones;
    int vistas;
};

const char *const FallaDeCarga = "ERR-ID:7500014";
const char *const SinColor = "ERR-ID:7500018"; // once per reload; the rows of that state keep the default look
const char *const Tiempo = "CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES";
const char *const Consulta = "UPDATE Consulta SET Cs_Sql = '%1'";
const char *const Color = "UPDATE Estado_Oportunidad SET Eo_Hexadecimal = %1 WHERE Eo_Cve_Estado_Oportunidad = 'ROJO'";
const char *const Sentencias = "%1"; // separated by "; "

const Caso casos[] = {
    // The remembered view and the refresh count: a value that is no 16-bit number is a
    // failure of the load, and the board still opens on its first view with its rows.
    // (Other remembered views: the board's own tests.)
    {"VISTA", "40000", FallaDeCarga, 4, 1},
    {"VISTA", " 2 ", nullptr, 4, 1},
    {Tiempo, "-5", nullptr, 4, 1},
    {Tiempo, "", nullptr, 4, 1},
    {Tiempo, "2.5", nullptr, 4, 1},
    {Tiempo, "40000", FallaDeCarga, 4, 1},
    {Tiempo, "abc", FallaDeCarga, 4, 1},
    // A stored query that does not run leaves the list empty and says so (the list library's
    // own message has no identifier). (Malformed view lists and missing queries: the board's
    // own tests.)
    {Consulta, "SELEC * FROM {PARAMETROS}", "", 0, 1},
    {Consulta, "SELECT 1 FROM NoHay WHERE {PARAMETROS}", "", 0, 1},
    {Color, "NULL", SinColor, 4, 1},
    {Color, "'1099511627776'", SinColor, 4, 1},
    {Color, "'-1'", SinColor, 4, 1},
    {Sentencias, "UPDATE Estado_Oportunidad SET Eo_Negrilla = NULL", nullptr, 4, 1}, // a Null weight is no failure
    // A service that fails during the load (the variables' table is gone) is the load's
    // failure: reported, and the rest of the load skipped.
    {Sentencias, "DROP TABLE Variable", FallaDeCarga, 0, 0},
    // The list of views that cannot be read (its variable fails to read, the others do not)
    // is reported by the routine that reads it, and no view is offered.
    {Sentencias,
     "ALTER TABLE Variable RENAME TO Guardada; CREATE VIEW Variable AS SELECT Va_Nombre, CASE WHEN Va_Nombre = "
     "'CRM_VISTA_CONTROL_OPORTUNIDADES' THEN CAST(abs(CAST(-9223372036854775808 AS BIGINT) + 0 * length(Va_Nombre)) "
     "AS TEXT) ELSE Va_Valor END AS Va_Valor FROM Guardada",
     "ERR-ID:7500015", 0, 0},
};

class Configuracion : public Pruebas::TableroDePrueba, public testing::WithParamInterface<Caso>
{
protected:
    void pon(const QString &donde, const QString &valor) const
    {
        if (donde == "VISTA")
            Runtime::saveSetting("KLD251", "Settings", donde, valor);
        else if (!donde.contains('%'))
            variable(donde, valor);
        else
            for (const QString &sentencia : donde.arg(valor).split("; "))
                base.ejecuta(sentencia);
    }
};

TEST_P(Configuracion, aBadValueEndsInItsMessageOrInSilenceAndTheBoardStillOpens)
{
    const Caso &caso = GetParam();
    SCOPED_TRACE(std::string(caso.donde) + " = «" + caso.valor + "»");
    pon(QString::fromUtf8(caso.donde), QString::fromUtf8(caso.valor));
    abre();
    EXPECT_EQ(entorno->identificadores(), caso.mensaje ? QStringList{QString::fromUtf8(caso.mensaje)} : QStringList());
    EXPECT_EQ(lista().itemCount(), caso.renglones);
    EXPECT_EQ(static_cast<Kit::cbZel *>(control("cboVistas"))->NumElementos(), caso.vistas);
}

INSTANTIATE_TEST_SUITE_P(Casos, Configuracion, testing::ValuesIn(casos));

} // namespace
