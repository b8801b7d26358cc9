// The board's life, views, loading and colouring, driven as the host and a user drive it.
#include "mensajes.h"
#include "tablero.h"

#include "aspectos.h"

#include "ado/sqltext.h"
#include "controles/cbzel.h"
#include "controles/texttable.h"
#include "runtime/colors.h"
#include "runtime/settings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <tuple>

namespace {

using Kit::cbZel;
using Pruebas::TableroDePrueba;
namespace Estilo = Servicios::Estilo;

class Tablero : public TableroDePrueba
{
protected:
    cbZel &vistas() const { return *tablero->findChild<cbZel *>("cboVistas"); }
    QStringList textosDeVistas() const
    {
        QStringList textos;
        for (int i = 0; i < vistas().count(); ++i)
            textos << vistas().itemText(i);
        return textos;
    }
};

TEST_F(Tablero, everyActivationLoadsTheListAndTheFirstFocusesIt)
{
    abre("OP3");
    EXPECT_EQ(folios(), (QStringList{"F1", "F2", "F3", "F4"}));
    EXPECT_EQ(cuenta(), "4 Oportunidades");
    EXPECT_TRUE(entorno->mensajes.empty());
    EXPECT_TRUE(lista().hasFocus());
    EXPECT_EQ(anfitrion.cierres, 0);

    oportunidad("F5", "V9", "ROJO");
    QWidget otra;
    otra.show();
    QApplication::setActiveWindow(&otra);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&otra, 2000));
    activa();
    EXPECT_TRUE(folios().contains("F5"));
}

TEST_F(Tablero, eachLevelSeesItsOwnOpportunitiesOnOpeningAndOnF5)
{
    base.ejecuta("INSERT INTO Vendedor VALUES ('O''NEIL', 'Quote', 1, NULL, 'AC')");
    base.ejecuta("INSERT INTO Operador VALUES ('OPQ', 'Quote', 'O''NEIL')");
    oportunidad("Q1", "O''NEIL", "ROJO");
    struct Caso
    {
        const char *operador;
        QStringList esperados;
    };
    const std::vector<Caso> casos = {
        {"OP1", {"F1"}},                         // level 1: only the salesperson's own
        {"OP2", {"F2", "F3"}},                   // level 2: every level-2 salesperson's
        {"OP3", {"F1", "F2", "F3", "F4", "Q1"}}, // level 3: all
        {"OPQ", {"Q1"}},                         // a level-1 code with a quote: exactly its own
        {"OP4", {}},                             // level 4: nothing loads, nothing is said
        {"OP5", {}},                             // no level: the same
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.operador);
        abre(QString::fromUtf8(caso.operador));
        EXPECT_EQ(folios(), caso.esperados);
        QTest::keyClick(&lista(), Qt::Key_F5);
        EXPECT_EQ(folios(), caso.esperados);
        EXPECT_TRUE(entorno->mensajes.empty());
        tablero.reset();
    }
}

// Each row takes its own folio's look, in whatever order and however many times the rows
// come, whatever the folio's text: "&HFF" red and "SI" bold, decimal blue, "si" in lower case
// not bold, a state without a row (or a folio not there) no look.
TEST_F(Tablero, everyRowTakesItsOwnFoliosLook)
{
    const QStringList raros = {"F'9", "F\"9", "F\\9", "F,{9}", " NULL ", "F\t9", "F\u00f1"};
    for (const QString &folio : raros)
        oportunidad(Ado::quoted(folio), "V1", "AZUL");
    base.ejecuta("ANALYZE Oportunidad");
    const QStringList todos = QStringList{"F1", "F2", "F3", "F4"} + raros;
    const QHash<QString, QString> aspecto = {{"F1", "&HFF negrilla"}, {"F3", "&H808080"}, {"F4", "-"}, {"NO-HAY", "-"}};
    QStringList alReves = todos;
    std::reverse(alReves.begin(), alReves.end());
    for (const QStringList &folios : {todos, todos + alReves, QStringList{"F4", "NO-HAY", "F1", "F'9"}}) {
        Kit::TextTable filas;
        for (const QString &folio : folios)
            filas.appendRow(std::array{folio});
        const Aspectos::Leidos leidos = Aspectos::lee(*base.conexion(), filas);
        ASSERT_EQ(leidos.porPosicion.size(), size_t(folios.size()));
        for (qsizetype fila = 0; fila < folios.size(); ++fila) {
            const std::optional<Aspectos::Aspecto> &suyo = leidos.porPosicion[size_t(fila)];
            const QString visto = suyo ? leidos.colores[size_t(suyo->color)].toString()
                                             + (suyo->negrilla ? " negrilla" : "")
                                       : "-";
            EXPECT_EQ(visto, aspecto.value(folios[fila], "16711680")) << folios[fila].toStdString();
        }
    }
}

