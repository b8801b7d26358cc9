// The control kit as the forms use it: real widgets on the offscreen platform, and the text
// box's lookup against a real database.
#include "basedeprueba.h"
#include "errores.h"

#include "controles/cbzel.h"
#include "controles/colorzel.h"
#include "controles/controles.h"
#include "controles/etiqueta.h"
#include "controles/flatbutton.h"
#include "controles/titulo.h"
#include "controles/txtzel.h"
#include "runtime/error.h"
#include "runtime/form.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

// Readable failures: colours as a person writes them (texts: see basedeprueba.h).
QT_BEGIN_NAMESPACE
inline void PrintTo(const QColor &color, std::ostream *out)
{
    *out << color.name(QColor::HexArgb).toStdString();
}
QT_END_NAMESPACE

namespace {

using Controles::cbZel;
using Controles::txtZEL;

constexpr int valorNoValido = Runtime::ErrorNumber::InvalidPropertyValue;

using Pruebas::errorDe;

// Shows a window and makes it the active one, so the focus moves as a user sees it move.
void activa(QWidget &ventana)
{
    ventana.show();
    QApplication::setActiveWindow(&ventana);
    ASSERT_TRUE(ventana.isActiveWindow());
}

QColor rgb(int rojo, int verde, int azul)
{
    return QColor(rojo, verde, azul);
}

// ---------------------------------------------------------------------------------------
// cbZel

TEST(cbZel, elIndiceAceptaMenosUnoYLosElementosYRechazaLoDemasCon380)
{
    struct Caso
    {
        qint16 indice;
        int error;
    };
    for (const Caso caso : {Caso{-1, 0}, Caso{0, 0}, Caso{2, 0}, Caso{3, valorNoValido}, Caso{-2, valorNoValido},
                            Caso{32767, valorNoValido}}) {
        cbZel combo;
        for (const char *texto : {"Todas", "Abiertas", "Cerradas"})
            combo.Agrega(QString::fromLatin1(texto));
        combo.setIndice(1);
        EXPECT_EQ(errorDe([&] { combo.setIndice(caso.indice); }), caso.error) << caso.indice;
        EXPECT_EQ(combo.Indice(), caso.error ? 1 : caso.indice) << caso.indice;
    }
    cbZel vacio;
    EXPECT_EQ(errorDe([&] { vacio.setIndice(0); }), valorNoValido);
    EXPECT_EQ(errorDe([&] { vacio.setIndice(-1); }), 0);
}

TEST(cbZel, clickSeProduceCadaVezQueCambiaLaSeleccionYNuncaAlLlenar)
{
    QDialog ventana;
    auto *combo = new cbZel(&ventana);
    combo->setEstilo(cbZel::DropDownList);
    const QSignalSpy clicks(combo, &cbZel::Click);

    for (const char *texto : {"Todas", "Abiertas", "Cerradas"})
        combo->Agrega(QString::fromLatin1(texto));
    EXPECT_EQ(combo->NumElementos(), 3);
    EXPECT_EQ(combo->Indice(), -1) << "adding items selects nothing";
    EXPECT_EQ(clicks.count(), 0);

    combo->setIndice(1);
    EXPECT_EQ(clicks.count(), 1);
    combo->setIndice(1);
    EXPECT_EQ(clicks.count(), 1) << "the same index again is no change";

    activa(ventana);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(combo->Indice(), 2);
    EXPECT_EQ(clicks.count(), 2) << "the user's choice raises Click too";

    combo->Limpia();
    EXPECT_EQ(combo->NumElementos(), 0);
    EXPECT_EQ(combo->Indice(), -1);
    EXPECT_EQ(clicks.count(), 3) << "emptying a combo with a selection changes the selection";
    combo->Limpia();
    EXPECT_EQ(clicks.count(), 3);
}

TEST(cbZel, estiloDosEsUnaListaNoEditableYUnEstiloDesconocidoDa380)
{
    cbZel combo;
    combo.Agrega(QStringLiteral("Todas"));
    combo.Agrega(QStringLiteral("Abiertas"));
    combo.setIndice(1);
    EXPECT_TRUE(combo.isEditable());
    combo.setEstilo(2);
    EXPECT_FALSE(combo.isEditable());
    EXPECT_EQ(combo.Indice(), 1) << "changing the style keeps the selection";
    EXPECT_EQ(errorDe([&] { combo.setEstilo(3); }), valorNoValido);
    EXPECT_EQ(combo.estilo(), 2);
}

// ---------------------------------------------------------------------------------------
// Enter moving on

TEST(TabOnEnter, enterPasaAlSiguienteControlSoloCuandoEstaActivado)
{
    struct Caso
    {
        bool tabonenter;
        bool tabonentervacio;
        QString texto;
        bool pasa;
    };
    const Caso casos[] = {
        {false, false, QStringLiteral("V1"), false},
        {true, false, QStringLiteral("V1"), true},
        {true, false, QString(), false},
        {true, true, QString(), true},
        {false, true, QString(), false},
    };
    for (const Caso &caso : casos) {
        QDialog ventana;
        auto *codigo = new txtZEL(&ventana);
        auto *siguiente = new QLineEdit(&ventana);
        codigo->setTabonenter(caso.tabonenter);
        codigo->setTabonentervacio(caso.tabonentervacio);
        codigo->setTexto(caso.texto);
        activa(ventana);
        codigo->setFocus();
        QTest::keyClick(codigo->editor(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget() == siguiente, caso.pasa)
            << caso.tabonenter << caso.tabonentervacio << caso.texto.toStdString();
    }
    for (const bool tabonenter : {true, false}) {
        QDialog ventana;
        auto *combo = new cbZel(&ventana);
        auto *siguiente = new QLineEdit(&ventana);
        combo->setEstilo(cbZel::DropDownList);
        combo->setTabonenter(tabonenter);
        activa(ventana);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget() == siguiente, tabonenter);
    }
}

// ---------------------------------------------------------------------------------------
// txtZEL

// The login's pair of boxes: the code box looks the name up into the name box.
class BusquedaDelCodigo : public testing::Test
{
protected:
    void SetUp() override
    {
        base.ejecuta(QStringLiteral("INSERT INTO Vendedor (Vn_Cve_Vendedor, Vn_Descripcion, Vn_Password) VALUES "
                                    "('V1', 'Ana Pérez', NULL), ('O''Brien', 'Pat O''Brien', 'x'), "
                                    "('0007', 'Siete', 'x'), ('ABC', 'Letras', 'x')"));
        codigo->setObjectName(QStringLiteral("txtVn_Cve_Vendedor"));
        nombre->setObjectName(QStringLiteral("txtVn_Descripcion"));
        codigo->setSql(QStringLiteral("select Vn_descripcion from vendedor where Vn_cve_vendedor = '?'"));
        codigo->setSql_control_resultado(QStringLiteral("txtVn_Descripcion"));
        nombre->setLocked(true);
        nombre->setMaxlength(50);
    }

