// The board's life, views, loading and colouring, driven as the host and a user drive it.
#include "tablero.h"

#include "aspectos.h"
#include "respuestas.h"

#include "ado/sqltext.h"
#include "controles/cbzel.h"
#include "controles/texttable.h"
#include "runtime/colors.h"
#include "runtime/settings.h"

#include <QApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

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

// A message of the load may be the window the board takes over from when it first shows:
// that first activation still loads the list. Later, closing a message box reloads nothing.
TEST_F(Tablero, everyActivationButTheOneAfterAMessageBoxLoadsTheListAndTheFirstFocusesIt)
{
    QMessageBox deLaCarga(QMessageBox::Critical, "Error", "Texto");
    deLaCarga.show();
    QApplication::setActiveWindow(&deLaCarga);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&deLaCarga, 2000));
    deLaCarga.close();
    abre("OP3");
    EXPECT_EQ(folios(), (QStringList{"F1", "F2", "F3", "F4"}));
    EXPECT_EQ(cuenta(), "4 Oportunidades");
    EXPECT_TRUE(entorno->mensajes.empty());
    EXPECT_TRUE(lista().hasFocus());
    EXPECT_EQ(anfitrion.cierres, 0);

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
    const std::pair<const char *, QStringList> casos[] = {
        {"OP1", {"F1"}},                         // level 1: only the salesperson's own
        {"OP2", {"F2", "F3"}},                   // level 2: every level-2 salesperson's
        {"OP3", {"F1", "F2", "F3", "F4", "Q1"}}, // level 3: all
        {"OPQ", {"Q1"}},                         // a level-1 code with a quote: exactly its own
        {"OP4", {}},                             // level 4: nothing loads, nothing is said
        {"OP5", {}},                             // no level: the same
    };
    for (const auto &[operador, esperados] : casos) {
        SCOPED_TRACE(operador);
        abre(QString::fromUtf8(operador));
        EXPECT_EQ(folios(), esperados);
        QTest::keyClick(&lista(), Qt::Key_F5);
        EXPECT_EQ(folios(), esperados);
        EXPECT_TRUE(entorno->mensajes.empty());
        tablero.reset();
    }
}

// "&HFF" red and "SI" bold, decimal blue, "si" in lower case not bold, a state without a row
// (or a folio not there) no look.
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
    // A list longer than one statement's part of the folios (65,536) is asked in parts.
    const QStringList largo = QStringList(65'536, "F3") + QStringList{"F4", "F1", "F2"};
    for (const QStringList &folios : {todos, todos + alReves, QStringList{"F4", "NO-HAY", "F1", "F'9"}, largo}) {
        Kit::TextTable filas;
        for (const QString &folio : folios)
            filas.appendRow(std::array{folio});
        const Aspectos::Leidos leidos = Aspectos::lee(*base.conexion(), filas);
        ASSERT_EQ(leidos.porPosicion.size(), size_t(folios.size()));
        for (qsizetype fila = 0; fila < folios.size(); ++fila) {
            const std::optional<Aspectos::Aspecto> suyo = leidos.de(size_t(fila));
            const QString visto = suyo ? leidos.colores[size_t(suyo->color)].toString()
                                             + (suyo->negrilla ? " negrilla" : "")
                                       : "-";
            EXPECT_EQ(visto, aspecto.value(folios[fila], "16711680")) << folios[fila].toStdString();
        }
    }
}

