// The screens the host opens when a module asks for a sibling module's screen, on the demo
// data in a real database: what they show, what they write, and what they refuse.
#include "anfitrion.h"
#include "ayudas.h"
#include "basedeprueba.h"

#include "ado/session.h"
#include "datos/demo.h"
#include "datos/preparacion.h"
#include "servicios/contrasenaoperador.h"
#include "servicios/servicios.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Pruebas::ventanaAbierta;

// Given the demo's opportunities, three of salespeople of each level (OP-000001 of V004, level
// 1; OP-000002 of V003, level 2; OP-000003 of V001, level 3) and a cancelled one, OP-000005;
// won ones registered by KLD300; an operator whose salesperson has a level the board does not
// know; and, on PostgreSQL, a database that reads a backslash in a quoted literal as an escape:
// what the user types must still reach it as typed.
class Suplentes : public testing::Test
{
protected:
    void SetUp() override
    {
        Datos::cargaDemo(*base.conexion(), 5);
        for (const char *cambio :
             {"UPDATE Variable SET Va_Valor = 'KLD300' WHERE Va_Nombre = 'CRM_TRANSACCION_OPORTUNIDAD_GANADA'",
              "UPDATE Oportunidad SET Op_Cve_Vendedor = 'V004' WHERE Op_Folio = 'OP-000001'",
              "UPDATE Oportunidad SET Op_Cve_Vendedor = 'V003' WHERE Op_Folio = 'OP-000002'",
              "UPDATE Oportunidad SET Op_Cve_Vendedor = 'V001' WHERE Op_Folio = 'OP-000003'",
              "UPDATE Oportunidad SET Es_Cve_Estado = 'CA' WHERE Op_Folio = 'OP-000005'",
              "UPDATE Vendedor SET Vn_Nivel = 4 WHERE Vn_Cve_Vendedor = 'V006'",
              "INSERT INTO Operador VALUES ('RARO', 'Nivel desconocido', 'V006')"})
            base.ejecuta(QString::fromUtf8(cambio));
        cambiaLaBase("SET standard_conforming_strings = off");
        Ado::Session::reset();
        Servicios::estableceOperador("GERENTE");
        anfitrion.setPantalla(&pantalla);
    }

    void TearDown() override { cambiaLaBase("RESET standard_conforming_strings"); }

    void cambiaLaBase(const char *ajuste) const
    {
        if (Pruebas::motor() == Ado::Engine::PostgreSQL)
            base.ejecuta(
                QString("DO $$ BEGIN EXECUTE format('ALTER DATABASE %I %1', current_database()); END $$").arg(ajuste));
    }

    // The screen a request opened, by the name each module's screen has.
    QWidget *abre(const QString &modulo, const QString &parametros)
    {
        anfitrion.transacciones(modulo, parametros);
        return ventanaAbierta(modulo == "KLD300" ? "frmOportunidadGanada" : "frm" + modulo);
    }

    // The message a step gave, with its detail after a "·".
    static QString aviso(const std::function<void()> &paso, const QString &nombre = "AvisoAnfitrion")
    {
        const auto visto = Pruebas::respondeAviso(nombre);
        paso();
        EXPECT_TRUE(visto->visto);
        return visto->detalle.isEmpty() ? visto->texto : visto->texto + " · " + visto->detalle;
    }

    template<typename Control = QLineEdit> static Control *en(QWidget *ventana, const char *nombre)
    {
        return ventana->findChild<Control *>(nombre);
    }

    static void pulsa(QWidget *ventana, const char *boton) { en<QAbstractButton>(ventana, boton)->click(); }

    static void elige(QWidget *ventana, const char *lista, const char *clave)
    {
        auto *combo = en<QComboBox>(ventana, lista);
        combo->setCurrentIndex(combo->findData(QString::fromUtf8(clave)));
    }

