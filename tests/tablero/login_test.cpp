// The salesperson's login: its checks in their order, and the board's use of it.
#include "tablero.h"

#include "controles/flatbutton.h"
#include "controles/titulo.h"
#include "controles/txtzel.h"
#include "frmLogin.h"
#include "respuestas.h"
#include "servicios/contrasenavendedor.h"
#include "servicios/frenodeintentos.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <chrono>
#include <vector>

namespace {

using Pruebas::escribeLogin;
using Pruebas::TableroDePrueba;

class Login : public TableroDePrueba
{
protected:
    void SetUp() override
    {
        TableroDePrueba::SetUp();
        base.ejecuta("INSERT INTO Vendedor VALUES ('VB', 'De baja', 1, NULL, 'BA'), ('VM', 'Manipulada', 1, NULL, "
                     "'AC'), ('VS', 'Sin clave', 1, NULL, 'AC'), ('VN', 'Por renovar', 1, NULL, 'AC')");
        Servicios::guardaContrasenaDeTodos(*base.conexion(), "Secreta1");
        base.ejecuta("UPDATE Vendedor_Contrasena SET Vc_Huella = 'x' || Vc_Huella WHERE Vc_Cve_Vendedor = 'VM'");
        base.ejecuta("DELETE FROM Vendedor_Contrasena WHERE Vc_Cve_Vendedor = 'VS'");
        base.ejecuta("UPDATE Vendedor_Contrasena SET Vc_Huella = NULL WHERE Vc_Cve_Vendedor = 'VN'");
        // Failures counted by earlier tests are forgotten, and no test sleeps.
        Servicios::frenoDeVendedores() = Servicios::FrenoDeIntentos(
            [this](std::chrono::milliseconds tiempo) { esperas.push_back(tiempo); });
    }

    // A login as the board shows it, no message shown yet.
    void muestra(frmLogin &login) const
    {
        login.load();
        login.show();
        entorno->mensajes.clear();
    }

