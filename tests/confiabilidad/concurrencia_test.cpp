// Two users on one PostgreSQL database, each with the board in a process of its own: they
// act on the same opportunity at the same moment, and one sees what the other did.
#include "tablero.h"

#include "ado/connection.h"
#include "ado/recordset.h"
#include "ado/session.h"
#include "publico.h"
#include "respuestas.h"
#include "runtime/conversions.h"

#include <QApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <QTextStream>
#include <QToolButton>

#include <cstdio>

namespace {

// Both users stop at the board's question until the test lets them go on together.
constexpr int candado = 7251;

struct Accion
{
    QString operador;
    QString accion; // "cancela", "gana" or "estado:<key>"
    QString folio;
};

// Another desktop: this same program, run with the filter of the test below and the action
// in its environment.
QProcess *otroUsuario(const QString &url, const Accion &accion, QObject *dueno)
{
    auto *proceso = new QProcess(dueno);
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("KLD251_OTRO_URL"), url);
    entorno.insert(QStringLiteral("KLD251_OTRO_OPERADOR"), accion.operador);
    entorno.insert(QStringLiteral("KLD251_OTRO_ACCION"), accion.accion);
    entorno.insert(QStringLiteral("KLD251_OTRO_FOLIO"), accion.folio);
    proceso->setProcessEnvironment(entorno);
    proceso->start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--database=postgresql"), QStringLiteral("--gtest_filter=OtroUsuario.actua")});
    return proceso;
}

// What the other desktop's user was told, one identifier and text per line.
QString termina(QProcess &proceso)
{
    EXPECT_TRUE(proceso.waitForFinished(120000));
    EXPECT_EQ(proceso.exitCode(), 0) << proceso.readAllStandardError().toStdString();
    QString mensajes;
    for (const QString &linea : QString::fromUtf8(proceso.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (linea.startsWith(QStringLiteral("MENSAJE ")))
            mensajes += linea.mid(8) + QLatin1Char('\n');
    }
    return mensajes;
}

class DosUsuarios : public Pruebas::TableroDePrueba
{
protected:
    void SetUp() override
    {
        if (Pruebas::motor() != Ado::Engine::PostgreSQL)
            GTEST_SKIP() << "two desktops share a PostgreSQL database";
        TableroDePrueba::SetUp();
        base.ejecuta(QStringLiteral("INSERT INTO Operador VALUES ('ANA', 'Ana', 'V9')"));
        base.ejecuta(QStringLiteral("INSERT INTO Operador VALUES ('LUIS', 'Luis', 'V9')"));
    }

    // Starts both users and lets them go on only once both are at the question.
    std::pair<QString, QString> aLaVez(const Accion &primera, const Accion &segunda)
    {
        Ado::Connection cerrojo(base.direccion());
        cerrojo.Execute(QStringLiteral("SELECT pg_advisory_lock(%1)").arg(candado));
        QObject dueno;
        QProcess *uno = otroUsuario(base.url(), primera, &dueno);
        QProcess *otro = otroUsuario(base.url(), segunda, &dueno);
        const bool ambosEsperan = QTest::qWaitFor(
            [&] {
                return base.valor(QStringLiteral("SELECT count(*) FROM pg_locks WHERE locktype = 'advisory' "
                                                 "AND objid = %1 AND NOT granted")
                                      .arg(candado))
                       == QStringLiteral("2");
            },
            120000);
        cerrojo.Execute(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(candado));
        EXPECT_TRUE(ambosEsperan);
        return {termina(*uno), termina(*otro)};
    }
};

TEST_F(DosUsuarios, bothCancelTheSameOpportunityAndExactlyOneCancellationStands)
{
    const auto [ana, luis] = aLaVez({QStringLiteral("ANA"), QStringLiteral("cancela"), QStringLiteral("F2")},
                                    {QStringLiteral("LUIS"), QStringLiteral("cancela"), QStringLiteral("F2")});
    // Each was asked; neither was told of a failure.
    EXPECT_EQ(ana, QStringLiteral("ERR-ID:7500021 ¿Seguro que desea cancelar la oportunidad seleccionada?\n"));
    EXPECT_EQ(luis, ana);
    const QString quien = base.valor(QStringLiteral("SELECT Oper_Baja FROM Oportunidad WHERE Op_Folio = 'F2'"));
    EXPECT_TRUE(quien == QStringLiteral("ANA") || quien == QStringLiteral("LUIS")) << quien.toStdString();
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Es_Cve_Estado FROM Oportunidad WHERE Op_Folio = 'F2'")),
              QStringLiteral("CA"));
    EXPECT_EQ(base.cuenta(QStringLiteral("Bitacora")), 1);
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Bi_Operador FROM Bitacora")), quien);
    EXPECT_EQ(base.cuenta(QStringLiteral("Oportunidad"), QStringLiteral("Es_Cve_Estado = 'CA'")), 1);
}

