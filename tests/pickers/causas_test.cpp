// The lost-cause picker: which causes it lists, how a cause is picked or left, and what a
// failure while loading or picking shows.
#include "selectores.h"

#include "ado/sqltext.h"
#include "controles/listview.h"
#include "frmCausas.h"

#include <QLineEdit>
#include <QTest>

namespace {

using Pruebas::Modal;
using Pruebas::responde;

class Causas : public Pruebas::Selectores
{
protected:
    void causa(int codigo, const QString &descripcion, const QString &estado = QStringLiteral("AC")) const
    {
        base.ejecuta(QStringLiteral("INSERT INTO Causa_Oportunidad_Perdida VALUES (%1, '%2', '%3')")
                         .arg(codigo)
                         .arg(Ado::quoted(descripcion), Ado::quoted(estado)));
    }

    static QStringList renglones(const frmCausas &causas)
    {
        QStringList vistos;
        for (int i = 1; i <= causas.lvCausas->itemCount(); ++i)
            vistos << causas.lvCausas->itemKey(i) + QLatin1Char('=') + causas.lvCausas->itemText(i);
        return vistos;
    }

    // Loads the picker as the mark-lost action does, answers it and reads what it leaves.
    Modal usa(frmCausas &causas, const std::function<void(frmCausas &)> &respuesta)
    {
        causas.load();
        const auto modal = responde<frmCausas>(causas, respuesta);
        causas.showModal();
        return *modal;
    }
};

void dobleClic(const Controles::ListView &lista, const QPoint &donde)
{
    QTest::mouseDClick(lista.viewport(), Qt::LeftButton, {}, donde);
}

QPoint centroDelRenglon(const Controles::ListView &lista, int indice)
{
    return lista.visualRect(lista.model()->index(indice - 1, 0)).center();
}

// Below the last row, where a double click reaches the list but no row.
QPoint bajoLosRenglones(const Controles::ListView &lista)
{
    return {10, lista.viewport()->height() - 5};
}

TEST_F(Causas, listsEveryCauseButTheDeactivatedOnesKeyedByKAndTheCode)
{
    causa(3, QStringLiteral("Tiempo de entrega"), QStringLiteral("XX"));
    causa(7, QStringLiteral("Competencia"), QStringLiteral("BA"));
    causa(12, QStringLiteral("Precio"));
    causa(15, QStringLiteral("O'Brien no respondió"));
    frmCausas causas;
    causas.load();
    EXPECT_EQ(renglones(causas), (QStringList{"K3=Tiempo de entrega", "K12=Precio", "K15=O'Brien no respondió"}));
    EXPECT_TRUE(causas.Causa.isEmpty());
    EXPECT_TRUE(entorno->mensajes.empty());
    EXPECT_EQ(Publico::TextoSql, QStringLiteral("SELECT Cop_Cve_Causa_Oportunidad_Perdida, Cop_Descripcion "
                                                "FROM Causa_Oportunidad_Perdida WHERE Es_Cve_Estado <> 'BA'"));
}

TEST_F(Causas, enterAndDoubleClickPickTheSelectedRowEscLeavesWithout)
{
    struct Caso
    {
        const char *nombre;
        int seleccion; // 0: none
        std::function<void(frmCausas &)> accion;
        QString causa;
        bool sigueAbierto;
        QStringList mensajes;
    };
    const auto tecla = [](Qt::Key clave) {
        return [clave](frmCausas &causas) { QTest::keyClick(causas.lvCausas, clave); };
    };
    const auto dobleClicEnRenglon = [](frmCausas &causas) {
        dobleClic(*causas.lvCausas, centroDelRenglon(*causas.lvCausas, causas.lvCausas->selectedIndex()));
    };
    const auto dobleClicFuera = [](frmCausas &causas) {
        dobleClic(*causas.lvCausas, bajoLosRenglones(*causas.lvCausas));
    };
    const std::vector<Caso> casos = {
        {"Enter on the second row", 2, tecla(Qt::Key_Return), "12", false, {}},
        {"keypad Enter on the first row", 1, tecla(Qt::Key_Enter), "4", false, {}},
        {"double click on the second row", 2, dobleClicEnRenglon, "12", false, {}},
        {"Esc with a row selected", 2, tecla(Qt::Key_Escape), "", false, {}},
        {"Esc with no row selected", 0, tecla(Qt::Key_Escape), "", false, {}},
        {"Enter with no row selected", 0, tecla(Qt::Key_Return), "", true, {}},
        {"double click beside the rows with none selected", 0, dobleClicFuera, "", true, {"ERR-ID:7500026"}},
        {"another key", 2, tecla(Qt::Key_F2), "", true, {}},
    };
    causa(4, QStringLiteral("Presupuesto"));
    causa(12, QStringLiteral("Precio"));
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.nombre);
        entorno->mensajes.clear();
        frmCausas causas;
        const Modal modal = usa(causas, [&caso](frmCausas &abierto) {
            abierto.lvCausas->clearSelection();
            if (caso.seleccion != 0)
                abierto.lvCausas->selectItem(caso.seleccion);
            caso.accion(abierto);
        });
        EXPECT_TRUE(modal.mostrado);
        EXPECT_EQ(modal.sigueAbierto, caso.sigueAbierto);
        EXPECT_EQ(causas.Causa, caso.causa);
        EXPECT_EQ(entorno->identificadores(), caso.mensajes);
        if (!caso.mensajes.isEmpty())
            esperaFalla(&causas, QStringLiteral("lvCausas_DblClick()"), QStringLiteral("ERR-ID:7500026"));
        EXPECT_TRUE(causas.isLoaded()); // the caller unloads it
    }
}

