#include "ventanaprincipal.h"

#include "activacionincrustada.h"
#include "anfitrion.h"
#include "avisos.h"
#include "barradeestado.h"
#include "barradefiltro.h"
#include "dialogoteclas.h"
#include "geometriaventana.h"
#include "icono.h"
#include "menudelista.h"
#include "modulos.h"
#include "ventanas.h"

#include "ado/session.h"
#include "controles/listview.h"
#include "runtime/error.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>

namespace {

const QString nombreDelPrograma = QStringLiteral("Teqvaro");

bool esVentanaListada(const QWidget *widget)
{
    const Qt::WindowType tipo = widget->windowType();
    return widget->isVisible() && (tipo == Qt::Window || tipo == Qt::Dialog)
           && !qobject_cast<const QMessageBox *>(widget);
}

// The board's list says so when its view holds nothing; the list itself knows no domain, and
// the board leaves it to the window that shows it.
void rotulaListaVacia(const QWidget &pantalla)
{
    if (auto *lista = pantalla.findChild<Kit::ListView *>(QStringLiteral("lvOrdenes")))
        lista->setEmptyText(QStringLiteral("No hay oportunidades en esta vista"));
}

QString baseDeLaSesion()
{
    return Ado::Session::isConfigured() ? Ado::Session::address().toDisplayString() : QStringLiteral("(sin abrir)");
}

// The database in a few words for the status bar: the file's name, or the database and its
// server.
QString baseBreve()
{
    if (!Ado::Session::isConfigured())
        return QStringLiteral("(sin abrir)");
    const Ado::DatabaseAddress direccion = Ado::Session::address();
    if (direccion.engine == Ado::Engine::SQLite)
        return QFileInfo(direccion.path).fileName();
    return QStringLiteral("%1 en %2").arg(direccion.database, direccion.host);
}

} // namespace

// Two users' windows, or one user's on two databases, side by side: each title says whose
// and which.
QString VentanaPrincipal::tituloDeLaSesion() const
{
    return QStringLiteral("%1 — %2 · %3").arg(nombreDelPrograma, m_operador, baseBreve());
}

VentanaPrincipal::VentanaPrincipal(Modulos &modulos, QString operador, QWidget *parent)
    : QMainWindow(parent)
    , m_modulos(modulos)
    , m_operador(std::move(operador))
{
    setObjectName(QStringLiteral("VentanaPrincipal"));
    setWindowTitle(tituloDeLaSesion());
    creaMenus();
    creaBarraDeEstado();
    setWindowIcon(iconoDeTeqvaro());
    GeometriaVentana::restaura(*this);
}

// The module screens go with their modules: they leave this window before it deletes its
// children.
VentanaPrincipal::~VentanaPrincipal()
{
    if (centralWidget())
        takeCentralWidget();
    for (const QPointer<QWidget> &pantalla : std::as_const(m_pantallasDeModulos)) {
        if (pantalla)
            pantalla->setParent(nullptr);
    }
}

void VentanaPrincipal::creaMenus()
{
    m_menuModulos = menuBar()->addMenu(QStringLiteral("&Módulos"));
    m_menuModulos->setObjectName(QStringLiteral("menuModulos"));
    connect(m_menuModulos, &QMenu::aboutToShow, this, &VentanaPrincipal::listaModulos);
    listaModulos();

    auto *menuLista = new MenuDeLista(*this);
    menuBar()->addMenu(menuLista);
    m_filtro = new BarraDeFiltro(this);
    addToolBar(Qt::TopToolBarArea, m_filtro);
    connect(menuLista, &MenuDeLista::filtroPedido, this, [this, menuLista] {
        if (Kit::ListView *lista = menuLista->lista())
            m_filtro->abrePara(*lista);
    });

    m_menuVentana = menuBar()->addMenu(QStringLiteral("&Ventana"));
    m_menuVentana->setObjectName(QStringLiteral("menuVentana"));
    connect(m_menuVentana, &QMenu::aboutToShow, this, &VentanaPrincipal::listaVentanas);
    listaVentanas();

    QMenu *ayuda = menuBar()->addMenu(QStringLiteral("A&yuda"));
    ayuda->setObjectName(QStringLiteral("menuAyuda"));
    QAction *acerca = ayuda->addAction(QStringLiteral("&Acerca de Teqvaro"), this, &VentanaPrincipal::acercaDe);
    acerca->setObjectName(QStringLiteral("accAcercaDe"));
    QAction *teclas = ayuda->addAction(QStringLiteral("&Teclas"), this, [this] { DialogoTeclas::muestra(this); });
    teclas->setObjectName(QStringLiteral("accTeclas"));
}

void VentanaPrincipal::creaBarraDeEstado()
{
    m_barra = new BarraDeEstado(m_operador, {baseBreve(), baseDeLaSesion()}, this);
    setStatusBar(m_barra);
}

void VentanaPrincipal::anotaAccion(const QString &accion)
{
    m_barra->anotaAccion(accion);
}

