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

#include <optional>

namespace {

using Pruebas::Modal;
using Pruebas::responde;

constexpr int cuadros = frmEstados::numeroDeCuadros;
constexpr qint32 colorDeVentana = qint32(0x80000005u);
constexpr qint32 fondoDelFormulario = 0xF5F5F5;

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
        estado(QStringLiteral("ROJO"), QStringLiteral("Urgente"), QStringLiteral("&HFF"));
        estado(QStringLiteral("AZUL"), QStringLiteral("En curso"), QStringLiteral("16711680"));
        estado(QStringLiteral("GRIS"), QStringLiteral("Pausada"), QStringLiteral(" &H808080 "));
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

    static std::vector<int> elevados(const frmEstados &estados)
    {
        std::vector<int> indices;
        for (int i = 0; i < cuadros; ++i) {
            if (estados.picEstado[size_t(i)]->Appearance() == CuadroDeColor::TresDimensiones)
                indices.push_back(i);
        }
        return indices;
    }

    static void haz(frmEstados &estados, const QString &accion)
    {
        if (accion == QLatin1String("Aceptar"))
            QTest::mouseClick(estados.cmdAceptar, Qt::LeftButton);
        else if (accion == QLatin1String("Cancelar"))
            QTest::mouseClick(estados.cmdCancelar, Qt::LeftButton);
        else
            QTest::keyClick(&estados, Qt::Key_Escape);
    }
};

void clic(CuadroDeColor &cuadro)
{
    QTest::mouseClick(&cuadro, Qt::LeftButton);
}

// What a tile shows on screen at its centre, where its bevel does not reach.
QColor colorPintado(CuadroDeColor &cuadro)
{
    return cuadro.grab().toImage().pixelColor(cuadro.rect().center());
}

TEST_F(Estados, eachStateFillsItsTileInItsColourAndTheCurrentOneIsRaised)
{
    tresEstados();
    frmEstados estados;
    muestra(estados, QStringLiteral("AZUL"),
            [](frmEstados &abierto) { QTest::mouseClick(abierto.cmdAceptar, Qt::LeftButton); });
    const QColor rojo(255, 0, 0), azul(0, 0, 255), gris(128, 128, 128);
    const std::vector<std::pair<QString, QColor>> esperados = {
        {"ROJO|&HFF", rojo}, {"AZUL|16711680", azul}, {"GRIS| &H808080 ", gris}};
    for (size_t i = 0; i < esperados.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(estados.picEstado[i]->Tag(), esperados[i].first);
        EXPECT_EQ(estados.picEstado[i]->color(), esperados[i].second);
        EXPECT_EQ(colorPintado(*estados.picEstado[i]), esperados[i].second);
        EXPECT_TRUE(estados.picEstado[i]->isEnabled());
    }
    EXPECT_EQ(estados.picEstado[0]->toolTip(), QStringLiteral("Urgente"));
    EXPECT_FALSE(estados.picEstado[3]->isEnabled());
    EXPECT_EQ(elevados(estados), std::vector<int>{1});
    EXPECT_EQ(estados.picSeleccion->color(), azul);
    EXPECT_EQ(estados.lbDescripcion->text(), QStringLiteral("En curso"));
    EXPECT_EQ(estados.EstadoSeleccionado, QStringLiteral("AZUL"));
    EXPECT_TRUE(estados.Aceptado);
}

TEST_F(Estados, withoutAMatchingStateNothingIsMarkedAndAceptarReturnsTheKeyPassedIn)
{
    struct Caso
    {
        int estados;
        QVariant actual;
    };
    const std::vector<Caso> casos = {
        {0, QStringLiteral("ROJO")}, {3, QStringLiteral("azul")}, {3, QStringLiteral("AZUL ")}, {3, QVariant()}};
    for (const Caso &caso : casos) {
        SCOPED_TRACE(std::to_string(caso.estados) + " " + caso.actual.toString().toStdString());
        if (caso.estados > 0 && base.cuenta(QStringLiteral("Estado_Oportunidad")) == 0)
            tresEstados();
        frmEstados estados;
        muestra(estados, caso.actual,
                [](frmEstados &abierto) { QTest::mouseClick(abierto.cmdAceptar, Qt::LeftButton); });
        for (int i = caso.estados; i < cuadros; ++i) {
            const CuadroDeColor &libre = *estados.picEstado[size_t(i)];
            EXPECT_FALSE(libre.isEnabled());
            EXPECT_EQ(libre.BackColor(), fondoDelFormulario);
        }
        EXPECT_TRUE(elevados(estados).empty());
        EXPECT_EQ(estados.picSeleccion->BackColor(), colorDeVentana);
        EXPECT_TRUE(estados.lbDescripcion->text().isEmpty());
        EXPECT_EQ(estados.EstadoSeleccionado, caso.actual.toString());
        EXPECT_TRUE(estados.Aceptado);
        EXPECT_TRUE(entorno->mensajes.empty());
    }
}

