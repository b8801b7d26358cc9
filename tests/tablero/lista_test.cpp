// The list's own events and the refresh timer.
#include "respuestas.h"
#include "tablero.h"
#include "totaldemontos.h"

#include "controles/listview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace {

using Pruebas::TableroDePrueba;

class Lista : public TableroDePrueba
{
protected:
    void clicEnEncabezado(int columna) const
    {
        QHeaderView *encabezado = lista().header();
        QTest::mouseClick(encabezado->viewport(), Qt::LeftButton, {},
                          QPoint(encabezado->sectionViewportPosition(columna) + 5, 5));
    }
    QStringList columna(int numero) const { return Pruebas::columna(lista(), numero); }
};

// Every header click sorts its column in the order opposite to the last, one order for the
// whole list. Without a selected row, double click, Ctrl+C and F10 do nothing. On one, double
// click opens it for editing, Ctrl+C (and no other Ctrl combination) copies its folio, and F10
// and the menu key offer the toolbar's actions as a menu of the list, each doing what its button does.
TEST_F(Lista, headerClicksSortAndTheListsGesturesActOnlyOnASelectedRow)
{
    base.ejecuta("INSERT INTO Opcion_Restringida VALUES ('OP3', 'KLD251', 'KLD251')"); // no "won"
    abre();
    clicEnEncabezado(1);
    EXPECT_EQ(columna(1), (QStringList{"Capacitación", "Licencias", "Servidores", "Soporte"}));
    clicEnEncabezado(1);
    EXPECT_EQ(columna(1), (QStringList{"Soporte", "Servidores", "Licencias", "Capacitación"}));
    clicEnEncabezado(0);
    EXPECT_EQ(folios(), (QStringList{"F1", "F2", "F3", "F4"}));
    QClipboard *portapapeles = QGuiApplication::clipboard();
    portapapeles->setText("antes");
    bool menuMostrado = false;
    const auto f10 = [&] {
        QTimer::singleShot(0, [&] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                menuMostrado = true;
                menu->close();
            }
        });
        QTest::keyClick(&lista(), Qt::Key_F10);
        QCoreApplication::processEvents();
    };
    lista().clearSelection();
    Q_EMIT lista().dblClick();
    QTest::keyClick(&lista(), Qt::Key_C, Qt::ControlModifier);
    f10();
    EXPECT_TRUE(anfitrion.solicitudes.isEmpty());
    EXPECT_EQ(portapapeles->text(), "antes");
    EXPECT_FALSE(menuMostrado);

    lista().selectItem(3);
    QTest::keyClick(&lista(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(portapapeles->text(), "antes");
    QTest::keyClick(&lista(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(portapapeles->text(), "F3");
    Q_EMIT lista().dblClick();
    EXPECT_EQ(anfitrion.solicitudes, QStringList{"KLD242 ACCION=EDITAR|DATO=F3"});
    f10();
    EXPECT_TRUE(menuMostrado);

    lista().selectItem(2);
    lista().setFocus();
    QStringList acciones;
    Pruebas::alAparecer("mnuAcciones", [&](QWidget &menu) {
        for (QAction *accion : menu.actions())
            acciones << accion->objectName();
        menu.close();
        menu.findChild<QAction *>("imgEditOportunidad")->trigger();
    });
    // What the menu key (or Shift+F10) sends to the widget with the focus.
    QContextMenuEvent teclaDeMenu(QContextMenuEvent::Keyboard, QPoint(-1, -1), QCursor::pos());
    QCoreApplication::sendEvent(&lista(), &teclaDeMenu);
    EXPECT_FALSE(tablero->findChild<QWidget *>("imgGanada")->isVisible());
    EXPECT_TRUE(tablero->findChild<QWidget *>("imgCancelar")->isVisible());
    EXPECT_EQ(acciones,
              (QStringList{"imgRefrescar", "imgNuevo", "imgCancelar", "imgEstadoOp", "imgPerdida", "imgSeguimiento",
                           "imgEvento", "imgContacto", "imgOrganizacion", "imgOportunidad", "imgEditOportunidad"}));
    EXPECT_EQ(anfitrion.solicitudes, (QStringList{"KLD242 ACCION=EDITAR|DATO=F3", "KLD242 ACCION=EDITAR|DATO=F2"}));
}

// A board loaded again counts its ticks from zero; a negative count, like zero, reloads on
// every tick.
TEST_F(Lista, f5ReloadsAndTheTimerReloadsOnEveryNPlusOneTick)
{
    variable("CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES", "2");
    abre();
    tic(2);
    cierra();
    tablero->show();
    activa();
    oportunidad("F5", "V9", "ROJO");
    tic(2);
    EXPECT_EQ(folios().size(), 4);
    tic(1);
    EXPECT_EQ(folios().size(), 5);

    oportunidad("F6", "V9", "ROJO");
    tic(1);
    QTest::keyClick(&lista(), Qt::Key_F5); // halfway through the count, which F5 does not restart
    EXPECT_EQ(folios().size(), 6);
    oportunidad("F7", "V9", "ROJO");
    tic(1);
    EXPECT_EQ(folios().size(), 6);
    tic(1);
    EXPECT_EQ(folios().size(), 7);
    oportunidad("F8", "V9", "ROJO");
    tablero->findChild<QAbstractButton *>("imgRefrescar")->click();
    EXPECT_EQ(folios().size(), 8);

    variable("CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES", "-3");
    cierra();
    tablero->show();
    activa();
    oportunidad("F0", "V9", "ROJO");
    tic(1);
    EXPECT_EQ(folios().size(), 9);
}

// The status bar's total adds the amounts the list shows as money; a cell the list marked as
// a text, or any other filled cell that is no amount, is left out of it and counted.
TEST(TotalDeMontos, addsOnlyTheAmountsAndSaysHowManyCellsItLeftOut)
{
    const QString casos[][2] = {
        // the "Monto" cells, "|" between them; what the status bar says after the count
        {"$1,234.50|-$34.50|", " · $1,200.00 en total"},
        {"$9,999,999.00|\u26A0 $9,999,999.00|$1.00",
         " · $10,000,000.00 en total (1 monto no numérico fuera del total)"},
        {"\u26A0 1,234.50|\u26A0 abc|$2.50", " · $2.50 en total (2 montos no numéricos fuera del total)"},
        {"\u26A0 $5.00|pendiente|", " (2 montos no numéricos fuera del total)"},
        {"1,234.50| $ 980 ", " · $2,214.50 en total"},
        {"||", ""},
        {"$1.00|$2.00|$3.00", " · $6.00 en total"},
    };
    Kit::ListView lista;
    const TotalDeMontos total(lista.listModel(), nullptr);
    for (const auto &[montos, dicho] : casos) {
        std::vector<Kit::ListRow> filas;
        for (const QString &monto : montos.split('|'))
            filas.push_back({QString(), {"F", monto}});
        lista.replaceContents({"Folio", "Monto"}, filas);
        QCoreApplication::processEvents();
        EXPECT_EQ(total.enPalabras(), dicho) << montos.toStdString();
    }
    // A row whose texts change is read again alone, and so leaves the total; so is a row the
    // window's filter hides, or one a refresh takes out of it, or one added.
    lista.listModel().changeRows({{1, {"F", "\u26A0 $2.00"}}});
    QCoreApplication::processEvents();
    EXPECT_EQ(total.enPalabras(), " · $4.00 en total (1 monto no numérico fuera del total)");
    lista.setQuickFilter("$3");
    lista.listModel().changeRows({{0, {"F", "$10.00"}}, {2, {"F", "$4.00"}}});
    lista.addItem({}, "F", {"$0.50"});
    QCoreApplication::processEvents();
    EXPECT_EQ(total.enPalabras(), " · $14.50 en total (1 monto no numérico fuera del total)");

    // A long list is read on a thread of its own; a row changed meanwhile is read again here.
    lista.setQuickFilter({});
    lista.replaceContents({"Folio", "Monto"}, std::vector<Kit::ListRow>(60'000, {QString(), {"F", "$1.00"}}));
    lista.listModel().changeRows({{0, {"F", "$101.00"}}});
    EXPECT_TRUE(QTest::qWaitFor([&] { return total.enPalabras() == " · $60,100.00 en total"; }, 10'000))
        << total.enPalabras().toStdString();
}

} // namespace
