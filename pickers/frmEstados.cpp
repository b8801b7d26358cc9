#include "frmEstados.h"

#include "atrapa.h"
#include "cuadrodecolor.h"
#include "dialogos.h"
#include "publico.h"

#include "ado/connection.h"
#include "ado/recordset.h"
#include "controles/colorzel.h"
#include "controles/flatbutton.h"
#include "controles/systemcolors.h"
#include "controles/titulo.h"
#include "runtime/colors.h"
#include "runtime/conversions.h"
#include "runtime/error.h"
#include "runtime/log.h"
#include "runtime/twips.h"

#include <QLabel>

namespace {

// Every tile that can hold a state must be seen and reached: eight to a row, six rows,
// and the buttons to the right of the grid, where they cover none of them.
constexpr int columnas = 8;
constexpr int ladoCuadro = 375;
constexpr int izquierdaCuadros = 120;
constexpr int pasoColumna = 420;
constexpr int arribaCuadros = 600;
constexpr int pasoRenglon = 480;
constexpr int derechaCuadros = izquierdaCuadros + (columnas - 1) * pasoColumna + ladoCuadro;
constexpr int izquierdaBotones = derechaCuadros + 165;
constexpr int anchoBoton = 1335;
constexpr int anchoDiseno = izquierdaBotones + anchoBoton + izquierdaCuadros;
constexpr int altoDiseno = 4005;

constexpr qint32 fondoDelFormulario = 0xF5F5F5;

const QLatin1Char separador('|');

// A tile's Tag is the state key, "|", and the colour value. The colour value is a number
// and holds no "|", so the key is everything before the last one, even a key that would
// carry a "|" itself.
struct PartesDeEtiqueta
{
    QString clave;
    QString color;
};

PartesDeEtiqueta partesDeEtiqueta(const QString &etiqueta)
{
    const qsizetype corte = etiqueta.lastIndexOf(separador);
    if (corte < 0)
        return {etiqueta, QString()};
    return {etiqueta.left(corte), etiqueta.mid(corte + 1)};
}

// The comparison of two values as the forms' code makes it: Null equals nothing, a number
// never equals a text, texts are compared exactly (letter case included).
bool mismoValor(const QVariant &campo, const QVariant &argumento)
{
    if (Runtime::isNull(campo) || Runtime::isNull(argumento))
        return false;
    const auto esTexto = [](const QVariant &valor) {
        return Runtime::isEmpty(valor) || valor.metaType().id() == QMetaType::QString;
    };
    if (esTexto(campo) != esTexto(argumento))
        return false;
    if (esTexto(campo))
        return Runtime::toText(campo) == Runtime::toText(argumento);
    return campo.toDouble() == argumento.toDouble();
}

} // namespace

