// The state picker: how states fill the tiles, a tile is chosen, the picker is left, failures shown.
#include "selectores.h"

#include "controles/flatbutton.h"
#include "cuadrodecolor.h"
#include "frmEstados.h"
#include "runtime/conversions.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

namespace {

using Pruebas::Modal;
using Pruebas::responde;

constexpr int cuadros = frmEstados::numeroDeCuadros;

class Estados : public Pruebas::Selectores
{
protected:
    // Adds the states written as "('key', 'description', 'colour', 'NO')" rows.
    void agrega(const QString &filas) const { base.ejecuta("INSERT INTO Estado_Oportunidad VALUES " + filas); }

    void tresEstados() const
    {
        agrega("('ROJO', 'Urgente', '&HFF', 'NO'), ('AZUL', 'En curso', '16711680', 'NO'),"
               " ('GRIS', 'Pausada', ' &H808080 ', 'NO')");
    }

    // States E0, E1... described "Estado 0"... in colours 5000 apart.
    static QString numerados(int cuantos)
    {
        QStringList filas;
        for (int i = 0; i < cuantos; ++i)
            filas << QString("('E%1', 'Estado %1', '%2', 'NO')").arg(i).arg(i * 5000);
        return filas.join(", ");
    }

    // Loads the picker and calls Mostrar as the change-state action does.
    static Modal muestra(
        frmEstados &estados, const QVariant &actual,
        const std::function<void(frmEstados &)> &respuesta = [](frmEstados &) {})
    {
        estados.load();
        const auto modal = responde<frmEstados>(estados, respuesta);
        estados.Mostrar(actual);
        QCoreApplication::processEvents(); // an answer for a picker that never showed
        return *modal;
    }
};

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

// Free tiles stay disabled in the form's colour; the swatch in the window's colour.
TEST_F(Estados, withoutAMatchingStateNothingIsMarkedAndAceptarReturnsTheKeyPassedIn)
{
    const std::pair<int, QVariant> casos[] = {{0, "ROJO"}, {3, "azul"}, {3, "AZUL "}, {3, QVariant()}};
    for (const auto &[cuantos, actual] : casos) {
        SCOPED_TRACE(actual.toString().toStdString());
        if (cuantos > 0 && base.cuenta("Estado_Oportunidad") == 0)
            tresEstados();
        frmEstados estados;
        muestra(estados, actual, [](frmEstados &abierto) { QTest::mouseClick(abierto.cmdAceptar, Qt::LeftButton); });
        EXPECT_TRUE(std::all_of(estados.picEstado.begin() + cuantos, estados.picEstado.end(), [](const auto *libre) {
            return !libre->isEnabled() && libre->BackColor() == 0xF5F5F5;
        }));
        EXPECT_EQ(eleccion(estados), ' ' + estados.picSeleccion->color().name() + ' ');
        EXPECT_EQ(std::tuple(estados.EstadoSeleccionado, estados.Aceptado, estados.picSeleccion->BackColor(),
                             entorno->mensajes.size()),
                  std::tuple(actual.toString(), true, qint32(0x80000005u), 0u));
    }
}

TEST_F(Estados, aClickedTileIsTheChoiceButOnlyAceptarMakesItCount)
{
    // Tile clicked (-1: none; 10 has no state), how it is left, Aceptado before; state chosen, Aceptado.
    const std::tuple<int, const char *, bool, QString, bool> casos[] = {
        {2, "Aceptar", false, "GRIS", true},  {2, "Cancelar", true, "GRIS", false},
        {2, "Esc", false, "GRIS", false},     {2, "Esc", true, "GRIS", true}, // Esc leaves Aceptado as it was
        {-1, "Aceptar", false, "AZUL", true}, {10, "Aceptar", false, "AZUL", true}};
    tresEstados();
    for (const auto &[tocado, salida, antes, elegido, aceptado] : casos) {
        SCOPED_TRACE(std::to_string(tocado) + " " + salida);
        frmEstados estados;
        estados.Aceptado = antes;
        QString vista;
        const Modal modal = muestra(estados, "AZUL", [&](frmEstados &abierto) {
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
        EXPECT_EQ(vista, elegido == u"GRIS" ? "2 #808080 Pausada" : "1 #0000ff En curso");
    }
}

TEST_F(Estados, fortyEightStatesFillEveryTileAndEachIsVisibleAndClickable)
{
    agrega(numerados(cuadros));
    frmEstados estados;
    const Modal modal = muestra(estados, "E47", [](frmEstados &abierto) {
        const QRect visible = abierto.rect().adjusted(0, abierto.findChild<QWidget *>("Titulo")->height(), 0, 0);
        std::vector<QRect> ocupados = {abierto.cmdAceptar->geometry(), abierto.cmdCancelar->geometry(),
                                       abierto.picSeleccion->geometry(), abierto.lbDescripcion->geometry()};
        for (int i = 0; i < cuadros; ++i) {
            SCOPED_TRACE(i);
            CuadroDeColor &cuadro = *abierto.picEstado[size_t(i)];
            EXPECT_TRUE(cuadro.isVisible() && visible.contains(cuadro.geometry()));
            for (const QRect &otro : ocupados)
                EXPECT_FALSE(otro.intersects(cuadro.geometry()));
            ocupados.push_back(cuadro.geometry());
            EXPECT_EQ(abierto.childAt(cuadro.geometry().center()), &cuadro);
            QTest::mouseClick(&cuadro, Qt::LeftButton);
            EXPECT_EQ(abierto.EstadoSeleccionado + ' ' + eleccion(abierto).section(' ', 0, 0),
                      QString("E%1 %1").arg(i));
        }
        QTest::mouseClick(abierto.cmdCancelar, Qt::LeftButton);
    });
    EXPECT_TRUE(modal.mostrado && entorno->mensajes.empty());
}

TEST_F(Estados, twoRowsWithTheCurrentKeyAreBothRaisedAndTheLaterOneDescribesIt)
{
    agrega("('A', 'Primero', '&HFF', 'NO'), ('B', 'Otro', '0', 'NO'), ('A', 'Segundo', '16711680', 'NO')");
    frmEstados estados;
    muestra(estados, "A", [](frmEstados &abierto) { QTest::keyClick(&abierto, Qt::Key_Escape); });
    EXPECT_EQ(eleccion(estados), "0,2 #0000ff Segundo");
}

TEST_F(Estados, aStateThatCannotBeShownIsReportedAndThePickerDoesNotOpen)
{
    const QVariant nulo = Runtime::nullValue();
    // What is wrong, the states then (none: no table), the current key, the message's text
    // (empty: not checked).
    const std::tuple<const char *, QString, QVariant, QString> casos[] = {
        {"49 states", numerados(cuadros + 1), "E0", "El subíndice está fuera del intervalo"},
        {"a colour beyond RGB", "('X', 'Mal', '&H1000000', 'NO')", "X", "Valor de propiedad no válido"},
        {"a colour that is no number", "('X', 'Mal', 'abc', 'NO')", "X", "No coinciden los tipos"},
        {"no colour", "('X', 'Mal', NULL, 'NO')", "X", "Uso no válido de Null"},
        {"no description", "('X', NULL, '&HFF', 'NO')", "X", "Uso no válido de Null"},
        {"no current key", "('X', 'Bien', '&HFF', 'NO')", nulo, "Uso no válido de Null"},
        {"no state table", "", "X", ""},
    };
    for (const auto &[nombre, filas, actual, texto] : casos) {
        SCOPED_TRACE(nombre);
        base.ejecuta("DELETE FROM Estado_Oportunidad");
        filas.isEmpty() ? base.ejecuta("DROP TABLE Estado_Oportunidad") : agrega(filas);
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
    tresEstados();
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