    // What a screen shows: its fields ("*" marks one the user could type in), its lists, and
    // the salespeople it offers.
    static QString muestra(QWidget *ventana)
    {
        QStringList partes;
        for (const QLineEdit *campo : ventana->findChildren<QLineEdit *>(QRegularExpression("^txt")))
            partes << campo->objectName().mid(3) + (campo->isReadOnly() ? "=" : "*=") + campo->text();
        for (const QListWidget *lista : ventana->findChildren<QListWidget *>())
            for (int i = 0; i < lista->count(); ++i)
                partes << lista->item(i)->text();
        if (const auto *vendedores = en<QComboBox>(ventana, "cboVendedor"))
            for (int i = 0; i < vendedores->count(); ++i)
                partes << "vendedor=" + vendedores->itemData(i).toString();
        return partes.join('|');
    }

    // Columns of the first row found, "|" between them; amounts as numbers on either engine.
    QString fila(const QString &donde, const QString &columnas) const
    {
        QStringList valores;
        for (const QString &columna : columnas.split(", ")) {
            const QString valor = base.valor("SELECT " + columna + " FROM " + donde);
            valores << (columna == QLatin1String("Op_Monto") ? QString::number(valor.toDouble()) : valor);
        }
        return valores.join(QLatin1Char('|'));
    }

    Pruebas::BaseDePrueba base;
    Pruebas::BitacoraGrabada registro;
    QWidget pantalla;
    Anfitrion anfitrion{"GERENTE"};
};

