// The salesperson's login: its checks in their order, and the board's use of it.
#include "tablero.h"

#include "controles/flatbutton.h"
#include "controles/titulo.h"
#include "controles/txtzel.h"
#include "frmLogin.h"
#include "servicios/contrasenavendedor.h"
#include "servicios/frenodeintentos.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <vector>

namespace {

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

    std::vector<std::chrono::milliseconds> esperas;

    // Types what a user types and presses Aceptar with the focus on the password box.
    static void escribe(frmLogin &login, const QString &codigo, const QString &contrasena)
    {
        login.txtVn_Cve_Vendedor->editor()->setFocus();
        login.txtVn_Cve_Vendedor->setTexto(codigo);
        login.txtVn_Cve_Vendedor->Valida();
        login.txtContraseña->setTexto(contrasena);
        login.txtContraseña->editor()->setFocus();
    }

    // Answers the modal login as soon as it is shown.
    void respondeLogin(const std::function<void(frmLogin &)> &respuesta)
    {
        QTimer::singleShot(0, [respuesta] {
            auto *login = qobject_cast<frmLogin *>(QApplication::activeModalWidget());
            ASSERT_NE(login, nullptr);
            respuesta(*login);
        });
    }
};

TEST_F(Login, checksTheCodeTheNameThePasswordAndTheStatusInThatOrder)
{
    struct Caso
    {
        const char *codigo;
        const char *contrasena;
        const char *escrito;  // text the name box shows when it differs from the lookup's
        QStringList mensajes; // none: accepted
    };
    const std::vector<Caso> casos = {
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
    for (const Caso &caso : casos) {
        SCOPED_TRACE(std::string(caso.codigo) + " / " + caso.contrasena);
        frmLogin login;
        login.load();
        login.show();
        entorno->mensajes.clear();
        escribe(login, QString::fromUtf8(caso.codigo), QString::fromUtf8(caso.contrasena));
        if (caso.escrito)
            login.txtVn_Descripcion->setTexto(QString::fromUtf8(caso.escrito));
        login.cmdAceptar->click();
        EXPECT_EQ(entorno->identificadores(), caso.mensajes);
        EXPECT_EQ(login.Aceptado, caso.mensajes.isEmpty());
        EXPECT_EQ(login.isVisible(), !caso.mensajes.isEmpty());
        for (const Pruebas::MensajeMostrado &mensaje : entorno->mensajes) {
            EXPECT_EQ(mensaje.estilo, Servicios::Estilo::Exclamacion);
            EXPECT_EQ(mensaje.titulo, "Teqvaro");
            EXPECT_EQ(mensaje.propietario, &login);
        }
    }
}

// The server of a shared database keeps a count of its own (see the password tests).
class LoginSQLite : public Login
{ };

// Given five wrong passwords in a row for a salesperson, each further try waits longer before
// it is checked, with the same message as before; the right password still gets in.
TEST_F(LoginSQLite, fromTheFifthFailureInARowEachTryOfThatCodeWaitsLonger)
{
    using std::chrono::seconds;
    frmLogin login;
    login.load();
    login.show();
    entorno->mensajes.clear();
    for (int vez = 0; vez < 7; ++vez) {
        escribe(login, "V1", "mala");
        login.cmdAceptar->click();
    }
    EXPECT_EQ(esperas, (std::vector<std::chrono::milliseconds>{seconds(1), seconds(2)}));
    EXPECT_EQ(entorno->identificadores(), QStringList(7, "ERR-ID:7500032"));

    escribe(login, "V1", "Secreta1");
    login.cmdAceptar->click();
    EXPECT_EQ(esperas.back(), seconds(4));
    EXPECT_TRUE(login.Aceptado);
}

// Tab goes from the code straight to the password, the look-up filling the name; Aceptar
// pressed while the focus is in the code box only moves the focus on.
TEST_F(Login, theCodeBoxLeadsToThePasswordBox)
{
    frmLogin login;
    login.load();
    login.show();
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
    escribe(login, "V1", "mal");
    login.cmdAceptar->click();
    Q_EMIT login.findChild<Kit::Titulo *>("Titulo")->Salir();
    EXPECT_FALSE(login.Aceptado);
    EXPECT_FALSE(login.isVisible());
}

// The board opened by an operator without a salesperson asks for one: it shows the accepted
// salesperson's opportunities, or closes loading nothing when the login is cancelled.
TEST_F(Login, theBoardUsesTheAcceptedCodeOrClosesWhenCancelled)
{
    respondeLogin([](frmLogin &login) {
        escribe(login, "V2", "Secreta1");
        login.cmdAceptar->click();
    });
    abre("OP0");
    EXPECT_EQ(folios(), (QStringList{"F2", "F3"}));
    EXPECT_EQ(anfitrion.cierres, 0);

    tablero.reset();
    respondeLogin([](frmLogin &login) { login.cmdCancelar->click(); });
    abre("OP0");
    EXPECT_EQ(anfitrion.cierres, 1);
    EXPECT_TRUE(folios().isEmpty());
    EXPECT_FALSE(tablero->isVisible());
}

} // namespace
