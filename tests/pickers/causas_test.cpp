// The lost-cause picker: the causes it lists, how one is picked or left, the failures it shows.
#include "selectores.h"

#include "controles/listview.h"
#include "frmCausas.h"

#include <QLineEdit>
#include <QTest>

namespace {

using Pruebas::Modal;
using Pruebas::responde;

using Accion = std::function<void(frmCausas &)>;

class Causas : public Pruebas::Selectores
{
protected:
    // Adds the causes written as "(code, 'description', 'state')" rows.
    void agrega(const QString &filas) const { base.ejecuta("INSERT INTO Causa_Oportunidad_Perdida VALUES " + filas); }

    static QStringList renglones(const frmCausas &causas)
    {
        QStringList vistos;
        for (int i = 1; i <= causas.lvCausas->itemCount(); ++i)
            vistos << causas.lvCausas->itemKey(i) + '=' + causas.lvCausas->itemText(i);
        return vistos;
    }

    // Loads the picker as the mark-lost action does, answers it and reads what it leaves.
    Modal usa(frmCausas &causas, const Accion &respuesta)
    {
        causas.load();
        const auto modal = responde<frmCausas>(causas, respuesta);
        causas.showModal();
        return *modal;
    }
};

Accion tecla(Qt::Key clave)
{
    return [clave](frmCausas &causas) { QTest::keyClick(causas.lvCausas, clave); };
}

// A double click on the selected row, or below the last row (where it reaches the list but
// no row) when none is selected.
void dobleClic(frmCausas &causas)
{
    const Kit::ListView &lista = *causas.lvCausas;
    const int indice = lista.selectedIndex();
    const QPoint donde = indice > 0 ? lista.visualRect(lista.model()->index(indice - 1, 0)).center()
                                    : QPoint(10, lista.viewport()->height() - 5);
    QTest::mouseDClick(lista.viewport(), Qt::LeftButton, {}, donde);
}

// Enter and a double click pick the selected row, Esc leaves without a cause; on a list with
// no active cause only Esc closes the picker, and unloads it at once (else the caller does).
TEST_F(Causas, enterAndDoubleClickPickTheSelectedRowEscLeavesWithout)
{
    // What the user does, the row selected (0: none; -1: none, and no active cause listed),
    // the cause picked, whether the picker stays open and loaded, and the message shown.
    const std::tuple<const char *, Accion, int, QString, bool, bool, QString> casos[] = {
        {"Enter on an empty list", tecla(Qt::Key_Return), -1, "", true, true, ""},
        {"double click on an empty list", dobleClic, -1, "", true, true, ""},
        {"Esc on an empty list", tecla(Qt::Key_Escape), -1, "", false, false, ""},
        {"Enter on the second row", tecla(Qt::Key_Return), 2, "12", false, true, ""},
        {"keypad Enter on the first row", tecla(Qt::Key_Enter), 1, "4", false, true, ""},
        {"double click on the second row", dobleClic, 2, "12", false, true, ""},
        {"Esc with a row selected", tecla(Qt::Key_Escape), 2, "", false, true, ""},
        {"Enter with no row selected", tecla(Qt::Key_Return), 0, "", true, true, ""},
        {"double click beside the rows", dobleClic, 0, "", true, true, "ERR-ID:7500026"},
        {"another key", tecla(Qt::Key_F2), 2, "", true, true, ""},
    };
    agrega("(7, 'Competencia', 'BA')");
    for (const auto &[nombre, accion, seleccion, elegida, sigueAbierto, cargado, mensaje] : casos) {
        SCOPED_TRACE(nombre);
        if (seleccion >= 0 && base.cuenta("Causa_Oportunidad_Perdida") == 1)
            agrega("(4, 'Presupuesto', 'AC'), (12, 'Precio', 'AC')");
        entorno->mensajes.clear();
        frmCausas causas;
        const Modal modal = usa(causas, [&](frmCausas &abierto) {
            abierto.lvCausas->clearSelection();
            if (seleccion > 0)
                abierto.lvCausas->selectItem(seleccion);
            accion(abierto);
        });
        EXPECT_EQ(std::tuple(modal.mostrado, causas.Causa, modal.sigueAbierto, causas.isLoaded()),
                  std::tuple(true, elegida, sigueAbierto, cargado));
        if (mensaje.isEmpty())
            EXPECT_TRUE(entorno->mensajes.empty());
        else
            esperaFalla(&causas, "lvCausas_DblClick()", mensaje);
    }
}

// The picker lists every cause but the deactivated ones, keyed by "K" and the code. A failure
// while loading is reported, and the picker opens with the rows read before it.
TEST_F(Causas, listsTheActiveCausesAndAFailureWhileLoadingIsReportedWithTheRowsReadSoFar)
{
    // The statements, the rows then shown, the message's text ("-": no message; empty: not checked).
    const std::tuple<QStringList, QStringList, QString> casos[] = {
        {{"INSERT INTO Causa_Oportunidad_Perdida VALUES (3, 'Tiempo de entrega', 'XX'), (7, 'Competencia', 'BA'),"
          " (12, 'Precio', 'AC'), (15, 'O''Brien no respondió', 'AC')"},
         {"K3=Tiempo de entrega", "K12=Precio", "K15=O'Brien no respondió"},
         "-"},
        {{"DROP TABLE Causa_Oportunidad_Perdida"}, {}, ""},
        {{"CREATE TABLE Causa_Oportunidad_Perdida (Cop_Cve_Causa_Oportunidad_Perdida INTEGER, "
          "Cop_Descripcion TEXT, Es_Cve_Estado TEXT)",
          "INSERT INTO Causa_Oportunidad_Perdida VALUES (1, 'Precio', 'AC'), (2, NULL, 'AC'), (3, 'Tiempo', 'AC')"},
         {"K1=Precio"},
         "Uso no válido de Null"}};
    for (const auto &[preparacion, esperados, texto] : casos) {
        for (const QString &sentencia : preparacion)
            base.ejecuta(sentencia);
        entorno->mensajes.clear();
        frmCausas causas;
        QStringList vistos;
        EXPECT_TRUE(usa(causas, [&vistos](frmCausas &abierto) { vistos = renglones(abierto); }).mostrado);
        EXPECT_EQ(std::pair(vistos, causas.Causa), std::pair(esperados, QString()));
        if (texto == u"-")
            EXPECT_TRUE(entorno->mensajes.empty());
        else
            esperaFalla(&causas, "Form_Load()", "ERR-ID:7500025", texto);
    }
}

TEST_F(Causas, everyActivationPutsTheFocusBackOnTheList)
{
    agrega("(12, 'Precio', 'AC')");
    frmCausas causas;
    causas.load();
    auto *otroCampo = new QLineEdit(&causas); // where the focus would otherwise come back to
    causas.show();
    QWidget otraVentana;
    otraVentana.show();
    for (int vez = 1; vez <= 2; ++vez) {
        otraVentana.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&otraVentana, 1000));
        otroCampo->setFocus();
        causas.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&causas, 1000));
        EXPECT_TRUE(causas.lvCausas->hasFocus()) << vez;
    }
}

} // namespace
