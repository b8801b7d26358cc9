// The control kit as the forms use it: real widgets offscreen, the code box's lookup on a real database.
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

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using Kit::cbZel;
using Kit::txtZEL;
using Pruebas::errorDe;

constexpr int valorNoValido = Runtime::ErrorNumber::InvalidPropertyValue;

// Shows a window and makes it the active one, so the focus moves as a user sees it move.
void activa(QWidget &ventana)
{
    ventana.show();
    QApplication::setActiveWindow(&ventana);
    ASSERT_TRUE(ventana.isActiveWindow());
}

void llena(cbZel &combo)
{
    for (const char *texto : {"Todas", "Abiertas", "Cerradas"})
        combo.Agrega(QString::fromLatin1(texto));
}

// An index is -1 or an item's, a style one of three: anything else is refused and changes nothing.
TEST(cbZel, refusesAnIndexOrStyleItHasNotWith380AndKeepsItsSelection)
{
    cbZel combo;
    EXPECT_EQ(std::pair(errorDe([&] { combo.setIndice(0); }), errorDe([&] { combo.setIndice(-1); })),
              std::pair(valorNoValido, 0));
    llena(combo);
    combo.setEstilo(cbZel::DropDownList);
    for (const qint16 indice : {-1, 0, 2, 3, -2, 32767}) {
        combo.setIndice(1);
        const bool valido = indice >= -1 && indice <= 2;
        EXPECT_EQ((std::pair<int, int>{errorDe([&] { combo.setIndice(indice); }), combo.Indice()}),
                  std::pair(valido ? 0 : valorNoValido, valido ? int(indice) : 1))
            << indice;
    }
    EXPECT_EQ(errorDe([&] { combo.setEstilo(3); }), valorNoValido);
    EXPECT_EQ(std::tuple(combo.estilo(), combo.isEditable()), std::tuple(int(cbZel::DropDownList), false));
}

TEST(cbZel, clickComesOnEveryChangeOfSelectionAndNeverOnFilling)
{
    QDialog ventana;
    auto *combo = new cbZel(&ventana);
    combo->setEstilo(cbZel::DropDownList);
    const QSignalSpy clicks(combo, &cbZel::Click);
    // Items, the index, and how many Clicks came.
    const auto estado = [&] { return std::tuple(combo->NumElementos(), combo->Indice(), clicks.count()); };
    llena(*combo);
    EXPECT_EQ(estado(), std::tuple(3, -1, 0)); // adding items selects nothing
    combo->setIndice(1);
    combo->setIndice(1); // the same index again is no change
    EXPECT_EQ(estado(), std::tuple(3, 1, 1));
    activa(ventana);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down); // the user's choice
    EXPECT_EQ(estado(), std::tuple(3, 2, 2));
    combo->Limpia();
    combo->Limpia();
    EXPECT_EQ(estado(), std::tuple(0, -1, 3)); // emptying a combo with a selection changes it, once
}

// Whether Enter in `control`, given focus in its window, moves the focus to the next control.
bool enterPasa(QDialog &ventana, QWidget &control, QWidget &teclado)
{
    const auto *siguiente = new QLineEdit(&ventana);
    activa(ventana);
    control.setFocus();
    QTest::keyClick(&teclado, Qt::Key_Return);
    return QApplication::focusWidget() == siguiente;
}

TEST(TabOnEnter, enterMovesToTheNextControlOnlyWhenTurnedOn)
{
    // Turned on, turned on for an empty box, the box's text, whether Enter moves on.
    const std::tuple<bool, bool, const char *, bool> casos[] = {
        {false, false, "V1", false}, {true, false, "V1", true}, {true, false, "", false},
        {true, true, "", true},      {false, true, "", false},
    };
    for (const auto &[activado, conVacio, texto, pasa] : casos) {
        QDialog ventana;
        auto *codigo = new txtZEL(&ventana);
        codigo->setTabonenter(activado);
        codigo->setTabonentervacio(conVacio);
        codigo->setTexto(QString::fromLatin1(texto));
        EXPECT_EQ(enterPasa(ventana, *codigo, *codigo->editor()), pasa) << activado << conVacio << texto;
    }
    for (const bool activado : {true, false}) {
        QDialog ventana;
        auto *combo = new cbZel(&ventana);
        combo->setEstilo(cbZel::DropDownList);
        combo->setTabonenter(activado);
        EXPECT_EQ(enterPasa(ventana, *combo, *combo), activado);
    }
}