// The looks follow the rows when the user sorts them and when a refresh finds a new state.
TEST_F(Tablero, looksFollowTheRowsThroughASortAndARefresh)
{
    abre();
    Q_EMIT lista().columnClick(2); // by description
    tablero->Carga_Oportunidades();
    base.ejecuta("UPDATE Oportunidad SET Op_Estado_Oportunidad = 'GRIS' WHERE Op_Folio = 'F2'");
    tablero->Carga_Oportunidades();
    ASSERT_EQ(folios(), (QStringList{"F3", "F1", "F2", "F4"})); // Capacitación, Licencias, Servidores, Soporte
    const std::vector<std::optional<qint32>> colores = {0x808080, 0x0000FF, 0x808080, std::nullopt};
    for (int renglon = 1; renglon <= 4; ++renglon)
        EXPECT_EQ(lista().cellForeColor(renglon, 1), colores[size_t(renglon - 1)]);
    EXPECT_TRUE(entorno->mensajes.empty());
}

TEST_F(Tablero, aColourThatCannotBeShownIsReportedOncePerReload)
{
    base.ejecuta("INSERT INTO Estado_Oportunidad VALUES ('MAL', 'Sin color', '', 'NO')");
    for (const char *folio : {"M1", "M2", "M3"})
        oportunidad(QString::fromUtf8(folio), "V9", "MAL");
    abre();
    ASSERT_EQ(entorno->mensajes.size(), 1u);
    EXPECT_TRUE(Pruebas::esComo(entorno->mensajes[0], {"ERR-ID:7500018", Estilo::Critico, "Carga_Oportunidades()"}));
    EXPECT_EQ(entorno->mensajes[0].propietario, tablero.get());
    // The other rows keep their look; the next reload reports it once more.
    EXPECT_EQ(lista().cellForeColor(1, 0), 0x0000FF);
    QTest::keyClick(&lista(), Qt::Key_F5);
    EXPECT_EQ(entorno->identificadores(), (QStringList{"ERR-ID:7500018", "ERR-ID:7500018"}));
}

TEST_F(Tablero, aTickDuringAReloadsMessageStartsNoSecondReload)
{
    variable("CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES", "0");
    base.ejecuta("UPDATE Consulta SET Cs_Sql = ' ' WHERE Cs_Cve_Consulta = 'CONTROL'");
    int anidados = 0;
    entorno->alMostrar = [&](const Pruebas::MensajeMostrado &) {
        if (++anidados < 5)
            tic(3); // the user leaves the message open for a few seconds
    };
    abre();
    ASSERT_EQ(entorno->mensajes.size(), 1u);
    EXPECT_EQ(entorno->mensajes[0].texto, "No existe la consulta 'CONTROL'");
    EXPECT_EQ(entorno->mensajes[0].idError, "ERR-ID:7500016");
}

// The count says "Oportunidad" for one row and for a list of one column, as it always has;
// every {PARAMETROS} of the query is replaced.
TEST_F(Tablero, theCountLabelFollowsTheRowsAndColumns)
{
    const QString desde = QStringLiteral(" FROM Oportunidad INNER JOIN Vendedor ON Vn_Cve_Vendedor = Op_Cve_Vendedor "
                                         "WHERE {PARAMETROS}");
    const std::vector<std::pair<QString, const char *>> casos = {
        {"SELECT Op_Folio, Op_Descripcion" + desde + " AND Op_Folio = 'F2'", "1 Oportunidad"},
        {"SELECT Op_Folio, Op_Descripcion" + desde + " AND 1 = 0", "0 Oportunidades"},
        {"SELECT Op_Folio" + desde, "0 Oportunidad"},
        {"SELECT Op_Folio, Op_Descripcion" + desde + " AND Op_Folio IN (SELECT Op_Folio" + desde + ")",
         "4 Oportunidades"},
    };
    for (const auto &[consulta, etiqueta] : casos) {
        SCOPED_TRACE(consulta.toStdString());
        base.ejecuta(QStringLiteral("UPDATE Consulta SET Cs_Sql = %1").arg(Ado::literal(consulta)));
        abre();
        EXPECT_EQ(cuenta(), QString::fromUtf8(etiqueta));
        EXPECT_TRUE(entorno->mensajes.empty());
        tablero.reset();
    }
}

