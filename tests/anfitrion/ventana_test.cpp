// The main window with the real board, loaded by its registration name from the module's
// library as the host does: the board embedded keeps its life (load on the first activation,
// reload on returning from the host's screens, its exit), and the menus list the modules and
// the open windows.
#include "anfitrion.h"
#include "ayudas.h"
#include "basedeprueba.h"
#include "geometriaventana.h"
#include "modulos.h"
#include "traducciones.h"
#include "ventanaprincipal.h"

#include "controles/cbzel.h"
#include "controles/listview.h"
#include "datos/demo.h"
#include "runtime/componentregistry.h"
#include "runtime/regional.h"
#include "runtime/settings.h"
#include "servicios/accioneslista.h"
#include "servicios/menulista.h"
#include "servicios/servicios.h"

#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

using Pruebas::activa;
using Pruebas::ventanaAbierta;

const QString Tablero = "KLD251.Pantalla";

class VentanaConTablero : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(Runtime::ComponentLoader::registerLibrary(KLD251_BIBLIOTECA), Runtime::ResultCode::Ok);
    }

    void SetUp() override
    {
        Datos::cargaDemo(*base.conexion(), 5);
        // No automatic reload while a test runs: each reload here is one the test caused.
        base.ejecuta("UPDATE Variable SET Va_Valor = '30000' WHERE Va_Nombre = 'CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES'");
        Runtime::saveSetting("KLD251", "Settings", "VISTA", "0");
        Servicios::estableceOperador(operador);
        modulos = std::make_unique<Modulos>();
        ventana = std::make_unique<VentanaPrincipal>(*modulos, operador);
        tablero = ventana->abreModulo(Tablero);
        ventana->show();
        activa(*ventana);
    }

    void TearDown() override
    {
        ventana.reset();
        modulos.reset();
        qunsetenv("TEQVARO_CLAVE");
        // A window closed here saved its geometry, an export its folder.
        for (const char *ajustes : {"teqvaro", "Servicios"})
            QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                          + QString("/Teqvaro/%1.ini").arg(ajustes));
    }

    Kit::ListView &lista() const { return *tablero->findChild<Kit::ListView *>("lvOrdenes"); }

    QStringList folios() const
    {
        QStringList textos;
        for (int renglon = 1; renglon <= lista().itemCount(); ++renglon)
            textos << lista().itemText(renglon);
        return textos;
    }

    // The entries of a menu as the user opens it, separators left out; their texts; the one
    // with that text.
    static QList<QAction *> entradas(QMenu *menu)
    {
        Q_EMIT menu->aboutToShow();
        QList<QAction *> acciones = menu->actions();
        acciones.removeIf([](const QAction *accion) { return accion->isSeparator(); });
        return acciones;
    }
    static QStringList textos(QMenu *menu)
    {
        QStringList leidos;
        for (const QAction *accion : entradas(menu))
            leidos << accion->text();
        return leidos;
    }
    QAction *entrada(const char *nombre, const QString &texto) const
    {
        QMenu *menu = ventana->menuBar()->findChild<QMenu *>(nombre);
        const qsizetype indice = textos(menu).indexOf(texto);
        return entradas(menu).value(indice);
    }

    void eligeDeLista(const char *accion) const
    {
        entradas(ventana->findChild<QMenu *>("menuLista"));
        ventana->findChild<QAction *>(accion)->trigger();
    }

    void pulsaEnElTablero(const char *boton, bool contestaSi = false) const
    {
        if (contestaSi)
            Pruebas::alAparecer("Mensaje", [](QWidget &pregunta) { Pruebas::pulsa(pregunta, "cmdSi"); });
        tablero->findChild<QToolButton *>(boton)->click();
    }

    QString barra(const char *etiqueta) const { return ventana->findChild<QLabel *>(etiqueta)->text(); }

    const QString operador = "GERENTE";
    Pruebas::BaseDePrueba base;
    std::unique_ptr<Modulos> modulos;
    std::unique_ptr<VentanaPrincipal> ventana;
    QWidget *tablero = nullptr;
};