QWidget *VentanaPrincipal::abreModulo(const QString &nombreDeRegistro)
{
    if (QWidget *abierta = m_modulos.cargada(nombreDeRegistro)) {
        alFrente(abierta->window());
        return abierta;
    }
    QWidget *pantalla = m_modulos.pantalla(nombreDeRegistro);
    Anfitrion *anfitrion = anfitrionPara(pantalla);
    pantalla->setProperty("Padre", QVariant::fromValue<QObject *>(anfitrion));
    m_pantallasDeModulos << pantalla;
    rotulaListaVacia(*pantalla);
    if (centralWidget())
        abreAparte(pantalla);
    else
        ocupaElCentro(pantalla, anfitrion);
    const QString titulo = pantalla->windowTitle();
    anotaAccion(QStringLiteral("Se abrió «%1»").arg(titulo.isEmpty() ? nombreDeRegistro : titulo));
    return pantalla;
}

Anfitrion *VentanaPrincipal::anfitrionPara(QWidget *pantalla)
{
    auto *anfitrion = new Anfitrion(m_operador, this);
    anfitrion->setPantalla(pantalla);
    connect(anfitrion, &Anfitrion::accionRealizada, this, &VentanaPrincipal::anotaAccion);
    return anfitrion;
}

// The screen becomes this window's body; its exit closes the whole window.
void VentanaPrincipal::ocupaElCentro(QWidget *pantalla, Anfitrion *anfitrion)
{
    m_anfitrion = anfitrion;
    connect(m_anfitrion, &Anfitrion::cerrado, this, &QWidget::close);
    new ActivacionIncrustada(pantalla); // owned by the screen
    m_barra->observa(pantalla);
    setCentralWidget(pantalla);
    setWindowTitle(tituloDeLaSesion());
    pantalla->show();
}

void VentanaPrincipal::abreAparte(QWidget *pantalla)
{
    pantalla->setParent(this, Qt::Window);
    alFrente(pantalla);
}

QList<QWidget *> VentanaPrincipal::ventanas()
{
    QList<QWidget *> abiertas{this};
    for (QWidget *hija : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (hija->isWindow() && esVentanaListada(hija))
            abiertas << hija;
    }
    return abiertas;
}

void VentanaPrincipal::listaModulos()
{
    m_menuModulos->clear();
    const QStringList instalados = m_modulos.instalados();
    for (const QString &nombre : instalados) {
        QAction *entrada = m_menuModulos->addAction(Modulos::nombreParaElUsuario(nombre), this,
                                                    [this, nombre] { abreDesdeMenu(nombre); });
        entrada->setToolTip(nombre); // the name an administrator registers and asks support about
        entrada->setCheckable(true);
        entrada->setChecked(m_modulos.cargada(nombre) != nullptr);
    }
    if (instalados.isEmpty())
        m_menuModulos->addAction(QStringLiteral("(no hay módulos instalados)"))->setEnabled(false);
    m_menuModulos->setToolTipsVisible(true);
    m_menuModulos->addSeparator();
    QAction *salir = m_menuModulos->addAction(QStringLiteral("&Salir"), this, &QWidget::close);
    salir->setObjectName(QStringLiteral("accSalir"));
    salir->setShortcut(QKeySequence::Quit);
}

void VentanaPrincipal::listaVentanas()
{
    m_menuVentana->clear();
    for (QWidget *ventana : ventanas()) {
        const QString nombre = ventana == this && centralWidget() ? centralWidget()->windowTitle()
                                                                  : ventana->windowTitle();
        QAction *entrada = m_menuVentana->addAction(nombre.isEmpty() ? ventana->objectName() : nombre);
        entrada->setCheckable(true);
        entrada->setChecked(ventana->isActiveWindow());
        connect(entrada, &QAction::triggered, this, [destino = QPointer<QWidget>(ventana)] {
            if (destino)
                alFrente(destino);
        });
    }
}

// A module that cannot be opened is explained; the host goes on.
void VentanaPrincipal::abreDesdeMenu(const QString &nombreDeRegistro)
{
    try {
        abreModulo(nombreDeRegistro);
    } catch (...) {
        const QString descripcion = Runtime::toRuntimeError(std::current_exception()).description();
        qCWarning(logAnfitrion).noquote() << "No se pudo abrir el módulo" << nombreDeRegistro << "→" << descripcion;
        anotaAccion(QStringLiteral("No se pudo abrir el módulo %1").arg(nombreDeRegistro));
        Avisos::reportaFalla(this, QStringLiteral("No se pudo abrir el módulo %1.").arg(nombreDeRegistro), descripcion);
    }
}

void VentanaPrincipal::acercaDe()
{
    QMessageBox acerca(QMessageBox::Information, QStringLiteral("Acerca de Teqvaro"),
                       QStringLiteral("Teqvaro %1").arg(QApplication::applicationVersion()), QMessageBox::Ok, this);
    acerca.setObjectName(QStringLiteral("AcercaDe"));
    acerca.setInformativeText(QStringLiteral("El anfitrión de los módulos de la suite de ventas Teqvaro.\n"
                                             "Operador: %1\nBase de datos: %2")
                                  .arg(m_operador, baseDeLaSesion()));
    acerca.button(QMessageBox::Ok)->setText(QStringLiteral("Aceptar"));
    acerca.exec();
}

// Closing the main window ends the session: the windows it owns close first, then the
// screen in its centre, whose close handler runs as when the screen itself is closed.
void VentanaPrincipal::closeEvent(QCloseEvent *evento)
{
    GeometriaVentana::guarda(*this);
    for (QWidget *ventana : ventanas()) {
        if (ventana != this)
            ventana->close();
    }
    if (centralWidget())
        centralWidget()->close();
    evento->accept();
}
