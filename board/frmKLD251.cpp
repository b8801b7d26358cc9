// The board's design: its controls, where they stand (in twips, for a form of 12105 × 5370)
// and which handler each event reaches.
#include "frmKLD251.h"

#include "acomodo.h"
#include "recargadelista.h"

#include "controles/cbzel.h"
#include "controles/colorzel.h"
#include "controles/controles.h"
#include "controles/listview.h"
#include "controles/txtzel.h"
#include "runtime/colors.h"
#include "runtime/log.h"
#include "runtime/twips.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

static void cargaIconos()
{
    Q_INIT_RESOURCE(iconos);
}

namespace {

constexpr int anchoDiseno = 12105;
constexpr int altoDiseno = 5370;
constexpr int ladoBoton = 345;
constexpr int intervaloRefresco = 1000;

} // namespace

frmKLD251::frmKLD251(QWidget *parent)
    : Runtime::Form(parent)
{
    cargaIconos();
    setObjectName(QStringLiteral("frmKLD251"));
    setWindowFlags(Qt::Window);
    setWindowTitle(QStringLiteral("Control de oportunidades"));
    setKeyPreview(true);
    creaControles();
    creaBotones();
    creaEstado();
    conectaEventos();
    m_recarga = creaRecarga();
    resize(Runtime::twipsToPixels(anchoDiseno, this), Runtime::twipsToPixels(altoDiseno, this));
}

frmKLD251::~frmKLD251() = default;

void frmKLD251::creaControles()
{
    colorZEL = new Kit::colorZEL(this);
    colorZEL->setObjectName(QStringLiteral("colorZEL"));
    colorZEL->setProperty("disablecolor", 0xDDDDDD);

    Controles = new Kit::Controles(this);
    Controles->setObjectName(QStringLiteral("Controles"));
    Controles->setProperty("caption", QStringLiteral("Control de oportunidades"));
    Controles->setProperty("tabwidth", QStringLiteral("0"));
    Controles->setProperty("easyaccessenabled", QStringLiteral("NO"));
    Controles->setProperty("showmenupopup", QStringLiteral("NO"));
    Controles->setProperty("showwindowslist", QStringLiteral("SI"));
    Controles->setProperty("showexitbutton", QStringLiteral("SI"));
    Runtime::placeInTwips(Controles, 0, 0, anchoDiseno, 960);

    frFrame = new QFrame(this);
    frFrame->setObjectName(QStringLiteral("frFrame"));
    frFrame->setFrameShape(QFrame::NoFrame);
    frFrame->setAutoFillBackground(true);
    Runtime::placeInTwips(frFrame, 0, 480, 12135, 480);

    cboVistas = new Kit::cbZel(frFrame);
    cboVistas->setObjectName(QStringLiteral("cboVistas"));
    cboVistas->setTabonenter(true);
    cboVistas->setEstilo(Kit::cbZel::DropDownList);
    cboVistas->setEnabledcolor(0xFFFFFF);
    cboVistas->setAccessibleName(QStringLiteral("Vista"));
    Runtime::placeInTwips(cboVistas, Diseno::izquierdaVista, 90, Diseno::anchoVista, 300);

    lbOrdenes = new QLabel(frFrame);
    lbOrdenes->setObjectName(QStringLiteral("lbOrdenes"));
    Runtime::placeInTwips(lbOrdenes, Diseno::izquierdaCuenta, 120, 45, 195);

    txtBuscar = new Kit::txtZEL(frFrame);
    txtBuscar->setObjectName(QStringLiteral("txtBuscar"));
    txtBuscar->setMostrarlupa(true);
    txtBuscar->setAccessibleName(QStringLiteral("Buscar"));
    txtBuscar->setToolTip(QStringLiteral("Buscar en la lista <Enter o F3>"));
    Runtime::placeInTwips(txtBuscar, Diseno::izquierdaBusqueda, 90, Diseno::anchoBusqueda, 300);

    lvOrdenes = new Kit::ListView(this);
    lvOrdenes->setObjectName(QStringLiteral("lvOrdenes"));
    lvOrdenes->setAccessibleName(QStringLiteral("Oportunidades"));
    lvOrdenes->setSortOrder(Qt::DescendingOrder); // so the first header click sorts ascending
    Runtime::placeInTwips(lvOrdenes, 120, 1080, 11895, 3855);

    TmrRefresh = new QTimer(this);
    TmrRefresh->setObjectName(QStringLiteral("TmrRefresh"));
    TmrRefresh->setInterval(intervaloRefresco);
    TmrRefresh->start();
}

