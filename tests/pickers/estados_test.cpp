// The state picker: how the states fill the tiles, how a tile is chosen, how the picker
// is left, and which failures keep it from showing.
#include "selectores.h"

#include "ado/sqltext.h"
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
    void estado(const QString &clave, const QVariant &descripcion, const QVariant &hexadecimal) const
    {
        const auto literal = [](const QVariant &valor) {
            return Runtime::isNull(valor) ? QStringLiteral("NULL")
                                          : QLatin1Char('\'') + Ado::quoted(valor.toString()) + QLatin1Char('\'');
        };
        base.ejecuta(QStringLiteral("INSERT INTO Estado_Oportunidad VALUES ('%1', %2, %3, 'NO')")
                         .arg(Ado::quoted(clave), literal(descripcion), literal(hexadecimal)));
    }

    void tresEstados() const
    {
        base.ejecuta(QStringLiteral("INSERT INTO Estado_Oportunidad VALUES ('ROJO', 'Urgente', '&HFF', 'NO'), "
                                    "('AZUL', 'En curso', '16711680', 'NO'), ('GRIS', 'Pausada', ' &H808080 ', 'NO')"));
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
    for (int i = 0; i < cuadros; ++i) {
        if (estados.picEstado[size_t(i)]->Appearance() == CuadroDeColor::TresDimensiones)
            elevados << QString::number(i);
    }
    return QStringList{elevados.join(QLatin1Char(',')), estados.picSeleccion->color().name(),
                       estados.lbDescripcion->text()}
        .join(QLatin1Char(' '));
}

// A tile as "tag #colour #painted name/tip", the painted colour taken at its centre, where
// its bevel does not reach; " -" after a tile that cannot be clicked.
QString cuadro(CuadroDeColor &tile)
{
    return QStringLiteral("%1 %2 %3 %4/%5%6")
        .arg(tile.Tag(), tile.color().name(), tile.grab().toImage().pixelColor(tile.rect().center()).name(),
             tile.accessibleName(), tile.toolTip(), tile.isEnabled() ? QString() : QStringLiteral(" -"));
}

// Free tiles stay disabled in the form's colour; the swatch in the window's colour.
TEST_F(Estados, withoutAMatchingStateNothingIsMarkedAndAceptarReturnsTheKeyPassedIn)
{
    const std::pair<int, QVariant> casos[] = {
        {0, QStringLiteral("ROJO")}, {3, QStringLiteral("azul")}, {3, QStringLiteral("AZUL ")}, {3, QVariant()}};
    for (const auto &[cuantos, actual] : casos) {
        SCOPED_TRACE(actual.toString().toStdString());
        if (cuantos > 0 && base.cuenta(QStringLiteral("Estado_Oportunidad")) == 0)
            tresEstados();
        frmEstados estados;
        muestra(estados, actual, [](frmEstados &abierto) { QTest::mouseClick(abierto.cmdAceptar, Qt::LeftButton); });
        for (int i = cuantos; i < cuadros; ++i) {
            const CuadroDeColor &libre = *estados.picEstado[size_t(i)];
            EXPECT_EQ(std::tuple(libre.isEnabled(), libre.BackColor()), std::tuple(false, 0xF5F5F5)) << i;
        }
        EXPECT_EQ(eleccion(estados), QLatin1Char(' ') + estados.picSeleccion->color().name() + QLatin1Char(' '));
        EXPECT_EQ(estados.picSeleccion->BackColor(), qint32(0x80000005u));
        EXPECT_EQ(std::tuple(estados.EstadoSeleccionado, estados.Aceptado), std::tuple(actual.toString(), true));
        EXPECT_TRUE(entorno->mensajes.empty());
    }
}

