// The summary of a list by state: its figures, and the dialog the list's menu opens.
#include "basedeprueba.h"
#include "respuestas.h"

#include "servicios/entornosql.h"
#include "servicios/funcionessql.h"
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

namespace {

using Servicios::FilaParaResumen;
using Servicios::ResumenEstados;

const QColor Rojo(200, 0, 0);
const QColor Azul(0, 0, 200);
const QColor Negro(0, 0, 0);

FilaParaResumen fila(const QString &estado, const QString &monto, std::optional<QColor> color = std::nullopt)
{
    return {{QStringLiteral("OP"), estado, monto}, color};
}

ResumenEstados resume(const std::vector<FilaParaResumen> &filas,
                      const QStringList &encabezados = {QStringLiteral("Folio"), QStringLiteral("Estado"),
                                                        QStringLiteral("Monto")},
                      const std::optional<QStringList> &ordenDeEstados = std::nullopt)
{
    return Servicios::resumePorEstado(encabezados, filas, Negro, ordenDeEstados);
}

QString nombres(const ResumenEstados &resumen)
{
    QStringList orden;
    for (const Servicios::EstadoResumido &estado : resumen.estados)
        orden << estado.estado;
    return orden.join(QStringLiteral(", "));
}

// "Estado: cantidad, monto" a state, in the summary's order, for one readable comparison.
QString comoTexto(const ResumenEstados &resumen)
{
    QStringList estados;
    for (const Servicios::EstadoResumido &estado : resumen.estados)
        estados << QStringLiteral("%1: %2, %3").arg(estado.estado).arg(estado.cantidad).arg(estado.monto, 0, 'f', 2);
    return estados.join(QStringLiteral(" | "));
}

TEST(ResumenEstados, leeLosMontosComoLosEscribeUnaLista)
{
    const std::vector<std::pair<QString, std::optional<double>>> casos = {
        {QStringLiteral("1234.5"), 1234.5},
        {QStringLiteral("250000.00"), 250000},
        {QStringLiteral("1,234.50"), 1234.5},
        {QStringLiteral("$1,234,567.89"), 1234567.89},
        {QStringLiteral(" $ 980 "), 980},
        {QStringLiteral("MXN 2,000"), 2000},
        {QStringLiteral("1.234.567,89"), 1234567.89},
        {QStringLiteral("1 234,50 €"), 1234.5},
        {QStringLiteral("1\u00A0234,50"), 1234.5},
        {QStringLiteral("12,5"), 12.5},
        {QStringLiteral("1,250"), 1250},
        {QStringLiteral("-$1,200.00"), -1200},
        {QStringLiteral("$-1,200.00"), -1200},
        {QStringLiteral("(1,200.00)"), -1200},
        {QStringLiteral(""), std::nullopt},
        {QStringLiteral("N/D"), std::nullopt},
        {QStringLiteral("$"), std::nullopt},
        {QStringLiteral("12,34,567"), std::nullopt},
        {QStringLiteral("1,234.567,89"), std::nullopt},
        {QStringLiteral("1.2.3"), std::nullopt},
        {QStringLiteral("--5"), std::nullopt},
        {QStringLiteral("5 pesos"), std::nullopt},
        {QStringLiteral("(-5)"), std::nullopt},
    };
    for (const auto &[texto, esperado] : casos) {
        const std::optional<double> leido = Servicios::leeMonto(texto);
        ASSERT_EQ(leido.has_value(), esperado.has_value()) << texto.toStdString();
        if (esperado) {
            EXPECT_DOUBLE_EQ(*leido, *esperado) << texto.toStdString();
        }
    }
}

TEST(ResumenEstados, agrupaPorEstadoYSumaLosMontosAunqueLlevenSeparadoresOSigno)
{
    const ResumenEstados resumen = resume({
        fila(QStringLiteral("Negociación"), QStringLiteral("250000.00")),
        fila(QStringLiteral("Propuesta enviada"), QStringLiteral("$1,200.50")),
        fila(QStringLiteral("Negociación"), QStringLiteral("$ 49,999.50")),
        fila(QStringLiteral(" Negociación "), QStringLiteral("10,000.50")),
        fila(QStringLiteral("Propuesta enviada"), QStringLiteral("800")),
    });

    EXPECT_EQ(comoTexto(resumen), QStringLiteral("Negociación: 3, 310000.00 | Propuesta enviada: 2, 2000.50"));
    EXPECT_TRUE(resumen.conMontos);
    EXPECT_EQ(resumen.montosSinSumar, 0);
    EXPECT_EQ(resumen.cantidadTotal(), 5);
    EXPECT_DOUBLE_EQ(resumen.montoTotal(), 312000.5);
}

TEST(ResumenEstados, unMontoQueNoEsNumeroSeCuentaPeroNoSeSuma)
{
    const ResumenEstados resumen = resume({
        fila(QStringLiteral("Calificada"), QStringLiteral("1,000.00")),
        fila(QStringLiteral("Calificada"), QStringLiteral("por definir")),
        fila(QStringLiteral("Calificada"), QString()),
        fila(QStringLiteral("En espera"), QStringLiteral("500")),
    });

    EXPECT_EQ(comoTexto(resumen), QStringLiteral("Calificada: 3, 1000.00 | En espera: 1, 500.00"));
    EXPECT_TRUE(resumen.conMontos);
    EXPECT_EQ(resumen.montosSinSumar, 2);
}

TEST(ResumenEstados, sinColumnaDeMontosConCifrasSoloCuenta)
{
    const std::vector<FilaParaResumen> filas = {
        fila(QStringLiteral("Calificada"), QStringLiteral("alto")),
        fila(QStringLiteral("Calificada"), QStringLiteral("bajo")),
        fila(QStringLiteral("En espera"), QStringLiteral("10")),
    };
    const QStringList sinMonto{QStringLiteral("Folio"), QStringLiteral("Estado"), QStringLiteral("Prioridad")};

    for (const ResumenEstados &resumen : {resume(filas), resume(filas, sinMonto)}) {
        EXPECT_EQ(comoTexto(resumen), QStringLiteral("Calificada: 2, 0.00 | En espera: 1, 0.00"));
        EXPECT_FALSE(resumen.conMontos);
        EXPECT_EQ(resumen.montosSinSumar, 0);
    }
}

// The states an opportunity goes through come in that order; the ones the state table does
// not know, alphabetically (in Spanish: lower case beside upper case, É beside E, ñ after n);
// "(Sin estado)" last. Without the order (it could not be read), most opportunities first.
TEST(ResumenEstados, ordenaPorLasEtapasDeLosEstadosYLosDemasAlfabeticamente)
{
    const std::vector<FilaParaResumen> filas = {
        fila(QStringLiteral("Ganada"), {}), fila(QStringLiteral("Éxito"), {}),
        fila(QStringLiteral("Cierre"), {}), fila(QStringLiteral("calificada"), {}),
        fila(QStringLiteral("Ñandú"), {}),  fila(QStringLiteral("Oferta"), {}),
        fila(QStringLiteral("Nube"), {}),   fila(QStringLiteral("Zeta"), {}),
        fila(QStringLiteral("Zeta"), {}),   fila(QString(), {}),
    };
    const QStringList encabezados{QStringLiteral("Folio"), QStringLiteral("Estado"), QStringLiteral("Monto")};
    EXPECT_EQ(nombres(resume(filas, encabezados, QStringList{"Zeta", "Oferta", "Calificada", "Perdida"})),
              QStringLiteral("Zeta, Oferta, calificada, Cierre, Éxito, Ganada, Nube, Ñandú, (Sin estado)"));
    EXPECT_EQ(nombres(resume(filas, encabezados, QStringList{})),
              QStringLiteral("calificada, Cierre, Éxito, Ganada, Nube, Ñandú, Oferta, Zeta, (Sin estado)"));
    EXPECT_EQ(nombres(resume(filas, encabezados)),
              QStringLiteral("Zeta, (Sin estado), calificada, Cierre, Éxito, Ganada, Nube, Ñandú, Oferta"));
}

// The table keeps its states in the order of the pipeline; keys that are all numbers say it.
TEST(ResumenEstados, lasEtapasSonElOrdenDeLaTablaDeEstadosOElDeSusClavesNumericas)
{
    Pruebas::BaseDePrueba base;
    const auto estados = [&](const QString &valores) {
        base.ejecuta(QStringLiteral("DELETE FROM Estado_Oportunidad"));
        base.ejecuta(
            QStringLiteral("INSERT INTO Estado_Oportunidad (Eo_Cve_Estado_Oportunidad, Eo_Descripcion) VALUES ")
            + valores);
        return Servicios::ordenDeEstados(*base.conexion()).join(QStringLiteral(", "));
    };
    EXPECT_EQ(estados(QStringLiteral("('PRO', 'Prospección'), ('CAL', 'Calificada'), ('NEG', 'Negociación')")),
              QStringLiteral("Prospección, Calificada, Negociación"));
    EXPECT_EQ(estados(QStringLiteral("('10', 'Calificada'), ('2', 'Prospección'), ('30', 'Negociación')")),
              QStringLiteral("Prospección, Calificada, Negociación"));
}

TEST(ResumenEstados, cadaEstadoTomaElColorDeLaMayoriaDeSusFilas)
{
    const ResumenEstados resumen = resume({
        fila(QStringLiteral("Mayoría roja"), {}, Azul),
        fila(QStringLiteral("Mayoría roja"), {}, Rojo),
        fila(QStringLiteral("Mayoría roja"), {}, Rojo),
        fila(QStringLiteral("Empate, gana el primero"), {}, Azul),
        fila(QStringLiteral("Empate, gana el primero"), {}, Rojo),
        fila(QStringLiteral("Sin aspecto"), {}),
        fila(QStringLiteral("Mayoría sin aspecto"), {}),
        fila(QStringLiteral("Mayoría sin aspecto"), {}, Rojo),
        fila(QStringLiteral("Mayoría sin aspecto"), {}),
    });

    std::map<QString, QColor> colores;
    for (const Servicios::EstadoResumido &estado : resumen.estados)
        colores[estado.estado] = estado.color;
    EXPECT_EQ(colores[QStringLiteral("Mayoría roja")], Rojo);
    EXPECT_EQ(colores[QStringLiteral("Empate, gana el primero")], Azul);
    EXPECT_EQ(colores[QStringLiteral("Sin aspecto")], Negro);
    EXPECT_EQ(colores[QStringLiteral("Mayoría sin aspecto")], Negro);
}

TEST(ResumenEstados, reconoceLasColumnasSinMirarMayusculasNiAcentos)
{
    const QStringList encabezados{QStringLiteral("Folio"), QStringLiteral("ESTÁDO "), QStringLiteral("monto")};
    EXPECT_EQ(Servicios::columnaTitulada(encabezados, QStringLiteral("Estado")), 1);
    EXPECT_EQ(Servicios::columnaTitulada(encabezados, QStringLiteral("Monto")), 2);
    EXPECT_TRUE(Servicios::tieneColumnaEstado(encabezados));

    const ResumenEstados resumen = resume({fila(QStringLiteral("Calificada"), QStringLiteral("7.50"))}, encabezados);
    EXPECT_EQ(comoTexto(resumen), QStringLiteral("Calificada: 1, 7.50"));
}

TEST(ResumenEstados, unaListaSinEstadoNoDaEstados)
{
    const QStringList encabezados{QStringLiteral("Folio"), QStringLiteral("Estatus"), QStringLiteral("Monto")};
    EXPECT_FALSE(Servicios::tieneColumnaEstado(encabezados));
    EXPECT_TRUE(resume({fila(QStringLiteral("Calificada"), QStringLiteral("1"))}, encabezados).estados.empty());
}

// The board's view of the opportunities, coloured by state as the board colours it.
constexpr qint32 ColorNegociacion = 0x0060D0;
constexpr qint32 ColorPropuesta = 0xC06000;
constexpr qint32 ColorProspeccion = 0x808080;

const QStringList MontosDelTablero{QStringLiteral("250000.00"), QStringLiteral("1200.50"), QStringLiteral("49999.50"),
                                   QStringLiteral("N/D"),       QStringLiteral("800.00"),  QStringLiteral("10000.50"),
                                   QStringLiteral("5000.00")};

void llenaComoElTablero(Controles::ListView &lista, const QStringList &montos = MontosDelTablero)
{
    const QStringList estados{QStringLiteral("Negociación"),       QStringLiteral("Propuesta enviada"),
                              QStringLiteral("Negociación"),       QStringLiteral("Prospección"),
                              QStringLiteral("Propuesta enviada"), QStringLiteral("Negociación"),
                              QStringLiteral("Prospección")};
    std::vector<Controles::ListRow> filas;
    for (qsizetype fila = 0; fila < estados.size(); ++fila) {
        filas.push_back(
            {QString(),
             {QStringLiteral("OP-%1").arg(fila + 1), QStringLiteral("Licencias ERP"), QStringLiteral("María Fernández"),
              QStringLiteral("Aceros del Norte"), QStringLiteral("Ana Torres"), estados.at(fila), montos.at(fila),
              QStringLiteral("2025-03-01")}});
    }
    lista.replaceContents({QStringLiteral("Folio"), QStringLiteral("Descripción"), QStringLiteral("Contacto"),
                           QStringLiteral("Organización"), QStringLiteral("Vendedor"), QStringLiteral("Estado"),
                           QStringLiteral("Monto"), QStringLiteral("Cierre estimado")},
                          std::move(filas));
    using Look = Controles::ListView::RowLook;
    const Look negociacion{ColorNegociacion, true};
    const Look propuesta{ColorPropuesta, false};
    const Look prospeccion{ColorProspeccion, false};
    lista.setRowLooks({negociacion, propuesta, negociacion, prospeccion, propuesta, negociacion, prospeccion});
}

class DialogoResumenTest : public ::testing::Test
{
protected:
    DialogoResumenTest()
    {
        base.ejecuta(QStringLiteral("INSERT INTO Estado_Oportunidad (Eo_Cve_Estado_Oportunidad, Eo_Descripcion) VALUES "
                                    "('PRO', 'Prospección'), ('PRE', 'Propuesta enviada'), ('NEG', 'Negociación')"));
        lista.setObjectName(QStringLiteral("lvOrdenes"));
        llenaComoElTablero(lista);
        lista.show();
    }