TEST_F(Estados, aClickedTileIsTheChoiceButOnlyAceptarMakesItCount)
{
    struct Caso
    {
        std::optional<int> clic;
        const char *salida;
        bool aceptadoAntes;
        QString estado;
        bool aceptado;
    };
    const std::vector<Caso> casos = {
        {2, "Aceptar", false, "GRIS", true},
        {2, "Cancelar", true, "GRIS", false},
        {2, "Esc", false, "GRIS", false},
        {2, "Esc", true, "GRIS", true}, // Esc leaves Aceptado as it was
        {std::nullopt, "Aceptar", false, "AZUL", true},
        {10, "Aceptar", false, "AZUL", true}, // a tile without a state does nothing
    };
    tresEstados();
    for (const Caso &caso : casos) {
        SCOPED_TRACE(std::to_string(caso.clic.value_or(-1)) + " " + caso.salida);
        frmEstados estados;
        estados.Aceptado = caso.aceptadoAntes;
        std::vector<int> elevadosTrasElClic;
        QString descripcion;
        const Modal modal = muestra(estados, QStringLiteral("AZUL"), [&](frmEstados &abierto) {
            if (caso.clic)
                clic(*abierto.picEstado[size_t(*caso.clic)]);
            elevadosTrasElClic = elevados(abierto);
            descripcion = abierto.lbDescripcion->text();
            haz(abierto, QString::fromLatin1(caso.salida));
        });
        EXPECT_FALSE(modal.sigueAbierto);
        EXPECT_EQ(estados.EstadoSeleccionado, caso.estado);
        EXPECT_EQ(estados.Aceptado, caso.aceptado);
        const bool eligioGris = caso.estado == QLatin1String("GRIS");
        EXPECT_EQ(elevadosTrasElClic, std::vector<int>{eligioGris ? 2 : 1});
        EXPECT_EQ(descripcion, eligioGris ? QStringLiteral("Pausada") : QStringLiteral("En curso"));
        EXPECT_EQ(estados.picSeleccion->color(), eligioGris ? QColor(128, 128, 128) : QColor(0, 0, 255));
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
            EXPECT_TRUE(cuadro.isVisible());
            EXPECT_TRUE(visible.contains(cuadro.geometry()));
            for (const QRect &otro : ocupados)
                EXPECT_FALSE(otro.intersects(cuadro.geometry()));
            ocupados.push_back(cuadro.geometry());
            EXPECT_EQ(abierto.childAt(cuadro.geometry().center()), &cuadro);
            clic(cuadro);
            EXPECT_EQ(abierto.EstadoSeleccionado, QStringLiteral("E%1").arg(i));
            EXPECT_EQ(elevados(abierto), std::vector<int>{i});
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
    EXPECT_EQ(elevados(estados), (std::vector<int>{0, 2}));
    EXPECT_EQ(estados.picSeleccion->color(), QColor(0, 0, 255));
    EXPECT_EQ(estados.lbDescripcion->text(), QStringLiteral("Segundo"));
}

TEST_F(Estados, aStateThatCannotBeShownIsReportedAndThePickerDoesNotOpen)
{
    struct Caso
    {
        const char *nombre;
        std::function<void()> prepara;
        QVariant actual;
        QString texto;
    };
    const QVariant nulo = Runtime::nullValue();
    const std::vector<Caso> casos = {
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
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.nombre);
        base.ejecuta(QStringLiteral("DELETE FROM Estado_Oportunidad"));
        caso.prepara();
        entorno->mensajes.clear();
        frmEstados estados;
        const Modal modal = muestra(estados, caso.actual);
        EXPECT_FALSE(modal.mostrado);
        EXPECT_FALSE(estados.isVisible());
        EXPECT_TRUE(estados.EstadoSeleccionado.isEmpty());
        EXPECT_FALSE(estados.Aceptado);
        esperaFalla(&estados, QStringLiteral("Mostrar()"), QStringLiteral("ERR-ID:7500027"), caso.texto);
    }
}

} // namespace

namespace {

// From the keyboard: the picker opens on the current state, the arrows choose from state to
// state (the swatch and the name follow) and Enter accepts what is highlighted; each tile
// is named by its state for screen readers.
TEST_F(Estados, theKeyboardMovesTheChoiceFromStateToStateAndEnterAcceptsIt)
{
    tresEstados();
    frmEstados estados;
    QStringList nombres;
    bool abreEnElActual = false;
    QString descripcion;
    qint32 colorMostrado = 0;
    const Modal modal = muestra(estados, QStringLiteral("GRIS"), [&](frmEstados &abierto) {
        for (int i = 0; i < 3; ++i)
            nombres << abierto.picEstado[size_t(i)]->accessibleName();
        QApplication::setActiveWindow(&abierto);
        abreEnElActual = abierto.focusWidget() == abierto.picEstado[2];
        for (const Qt::Key tecla : {Qt::Key_Left, Qt::Key_Left, Qt::Key_Right})
            QTest::keyClick(abierto.focusWidget(), tecla);
        descripcion = abierto.lbDescripcion->text();
        colorMostrado = abierto.picSeleccion->BackColor();
        QTest::keyClick(abierto.focusWidget(), Qt::Key_Return);
    });
    EXPECT_FALSE(modal.sigueAbierto);
    EXPECT_TRUE(abreEnElActual);
    EXPECT_EQ(nombres, (QStringList{"Urgente", "En curso", "Pausada"}));
    EXPECT_EQ(descripcion, QStringLiteral("En curso"));
    EXPECT_EQ(colorMostrado, 0xFF0000);
    EXPECT_EQ(estados.EstadoSeleccionado, QStringLiteral("AZUL"));
    EXPECT_TRUE(estados.Aceptado);
}

} // namespace