// The login's pair of boxes: the code box looks the name up into the name box, locked. What it
// finds shows there; a NULL found, or a query that fails (logged once), leaves it empty.
TEST(BusquedaDelCodigo, confirmingTheCodeShowsWhatItFindsOrNothingInTheResultBox)
{
    const Pruebas::BaseDePrueba base;
    base.ejecuta(
        "INSERT INTO Vendedor (Vn_Cve_Vendedor, Vn_Descripcion, Vn_Password) VALUES "
        "('V1', 'Ana Pérez', NULL), ('O''Brien', 'Pat O''Brien', 'x'), ('0007', 'Siete', 'x'), ('ABC', 'Letras', 'x')");
    QDialog ventana;
    auto *codigo = new txtZEL(&ventana);
    auto *nombre = new txtZEL(&ventana);
    auto *otro = new QLineEdit(&ventana);
    nombre->setObjectName("txtVn_Descripcion");
    nombre->setLocked(true);
    codigo->setSql("select Vn_descripcion from vendedor where Vn_cve_vendedor = '?'");
    codigo->setSql_control_resultado("txtVn_Descripcion");
    // Typed|the code's format ("^": upper case)|the code then|the name found.
    for (const char *caso : {"V1||V1|Ana Pérez", "O'Brien||O'Brien|Pat O'Brien", "NADIE||NADIE|", "7|0000|0007|Siete",
                             "abc|^|ABC|Letras", "abc||abc|", "|||"}) {
        const QStringList partes = QString::fromUtf8(caso).split('|');
        nombre->setTexto("anterior");
        codigo->setTexto(QString());
        codigo->setFormato(partes[1] == u"^" ? QString() : partes[1]);
        codigo->setMayusculas(partes[1] == u"^");
        QTest::keyClicks(codigo->editor(), partes[0]);
        QTest::keyClick(codigo->editor(), Qt::Key_Return);
        EXPECT_EQ(QStringList({codigo->Texto(), nombre->Texto()}), partes.mid(2)) << caso;
    }
    EXPECT_EQ(base.cuenta("Vendedor"), 4) << "a quote in the code changes nothing";
    // Leaving the box confirms the code too.
    codigo->setTexto(QString());
    activa(ventana);
    codigo->setFocus();
    QTest::keyClicks(codigo->editor(), "V1");
    EXPECT_EQ(nombre->Texto(), QString());
    otro->setFocus();
    EXPECT_EQ(nombre->Texto(), "Ana Pérez");

    static int avisos = 0;
    const QtMessageHandler anterior = qInstallMessageHandler(
        [](QtMsgType tipo, const QMessageLogContext &contexto, const QString &) {
            avisos += tipo == QtWarningMsg && contexto.category == std::string_view("teqvaro.controles");
        });
    codigo->setTexto("V1");
    for (const char *consulta : {"select Vn_Password from vendedor where Vn_cve_vendedor = '?'",
                                 "select nada from tabla_que_no_existe where clave = '?'"}) {
        codigo->setSql(QString::fromLatin1(consulta));
        nombre->setTexto("anterior");
        EXPECT_EQ(errorDe([&] { codigo->Valida(); }), 0);
        EXPECT_EQ(nombre->Texto(), QString()) << consulta;
    }
    qInstallMessageHandler(anterior);
    EXPECT_EQ(avisos, 1);
}

TEST(txtZEL, theFormatPadsNumericCodesWithZeros)
{
    // Format ("~": none at all), code, the code once confirmed.
    for (const QString caso : {"0000|7|0007", "0000|12345|12345", "0000|A7|A7", "0000||", "#00|5|05", "###|5|5",
                               "0-00|5|5", "|7|7", "~|7|7"}) {
        const QStringList partes = caso.split('|');
        txtZEL caja;
        caja.setFormato(partes[0] == u"~" ? QVariant() : partes[0]);
        caja.setTexto(partes[1]);
        caja.Valida();
        EXPECT_EQ(caja.Texto(), partes[2]) << caso.toStdString();
    }
}