void frmKLD251::creaBotones()
{
    imgRefrescar = creaBoton(QStringLiteral("imgRefrescar"), QStringLiteral("Refrescar ordenes <F5>"),
                             QStringLiteral("refrescar"), 120);
    imgNuevo = creaBoton(QStringLiteral("imgNuevo"), QStringLiteral("Nueva oportunidad"), QStringLiteral("nuevo"), 600);
    imgCancelar = creaBoton(QStringLiteral("imgCancelar"), QStringLiteral("Cancelar oportunidad"),
                            QStringLiteral("cancelar"), 960);
    imgOrganizacion = creaBoton(QStringLiteral("imgOrganizacion"), QStringLiteral("Organización"),
                                QStringLiteral("organizacion"), 1440);
    imgContacto = creaBoton(QStringLiteral("imgContacto"), QStringLiteral("Contacto"), QStringLiteral("contacto"),
                            1800);
    imgOportunidad = creaBoton(QStringLiteral("imgOportunidad"), QStringLiteral("Ver oportunidad"),
                               QStringLiteral("oportunidad"), 2160);
    imgEditOportunidad = creaBoton(QStringLiteral("imgEditOportunidad"), QStringLiteral("Editar oportunidad"),
                                   QStringLiteral("editar"), 2520);
    imgEvento = creaBoton(QStringLiteral("imgEvento"), QStringLiteral("Evento"), QStringLiteral("evento"), 2880);
    imgSeguimiento = creaBoton(QStringLiteral("imgSeguimiento"), QStringLiteral("Seguimiento"),
                               QStringLiteral("seguimiento"), 3360);
    imgEstadoOp = creaBoton(QStringLiteral("imgEstadoOp"), QStringLiteral("Estado de la oportunidad"),
                            QStringLiteral("estado"), 3720);
    imgGanada = creaBoton(QStringLiteral("imgGanada"), QStringLiteral("Oportunidad ganada"), QStringLiteral("ganada"),
                          4080);
    imgPerdida = creaBoton(QStringLiteral("imgPerdida"), QStringLiteral("Oportunidad perdida"),
                           QStringLiteral("perdida"), 4440);
}

// An image that reacts to a click: no focus of its own, as the board's images have none.
QToolButton *frmKLD251::creaBoton(const QString &nombre, const QString &ayuda, const QString &icono, int izquierda)
{
    auto *boton = new QToolButton(frFrame);
    boton->setObjectName(nombre);
    boton->setToolTip(ayuda);
    boton->setAccessibleName(ayuda);
    boton->setAutoRaise(true);
    boton->setFocusPolicy(Qt::NoFocus);
    boton->setIcon(QIcon(QStringLiteral(":/tablero/iconos/%1.svg").arg(icono)));
    Runtime::placeInTwips(boton, izquierda, 60, ladoBoton, ladoBoton);
    boton->setIconSize(boton->size() - QSize(4, 4));
    return boton;
}

void frmKLD251::conectaEventos()
{
    using Runtime::connectHandler;
    connectHandler(Controles, &Kit::Controles::Salir, this, "Controles_Salir", [this] { Controles_Salir(); });
    connectHandler(cboVistas, &Kit::cbZel::Click, this, "cboVistas_Click", [this] { cboVistas_Click(); });
    connectHandler(txtBuscar, &Kit::txtZEL::Buscar, this, "txtBuscar_Buscar", [this] { txtBuscar_Buscar(); });
    connectHandler(lvOrdenes, &Kit::ListView::columnClick, this, "lvOrdenes_ColumnClick",
                   [this](int columna) { lvOrdenes_ColumnClick(columna); });
    connectHandler(lvOrdenes, &Kit::ListView::dblClick, this, "lvOrdenes_DblClick", [this] { lvOrdenes_DblClick(); });
    connectHandler(lvOrdenes, &Kit::ListView::keyDown, this, "lvOrdenes_KeyDown",
                   [this](int tecla, int cambio) { lvOrdenes_KeyDown(tecla, cambio); });
    lvOrdenes->setContextMenuPolicy(Qt::CustomContextMenu);
    connectHandler(lvOrdenes, &QWidget::customContextMenuRequested, this, "lvOrdenes_ContextMenu",
                   [this](const QPoint &donde) { muestraMenuDeAcciones(donde); });
    connectHandler(TmrRefresh, &QTimer::timeout, this, "TmrRefresh_Timer", [this] { TmrRefresh_Timer(); });
    connectHandler(imgRefrescar, &QToolButton::clicked, this, "imgRefrescar_Click", [this] { imgRefrescar_Click(); });
    connectHandler(imgNuevo, &QToolButton::clicked, this, "imgNuevo_Click", [this] { imgNuevo_Click(); });
    connectHandler(imgCancelar, &QToolButton::clicked, this, "imgCancelar_Click",
                   [this] { actua([this] { imgCancelar_Click(); }); });
    connectHandler(imgOrganizacion, &QToolButton::clicked, this, "imgOrganizacion_Click",
                   [this] { imgOrganizacion_Click(); });
    connectHandler(imgContacto, &QToolButton::clicked, this, "imgContacto_Click", [this] { imgContacto_Click(); });
    connectHandler(imgOportunidad, &QToolButton::clicked, this, "imgOportunidad_Click",
                   [this] { imgOportunidad_Click(); });
    connectHandler(imgEditOportunidad, &QToolButton::clicked, this, "imgEditOportunidad_Click",
                   [this] { imgEditOportunidad_Click(); });
    connectHandler(imgEvento, &QToolButton::clicked, this, "imgEvento_Click",
                   [this] { actua([this] { imgEvento_Click(); }); });
    connectHandler(imgSeguimiento, &QToolButton::clicked, this, "imgSeguimiento_Click",
                   [this] { actua([this] { imgSeguimiento_Click(); }); });
    connectHandler(imgEstadoOp, &QToolButton::clicked, this, "imgEstadoOp_Click",
                   [this] { actua([this] { imgEstadoOp_Click(); }); });
    connectHandler(imgGanada, &QToolButton::clicked, this, "imgGanada_Click",
                   [this] { actua([this] { imgGanada_Click(); }); });
    connectHandler(imgPerdida, &QToolButton::clicked, this, "imgPerdida_Click",
                   [this] { actua([this] { imgPerdida_Click(); }); });
}

// An action that may write makes any reading begun before it, or during it, stale.
void frmKLD251::actua(const std::function<void()> &accion)
{
    m_recarga->descartaLecturas();
    accion();
    m_recarga->descartaLecturas();
}
