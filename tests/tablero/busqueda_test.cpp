// Find-next over the list as shown, and the board's answers when nothing more is found.
#include "tablero.h"

#include "controles/txtzel.h"

#include <QLineEdit>
#include <QTest>

namespace {

using Pruebas::TableroDePrueba;

// Rows: 1 "F1 Licencias Uno", 2 "F2 Servidores Dos", 3 "F3 Capacitación Tres",
// 4 "F4 Soporte Nueve", 5 "F5 Servidores de RESPALDO Nueve".
class Busqueda : public TableroDePrueba
{
protected:
    void SetUp() override
    {
        TableroDePrueba::SetUp();
        oportunidad("F5", "V9", "AZUL", "Servidores de RESPALDO");
        abre();
    }

    Kit::txtZEL &caja() const { return *tablero->findChild<Kit::txtZEL *>("txtBuscar"); }
};

TEST_F(Busqueda, findsTheNextRowAfterTheSelectedOneInAnyColumnLetterCaseAside)
{
    // The row selected first (0: none), the text, the row found (0: none).
    const std::tuple<int, const char *, int> casos[] = {
        {0, "licencias", 1},               // second column of row 1
        {0, "NUEVE", 4},                   // capitals find lower case inside a longer text
        {3, "servidores", 5},              // row 2 holds it too but lies before the start
        {2, "servidores", 5}, {0, "", 1},  // an empty text matches the first row examined
        {2, "", 3},           {5, "F", 0}, // the last row selected: nothing left to examine
        {4, "soporte", 0},                 // only the selected row holds it
        {0, "respaldo", 5},   {0, "capacitación", 3},
        {0, "no está", 0},
    };
    for (const auto &[seleccionado, texto, esperado] : casos) {
        SCOPED_TRACE(texto);
        seleccionado == 0 ? lista().clearSelection() : lista().selectItem(seleccionado);
        EXPECT_EQ(frmKLD251::Buscar(lista(), QString::fromUtf8(texto)), esperado);
        if (esperado == 0) {
            EXPECT_EQ(lista().selectedIndex(), 0); // a miss clears the selection
        }
    }
    lista().clearSelection();
    lista().setQuickFilter("nueve"); // the window's quick filter hides row 2
    EXPECT_EQ(frmKLD251::Buscar(lista(), "servidores"), 5);
    lista().replaceContents({"Folio"}, {});
    EXPECT_EQ(frmKLD251::Buscar(lista(), QString()), 0); // nor does an empty list hold anything
}

// A hit selects the row and focuses the list; F3 asks for the next one. No match from the box
// gives the box the focus back; no further match from the list keeps the focus there, and the
// next request starts over.
TEST_F(Busqueda, aHitIsSelectedAndNoMatchSaysSoLeavingTheFocusWhereTheRequestCameFrom)
{
    caja().setTexto("servidores");
    caja().setFocus();
    Q_EMIT caja().Buscar();
    EXPECT_EQ(lista().selectedIndex(), 2);
    EXPECT_TRUE(lista().hasFocus());
    QTest::keyClick(&lista(), Qt::Key_F3);
    EXPECT_EQ(lista().selectedIndex(), 5);
    EXPECT_TRUE(entorno->mensajes.empty());

    caja().setTexto("nada de esto");
    caja().editor()->setFocus();
    entorno->alMostrar = [this](const Pruebas::MensajeMostrado &) { lista().setFocus(); }; // as a message box does
    Q_EMIT caja().Buscar();
    entorno->alMostrar = nullptr;
    EXPECT_TRUE(caja().editor()->hasFocus());
    caja().setTexto("soporte");
    Q_EMIT caja().Buscar();
    ASSERT_EQ(lista().selectedIndex(), 4);
    ASSERT_TRUE(lista().hasFocus());
    QTest::keyClick(&lista(), Qt::Key_F3);
    EXPECT_TRUE(lista().hasFocus());
    EXPECT_EQ(lista().selectedIndex(), 0);
    QTest::keyClick(&lista(), Qt::Key_F3);
    EXPECT_EQ(lista().selectedIndex(), 4);

    ASSERT_EQ(entorno->mensajes.size(), 2u);
    EXPECT_TRUE(Pruebas::esComo(entorno->mensajes[0], {"ERR-ID:7500019", Servicios::Estilo::Exclamacion, "Buscar",
                                                       "No se encontraron coincidencias"}));
    EXPECT_TRUE(Pruebas::esComo(entorno->mensajes[1], {"ERR-ID:7500020", Servicios::Estilo::Exclamacion, "Buscar",
                                                       "No se encontraron más coincidencias"}));
}

} // namespace
