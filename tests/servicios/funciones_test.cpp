#include "basedeprueba.h"
#include "errores.h"
#include "respuestas.h"

#include "servicios/entornosql.h"
#include "servicios/funcionessql.h"

#include "ado/connection.h"
#include "controles/listview.h"
#include "runtime/regional.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The rows of a list as text: the cells of a row joined by "|", and its key after a "/".
QStringList filas(const Kit::ListView &lista)
{
    QStringList todas;
    for (int item = 1; item <= lista.itemCount(); ++item) {
        QString fila = lista.itemText(item);
        for (int sub = 1; sub < lista.columnCount(); ++sub)
            fila += '|' + lista.subItemText(item, sub);
        todas << (lista.itemKey(item).isEmpty() ? fila : fila + '/' + lista.itemKey(item));
    }
    return todas;
}

class FuncionesSql : public ::testing::Test
{
protected:
    FuncionesSql() { Servicios::estableceOperador("ANA"); }

    Pruebas::BaseDePrueba base;
    Servicios::EntornoSql entorno;
    Servicios::FuncionesSql funciones{entorno};
};

// A look-up finds the key as it is, quotes and all; no row or NULL give "". The names of
// table and columns go into the statement as they are, so anything but an identifier is refused.
TEST_F(FuncionesSql, aLookUpGivesTheValueOfTheKeyAsItIsAndRefusesNamesThatAreNoIdentifiers)
{
    base.ejecuta("INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre, Ope_Cve_Vendedor)"
                 " VALUES ('O''Brien', 'Pat O''Brien', NULL), ('ANA', 'Ana', 'V1')");
    base.ejecuta("INSERT INTO Consulta (Cs_Cve_Consulta, Cs_Descripcion, Cs_Sql)"
                 " VALUES ('ABIERTAS', 'Abiertas', 'SELECT * FROM Oportunidad WHERE {PARAMETROS}')");
    // Table, key column and column named, then the key.
    const auto busca = [&](const QStringList &nombres, const QString &clave) {
        return funciones.BuscaCampo(nombres[0], nombres[1], clave, nombres[2], 0, {}, {}, {});
    };
    const QStringList nombre{"Operador", "Ope_Cve_Operador", "Ope_Nombre"};
    const QStringList vendedor{"Operador", "Ope_Cve_Operador", "Ope_Cve_Vendedor"};
    EXPECT_EQ(QStringList({busca(nombre, "O'Brien"), busca(vendedor, "O'Brien"), busca(vendedor, "ANA"),
                           busca(nombre, "' OR '1'='1"), funciones.VendedorDeOperador("ANA"),
                           funciones.VendedorDeOperador("O'Brien"), funciones.VendedorDeOperador("NADIE"),
                           funciones.LeeConsulta("ABIERTAS"), funciones.LeeConsulta("NO_EXISTE")})
                  .join('|'),
              "Pat O'Brien||V1||V1|||SELECT * FROM Oportunidad WHERE {PARAMETROS}|");

    for (const QString malo :
         {"Operador; DROP TABLE Vendedor", "Ope_Nombre FROM Operador --", "1Operador", "", "Operador.Ope_Nombre"}) {
        for (qsizetype lugar = 0; lugar < nombre.size(); ++lugar) {
            QStringList nombres = nombre;
            nombres[lugar] = malo;
            EXPECT_EQ(Pruebas::errorDe([&] { busca(nombres, "x"); }), Runtime::ErrorNumber::InvalidCall)
                << malo.toStdString() << " " << lugar;
        }
    }
    EXPECT_EQ(base.cuenta("Vendedor"), 0); // the table is still there to count
}