TEST_F(Causas, withNoActiveCauseOnlyEscClosesItAndTheCallerGetsNoCause)
{
    struct Caso
    {
        const char *nombre;
        std::function<void(frmCausas &)> accion;
        bool cierra;
    };
    const std::vector<Caso> casos = {
        {"Enter", [](frmCausas &c) { QTest::keyClick(c.lvCausas, Qt::Key_Return); }, false},
        {"double click", [](frmCausas &c) { dobleClic(*c.lvCausas, bajoLosRenglones(*c.lvCausas)); }, false},
        {"Esc", [](frmCausas &c) { QTest::keyClick(c.lvCausas, Qt::Key_Escape); }, true},
    };
    causa(7, QStringLiteral("Competencia"), QStringLiteral("BA"));
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.nombre);
        frmCausas causas;
        const Modal modal = usa(causas, caso.accion);
        EXPECT_TRUE(modal.mostrado);
        EXPECT_EQ(modal.sigueAbierto, !caso.cierra);
        // Esc on an empty list unloads the dialog at once.
        EXPECT_EQ(causas.isLoaded(), !caso.cierra);
        EXPECT_TRUE(causas.Causa.isEmpty());
        EXPECT_TRUE(entorno->mensajes.empty());
    }
}

TEST_F(Causas, aFailureWhileLoadingIsReportedAndTheDialogOpensWithTheRowsReadSoFar)
{
    struct Caso
    {
        const char *nombre;
        QStringList preparacion;
        QStringList renglones;
        QString texto;
    };
    const std::vector<Caso> casos = {
        {"the table is missing", {"DROP TABLE Causa_Oportunidad_Perdida"}, {}, QString()},
        {"a cause without description",
         {"DROP TABLE IF EXISTS Causa_Oportunidad_Perdida",
          "CREATE TABLE Causa_Oportunidad_Perdida (Cop_Cve_Causa_Oportunidad_Perdida INTEGER, "
          "Cop_Descripcion TEXT, Es_Cve_Estado TEXT)",
          "INSERT INTO Causa_Oportunidad_Perdida VALUES (1, 'Precio', 'AC')",
          "INSERT INTO Causa_Oportunidad_Perdida VALUES (2, NULL, 'AC')",
          "INSERT INTO Causa_Oportunidad_Perdida VALUES (3, 'Tiempo', 'AC')"},
         {"K1=Precio"},
         "Uso no válido de Null"},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.nombre);
        for (const QString &sentencia : caso.preparacion)
            base.ejecuta(sentencia);
        entorno->mensajes.clear();
        frmCausas causas;
        QStringList vistos;
        const Modal modal = usa(causas, [&vistos](frmCausas &abierto) { vistos = renglones(abierto); });
        EXPECT_TRUE(modal.mostrado);
        EXPECT_EQ(vistos, caso.renglones);
        EXPECT_TRUE(causas.Causa.isEmpty());
        esperaFalla(&causas, QStringLiteral("Form_Load()"), QStringLiteral("ERR-ID:7500025"), caso.texto);
    }
}

TEST_F(Causas, everyActivationPutsTheFocusBackOnTheList)
{
    causa(12, QStringLiteral("Precio"));
    frmCausas causas;
    causas.load();
    causas.show();
    // A field of the test's own, where the focus would otherwise come back to.
    auto *otroCampo = new QLineEdit(&causas);
    otroCampo->setObjectName(QStringLiteral("otroCampo"));
    otroCampo->show();
    QWidget otraVentana;
    otraVentana.setObjectName(QStringLiteral("otraVentana"));
    otraVentana.show();
    for (int vez = 1; vez <= 2; ++vez) {
        SCOPED_TRACE(vez);
        otraVentana.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&otraVentana, 1000));
        otroCampo->setFocus();
        causas.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&causas, 1000));
        EXPECT_TRUE(causas.lvCausas->hasFocus());
    }
}

} // namespace
