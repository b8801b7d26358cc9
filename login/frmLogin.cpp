#include "frmLogin.h"

#include "atrapa.h"
#include "dialogos.h"
#include "publico.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "controles/colorzel.h"
#include "controles/etiqueta.h"
#include "controles/flatbutton.h"
#include "controles/titulo.h"
#include "controles/txtzel.h"
#include "runtime/conversions.h"
#include "runtime/log.h"
#include "runtime/twips.h"
#include "servicios/contrasenavendedor.h"
#include "servicios/frenodeintentos.h"

#include <QFrame>
#include <QLineEdit>

namespace {

constexpr qint32 fondoDeEtiqueta = 0xF5F5F5;
const QString titulo = QStringLiteral("Teqvaro");

// The two plain lines, a dark one above a light one, read as one etched separator.
QFrame *lineaHorizontal(QWidget *padre, int top, const QColor &color)
{
    auto *linea = new QFrame(padre);
    linea->setObjectName(QStringLiteral("Line%1").arg(top));
    linea->setFrameShape(QFrame::HLine);
    linea->setFrameShadow(QFrame::Plain);
    QPalette colores = linea->palette();
    colores.setColor(QPalette::WindowText, color);
    linea->setPalette(colores);
    Runtime::placeInTwips(linea, 120, top, 5880, 15);
    return linea;
}

} // namespace

frmLogin::frmLogin(QWidget *parent)
    : Runtime::Form(parent)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Login"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    creaControles();
    creaBotones();
    conectaEventos();
    setFixedSize(Runtime::twipsToPixels(6210, this), Runtime::twipsToPixels(2265, this));
}

frmLogin::~frmLogin() = default;

void frmLogin::creaControles()
{
    colorZEL = new Kit::colorZEL(this);
    colorZEL->setObjectName(QStringLiteral("colorZEL"));

    Titulo = Dialogos::creaTitulo(this, QStringLiteral("Login"), 6210, true);

    Etiqueta3 = new Kit::Etiqueta(this);
    Etiqueta3->setObjectName(QStringLiteral("Etiqueta3"));
    Etiqueta3->setCaption(QStringLiteral("Vendedor:"));
    Etiqueta3->setIdetiqueta(QStringLiteral("Vendedor"));
    Etiqueta3->setAlignmentCode(1);
    Etiqueta3->setBackcolor(fondoDeEtiqueta);
    Runtime::placeInTwips(Etiqueta3, 0, 600, 1620, 255);

    txtVn_Cve_Vendedor = new Kit::txtZEL(this);
    txtVn_Cve_Vendedor->setObjectName(QStringLiteral("txtVn_Cve_Vendedor"));
    txtVn_Cve_Vendedor->setIdconsulta(QStringLiteral("VENDEDOR"));
    txtVn_Cve_Vendedor->setEsclave(true);
    txtVn_Cve_Vendedor->setMayusculas(true);
    txtVn_Cve_Vendedor->setTabonenter(true);
    txtVn_Cve_Vendedor->setTabonentervacio(true);
    txtVn_Cve_Vendedor->setSql(QStringLiteral("select Vn_descripcion from vendedor where Vn_cve_vendedor = '?'"));
    txtVn_Cve_Vendedor->setSql_control_resultado(QStringLiteral("txtVn_Descripcion"));
    txtVn_Cve_Vendedor->setAccessibleName(QStringLiteral("Vendedor"));
    Runtime::placeInTwips(txtVn_Cve_Vendedor, 1680, 600, 1575, 300);

    txtVn_Descripcion = new Kit::txtZEL(this);
    txtVn_Descripcion->setObjectName(QStringLiteral("txtVn_Descripcion"));
    txtVn_Descripcion->setMaxlength(50);
    txtVn_Descripcion->setLocked(true);
    txtVn_Descripcion->setTabonenter(true);
    txtVn_Descripcion->setTabstop(false);
    txtVn_Descripcion->setAccessibleName(QStringLiteral("Nombre del vendedor"));
    Runtime::placeInTwips(txtVn_Descripcion, 3360, 600, 2655, 300);

    Etiqueta1 = new Kit::Etiqueta(this);
    Etiqueta1->setObjectName(QStringLiteral("Etiqueta1"));
    Etiqueta1->setCaption(QStringLiteral("Contraseña:"));
    Etiqueta1->setIdetiqueta(QStringLiteral("CONTRASEÑA"));
    Etiqueta1->setAlignmentCode(1);
    Etiqueta1->setBackcolor(fondoDeEtiqueta);
    Runtime::placeInTwips(Etiqueta1, 0, 1080, 1620, 255);

    txtContraseña = new Kit::txtZEL(this);
    txtContraseña->setObjectName(QStringLiteral("txtContraseña"));
    txtContraseña->setPasswordchar(QStringLiteral("*"));
    txtContraseña->setAccessibleName(QStringLiteral("Contraseña"));
    Runtime::placeInTwips(txtContraseña, 1680, 1080, 1575, 300);

    lineaHorizontal(this, 1560, QColor(160, 160, 160));
    lineaHorizontal(this, 1575, Qt::white);
}