TEST(txtZEL, theEditingPropertiesGovernWhatIsTypedAndEnterSearchesWhenTheLensIsShown)
{
    txtZEL caja;
    caja.setObjectName("txtBuscar");
    const QSignalSpy busquedas(&caja, &txtZEL::Buscar);
    auto *lupa = caja.findChild<QToolButton *>("txtBuscar_lupa");
    ASSERT_TRUE(lupa && lupa->isHidden());
    QTest::keyClick(caja.editor(), Qt::Key_Return);
    caja.setMostrarlupa(true);
    EXPECT_FALSE(lupa->isHidden());
    QTest::keyClick(caja.editor(), Qt::Key_Return);
    QTest::mouseClick(lupa, Qt::LeftButton);
    EXPECT_EQ(busquedas.count(), 2);

    caja.setPasswordchar("*");
    EXPECT_EQ(caja.editor()->echoMode(), QLineEdit::Password);
    caja.setPasswordchar(QString());
    EXPECT_EQ(caja.editor()->echoMode(), QLineEdit::Normal);
    caja.setMaxlength(3);
    QTest::keyClicks(caja.editor(), "ABCDE");
    EXPECT_EQ(errorDe([&] { caja.setMaxlength(-1); }), valorNoValido);
    caja.setLocked(true);
    QTest::keyClicks(caja.editor(), "Z");
    EXPECT_EQ(caja.Texto(), "ABC");
}

TEST(Colores, everyColourPropertyRefusesAnInvalidReferenceAndKeepsItsColour)
{
    Kit::flatButton boton;
    Kit::Etiqueta etiqueta;
    Kit::colorZEL esquema;
    cbZel combo;
    txtZEL caja;
    const std::pair<QObject *, QStringList> propiedades[] = {
        {&boton, {"backcolor", "bordercolor", "forecolor", "focuscolor"}},
        {&etiqueta, {"backcolor", "forecolor"}},
        {&esquema, {"backcolor", "enablecolor", "disablecolor", "focuscolor"}},
        {&combo, {"enabledcolor", "disabledcolor", "focuscolor"}},
        {&caja, {"enabledcolor", "disabledcolor", "focuscolor"}}};
    // Each takes a colour, refuses one beyond RGB keeping the colour it had, and takes a system
    // colour (the references themselves are the conversions' to check).
    for (const auto &[control, nombres] : propiedades) {
        for (const QString &nombre : nombres) {
            const QByteArray propiedad = nombre.toLatin1();
            const auto pon = [&](qint32 color) { return errorDe([&] { control->setProperty(propiedad, color); }); };
            EXPECT_EQ((std::tuple{pon(0x123456), pon(0x01000000), control->property(propiedad).value<qint32>(),
                                  pon(qint32(0x80000012u))}),
                      std::tuple(0, valorNoValido, 0x123456, 0))
                << control->metaObject()->className() << "." << propiedad.data();
        }
    }
}

TEST(Etiqueta, refusesAnAlignmentItHasNotAndShowsItsColours)
{
    Kit::Etiqueta etiqueta;
    EXPECT_EQ(errorDe([&] { etiqueta.setAlignmentCode(3); }), valorNoValido);
    etiqueta.setForecolor(qint32(0x80000012u));
    etiqueta.setBackcolor(0xF5F5F5);
    EXPECT_EQ(etiqueta.palette().color(QPalette::WindowText), QApplication::palette().color(QPalette::ButtonText));
    EXPECT_EQ(etiqueta.palette().color(QPalette::Window).name(), "#f5f5f5");
}

TEST(flatButton, paintsItsFaceAndItsBorderInTheFocusColourWhileFocused)
{
    QDialog ventana;
    auto *otro = new QLineEdit(&ventana);
    auto *boton = new Kit::flatButton(&ventana);
    boton->setBackcolor(0x8A5300);
    boton->setBordercolor(0x0000FF);
    boton->setFocuscolor(0x00FF00);
    boton->setGeometry(10, 40, 120, 30);
    activa(ventana);
    otro->setFocus();
    // The face, and the border.
    const auto pixeles = [&] {
        const QImage imagen = boton->grab().toImage();
        return imagen.pixelColor(6, 6).name() + ' ' + imagen.pixelColor(0, 15).name();
    };
    EXPECT_EQ(pixeles(), "#00538a #ff0000");
    boton->setFocus();
    EXPECT_EQ(pixeles(), "#00538a #00ff00");
}

// Each band's buttons, "+" shown and "-" hidden, in the order named.
QString botones(const QWidget &banda, std::initializer_list<const char *> nombres)
{
    QString vistos;
    for (const char *nombre : nombres)
        vistos += banda.findChild<QToolButton *>(QString::fromLatin1(nombre))->isHidden() ? u'-' : u'+';
    return vistos;
}

