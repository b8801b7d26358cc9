// The main window with the real board, loaded by its registration name from the module's
// library as the host does: the board embedded keeps its life (load on the first
// activation, reload on later ones, F5, F3, its exit), and the menus list the modules and
// the open windows.
#include "anfitrion.h"
#include "ayudas.h"
#include "basedeprueba.h"
#include "modulos.h"
#include "respuestas.h"
#include "ventanaprincipal.h"

#include "controles/cbzel.h"
#include "controles/listview.h"
#include "controles/txtzel.h"
#include "datos/demo.h"
#include "runtime/componentregistry.h"
#include "runtime/settings.h"
#include "servicios/servicios.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>

namespace {

using Pruebas::activa;
using Pruebas::ventanaAbierta;

const QString Tablero = QStringLiteral("KLD251.Pantalla");

class VentanaConTablero : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(Runtime::ComponentLoader::registerLibrary(QStringLiteral(KLD251_BIBLIOTECA)), Runtime::ResultCode::Ok);
    }

    void SetUp() override
    {
        preparaVentana();
        ventana->show();
        activa(*ventana);
    }

    // The window with the board, not shown yet.
    void preparaVentana()
    {
        Datos::cargaDemo(*base.conexion(), 5);
        // No automatic reload while a test runs: each reload here is one the test caused.
        base.ejecuta(QStringLiteral("UPDATE Variable SET Va_Valor = '30000' WHERE Va_Nombre = "
                                    "'CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES'"));
        Runtime::saveSetting(QStringLiteral("KLD251"), QStringLiteral("Settings"), QStringLiteral("VISTA"), QStringLiteral("0"));
        Servicios::estableceOperador(operador);
        modulos = std::make_unique<Modulos>();
        ventana = std::make_unique<VentanaPrincipal>(*modulos, operador);
        tablero = ventana->abreModulo(Tablero);
    }

    void TearDown() override
    {
        ventana.reset();
        modulos.reset();
        qunsetenv("TEQVARO_CLAVE");
    }

    Controles::ListView &lista() const { return *tablero->findChild<Controles::ListView *>(QStringLiteral("lvOrdenes")); }

    QStringList folios() const
    {
        QStringList textos;
        for (int renglon = 1; renglon <= lista().itemCount(); ++renglon)
            textos << lista().itemText(renglon);
        return textos;
    }

    void oportunidad(const QString &folio) const
    {
        base.ejecuta(QStringLiteral("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, "
                                    "Op_Estado_Oportunidad, Es_Cve_Estado) VALUES ('%1', 'Nueva', 'V003', 'PRO', 'AC')")
                         .arg(folio));
    }

    // Goes to one of the host's screens and back, as the user does.
    void vaYVuelve()
    {
        ventana->anfitrion()->transacciones(QStringLiteral("KLD238"), QStringLiteral("ACCION=CONSULTAR|DATO=ORG01"));
        QWidget *ficha = ventanaAbierta(QStringLiteral("frmKLD238"));
        ASSERT_NE(ficha, nullptr);
        activa(*ficha);
        ficha->close();
        activa(*ventana);
    }

    static QStringList textos(QMenu *menu)
    {
        Q_EMIT menu->aboutToShow();
        QStringList leidos;
        for (QAction *accion : menu->actions()) {
            if (!accion->isSeparator())
                leidos << accion->text();
        }
        return leidos;
    }

    QAction *entrada(QMenu *menu, const QString &texto) const
    {
        Q_EMIT menu->aboutToShow();
        for (QAction *accion : menu->actions()) {
            if (accion->text() == texto)
                return accion;
        }
        return nullptr;
    }

    QMenu *menu(const QString &nombre) const { return ventana->menuBar()->findChild<QMenu *>(nombre); }

    QToolButton *boton(const QString &nombre) const { return tablero->findChild<QToolButton *>(nombre); }

    QString barra(const char *etiqueta) const { return ventana->findChild<QLabel *>(QString::fromUtf8(etiqueta))->text(); }

    QString operador = QStringLiteral("GERENTE");
    Pruebas::BaseDePrueba base;
    std::unique_ptr<Modulos> modulos;
    std::unique_ptr<VentanaPrincipal> ventana;
    QWidget *tablero = nullptr;
};