TEST_F(Tablero, aReloadKeepsTheSelectedFolioTheSortAndTheScrollPosition)
{
    for (int numero = 10; numero < 200; ++numero)
        oportunidad(QStringLiteral("G%1").arg(numero), "V9", "AZUL");
    abre();
    lista().resize(400, 150);
    QTest::mouseClick(lista().header()->viewport(), Qt::LeftButton, {},
                      QPoint(lista().header()->sectionPosition(0) + 5, 5));
    const QStringList ordenados = folios();
    lista().selectItem(120);
    const QString seleccionado = lista().itemText(120);
    lista().verticalScrollBar()->setValue(60);
    oportunidad("A0", "V9", "AZUL");

    QTest::keyClick(&lista(), Qt::Key_F5);

    EXPECT_EQ(lista().sortKey(), 0);
    EXPECT_TRUE(lista().sorted());
    EXPECT_EQ(folios().size(), ordenados.size() + 1);
    EXPECT_EQ(lista().itemText(lista().selectedIndex()), seleccionado);
    EXPECT_EQ(lista().verticalScrollBar()->value(), 60);
}

// A message of the load may be the window the board takes over from when it first shows:
// that first activation still loads the list. Later, closing a message box reloads nothing.
TEST_F(Tablero, onlyTheFirstActivationLoadsTheListRightAfterAMessageBox)
{
    QMessageBox deLaCarga(QMessageBox::Critical, "Error", "Texto");
    deLaCarga.show();
    QApplication::setActiveWindow(&deLaCarga);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&deLaCarga, 2000));
    deLaCarga.close();
    abre();
    EXPECT_EQ(folios().size(), 4);

    oportunidad("F5", "V9", "ROJO");
    QTimer::singleShot(0, [] {
        if (auto *caja = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            [[maybe_unused]] const bool activa = QTest::qWaitForWindowActive(caja, 1000);
            caja->accept();
        }
    });
    QMessageBox caja(QMessageBox::Information, "Aviso", "Texto", QMessageBox::Ok, tablero.get());
    caja.exec();
    activa();
    EXPECT_FALSE(folios().contains("F5"));
}

// Without a host the handlers that have no trap of their own do nothing, and say nothing.
TEST_F(Tablero, theToolbarsExitClosesTheHostObjectAndWithoutAHostNothingHappens)
{
    abre();
    auto *salir = control("Controles")->findChild<QAbstractButton *>("salir");
    tablero->setPadre(nullptr);
    lista().selectItem(1);
    Q_EMIT lista().dblClick();
    salir->click();
    EXPECT_TRUE(tablero->isVisible());
    EXPECT_TRUE(entorno->mensajes.empty());

    tablero->setPadre(&anfitrion);
    salir->click();
    EXPECT_EQ(anfitrion.cierres, 1);
    EXPECT_FALSE(tablero->isVisible());
}

TEST_F(Tablero, viewsComeFromTheVariableSkippingMalformedEntries)
{
    struct Caso
    {
        const char *valor;
        QStringList nombres;
    };
    const std::vector<Caso> casos = {
        {"", {"TODOS"}},
        {"   ", {"TODOS"}},
        {"UNO|K1,DOS|K2", {"UNO", "DOS"}},
        {"UNO|K1, |K2,TRES|", {"UNO"}},
        {"SIN SEPARADOR,,UNO|K1,", {"UNO"}},
        {" A |K1|extra,A |K2", {" A ", "A "}},
        {"X|K1,X|K2", {"X", "X"}},
        {"|,|", {}},
        {"solo texto", {}},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.valor);
        variable("CRM_VISTA_CONTROL_OPORTUNIDADES", QString::fromUtf8(caso.valor));
        entorno->mensajes.clear();
        abre();
        EXPECT_EQ(textosDeVistas(), caso.nombres);
        EXPECT_EQ(vistas().Indice(), caso.nombres.isEmpty() ? -1 : 0);
        if (caso.nombres.isEmpty()) {
            EXPECT_TRUE(folios().isEmpty());
            EXPECT_TRUE(entorno->mensajes.empty());
        }
        tablero.reset();
    }
}