frmEstados::frmEstados(QWidget *parent)
    : Runtime::Form(parent)
{
    setObjectName(QStringLiteral("frmEstados"));
    setWindowTitle(QStringLiteral("Estado de oportunidades"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    QPalette colores = palette();
    colores.setColor(QPalette::Window, Runtime::toQColor(fondoDelFormulario));
    setPalette(colores);
    setAutoFillBackground(true);
    setKeyPreview(true);
    creaControles();
    creaCuadros();
    creaBotones();
    conectaEventos();
    setFixedSize(Runtime::twipsToPixels(anchoDiseno, this), Runtime::twipsToPixels(altoDiseno, this));
}

frmEstados::~frmEstados() = default;

void frmEstados::creaControles()
{
    colorZEL = new Kit::colorZEL(this);
    colorZEL->setObjectName(QStringLiteral("colorZEL"));

    Titulo = Dialogos::creaTitulo(this, QStringLiteral("Estado de oportunidades"), anchoDiseno, false);

    picSeleccion = new CuadroDeColor(this);
    picSeleccion->setObjectName(QStringLiteral("picSeleccion"));
    picSeleccion->setFocusPolicy(Qt::NoFocus); // it only shows the choice
    picSeleccion->setAccessibleName(QStringLiteral("Estado elegido"));
    picSeleccion->setBackColor(Kit::SystemColor::Window);
    Runtime::placeInTwips(picSeleccion, izquierdaCuadros, 3480, ladoCuadro, ladoCuadro);

    lbDescripcion = new QLabel(this);
    lbDescripcion->setObjectName(QStringLiteral("lbDescripcion"));
    lbDescripcion->setTextFormat(Qt::PlainText); // a description is shown as written
    lbDescripcion->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Runtime::placeInTwips(lbDescripcion, 540, 3480, derechaCuadros - 540, ladoCuadro);
}

void frmEstados::creaCuadros()
{
    for (int indice = 0; indice < numeroDeCuadros; ++indice) {
        auto *cuadro = new CuadroDeColor(this);
        cuadro->setObjectName(QStringLiteral("picEstado_%1").arg(indice));
        Runtime::placeInTwips(cuadro, izquierdaCuadros + (indice % columnas) * pasoColumna,
                              arribaCuadros + (indice / columnas) * pasoRenglon, ladoCuadro, ladoCuadro);
        picEstado[size_t(indice)] = cuadro;
    }
}

void frmEstados::creaBotones()
{
    cmdAceptar = Dialogos::creaBoton(this, QStringLiteral("cmdAceptar"), QStringLiteral("Aceptar"), izquierdaBotones,
                                     600, anchoBoton);
    cmdCancelar = Dialogos::creaBoton(this, QStringLiteral("cmdCancelar"), QStringLiteral("Cancelar"), izquierdaBotones,
                                      1080, anchoBoton);
    setTabOrder(cmdAceptar, cmdCancelar);
}

void frmEstados::conectaEventos()
{
    using Runtime::connectHandler;
    for (int indice = 0; indice < numeroDeCuadros; ++indice) {
        connectHandler(picEstado[size_t(indice)], &CuadroDeColor::Click, this, "picEstado_Click",
                       [this, indice] { picEstado_Click(indice); });
        connectHandler(picEstado[size_t(indice)], &CuadroDeColor::EnfocadoConTeclado, this, "picEstado_Click",
                       [this, indice] { eligeAlEnfocar(indice); });
    }
    connectHandler(cmdAceptar, &Kit::flatButton::Click, this, "cmdAceptar_Click", [this] { cmdAceptar_Click(); });
    connectHandler(cmdCancelar, &Kit::flatButton::Click, this, "cmdCancelar_Click", [this] { cmdCancelar_Click(); });
}

void frmEstados::formLoad()
{
    colorZEL->AplicaColores();
}

// The instance stays after an unload: the next use starts as from a fresh load.
void frmEstados::formUnloaded()
{
    EstadoSeleccionado.clear();
    Aceptado = false;
    limpiaCuadros();
    picSeleccion->setBackColor(Kit::SystemColor::Window);
    lbDescripcion->clear();
}

void frmEstados::Mostrar(const QVariant &Op_Cve_Oportunidad)
{
    const QVariant actual = Op_Cve_Oportunidad;
    const bool lleno = Publico::Atrapa(this, QStringLiteral("Mostrar()"), QStringLiteral("ERR-ID:7500027"),
                                       [&] { llenaCuadros(actual); });
    if (lleno) {
        enfocaElegido();
        showModal();
    }
}

// The picker opens with the focus on the current state's tile, or on Aceptar when no tile
// holds it, so that the focus never marks a tile other than the chosen one.
void frmEstados::enfocaElegido()
{
    for (CuadroDeColor *cuadro : picEstado) {
        if (cuadro->isEnabled() && cuadro->Appearance() == CuadroDeColor::TresDimensiones) {
            cuadro->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    cmdAceptar->setFocus(Qt::OtherFocusReason);
}

void frmEstados::llenaCuadros(const QVariant &actual)
{
    limpiaCuadros();
    Publico::TextoSql = QStringLiteral("SELECT * FROM Estado_Oportunidad");
    Ado::Recordset estados = Publico::Entorno->Conexion()->Execute(Publico::TextoSql, nullptr, -1);
    for (int indice = 0; !estados.atEnd(); ++indice) {
        muestraEstado(cuadro(indice), estados, actual);
        estados.moveNext();
    }
    EstadoSeleccionado = Runtime::toText(actual);
    estados.close();
}

void frmEstados::muestraEstado(CuadroDeColor &cuadro, const Ado::Recordset &estado, const QVariant &actual)
{
    const QVariant clave = estado.field(QStringLiteral("Eo_Cve_Estado_Oportunidad"));
    const QVariant hexadecimal = estado.field(QStringLiteral("Eo_Hexadecimal"));
    const QVariant descripcion = estado.field(QStringLiteral("Eo_Descripcion"));
    const qint32 color = Runtime::toColorReference(hexadecimal);
    cuadro.setBackColor(color);
    cuadro.setToolTip(Runtime::toText(descripcion));
    cuadro.setAccessibleName(Runtime::toText(descripcion));
    cuadro.setTag(Runtime::toTextOrEmpty(clave) + separador + Runtime::toTextOrEmpty(hexadecimal));
    cuadro.setEnabled(true);
    if (!mismoValor(clave, actual))
        return;
    cuadro.setAppearance(CuadroDeColor::TresDimensiones);
    picSeleccion->setBackColor(color);
    lbDescripcion->setText(Runtime::toText(descripcion));
}

// A tile that gets no state stays flat, coloured like the form and out of reach.
void frmEstados::limpiaCuadros()
{
    for (CuadroDeColor *cuadro : picEstado) {
        cuadro->setAppearance(CuadroDeColor::Plana);
        cuadro->setBackColor(colorDeFondo());
        cuadro->setEnabled(false);
        cuadro->setAccessibleName(QString());
    }
}

CuadroDeColor &frmEstados::cuadro(int indice) const
{
    if (indice < 0 || indice >= numeroDeCuadros)
        Runtime::raise(Runtime::ErrorNumber::SubscriptOutOfRange);
    return *picEstado[size_t(indice)];
}

qint32 frmEstados::colorDeFondo() const
{
    return Runtime::toColorReference(palette().color(QPalette::Window));
}

void frmEstados::picEstado_Click(int Index)
{
    const CuadroDeColor &elegido = cuadro(Index);
    if (!elegido.isEnabled())
        return;
    lbDescripcion->setText(elegido.toolTip());
    for (int indice = 0; indice < numeroDeCuadros; ++indice) {
        CuadroDeColor &actual = cuadro(indice);
        if (!actual.isEnabled())
            continue;
        actual.setAppearance(indice == Index ? CuadroDeColor::TresDimensiones : CuadroDeColor::Plana);
        const PartesDeEtiqueta partes = partesDeEtiqueta(actual.Tag());
        actual.setBackColor(Runtime::toColorReference(QVariant(partes.color)));
        if (indice == Index) {
            EstadoSeleccionado = partes.clave;
            picSeleccion->setBackColor(actual.BackColor());
        }
    }
}

// The choice follows the keyboard's focus, as in a group of radio buttons, so that the tile
// the user sees highlighted is the one Enter accepts. A raised tile already holds the
// choice: choosing it again would lower another tile of the same state.
void frmEstados::eligeAlEnfocar(int Index)
{
    if (cuadro(Index).Appearance() != CuadroDeColor::TresDimensiones)
        picEstado_Click(Index);
}

void frmEstados::cmdAceptar_Click()
{
    Aceptado = true;
    hide();
}

void frmEstados::cmdCancelar_Click()
{
    Aceptado = false;
    hide();
}

// Enter on a tile accepts the state chosen, as Aceptar does (on a button, the button
// answers); taken on the key going down, so the release of a key pressed before the
// picker opened never accepts for the user.
void frmEstados::formKeyDown(int keyCode, int)
{
    if (keyCode == Runtime::KeyCode::Enter && qobject_cast<CuadroDeColor *>(focusWidget()))
        cmdAceptar_Click();
}

// Esc leaves without touching the members: Aceptado keeps what it had.
void frmEstados::formKeyUp(int keyCode, int)
{
    if (keyCode == Runtime::KeyCode::Escape)
        hide();
}