TEST_F(VentanaConTablero, theBoardFillsTheWindowAndLoadsOnItsFirstActivation)
{
    EXPECT_EQ(ventana->centralWidget(), tablero);
    EXPECT_EQ(tablero->objectName(), QStringLiteral("frmKLD251"));
    EXPECT_FALSE(tablero->isWindow());
    EXPECT_EQ(tablero->property("Padre").value<QObject *>(), ventana->anfitrion());
    EXPECT_EQ(ventana->windowTitle(), QStringLiteral("Teqvaro — Control de oportunidades"));
    EXPECT_EQ(folios(), (QStringList{"OP-000001", "OP-000002", "OP-000003", "OP-000004", "OP-000005"}));

    const QLabel *baseDeDatos = ventana->findChild<QLabel *>(QStringLiteral("lbBaseDeDatos"));
    EXPECT_EQ(baseDeDatos->toolTip(), QStringLiteral("Base de datos: ") + base.direccion().toDisplayString());
    EXPECT_TRUE(baseDeDatos->text().startsWith(QStringLiteral("Base: ")));
}

// The status bar says whose board it is, what the list holds, and each action's outcome in
// words, the board's and the host's screens' alike.
TEST_F(VentanaConTablero, theStatusBarTellsWhoseBoardItIsWhatItShowsAndWhatWasLastDone)
{
    EXPECT_EQ(barra("lbOperador"), QStringLiteral("Operador: GERENTE · Vendedor: V001"));
    EXPECT_EQ(barra("lbUltimaAccion"), QStringLiteral("Se abrió «Control de oportunidades»"));
    const auto contenido = [this] {
        QStringList listados;
        for (const QString &folio : folios())
            listados << QStringLiteral("'%1'").arg(folio);
        const double total = base.valor(QStringLiteral("SELECT SUM(Op_Monto) FROM Oportunidad WHERE Op_Folio IN (%1)")
                                            .arg(listados.join(QLatin1Char(',')))).toDouble();
        return QStringLiteral("%1 oportunidades · %2 en total")
            .arg(folios().size())
            .arg(QLocale(QLocale::Spanish, QLocale::Mexico).toCurrencyString(total, QStringLiteral("$")));
    };
    QTest::qWait(1); // the contents are summed once the reload's changes have settled
    EXPECT_EQ(barra("lbContenido"), contenido());

    lista().selectItem(2);
    const QString folio = lista().itemText(2);
    Pruebas::alAparecer(QStringLiteral("Mensaje"), [](QWidget &pregunta) { Pruebas::pulsa(pregunta, QStringLiteral("cmdSi")); });
    boton(QStringLiteral("imgCancelar"))->click();
    QTest::qWait(1);
    EXPECT_EQ(barra("lbUltimaAccion"), QStringLiteral("Oportunidad %1 cancelada").arg(folio));
    EXPECT_EQ(barra("lbContenido"), contenido());
    EXPECT_TRUE(ventana->findChild<QLabel *>(QStringLiteral("lbConexion"))->isHidden());
}

TEST_F(VentanaConTablero, theBoardReloadsOnLaterActivationsAndOnF5AndSearchesOnF3)
{
    oportunidad(QStringLiteral("OP-000900"));
    vaYVuelve();
    EXPECT_TRUE(folios().contains(QStringLiteral("OP-000900")));

    oportunidad(QStringLiteral("OP-000901"));
    QTest::keyClick(&lista(), Qt::Key_F5);
    EXPECT_TRUE(folios().contains(QStringLiteral("OP-000901")));

    lista().clearSelection();
    tablero->findChild<Controles::txtZEL *>(QStringLiteral("txtBuscar"))->setTexto(QStringLiteral("op-000003"));
    QTest::keyClick(&lista(), Qt::Key_F3);
    EXPECT_EQ(lista().itemText(lista().selectedIndex()), QStringLiteral("OP-000003"));
}