    std::vector<std::chrono::milliseconds> esperas;
};

TEST_F(Login, checksTheCodeTheNameThePasswordAndTheStatusInThatOrder)
{
    // The code, the password, the text the name box shows when it differs from the look-up's,
    // the messages (none: accepted).
    const std::tuple<const char *, const char *, const char *, QStringList> casos[] = {
        {"NADIE", "Secreta1", nullptr, {"ERR-ID:7500028"}},
        {"NADIE", "", nullptr, {"ERR-ID:7500028"}},
        {"V1", "", nullptr, {"ERR-ID:7500029"}},
        {"XX", "Secreta1", "Alguien", {"ERR-ID:7500030"}},
        {"' OR '1'='1", "Secreta1", "Alguien", {"ERR-ID:7500030"}},
        {"VB", "Secreta1", nullptr, {"ERR-ID:7500031"}},
        {"V1", "secreta1", nullptr, {"ERR-ID:7500032"}},
        {"V1", "Secreta1 ", nullptr, {"ERR-ID:7500032"}},
        {"VM", "Secreta1", nullptr, {"ERR-ID:7500032"}},
        {"VS", "Secreta1", nullptr, {"ERR-ID:7500032"}},
        {"VN", "Secreta1", nullptr, {"ERR-ID:7500034"}},
        {"V1", "Secreta1", nullptr, {}},
    };
    for (const auto &[codigo, contrasena, escrito, mensajes] : casos) {
        SCOPED_TRACE(std::string(codigo) + " / " + contrasena);
        frmLogin login;
        muestra(login);
        escribeLogin(login, QString::fromUtf8(codigo), QString::fromUtf8(contrasena));
        if (escrito)
            login.txtVn_Descripcion->setTexto(QString::fromUtf8(escrito));
        login.cmdAceptar->click();
        EXPECT_EQ(entorno->identificadores(), mensajes);
        EXPECT_EQ(login.Aceptado, mensajes.isEmpty());
        EXPECT_EQ(login.isVisible(), !mensajes.isEmpty());
        for (const Pruebas::MensajeMostrado &mensaje : entorno->mensajes)
            EXPECT_EQ(std::tuple(mensaje.estilo, mensaje.titulo, mensaje.propietario.data()),
                      std::tuple(Servicios::Estilo::Exclamacion, QString("Teqvaro"), static_cast<QWidget *>(&login)));
    }
}

// The server of a shared database keeps a count of its own (see the password tests).
using LoginSQLite = Login;

TEST_F(LoginSQLite, fromTheFifthFailureInARowEachTryOfThatCodeWaitsLonger)
{
    using std::chrono::seconds;
    frmLogin login;
    muestra(login);
    for (int vez = 0; vez < 7; ++vez) {
        escribeLogin(login, "V1", "mala");
        login.cmdAceptar->click();
    }
    EXPECT_EQ(esperas, (std::vector<std::chrono::milliseconds>{seconds(1), seconds(2)}));
    EXPECT_EQ(entorno->identificadores(), QStringList(7, "ERR-ID:7500032"));

    escribeLogin(login, "V1", "Secreta1");
    login.cmdAceptar->click();
    EXPECT_EQ(esperas.back(), seconds(4));
    EXPECT_TRUE(login.Aceptado);
}

// Tab goes from the code straight to the password, the look-up filling the name; Aceptar
// pressed while the focus is in the code box only moves the focus on.
TEST_F(Login, theCodeBoxLeadsToThePasswordBox)
{
    frmLogin login;
    muestra(login);
    QApplication::setActiveWindow(&login);
    login.txtVn_Cve_Vendedor->editor()->setFocus();
    QTest::keyClicks(login.txtVn_Cve_Vendedor->editor(), "v2");
    QTest::keyClick(login.txtVn_Cve_Vendedor->editor(), Qt::Key_Tab);
    EXPECT_EQ(login.txtVn_Cve_Vendedor->Texto(), "V2");
    EXPECT_EQ(login.txtVn_Descripcion->Texto(), "Dos");
    EXPECT_TRUE(login.txtContraseña->editor()->hasFocus());
    QTest::keyClick(login.txtContraseña->editor(), Qt::Key_Tab);
    EXPECT_TRUE(login.cmdAceptar->hasFocus());
    QTest::keyClick(login.cmdAceptar, Qt::Key_Tab);
    EXPECT_TRUE(login.cmdCancelar->hasFocus());

    login.txtVn_Cve_Vendedor->editor()->setFocus();
    QMetaObject::invokeMethod(login.cmdAceptar, "Click");
    EXPECT_TRUE(entorno->mensajes.empty());
    EXPECT_FALSE(login.Aceptado);
    EXPECT_TRUE(login.txtContraseña->editor()->hasFocus());

    // After a refused try, the title bar's exit leaves it not accepted (Cancelar: below).
    escribeLogin(login, "V1", "mal");
    login.cmdAceptar->click();
    Q_EMIT login.findChild<Kit::Titulo *>("Titulo")->Salir();
    EXPECT_FALSE(login.Aceptado);
    EXPECT_FALSE(login.isVisible());
}

// The board opened by an operator without a salesperson asks for one: it shows the accepted
// salesperson's opportunities, or closes loading nothing when the login is cancelled.
TEST_F(Login, theBoardUsesTheAcceptedCodeOrClosesWhenCancelled)
{
    Pruebas::alAparecer("frmLogin", [](QWidget &login) {
        escribeLogin(static_cast<frmLogin &>(login), "V2", "Secreta1");
        Pruebas::pulsa(login, "cmdAceptar");
    });
    abre("OP0");
    EXPECT_EQ(folios(), (QStringList{"F2", "F3"}));
    EXPECT_EQ(anfitrion.cierres, 0);

    tablero.reset();
    Pruebas::alAparecer("frmLogin", [](QWidget &login) { Pruebas::pulsa(login, "cmdCancelar"); });
    abre("OP0");
    EXPECT_EQ(anfitrion.cierres, 1);
    EXPECT_TRUE(folios().isEmpty());
    EXPECT_FALSE(tablero->isVisible());
}

} // namespace