    // Opens the menu's entry "accResumenEstados" once the menu pops up.
    static void eligeResumen()
    {
        Pruebas::alAparecer(QStringLiteral("mnuAccionLista"), [](QWidget &ventana) {
            auto &menu = static_cast<QMenu &>(ventana);
            auto *resumen = menu.findChild<QAction *>(QStringLiteral("accResumenEstados"));
            ASSERT_NE(resumen, nullptr);
            menu.setActiveAction(resumen);
            QTest::keyClick(&menu, Qt::Key_Return);
        });
    }

    // Runs `revision` on the open dialog, then closes it with Esc, as a user would.
    void revisaElDialogo(std::function<void(QDialog &)> revision)
    {
        eligeResumen();
        Pruebas::alAparecer(QStringLiteral("dlgResumenEstados"), [revision, this](QWidget &ventana) {
            auto &dialogo = static_cast<QDialog &>(ventana);
            revision(dialogo);
            QTest::keyClick(&dialogo, Qt::Key_Escape);
            cerradoConEsc = !dialogo.isVisible();
            if (!cerradoConEsc)
                dialogo.reject(); // so a failure does not leave the test waiting
        });
        funciones.AccionLista(lista);
    }

    static QStringList filasDeLaTabla(const QTableWidget &tabla)
    {
        QStringList filas;
        for (int fila = 0; fila < tabla.rowCount(); ++fila) {
            QStringList celdas;
            for (int columna = 0; columna < tabla.columnCount(); ++columna)
                celdas << tabla.item(fila, columna)->text();
            filas << celdas.join(QStringLiteral(" | "));
        }
        return filas;
    }