// The looks follow the rows when the user sorts them and when a reload finds a new state. A
// colour that cannot be shown is reported once per reload; the other rows keep their look.
TEST_F(Tablero, looksFollowTheRowsThroughASortAndAReloadAndABadColourIsReportedOncePerReload)
{
    base.ejecuta("INSERT INTO Estado_Oportunidad VALUES ('MAL', 'Sin color', '', 'NO')");
    abre(); // while no row is in that state, its colour says nothing
    EXPECT_TRUE(entorno->mensajes.empty());
    tablero.reset();
    for (const char *folio : {"M1", "M2", "M3"})
        oportunidad(QString::fromUtf8(folio), "V9", "MAL", "Zeta");
    abre();
    ASSERT_TRUE(soloMensaje({"ERR-ID:7500018", Estilo::Critico, "Carga_Oportunidades()"}));
    EXPECT_EQ(entorno->mensajes[0].propietario, tablero.get());
    Q_EMIT lista().columnClick(2); // by description
    QTest::keyClick(&lista(), Qt::Key_F5);
    base.ejecuta("UPDATE Oportunidad SET Op_Estado_Oportunidad = 'GRIS' WHERE Op_Folio = 'F2'");
    tablero->Carga_Oportunidades();
    EXPECT_EQ(entorno->identificadores(), QStringList(3, "ERR-ID:7500018"));
    // Capacitación, Licencias, Servidores, Soporte, and the bad colour's "Zeta" after them
    ASSERT_EQ(folios().mid(0, 4), (QStringList{"F3", "F1", "F2", "F4"}));
    const std::vector<std::optional<qint32>> colores = {0x808080, 0x0000FF, 0x808080, std::nullopt};
    for (int renglon = 1; renglon <= 4; ++renglon)
        EXPECT_EQ(lista().cellForeColor(renglon, 1), colores[size_t(renglon - 1)]);
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
    EXPECT_TRUE(
        soloMensaje({"ERR-ID:7500016", Estilo::Critico, "Carga_Oportunidades()", "No existe la consulta 'CONTROL'"}));
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

// Without a host object, the toolbar's exit and a double click on a row do nothing and say
// nothing. (With one, the exit closes it: the host's tests.)
TEST_F(Tablero, withoutAHostTheToolbarsExitAndADoubleClickDoNothing)
{
    abre();
    tablero->setPadre(nullptr);
    lista().selectItem(1);
    Q_EMIT lista().dblClick();
    Pruebas::pulsa(*control("Controles"), "salir");
    EXPECT_TRUE(tablero->isVisible());
    EXPECT_TRUE(entorno->mensajes.empty());
}

// Malformed entries of the variable are skipped. A remembered view that is no longer there
// opens the first one; one that cannot be read is reported, and the first view still opens.
TEST_F(Tablero, viewsComeFromTheVariableAndTheRememberedOneIsSelectedWhenStillThere)
{
    const std::tuple<const char *, const char *, QStringList, int, const char *> casos[] = {
        // the variable, the remembered view, the views listed, the one selected, the messages (if checked)
        {"", "0", {"TODOS"}, 0, nullptr},
        {"   ", "0", {"TODOS"}, 0, nullptr},
        {"UNO|K1,DOS|K2", "0", {"UNO", "DOS"}, 0, nullptr},
        {"UNO|K1, |K2,TRES|", "0", {"UNO"}, 0, nullptr},
        {"SIN SEPARADOR,,UNO|K1,", "0", {"UNO"}, 0, nullptr},
        {" A |K1|extra,A |K2", "0", {" A ", "A "}, 0, nullptr},
        {"X|K1,X|K2", "0", {"X", "X"}, 0, nullptr},
        {"|,|", "0", {}, -1, ""},
        {"solo texto", "1", {}, -1, ""},
        {"A|CONTROL,B|CONTROL,C|CONTROL", "2", {"A", "B", "C"}, 2, ""},
        {"A|CONTROL,B|CONTROL,C|CONTROL", "3", {"A", "B", "C"}, 0, ""},
        {"A|CONTROL,B|CONTROL,C|CONTROL", "-1", {"A", "B", "C"}, 0, ""},
        {"A|CONTROL,B|CONTROL,C|CONTROL", "", {"A", "B", "C"}, 0, ""},
        {"A|CONTROL,B|CONTROL,C|CONTROL", "abc", {"A", "B", "C"}, 0, "ERR-ID:7500014"},
    };
    for (const auto &[valor, guardada, nombres, indice, mensajes] : casos) {
        SCOPED_TRACE(std::string(valor) + " / " + guardada);
        variable("CRM_VISTA_CONTROL_OPORTUNIDADES", QString::fromUtf8(valor));
        Runtime::saveSetting("KLD251", "Settings", "VISTA", QString::fromUtf8(guardada));
        entorno->mensajes.clear();
        abre();
        EXPECT_EQ(textosDeVistas(), nombres);
        EXPECT_EQ(vistas().Indice(), indice);
        if (mensajes) {
            EXPECT_EQ(entorno->identificadores().join(' '), mensajes);
        }
        EXPECT_TRUE(!nombres.isEmpty() || folios().isEmpty());
        tablero.reset();
    }
}

// Closing forgets the salesperson and remembers the view; loaded again, the same instance
// starts over on it.
TEST_F(Tablero, eachViewUsesItsOwnKeyExactlyAsWrittenAndClosingRemembersTheView)
{
    variable("CRM_VISTA_CONTROL_OPORTUNIDADES", "A|CONTROL,B|NO EXISTE ,C|OTRA|x,D|CONTROL");
    abre();
    EXPECT_EQ(folios().size(), 4);
    vistas().setIndice(1);
    vistas().setIndice(2);
    EXPECT_EQ(entorno->identificadores(), (QStringList{"ERR-ID:7500016", "ERR-ID:7500016"}));
    EXPECT_EQ(entorno->mensajes[0].texto, "No existe la consulta 'NO EXISTE '");
    EXPECT_EQ(entorno->mensajes[1].texto, "No existe la consulta 'OTRA'");
    EXPECT_TRUE(folios().isEmpty()); // no rows of another view under this one's name
    vistas().setIndice(3);
    cierra();
    EXPECT_EQ(Runtime::getSetting("KLD251", "Settings", "VISTA"), "3");

    entorno->mensajes.clear();
    tablero->show();
    activa();
    EXPECT_EQ(vistas().Indice(), 3);
    EXPECT_EQ(folios().size(), 4);
    EXPECT_TRUE(entorno->mensajes.empty());

    vistas().setIndice(-1); // choosing none says so
    EXPECT_TRUE(soloMensaje({"ERR-ID:7500001", Estilo::Informacion, "Atención",
                             "No hay vistas disponibles, verificar variable CRM_VISTA_CONTROL_OPORTUNIDADES"}));
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