// A request opens one window, read-only where it only shows, with what the database holds and
// the salespeople the board would let the operator's own choose. A request the host cannot
// serve, or one for an opportunity the board would not list for the operator's salesperson,
// opens nothing and says why, in a message and in the log.
TEST_F(Suplentes, aRequestOpensOnlyWhatTheBoardWouldListShowsWhatTheDatabaseHoldsAndExplainsAnyRefusal)
{
    base.conexion()->Execute("INSERT INTO Contacto VALUES (?, ?, 'ORG01', '81 1234', 'a@b.mx')",
                             {"C'X\\n", "Ana O'Hara \\ Ruiz"});
    const QString casos[][2] = {
        // operator, module and parameters; message (or, after "abre: ", how what opened ends)
        {"GERENTE KLD215 ACCION=CONSULTA|DATO=C999", "No existe el contacto «C999»."},
        {"GERENTE KLD238 ACCION=CONSULTAR|DATO=ORG99", "No existe la organización «ORG99»."},
        {"GERENTE KLD238 ACCION=BORRAR|DATO=ORG01", "El módulo KLD238 no reconoce la acción «BORRAR»."},
        {"GERENTE KLD242 ACCION=CONSULTA|DATO=OP-999999", "No existe la oportunidad «OP-999999»."},
        {"GERENTE KLD242 ACCION=EDITAR|DATO=",
         "La solicitud al módulo KLD242 no indica qué oportunidad abrir (falta DATO)."},
        {"GERENTE KLD242 DATO=OP-000001", "La solicitud al módulo KLD242 no indica la acción (ACCION)."},
        {"GERENTE KLD242 ACCION=EDITAR|DATO=OP-000005", "La oportunidad OP-000005 está cancelada. No puede editarse."},
        {"GERENTE KLD300 NUEVO=", "La solicitud al módulo KLD300 no indica la oportunidad ganada (falta NUEVO)."},
        {"GERENTE KLD300 NUEVO=OP-000005", "La oportunidad OP-000005 está cancelada."},
        {"VENDEDOR KLD300 NUEVO=OP-000002",
         "La oportunidad OP-000002 no está entre las que puede ver el vendedor V004."},
        {"SUPERVISOR KLD242 ACCION=EDITAR|DATO=OP-000001",
         "La oportunidad OP-000001 no está entre las que puede ver el vendedor V002."},
        {"ADMIN KLD242 ACCION=NUEVO", "El operador ADMIN no tiene vendedor asignado: no puede abrir oportunidades."},
        {"RARO KLD242 ACCION=EDITAR|DATO=OP-000001", "El nivel del vendedor V006 no le permite ver oportunidades."},
        {"CAPTURISTA KLD300 NUEVO=OP-000001",
         "El operador CAPTURISTA no tiene permiso para registrar oportunidades ganadas."},
        {"GERENTE KLD215 ACCION=CONSULTA|DATO=C'X\\n",
         "abre: Clave=C'X\\n|Nombre=Ana O'Hara \\ Ruiz|Organizacion=Aceros del Norte (ORG01)|Telefono=81 1234|"
         "Correo=a@b.mx"},
        {"GERENTE KLD215 ACCION=CONSULTA|DATO=C008",
         "abre: |Organizacion=(sin organización)|Telefono=55 5508 6508|Correo=c008@ejemplo.mx"},
        {"GERENTE KLD238 ACCION=CONSULTAR|DATO=ORG01",
         "abre: Clave=ORG01|Nombre=Aceros del Norte|Ciudad=Monterrey|Telefono=81 8340 1200|"
         "Ana O'Hara \\ Ruiz (C'X\\n)|José Hernández (C002)|María Fernández (C001)"},
        {"VENDEDOR KLD242 ACCION=EDITAR|DATO=OP-000001", "abre: |vendedor=V004"},
        {"VENDEDOR KLD300 NUEVO=OP-000001", "abre: |Situacion=Abierta"},
        {"SUPERVISOR KLD242 ACCION=NUEVO", "abre: |vendedor=V002|vendedor=V003"},
        {"SUPERVISOR KLD242 ACCION=CONSULTA|DATO=OP-000002", "abre: |Situacion=Abierta"},
    };
    for (const auto &[pedido, esperado] : casos) {
        SCOPED_TRACE(pedido.toStdString());
        const QStringList partes = pedido.split(' ');
        Servicios::estableceOperador(partes[0]);
        if (!esperado.startsWith("abre: ")) {
            EXPECT_EQ(aviso([&] { EXPECT_EQ(abre(partes[1], partes[2]), nullptr); }), esperado);
            continue;
        }
        QWidget *abierta = abre(partes[1], partes[2]);
        ASSERT_NE(abierta, nullptr);
        EXPECT_TRUE(muestra(abierta).endsWith(esperado.mid(6))) << muestra(abierta).toStdString();
        abre(partes[1], partes[2]); // brings the open screen forward
        EXPECT_EQ(Pruebas::ventanas(abierta->objectName()).size(), 1);
        abierta->close();
    }
    EXPECT_TRUE(registro.lineas().contains("Solicitud KLD242 ACCION=EDITAR|DATO=OP-000005 → No se abrió la pantalla: "
                                           "La oportunidad OP-000005 está cancelada. No puede editarse."));
    EXPECT_EQ(base.cuenta("Cierre_Oportunidad") + base.cuenta("Bitacora"), 0);

    // The won transaction is whatever the variable names: nothing once it is empty.
    base.ejecuta("UPDATE Variable SET Va_Valor = '' WHERE Va_Nombre = 'CRM_TRANSACCION_OPORTUNIDAD_GANADA'");
    EXPECT_EQ(aviso([&] { abre("KLD300", "NUEVO=OP-000001"); }, "AvisoModulo"),
              "El módulo KLD300 no está instalado en este equipo. · Solicitud: NUEVO=OP-000001");

    // A failing database is reported, and the next request works.
    base.ejecuta("ALTER TABLE Contacto RENAME TO Contacto_Fuera");
    EXPECT_TRUE(aviso([&] { abre("KLD215", "ACCION=CONSULTA|DATO=C001"); }).startsWith("No se pudo abrir la pantalla"));
    base.ejecuta("ALTER TABLE Contacto_Fuera RENAME TO Contacto");
    EXPECT_NE(abre("KLD215", "ACCION=CONSULTA|DATO=C001"), nullptr);
}