    Pruebas::BaseDePrueba base;
    QDialog ventana;
    txtZEL *codigo = new txtZEL(&ventana);
    txtZEL *nombre = new txtZEL(&ventana);
    QLineEdit *otro = new QLineEdit(&ventana);
};

TEST_F(BusquedaDelCodigo, alConfirmarElCodigoElCuadroResultadoMuestraLoQueEncuentra)
{
    struct Caso
    {
        QString tecleado;
        QString formato;
        bool mayusculas;
        QString codigo;
        QString nombre;
    };
    const Caso casos[] = {
        {QStringLiteral("V1"), {}, false, QStringLiteral("V1"), QStringLiteral("Ana Pérez")},
        {QStringLiteral("O'Brien"), {}, false, QStringLiteral("O'Brien"), QStringLiteral("Pat O'Brien")},
        {QStringLiteral("NADIE"), {}, false, QStringLiteral("NADIE"), QString()},
        {QStringLiteral("7"), QStringLiteral("0000"), false, QStringLiteral("0007"), QStringLiteral("Siete")},
        {QStringLiteral("abc"), {}, true, QStringLiteral("ABC"), QStringLiteral("Letras")},
        {QStringLiteral("abc"), {}, false, QStringLiteral("abc"), QString()},
        {QString(), {}, false, QString(), QString()},
    };
    for (const Caso &caso : casos) {
        nombre->setTexto(QStringLiteral("anterior"));
        codigo->setTexto(QString());
        codigo->setFormato(caso.formato);
        codigo->setMayusculas(caso.mayusculas);
        QTest::keyClicks(codigo->editor(), caso.tecleado);
        QTest::keyClick(codigo->editor(), Qt::Key_Return);
        EXPECT_EQ(codigo->Texto(), caso.codigo) << caso.tecleado.toStdString();
        EXPECT_EQ(nombre->Texto(), caso.nombre) << caso.tecleado.toStdString();
    }
    EXPECT_EQ(base.cuenta(QStringLiteral("Vendedor")), 4) << "a quote in the code changes nothing";
}

TEST_F(BusquedaDelCodigo, salirDelCuadroConfirmaElCodigo)
{
    activa(ventana);
    codigo->setFocus();
    QTest::keyClicks(codigo->editor(), QStringLiteral("V1"));
    EXPECT_EQ(nombre->Texto(), QString());
    otro->setFocus();
    EXPECT_EQ(nombre->Texto(), QStringLiteral("Ana Pérez"));
}

TEST_F(BusquedaDelCodigo, unValorNuloOUnaConsultaQueFallaDejanVacioElResultado)
{
    static QStringList avisos;
    avisos.clear();
    const QtMessageHandler anterior = qInstallMessageHandler(
        [](QtMsgType tipo, const QMessageLogContext &contexto, const QString &texto) {
            if (tipo == QtWarningMsg && QLatin1String(contexto.category) == QLatin1String("teqvaro.controles"))
                avisos << texto;
        });
    codigo->setTexto(QStringLiteral("V1"));
    codigo->setSql(QStringLiteral("select Vn_Password from vendedor where Vn_cve_vendedor = '?'"));
    nombre->setTexto(QStringLiteral("anterior"));
    codigo->Valida();
    EXPECT_EQ(nombre->Texto(), QString()) << "Null shows as no text";

    codigo->setSql(QStringLiteral("select nada from tabla_que_no_existe where clave = '?'"));
    nombre->setTexto(QStringLiteral("anterior"));
    EXPECT_NO_THROW(codigo->Valida());
    qInstallMessageHandler(anterior);
    EXPECT_EQ(nombre->Texto(), QString());
    EXPECT_EQ(avisos.size(), 1);
}

TEST(txtZEL, elFormatoRellenaConCerosLosCodigosNumericos)
{
    struct Caso
    {
        QVariant formato;
        QString codigo;
        QString resultado;
    };
    const Caso casos[] = {
        {QStringLiteral("0000"), QStringLiteral("7"), QStringLiteral("0007")},
        {QStringLiteral("0000"), QStringLiteral("12345"), QStringLiteral("12345")},
        {QStringLiteral("0000"), QStringLiteral("A7"), QStringLiteral("A7")},
        {QStringLiteral("0000"), QString(), QString()},
        {QStringLiteral("#00"), QStringLiteral("5"), QStringLiteral("05")},
        {QStringLiteral("###"), QStringLiteral("5"), QStringLiteral("5")},
        {QStringLiteral("0-00"), QStringLiteral("5"), QStringLiteral("5")},
        {QString(), QStringLiteral("7"), QStringLiteral("7")},
        {QVariant(), QStringLiteral("7"), QStringLiteral("7")},
    };
    for (const Caso &caso : casos) {
        txtZEL caja;
        caja.setFormato(caso.formato);
        caja.setTexto(caso.codigo);
        caja.Valida();
        EXPECT_EQ(caja.Texto(), caso.resultado)
            << caso.formato.toString().toStdString() << " " << caso.codigo.toStdString();
    }
}

TEST(txtZEL, enterConLupaYElClicEnLaLupaPidenBuscar)
{
    txtZEL caja;
    caja.setObjectName(QStringLiteral("txtBuscar"));
    const QSignalSpy busquedas(&caja, &txtZEL::Buscar);
    auto *lupa = caja.findChild<QToolButton *>(QStringLiteral("txtBuscar_lupa"));
    ASSERT_NE(lupa, nullptr);

    EXPECT_TRUE(lupa->isHidden());
    QTest::keyClick(caja.editor(), Qt::Key_Return);
    EXPECT_EQ(busquedas.count(), 0);

    caja.setMostrarlupa(true);
    EXPECT_FALSE(lupa->isHidden());
    QTest::keyClick(caja.editor(), Qt::Key_Return);
    EXPECT_EQ(busquedas.count(), 1);
    QTest::mouseClick(lupa, Qt::LeftButton);
    EXPECT_EQ(busquedas.count(), 2);
}

TEST(txtZEL, lasPropiedadesDeEdicionGobiernanLoQueSeTeclea)
{
    txtZEL caja;
    caja.setPasswordchar(QStringLiteral("*"));
    EXPECT_EQ(caja.editor()->echoMode(), QLineEdit::Password);
    caja.setPasswordchar(QString());
    EXPECT_EQ(caja.editor()->echoMode(), QLineEdit::Normal);

    caja.setMaxlength(3);
    QTest::keyClicks(caja.editor(), QStringLiteral("ABCDE"));
    EXPECT_EQ(caja.Texto(), QStringLiteral("ABC"));
    EXPECT_EQ(errorDe([&] { caja.setMaxlength(-1); }), valorNoValido);

    caja.setLocked(true);
    QTest::keyClicks(caja.editor(), QStringLiteral("Z"));
    EXPECT_EQ(caja.Texto(), QStringLiteral("ABC"));

    caja.setHabilitado(false);
    EXPECT_FALSE(caja.Habilitado());
    EXPECT_FALSE(caja.editor()->isEnabled());
}

TEST(txtZEL, elControlActivoDelFormularioEsElCuadroConSuNombre)
{
    Runtime::Form formulario;
    auto *caja = new txtZEL(&formulario);
    caja->setObjectName(QStringLiteral("txtContraseña"));
    auto *otro = new QLineEdit(&formulario);
    otro->setObjectName(QStringLiteral("otro"));
    activa(formulario);
    caja->setFocus();

    QWidget *enfocado = QApplication::focusWidget();
    EXPECT_EQ(enfocado, caja->editor());
    EXPECT_EQ(enfocado->objectName(), QStringLiteral("txtContraseña_texto"));
    ASSERT_NE(txtZEL::owning(enfocado), nullptr);
    EXPECT_EQ(txtZEL::owning(enfocado)->objectName(), QStringLiteral("txtContraseña"));
    EXPECT_EQ(formulario.activeControl(), caja);
    EXPECT_EQ(txtZEL::owning(otro), nullptr);

    caja->setObjectName(QStringLiteral("txtBuscar"));
    EXPECT_EQ(caja->editor()->objectName(), QStringLiteral("txtBuscar_texto"));
}

// ---------------------------------------------------------------------------------------
// Colours

TEST(Colores, cadaPropiedadDeColorRechazaUnaReferenciaNoValidaSinCambiar)
{
    Controles::flatButton boton;
    Controles::Etiqueta etiqueta;
    Controles::colorZEL esquema;
    cbZel combo;
    txtZEL caja;
    struct Propiedad
    {
        QObject *control;
        const char *nombre;
    };
    const Propiedad propiedades[] = {
        {&boton, "backcolor"},      {&boton, "bordercolor"},  {&boton, "forecolor"},    {&boton, "focuscolor"},
        {&etiqueta, "backcolor"},   {&etiqueta, "forecolor"}, {&esquema, "backcolor"},  {&esquema, "enablecolor"},
        {&esquema, "disablecolor"}, {&esquema, "focuscolor"}, {&combo, "enabledcolor"}, {&combo, "disabledcolor"},
        {&combo, "focuscolor"},     {&caja, "enabledcolor"},  {&caja, "disabledcolor"}, {&caja, "focuscolor"},
    };
    for (const Propiedad &propiedad : propiedades) {
        const auto lee = [&] { return propiedad.control->property(propiedad.nombre).value<qint32>(); };
        const auto pon = [&](qint32 referencia) {
            return errorDe([&] { propiedad.control->setProperty(propiedad.nombre, referencia); });
        };
        const std::string donde = std::string(propiedad.control->metaObject()->className()) + "." + propiedad.nombre;
        EXPECT_EQ(pon(0x123456), 0) << donde;
        for (const qint32 mala : {qint32(0x01000000), qint32(0x80000019u), qint32(-1)}) {
            EXPECT_EQ(pon(mala), valorNoValido) << donde << " " << mala;
            EXPECT_EQ(lee(), 0x123456) << donde;
        }
        EXPECT_EQ(pon(qint32(0x80000012u)), 0) << donde << ": system colours are accepted";
    }
}

TEST(Etiqueta, muestraSuTextoConSuAlineacionYColores)
{
    Controles::Etiqueta etiqueta;
    etiqueta.setCaption(QStringLiteral("Contraseña:"));
    etiqueta.setIdetiqueta(QStringLiteral("CONTRASEÑA"));
    EXPECT_EQ(etiqueta.text(), QStringLiteral("Contraseña:"));
    EXPECT_EQ(etiqueta.accessibleDescription(), QStringLiteral("CONTRASEÑA"));

    const std::pair<int, Qt::Alignment> alineaciones[] = {
        {0, Qt::AlignLeft}, {1, Qt::AlignRight}, {2, Qt::AlignHCenter}};
    for (const auto &[codigo, alineacion] : alineaciones) {
        etiqueta.setAlignmentCode(codigo);
        EXPECT_EQ(etiqueta.alignment() & Qt::AlignHorizontal_Mask, alineacion) << codigo;
    }
    EXPECT_EQ(errorDe([&] { etiqueta.setAlignmentCode(3); }), valorNoValido);

    etiqueta.setForecolor(qint32(0x80000012u));
    etiqueta.setBackcolor(0xF5F5F5);
    EXPECT_EQ(etiqueta.palette().color(QPalette::WindowText), QApplication::palette().color(QPalette::ButtonText));
    EXPECT_EQ(etiqueta.palette().color(QPalette::Window), rgb(0xF5, 0xF5, 0xF5));
}

TEST(flatButton, pintaSuCaraYSuBordeConElColorDeFocoCuandoLoTiene)
{
    QDialog ventana;
    auto *otro = new QLineEdit(&ventana);
    auto *boton = new Controles::flatButton(&ventana);
    boton->setCaption(QStringLiteral("Aceptar"));
    boton->setBackcolor(0x8A5300);
    boton->setBordercolor(0x0000FF);
    boton->setFocuscolor(0x00FF00);
    boton->setGeometry(10, 40, 120, 30);
    activa(ventana);
    otro->setFocus();

    const auto pixel = [&](int x, int y) { return boton->grab().toImage().pixelColor(x, y); };
    EXPECT_EQ(pixel(6, 6), rgb(0x00, 0x53, 0x8A)) << "the face";
    EXPECT_EQ(pixel(0, 15), rgb(0xFF, 0x00, 0x00)) << "the border";
    boton->setFocus();
    EXPECT_EQ(pixel(0, 15), rgb(0x00, 0xFF, 0x00)) << "the border while focused";

    const QSignalSpy clicks(boton, &Controles::flatButton::Click);
    QTest::mouseClick(boton, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

// ---------------------------------------------------------------------------------------
// Bands

TEST(Bandas, losBotonesSeMuestranSoloConSIYSalirAvisa)
{
    const std::pair<QString, bool> valores[] = {
        {QStringLiteral("SI"), true}, {QStringLiteral("si"), true}, {QStringLiteral("NO"), false}, {QString(), false}};
    for (const auto &[valor, visible] : valores) {
        Controles::Titulo titulo;
        titulo.setShowminbutton(valor);
        titulo.setShowmaxbutton(valor);
        titulo.setShowexitbutton(valor);
        for (const char *boton : {"minimizar", "maximizar", "salir"})
            EXPECT_EQ(!titulo.findChild<QToolButton *>(QString::fromLatin1(boton))->isHidden(), visible) << boton;

        Controles::Controles barra;
        barra.setShowwindowslist(valor);
        barra.setShowexitbutton(valor);
        barra.setShowmenupopup(valor);
        for (const char *boton : {"ventanas", "salir", "menu"})
            EXPECT_EQ(!barra.findChild<QToolButton *>(QString::fromLatin1(boton))->isHidden(), visible) << boton;
    }

    Controles::Titulo titulo;
    titulo.setCaption(QStringLiteral("Login"));
    EXPECT_EQ(titulo.findChild<QLabel *>(QStringLiteral("leyenda"))->text(), QStringLiteral("Login"));
    const QSignalSpy salidaDelTitulo(&titulo, &Controles::Titulo::Salir);
    titulo.findChild<QToolButton *>(QStringLiteral("salir"))->click();
    EXPECT_EQ(salidaDelTitulo.count(), 1);

    Controles::Controles barra;
    const QSignalSpy salidaDeLaBarra(&barra, &Controles::Controles::Salir);
    barra.findChild<QToolButton *>(QStringLiteral("salir"))->click();
    EXPECT_EQ(salidaDeLaBarra.count(), 1);
}

TEST(Bandas, laListaDeVentanasOfreceLasVisiblesYTraeLaElegida)
{
    QWidget tablero;
    tablero.setWindowTitle(QStringLiteral("Control de oportunidades"));
    auto *barra = new Controles::Controles(&tablero);
    QWidget otra;
    otra.setWindowTitle(QStringLiteral("Contactos"));
    QWidget oculta;
    oculta.setWindowTitle(QStringLiteral("Oculta"));
    otra.show();
    activa(tablero);

    Q_EMIT barra->windowsMenu()->aboutToShow();
    QStringList titulos;
    for (const QAction *entrada : barra->windowsMenu()->actions())
        titulos << entrada->text() + (entrada->isChecked() ? QStringLiteral("*") : QString());
    titulos.sort();
    EXPECT_EQ(titulos, QStringList({QStringLiteral("Contactos"), QStringLiteral("Control de oportunidades*")}));

    for (QAction *entrada : barra->windowsMenu()->actions()) {
        if (entrada->text() == QStringLiteral("Contactos"))
            entrada->trigger();
    }
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &otra);
}

// ---------------------------------------------------------------------------------------
// colorZEL

TEST(colorZEL, aplicaColoresPintaElFormularioYSusCamposYRepetirloNoCambiaNada)
{
    QDialog formulario;
    auto *esquema = new Controles::colorZEL(&formulario);
    auto *caja = new txtZEL(&formulario);
    auto *combo = new cbZel(&formulario);
    auto *etiqueta = new Controles::Etiqueta(&formulario);
    auto *titulo = new Controles::Titulo(&formulario);
    auto *otro = new QLineEdit(&formulario);
    esquema->setBackcolor(0xF5F5F5);
    esquema->setEnablecolor(0xFFFFFF);
    esquema->setDisablecolor(0xDDDDDD);
    esquema->setFocuscolor(0xFFEECC);
    esquema->setLabelfontsize(11);
    esquema->setTextfontsize(10);
    auto *leyenda = titulo->findChild<QLabel *>(QStringLiteral("leyenda"));
    const qreal tamanoDeLeyenda = leyenda->font().pointSizeF();

    esquema->AplicaColores();
    esquema->AplicaColores();

    EXPECT_EQ(formulario.palette().color(QPalette::Window), rgb(0xF5, 0xF5, 0xF5));
    EXPECT_TRUE(formulario.autoFillBackground());
    EXPECT_EQ(caja->editor()->palette().color(QPalette::Base), rgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(combo->palette().color(QPalette::Base), rgb(0xFF, 0xFF, 0xFF));
    EXPECT_DOUBLE_EQ(caja->editor()->font().pointSizeF(), 10);
    EXPECT_DOUBLE_EQ(combo->font().pointSizeF(), 10);
    EXPECT_DOUBLE_EQ(etiqueta->font().pointSizeF(), 11);
    EXPECT_DOUBLE_EQ(leyenda->font().pointSizeF(), tamanoDeLeyenda) << "the title band keeps its own size";

    activa(formulario);
    caja->setFocus();
    EXPECT_EQ(caja->editor()->palette().color(QPalette::Base), rgb(0xCC, 0xEE, 0xFF));
    combo->setFocus();
    EXPECT_EQ(combo->palette().color(QPalette::Base), rgb(0xCC, 0xEE, 0xFF));
    EXPECT_EQ(caja->editor()->palette().color(QPalette::Base), rgb(0xFF, 0xFF, 0xFF));
    otro->setFocus();
    caja->setHabilitado(false);
    combo->setEnabled(false);
    EXPECT_EQ(caja->editor()->palette().color(QPalette::Base), rgb(0xDD, 0xDD, 0xDD));
    EXPECT_EQ(combo->palette().color(QPalette::Base), rgb(0xDD, 0xDD, 0xDD));

    esquema->setBackcolor(qint32(0x80000005u));
    esquema->AplicaColores();
    EXPECT_EQ(formulario.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Base));

    Controles::colorZEL suelto;
    EXPECT_NO_THROW(suelto.AplicaColores());
}

} // namespace