TEST(Bandas, theButtonsShowOnlyWithSIAndExitIsAnnounced)
{
    for (const auto &[valor, visibles] :
         {std::pair<QString, QString>{"SI", "+++"}, {"si", "+++"}, {"NO", "---"}, {"", "---"}}) {
        Kit::Titulo titulo;
        Kit::Controles barra;
        for (const char *propiedad : {"showminbutton", "showmaxbutton", "showexitbutton"})
            titulo.setProperty(propiedad, valor);
        for (const char *propiedad : {"showwindowslist", "showexitbutton", "showmenupopup"})
            barra.setProperty(propiedad, valor);
        EXPECT_EQ(botones(titulo, {"minimizar", "maximizar", "salir"}), visibles) << valor.toStdString();
        EXPECT_EQ(botones(barra, {"ventanas", "salir", "menu"}), visibles) << valor.toStdString();
        const QSignalSpy salidaDelTitulo(&titulo, &Kit::Titulo::Salir);
        const QSignalSpy salidaDeLaBarra(&barra, &Kit::Controles::Salir);
        titulo.findChild<QToolButton *>("salir")->click();
        barra.findChild<QToolButton *>("salir")->click();
        EXPECT_EQ(salidaDelTitulo.count() + salidaDeLaBarra.count(), 2);
    }
}

TEST(Bandas, theWindowsListOffersTheVisibleOnesAndBringsTheChosenOne)
{
    QWidget tablero, otra, oculta;
    tablero.setWindowTitle("Control de oportunidades");
    otra.setWindowTitle("Contactos");
    oculta.setWindowTitle("Oculta");
    auto *barra = new Kit::Controles(&tablero);
    otra.show();
    activa(tablero);
    Q_EMIT barra->windowsMenu()->aboutToShow();
    QStringList titulos;
    for (const QAction *entrada : barra->windowsMenu()->actions())
        titulos << entrada->text() + (entrada->isChecked() ? "*" : QString());
    titulos.sort();
    EXPECT_EQ(titulos, QStringList({"Contactos", "Control de oportunidades*"}));
    for (QAction *entrada : barra->windowsMenu()->actions())
        if (entrada->text() == u"Contactos")
            entrada->trigger();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &otra);
}

// The form's scheme: its background, its fields' colours by state (enabled, focused,
// disabled) and their font sizes; the title band keeps its own size.
TEST(colorZEL, aplicaColoresPaintsTheFormAndItsFieldsAndRepeatingItChangesNothing)
{
    QDialog formulario;
    auto *esquema = new Kit::colorZEL(&formulario);
    auto *caja = new txtZEL(&formulario);
    auto *combo = new cbZel(&formulario);
    auto *etiqueta = new Kit::Etiqueta(&formulario);
    auto *leyenda = (new Kit::Titulo(&formulario))->findChild<QLabel *>("leyenda");
    auto *otro = new QLineEdit(&formulario);
    for (const QString ajuste : {"backcolor=0xF5F5F5", "enablecolor=0xFFFFFF", "disablecolor=0xDDDDDD",
                                 "focuscolor=0xFFEECC", "labelfontsize=11", "textfontsize=10"})
        esquema->setProperty(ajuste.section('=', 0, 0).toLatin1(), ajuste.section('=', 1).toInt(nullptr, 0));
    const qreal tamanoDeLeyenda = leyenda->font().pointSizeF();
    esquema->AplicaColores();
    esquema->AplicaColores();

    // The fields' background colours, the text box's first, as they stand now.
    const auto fondo = [](const QWidget *campo) { return campo->palette().color(QPalette::Base).name(); };
    const auto fondos = [&] { return fondo(caja->editor()) + ' ' + fondo(combo); };
    EXPECT_EQ(formulario.palette().color(QPalette::Window).name(), "#f5f5f5");
    EXPECT_TRUE(formulario.autoFillBackground());
    EXPECT_EQ(fondos(), "#ffffff #ffffff");
    EXPECT_EQ(std::tuple(caja->editor()->font().pointSizeF(), combo->font().pointSizeF(), etiqueta->font().pointSizeF(),
                         leyenda->font().pointSizeF()),
              std::tuple(10, 10, 11, tamanoDeLeyenda));
    activa(formulario);
    caja->setFocus();
    EXPECT_EQ(fondos(), "#cceeff #ffffff");
    combo->setFocus();
    EXPECT_EQ(fondos(), "#ffffff #cceeff");
    otro->setFocus();
    caja->setHabilitado(false);
    combo->setEnabled(false);
    EXPECT_EQ(fondos(), "#dddddd #dddddd");

    esquema->setBackcolor(qint32(0x80000005u));
    esquema->AplicaColores();
    EXPECT_EQ(formulario.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Base));
    Kit::colorZEL suelto;
    EXPECT_EQ(errorDe([&] { suelto.AplicaColores(); }), 0);
}

} // namespace
