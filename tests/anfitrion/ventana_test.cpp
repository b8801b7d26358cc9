// The main window with the real board, loaded by its registration name from the module's
// library as the host does: the board embedded keeps its life (load on the first
// activation, reload on later ones, F5, F3, its exit), and the menus list the modules and
// the open windows.
#include "anfitrion.h"
#include "ayudas.h"
#include "basedeprueba.h"
#include "dialogoteclas.h"
#include "geometriaventana.h"
#include "modulos.h"
#include "respuestas.h"
#include "traducciones.h"
#include "ventanaprincipal.h"

#include "controles/cbzel.h"
#include "controles/listview.h"
#include "controles/txtzel.h"
#include "datos/demo.h"
#include "runtime/componentregistry.h"
#include "runtime/regional.h"
#include "runtime/settings.h"
#include "servicios/accioneslista.h"
#include "servicios/menulista.h"
#include "servicios/servicios.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTranslator>

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
        ASSERT_EQ(Runtime::ComponentLoader::registerLibrary(QStringLiteral(KLD251_BIBLIOTECA)),
                  Runtime::ResultCode::Ok);
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
        Runtime::saveSetting(QStringLiteral("KLD251"), QStringLiteral("Settings"), QStringLiteral("VISTA"),
                             QStringLiteral("0"));
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
        // A window closed here saved its geometry, an export its folder.
        for (const char *ajustes : {"teqvaro", "Servicios"})
            QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                          + QStringLiteral("/Teqvaro/%1.ini").arg(QLatin1String(ajustes)));
    }

    Controles::ListView &lista() const
    {
        return *tablero->findChild<Controles::ListView *>(QStringLiteral("lvOrdenes"));
    }

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

    // Chooses an entry of the Lista menu, as the user opens it and clicks.
    void eligeDeLista(const char *accion) const
    {
        Q_EMIT ventana->findChild<QMenu *>(QStringLiteral("menuLista"))->aboutToShow();
        ventana->findChild<QAction *>(QString::fromLatin1(accion))->trigger();
    }

    QToolButton *boton(const QString &nombre) const { return tablero->findChild<QToolButton *>(nombre); }

    QString barra(const char *etiqueta) const
    {
        return ventana->findChild<QLabel *>(QString::fromUtf8(etiqueta))->text();
    }

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
                                            .arg(listados.join(QLatin1Char(','))))
                                 .toDouble();
        return QStringLiteral("%1 oportunidades · %2 en total").arg(folios().size()).arg(Runtime::formatAmount(total));
    };
    QTest::qWait(1); // the contents are summed once the reload's changes have settled
    EXPECT_EQ(barra("lbContenido"), contenido());

    lista().selectItem(2);
    const QString folio = lista().itemText(2);
    Pruebas::alAparecer(QStringLiteral("Mensaje"),
                        [](QWidget &pregunta) { Pruebas::pulsa(pregunta, QStringLiteral("cmdSi")); });
    boton(QStringLiteral("imgCancelar"))->click();
    QTest::qWait(1);
    EXPECT_EQ(barra("lbUltimaAccion"), QStringLiteral("Oportunidad %1 cancelada").arg(folio));
    EXPECT_EQ(barra("lbContenido"), contenido());
    EXPECT_TRUE(ventana->findChild<QLabel *>(QStringLiteral("lbConexion"))->isHidden());

    // A reload that changes one amount reads only that row again.
    base.ejecuta(QStringLiteral("UPDATE Oportunidad SET Op_Monto = Op_Monto + 1000.25 WHERE Op_Folio = '%1'")
                     .arg(lista().itemText(1)));
    QTest::keyClick(&lista(), Qt::Key_F5);
    QTest::qWait(1);
    EXPECT_EQ(barra("lbContenido"), contenido());
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
    Pruebas::alAparecer(QStringLiteral("Mensaje"),
                        [](QWidget &pregunta) { Pruebas::pulsa(pregunta, QStringLiteral("cmdSi")); });
    boton(QStringLiteral("imgGanada"))->click();
    QWidget *registro = ventanaAbierta(QStringLiteral("frmOportunidadGanada"));
    ASSERT_NE(registro, nullptr);
    EXPECT_TRUE(registro->windowTitle().contains(QStringLiteral("KLD247")));
    activa(*registro);
    registro->findChild<QAbstractButton *>(QStringLiteral("cmdRegistrar"))->click();
    activa(*ventana);

    EXPECT_EQ(
        base.valor(QStringLiteral("SELECT Ci_Resultado FROM Cierre_Oportunidad WHERE Ci_Folio = '%1'").arg(folio)),
        QStringLiteral("1"));
    EXPECT_FALSE(folios().contains(folio));
}

