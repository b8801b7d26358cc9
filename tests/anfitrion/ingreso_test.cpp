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
        base.ejecuta(
            "INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre) VALUES ('GERENTE', 'Ana'), ('CAPTURISTA', 'Luis')");
        Servicios::ponContrasenaOperador("gerente", "Buena'1234");
    }

    Pruebas::BaseDePrueba base;
};

TEST_F(IngresoDelOperador, onlyTheRightPasswordOrTheDemosEmptyOneSignsIn)
{
    const std::tuple<bool, QString, QString, std::optional<QString>> casos[] = {
        // on the demo database?, code, password, who signs in
        {false, "GERENTE", "Buena'1234", "GERENTE"},
        {false, "gerente", "Buena'1234", "GERENTE"}, // the code as stored
        {false, "GERENTE", "buena'1", std::nullopt},
        {false, "GERENTE", "", std::nullopt},
        {false, "NADIE", "Buena'1234", std::nullopt},
        {false, "capturista", "", std::nullopt},        // no password yet: not on a real database
        {false, "capturista", "relleno", std::nullopt}, // nor with what the filler hash was made of
        {false, "%", "", std::nullopt},
        {true, "capturista", "", "CAPTURISTA"},
        {true, "GERENTE", "", std::nullopt}, // a password once set is asked even on the demo
        {true, "NADIE", "", std::nullopt},
    };
    for (const auto &[demo, codigo, contrasena, entra] : casos)
        EXPECT_EQ(Ingreso(demo).entra(codigo, contrasena), entra) << (codigo + '/' + contrasena).toStdString() << demo;
}

// A wrong password and an unknown code get one and the same refusal and the dialog stays
// open; the right password closes it with the code as stored.
TEST_F(IngresoDelOperador, theDialogRefusesAlikeAndAcceptsTheRightPassword)
{
    Ingreso ingreso(false);
    DialogoIngreso dialogo(ingreso, "gerente");
    dialogo.show();
    auto *contrasena = dialogo.findChild<QLineEdit *>("contrasena");
    const auto intenta = [&](const QString &codigo, const QString &texto) {
        dialogo.findChild<QLineEdit *>("codigo")->setText(codigo);
        contrasena->setText(texto);
        dialogo.findChild<QDialogButtonBox *>("botones")->button(QDialogButtonBox::Ok)->click();
        return dialogo.findChild<QLabel *>("aviso")->text();
    };

    EXPECT_EQ(intenta("gerente", "mala"), Ingreso::rechazo());
    EXPECT_EQ(intenta("NADIE", "Buena'1234"), Ingreso::rechazo());
    EXPECT_EQ(intenta("capturista", "relleno"), Ingreso::rechazo());
    EXPECT_TRUE(dialogo.isVisible() && contrasena->text().isEmpty());

    // A stored hash altered by hand lets nobody in, not even with the password it was made of.
    const QString huella = base.valor("SELECT Oc_Huella FROM Operador_Contrasena");
    QString cambiada = huella;
    cambiada[cambiada.size() - 5] = cambiada.at(cambiada.size() - 5) == u'A' ? u'B' : u'A';
    for (const QString &alterada : {cambiada, huella.chopped(1), huella + "A", huella.toUpper(), " " + huella}) {
        base.ejecuta("UPDATE Operador_Contrasena SET Oc_Huella = '" + alterada + "'");
        EXPECT_EQ(intenta("gerente", "Buena'1234"), Ingreso::rechazo()) << alterada.toStdString();
    }
    base.ejecuta("UPDATE Operador_Contrasena SET Oc_Huella = '" + huella + "'");

    intenta("gerente", "Buena'1234");
    EXPECT_EQ(dialogo.result(), QDialog::Accepted);
    EXPECT_EQ(dialogo.operador(), "GERENTE");
}

// From a code's fifth failure in a row each try of it waits longer, up to thirty seconds;
// other codes do not wait, and signing in clears the count. A code in other letters' case or
// with blanks around it is the same code.
TEST_F(IngresoDelOperador, fromTheFifthFailureInARowEachTryOfThatCodeWaitsLonger)
{
    using std::chrono::seconds;
    const Pruebas::BitacoraGrabada bitacora("teqvaro.servicios");
    std::vector<std::chrono::milliseconds> esperas;
    Ingreso ingreso(false, [&esperas](std::chrono::milliseconds tiempo) { esperas.push_back(tiempo); });
    const auto falla = [&ingreso](const QString &codigo, int veces) {
        for (int vez = 0; vez < veces; ++vez)
            EXPECT_EQ(ingreso.entra(codigo, "mala"), std::nullopt);
    };

    falla("gerente", 2);
    falla(" Gerente\t", 3);
    falla("CAPTURISTA", 1);
    EXPECT_TRUE(esperas.empty());

    falla(" GERENTE ", 7);
    EXPECT_EQ(esperas, (std::vector<std::chrono::milliseconds>{seconds(1), seconds(2), seconds(4), seconds(8),
                                                               seconds(16), seconds(30), seconds(30)}));

    esperas.clear();
    EXPECT_EQ(ingreso.entra("GERENTE", "Buena'1234"), "GERENTE");
    falla("GERENTE", 1);
    EXPECT_EQ(esperas, std::vector<std::chrono::milliseconds>{seconds(30)});
    // Every failure is logged with its code, never with what was typed.
    ASSERT_EQ(bitacora.lineas().size(), 14);
    EXPECT_TRUE(bitacora.lineas().first().contains("gerente"));
    EXPECT_FALSE(bitacora.lineas().join(' ').contains("mala"));
}

} // namespace