TEST_F(Estados, aClickedTileIsTheChoiceButOnlyAceptarMakesItCount)
{
    // The tile clicked (-1: none; 10 has no state), how the picker is left, Aceptado before,
    // then the state chosen and Aceptado.
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
        const Modal modal = muestra(estados, QStringLiteral("AZUL"), [&](frmEstados &abierto) {
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
        EXPECT_EQ(vista,
                  elegido == u"GRIS" ? QStringLiteral("2 #808080 Pausada") : QStringLiteral("1 #0000ff En curso"));
    }
}

TEST_F(Estados, fortyEightStatesFillEveryTileAndEachIsVisibleAndClickable)
{
    for (int i = 0; i < cuadros; ++i)
        estado(QStringLiteral("E%1").arg(i), QStringLiteral("Estado %1").arg(i), QString::number(i * 5000));
    frmEstados estados;
    const Modal modal = muestra(estados, QStringLiteral("E47"), [](frmEstados &abierto) {
        const QRect visible = abierto.rect().adjusted(
            0, abierto.findChild<QWidget *>(QStringLiteral("Titulo"))->height(), 0, 0);
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
            EXPECT_EQ(abierto.EstadoSeleccionado, QStringLiteral("E%1").arg(i));
            EXPECT_EQ(eleccion(abierto).section(QLatin1Char(' '), 0, 0), QString::number(i));
        }
        QTest::mouseClick(abierto.cmdCancelar, Qt::LeftButton);
    });
    EXPECT_TRUE(modal.mostrado);
    EXPECT_TRUE(entorno->mensajes.empty());
}

TEST_F(Estados, twoRowsWithTheCurrentKeyAreBothRaisedAndTheLaterOneDescribesIt)
{
    estado(QStringLiteral("A"), QStringLiteral("Primero"), QStringLiteral("&HFF"));
    estado(QStringLiteral("B"), QStringLiteral("Otro"), QStringLiteral("0"));
    estado(QStringLiteral("A"), QStringLiteral("Segundo"), QStringLiteral("16711680"));
    frmEstados estados;
    muestra(estados, QStringLiteral("A"), [](frmEstados &abierto) { QTest::keyClick(&abierto, Qt::Key_Escape); });
    EXPECT_EQ(eleccion(estados), QStringLiteral("0,2 #0000ff Segundo"));
}

TEST_F(Estados, aStateThatCannotBeShownIsReportedAndThePickerDoesNotOpen)
{
    const QVariant nulo = Runtime::nullValue();
    // What is wrong, the current key, the message's text (empty: not checked).
    const std::tuple<const char *, std::function<void()>, QVariant, QString> casos[] = {
        {"49 states",
         [this] {
             for (int i = 0; i <= cuadros; ++i)
                 estado(QStringLiteral("E%1").arg(i), QStringLiteral("Estado"), QStringLiteral("&HFF"));
         },
         QStringLiteral("E0"), "El subíndice está fuera del intervalo"},
        {"a colour beyond RGB", [this] { estado("X", "Mal", "&H1000000"); }, "X", "Valor de propiedad no válido"},
        {"a colour that is no number", [this] { estado("X", "Mal", "abc"); }, "X", "No coinciden los tipos"},
        {"no colour", [this, nulo] { estado("X", "Mal", nulo); }, "X", "Uso no válido de Null"},
        {"no description", [this, nulo] { estado("X", nulo, "&HFF"); }, "X", "Uso no válido de Null"},
        {"no current key", [this] { estado("X", "Bien", "&HFF"); }, nulo, "Uso no válido de Null"},
        {"no state table", [this] { base.ejecuta("DROP TABLE Estado_Oportunidad"); }, "X", ""},
    };
    for (const auto &[nombre, prepara, actual, texto] : casos) {
        SCOPED_TRACE(nombre);
        base.ejecuta(QStringLiteral("DELETE FROM Estado_Oportunidad"));
        prepara();
        entorno->mensajes.clear();
        frmEstados estados;
        const Modal modal = muestra(estados, actual);
        EXPECT_FALSE(modal.mostrado || estados.isVisible() || estados.Aceptado);
        EXPECT_TRUE(estados.EstadoSeleccionado.isEmpty());
        esperaFalla(&estados, QStringLiteral("Mostrar()"), QStringLiteral("ERR-ID:7500027"), texto);
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
    const Modal modal = muestra(estados, QStringLiteral("AZUL"), [&](frmEstados &abierto) {
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
    EXPECT_EQ(vistos, (QStringList{"ROJO|&HFF #ff0000 #ff0000 Urgente/Urgente",
                                   "AZUL|16711680 #0000ff #0000ff En curso/En curso",
                                   "GRIS| &H808080  #808080 #808080 Pausada/Pausada", vistos[3], "1 #0000ff En curso",
                                   "1", "2 #808080 Pausada", "1 #0000ff En curso", "0 #ff0000 Urgente"}));
    EXPECT_TRUE(vistos[3].endsWith(QStringLiteral(" -")));
    EXPECT_EQ(std::tuple(estados.EstadoSeleccionado, estados.Aceptado), std::tuple(QStringLiteral("ROJO"), true));
}

} // namespace