TEST_F(VentanaConTablero, theMenusListTheInstalledModulesAndTheOpenWindows)
{
    Runtime::ComponentRegistry().registerClass(
        QStringLiteral("KLD777.Pantalla"),
        Runtime::Registration{QStringLiteral("/no/existe/KLD777.so"), QStringLiteral("Pantalla")});
    EXPECT_EQ(
        textos(menu(QStringLiteral("menuModulos"))),
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
    EXPECT_EQ(listadas,
              (QStringList{QStringLiteral("Contacto — María Fernández"), QStringLiteral("Oportunidad OP-000002"),
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
    EXPECT_EQ(
        Runtime::getSetting(QStringLiteral("KLD251"), QStringLiteral("Settings"), QStringLiteral("VISTA"), QString()),
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

// The window comes back as it was left, always inside the screen; the first time, at most
// 1100 × 700, centred.
TEST_F(VentanaConTablero, theWindowComesBackAsItWasLeftButAlwaysInsideTheScreen)
{
    const QRect pantalla = QGuiApplication::primaryScreen()->availableGeometry();
    const auto reabierta = [this](const std::function<void(VentanaPrincipal &)> &deja) {
        VentanaPrincipal anterior(*modulos, operador);
        anterior.show();
        deja(anterior);
        anterior.close();
        return std::make_unique<VentanaPrincipal>(*modulos, operador);
    };
    EXPECT_FALSE(ventana->windowIcon().isNull());
    EXPECT_TRUE(pantalla.contains(ventana->frameGeometry()));
    EXPECT_LE(ventana->width(), 1100);
    EXPECT_LE(ventana->height(), 700);
    EXPECT_NEAR(ventana->frameGeometry().center().x(), pantalla.center().x(), 2);

    const QRect dejada(pantalla.topLeft() + QPoint(30, 40), QSize(700, 460));
    EXPECT_EQ(reabierta([&](QWidget &v) { v.setGeometry(dejada); })->geometry(), dejada);

    for (const QRect fuera :
         {QRect(pantalla.right() - 100, pantalla.bottom() - 80, 500, 400), QRect(-3000, -2000, 4000, 3000)}) {
        SCOPED_TRACE(fuera.x());
        const auto otra = reabierta([&](QWidget &v) { v.setGeometry(fuera); });
        otra->show();
        EXPECT_TRUE(pantalla.contains(otra->frameGeometry()));
    }

    const auto maximizada = reabierta([](QWidget &v) { v.showMaximized(); });
    EXPECT_TRUE(maximizada->isMaximized());
    EXPECT_TRUE(pantalla.contains(maximizada->normalGeometry()));
    maximizada->show();
    EXPECT_TRUE(pantalla.contains(maximizada->frameGeometry()));
}

// Down to the window's least width the board's view, count and search stay side by side,
// readable, also when the count grows after a reload; the toolbar is never cut.
TEST_F(VentanaConTablero, atTheLeastWidthTheViewTheCountAndTheSearchStaySideBySide)
{
    ventana->resize(300, 200);
    EXPECT_GE(ventana->width(), GeometriaVentana::TamanoMinimo.width());
    auto *cuenta = tablero->findChild<QLabel *>(QStringLiteral("lbOrdenes"));
    const QWidget *partes[] = {tablero->findChild<QWidget *>(QStringLiteral("cboVistas")), cuenta,
                               tablero->findChild<QWidget *>(QStringLiteral("txtBuscar"))};
    for (const QString &leyenda : {QStringLiteral("5 Oportunidades"), QStringLiteral("1000000 Oportunidades")}) {
        cuenta->setText(leyenda);
        cuenta->adjustSize();
        for (const int ancho : {GeometriaVentana::TamanoMinimo.width(), 809, 1100}) {
            SCOPED_TRACE(QStringLiteral("%1 a %2").arg(leyenda).arg(ancho).toStdString());
            ventana->resize(ancho, 500);
            QCoreApplication::processEvents();
            for (int i = 0; i + 1 < 3; ++i)
                EXPECT_LT(partes[i]->geometry().right(), partes[i + 1]->x());
            EXPECT_LE(partes[2]->geometry().right(), lista().geometry().right());
            EXPECT_GE(partes[0]->width(), 80);
            EXPECT_GE(partes[2]->width(), 60);
            EXPECT_GE(tablero->findChild<QWidget *>(QStringLiteral("Controles"))->width(), tablero->width());
        }
    }
}

TEST(GeometriaVentana, aRectangleIsShrunkAndMovedInsideTheArea)
{
    const QRect area(0, 0, 800, 600);
    const std::pair<QRect, QRect> casos[] = {
        {QRect(10, 20, 300, 200), QRect(10, 20, 300, 200)},
        {QRect(700, 550, 300, 200), QRect(500, 400, 300, 200)},
        {QRect(-50, -60, 1200, 900), QRect(0, 0, 800, 600)},
        {QRect(5000, 5000, 100, 100), QRect(700, 500, 100, 100)},
    };
    for (const auto &[deseado, esperado] : casos)
        EXPECT_EQ(GeometriaVentana::dentroDe(deseado, area), esperado) << deseado.x();
}

// The Lista menu acts on the board's list without a selected row; without a list nothing
// in it is enabled, and the summary needs an "Estado" column.
TEST_F(VentanaConTablero, theListMenuActsOnTheBoardsListWithoutASelection)
{
    const auto habilitadas = [](VentanaPrincipal &v) {
        auto *menu = v.findChild<QMenu *>(QStringLiteral("menuLista"));
        Q_EMIT menu->aboutToShow();
        QStringList nombres;
        for (QAction *accion : menu->actions()) {
            if (accion->isEnabled() && !accion->isSeparator())
                nombres << accion->objectName();
        }
        return nombres;
    };
    lista().clearSelection();
    EXPECT_EQ(habilitadas(*ventana),
              (QStringList{"accExportarCsv", "accCopiarFilas", "accResumenEstados", "accAjustarColumnas"}));
    VentanaPrincipal sinPantalla(*modulos, operador);
    EXPECT_EQ(habilitadas(sinPantalla), QStringList());

    QGuiApplication::clipboard()->clear();
    eligeDeLista("accCopiarFilas");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), Servicios::AccionesLista::textoTabulado(lista()));
    EXPECT_EQ(QGuiApplication::clipboard()->text().count(QLatin1Char('\n')), 6); // the headers and five rows

    lista().replaceContents({QStringLiteral("Folio"), QStringLiteral("Monto")}, {});
    EXPECT_FALSE(habilitadas(*ventana).contains(QStringLiteral("accResumenEstados")));
}

// The export suggests a file named after the view and the day, in the folder of the last
// export; a file that cannot be written is explained and the host goes on.
TEST_F(VentanaConTablero, theExportSuggestsTheViewsNameAndTheDayInTheLastFolder)
{
    const QString hoy = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    QTemporaryDir carpeta;
    struct Caso
    {
        std::optional<QString> vista; // none: as the board named it
        QString sugerido;
    };
    const Caso casos[] = {
        {std::nullopt, QStringLiteral("oportunidades-todos-%1.csv").arg(hoy)},
        {QString(), QStringLiteral("oportunidades-%1.csv").arg(hoy)},
        {QStringLiteral("Abiertas / Mes: ¿Año?"), QStringLiteral("oportunidades-abiertas-mes-año-%1.csv").arg(hoy)},
    };
    for (const Caso &caso : casos) {
        if (caso.vista)
            lista().setProperty(Servicios::PropiedadNombreDeVista, *caso.vista);
        const QString elegido = carpeta.filePath(caso.sugerido);
        QString sugerido;
        Pruebas::alAparecer(QStringLiteral("dlgExportarCsv"), [&](QWidget &ventanaDelDialogo) {
            auto &dialogo = static_cast<QFileDialog &>(ventanaDelDialogo);
            sugerido = dialogo.selectedFiles().value(0);
            dialogo.selectFile(elegido);
            QMetaObject::invokeMethod(&dialogo, "accept");
        });
        eligeDeLista("accExportarCsv");
        EXPECT_EQ(QFileInfo(sugerido).fileName(), caso.sugerido);
        EXPECT_TRUE(QFile::exists(elegido));
    }

    const auto aviso = Pruebas::respondeAviso();
    Pruebas::alAparecer(QStringLiteral("dlgExportarCsv"), [&](QWidget &ventanaDelDialogo) {
        auto &dialogo = static_cast<QFileDialog &>(ventanaDelDialogo);
        EXPECT_EQ(QFileInfo(dialogo.selectedFiles().value(0)).absolutePath(),
                  QFileInfo(carpeta.path()).absoluteFilePath());
        dialogo.selectFile(carpeta.filePath(QStringLiteral("no/existe/lista.csv")));
        QMetaObject::invokeMethod(&dialogo, "accept");
    });
    eligeDeLista("accExportarCsv");
    ASSERT_TRUE(aviso->visto);
    EXPECT_EQ(aviso->texto, QStringLiteral("No se pudo completar «Exportar a CSV…»."));
}

// Qt's own buttons and dialogs speak Spanish once the host loads Qt's translations.
TEST(Traducciones, qtsOwnButtonsSpeakSpanish)
{
    const QLocale antes;
    ASSERT_TRUE(instalaTraducciones(*qApp));
    const auto deja = qScopeGuard([&] {
        for (QTranslator *traductor : qApp->findChildren<QTranslator *>())
            delete traductor; // uninstalls itself
        QLocale::setDefault(antes);
    });
    QDialogButtonBox botones(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    EXPECT_EQ(botones.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Cancelar"));
    EXPECT_EQ(botones.button(QDialogButtonBox::Save)->text().remove(QLatin1Char('&')), QStringLiteral("Guardar"));
    EXPECT_EQ(QLocale().name(), QStringLiteral("es_MX"));
}

// Ayuda → Teclas lists the board's keys, the same ones, word for word, as the README.
TEST_F(VentanaConTablero, theKeysDialogListsTheKeysOfTheReadme)
{
    QFile leeme(QFileInfo(QStringLiteral(__FILE__)).absoluteDir().filePath(QStringLiteral("../../README.md")));
    ASSERT_TRUE(leeme.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList delLeeme;
    bool enLaTabla = false;
    for (const QString &linea : QString::fromUtf8(leeme.readAll()).split(QLatin1Char('\n'))) {
        if (linea == QStringLiteral("| tecla | qué hace |"))
            enLaTabla = true;
        else if (enLaTabla && !linea.startsWith(QLatin1Char('|')))
            break;
        else if (enLaTabla && linea != QStringLiteral("|---|---|"))
            delLeeme << linea;
    }
    QStringList delDialogo;
    Pruebas::alAparecer(QStringLiteral("dlgTeclas"), [&delDialogo](QWidget &dialogo) {
        const auto *tabla = dialogo.findChild<QTableWidget *>(QStringLiteral("tblTeclas"));
        for (int fila = 0; fila < tabla->rowCount(); ++fila)
            delDialogo << QStringLiteral("| %1 | %2 |").arg(tabla->item(fila, 0)->text(), tabla->item(fila, 1)->text());
        Pruebas::pulsa(dialogo, QStringLiteral("cmdCerrar"));
    });
    ventana->findChild<QAction *>(QStringLiteral("accTeclas"))->trigger();
    EXPECT_EQ(delDialogo, delLeeme);
    EXPECT_GE(delDialogo.size(), 8);
}

} // namespace
