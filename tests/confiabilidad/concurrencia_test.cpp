// Two users on one PostgreSQL database, each with the board in a process of its own (the
// program kld251_otro_usuario): they act on the same opportunity at the same moment, and one
// sees what the other did.
#include "tablero.h"

#include <QProcess>
#include <QTest>

namespace {

// Both users stop at the board's question until the test lets them go on together.
const QString Candado = QStringLiteral("7251");

class DosUsuariosPostgreSQL : public Pruebas::TableroDePrueba
{
protected:
    void SetUp() override
    {
        TableroDePrueba::SetUp();
        base.ejecuta(QStringLiteral("INSERT INTO Operador VALUES ('ANA', 'Ana', 'V9')"));
        base.ejecuta(QStringLiteral("INSERT INTO Operador VALUES ('LUIS', 'Luis', 'V9')"));
    }

    std::unique_ptr<QProcess> otroUsuario(const QString &operador, const QString &accion, const QString &folio,
                                          const QString &candado = {}) const
    {
        auto proceso = std::make_unique<QProcess>();
        proceso->start(QStringLiteral(KLD251_OTRO_USUARIO), QStringList{base.url(), operador, accion, folio, candado});
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
        cerrojo.Execute(QStringLiteral("SELECT pg_advisory_lock(%1)").arg(Candado));
        const auto ana = otroUsuario(QStringLiteral("ANA"), accion, QStringLiteral("F2"), Candado);
        const auto luis = otroUsuario(QStringLiteral("LUIS"), accion, QStringLiteral("F2"), Candado);
        const QString enEspera = QStringLiteral("SELECT count(*) FROM pg_locks WHERE locktype = 'advisory' "
                                                "AND objid = %1 AND NOT granted")
                                     .arg(Candado);
        const bool ambosEsperan = QTest::qWaitFor([&] { return base.valor(enEspera) == QStringLiteral("2"); }, 120000);
        cerrojo.Execute(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(Candado));
        EXPECT_TRUE(ambosEsperan);
        return {termina(*ana), termina(*luis)};
    }
};

TEST_F(DosUsuariosPostgreSQL, bothCancelTheSameOpportunityAndExactlyOneCancellationStands)
{
    const auto [ana, luis] = aLaVez(QStringLiteral("cancela"));
    // Each was asked; neither was told of a failure.
    EXPECT_EQ(ana, QStringLiteral("ERR-ID:7500021 ¿Seguro que desea cancelar la oportunidad seleccionada?\n"));
    EXPECT_EQ(luis, ana);
    const QString quien = base.valor(QStringLiteral("SELECT Oper_Baja FROM Oportunidad WHERE Op_Folio = 'F2'"));
    EXPECT_TRUE(quien == QStringLiteral("ANA") || quien == QStringLiteral("LUIS")) << quien.toStdString();
    EXPECT_EQ(
        base.valor(QStringLiteral("SELECT string_agg(Op_Folio, ',') FROM Oportunidad WHERE Es_Cve_Estado = 'CA'")),
        QStringLiteral("F2"));
    EXPECT_EQ(base.cuenta(QStringLiteral("Bitacora")), 1);
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Bi_Operador FROM Bitacora")), quien);
}

TEST_F(DosUsuariosPostgreSQL, bothCloseTheSameOpportunityAsWonAndTheSecondIsRefused)
{
    const auto [ana, luis] = aLaVez(QStringLiteral("gana"));
    EXPECT_EQ(base.cuenta(QStringLiteral("Cierre_Oportunidad")), 1);
    const bool ganoAna = base.valor(QStringLiteral("SELECT Ci_Operador FROM Cierre_Oportunidad")) == "ANA";
    const QString &aceptado = ganoAna ? ana : luis;
    const QString &rechazado = ganoAna ? luis : ana;
    EXPECT_EQ(aceptado.count(QLatin1Char('\n')), 1) << aceptado.toStdString(); // the question alone
    ASSERT_EQ(rechazado.count(QLatin1Char('\n')), 2) << rechazado.toStdString();
    EXPECT_TRUE(rechazado.section(QLatin1Char('\n'), 1, 1).contains(QStringLiteral("F2"))) << rechazado.toStdString();
}

TEST_F(DosUsuariosPostgreSQL, aStateChangedByOneShowsInTheOthersNextRefresh)
{
    variable(QStringLiteral("CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES"), QStringLiteral("0"));
    abre();
    const int renglon = int(folios().indexOf(QStringLiteral("F3"))) + 1;
    ASSERT_EQ(lista().cellForeColor(renglon, 0), 0x808080);
    EXPECT_EQ(termina(*otroUsuario(QStringLiteral("ANA"), QStringLiteral("estado:ROJO"), QStringLiteral("F3"))),
              QString());
    tic(1);
    EXPECT_EQ(lista().cellForeColor(renglon, 0), 0x0000FF);
    EXPECT_TRUE(lista().cellBold(renglon, 0));
    EXPECT_TRUE(entorno->mensajes.empty());
}

} // namespace