// The new opportunity form refuses what lacks a required field or repeats a folio, staying open
// to be corrected; what it saves is what the user typed, logged; and the won registration closes
// it with the notes typed there.
TEST_F(Suplentes, aNewOpportunityNeedsItsRequiredFieldsAndAFreeFolioIsSavedAsTypedAndIsWonOnce)
{
    QWidget *forma = abre("KLD242", "ACCION=NUEVO");
    ASSERT_NE(forma, nullptr);
    const char *casos[][5] = {
        // folio, description, salesperson, state, message
        {"", "", "", "", "Faltan datos de la oportunidad: folio, descripción, vendedor y estado."},
        {"OP-500", "  ", "V003", "", "Faltan datos de la oportunidad: descripción y estado."},
        {"   ", "Servidores", "V003", "PRO", "Faltan datos de la oportunidad: folio."},
        {"OP-000001", "Servidores", "V003", "PRO", "Ya existe una oportunidad con el folio «OP-000001»."},
    };
    for (const auto &[folio, descripcion, vendedor, estado, mensaje] : casos) {
        SCOPED_TRACE(mensaje);
        en(forma, "txtFolio")->setText(QString::fromUtf8(folio));
        en(forma, "txtDescripcion")->setText(QString::fromUtf8(descripcion));
        elige(forma, "cboVendedor", vendedor);
        elige(forma, "cboEstado", estado);
        EXPECT_TRUE(aviso([&] { pulsa(forma, "cmdGuardar"); }).startsWith(mensaje));
        EXPECT_EQ(ventanaAbierta(forma->objectName()), forma);
    }
    EXPECT_EQ(base.cuenta("Oportunidad") + base.cuenta("Bitacora"), 5);

    en(forma, "txtFolio")->setText("OP-'9");
    en(forma, "txtDescripcion")->setText("Licencias O'Brien'); -- C:\\n");
    elige(forma, "cboContacto", "C008");
    elige(forma, "cboVendedor", "V002");
    elige(forma, "cboEstado", "NEG");
    en<QDoubleSpinBox>(forma, "txtMonto")->setValue(1234.5);
    en<QDateEdit>(forma, "dtpCierre")->setDate(QDate(2027, 3, 15));
    QTest::keyClick(en(forma, "txtDescripcion"), Qt::Key_Return); // Enter saves, as the default button

    EXPECT_EQ(ventanaAbierta(forma->objectName()), nullptr);
    EXPECT_EQ(fila("Oportunidad, Bitacora WHERE Op_Folio = 'OP-''9' AND Bi_Clave = Op_Folio",
                   "Op_Descripcion, Op_Contacto, Op_Cve_Vendedor, Op_Estado_Oportunidad, Op_Monto, "
                   "Op_Fecha_Cierre_Estimada, Op_Fecha_Alta, Es_Cve_Estado, Oper_Alta, Bi_Accion"),
              "Licencias O'Brien'); -- C:\\n|C008|V002|NEG|1234.5|2027-03-15|"
                  + QDate::currentDate().toString(Qt::ISODate) + "|AC|GERENTE|Alta");

    // Then won through its own screen: closed as the board closes it, with its notes, and once.
    QWidget *ganada = abre("KLD300", "NUEVO=OP-'9");
    ASSERT_NE(ganada, nullptr);
    en<QPlainTextEdit>(ganada, "txtNotas")->setPlainText("Pedido 'firmado' \\ C:\\n");
    pulsa(ganada, "cmdRegistrar");
    EXPECT_EQ(ventanaAbierta(ganada->objectName()), nullptr);
    EXPECT_EQ(fila("Cierre_Oportunidad, Bitacora, Seguimiento WHERE Ci_Folio = 'OP-''9' "
                   "AND Bi_Clave = Ci_Folio AND Bi_Accion = 'Ganada' AND Sg_Clave = Ci_Folio",
                   "Ci_Resultado, Ci_Cve_Causa, Ci_Operador, Sg_Nota"),
              "1||GERENTE|Pedido 'firmado' \\ C:\\n");
    EXPECT_EQ(aviso([&] { abre("KLD300", "NUEVO=OP-'9"); }), "La oportunidad OP-'9 ya fue cerrada como ganada.");
}

