// The pickers the board opens, each on a fresh database with a module whose message box only
// records: the lost-cause picker (the causes it lists, how one is picked or left) and the state
// picker (how states fill the tiles, how one is chosen, the picker left); the failures each shows.
#include "basedeprueba.h"
#include "mensajes.h"

#include "controles/flatbutton.h"
#include "controles/listview.h"
#include "cuadrodecolor.h"
#include "frmCausas.h"
#include "frmEstados.h"
#include "publico.h"
#include "runtime/conversions.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// A fresh database and a module whose message box only records.
class Selectores : public testing::Test
{
protected:
    void SetUp() override { entorno = &Pruebas::iniciaModuloConGrabador(); }
    void TearDown() override { Publico::Termina(); }

    // The one message shown, as a picker's trap reports a failure (its text only when given).
    void esperaFalla(const QWidget *formulario, const QString &titulo, const QString &idError,
                     const QString &texto = QString()) const
    {
        ASSERT_EQ(entorno->identificadores(), QStringList{idError});
        const Pruebas::MensajeMostrado &mensaje = entorno->mensajes.front();
        EXPECT_TRUE(Pruebas::esComo(mensaje, {idError, Servicios::Estilo::Critico, titulo, texto}));
        EXPECT_TRUE(mensaje.modulo == u"KLD251" && mensaje.propietario == formulario) << mensaje.modulo.toStdString();
    }

    Pruebas::BaseDePrueba base;
    Pruebas::EntornoGrabador *entorno = nullptr;
};

// What became of a modal dialog answered by a test.
struct Modal
{
    bool mostrado = false;     // it was the active modal dialog when the answer came
    bool sigueAbierto = false; // the answer did not close it (the test then hid it)
};

// Answers the modal dialog as soon as it is shown. A dialog the answer leaves open is
// hidden, so the test goes on and can tell.
template<typename Formulario>
std::shared_ptr<Modal> responde(Formulario &formulario, std::function<void(Formulario &)> respuesta)
{
    auto modal = std::make_shared<Modal>();
    QTimer::singleShot(0, &formulario, [&formulario, respuesta, modal] {
        if (QApplication::activeModalWidget() != &formulario)
            return;
        modal->mostrado = true;
        respuesta(formulario);
        modal->sigueAbierto = formulario.isVisible();
        formulario.hide();
    });
    return modal;
}

using Accion = std::function<void(frmCausas &)>;

using Causas = Selectores;

// Loads the picker as the mark-lost action does, answers it and reads what it leaves.
Modal usa(frmCausas &causas, const Accion &respuesta)
{
    causas.load();
    const auto modal = responde<frmCausas>(causas, respuesta);
    causas.showModal();
    return *modal;
}