    Pruebas::BaseDePrueba base;
    Servicios::EntornoSql entorno;
    Servicios::FuncionesSql funciones{entorno};
    Controles::ListView lista;
    bool cerradoConEsc = false;
};

TEST_F(DialogoResumenTest, muestraLaTablaPorEstadoConSuTotalYLaCopia)
{
    QGuiApplication::clipboard()->clear();
    revisaElDialogo([](QDialog &dialogo) {
        EXPECT_EQ(dialogo.windowTitle(), QStringLiteral("Resumen por estado"));
        EXPECT_TRUE(dialogo.isModal());
        auto *tabla = dialogo.findChild<QTableWidget *>(QStringLiteral("grdResumen"));
        ASSERT_NE(tabla, nullptr);
        QStringList titulos;
        for (int columna = 0; columna < tabla->columnCount(); ++columna)
            titulos << tabla->horizontalHeaderItem(columna)->text();
        EXPECT_EQ(titulos, (QStringList{QStringLiteral("Estado"), QStringLiteral("Oportunidades"),
                                        QStringLiteral("Monto"), QStringLiteral("% del monto")}));
        EXPECT_EQ(filasDeLaTabla(*tabla), (QStringList{QStringLiteral("Prospección | 2 | $5,000.00 | 1.6 %"),
                                                       QStringLiteral("Propuesta enviada | 2 | $2,000.50 | 0.6 %"),
                                                       QStringLiteral("Negociación | 3 | $310,000.00 | 97.8 %"),
                                                       QStringLiteral("Total | 7 | $317,000.50 | 100.0 %")}));
        EXPECT_TRUE(tabla->item(3, 0)->font().bold());
        EXPECT_EQ(tabla->item(1, 2)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
        EXPECT_EQ(tabla->item(2, 0)->data(Qt::DecorationRole).value<QColor>(), Runtime::toQColor(ColorNegociacion));
        EXPECT_EQ(tabla->item(0, 0)->data(Qt::DecorationRole).value<QColor>(), Runtime::toQColor(ColorProspeccion));

        auto *aviso = dialogo.findChild<QLabel *>(QStringLiteral("lbAviso"));
        ASSERT_NE(aviso, nullptr);
        EXPECT_TRUE(aviso->text().startsWith(QStringLiteral("Una oportunidad no tiene su monto en cifras")));

        Pruebas::pulsa(dialogo, QStringLiteral("cmdCopiar"));
        EXPECT_TRUE(dialogo.isVisible());
    });

    EXPECT_TRUE(cerradoConEsc);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Estado\tOportunidades\tMonto\t% del monto\n"
                                                                   "Prospección\t2\t$5,000.00\t1.6 %\n"
                                                                   "Propuesta enviada\t2\t$2,000.50\t0.6 %\n"
                                                                   "Negociación\t3\t$310,000.00\t97.8 %\n"
                                                                   "Total\t7\t$317,000.50\t100.0 %\n"));
}

