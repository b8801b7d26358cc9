// The control kit as the forms use it: real widgets offscreen, the code box's lookup on a real
// database, the list view's items numbered from 1 in display order, looks per cell and one sort.
#include "basedeprueba.h"
#include "bitacora.h"
#include "errores.h"
#include "listas.h"

#include "controles/cbzel.h"
#include "controles/colorzel.h"
#include "controles/controles.h"
#include "controles/directiontext.h"
#include "controles/etiqueta.h"
#include "controles/flatbutton.h"
#include "controles/listmodel.h"
#include "controles/titulo.h"
#include "controles/txtzel.h"
#include "runtime/error.h"
#include "runtime/settings.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using Kit::cbZel;
using Kit::ListRow;
using Kit::ListView;
using Kit::txtZEL;
using Pruebas::columna;
using Pruebas::errorDe;

constexpr int valorNoValido = Runtime::ErrorNumber::InvalidPropertyValue;

// Shows a window and makes it the active one, so the focus moves as a user sees it move.
void activa(QWidget &ventana)
{
    ventana.show();
    QApplication::setActiveWindow(&ventana);
    ASSERT_TRUE(ventana.isActiveWindow());
}

// An index is -1 or an item's, a style one of three: anything else is refused and changes
// nothing. Click comes on every change of the selection, by code or by the user, never on
// filling it.
TEST(cbZel, refusesAnIndexOrStyleItHasNotWith380AndClicksOnEveryChangeOfSelection)
{
    QDialog ventana;
    auto *combo = new cbZel(&ventana);
    EXPECT_EQ(std::pair(errorDe([&] { combo->setIndice(0); }), errorDe([&] { combo->setIndice(-1); })),
              std::pair(valorNoValido, 0));
    combo->setEstilo(cbZel::DropDownList);
    const QSignalSpy clicks(combo, &cbZel::Click);
    // Items, the index, and how many Clicks came.
    const auto estado = [&] { return std::tuple(combo->NumElementos(), combo->Indice(), clicks.count()); };
    for (const char *texto : {"Todas", "Abiertas", "Cerradas"})
        combo->Agrega(QString::fromLatin1(texto));
    EXPECT_EQ(estado(), std::tuple(3, -1, 0)); // adding items selects nothing
    combo->setIndice(2);
    combo->setIndice(2); // the same index again is no change
    for (const qint16 indice : {3, -2, 32767})
        EXPECT_EQ(errorDe([&] { combo->setIndice(indice); }), valorNoValido) << indice;
    EXPECT_EQ(errorDe([&] { combo->setEstilo(3); }), valorNoValido);
    EXPECT_EQ(std::tuple(combo->estilo(), combo->isEditable()), std::tuple(int(cbZel::DropDownList), false));
    EXPECT_EQ(estado(), std::tuple(3, 2, 1));
    activa(ventana);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Up); // the user's choice
    EXPECT_EQ(estado(), std::tuple(3, 1, 2));
    combo->Limpia();
    combo->Limpia();
    EXPECT_EQ(estado(), std::tuple(0, -1, 3)); // emptying a combo with a selection changes it, once
}

