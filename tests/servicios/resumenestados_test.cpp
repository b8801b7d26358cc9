// The summary of a list by state: its figures, and the dialog the list's menu opens.
#include "basedeprueba.h"
#include "respuestas.h"

#include "servicios/menulista.h"
#include "servicios/resumenestados.h"

#include "controles/listview.h"
#include "runtime/colors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace {

using Servicios::ResumenEstados;

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

// "State: count, amount" a state, in the summary's order, then the totals, for one readable
// comparison.
QString comoTexto(const ResumenEstados &resumen)
{
    QStringList estados;
    for (const Servicios::EstadoResumido &estado : resumen.estados)
        estados << QStringLiteral("%1: %2, %3").arg(estado.estado).arg(estado.cantidad).arg(estado.monto, 0, 'f', 2);
    QString total = QStringLiteral("; total %1").arg(resumen.cantidadTotal());
    total += resumen.conMontos ? QStringLiteral(", %1").arg(resumen.montoTotal(), 0, 'f', 2) : ", sin montos";
    if (resumen.montosSinSumar > 0)
        total += QStringLiteral(", %1 sin sumar").arg(resumen.montosSinSumar);
    return estados.join(" | ") + total;
}

QString nombres(const ResumenEstados &resumen)
{
    QStringList orden;
    for (const Servicios::EstadoResumido &estado : resumen.estados)
        orden << estado.estado;
    return orden.join(", ");
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

TEST(ResumenEstados, groupsByStateAndAddsTheAmountsThatAreNumbers)
{
    const struct
    {
        QStringList filas;
        QString resumen;
        QStringList encabezados = {"Folio", "Estado", "Monto"};
    } casos[] = {
        // Separators, signs and blanks around the state do not split a state.
        {{"Negociación|250000.00", "Propuesta enviada|$1,200.50", "Negociación|$ 49,999.50", " Negociación |10,000.50",
          "Propuesta enviada|800"},
         "Negociación: 3, 310000.00 | Propuesta enviada: 2, 2000.50; total 5, 312000.50"},
        // An amount that is no number is counted, not added.
        {{"Calificada|1,000.00", "Calificada|por definir", "Calificada|", "En espera|500"},
         "Calificada: 3, 1000.00 | En espera: 1, 500.00; total 4, 1500.00, 2 sin sumar"},
        // A column of words, or none headed as amounts: only counts.
        {{"Calificada|alto", "Calificada|bajo", "En espera|10"},
         "Calificada: 2, 0.00 | En espera: 1, 0.00; total 3, sin montos"},
        {{"Calificada|1", "Calificada|2", "En espera|10"},
         "Calificada: 2, 0.00 | En espera: 1, 0.00; total 3, sin montos",
         {"Folio", "Estado", "Prioridad"}},
        // Headers are recognised whatever their letter case, accents and blanks.
        {{"Calificada|7.50"}, "Calificada: 1, 7.50; total 1, 7.50", {"Folio", "ESTÁDO ", "monto"}},
    };
    for (const auto &caso : casos) {
        SCOPED_TRACE(caso.resumen.toStdString());
        EXPECT_EQ(comoTexto(resume(caso.filas, std::nullopt, caso.encabezados)), caso.resumen);
    }
    const QStringList sinEstado{"Folio", "Estatus", "Monto"};
    EXPECT_FALSE(Servicios::tieneColumnaEstado(sinEstado));
    EXPECT_TRUE(resume({"Calificada|1"}, std::nullopt, sinEstado).estados.empty());
}

// The states an opportunity goes through come in that order; the ones the state table does
// not know, alphabetically (in Spanish: lower case beside upper case, É beside E, ñ after n);
// "(Sin estado)" last. Without the order (it could not be read), most opportunities first.
TEST(ResumenEstados, ordersByTheStagesOfTheStatesAndTheRestAlphabetically)
{
    const QStringList filas = {"Ganada", "Éxito", "Cierre", "calificada", "Ñandú",
                               "Oferta", "Nube",  "Zeta",   "Zeta",       ""};
    EXPECT_EQ(nombres(resume(filas, QStringList{"Zeta", "Oferta", "Calificada", "Perdida"})),
              "Zeta, Oferta, calificada, Cierre, Éxito, Ganada, Nube, Ñandú, (Sin estado)");
    EXPECT_EQ(nombres(resume(filas, QStringList{})),
              "calificada, Cierre, Éxito, Ganada, Nube, Ñandú, Oferta, Zeta, (Sin estado)");
    EXPECT_EQ(nombres(resume(filas)), "Zeta, (Sin estado), calificada, Cierre, Éxito, Ganada, Nube, Ñandú, Oferta");
}

TEST(ResumenEstados, eachStateTakesTheColourOfMostOfItsRows)
{
    const ResumenEstados resumen = resume({"Mayoría roja||A", "Mayoría roja||R", "Mayoría roja||R", "Empate||A",
                                           "Empate||R", "Sin aspecto", "Mayoría sin aspecto", "Mayoría sin aspecto||R",
                                           "Mayoría sin aspecto"});
    QStringList colores;
    for (const Servicios::EstadoResumido &estado : resumen.estados)
        colores << estado.estado + (estado.color == Rojo ? " rojo" : estado.color == Azul ? " azul" : " negro");
    // On a tie, the first colour met.
    EXPECT_EQ(colores.join(", "), "Mayoría roja rojo, Mayoría sin aspecto negro, Empate azul, Sin aspecto negro");
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

// The summary as the list's actions open it, over the board's view of the opportunities.
class DialogoResumen : public ::testing::Test
{
protected:
    DialogoResumen()
    {
        base.ejecuta("INSERT INTO Estado_Oportunidad (Eo_Cve_Estado_Oportunidad, Eo_Descripcion) VALUES "
                     "('PRO', 'Prospección'), ('PRE', 'Propuesta enviada'), ('NEG', 'Negociación')");
        llenaComoElTablero(lista);
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
    Kit::ListView lista;
    QMenu menu;
    Servicios::EntradasDeLista entradas{menu};
};

// The table by state with its total, which the dialog copies; the chart, which tells its
// figures by count or by amount to a screen reader, as every control says what it is.
TEST_F(DialogoResumen, showsTheTableByStateWithItsTotalCopiesItAndChartsIt)
{
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
TEST_F(DialogoResumen, numericStateKeysGiveTheOrderOfTheStages)
{
    base.ejecuta("DELETE FROM Estado_Oportunidad");
    base.ejecuta("INSERT INTO Estado_Oportunidad (Eo_Cve_Estado_Oportunidad, Eo_Descripcion) VALUES "
                 "('10', 'Calificada'), ('2', 'Prospección'), ('30', 'Negociación')");
    EXPECT_EQ(Servicios::ordenDeEstados(*base.conexion()), (QStringList{"Prospección", "Calificada", "Negociación"}));
}

// Amounts that are all words leave the amount chart disabled, saying why; a list without a
// state column offers the summary disabled, saying why.
TEST_F(DialogoResumen, withoutAmountsOrStatesTheChoiceIsDisabledAndSaysWhy)
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