TEST_F(VentanaConTablero, returningFromAnotherProgramDoesNotReloadTheBoard)
{
    oportunidad(QStringLiteral("OP-000900"));
    Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
    QApplication::setActiveWindow(nullptr);
    Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
    activa(*ventana);
    EXPECT_FALSE(folios().contains(QStringLiteral("OP-000900")));

    vaYVuelve();
    EXPECT_TRUE(folios().contains(QStringLiteral("OP-000900")));
}

TEST_F(VentanaConTablero, aNewOpportunityFromTheBoardAppearsAtItsNextRefresh)
{
    boton(QStringLiteral("imgNuevo"))->click();
    QWidget *forma = ventanaAbierta(QStringLiteral("frmKLD242"));
    ASSERT_NE(forma, nullptr);
    EXPECT_EQ(forma->parentWidget(), ventana.get());
    forma->findChild<QLineEdit *>(QStringLiteral("txtFolio"))->setText(QStringLiteral("OP-000777"));
    forma->findChild<QLineEdit *>(QStringLiteral("txtDescripcion"))->setText(QStringLiteral("Póliza de soporte"));
    auto *estado = forma->findChild<QComboBox *>(QStringLiteral("cboEstado"));
    estado->setCurrentIndex(estado->findData(QStringLiteral("PRE")));
    activa(*forma);
    forma->findChild<QAbstractButton *>(QStringLiteral("cmdGuardar"))->click();
    EXPECT_EQ(ventanaAbierta(QStringLiteral("frmKLD242")), nullptr);
    EXPECT_EQ(barra("lbUltimaAccion"), QStringLiteral("Oportunidad OP-000777 registrada"));

    activa(*ventana);
    EXPECT_TRUE(folios().contains(QStringLiteral("OP-000777")));
}

TEST_F(VentanaConTablero, wonOnTheBoardGoesToTheRegistrationOfTheDemosTransaction)
{
    lista().selectItem(1);
    const QString folio = lista().itemText(1);
    Pruebas::alAparecer(QStringLiteral("Mensaje"), [](QWidget &pregunta) { Pruebas::pulsa(pregunta, QStringLiteral("cmdSi")); });
    boton(QStringLiteral("imgGanada"))->click();
    QWidget *registro = ventanaAbierta(QStringLiteral("frmOportunidadGanada"));
    ASSERT_NE(registro, nullptr);
    EXPECT_TRUE(registro->windowTitle().contains(QStringLiteral("KLD247")));
    activa(*registro);
    registro->findChild<QAbstractButton *>(QStringLiteral("cmdRegistrar"))->click();
    activa(*ventana);

    EXPECT_EQ(base.valor(QStringLiteral("SELECT Ci_Resultado FROM Cierre_Oportunidad WHERE Ci_Folio = '%1'").arg(folio)),
              QStringLiteral("1"));
    EXPECT_FALSE(folios().contains(folio));
}