// Enter moves to the next control only when turned on; the editing properties govern what is
// typed, and Enter searches when the lens is shown.
TEST(txtZEL, enterMovesOnOnlyWhenTurnedOnAndTheEditingPropertiesGovernWhatIsTyped)
{
    // Whether Enter in `control`, given focus in its window, moves the focus to the next control.
    const auto enterPasa = [](QDialog &ventana, QWidget &control, QWidget &teclado) {
        const auto *siguiente = new QLineEdit(&ventana);
        activa(ventana);
        control.setFocus();
        QTest::keyClick(&teclado, Qt::Key_Return);
        return QApplication::focusWidget() == siguiente;
    };
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
    nombre->setObjectName("txtVn_Descripcion");
    nombre->setLocked(true);
    codigo->setSql("select Vn_descripcion from vendedor where Vn_cve_vendedor = '?'");
    codigo->setSql_control_resultado("txtVn_Descripcion");
    // Typed|the code's format ("^": upper case)|the code then|the name found. The format pads
    // a code of digits only with zeros, up to the places from its first '0'.
    for (const char *caso :
         {"V1||V1|Ana Pérez", "O'Brien||O'Brien|Pat O'Brien", "NADIE||NADIE|", "7|0000|0007|Siete", "12345|0000|12345|",
          "A7|0000|A7|", "|0000||", "5|#00|05|", "5|###|5|", "5|0-00|5|", "abc|^|ABC|Letras", "abc||abc|", "|||"}) {
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
    auto *otro = new QLineEdit(&ventana);
    activa(ventana);
    codigo->setFocus();
    QTest::keyClicks(codigo->editor(), "V1");
    otro->setFocus();
    EXPECT_EQ(nombre->Texto(), "Ana Pérez");

    const Pruebas::Bitacora avisos("teqvaro.controles");
    codigo->setTexto("V1");
    for (const char *consulta : {"select Vn_Password from vendedor where Vn_cve_vendedor = '?'",
                                 "select nada from tabla_que_no_existe where clave = '?'"}) {
        codigo->setSql(QString::fromLatin1(consulta));
        nombre->setTexto("anterior");
        EXPECT_EQ(errorDe([&] { codigo->Valida(); }), 0);
        EXPECT_EQ(nombre->Texto(), QString()) << consulta;
    }
    EXPECT_EQ(avisos.lineas().size(), 1);
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
    // The label shows its colours, the system one left by the loop among them, and refuses an
    // alignment it has not.
    etiqueta.setBackcolor(0xF5F5F5);
    EXPECT_EQ(etiqueta.palette().color(QPalette::WindowText), QApplication::palette().color(QPalette::ButtonText));
    EXPECT_EQ(etiqueta.palette().color(QPalette::Window).name(), "#f5f5f5");
    EXPECT_EQ(errorDe([&] { etiqueta.setAlignmentCode(3); }), valorNoValido);
}

// The buttons show only with SI and exit is announced; the windows list offers the visible
// windows and brings the chosen one.
TEST(Bandas, theButtonsShowOnlyWithSIExitIsAnnouncedAndTheWindowsListBringsTheChosenOne)
{
    // Each band's buttons, "+" shown and "-" hidden, in the order named.
    const auto botones = [](const QWidget &banda, std::initializer_list<const char *> nombres) {
        QString vistos;
        for (const char *nombre : nombres)
            vistos += banda.findChild<QToolButton *>(QString::fromLatin1(nombre))->isHidden() ? u'-' : u'+';
        return vistos;
    };
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
// disabled) and their font sizes; the title band keeps its own size. A flat button paints its
// face, and its border in the focus colour while focused.
TEST(colorZEL, aplicaColoresPaintsTheFormAndItsFieldsAndRepeatingItChangesNothing)
{
    QDialog formulario;
    auto *esquema = new Kit::colorZEL(&formulario);
    auto *caja = new txtZEL(&formulario);
    auto *combo = new cbZel(&formulario);
    auto *etiqueta = new Kit::Etiqueta(&formulario);
    auto *leyenda = (new Kit::Titulo(&formulario))->findChild<QLabel *>("leyenda");
    auto *otro = new QLineEdit(&formulario);
    auto *boton = new Kit::flatButton(&formulario);
    boton->setBackcolor(0x8A5300);
    boton->setBordercolor(0x0000FF);
    boton->setFocuscolor(0x00FF00);
    boton->setGeometry(10, 40, 120, 30);
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
    // The button's face, and its border.
    const auto pixeles = [&] {
        const QImage imagen = boton->grab().toImage();
        return imagen.pixelColor(6, 6).name() + ' ' + imagen.pixelColor(0, 15).name();
    };
    EXPECT_EQ(pixeles(), "#00538a #ff0000");
    boton->setFocus();
    EXPECT_EQ(pixeles(), "#00538a #00ff00");
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

// The rows of a list, each written with its cells split at "|".
std::vector<ListRow> filas(const QStringList &renglones)
{
    std::vector<ListRow> resultado;
    for (const QString &renglon : renglones)
        resultado.push_back(ListRow{QString(), renglon.split('|')});
    return resultado;
}

void ordena(ListView &lista, int columna, Qt::SortOrder orden)
{
    lista.setSortKey(columna);
    lista.setSortOrder(orden);
    lista.setSorted(true);
}

class Lista : public testing::Test
{
protected:
    void SetUp() override
    {
        lista.replaceContents({"Folio", "Cliente", "Monto"},
                              filas({"F3|beta|20.00", "F1|Alfa|100.50", "F2|beta|9.99"}));
    }

    ListView lista;
    QAbstractItemModelTester probador{&lista.listModel(), QAbstractItemModelTester::FailureReportingMode::Fatal};
};

// Items numbered from 1, others refused with 35600; colours and weight per cell; figures line
// up to the right; a huge cell is shown cut; emptied, the list keeps its columns.
TEST_F(Lista, numbersItemsFromOneKeepsALookPerCellCutsAHugeCellAndEmptiesKeepingItsColumns)
{
    EXPECT_EQ(columna(lista, 0), (QStringList{"F3", "F1", "F2"}));
    EXPECT_EQ(std::pair(lista.subItemText(2, 2), lista.subItemCount(1)), std::pair(QString("100.50"), 2));
    for (const auto &fuera : std::vector<std::function<void()>>{
             [&] { lista.itemText(0); }, [&] { lista.itemText(4); }, [&] { lista.subItemText(1, 3); },
             [&] { lista.setSubItemForeColor(1, 3, 0); }, [&] { lista.selectItem(9); }})
        EXPECT_EQ(errorDe(fuera), Runtime::ErrorNumber::IndexOutOfBounds);
    lista.setItemForeColor(1, 0x0000FF);
    lista.setSubItemBold(1, 2, true);
    EXPECT_EQ(lista.cellForeColor(1, 0), 0x0000FF);
    EXPECT_FALSE(lista.cellForeColor(1, 1).has_value());
    EXPECT_EQ(std::pair(lista.cellBold(1, 1), lista.cellBold(1, 2)), std::pair(false, true));
    const auto dato = [&](int columna, int papel) { return lista.listModel().index(0, columna).data(papel); };
    EXPECT_EQ(dato(0, Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    EXPECT_EQ(errorDe([&] { lista.setItemForeColor(1, 0x1000000); }), Runtime::ErrorNumber::InvalidPropertyValue);
    EXPECT_EQ(lista.cellForeColor(1, 0), 0x0000FF); // a refused colour leaves the old one
    EXPECT_FALSE(dato(1, Qt::TextAlignmentRole).isValid());
    EXPECT_EQ(dato(2, Qt::TextAlignmentRole).value<int>() & Qt::AlignRight, int(Qt::AlignRight));

    // The looks of some rows alone, by arrival order: each takes its look in every cell and is
    // announced when it looks otherwise; the other rows keep theirs.
    QSignalSpy anuncios(&lista.listModel(), &QAbstractItemModel::dataChanged);
    for (int vez = 0; vez < 2; ++vez)
        lista.setRowLooksInArrivalOrder(std::vector<int>{2, 0}, {{0x00FF00, true}, {0x0000FF, false}});
    EXPECT_EQ(anuncios.count(), 2);
    EXPECT_EQ(
        std::tuple(lista.cellForeColor(3, 2), lista.cellBold(3, 1), lista.cellBold(1, 2), lista.cellForeColor(2, 0)),
        std::tuple(std::optional<qint32>(0x00FF00), true, false, std::optional<qint32>()));
    // Every row's look at once: only the rows that look otherwise are announced, run by run.
    anuncios.clear();
    lista.setEveryRowLook({{}, {0x00FF00, true}}, {0, 0, 0});
    QStringList anunciadas;
    for (const QList<QVariant> &anuncio : anuncios)
        anunciadas << QStringLiteral("%1-%2").arg(anuncio[0].toModelIndex().row()).arg(anuncio[1].toModelIndex().row());
    EXPECT_EQ(anunciadas, (QStringList{"0-0", "2-2"}));

    // A character that turns the text around shows as its code, in the cell and its tooltip,
    // so a folio cannot pass for another ("OP-000001"); the item's text stays as stored. Its
    // neighbours in Unicode change nothing and show as they are.
    lista.replaceContents({"Folio"}, filas({QString::fromUtf16(u"OP-\u202E100000")}));
    EXPECT_EQ(dato(0, Qt::DisplayRole).toString(), QString::fromUtf16(u"OP-\u2039U+202E\u203A100000"));
    EXPECT_EQ(dato(0, Qt::ToolTipRole).toString(), QString::fromUtf16(u"OP-\u2039U+202E\u203A100000"));
    EXPECT_EQ(lista.itemText(1), QString::fromUtf16(u"OP-\u202E100000"));
    for (const char16_t letra : {u'\u200E', u'\u200F', u'\u202A', u'\u202C', u'\u202E', u'\u2066', u'\u2069'})
        EXPECT_EQ(Kit::withDirectionShown(QChar(letra)),
                  QStringLiteral("\u2039U+%1\u203A").arg(int(letra), 0, 16).toUpper());
    for (const char16_t letra : {u'\u200D', u'\u2010', u'\u2029', u'\u202F', u'\u2065', u'\u206A'})
        EXPECT_EQ(Kit::withDirectionShown(QChar(letra)), QChar(letra)) << int(letra);

    // A cell of a megabyte is shown cut to a page of text; the item's text stays whole.
    const QString enorme = QString(1'000'000, 'x');
    lista.replaceContents({"Folio", "Nota"}, filas({"F1|" + enorme}));
    const QString mostrado = dato(1, Qt::DisplayRole).toString();
    EXPECT_EQ(mostrado, enorme.first(Kit::ListModel::shownLength) + QChar(0x2026));
    EXPECT_EQ(dato(1, Qt::ToolTipRole).toString(), mostrado);
    EXPECT_EQ(lista.subItemText(1, 1), enorme);
    lista.clearItems();
    EXPECT_EQ(std::pair(lista.itemCount(), lista.columnCount()), std::pair(0, 2));
}

// Rows that tie keep the order they arrived in, whatever the list was sorted by before. Figures
// and dates as a Mexican list shows them ("$9,000.00", "31/12/2025") sort by value, text as
// Mexican Spanish collates it; a column is a number or a date when every filled cell reads as one.
TEST_F(Lista, sortsStablyByOneColumnNumbersAndDatesByValueAndTextInSpanishOrder)
{
    lista.selectItem(3); // F2
    ordena(lista, 0, Qt::AscendingOrder);
    ASSERT_EQ(columna(lista, 0), (QStringList{"F1", "F2", "F3"}));
    ordena(lista, 1, Qt::AscendingOrder);
    EXPECT_EQ(columna(lista, 0), (QStringList{"F1", "F3", "F2"}));
    EXPECT_EQ(lista.itemText(lista.selectedIndex()), "F2");
    lista.setSortOrder(Qt::DescendingOrder);
    EXPECT_EQ(columna(lista, 0), (QStringList{"F3", "F2", "F1"}));
    // A new filling is put in the same order at once.
    lista.replaceContents({"Folio", "Cliente", "Monto"}, filas({"A|a|1", "B|c|2", "C|b|3"}));
    EXPECT_EQ(columna(lista, 1), (QStringList{"c", "b", "a"}));

    lista.replaceContents({"Folio", "Monto", "Cierre"},
                          filas({"OP-10|$10,000.00|01/12/2026", "OP-9|$9,000.00|15/01/2026",
                                 "OP-100|$950.50|31/12/2025 17:30", "OP-11||30/06/2026", "OP-2|-$5.00|15/01/2026"}));
    ordena(lista, 1, Qt::AscendingOrder);
    EXPECT_EQ(columna(lista, 1), (QStringList{"", "-$5.00", "$950.50", "$9,000.00", "$10,000.00"}));
    ordena(lista, 2, Qt::AscendingOrder);
    EXPECT_EQ(columna(lista, 0), (QStringList{"OP-100", "OP-9", "OP-2", "OP-11", "OP-10"})); // ties by arrival
    ordena(lista, 0, Qt::DescendingOrder);
    EXPECT_EQ(columna(lista, 0), (QStringList{"OP-100", "OP-11", "OP-10", "OP-9", "OP-2"}));

    // Numbers inside the text by value; letter case aside (those rows tie, and keep the order
    // they arrived in); a word with accents right after the same word without them; ñ a
    // letter of its own between n and o.
    const std::pair<QStringList, QStringList> textos[] = {
        {{"a10", "A9", "a9", "a1"}, {"a1", "A9", "a9", "a10"}},
        {{"Éxito", "exito", "Ezequiel", "Exito", "éxtasis"}, {"exito", "Exito", "Éxito", "éxtasis", "Ezequiel"}},
        {{"Ñandú", "oso", "nube", "Nz"}, {"nube", "Nz", "Ñandú", "oso"}},
    };
    lista.setSortOrder(Qt::AscendingOrder);
    for (const auto &[llegada, orden] : textos) {
        lista.replaceContents({"Texto"}, filas(llegada));
        EXPECT_EQ(columna(lista, 0), orden);
    }

    using Kind = Kit::TextTable::ColumnKind;
    // Each column's cells, split at ";".
    const std::pair<Kind, QStringList> casos[] = {
        {Kind::Number, {"12;-3,400.50;;0.5", "$1,234.50;-$5.00;7"}},
        {Kind::Date, {"2026-01-31;2026-02-01 10:20:30", "31/01/2026;01/02/2026 10:20;02/02/2026 10:20:30"}},
        {Kind::Text,
         {"12;1.", ".5", "1-2", "$;$-5", "2026-1-31", "2026-01-31 10:20", ";", "31/1/2026", "31/01/2026 10"}},
    };
    for (const auto &[tipo, columnas] : casos) {
        for (const QString &celdas : columnas) {
            lista.replaceContents({"Valor"}, filas(celdas.split(';')));
            EXPECT_EQ(lista.listModel().columnKind(0), tipo) << celdas.toStdString();
        }
    }
}

// The quick filter shows the rows with a cell holding the text, accents and letter case aside,
// in the order shown; the items keep their numbers and their count, a selected row stays
// selected while shown, and rows changed or filled anew are shown as they match.
TEST_F(Lista, theQuickFilterShowsOnlyMatchingRowsAndLeavesTheItemsAsTheyAre)
{
    lista.replaceContents({"Folio", "Cliente", "Estado"}, filas({"OP-1|José Peña|Abierta", "OP-2|JOSE PENA|Ganada",
                                                                 "OP-3|María|Abierta", "OP-4|Ñandú|Perdida"}));
    const auto mostrados = [&] {
        QStringList folios;
        for (int fila = 0; fila < lista.listModel().rowCount(); ++fila)
            folios << lista.listModel().index(fila, 0).data().toString();
        return folios.join(' ');
    };
    // Typed in this order: each letter narrows what the last found, a shorter text widens it.
    const std::pair<const char *, const char *> casos[] = {
        {"a", "OP-1 OP-2 OP-3 OP-4"},
        {"ab", "OP-1 OP-3"},
        {"abiérta", "OP-1 OP-3"},
        {"ab", "OP-1 OP-3"},
        {"PEÑA", "OP-1 OP-2"},
        {"nandu", "OP-4"},
        {"zz", ""},
        {"", "OP-1 OP-2 OP-3 OP-4"},
        {"jose", "OP-1 OP-2"},
    };
    for (const auto &[texto, esperados] : casos) {
        lista.setQuickFilter(QString::fromUtf8(texto));
        EXPECT_EQ(mostrados(), esperados) << texto;
    }
    lista.selectItem(2);
    lista.setQuickFilter("JOSÉ P");
    EXPECT_EQ(std::tuple(lista.itemCount(), lista.selectedIndex(), lista.isItemShown(3)), std::tuple(4, 2, false));
    EXPECT_EQ(lista.listModel().index(1, 0).data(Qt::ForegroundRole), QVariant());
    lista.setRowLooksInArrivalOrder(std::vector<int>{1}, {{0x0000FF, true}});
    EXPECT_EQ(lista.listModel().index(1, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    lista.selectItem(3); // hidden: nothing is selected
    EXPECT_EQ(std::pair(lista.selectedIndex(), lista.itemRect(3).isEmpty()), std::pair(0, true));

    // A refresh: one row comes into the filter, one leaves it; then a new filling, sorted.
    lista.setQuickFilter("jose");
    Kit::ListUpdate actualizacion;
    actualizacion.changes = {{2, {"OP-3", "José María", "Abierta"}}, {0, {"OP-1", "Pedro", "Abierta"}}};
    lista.apply(actualizacion);
    EXPECT_EQ(mostrados(), "OP-2 OP-3");
    ordena(lista, 0, Qt::DescendingOrder);
    lista.replaceContents({"Folio", "Cliente"}, filas({"OP-7|Josefina", "OP-8|Luis", "OP-9|don José"}));
    EXPECT_EQ(mostrados(), "OP-9 OP-7");
    lista.addItem({}, "OP-10", {"Josué"});
    lista.addItem({}, "OP-11", {"Ana"});
    EXPECT_EQ(std::pair(lista.shownItemCount(), lista.itemCount()), std::pair(2, 5)); // "Josué" is no "jose"
    lista.setQuickFilter("jos");
    EXPECT_EQ(mostrados(), "OP-10 OP-9 OP-7");
    QAction *cliente = lista.columnsMenu()->findChild<QAction *>("accColumna1");
    cliente->setChecked(false); // a column the user hid makes no row match
    EXPECT_EQ(mostrados(), "");
    cliente->setChecked(true);
    EXPECT_EQ(mostrados(), "OP-10 OP-9 OP-7");
}

// The view keeps nothing per row: a click finds the row under it, the keys move a row, a page
// or to either end and the view follows, any row can be scrolled to, a hidden column takes no
// room, and the scroll range follows the filter at once.
TEST(ListaGrande, findsScrollsToAndMovesThroughAnyRowOfThirtyThousand)
{
    QStringList renglones;
    for (int fila = 1; fila <= 30'000; ++fila)
        renglones << QStringLiteral("F%1|cliente %2|%3.00").arg(fila).arg(fila % 7).arg(fila);
    ListView lista;
    lista.replaceContents({"Folio", "Cliente", "Monto"}, filas(renglones));
    lista.resize(300, 240);
    activa(lista);
    const auto seVe = [&](int item) { return lista.viewport()->rect().contains(lista.itemRect(item)); };
    const auto teclea = [&](Qt::Key tecla) {
        QTest::keyClick(&lista, tecla);
        return std::pair(lista.selectedIndex(), seVe(lista.selectedIndex()));
    };
    QTest::mouseClick(lista.viewport(), Qt::LeftButton, {}, lista.itemRect(3).center());
    EXPECT_EQ(lista.selectedIndex(), 3);
    const int alto = lista.itemRect(1).height();
    const int pagina = lista.viewport()->height() / alto;
    EXPECT_EQ(teclea(Qt::Key_Down), std::pair(4, true));
    EXPECT_EQ(teclea(Qt::Key_PageDown), std::pair(4 + pagina, true));
    EXPECT_EQ(teclea(Qt::Key_End), std::pair(30'000, true));
    EXPECT_EQ(teclea(Qt::Key_Up), std::pair(29'999, true));
    EXPECT_EQ(teclea(Qt::Key_Home), std::pair(1, true));
    lista.ensureVisible(15'000);
    EXPECT_TRUE(seVe(15'000));
    QTest::mouseClick(lista.viewport(), Qt::LeftButton, {}, lista.itemRect(15'001).center());
    ordena(lista, 2, Qt::DescendingOrder); // the selection follows its row
    EXPECT_EQ(lista.itemText(lista.selectedIndex()), "F15001");

    const QRect cliente = lista.visualRect(lista.listModel().index(0, 1));
    lista.setColumnHidden(1, true);
    EXPECT_TRUE(lista.visualRect(lista.listModel().index(0, 1)).isEmpty());
    EXPECT_EQ(lista.indexAt(QPoint(cliente.center().x(), 1)).column(), 2);
    lista.setQuickFilter("F2999"); // F2999 and F29990 to F29999
    EXPECT_EQ(lista.verticalScrollBar()->maximum(), std::max(0, 11 - lista.verticalScrollBar()->pageStep()));
    EXPECT_TRUE(lista.indexAt(QPoint(1, 10 * alto + 1)).isValid());
    EXPECT_FALSE(lista.indexAt(QPoint(1, 11 * alto + 1)).isValid());
}

// What the user made of the columns (widths, their order, the sort) is kept under the list's
// layout key, per key, and comes back for the same columns in a new list.
TEST(ListLayout, theUsersWidthsOrderAndSortComeBackPerKeyForTheSameColumns)
{
    const QStringList columnas{"Folio", "Cliente", "Monto"};
    const auto llena = [&](ListView &lista, const QString &clave, const QStringList &encabezados) {
        lista.setLayoutKey(QStringLiteral("Pruebas/Listas/") + clave);
        lista.replaceContents(encabezados, filas({"F1|b|$2.00", "F2|a|$10.00", "F3|c|$1.00"}));
        return lista.restoreLayout();
    };
    // The second column's width, where the third is shown, the sort, and the rows.
    const auto disposicion = [](const ListView &lista) {
        return QStringLiteral("%1 %2 %3 %4 %5")
            .arg(lista.header()->sectionSize(1))
            .arg(lista.header()->visualIndex(2))
            .arg(lista.sorted() ? QString::number(lista.sortKey()) : "-")
            .arg(lista.sortOrder() == Qt::DescendingOrder ? "desc" : "asc")
            .arg(columna(lista, 0).join(','));
    };
    { // a user widens a column, moves another and sorts one, with the mouse on the header
        ListView lista;
        EXPECT_FALSE(llena(lista, "A", columnas));
        lista.header()->resizeSection(1, 222);
        lista.header()->moveSection(2, 0);
        ordena(lista, 2, Qt::DescendingOrder);
        QMouseEvent soltar(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(lista.header()->viewport(), &soltar);
        QCoreApplication::processEvents();
        EXPECT_FALSE(llena(lista, "B", columnas));                    // another key, nothing kept
        EXPECT_TRUE(disposicion(lista).endsWith(" - desc F1,F2,F3")); // unsorted, as they came
    }
    ListView nueva, otra;
    const bool mismas = llena(nueva, "A", columnas);
    const bool otrasColumnas = llena(otra, "A", {"Folio", "Cliente", "Importe"});
    Runtime::removeSettings("Pruebas", "Listas");
    EXPECT_EQ(std::pair(mismas, otrasColumnas), std::pair(true, false));
    EXPECT_EQ(disposicion(nueva), "222 0 2 desc F2,F1,F3"); // rows sorted by value
}

// One view on two databases keeps two layouts: the scope the host sets (the database's address)
// keeps them apart.
TEST(ListLayout, eachScopeKeepsItsOwnLayoutUnderTheSameKey)
{
    const auto anchoGuardado = [](const QString &ambito, int ancho) {
        ListView::setLayoutScope(ambito);
        ListView lista;
        lista.setLayoutKey("Pruebas/Ambitos/TODOS");
        lista.replaceContents({"Folio", "Cliente"}, filas({"F1|a"}));
        const bool guardada = lista.restoreLayout();
        if (ancho)
            lista.header()->resizeSection(1, ancho);
        lista.saveLayout();
        return guardada ? lista.header()->sectionSize(1) : 0;
    };
    anchoGuardado("sqlite:/tmp/demo.db", 111);
    anchoGuardado("postgresql://127.0.0.1:5432/crm", 222);
    EXPECT_EQ(anchoGuardado("sqlite:/tmp/demo.db", 0), 111);
    EXPECT_EQ(anchoGuardado("postgresql://127.0.0.1:5432/crm", 0), 222);
    ListView::setLayoutScope({});
    EXPECT_EQ(anchoGuardado({}, 0), 0); // nothing kept under the key alone
    Runtime::removeSettings("Pruebas", "Ambitos");
    Runtime::removeSettings("Pruebas", "sqlite:|tmp|demo.db");
    Runtime::removeSettings("Pruebas", "postgresql:||127.0.0.1:5432|crm");
}

// Where the empty text was painted: the box around the pixels that differ from the same list
// painted without it (an empty box when none differ).
QRect pintadoDelTextoVacio(ListView &lista, const QString &texto)
{
    const auto imagen = [&] { return lista.viewport()->grab().toImage(); };
    lista.setEmptyText(QString());
    const QImage sinTexto = imagen();
    lista.setEmptyText(texto);
    const QImage conTexto = imagen();
    QRect caja;
    for (int y = 0; y < conTexto.height(); ++y)
        for (int x = 0; x < conTexto.width(); ++x)
            if (conTexto.pixel(x, y) != sinTexto.pixel(x, y))
                caja |= QRect(x, y, 1, 1);
    return caja;
}

// An empty view says so in the middle of its empty area, in the words its owner gives; a
// list with rows, or without columns, or without words, paints nothing more.
TEST(ListaVacia, theEmptyTextIsPaintedInTheMiddleOnlyWhenThereAreColumnsAndNoRows)
{
    const QString texto = "No hay oportunidades en esta vista";
    // The columns, the rows, the text, whether it is painted.
    const std::tuple<QStringList, QStringList, QString, bool> casos[] = {
        {{"Folio", "Cliente"}, {}, texto, true},
        {{"Folio", "Cliente"}, {"F1|Alfa"}, texto, false},
        {{}, {}, texto, false},
        {{"Folio", "Cliente"}, {}, "", false},
    };
    for (const auto &[columnas, renglones, palabras, pintado] : casos) {
        ListView lista;
        lista.resize(480, 240);
        lista.replaceContents(columnas, filas(renglones));
        const QRect caja = pintadoDelTextoVacio(lista, palabras);
        EXPECT_EQ(!caja.isEmpty(), pintado) << columnas.join(',').toStdString() << renglones.size();
        if (pintado) {
            EXPECT_LE((caja.center() - lista.viewport()->rect().center()).manhattanLength(), 4);
            EXPECT_GE(caja.width(), lista.fontMetrics().horizontalAdvance(texto) * 3 / 4);
        }
    }
}

// The header's menu lists the columns as they stand, checked while shown; the first one cannot
// be hidden. What the user hides is kept with the layout and comes back in a new list with
// the same key; a list under a key with nothing kept shows every column. The items stay.
TEST(ListLayout, theColumnChooserHidesAnyColumnButTheFirstAndTheLayoutKeepsIt)
{
    const QStringList columnas{"Folio", "Cliente", "R&D", "Monto"};
    const auto llena = [&](ListView &lista, const QString &clave) {
        lista.setLayoutKey("Pruebas/Columnas/" + clave);
        lista.replaceContents(columnas, filas({"F1|b|x|$2.00", "F2|a|y|$10.00"}));
        return lista.restoreLayout();
    };
    // Each entry: its text, "+" checked or "-" not, and "!" when disabled.
    const auto entradas = [](ListView &lista) {
        QStringList vistas;
        for (const QAction *entrada : lista.columnsMenu()->actions())
            vistas << entrada->text() + (entrada->isChecked() ? "+" : "-") + (entrada->isEnabled() ? "" : "!");
        return vistas;
    };
    const auto ocultas = [](const ListView &lista) {
        QString vistas;
        for (int columna = 0; columna < lista.columnCount(); ++columna)
            vistas += lista.isColumnHidden(columna) ? 'h' : 's';
        return vistas;
    };
    {
        ListView lista;
        lista.resize(480, 240);
        llena(lista, "A");
        lista.header()->moveSection(3, 1);
        EXPECT_EQ(entradas(lista), (QStringList{"Folio+!", "Monto+", "Cliente+", "R&&D+"}));
        lista.selectItem(2);
        for (const char *nombre : {"accColumna1", "accColumna3", "accColumna0"})
            lista.columnsMenu()->findChild<QAction *>(nombre)->trigger();
        EXPECT_EQ(entradas(lista), (QStringList{"Folio+!", "Monto-", "Cliente-", "R&&D+"}));
        EXPECT_EQ(ocultas(lista), "shsh");
        EXPECT_EQ(std::tuple(lista.selectedIndex(), lista.itemCount(), lista.subItemText(2, 1)),
                  std::tuple(2, 2, QString("a")));
        Q_EMIT lista.header()->customContextMenuRequested(QPoint(5, 5));
        auto *menu = lista.findChild<QMenu *>("mnuColumnas");
        EXPECT_TRUE(menu && menu->isVisible());
        menu->close();
    }
    ListView nueva, otra;
    nueva.resize(480, 240);
    EXPECT_TRUE(llena(nueva, "A"));
    EXPECT_EQ(ocultas(nueva), "shsh");
    llena(otra, "B");
    otra.setColumnHidden(2, true);
    EXPECT_FALSE(llena(otra, "B"));
    EXPECT_EQ(ocultas(otra), "ssss");
    // Shown again, a column hidden since the layout came back has a width to be seen with.
    nueva.columnsMenu()->findChild<QAction *>("accColumna3")->trigger();
    EXPECT_GE(nueva.header()->sectionSize(3), nueva.header()->minimumSectionSize());
    ListView tercera;
    llena(tercera, "A");
    Runtime::removeSettings("Pruebas", "Columnas");
    EXPECT_EQ(ocultas(tercera), "shss");
}

// A header narrower than its title ends it in "…", short of the sort indicator, rather than
// cutting it where it may look whole.
TEST(ListLayout, aHeaderTooNarrowForItsTitleEndsInAnEllipsis)
{
    ListView lista;
    lista.resize(400, 120);
    lista.replaceContents({"Organización", "Monto"}, filas({"Fernando Pérez|1"}));
    lista.show();
    // The width of the first column, whether it is sorted: the title is whole or ends in "…"
    // within the section, shorter still beside the sort indicator.
    QStringList vistos;
    for (const auto &[ancho, ordenada] : {std::pair(200, false), {200, true}, {60, false}, {60, true}}) {
        lista.header()->resizeSection(0, ancho);
        lista.header()->setSortIndicatorShown(ordenada);
        vistos << lista.shownHeader(0);
        EXPECT_LT(lista.header()->fontMetrics().horizontalAdvance(vistos.back()), ancho);
    }
    EXPECT_EQ(vistos.mid(0, 2), QStringList({"Organización", "Organización"}));
    for (const QString &cortado : vistos.mid(2))
        EXPECT_TRUE(cortado.endsWith(QChar(0x2026)) && cortado.size() > 2) << cortado.toStdString();
    EXPECT_LT(vistos[3].size(), vistos[2].size());
}

} // namespace