// The board loads on its first activation, and reloads on returning from one of the host's
// screens (here the new opportunity the board asked for, registered there) but not from
// another program; the status bar says whose board it is, what the list holds, and each
// action's outcome in words.
TEST_F(VentanaConTablero, theBoardLoadsAndReloadsOnReturnFromTheHostsScreensAndTheStatusBarTellsWhatItShows)
{
    EXPECT_EQ(folios(), (QStringList{"OP-000001", "OP-000002", "OP-000003", "OP-000004", "OP-000005"}));
    EXPECT_EQ(ventana->findChild<QLabel *>("lbBaseDeDatos")->toolTip(),
              "Base de datos: " + base.direccion().toDisplayString());
    EXPECT_EQ(barra("lbOperador"), "Operador: GERENTE · Vendedor: V001");
    EXPECT_EQ(barra("lbUltimaAccion"), "Se abrió «Control de oportunidades»");
    const auto contenido = [this] {
        const QString suma = "SELECT SUM(Op_Monto) FROM Oportunidad WHERE Op_Folio IN ('" + folios().join("','") + "')";
        const QString total = Runtime::formatAmount(base.valor(suma).toDouble());
        return QString("%1 oportunidades · %2 en total").arg(folios().size()).arg(total);
    };
    QTest::qWait(1); // the contents are summed once the reload's changes have settled
    EXPECT_EQ(barra("lbContenido"), contenido());

    lista().selectItem(2);
    pulsaEnElTablero("imgCancelar", true);
    QTest::qWait(1);
    EXPECT_EQ(barra("lbUltimaAccion"), "Oportunidad OP-000002 cancelada");
    EXPECT_EQ(barra("lbContenido"), contenido());
    EXPECT_TRUE(ventana->findChild<QLabel *>("lbConexion")->isHidden());

    // A reload that changes one amount reads only that row again.
    base.ejecuta("UPDATE Oportunidad SET Op_Monto = Op_Monto + 1000.25 WHERE Op_Folio = '" + lista().itemText(1) + "'");
    QTest::keyClick(&lista(), Qt::Key_F5);
    QTest::qWait(1);
    EXPECT_EQ(barra("lbContenido"), contenido());

    base.ejecuta("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Estado_Oportunidad, "
                 "Es_Cve_Estado) VALUES ('OP-000900', 'Nueva', 'V003', 'PRO', 'AC')");
    Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
    QApplication::setActiveWindow(nullptr);
    Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
    activa(*ventana);
    EXPECT_FALSE(folios().contains("OP-000900"));

    pulsaEnElTablero("imgNuevo");
    QWidget *forma = ventanaAbierta("frmKLD242");
    ASSERT_NE(forma, nullptr);
    forma->findChild<QLineEdit *>("txtFolio")->setText("OP-000777");
    forma->findChild<QLineEdit *>("txtDescripcion")->setText("Póliza de soporte");
    auto *estado = forma->findChild<QComboBox *>("cboEstado");
    estado->setCurrentIndex(estado->findData("PRE"));
    activa(*forma);
    Pruebas::pulsa(*forma, "cmdGuardar");
    EXPECT_EQ(ventanaAbierta("frmKLD242"), nullptr);
    EXPECT_EQ(barra("lbUltimaAccion"), "Oportunidad OP-000777 registrada");
    activa(*ventana);
    EXPECT_TRUE(folios().contains("OP-000900") && folios().contains("OP-000777"));
}