TEST_F(DosUsuarios, bothCloseTheSameOpportunityAsWonAndTheSecondIsRefused)
{
    const auto [ana, luis] = aLaVez({QStringLiteral("ANA"), QStringLiteral("gana"), QStringLiteral("F2")},
                                    {QStringLiteral("LUIS"), QStringLiteral("gana"), QStringLiteral("F2")});
    EXPECT_EQ(base.cuenta(QStringLiteral("Cierre_Oportunidad")), 1);
    const QString quien = base.valor(QStringLiteral("SELECT Ci_Operador FROM Cierre_Oportunidad"));
    const QString &rechazado = quien == QStringLiteral("ANA") ? luis : ana;
    const QString &aceptado = quien == QStringLiteral("ANA") ? ana : luis;
    EXPECT_EQ(aceptado.count(QLatin1Char('\n')), 1) << aceptado.toStdString(); // the question alone
    ASSERT_EQ(rechazado.count(QLatin1Char('\n')), 2) << rechazado.toStdString();
    EXPECT_TRUE(rechazado.section(QLatin1Char('\n'), 1, 1).contains(QStringLiteral("F2"))) << rechazado.toStdString();
}

TEST_F(DosUsuarios, aStateChangedByOneShowsInTheOthersNextRefresh)
{
    variable(QStringLiteral("CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES"), QStringLiteral("0"));
    abre();
    const int renglon = int(folios().indexOf(QStringLiteral("F3"))) + 1;
    ASSERT_EQ(lista().cellForeColor(renglon, 0), 0x808080);
    QObject dueno;
    QProcess *ana = otroUsuario(base.url(),
                                {QStringLiteral("ANA"), QStringLiteral("estado:ROJO"), QStringLiteral("F3")}, &dueno);
    EXPECT_EQ(termina(*ana), QString());
    tic(1);
    EXPECT_EQ(lista().cellForeColor(renglon, 0), 0x0000FF);
    EXPECT_TRUE(lista().cellBold(renglon, 0));
    EXPECT_TRUE(entorno->mensajes.empty());
}

// The other desktop's side: opens the board as its operator, selects the folio, acts, and
// writes what it was told to its standard output.
TEST(OtroUsuario, actua)
{
    const QString url = qEnvironmentVariable("KLD251_OTRO_URL");
    if (url.isEmpty())
        GTEST_SKIP() << "run by the tests of two users";
    const QString accion = qEnvironmentVariable("KLD251_OTRO_ACCION");
    Ado::Session::configure(Ado::DatabaseAddress::parse(url));
    Servicios::estableceOperador(qEnvironmentVariable("KLD251_OTRO_OPERADOR"));
    Pruebas::EntornoGrabador &entorno = Pruebas::iniciaModuloConGrabador();
    entorno.alMostrar = [&url](const Pruebas::MensajeMostrado &mensaje) {
        if (mensaje.estilo & Servicios::Estilo::SiNo) { // the question: wait for the other user
            Ado::Connection cerrojo(Ado::DatabaseAddress::parse(url));
            cerrojo.Execute(QStringLiteral("SELECT pg_advisory_lock_shared(%1)").arg(candado));
            cerrojo.Execute(QStringLiteral("SELECT pg_advisory_unlock_shared(%1)").arg(candado));
        }
    };
    Pruebas::AnfitrionGrabador anfitrion;
    {
        frmKLD251 tablero;
        tablero.setPadre(&anfitrion);
        tablero.show();
        QApplication::setActiveWindow(&tablero);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&tablero, 10000));
        auto &lista = *tablero.findChild<Controles::ListView *>(QStringLiteral("lvOrdenes"));
        for (int renglon = 1; renglon <= lista.itemCount(); ++renglon) {
            if (lista.itemText(renglon) == qEnvironmentVariable("KLD251_OTRO_FOLIO"))
                lista.selectItem(renglon);
        }
        ASSERT_NE(lista.selectedIndex(), 0);
        const auto pulsa = [&](const char *boton) {
            tablero.findChild<QToolButton *>(QString::fromUtf8(boton))->click();
        };
        if (accion == QStringLiteral("cancela")) {
            pulsa("imgCancelar");
        } else if (accion == QStringLiteral("gana")) {
            pulsa("imgGanada");
        } else {
            Pruebas::eligeEstado(accion.section(QLatin1Char(':'), 1));
            pulsa("imgEstadoOp");
        }
    }
    QTextStream salida(stdout);
    for (const Pruebas::MensajeMostrado &mensaje : entorno.mensajes)
        salida << "MENSAJE " << mensaje.idError << ' '
               << QString(mensaje.texto).replace(QStringLiteral("\r\n"), QStringLiteral(" / ")) << '\n';
    salida.flush();
    Publico::Termina();
    Ado::Session::reset();
}

} // namespace