// Two users on one opportunity, each on a connection of its own.
TEST_F(Suplentes, anEditOverAnotherUsersChangeKeepsItShowsItAndSavesOnlyTheUsersOwnOnTheSecondTry)
{
    const QString columnas = "Op_Folio, Op_Descripcion, Op_Contacto, Op_Estado_Oportunidad, Op_Monto, "
                             "Op_Fecha_Cierre_Estimada, Oper_Ult_Modif";
    base.ejecuta("UPDATE Oportunidad SET Op_Descripcion = 'Servidores', Op_Contacto = 'C001', "
                 "Op_Estado_Oportunidad = 'NEG', Op_Monto = 1500.25, Op_Fecha_Cierre_Estimada = NULL "
                 "WHERE Op_Folio = 'OP-000002'");
    QWidget *forma = abre("KLD242", "ACCION=EDITAR|DATO=OP-000002");
    ASSERT_NE(forma, nullptr);
    EXPECT_TRUE(en(forma, "txtFolio")->isReadOnly());

    // Given the other user moves it on to "Cierre inminente" while this one changes the description.
    Ado::Connection(base.direccion())
        .Execute("UPDATE Oportunidad SET Op_Estado_Oportunidad = 'CIE', Oper_Ult_Modif = 'SUPERVISOR' "
                 "WHERE Op_Folio = 'OP-000002'");
    en(forma, "txtDescripcion")->setText("Servidores 'y' \\ licencias");
    elige(forma, "cboContacto", ""); // "(sin contacto)"
    en<QDoubleSpinBox>(forma, "txtMonto")->setValue(1750);

    // When this one saves, nothing is written and the form shows the other's change.
    EXPECT_TRUE(
        aviso([&] { pulsa(forma, "cmdGuardar"); }).startsWith("Otro usuario modificó la oportunidad OP-000002"));
    EXPECT_EQ(fila("Oportunidad WHERE Op_Folio = 'OP-000002'", columnas),
              "OP-000002|Servidores|C001|CIE|1500.25||SUPERVISOR");
    EXPECT_EQ(en<QLabel>(forma, "lbOtroUsuario")->text(), "Otro usuario cambió esta oportunidad mientras usted la "
                                                          "editaba. Ahora tiene estado: «Cierre inminente (CIE)».");

    // Then a second save writes this user's fields over the other's state, and no date.
    pulsa(forma, "cmdGuardar");
    EXPECT_EQ(ventanaAbierta(forma->objectName()), nullptr);
    EXPECT_EQ(fila("Oportunidad WHERE Op_Folio = 'OP-000002'", columnas),
              "OP-000002|Servidores 'y' \\ licencias||CIE|1750||GERENTE");
    EXPECT_EQ(fila("Bitacora", "COUNT(*), MAX(Bi_Accion)"), "1|Modificación");
}

// A screen left open while another user cancelled or closed the opportunity, or passed it to a
// salesperson out of reach, says why, stays open with what was typed, and writes nothing.
TEST_F(Suplentes, aScreenFindingTheOpportunityChangedMeanwhileSaysWhyAndWritesNothing)
{
    const char *casos[][4] = {
        // request, operator, the other user's change, message
        {"ACCION=EDITAR|DATO=OP-000003", "GERENTE",
         "UPDATE Oportunidad SET Es_Cve_Estado = 'CA' WHERE Op_Folio = 'OP-000003'",
         "La oportunidad OP-000003 fue cancelada mientras usted la editaba."},
        {"ACCION=EDITAR|DATO=OP-000002", "GERENTE",
         "INSERT INTO Cierre_Oportunidad VALUES ('OP-000002', 1, NULL, 'OTRO', '')",
         "La oportunidad OP-000002 fue cerrada mientras usted la editaba."},
        {"NUEVO=OP-000004", "GERENTE", "INSERT INTO Cierre_Oportunidad VALUES ('OP-000004', 2, 1, 'OTRO', '')",
         "No se registró la oportunidad OP-000004 como ganada. · La oportunidad OP-000004 ya fue cerrada"},
        {"NUEVO=OP-000001", "VENDEDOR", "UPDATE Oportunidad SET Op_Cve_Vendedor = 'V001' WHERE Op_Folio = 'OP-000001'",
         "No se registró la oportunidad OP-000001 como ganada. · La oportunidad OP-000001 no está entre las que puede "
         "ver el vendedor V004."},
    };
    for (const auto &[solicitud, operador, otroUsuario, mensaje] : casos) {
        SCOPED_TRACE(mensaje);
        Servicios::estableceOperador(QString::fromUtf8(operador));
        const bool ganada = qstrncmp(solicitud, "NUEVO", 5) == 0;
        QWidget *abierta = abre(ganada ? "KLD300" : "KLD242", QString::fromUtf8(solicitud));
        ASSERT_NE(abierta, nullptr);
        Ado::Connection(base.direccion()).Execute(QString::fromUtf8(otroUsuario));
        en(abierta, "txtDescripcion")->setText("Otra");
        EXPECT_TRUE(aviso([&] { pulsa(abierta, ganada ? "cmdRegistrar" : "cmdGuardar"); }).startsWith(mensaje));
        EXPECT_EQ(ventanaAbierta(abierta->objectName()), abierta);
        EXPECT_EQ(en(abierta, "txtDescripcion")->text(), "Otra");
        abierta->close();
    }
    EXPECT_EQ(fila("Cierre_Oportunidad", "COUNT(*), MIN(Ci_Resultado), MAX(Ci_Resultado)"), "2|1|2");
    EXPECT_EQ(base.cuenta("Oportunidad", "Op_Descripcion = 'Otra'") + base.cuenta("Bitacora"), 0);
}