TEST_F(DialogoResumenTest, laGraficaDiceSusCifrasPorCantidadOPorMonto)
{
    revisaElDialogo([](QDialog &dialogo) {
        auto *grafica = dialogo.findChild<QWidget *>(QStringLiteral("picGrafica"));
        auto *porMonto = dialogo.findChild<QAbstractButton *>(QStringLiteral("optMonto"));
        auto *porCantidad = dialogo.findChild<QAbstractButton *>(QStringLiteral("optCantidad"));
        ASSERT_NE(grafica, nullptr);
        ASSERT_NE(porMonto, nullptr);
        ASSERT_NE(porCantidad, nullptr);
        EXPECT_TRUE(porCantidad->isChecked());
        EXPECT_EQ(grafica->accessibleDescription(),
                  QStringLiteral("Prospección: 2; Propuesta enviada: 2; Negociación: 3"));

        porMonto->click();

        EXPECT_EQ(grafica->accessibleDescription(),
                  QStringLiteral("Prospección: $5,000.00; Propuesta enviada: $2,000.50; Negociación: $310,000.00"));
        EXPECT_TRUE(grafica->accessibleName().contains(QStringLiteral("monto")));
        for (const QWidget *control : dialogo.findChildren<QWidget *>()) {
            if (control->isVisible() && (control->focusPolicy() != Qt::NoFocus || control == grafica)) {
                EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
            }
        }
    });
    EXPECT_TRUE(cerradoConEsc);
}