// Each column named as the query names it; figures and dates as a Mexican user reads them,
// whatever type each engine gives them (PostgreSQL: NUMERIC, DATE, TIMESTAMP; SQLite: INTEGER
// and REAL side by side in one column, dates as text); the folio as it is. The list still
// sorts them by value.
TEST_F(FuncionesSql, aFilledListShowsFiguresAndDatesAsReadInMexicoAndSortsByValue)
{
    base.ejecuta(
        "INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Contacto, Op_Monto, Op_Fecha_Alta,"
        " Op_Fecha_Cierre_Estimada) VALUES"
        " ('F-1', 'Primera', 'V1', 'C1', 45000, '2026-01-02 13:05:00', '2027-01-05'),"
        " ('F-2', 'Segunda; con \"comillas\"', 'V1', NULL, 33890.44, '2026-03-04 00:00:00', '2026-12-31'),"
        " ('F-3', 'Tercera', 'V1', NULL, -1234.5, NULL, '2026-02-01'),"
        " ('F-4', 'Cuarta', 'V1', NULL, 999999999999.99, '2026-05-06 07:08:09', NULL),"
        " ('F-5', 'Quinta', 'V1', NULL, NULL, NULL, NULL)");
    const bool postgresql = Pruebas::motor() == Ado::Engine::PostgreSQL;
    const QString alta = postgresql ? "CAST(Op_Fecha_Alta AS TIMESTAMP)" : "Op_Fecha_Alta";
    const QString cierre = postgresql ? "CAST(Op_Fecha_Cierre_Estimada AS DATE)" : "Op_Fecha_Cierre_Estimada";
    Kit::ListView lista;

    ASSERT_TRUE(funciones.LlenaLista(
        QStringLiteral(
            "SELECT Op_Folio AS \"Folio\", Op_Descripcion AS \"Descripción\", Op_Contacto AS \"Contacto\","
            " Op_Monto AS \"Monto\","
            " CASE Op_Folio WHEN 'F-1' THEN 3 WHEN 'F-2' THEN 2.5 WHEN 'F-3' THEN -0.125 END AS \"Probabilidad\","
            " CASE Op_Folio WHEN 'F-1' THEN 1234567 WHEN 'F-2' THEN 9007199254740993 WHEN 'F-3' THEN 0"
            " WHEN 'F-4' THEN -5 END AS \"Cantidad\", 2026 AS \"Año\", %1 AS \"Alta\", %2 AS \"Cierre\""
            " FROM Oportunidad ORDER BY Op_Folio")
            .arg(alta, cierre),
        lista, -1));

    EXPECT_EQ(lista.listModel().headers(), (QStringList{"Folio", "Descripción", "Contacto", "Monto", "Probabilidad",
                                                        "Cantidad", "Año", "Alta", "Cierre"}));
    EXPECT_EQ(
        filas(lista),
        (QStringList{"F-1|Primera|C1|$45,000.00|3.000|1,234,567|2026|02/01/2026 13:05|05/01/2027",
                     "F-2|Segunda; con \"comillas\"||$33,890.44|2.500|9,007,199,254,740,993|2026|04/03/2026|31/12/2026",
                     "F-3|Tercera||-$1,234.50|-0.125|0|2026||01/02/2026",
                     "F-4|Cuarta||$999,999,999,999.99||-5|2026|06/05/2026 07:08:09|", "F-5|Quinta|||||2026||"}));

    lista.setSorted(true);
    QStringList ordenes; // the folios as each column sorts them; a negative column, descending
    for (const int columna : {3, 4, -5, -7, 8}) {
        lista.setSortKey(std::abs(columna));
        lista.setSortOrder(columna < 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
        ordenes << filas(lista).replaceInStrings(QRegularExpression("\\|.*"), "").join(' ');
    }
    EXPECT_EQ(ordenes, (QStringList{"F-5 F-3 F-2 F-1 F-4", "F-4 F-5 F-3 F-2 F-1", "F-2 F-1 F-3 F-4 F-5",
                                    "F-4 F-2 F-1 F-3 F-5", "F-4 F-5 F-3 F-2 F-1"}));
}

// The list writes figures and dates by hand for speed: exactly as the Mexican locale writes
// them, but without a sign on a figure that rounds to zero.
TEST(Regional, writesFiguresAndDatesAsTheMexicanLocaleDoes)
{
    for (const double valor : {0.0, -0.0, 0.004, -0.004, 1.0, 12.5, 0.125, -2.5, 1.005, 999.999, 1000.0, -1234.5,
                               33890.44, 1e15, -9.87654321e12, 123456789012.345, 1e300})
        for (const int decimales : {0, 1, 2, 6})
            EXPECT_EQ(Runtime::formatNumber(valor, decimales),
                      Runtime::mexicanLocale()
                          .toString(valor, 'f', decimales)
                          .replace(QRegularExpression("^-(?=[0.]+$)"), QString()))
                << valor << " " << decimales;
    EXPECT_EQ(QStringList({Runtime::formatAmount(-0.001), Runtime::formatInteger(std::numeric_limits<qint64>::min()),
                           Runtime::formatInteger(-999), Runtime::formatInteger(1000)}),
              QStringList({"$0.00", "-9,223,372,036,854,775,808", "-999", "1,000"}));
    for (const QDate fecha : {QDate(1000, 2, 3), QDate(999, 9, 9), QDate(9999, 12, 31)})
        EXPECT_EQ(Runtime::formatDate(fecha), fecha.toString(Runtime::dateFormat)) << fecha.year();
}

// Whatever changed, a refill shows what a fresh fill shows: a few rows changed in place (also
// when the change moves them in the user's sort, or changes the decimals all the figures of
// their column share), many rows changed, rows gone and rows new.
TEST_F(FuncionesSql, aRefillLeavesTheListAsAFreshFillWould)
{
    base.ejecuta("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Monto) VALUES ('F-1', 'a',"
                 " 'V1', 45000), ('F-2', 'b', 'V1', 33890.44), ('F-3', 'c', 'V1', -1234.5), ('F-4', 'd', 'V1', NULL)");
    for (int numero = 100; numero < 300; ++numero)
        base.ejecuta(QStringLiteral("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor) VALUES "
                                    "('F-%1', 'n%2', 'V1')")
                         .arg(numero)
                         .arg(numero % 7));
    // Figures of a column not named as amounts, so that they take the decimals they need.
    const QString consulta = "SELECT Op_Folio, Op_Descripcion, Op_Monto AS Puntos FROM Oportunidad ORDER BY Op_Folio";
    const QString cambios[] = {
        "UPDATE Oportunidad SET Op_Descripcion = 'x' WHERE Op_Folio = 'F-2'",
        "UPDATE Oportunidad SET Op_Monto = 33890 WHERE Op_Folio = 'F-2'", // one decimal for all
        "UPDATE Oportunidad SET Op_Monto = 0.75 WHERE Op_Folio = 'F-3'",  // two
        "UPDATE Oportunidad SET Op_Monto = 7 WHERE Op_Folio = 'F-3'",     // none
        "UPDATE Oportunidad SET Op_Descripcion = 'n0' WHERE Op_Folio IN ('F-150', 'F-3')",
        "UPDATE Oportunidad SET Op_Descripcion = 'm' WHERE Op_Folio LIKE 'F-1%'",
        "DELETE FROM Oportunidad WHERE Op_Folio = 'F-4'",
        "DELETE FROM Oportunidad WHERE Op_Folio = 'F-1'",
        "INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor) VALUES ('F-9', 'b', 'V1')",
        "UPDATE Oportunidad SET Op_Descripcion = 'a'",
        "DELETE FROM Oportunidad",
    };
    Kit::ListView lista;
    lista.addItem("clave", "F-1", {"a"});
    for (const QString &cambio : cambios) {
        SCOPED_TRACE(cambio.toStdString());
        ASSERT_TRUE(funciones.LlenaLista(consulta, lista, -1));
        Kit::ListView nueva;
        nueva.setSortKey(lista.sortKey());
        nueva.setSortOrder(lista.sortOrder());
        nueva.setSorted(lista.sorted());
        ASSERT_TRUE(funciones.LlenaLista(consulta, nueva, -1));
        EXPECT_EQ(filas(lista), filas(nueva));
        lista.setSortKey(1); // by description, descending, for the next refill
        lista.setSortOrder(Qt::DescendingOrder);
        lista.setSorted(true);
        base.ejecuta(cambio);
    }
    ASSERT_TRUE(funciones.LlenaLista(consulta, lista, -1));
    EXPECT_EQ(lista.itemCount(), 0);
}

// A statement that fails is shown each time with the database's reason; the rows of another
// statement are taken away, those of the same statement stay.
TEST_F(FuncionesSql, aFailedFillSaysSoAndLeavesNoRowsOfAnotherStatement)
{
    QStringList avisos;
    const auto falla = [&](const QString &consulta, Kit::ListView &lista) {
        Pruebas::alAparecer("Mensaje", [&](QWidget &ventana) {
            auto &caja = static_cast<QMessageBox &>(ventana);
            avisos << (caja.icon() == QMessageBox::Critical ? caja.text() : "sin icono crítico");
            caja.close();
        });
        EXPECT_FALSE(funciones.LlenaLista(consulta, lista, -1));
    };
    const QString buena = "SELECT COUNT(*) FROM Oportunidad";
    Kit::ListView lista;
    ASSERT_TRUE(funciones.LlenaLista(buena, lista, -1));

    falla("SELECT Op_Folio FROM NoHayTabla", lista);
    EXPECT_EQ(lista.columnCount(), 0);
    EXPECT_TRUE(funciones.UltimaFalla().contains("nohaytabla", Qt::CaseInsensitive));
    ASSERT_TRUE(funciones.LlenaLista(buena, lista, -1));
    base.ejecuta("ALTER TABLE Oportunidad RENAME TO Otra");
    falla(buena, lista);
    EXPECT_EQ(filas(lista), QStringList{"0"});

    ASSERT_EQ(avisos.size(), 2);
    EXPECT_TRUE(avisos[0].startsWith("No se pudo leer la lista.\n")
                && avisos[0].contains("nohaytabla", Qt::CaseInsensitive)
                && avisos[1].contains("oportunidad", Qt::CaseInsensitive))
        << avisos.join('\n').toStdString();
}

TEST_F(FuncionesSql, theAuditEntryStaysOnlyIfTheCallersTransactionCommits)
{
    for (const bool confirma : {false, true}) {
        base.conexion()->BeginTrans();
        funciones.RegistraBitacora("OPORTUNIDAD", "F-'1", "Cancelada");
        confirma ? base.conexion()->CommitTrans() : base.conexion()->RollbackTrans();
        EXPECT_EQ(base.cuenta("Bitacora"), confirma ? 1 : 0);
    }
    EXPECT_EQ(base.valor("SELECT Bi_Operador FROM Bitacora"), "ANA");
    EXPECT_TRUE(QDateTime::fromString(base.valor("SELECT Bi_Fecha FROM Bitacora"), "yyyy-MM-dd HH:mm:ss").isValid());
}

TEST_F(FuncionesSql, sentKeysTypeIntoTheFocusedControlAndTabMovesToTheNext)
{
    QWidget formulario;
    QList<QLineEdit *> cajas; // in the focus chain in this order
    for (const QString nombre : {"txtUno", "txtDos", "txtTres"}) {
        cajas << new QLineEdit(&formulario);
        cajas.last()->setObjectName(nombre);
    }
    formulario.show();
    formulario.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&formulario));
    // The texts of the three boxes joined by "|", the box with the focus and the Enters typed.
    const std::pair<QString, QString> casos[] = {{"\t", "|| txtDos 0"},
                                                 {"ab\tc", "ab|c| txtDos 0"},
                                                 {"x{TAB}{{}y{}}", "x|{y}| txtDos 0"},
                                                 {"ñ\r", "ñ|| txtUno 1"},
                                                 {"{ENTER}\t\t", "|| txtTres 1"}};
    for (const auto &[teclas, esperado] : casos) {
        for (QLineEdit *caja : cajas)
            caja->clear();
        cajas.first()->setFocus();
        QSignalSpy enter(cajas.first(), &QLineEdit::returnPressed);

        funciones.EnviaTeclas(teclas, 0);

        QStringList textos;
        for (const QLineEdit *caja : cajas)
            textos << caja->text();
        const QWidget *conFoco = QApplication::focusWidget();
        EXPECT_EQ(
            QString("%1 %2 %3").arg(textos.join('|'), conFoco ? conFoco->objectName() : "nadie").arg(enter.count()),
            esperado)
            << teclas.toStdString();
    }
}

} // namespace