// Enter and a double click pick the selected row, Esc leaves without a cause; on a list with
// no active cause only Esc closes the picker, and unloads it at once (else the caller does).
TEST_F(Causas, enterAndDoubleClickPickTheSelectedRowEscLeavesWithout)
{
    const auto tecla = [](Qt::Key clave) -> Accion {
        return [clave](frmCausas &causas) { QTest::keyClick(causas.lvCausas, clave); };
    };
    // A double click on the selected row, or below the last row (where it reaches the list but
    // no row) when none is selected.
    const Accion dobleClic = [](frmCausas &causas) {
        const Kit::ListView &lista = *causas.lvCausas;
        const int indice = lista.selectedIndex();
        const QPoint donde = indice > 0 ? lista.visualRect(lista.model()->index(indice - 1, 0)).center()
                                        : QPoint(10, lista.viewport()->height() - 5);
        QTest::mouseDClick(lista.viewport(), Qt::LeftButton, {}, donde);
    };
    // What the user does, the row selected (0: none; -1: none, and no active cause listed),
    // the cause picked, whether the picker stays open and loaded, and the message shown.
    const std::tuple<const char *, Accion, int, QString, bool, bool, QString> casos[] = {
        {"Enter on an empty list", tecla(Qt::Key_Return), -1, "", true, true, ""},
        {"double click on an empty list", dobleClic, -1, "", true, true, ""},
        {"Esc on an empty list", tecla(Qt::Key_Escape), -1, "", false, false, ""},
        {"keypad Enter on the first row", tecla(Qt::Key_Enter), 1, "4", false, true, ""},
        {"double click on the second row", dobleClic, 2, "12", false, true, ""},
        {"Esc with a row selected", tecla(Qt::Key_Escape), 2, "", false, true, ""},
        {"Enter with no row selected", tecla(Qt::Key_Return), 0, "", true, true, ""},
        {"double click beside the rows", dobleClic, 0, "", true, true, "ERR-ID:7500026"},
        {"another key", tecla(Qt::Key_F2), 2, "", true, true, ""},
    };
    base.ejecuta("INSERT INTO Causa_Oportunidad_Perdida VALUES (7, 'Competencia', 'BA')");
    for (const auto &[nombre, accion, seleccion, elegida, sigueAbierto, cargado, mensaje] : casos) {
        SCOPED_TRACE(nombre);
        if (seleccion >= 0 && base.cuenta("Causa_Oportunidad_Perdida") == 1)
            base.ejecuta("INSERT INTO Causa_Oportunidad_Perdida VALUES (4, 'Presupuesto', 'AC'), (12, 'Precio', 'AC')");
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
        {{"DROP TABLE Causa_Oportunidad_Perdida",
          "CREATE TABLE Causa_Oportunidad_Perdida (Cop_Cve_Causa_Oportunidad_Perdida INTEGER, "
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
        EXPECT_TRUE(usa(causas, [&vistos](frmCausas &abierto) {
                        for (int i = 1; i <= abierto.lvCausas->itemCount(); ++i)
                            vistos << abierto.lvCausas->itemKey(i) + '=' + abierto.lvCausas->itemText(i);
                    }).mostrado);
        EXPECT_EQ(std::pair(vistos, causas.Causa), std::pair(esperados, QString()));
        if (texto == u"-")
            EXPECT_TRUE(entorno->mensajes.empty());
        else
            esperaFalla(&causas, "Form_Load()", "ERR-ID:7500025", texto);
    }
}

TEST_F(Causas, everyActivationPutsTheFocusBackOnTheList)
{
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

constexpr int cuadros = frmEstados::numeroDeCuadros;

using Estados = Selectores;

const char *const tresEstados = "INSERT INTO Estado_Oportunidad VALUES ('ROJO', 'Urgente', '&HFF', 'NO'),"
                                " ('AZUL', 'En curso', '16711680', 'NO'), ('GRIS', 'Pausada', ' &H808080 ', 'NO')";

// Loads the picker and calls Mostrar as the change-state action does.
Modal muestra(
    frmEstados &estados, const QVariant &actual,
    const std::function<void(frmEstados &)> &respuesta = [](frmEstados &) {})
{
    estados.load();
    const auto modal = responde<frmEstados>(estados, respuesta);
    estados.Mostrar(actual);
    QCoreApplication::processEvents(); // an answer for a picker that never showed
    return *modal;
}

// The raised tiles, the swatch's colour and the description shown, as "1 #0000ff En curso".
QString eleccion(const frmEstados &estados)
{
    QStringList elevados;
    for (int i = 0; i < cuadros; ++i)
        if (estados.picEstado[size_t(i)]->Appearance() == CuadroDeColor::TresDimensiones)
            elevados << QString::number(i);
    return elevados.join(',') + ' ' + estados.picSeleccion->color().name() + ' ' + estados.lbDescripcion->text();
}

// A tile as "tag #colour #painted name/tip" (painted at its centre, past the bevel), " -" if disabled.
QString cuadro(CuadroDeColor &tile)
{
    return QStringLiteral("%1 %2 %3 %4/%5%6")
        .arg(tile.Tag(), tile.color().name(), tile.grab().toImage().pixelColor(tile.rect().center()).name(),
             tile.accessibleName(), tile.toolTip(), tile.isEnabled() ? QString() : " -");
}

// A clicked tile is the choice, but only Aceptar makes it count. A current key that matches no
// state (letter case and spaces count) marks nothing, shows the swatch in the window's colour,
// and comes back as it was passed in.
TEST_F(Estados, aClickedTileIsTheChoiceButOnlyAceptarMakesItCount)
{
    // The current key, the tile clicked (-1: none; 10 has no state), how the picker is left,
    // Aceptado before; the state chosen, Aceptado, and what it showed then (empty: nothing marked).
    const std::tuple<QVariant, int, const char *, bool, QString, bool, QString> casos[] = {
        {"AZUL", 2, "Aceptar", false, "GRIS", true, "2 #808080 Pausada"},
        {"AZUL", 2, "Cancelar", true, "GRIS", false, "2 #808080 Pausada"},
        {"AZUL", 2, "Esc", false, "GRIS", false, "2 #808080 Pausada"},
        {"AZUL", 2, "Esc", true, "GRIS", true, "2 #808080 Pausada"}, // Esc leaves Aceptado as it was
        {"AZUL", -1, "Aceptar", false, "AZUL", true, "1 #0000ff En curso"},
        {"AZUL", 10, "Aceptar", false, "AZUL", true, "1 #0000ff En curso"},
        {"azul", -1, "Aceptar", false, "azul", true, ""},
        {"AZUL ", -1, "Aceptar", false, "AZUL ", true, ""},
        {QVariant(), -1, "Aceptar", false, "", true, ""}};
    base.ejecuta(tresEstados);
    for (const auto &[actual, tocado, salida, antes, elegido, aceptado, mostrado] : casos) {
        SCOPED_TRACE(actual.toString().toStdString() + " " + std::to_string(tocado) + " " + salida);
        frmEstados estados;
        estados.Aceptado = antes;
        QString vista;
        const Modal modal = muestra(estados, actual, [&](frmEstados &abierto) {
            if (tocado >= 0)
                QTest::mouseClick(abierto.picEstado[size_t(tocado)], Qt::LeftButton);
            vista = eleccion(abierto);
            if (salida == std::string_view("Esc"))
                QTest::keyClick(&abierto, Qt::Key_Escape);
            else
                QTest::mouseClick(salida == std::string_view("Aceptar") ? abierto.cmdAceptar : abierto.cmdCancelar,
                                  Qt::LeftButton);
        });
        EXPECT_FALSE(modal.sigueAbierto);
        EXPECT_EQ(std::tuple(estados.EstadoSeleccionado, estados.Aceptado), std::tuple(elegido, aceptado));
        EXPECT_EQ(vista, mostrado.isEmpty() ? ' ' + estados.picSeleccion->color().name() + ' ' : mostrado);
        if (mostrado.isEmpty()) {
            EXPECT_EQ(estados.picSeleccion->BackColor(), qint32(0x80000005u));
        }
    }
    EXPECT_TRUE(entorno->mensajes.empty());
}

TEST_F(Estados, aStateThatCannotBeShownIsReportedAndThePickerDoesNotOpen)
{
    const QVariant nulo = Runtime::nullValue();
    QStringList muchos; // states E0, E1... in colours 5000 apart
    for (int i = 0; i <= cuadros; ++i)
        muchos << QString("('E%1', 'Estado %1', '%2', 'NO')").arg(i).arg(i * 5000);
    // What is wrong, the states then (none: no table), the current key, the message's text
    // (empty: not checked).
    const std::tuple<const char *, QString, QVariant, QString> casos[] = {
        {"49 states", muchos.join(", "), "E0", "El subíndice está fuera del intervalo"},
        {"a colour beyond RGB", "('X', 'Mal', '&H1000000', 'NO')", "X", "Valor de propiedad no válido"},
        {"no colour", "('X', 'Mal', NULL, 'NO')", "X", "Uso no válido de Null"},
        {"no description", "('X', NULL, '&HFF', 'NO')", "X", "Uso no válido de Null"},
        {"no current key", "('X', 'Bien', '&HFF', 'NO')", nulo, "Uso no válido de Null"},
        {"no state table", "", "X", ""},
    };
    for (const auto &[nombre, filas, actual, texto] : casos) {
        SCOPED_TRACE(nombre);
        base.ejecuta("DELETE FROM Estado_Oportunidad");
        base.ejecuta(filas.isEmpty() ? "DROP TABLE Estado_Oportunidad"
                                     : "INSERT INTO Estado_Oportunidad VALUES " + filas);
        entorno->mensajes.clear();
        frmEstados estados;
        const Modal modal = muestra(estados, actual);
        EXPECT_FALSE(modal.mostrado || estados.isVisible() || estados.Aceptado
                     || !estados.EstadoSeleccionado.isEmpty());
        esperaFalla(&estados, "Mostrar()", "ERR-ID:7500027", texto);
    }
}

// Each state fills its tile in its colour, named by its state for screen readers; the picker
// opens on the current state, raised; the arrows choose from state to state (the swatch and
// the name follow) and Enter accepts what is highlighted.
TEST_F(Estados, eachStateFillsItsTileAndTheKeyboardMovesTheChoiceFromTheCurrentOneAndEnterAcceptsIt)
{
    base.ejecuta(tresEstados);
    frmEstados estados;
    QStringList vistos;
    const Modal modal = muestra(estados, "AZUL", [&](frmEstados &abierto) {
        for (size_t i = 0; i < 4; ++i)
            vistos << cuadro(*abierto.picEstado[i]);
        vistos << eleccion(abierto);
        QApplication::setActiveWindow(&abierto);
        vistos << QString::number(abierto.focusWidget() == abierto.picEstado[1]);
        for (const Qt::Key tecla : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Left}) {
            QTest::keyClick(abierto.focusWidget(), tecla);
            vistos << eleccion(abierto);
        }
        QTest::keyClick(abierto.focusWidget(), Qt::Key_Return);
    });
    EXPECT_FALSE(modal.sigueAbierto);
    EXPECT_EQ(
        vistos,
        (QStringList{"ROJO|&HFF #ff0000 #ff0000 Urgente/Urgente", "AZUL|16711680 #0000ff #0000ff En curso/En curso",
                     "GRIS| &H808080  #808080 #808080 Pausada/Pausada", " #f5f5f5 #f5f5f5 / -", "1 #0000ff En curso",
                     "1", "2 #808080 Pausada", "1 #0000ff En curso", "0 #ff0000 Urgente"}));
    EXPECT_EQ(std::tuple(estados.EstadoSeleccionado, estados.Aceptado), std::tuple("ROJO", true));
}

} // namespace