TEST_F(VentanaConTablero, theMenusListTheInstalledModulesAndTheOpenWindows)
{
    Runtime::ComponentRegistry().registerClass(QStringLiteral("KLD777.Pantalla"),
                                               Runtime::Registration{QStringLiteral("/no/existe/KLD777.so"),
                                                                     QStringLiteral("Pantalla")});
    EXPECT_EQ(textos(menu(QStringLiteral("menuModulos"))),
              (QStringList{QStringLiteral("KLD251.Pantalla"), QStringLiteral("KLD777.Pantalla"), QStringLiteral("&Salir")}));
    EXPECT_TRUE(entrada(menu(QStringLiteral("menuModulos")), Tablero)->isChecked());

    // A module that cannot be loaded is explained and the host goes on.
    const auto visto = Pruebas::respondeAviso();
    entrada(menu(QStringLiteral("menuModulos")), QStringLiteral("KLD777.Pantalla"))->trigger();
    ASSERT_TRUE(visto->visto);
    EXPECT_EQ(visto->texto, QStringLiteral("No se pudo abrir el módulo KLD777.Pantalla."));
    EXPECT_TRUE(ventana->isVisible());
    Runtime::ComponentRegistry().unregisterClass(QStringLiteral("KLD777.Pantalla"));

    EXPECT_EQ(textos(menu(QStringLiteral("menuVentana"))), QStringList{QStringLiteral("Control de oportunidades")});
    ventana->anfitrion()->transacciones(QStringLiteral("KLD215"), QStringLiteral("ACCION=CONSULTA|DATO=C001"));
    ventana->anfitrion()->transacciones(QStringLiteral("KLD242"), QStringLiteral("ACCION=CONSULTA|DATO=OP-000002"));
    EXPECT_EQ(textos(menu(QStringLiteral("menuVentana"))),
              (QStringList{QStringLiteral("Control de oportunidades"), QStringLiteral("Contacto — María Fernández"),
                           QStringLiteral("Oportunidad OP-000002")}));

    // Choosing a window brings it to the front, as choosing the module does for its screen.
    entrada(menu(QStringLiteral("menuVentana")), QStringLiteral("Contacto — María Fernández"))->trigger();
    EXPECT_TRUE(QTest::qWaitForWindowActive(ventanaAbierta(QStringLiteral("frmKLD215")), 1000));
    entrada(menu(QStringLiteral("menuModulos")), Tablero)->trigger();
    EXPECT_TRUE(QTest::qWaitForWindowActive(ventana.get(), 1000));
    EXPECT_EQ(modulos->cargada(Tablero), tablero);

    // The board's own window list shows the same windows.
    auto *ventanasDelTablero = tablero->findChild<QMenu *>(QStringLiteral("menuVentanas"));
    ASSERT_NE(ventanasDelTablero, nullptr);
    QStringList listadas = textos(ventanasDelTablero);
    listadas.sort();
    EXPECT_EQ(listadas, (QStringList{QStringLiteral("Contacto — María Fernández"), QStringLiteral("Oportunidad OP-000002"),
                                     QStringLiteral("Teqvaro — Control de oportunidades")}));
}

TEST_F(VentanaConTablero, aboutNamesTheProgramAndTheSession)
{
    const auto visto = Pruebas::respondeAviso(QStringLiteral("AcercaDe"));
    ventana->findChild<QAction *>(QStringLiteral("accAcercaDe"))->trigger();
    ASSERT_TRUE(visto->visto);
    EXPECT_TRUE(visto->texto.startsWith(QStringLiteral("Teqvaro")));
    EXPECT_TRUE(visto->detalle.contains(QStringLiteral("Operador: GERENTE")));
}

TEST_F(VentanaConTablero, theBoardsExitClosesTheMainWindowAndItsWindows)
{
    tablero->findChild<Controles::cbZel *>(QStringLiteral("cboVistas"))->setIndice(1);
    ventana->anfitrion()->transacciones(QStringLiteral("KLD215"), QStringLiteral("ACCION=CONSULTA|DATO=C001"));
    ASSERT_NE(ventanaAbierta(QStringLiteral("frmKLD215")), nullptr);
    tablero->findChild<QToolButton *>(QStringLiteral("salir"))->click();
    EXPECT_FALSE(ventana->isVisible());
    EXPECT_FALSE(tablero->isVisible());
    EXPECT_EQ(ventanaAbierta(QStringLiteral("frmKLD215")), nullptr);
    // The board's close handler ran: it remembered the view.
    EXPECT_EQ(Runtime::getSetting(QStringLiteral("KLD251"), QStringLiteral("Settings"), QStringLiteral("VISTA"), QString()),
              QStringLiteral("1"));
}

