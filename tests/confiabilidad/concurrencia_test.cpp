// Two users on one PostgreSQL database, each with the board in a process of its own (the
// program kld251_otro_usuario): they act on the same opportunity at the same moment, and one
// sees what the other did.
#include "tablero.h"

#include <QProcess>
#include <QTest>

namespace {

// Both users stop at the board's question until the test lets them go on together.
const QString Candado = "7251";

class DosUsuariosPostgreSQL : public Pruebas::TableroDePrueba
{
protected:
    void SetUp() override
    {
        TableroDePrueba::SetUp();
        base.ejecuta("INSERT INTO Operador VALUES ('ANA', 'Ana', 'V9'), ('LUIS', 'Luis', 'V9')");
    }

    std::unique_ptr<QProcess> otroUsuario(const QString &operador, const QString &accion, const QString &folio,
                                          const QString &candado = {}) const
    {
        auto proceso = std::make_unique<QProcess>();
        proceso->start(KLD251_OTRO_USUARIO, {base.url(), operador, accion, folio, candado});
        return proceso;
    }

    // What the other desktop's user was told, one identifier and text a line.
    static QString termina(QProcess &proceso)
    {
        EXPECT_TRUE(proceso.waitForFinished(120000));
        EXPECT_EQ(proceso.exitCode(), 0) << proceso.readAllStandardError().toStdString();
        return QString::fromUtf8(proceso.readAllStandardOutput());
    }

    // Ana and Luis take the same action on F2, answering the board's question together.
    std::pair<QString, QString> aLaVez(const QString &accion)
    {
        Ado::Connection cerrojo(base.direccion());
        cerrojo.Execute("SELECT pg_advisory_lock(" + Candado + ")");
        const auto ana = otroUsuario("ANA", accion, "F2", Candado);
        const auto luis = otroUsuario("LUIS", accion, "F2", Candado);
        const QString enEspera = "SELECT count(*) FROM pg_locks WHERE locktype = 'advisory' AND objid = " + Candado
                                 + " AND NOT granted";
        const bool ambosEsperan = QTest::qWaitFor([&] { return base.valor(enEspera) == "2"; }, 120000);
        cerrojo.Execute("SELECT pg_advisory_unlock(" + Candado + ")");
        EXPECT_TRUE(ambosEsperan);
        return {termina(*ana), termina(*luis)};
    }
};

TEST_F(DosUsuariosPostgreSQL, bothCancelTheSameOpportunityAndExactlyOneCancellationStands)
{
    const auto [ana, luis] = aLaVez("cancela");
    // Each was asked; neither was told of a failure.
    EXPECT_EQ(ana, "ERR-ID:7500021 ¿Seguro que desea cancelar la oportunidad seleccionada?\n");
    EXPECT_EQ(luis, ana);
    // One of them cancelled F2 alone, and one audit entry names that one.
    const QString quien = base.valor("SELECT Oper_Baja FROM Oportunidad WHERE Op_Folio = 'F2'");
    EXPECT_TRUE(quien == "ANA" || quien == "LUIS") << quien.toStdString();
    EXPECT_EQ(base.valor("SELECT string_agg(Op_Folio, ',') FROM Oportunidad WHERE Es_Cve_Estado = 'CA'"), "F2");
    EXPECT_EQ(base.valor("SELECT string_agg(Bi_Operador, ',') FROM Bitacora"), quien);
}

TEST_F(DosUsuariosPostgreSQL, bothCloseTheSameOpportunityAsWonAndTheSecondIsRefused)
{
    const auto [ana, luis] = aLaVez("gana");
    EXPECT_EQ(base.cuenta("Cierre_Oportunidad"), 1);
    const bool ganoAna = base.valor("SELECT Ci_Operador FROM Cierre_Oportunidad") == "ANA";
    const auto [aceptado, rechazado] = ganoAna ? std::pair(ana, luis) : std::pair(luis, ana);
    EXPECT_EQ(aceptado.count(QLatin1Char('\n')), 1) << aceptado.toStdString(); // the question alone
    ASSERT_EQ(rechazado.count(QLatin1Char('\n')), 2) << rechazado.toStdString();
    EXPECT_TRUE(rechazado.section(QLatin1Char('\n'), 1, 1).contains("F2")) << rechazado.toStdString();
}

TEST_F(DosUsuariosPostgreSQL, aStateChangedByOneShowsInTheOthersNextRefresh)
{
    variable("CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES", "0");
    abre();
    const int renglon = int(folios().indexOf("F3")) + 1;
    ASSERT_EQ(lista().cellForeColor(renglon, 0), 0x808080);
    EXPECT_EQ(termina(*otroUsuario("ANA", "estado:ROJO", "F3")), QString());
    tic(1);
    EXPECT_EQ(lista().cellForeColor(renglon, 0), 0x0000FF);
    EXPECT_TRUE(lista().cellBold(renglon, 0));
    EXPECT_TRUE(entorno->mensajes.empty());
}

} // namespace