TEST_F(DialogoResumenTest, cerrarCierraElDialogoYSinMontosLaOpcionMontoNoSePuedeElegir)
{
    // Given the board's list whose amounts are all words
    llenaComoElTablero(lista, QStringList(MontosDelTablero.size(), QStringLiteral("pendiente")));

    eligeResumen();
    bool visto = false;
    Pruebas::alAparecer(QStringLiteral("dlgResumenEstados"), [&visto](QWidget &dialogo) {
        visto = true;
        auto *porMonto = dialogo.findChild<QAbstractButton *>(QStringLiteral("optMonto"));
        ASSERT_NE(porMonto, nullptr);
        EXPECT_FALSE(porMonto->isEnabled());
        EXPECT_FALSE(porMonto->toolTip().isEmpty());
        auto *tabla = dialogo.findChild<QTableWidget *>(QStringLiteral("grdResumen"));
        ASSERT_NE(tabla, nullptr);
        EXPECT_EQ(filasDeLaTabla(*tabla).last(), QStringLiteral("Total | 7 |  | "));
        Pruebas::pulsa(dialogo, QStringLiteral("cmdCerrar"));
    });

    funciones.AccionLista(lista);

    EXPECT_TRUE(visto);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(DialogoResumenTest, unaListaSinEstadoOfreceElResumenDeshabilitadoYDicePorQue)
{
    lista.replaceContents({QStringLiteral("Folio"), QStringLiteral("Monto")},
                          {{QString(), {QStringLiteral("OP-1"), QStringLiteral("10.00")}}});
    bool visto = false;
    Pruebas::alAparecer(QStringLiteral("mnuAccionLista"), [&visto](QWidget &ventana) {
        visto = true;
        auto &menu = static_cast<QMenu &>(ventana);
        auto *resumen = menu.findChild<QAction *>(QStringLiteral("accResumenEstados"));
        ASSERT_NE(resumen, nullptr);
        EXPECT_FALSE(resumen->isEnabled());
        EXPECT_TRUE(resumen->toolTip().contains(QStringLiteral("«Estado»")));
        EXPECT_TRUE(menu.toolTipsVisible());
        menu.close();
    });

    funciones.AccionLista(lista);

    EXPECT_TRUE(visto);
}

} // namespace