TEST_F(Tablero, eachViewUsesItsOwnKeyExactlyAsWrittenAndChoosingNoneSaysSo)
{
    variable("CRM_VISTA_CONTROL_OPORTUNIDADES", "A|CONTROL,B|NO EXISTE ,C|OTRA|x");
    abre();
    EXPECT_EQ(folios().size(), 4);
    vistas().setIndice(1);
    vistas().setIndice(2);
    EXPECT_EQ(entorno->identificadores(), (QStringList{"ERR-ID:7500016", "ERR-ID:7500016"}));
    EXPECT_EQ(entorno->mensajes[0].texto, "No existe la consulta 'NO EXISTE '");
    EXPECT_EQ(entorno->mensajes[1].texto, "No existe la consulta 'OTRA'");
    EXPECT_TRUE(folios().isEmpty()); // no rows of another view under this one's name

    entorno->mensajes.clear();
    vistas().setIndice(-1); // choosing none says so
    ASSERT_EQ(entorno->mensajes.size(), 1u);
    EXPECT_TRUE(Pruebas::esComo(entorno->mensajes[0],
                                {"ERR-ID:7500001", Estilo::Informacion, "Atención",
                                 "No hay vistas disponibles, verificar variable CRM_VISTA_CONTROL_OPORTUNIDADES"}));
}

// A remembered view that is no longer there opens the first one; one that cannot be read is
// reported, and the board still opens on its first view.
TEST_F(Tablero, theRememberedViewIsSelectedWhenItIsStillThere)
{
    variable("CRM_VISTA_CONTROL_OPORTUNIDADES", "A|CONTROL,B|CONTROL,C|CONTROL");
    const std::vector<std::tuple<const char *, int, const char *>> casos = {
        {"2", 2, ""}, {"3", 0, ""}, {"-1", 0, ""}, {"", 0, ""}, {"abc", 0, "ERR-ID:7500014"}};
    for (const auto &[guardada, indice, mensajes] : casos) {
        SCOPED_TRACE(guardada);
        Runtime::saveSetting("KLD251", "Settings", "VISTA", QString::fromUtf8(guardada));
        entorno->mensajes.clear();
        abre();
        EXPECT_EQ(vistas().Indice(), indice);
        EXPECT_EQ(entorno->identificadores().join(' '), mensajes);
        tablero.reset();
    }
}

TEST_F(Tablero, closingForgetsTheSalespersonAndRemembersTheView)
{
    variable("CRM_VISTA_CONTROL_OPORTUNIDADES", "A|CONTROL,B|CONTROL");
    abre();
    vistas().setIndice(1);
    cierra();
    EXPECT_EQ(Runtime::getSetting("KLD251", "Settings", "VISTA"), "1");

    // Loaded again, the same instance starts over and shows the remembered view.
    tablero->show();
    activa();
    EXPECT_EQ(vistas().Indice(), 1);
    EXPECT_EQ(folios().size(), 4);
    EXPECT_TRUE(entorno->mensajes.empty());

    vistas().setIndice(-1);
    entorno->mensajes.clear();
    cierra();
    EXPECT_EQ(Runtime::getSetting("KLD251", "Settings", "VISTA"), "-1");
}

TEST_F(Tablero, resizingKeepsTheListsMarginsAndTheSearchBoxAligned)
{
    abre();
    for (const QSize tamano : {QSize(1200, 700), QSize(900, 420), QSize(60, 60), QSize(1000, 500)}) {
        SCOPED_TRACE(tamano.width());
        tablero->resize(tamano);
        QCoreApplication::processEvents();
        if (tamano.width() < 100)
            continue; // too small for the margins: the list keeps its previous size
        const QWidget *buscar = control("txtBuscar");
        EXPECT_NEAR(tablero->width() - lista().geometry().right() - 1, lista().x(), 1);
        EXPECT_NEAR(tablero->height() - lista().geometry().bottom() - 1, 7, 1); // 100 twips
        EXPECT_NEAR(buscar->geometry().right(), lista().geometry().right(), 1);
        EXPECT_EQ(control("frFrame")->width(), tablero->width());
    }
}

} // namespace