TEST_F(VentanaConTablero, theMenusListTheModulesAndTheOpenWindowsWhichTheBoardsExitCloses)
{
    const QString otro = "KLD777.Pantalla";
    Runtime::ComponentRegistry().registerClass(otro, Runtime::Registration{"/no/existe/KLD777.so", "Pantalla"});
    EXPECT_EQ(textos(ventana->menuBar()->findChild<QMenu *>("menuModulos")), (QStringList{Tablero, otro, "&Salir"}));
    EXPECT_TRUE(entrada("menuModulos", Tablero)->isChecked());

    // A module that cannot be loaded is explained and the host goes on.
    const auto visto = Pruebas::respondeAviso();
    entrada("menuModulos", otro)->trigger();
    EXPECT_EQ(visto->texto, "No se pudo abrir el módulo KLD777.Pantalla.");
    EXPECT_TRUE(ventana->isVisible());
    Runtime::ComponentRegistry().unregisterClass(otro);

    ventana->anfitrion()->transacciones("KLD215", "ACCION=CONSULTA|DATO=C001");
    ventana->anfitrion()->transacciones("KLD242", "ACCION=CONSULTA|DATO=OP-000002");
    const QStringList abiertas{"Control de oportunidades", "Contacto — María Fernández", "Oportunidad OP-000002"};
    EXPECT_EQ(textos(ventana->menuBar()->findChild<QMenu *>("menuVentana")), abiertas);

    // Choosing a window brings it to the front, as choosing the module does for its screen.
    entrada("menuVentana", abiertas.at(1))->trigger();
    EXPECT_TRUE(QTest::qWaitForWindowActive(ventanaAbierta("frmKLD215"), 1000));
    entrada("menuModulos", Tablero)->trigger();
    EXPECT_TRUE(QTest::qWaitForWindowActive(ventana.get(), 1000));
    EXPECT_EQ(modulos->cargada(Tablero), tablero);

    // The board's exit closes the main window and its windows; the board's close handler ran:
    // it remembered the view.
    tablero->findChild<Kit::cbZel *>("cboVistas")->setIndice(1);
    pulsaEnElTablero("salir");
    EXPECT_FALSE(ventana->isVisible() || tablero->isVisible());
    EXPECT_EQ(Pruebas::ventanas("frmKLD215").size() + Pruebas::ventanas("frmKLD242").size(), 0);
    EXPECT_EQ(Runtime::getSetting("KLD251", "Settings", "VISTA", QString()), "1");
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
    EXPECT_TRUE(pantalla.contains(ventana->frameGeometry()));
    EXPECT_TRUE(ventana->width() <= 1100 && ventana->height() <= 700) << ventana->width() << "×" << ventana->height();
    EXPECT_NEAR(ventana->frameGeometry().center().x(), pantalla.center().x(), 2);

    const QRect dejada(pantalla.topLeft() + QPoint(30, 40), QSize(700, 460));
    EXPECT_EQ(reabierta([&](QWidget &v) { v.setGeometry(dejada); })->geometry(), dejada);
    const auto fuera = reabierta([](QWidget &v) { v.setGeometry(-3000, -2000, 4000, 3000); });
    fuera->show();
    EXPECT_TRUE(pantalla.contains(fuera->frameGeometry()));
    const auto maximizada = reabierta([](QWidget &v) { v.showMaximized(); });
    EXPECT_TRUE(maximizada->isMaximized() && pantalla.contains(maximizada->normalGeometry()));
    maximizada->show();
    EXPECT_TRUE(pantalla.contains(maximizada->frameGeometry()));
}

TEST(GeometriaVentana, aRectangleIsShrunkAndMovedInsideTheArea)
{
    const std::pair<QRect, QRect> casos[] = {
        {QRect(10, 20, 300, 200), QRect(10, 20, 300, 200)},
        {QRect(700, 550, 300, 200), QRect(500, 400, 300, 200)},
        {QRect(-50, -60, 1200, 900), QRect(0, 0, 800, 600)},
        {QRect(5000, 5000, 100, 100), QRect(700, 500, 100, 100)},
    };
    for (const auto &[deseado, esperado] : casos)
        EXPECT_EQ(GeometriaVentana::dentroDe(deseado, QRect(0, 0, 800, 600)), esperado) << deseado.x();
}