void frmLogin::creaBotones()
{
    cmdAceptar = Dialogos::creaBoton(this, QStringLiteral("cmdAceptar"), QStringLiteral("Aceptar"), 2400, 1680, 1695);
    cmdCancelar = Dialogos::creaBoton(this, QStringLiteral("cmdCancelar"), QStringLiteral("Cancelar"), 4200, 1680,
                                      1815);

    setTabOrder(txtVn_Cve_Vendedor, txtVn_Descripcion);
    setTabOrder(txtVn_Descripcion, txtContraseña);
    setTabOrder(txtContraseña, cmdAceptar);
    setTabOrder(cmdAceptar, cmdCancelar);
    setTabOrder(cmdCancelar, Titulo);
}

void frmLogin::conectaEventos()
{
    using Runtime::connectHandler;
    connectHandler(cmdAceptar, &Kit::flatButton::Click, this, "cmdAceptar_Click", [this] { cmdAceptar_Click(); });
    connectHandler(cmdCancelar, &Kit::flatButton::Click, this, "cmdCancelar_Click", [this] { cmdCancelar_Click(); });
    connectHandler(Titulo, &Kit::Titulo::Salir, this, "Titulo_Salir", [this] { cmdCancelar_Click(); });
    // Enter in the password box is the accept button's click, as a user expects.
    connectHandler(txtContraseña->editor(), &QLineEdit::returnPressed, this, "txtContraseña_Enter",
                   [this] { cmdAceptar_Click(); });
}

void frmLogin::formLoad()
{
    Aceptado = false;
    colorZEL->AplicaColores();
    txtVn_Cve_Vendedor->setFormato(
        Publico::Entorno->LeeVariable(QStringLiteral("FTO_VENDEDOR"), 0, QString(), QString()));
}

void frmLogin::cmdCancelar_Click()
{
    Aceptado = false;
    hide();
}

void frmLogin::cmdAceptar_Click()
{
    const QWidget *activo = activeControl();
    const QString nombre = activo ? activo->objectName() : QString();
    if (nombre != QStringLiteral("txtContraseña") && nombre != QLatin1String("cmdAceptar")) {
        Publico::Funciones->EnviaTeclas(QStringLiteral("\t"), 0);
        return;
    }
    if (txtVn_Descripcion->Texto().isEmpty()) {
        avisa(QStringLiteral("El vendedor es incorrecto"), QStringLiteral("ERR-ID:7500028"));
        return;
    }
    if (txtContraseña->Texto().isEmpty()) {
        avisa(QStringLiteral("La contraseña no puede estar vacía"), QStringLiteral("ERR-ID:7500029"));
        return;
    }
    // A failure of the connection or the query is no wrong input: it is reported as such,
    // and is no guess either.
    const QString codigo = txtVn_Cve_Vendedor->Texto();
    Servicios::frenoDeVendedores().antesDeRevisar(codigo);
    bool valido = false;
    Publico::Atrapa(this, QStringLiteral("cmdAceptar_Click()"), QStringLiteral("ERR-ID:7500033"), [&] {
        valido = vendedorValido();
        Servicios::frenoDeVendedores().anota(codigo, valido);
    });
    if (!valido)
        return;
    Aceptado = true;
    hide();
}

bool frmLogin::vendedorValido()
{
    Publico::TextoSql = QStringLiteral("SELECT * FROM Vendedor WHERE Vn_Cve_Vendedor = '")
                        + Ado::quoted(txtVn_Cve_Vendedor->Texto()) + QStringLiteral("' ");
    Ado::Recordset vendedor = Publico::Entorno->Conexion()->Execute(Publico::TextoSql, nullptr, -1);
    if (vendedor.atEnd()) {
        avisa(QStringLiteral("El vendedor es incorrecto"), QStringLiteral("ERR-ID:7500030"));
        return false;
    }
    if (Runtime::toTextOrEmpty(vendedor.field(QStringLiteral("Es_Cve_Estado"))) == QLatin1String("BA")) {
        avisa(QStringLiteral("El vendedor está dado de baja"), QStringLiteral("ERR-ID:7500031"));
        return false;
    }
    vendedor.close();
    // The password is checked where its hash is kept, never read back; a salesperson whose
    // password could not be carried over when the passwords became hashes is told so.
    switch (Servicios::revisaContrasenaDeVendedor(*Publico::Entorno->Conexion(), txtVn_Cve_Vendedor->Texto(),
                                                  txtContraseña->Texto())) {
    case Servicios::RevisionDeContrasena::Coincide: break;
    case Servicios::RevisionDeContrasena::PideNueva:
        avisa(QStringLiteral("El vendedor necesita una contraseña nueva: pídala a un administrador"),
              QStringLiteral("ERR-ID:7500034"));
        return false;
    case Servicios::RevisionDeContrasena::NoCoincide:
        avisa(QStringLiteral("La contraseña es incorrecta"), QStringLiteral("ERR-ID:7500032"));
        return false;
    }
    return true;
}

void frmLogin::avisa(const QString &texto, const QString &idError)
{
    Publico::Mensaje(texto, Servicios::Estilo::Exclamacion, titulo, this, Publico::Modulo, idError);
}
