// Signing the operator in: who gets in with which password, on the demo database and on any
// other, and what the dialog says to everyone else.
#include "ayudas.h"
#include "basedeprueba.h"

#include "dialogoingreso.h"
#include "ingreso.h"

#include "servicios/contrasenaoperador.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <vector>

namespace {

class IngresoDelOperador : public testing::Test
{
protected:
    IngresoDelOperador()
    {
        base.ejecuta(QStringLiteral("INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre) VALUES ('GERENTE', 'Ana')"));
        base.ejecuta(
            QStringLiteral("INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre) VALUES ('CAPTURISTA', 'Luis')"));
        Servicios::ponContrasenaOperador(QStringLiteral("gerente"), QStringLiteral("Buena'1"));
    }

    Pruebas::BaseDePrueba base;
};

TEST_F(IngresoDelOperador, onlyTheRightPasswordOrTheDemosEmptyOneSignsIn)
{
    const QString gerente = QStringLiteral("GERENTE");
    const std::tuple<bool, const char *, const char *, std::optional<QString>> casos[] = {
        // on the demo database?, code, password, who signs in
        {false, "GERENTE", "Buena'1", gerente},
        {false, "gerente", "Buena'1", gerente}, // the code as stored
        {false, "GERENTE", "buena'1", std::nullopt},
        {false, "GERENTE", "", std::nullopt},
        {false, "NADIE", "Buena'1", std::nullopt},
        {false, "capturista", "", std::nullopt}, // no password yet: not on a real database
        {false, "%", "", std::nullopt},
        {true, "capturista", "", QStringLiteral("CAPTURISTA")},
        {true, "GERENTE", "", std::nullopt}, // a password once set is asked even on the demo
        {true, "NADIE", "", std::nullopt},
    };
    for (const auto &[demo, codigo, contrasena, entra] : casos) {
        SCOPED_TRACE(std::string(codigo) + '/' + contrasena + (demo ? " demo" : ""));
        EXPECT_EQ(Ingreso(demo).entra(QString::fromUtf8(codigo), QString::fromUtf8(contrasena)), entra);
    }
}

// Given the dialog filled from --operador, when the user types a wrong password or an
// unknown code, then both get one and the same refusal and the dialog stays open; the right
// password closes it with the code as stored.
TEST_F(IngresoDelOperador, theDialogRefusesAlikeAndAcceptsTheRightPassword)
{
    Ingreso ingreso(false);
    DialogoIngreso dialogo(ingreso, QStringLiteral("gerente"));
    dialogo.show();
    auto *codigo = dialogo.findChild<QLineEdit *>(QStringLiteral("codigo"));
    auto *contrasena = dialogo.findChild<QLineEdit *>(QStringLiteral("contrasena"));
    auto *aviso = dialogo.findChild<QLabel *>(QStringLiteral("aviso"));
    QPushButton *entrar = dialogo.findChild<QDialogButtonBox *>(QStringLiteral("botones"))
                              ->button(QDialogButtonBox::Ok);
    const auto intenta = [&](const QString &clave, const QString &texto) {
        codigo->setText(clave);
        contrasena->setText(texto);
        entrar->click();
        return aviso->text();
    };

    const QString contrasenaMala = intenta(QStringLiteral("gerente"), QStringLiteral("mala"));
    EXPECT_EQ(intenta(QStringLiteral("NADIE"), QStringLiteral("Buena'1")), contrasenaMala);
    EXPECT_EQ(contrasenaMala, Ingreso::rechazo());
    EXPECT_TRUE(dialogo.isVisible());
    EXPECT_TRUE(contrasena->text().isEmpty());

    intenta(QStringLiteral("gerente"), QStringLiteral("Buena'1"));
    EXPECT_EQ(dialogo.result(), QDialog::Accepted);
    EXPECT_EQ(dialogo.operador(), QStringLiteral("GERENTE"));
}

// Given a code that failed five times in a row, each further try for it waits longer before
// it is checked, up to thirty seconds; other codes do not wait, and signing in clears the
// count.
TEST_F(IngresoDelOperador, fromTheFifthFailureInARowEachTryOfThatCodeWaitsLonger)
{
    using std::chrono::seconds;
    const Pruebas::BitacoraGrabada bitacora("teqvaro.servicios");
    std::vector<std::chrono::milliseconds> esperas;
    Ingreso ingreso(false, [&esperas](std::chrono::milliseconds tiempo) { esperas.push_back(tiempo); });
    const auto falla = [&ingreso](const QString &codigo, int veces) {
        for (int vez = 0; vez < veces; ++vez)
            EXPECT_EQ(ingreso.entra(codigo, QStringLiteral("mala")), std::nullopt);
    };

    falla(QStringLiteral("gerente"), 5);
    falla(QStringLiteral("CAPTURISTA"), 1);
    EXPECT_TRUE(esperas.empty());

    falla(QStringLiteral("GERENTE"), 7);
    EXPECT_EQ(esperas, (std::vector<std::chrono::milliseconds>{seconds(1), seconds(2), seconds(4), seconds(8),
                                                               seconds(16), seconds(30), seconds(30)}));

    esperas.clear();
    EXPECT_EQ(ingreso.entra(QStringLiteral("GERENTE"), QStringLiteral("Buena'1")), QStringLiteral("GERENTE"));
    falla(QStringLiteral("GERENTE"), 1);
    EXPECT_EQ(esperas, std::vector<std::chrono::milliseconds>{seconds(30)});
    // Every failure is logged with its code, never with what was typed.
    ASSERT_EQ(bitacora.lineas().size(), 14);
    EXPECT_TRUE(bitacora.lineas().first().contains(QStringLiteral("gerente")));
    EXPECT_FALSE(bitacora.lineas().join(QLatin1Char(' ')).contains(QStringLiteral("mala")));
}

} // namespace