// At the window's least width the board's view, count and search stay side by side, readable,
// also when the count grows after a reload; the toolbar is never cut. (Wider, the board's own
// layout: its own tests.)
TEST_F(VentanaConTablero, atTheLeastWidthTheViewTheCountAndTheSearchStaySideBySide)
{
    ventana->resize(300, 200);
    EXPECT_EQ(ventana->width(), GeometriaVentana::TamanoMinimo.width());
    auto *cuenta = tablero->findChild<QLabel *>("lbOrdenes");
    const QWidget *vista = tablero->findChild<QWidget *>("cboVistas");
    const QWidget *busqueda = tablero->findChild<QWidget *>("txtBuscar");
    for (const int alto : {500, 600}) {
        cuenta->setText(alto == 500 ? "5 Oportunidades" : "1000000 Oportunidades");
        cuenta->adjustSize();
        ventana->resize(GeometriaVentana::TamanoMinimo.width(), alto);
        QCoreApplication::processEvents();
        EXPECT_LT(vista->geometry().right(), cuenta->x());
        EXPECT_LT(cuenta->geometry().right(), busqueda->x());
        EXPECT_TRUE(vista->width() >= 80 && busqueda->width() >= 60) << vista->width() << ", " << busqueda->width();
        EXPECT_GE(tablero->findChild<QWidget *>("Controles")->width(), tablero->width());
    }
}

// The Lista menu acts on the board's list without a selected row (nothing without a list, no
// summary without an "Estado" column); the export suggests a file named after the view and
// the day, in the last export's folder; a file that cannot be written is explained.
TEST_F(VentanaConTablero, theListMenuActsOnTheBoardsListWithoutASelectionAndExportsUnderTheViewsName)
{
    // Each entry enabled (+) or not (-): export, copy, summary, fit the columns.
    const auto habilitadas = [](VentanaPrincipal &v) {
        QString marcas;
        for (const QAction *accion : entradas(v.findChild<QMenu *>("menuLista")))
            marcas += accion->isEnabled() ? '+' : '-';
        return marcas;
    };
    lista().clearSelection();
    EXPECT_EQ(habilitadas(*ventana), "++++");
    VentanaPrincipal sinPantalla(*modulos, operador);
    EXPECT_EQ(habilitadas(sinPantalla), "----");
    QGuiApplication::clipboard()->clear();
    eligeDeLista("accCopiarFilas");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), Servicios::AccionesLista::textoTabulado(lista()));

    const QString hoy = QDate::currentDate().toString("yyyy-MM-dd");
    QTemporaryDir carpeta;
    const auto exporta = [&](const QString &archivo) {
        QString sugerido;
        Pruebas::alAparecer("dlgExportarCsv", [&](QWidget &ventanaDelDialogo) {
            auto &dialogo = static_cast<QFileDialog &>(ventanaDelDialogo);
            sugerido = dialogo.selectedFiles().value(0);
            dialogo.selectFile(carpeta.filePath(archivo));
            QMetaObject::invokeMethod(&dialogo, "accept");
        });
        eligeDeLista("accExportarCsv");
        return QFileInfo(sugerido);
    };
    const std::pair<QString, QString> casos[] = {
        // the view as the board named it, none, and one with signs a file name cannot hold
        {lista().exportName(), "oportunidades-todos-%1.csv"},
        {QString(), "oportunidades-%1.csv"},
        {"Abiertas / Mes: ¿Año?", "oportunidades-abiertas-mes-año-%1.csv"},
    };
    for (const auto &[vista, archivo] : casos) {
        lista().setExportName(vista);
        EXPECT_EQ(exporta(archivo.arg(hoy)).fileName(), archivo.arg(hoy));
    }
    const auto aviso = Pruebas::respondeAviso();
    EXPECT_EQ(exporta("no/existe/lista.csv").absolutePath(), QFileInfo(carpeta.path()).absoluteFilePath());
    EXPECT_EQ(aviso->texto, "No se pudo completar «Exportar a CSV…».");

    lista().replaceContents({"Folio", "Monto"}, {});
    EXPECT_EQ(habilitadas(*ventana), "++-+");
}

// Qt's own buttons and dialogs speak Spanish once the host loads Qt's translations.
TEST(Traducciones, qtsOwnButtonsSpeakSpanish)
{
    const QLocale antes;
    ASSERT_TRUE(instalaTraducciones(*qApp));
    const auto deja = qScopeGuard([&] {
        qDeleteAll(qApp->findChildren<QTranslator *>()); // each uninstalls itself
        QLocale::setDefault(antes);
    });
    const QDialogButtonBox botones(QDialogButtonBox::Cancel);
    EXPECT_EQ(botones.buttons().value(0)->text().remove('&') + ' ' + QLocale().name(), "Cancelar es_MX");
}

} // namespace