// A database the suite shared, converted so each person signs in as themselves: a level-1
// salesperson's screens save a new opportunity, an edit and a won closing of their own
// through the server's policies.
class SuplentesConDerechosPostgreSQL : public Suplentes
{
protected:
    void SetUp() override
    {
        Suplentes::SetUp();
        Datos::convierteBase(base.direccion(), {.administrador = "GERENTE", .contrasena = [] { return clave; }});
        Ado::Session::configure(base.comoOperador("GERENTE", clave));
        Servicios::ponContrasenaOperador("VENDEDOR", clave);
        Ado::Session::configure(base.comoOperador("VENDEDOR", clave));
        Servicios::estableceOperador("VENDEDOR");
    }
    void TearDown() override
    {
        Ado::Session::configure(base.direccion());
        Suplentes::TearDown();
    }

    static inline const QString clave = "Clave de prueba 1";
};

TEST_F(SuplentesConDerechosPostgreSQL, aSalespersonsScreensWriteTheirOwnOpportunitiesThroughTheServer)
{
    QWidget *forma = abre("KLD242", "ACCION=NUEVO");
    ASSERT_NE(forma, nullptr);
    en(forma, "txtFolio")->setText("OP-900");
    en(forma, "txtDescripcion")->setText("Nueva");
    elige(forma, "cboVendedor", "V004");
    elige(forma, "cboEstado", "NEG");
    pulsa(forma, "cmdGuardar");
    forma = abre("KLD242", "ACCION=EDITAR|DATO=OP-000001");
    ASSERT_NE(forma, nullptr);
    en(forma, "txtDescripcion")->setText("Editada");
    pulsa(forma, "cmdGuardar");
    QWidget *ganada = abre("KLD300", "NUEVO=OP-000001");
    ASSERT_NE(ganada, nullptr);
    pulsa(ganada, "cmdRegistrar");
    EXPECT_NE(abre("KLD215", "ACCION=CONSULTA|DATO=C001"), nullptr);

    Ado::Connection dueno(base.direccion());
    EXPECT_EQ(dueno
                  .Execute("SELECT string_agg(Op_Folio || ':' || Op_Descripcion, ' ' ORDER BY Op_Folio) FROM "
                           "Oportunidad WHERE Op_Folio IN ('OP-900', 'OP-000001')")
                  .field(0)
                  .toString(),
              "OP-000001:Editada OP-900:Nueva");
    EXPECT_EQ(dueno.Execute("SELECT string_agg(Bi_Accion || ':' || Bi_Operador, ' ' ORDER BY Bi_Accion) FROM Bitacora")
                  .field(0)
                  .toString(),
              "Alta:VENDEDOR Ganada:VENDEDOR Modificación:VENDEDOR");
}

} // namespace