// An operator without a salesperson meets the login when the board first activates.
class VentanaConLogin : public VentanaConTablero
{
protected:
    VentanaConLogin() { operador = QStringLiteral("ADMIN"); }
    void SetUp() override { preparaVentana(); }

    static void entra(QWidget &login, const QString &codigo, const QString &contrasena)
    {
        auto *vendedor = login.findChild<Controles::txtZEL *>(QStringLiteral("txtVn_Cve_Vendedor"));
        vendedor->setTexto(codigo);
        vendedor->Valida();
        auto *clave = login.findChild<Controles::txtZEL *>(QStringLiteral("txtContraseña"));
        clave->setTexto(contrasena);
        clave->editor()->setFocus();
        Pruebas::pulsa(login, QStringLiteral("cmdAceptar"));
    }
};

// A key that cannot be used is a failure of the password service, reported with its reason
// through the login's trap and logged; it is not a wrong password, and the login makes no key.
TEST_F(VentanaConLogin, aPasswordKeyThatCannotBeUsedIsReportedWithItsReasonAndNeverMadeAnew)
{
    struct Caso
    {
        const char *motivo;
        std::optional<QByteArray> contenido; // none: the file does not exist (a mistyped TEQVARO_CLAVE)
        QFile::Permissions permisos;
    };
    const auto soloDueno = QFile::ReadOwner | QFile::WriteOwner;
    const Caso casos[] = {
        {"no existe", std::nullopt, {}},
        {"otros usuarios", QByteArray(32, 'k'), soloDueno | QFile::ReadGroup | QFile::ReadOther},
        {"tamaño", QByteArray(10, 'k'), soloDueno},
    };
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("clave.bin"));
    const Pruebas::BitacoraGrabada bitacora("teqvaro.servicios");
    QStringList mensajes;
    Pruebas::alAparecer(QStringLiteral("frmLogin"), [&](QWidget &login) {
        // Whatever fails here, the modal login must not outlive the test.
        const auto cierra = qScopeGuard([&login] {
            if (login.isVisible())
                Pruebas::pulsa(login, QStringLiteral("cmdCancelar"));
        });
        qputenv("TEQVARO_CLAVE", ruta.toLocal8Bit());
        for (const Caso &caso : casos) {
            if (caso.contenido) {
                QFile clave(ruta);
                ASSERT_TRUE(clave.open(QIODevice::WriteOnly | QIODevice::Truncate));
                clave.write(*caso.contenido);
                clave.close();
                ASSERT_TRUE(clave.setPermissions(caso.permisos));
            }
            Pruebas::alAparecer(QStringLiteral("Mensaje"), [&](QWidget &caja) {
                const auto &mensaje = static_cast<QMessageBox &>(caja);
                mensajes << mensaje.text() + QLatin1Char(' ') + mensaje.informativeText();
                Pruebas::pulsa(caja, QStringLiteral("cmdAceptar"));
            });
            entra(login, QStringLiteral("V001"), Datos::ContrasenaDemo);
            EXPECT_EQ(QFile::exists(ruta), caso.contenido.has_value()) << caso.motivo;
        }
        qunsetenv("TEQVARO_CLAVE");
        entra(login, QStringLiteral("V001"), Datos::ContrasenaDemo);
    });
    ventana->show();
    activa(*ventana);

    ASSERT_EQ(mensajes.size(), std::size(casos));
    for (qsizetype i = 0; i < mensajes.size(); ++i) {
        SCOPED_TRACE(mensajes.at(i).toStdString());
        for (const QString &parte : {QStringLiteral("ERR-ID:7500033"), ruta, QString::fromUtf8(casos[i].motivo)})
            EXPECT_TRUE(mensajes.at(i).contains(parte)) << parte.toStdString();
        EXPECT_TRUE(bitacora.lineas().value(i).contains(QString::fromUtf8(casos[i].motivo)));
    }
    // Under the installation's own key the same login goes through.
    EXPECT_EQ(folios().size(), 5);
}

} // namespace
