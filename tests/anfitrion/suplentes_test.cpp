// The screens the host opens when a module asks for a sibling module's screen, on the demo
// data in a real database: what they show, what they write, and what they refuse.
#include "anfitrion.h"
#include "ayudas.h"
#include "basedeprueba.h"
#include "respuestas.h"

#include "ado/connection.h"
#include "datos/demo.h"
#include "pantallas/formaoportunidad.h"
#include "servicios/servicios.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Pruebas::ventanaAbierta;

const QString Ganada = QStringLiteral("KLD300");

class Suplentes : public testing::Test
{
protected:
    void SetUp() override
    {
        Datos::cargaDemo(*base.conexion(), 3);
        base.ejecuta(QStringLiteral("UPDATE Variable SET Va_Valor = '%1' WHERE Va_Nombre = "
                                    "'CRM_TRANSACCION_OPORTUNIDAD_GANADA'")
                         .arg(Ganada));
        Servicios::estableceOperador(QStringLiteral("GERENTE"));
        pantalla.setObjectName(QStringLiteral("tablero"));
        pantalla.setWindowTitle(QStringLiteral("Control de oportunidades"));
        pantalla.show();
        anfitrion.setPantalla(&pantalla);
    }

    void TearDown() override
    {
        for (QWidget *ventana : QApplication::topLevelWidgets()) {
            if (ventana->parentWidget() == &pantalla)
                ventana->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QWidget *abre(const QString &modulo, const QString &parametros, const QString &nombre)
    {
        anfitrion.transacciones(modulo, parametros);
        return ventanaAbierta(nombre);
    }

    // The message the request gave instead of a screen.
    QString aviso(const QString &modulo, const QString &parametros, const QString &nombre = Avisos())
    {
        const auto visto = Pruebas::respondeAviso(nombre);
        anfitrion.transacciones(modulo, parametros);
        EXPECT_TRUE(visto->visto) << "no message for " << modulo.toStdString() << ' ' << parametros.toStdString();
        return visto->texto;
    }

    static QString Avisos() { return QStringLiteral("AvisoAnfitrion"); }

    static QString texto(QWidget *ventana, const QString &campo)
    {
        auto *encontrado = ventana->findChild<QLineEdit *>(campo);
        return encontrado ? encontrado->text() : QStringLiteral("<no hay %1>").arg(campo);
    }

    static void elige(QWidget *ventana, const QString &lista, const QString &clave)
    {
        auto *combo = ventana->findChild<QComboBox *>(lista);
        ASSERT_NE(combo, nullptr) << lista.toStdString();
        combo->setCurrentIndex(combo->findData(clave));
        ASSERT_GE(combo->currentIndex(), 0) << clave.toStdString();
    }

    Pruebas::BaseDePrueba base;
    Pruebas::BitacoraGrabada bitacora;
    QWidget pantalla;
    Anfitrion anfitrion{QStringLiteral("GERENTE")};
};

TEST_F(Suplentes, theContactCardShowsTheContactReadOnlyOverTheBoard)
{
    base.ejecuta(QStringLiteral("INSERT INTO Contacto VALUES ('C''X', 'Ana O''Hara', 'ORG01', '81 1234 5678', "
                                "'ana@ejemplo.mx')"));
    QWidget *ficha = abre(QStringLiteral("KLD215"), QStringLiteral("ACCION=CONSULTA|DATO=C'X"),
                          QStringLiteral("frmKLD215"));
    ASSERT_NE(ficha, nullptr);
    EXPECT_TRUE(ficha->isWindow());
    EXPECT_EQ(ficha->parentWidget(), &pantalla);
    EXPECT_FALSE(ficha->isModal());
    EXPECT_EQ(texto(ficha, QStringLiteral("txtClave")), QStringLiteral("C'X"));
    EXPECT_EQ(texto(ficha, QStringLiteral("txtNombre")), QStringLiteral("Ana O'Hara"));
    EXPECT_EQ(texto(ficha, QStringLiteral("txtOrganizacion")), QStringLiteral("Aceros del Norte (ORG01)"));
    EXPECT_EQ(texto(ficha, QStringLiteral("txtTelefono")), QStringLiteral("81 1234 5678"));
    EXPECT_EQ(texto(ficha, QStringLiteral("txtCorreo")), QStringLiteral("ana@ejemplo.mx"));
    for (QLineEdit *campo : ficha->findChildren<QLineEdit *>()) {
        EXPECT_TRUE(campo->isReadOnly()) << campo->objectName().toStdString();
        EXPECT_FALSE(campo->accessibleName().isEmpty()) << campo->objectName().toStdString();
    }

    // The same request again brings the open card forward instead of opening another.
    anfitrion.transacciones(QStringLiteral("KLD215"), QStringLiteral("ACCION=CONSULTA|DATO=C'X"));
    EXPECT_EQ(Pruebas::ventanasAbiertas(QStringLiteral("frmKLD215")), 1);

    // Esc closes it.
    QTest::keyClick(ficha->findChild<QLineEdit *>(QStringLiteral("txtNombre")), Qt::Key_Escape);
    EXPECT_EQ(ventanaAbierta(QStringLiteral("frmKLD215")), nullptr);
}

TEST_F(Suplentes, aContactWithoutOrganisationSaysSoAndEnterClosesTheCard)
{
    QWidget *ficha = abre(QStringLiteral("KLD215"), QStringLiteral("ACCION=CONSULTA|DATO=C008"),
                          QStringLiteral("frmKLD215"));
    ASSERT_NE(ficha, nullptr);
    EXPECT_EQ(texto(ficha, QStringLiteral("txtNombre")), QStringLiteral("Andrés O'Connor"));
    EXPECT_EQ(texto(ficha, QStringLiteral("txtOrganizacion")), QStringLiteral("(sin organización)"));
    QTest::keyClick(ficha->findChild<QLineEdit *>(QStringLiteral("txtCorreo")), Qt::Key_Return);
    EXPECT_EQ(ventanaAbierta(QStringLiteral("frmKLD215")), nullptr);
}

TEST_F(Suplentes, theOrganisationCardShowsTheOrganisationAndItsContacts)
{
    QWidget *ficha = abre(QStringLiteral("KLD238"), QStringLiteral("ACCION=CONSULTAR|DATO=ORG01"),
                          QStringLiteral("frmKLD238"));
    ASSERT_NE(ficha, nullptr);
    EXPECT_EQ(texto(ficha, QStringLiteral("txtNombre")), QStringLiteral("Aceros del Norte"));
    EXPECT_EQ(texto(ficha, QStringLiteral("txtCiudad")), QStringLiteral("Monterrey"));
    EXPECT_EQ(texto(ficha, QStringLiteral("txtTelefono")), QStringLiteral("81 8340 1200"));
    auto *contactos = ficha->findChild<QListWidget *>(QStringLiteral("lstContactos"));
    ASSERT_NE(contactos, nullptr);
    QStringList nombres;
    for (int i = 0; i < contactos->count(); ++i)
        nombres << contactos->item(i)->text();
    EXPECT_EQ(nombres,
              (QStringList{QStringLiteral("José Hernández (C002)"), QStringLiteral("María Fernández (C001)")}));
}

TEST_F(Suplentes, requestsThatNameNothingShownAreExplainedAndLogged)
{
    struct Caso
    {
        const char *modulo;
        const char *parametros;
        const char *mensaje;
    };
    const std::vector<Caso> casos = {
        {"KLD215", "ACCION=CONSULTA", "La solicitud al módulo KLD215 no indica qué contacto mostrar (falta DATO)."},
        {"KLD215",
         "ACCION=CONSULTA|DATO=", "La solicitud al módulo KLD215 no indica qué contacto mostrar (falta DATO)."},
        {"KLD215", "ACCION=CONSULTA|DATO=C999", "No existe el contacto «C999»."},
        {"KLD215", "DATO=C001", "La solicitud al módulo KLD215 no indica la acción (ACCION)."},
        {"KLD238", "ACCION=CONSULTAR|DATO=ORG99", "No existe la organización «ORG99»."},
        {"KLD238", "ACCION=BORRAR|DATO=ORG01", "El módulo KLD238 no reconoce la acción «BORRAR»."},
        {"KLD242", "ACCION=CONSULTA|DATO=OP-999999", "No existe la oportunidad «OP-999999»."},
        {"KLD242", "ACCION=EDITAR", "La solicitud al módulo KLD242 no indica qué oportunidad abrir (falta DATO)."},
        {"KLD242", "", "La solicitud al módulo KLD242 no indica la acción (ACCION)."},
        {"KLD300", "NUEVO=", "La solicitud al módulo KLD300 no indica la oportunidad ganada (falta NUEVO)."},
        {"KLD300", "NUEVO=OP-999999", "No existe la oportunidad «OP-999999»."},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(std::string(caso.modulo) + " " + caso.parametros);
        const QString modulo = QString::fromUtf8(caso.modulo);
        const QString parametros = QString::fromUtf8(caso.parametros);
        EXPECT_EQ(aviso(modulo, parametros), QString::fromUtf8(caso.mensaje));
        ASSERT_FALSE(bitacora.lineas().isEmpty());
        EXPECT_EQ(bitacora.lineas().last(), QStringLiteral("Solicitud %1 %2 → No se abrió la pantalla: %3")
                                                .arg(modulo, parametros, QString::fromUtf8(caso.mensaje)));
    }
    for (const char *nombre : {"frmKLD215", "frmKLD238", "frmKLD242", "frmOportunidadGanada"})
        EXPECT_EQ(ventanaAbierta(QString::fromUtf8(nombre)), nullptr) << nombre;
}

TEST_F(Suplentes, anUnknownModuleIsNotInstalledAndTheWonCodeNeedsTheVariable)
{
    const auto visto = Pruebas::respondeAviso(QStringLiteral("AvisoModulo"));
    anfitrion.transacciones(QStringLiteral("KLD999"), QStringLiteral("ACCION=NUEVO|DATO=X"));
    ASSERT_TRUE(visto->visto);
    EXPECT_EQ(visto->texto, QStringLiteral("El módulo KLD999 no está instalado en este equipo."));
    EXPECT_EQ(visto->detalle, QStringLiteral("Solicitud: ACCION=NUEVO|DATO=X"));
    EXPECT_EQ(
        bitacora.lineas(),
        (QStringList{QStringLiteral("Solicitud de pantalla: KLD999 ACCION=NUEVO|DATO=X"),
                     QStringLiteral("Solicitud KLD999 ACCION=NUEVO|DATO=X → El módulo KLD999 no está instalado")}));

    // The won transaction is whatever the variable names, and nothing once it is empty.
    base.ejecuta(
        QStringLiteral("UPDATE Variable SET Va_Valor = '' WHERE Va_Nombre = 'CRM_TRANSACCION_OPORTUNIDAD_GANADA'"));
    EXPECT_EQ(aviso(Ganada, QStringLiteral("NUEVO=OP-000001"), QStringLiteral("AvisoModulo")),
              QStringLiteral("El módulo KLD300 no está instalado en este equipo."));
}

TEST_F(Suplentes, aDatabaseFailureIsReportedAndTheNextRequestWorks)
{
    base.ejecuta(QStringLiteral("ALTER TABLE Contacto RENAME TO Contacto_Fuera"));
    const auto visto = Pruebas::respondeAviso();
    anfitrion.transacciones(QStringLiteral("KLD215"), QStringLiteral("ACCION=CONSULTA|DATO=C001"));
    ASSERT_TRUE(visto->visto);
    EXPECT_EQ(visto->texto, QStringLiteral("No se pudo abrir la pantalla del módulo KLD215."));
    EXPECT_FALSE(visto->detalle.isEmpty());
    EXPECT_TRUE(bitacora.lineas().last().startsWith(QStringLiteral(
        "Solicitud KLD215 ACCION=CONSULTA|DATO=C001 → No se pudo abrir la pantalla del módulo KLD215: ")));

    base.ejecuta(QStringLiteral("ALTER TABLE Contacto_Fuera RENAME TO Contacto"));
    EXPECT_NE(
        abre(QStringLiteral("KLD238"), QStringLiteral("ACCION=CONSULTAR|DATO=ORG02"), QStringLiteral("frmKLD238")),
        nullptr);
}

TEST_F(Suplentes, aNewOpportunityIsSavedWithItsFieldsAndLogged)
{
    QWidget *forma = abre(QStringLiteral("KLD242"), QStringLiteral("ACCION=NUEVO"), QStringLiteral("frmKLD242"));
    ASSERT_NE(forma, nullptr);
    EXPECT_EQ(forma->windowTitle(), QStringLiteral("Nueva oportunidad"));
    // It starts with the operator's salesperson and a close a month away.
    EXPECT_EQ(forma->findChild<QComboBox *>(QStringLiteral("cboVendedor"))->currentData().toString(),
              QStringLiteral("V001"));
    EXPECT_EQ(forma->findChild<QDateEdit *>(QStringLiteral("dtpCierre"))->date(), QDate::currentDate().addDays(30));

    QSignalSpy acciones(&anfitrion, &Anfitrion::accionRealizada);
    forma->findChild<QLineEdit *>(QStringLiteral("txtFolio"))->setText(QStringLiteral("OP-'9"));
    forma->findChild<QLineEdit *>(QStringLiteral("txtDescripcion"))->setText(QStringLiteral("Licencias O'Brien'); --"));
    elige(forma, QStringLiteral("cboContacto"), QStringLiteral("C008"));
    elige(forma, QStringLiteral("cboVendedor"), QStringLiteral("V002"));
    elige(forma, QStringLiteral("cboEstado"), QStringLiteral("NEG"));
    forma->findChild<QDoubleSpinBox *>(QStringLiteral("txtMonto"))->setValue(1234.5);
    forma->findChild<QDateEdit *>(QStringLiteral("dtpCierre"))->setDate(QDate(2027, 3, 15));
    // Enter in a field saves, as the default button.
    QTest::keyClick(forma->findChild<QLineEdit *>(QStringLiteral("txtDescripcion")), Qt::Key_Return);

    EXPECT_EQ(ventanaAbierta(QStringLiteral("frmKLD242")), nullptr);
    const QString donde = QStringLiteral(" FROM Oportunidad WHERE Op_Folio = 'OP-''9'");
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Op_Descripcion") + donde), QStringLiteral("Licencias O'Brien'); --"));
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Op_Contacto") + donde), QStringLiteral("C008"));
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Op_Cve_Vendedor") + donde), QStringLiteral("V002"));
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Op_Estado_Oportunidad") + donde), QStringLiteral("NEG"));
    EXPECT_DOUBLE_EQ(base.valor(QStringLiteral("SELECT Op_Monto") + donde).toDouble(), 1234.5);
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Op_Fecha_Cierre_Estimada") + donde), QStringLiteral("2027-03-15"));
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Op_Fecha_Alta") + donde), QDate::currentDate().toString(Qt::ISODate));
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Es_Cve_Estado") + donde), QStringLiteral("AC"));
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Oper_Alta") + donde), QStringLiteral("GERENTE"));
    EXPECT_EQ(base.cuenta(QStringLiteral("Bitacora"),
                          QStringLiteral("Bi_Clave = 'OP-''9' AND Bi_Accion = 'Alta' AND Bi_Operador = 'GERENTE'")),
              1);
    ASSERT_EQ(acciones.size(), 1);
    EXPECT_EQ(acciones.at(0).at(0).toString(), QStringLiteral("Oportunidad OP-'9 registrada"));
    EXPECT_EQ(bitacora.lineas().last(), QStringLiteral("Oportunidad OP-'9 registrada"));
}

TEST_F(Suplentes, aNewOpportunityNeedsItsRequiredFieldsAndAFreeFolio)
{
    QWidget *forma = abre(QStringLiteral("KLD242"), QStringLiteral("ACCION=NUEVO"), QStringLiteral("frmKLD242"));
    ASSERT_NE(forma, nullptr);
    forma->findChild<QComboBox *>(QStringLiteral("cboVendedor"))->setCurrentIndex(-1);
    auto *guardar = forma->findChild<QAbstractButton *>(QStringLiteral("cmdGuardar"));
    const int antes = base.cuenta(QStringLiteral("Oportunidad"));

    struct Caso
    {
        const char *folio;
        const char *descripcion;
        const char *vendedor;
        const char *estado;
        const char *mensaje;
    };
    const std::vector<Caso> casos = {
        {"", "", "", "", "Faltan datos de la oportunidad: folio, descripción, vendedor y estado."},
        {"OP-500", "  ", "V003", "", "Faltan datos de la oportunidad: descripción y estado."},
        {"   ", "Servidores", "V003", "PRO", "Faltan datos de la oportunidad: folio."},
        {"OP-000001", "Servidores", "V003", "PRO", "Ya existe una oportunidad con el folio «OP-000001»."},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.mensaje);
        forma->findChild<QLineEdit *>(QStringLiteral("txtFolio"))->setText(QString::fromUtf8(caso.folio));
        forma->findChild<QLineEdit *>(QStringLiteral("txtDescripcion"))->setText(QString::fromUtf8(caso.descripcion));
        for (const auto &[lista, clave] :
             {std::pair{"cboVendedor", caso.vendedor}, std::pair{"cboEstado", caso.estado}}) {
            auto *combo = forma->findChild<QComboBox *>(QString::fromUtf8(lista));
            combo->setCurrentIndex(combo->findData(QString::fromUtf8(clave)));
        }
        const auto visto = Pruebas::respondeAviso();
        guardar->click();
        ASSERT_TRUE(visto->visto);
        EXPECT_EQ(visto->texto, QString::fromUtf8(caso.mensaje));
        EXPECT_EQ(base.cuenta(QStringLiteral("Oportunidad")), antes);
        EXPECT_EQ(ventanaAbierta(QStringLiteral("frmKLD242")), forma); // still there to be corrected
    }
    EXPECT_NE(base.valor(QStringLiteral("SELECT Op_Descripcion FROM Oportunidad WHERE Op_Folio = 'OP-000001'")),
              QStringLiteral("Servidores"));
}

TEST_F(Suplentes, consultaShowsTheOpportunityReadOnly)
{
    base.ejecuta(QStringLiteral("UPDATE Oportunidad SET Op_Contacto = 'C001', Op_Cve_Vendedor = 'V002', "
                                "Op_Estado_Oportunidad = 'NEG', Op_Monto = 1500.25, "
                                "Op_Fecha_Cierre_Estimada = '2027-01-31' WHERE Op_Folio = 'OP-000002'"));
    QWidget *forma = abre(QStringLiteral("KLD242"), QStringLiteral("ACCION=CONSULTA|DATO=OP-000002"),
                          QStringLiteral("frmKLD242"));
    ASSERT_NE(forma, nullptr);
    EXPECT_EQ(forma->windowTitle(), QStringLiteral("Oportunidad OP-000002"));
    EXPECT_EQ(forma->findChild<QAbstractButton *>(QStringLiteral("cmdGuardar")), nullptr);
    EXPECT_EQ(texto(forma, QStringLiteral("txtFolio")), QStringLiteral("OP-000002"));
    EXPECT_EQ(texto(forma, QStringLiteral("txtContacto")), QStringLiteral("María Fernández (C001)"));
    EXPECT_EQ(texto(forma, QStringLiteral("txtOrganizacion")), QStringLiteral("Aceros del Norte"));
    EXPECT_EQ(texto(forma, QStringLiteral("txtVendedor")), QStringLiteral("Bruno Díaz (V002)"));
    EXPECT_EQ(texto(forma, QStringLiteral("txtEstado")), QStringLiteral("Negociación (NEG)"));
    EXPECT_EQ(texto(forma, QStringLiteral("txtMonto")), QStringLiteral("$1,500.25"));
    EXPECT_EQ(texto(forma, QStringLiteral("txtCierre")), QStringLiteral("31/01/2027"));
    EXPECT_EQ(texto(forma, QStringLiteral("txtSituacion")), QStringLiteral("Abierta"));
    for (QLineEdit *campo : forma->findChildren<QLineEdit *>())
        EXPECT_TRUE(campo->isReadOnly()) << campo->objectName().toStdString();
}

TEST_F(Suplentes, editarSavesTheChangesButNeverTheFolio)
{
    QWidget *forma = abre(QStringLiteral("KLD242"), QStringLiteral("ACCION=EDITAR|DATO=OP-000002"),
                          QStringLiteral("frmKLD242"));
    ASSERT_NE(forma, nullptr);
    auto *folio = forma->findChild<QLineEdit *>(QStringLiteral("txtFolio"));
    EXPECT_EQ(folio->text(), QStringLiteral("OP-000002"));
    EXPECT_TRUE(folio->isReadOnly());
    const QString descripcion = base.valor(
        QStringLiteral("SELECT Op_Descripcion FROM Oportunidad WHERE Op_Folio = 'OP-000002'"));
    EXPECT_EQ(forma->findChild<QLineEdit *>(QStringLiteral("txtDescripcion"))->text(), descripcion);

    forma->findChild<QLineEdit *>(QStringLiteral("txtDescripcion"))->setText(QStringLiteral("Renovación 'anual'"));
    elige(forma, QStringLiteral("cboEstado"), QStringLiteral("CIE"));
    elige(forma, QStringLiteral("cboContacto"), QString()); // "(sin contacto)"
    forma->findChild<QDoubleSpinBox *>(QStringLiteral("txtMonto"))->setValue(99.99);
    forma->findChild<QAbstractButton *>(QStringLiteral("cmdGuardar"))->click();

    EXPECT_EQ(ventanaAbierta(QStringLiteral("frmKLD242")), nullptr);
    const QString donde = QStringLiteral(" FROM Oportunidad WHERE Op_Folio = 'OP-000002'");
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Op_Descripcion") + donde), QStringLiteral("Renovación 'anual'"));
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Op_Estado_Oportunidad") + donde), QStringLiteral("CIE"));
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Op_Contacto") + donde), QString());
    EXPECT_DOUBLE_EQ(base.valor(QStringLiteral("SELECT Op_Monto") + donde).toDouble(), 99.99);
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Oper_Ult_Modif") + donde), QStringLiteral("GERENTE"));
    EXPECT_EQ(base.cuenta(QStringLiteral("Bitacora"),
                          QStringLiteral("Bi_Clave = 'OP-000002' AND Bi_Accion = 'Modificación'")),
              1);
    EXPECT_EQ(base.cuenta(QStringLiteral("Oportunidad")), 3);
}

TEST_F(Suplentes, editingIsRefusedOnceCancelledAndSavingFindsACancellationOrClosingMeanwhile)
{
    base.ejecuta(QStringLiteral("UPDATE Oportunidad SET Es_Cve_Estado = 'CA' WHERE Op_Folio = 'OP-000001'"));
    EXPECT_EQ(aviso(QStringLiteral("KLD242"), QStringLiteral("ACCION=EDITAR|DATO=OP-000001")),
              QStringLiteral("La oportunidad OP-000001 está cancelada. No puede editarse."));

    // Another user's connection cancels or closes it while this user edits.
    const std::vector<std::pair<const char *, const char *>> casos = {
        {"UPDATE Oportunidad SET Es_Cve_Estado = 'CA' WHERE Op_Folio = 'OP-000003'",
         "La oportunidad OP-000003 fue cancelada mientras usted la editaba."},
        {"INSERT INTO Cierre_Oportunidad VALUES ('OP-000002', 1, NULL, 'OTRO', '')",
         "La oportunidad OP-000002 fue cerrada mientras usted la editaba."},
    };
    for (const auto &[otroUsuario, mensaje] : casos) {
        SCOPED_TRACE(mensaje);
        const QString folio = QString::fromUtf8(mensaje).mid(15, 9);
        QWidget *forma = abre(QStringLiteral("KLD242"), QStringLiteral("ACCION=EDITAR|DATO=") + folio,
                              QStringLiteral("frmKLD242"));
        ASSERT_NE(forma, nullptr);
        Ado::Connection(base.direccion()).Execute(QString::fromUtf8(otroUsuario));
        forma->findChild<QLineEdit *>(QStringLiteral("txtDescripcion"))->setText(QStringLiteral("Otra"));
        const auto visto = Pruebas::respondeAviso();
        forma->findChild<QAbstractButton *>(QStringLiteral("cmdGuardar"))->click();
        ASSERT_TRUE(visto->visto);
        EXPECT_EQ(visto->texto, QString::fromUtf8(mensaje));
        EXPECT_EQ(forma->findChild<QLineEdit *>(QStringLiteral("txtDescripcion"))->text(), QStringLiteral("Otra"));
        EXPECT_EQ(base.cuenta(QStringLiteral("Oportunidad"), QStringLiteral("Op_Descripcion = 'Otra'")), 0);
        forma->close();
    }
    EXPECT_EQ(base.cuenta(QStringLiteral("Bitacora")), 0);
}

// Two users on one opportunity, each on a connection of its own.
TEST_F(Suplentes, anEditOverAnotherUsersChangeKeepsItShowsItAndSavesOnlyTheUsersOwnOnTheSecondTry)
{
    const QString donde = QStringLiteral(" FROM Oportunidad WHERE Op_Folio = 'OP-000002'");
    const auto guardada = [&] {
        return QStringList{base.valor(QStringLiteral("SELECT Op_Descripcion") + donde),
                           base.valor(QStringLiteral("SELECT Op_Estado_Oportunidad") + donde),
                           QString::number(base.valor(QStringLiteral("SELECT Op_Monto") + donde).toDouble()),
                           base.valor(QStringLiteral("SELECT Op_Fecha_Cierre_Estimada") + donde)}
            .join(QLatin1Char('|'));
    };
    base.ejecuta(QStringLiteral("UPDATE Oportunidad SET Op_Descripcion = 'Servidores', Op_Estado_Oportunidad = 'NEG', "
                                "Op_Monto = 1500.25, Op_Fecha_Cierre_Estimada = NULL WHERE Op_Folio = 'OP-000002'"));
    QWidget *forma = abre(QStringLiteral("KLD242"), QStringLiteral("ACCION=EDITAR|DATO=OP-000002"),
                          QStringLiteral("frmKLD242"));
    ASSERT_NE(forma, nullptr);
    auto *descripcion = forma->findChild<QLineEdit *>(QStringLiteral("txtDescripcion"));
    auto *monto = forma->findChild<QDoubleSpinBox *>(QStringLiteral("txtMonto"));
    auto *guardar = forma->findChild<QAbstractButton *>(QStringLiteral("cmdGuardar"));

    // Given the other user moves it on to "Cierre inminente" while this one changes the description.
    Ado::Connection(base.direccion())
        .Execute(QStringLiteral("UPDATE Oportunidad SET Op_Estado_Oportunidad = 'CIE', Oper_Ult_Modif = 'SUPERVISOR' "
                                "WHERE Op_Folio = 'OP-000002'"));
    descripcion->setText(QStringLiteral("Servidores y licencias"));
    monto->setValue(1750);

    // When this one saves, nothing is written and the form shows the other's change.
    const auto visto = Pruebas::respondeAviso();
    guardar->click();
    ASSERT_TRUE(visto->visto);
    EXPECT_EQ(visto->texto, QStringLiteral("Otro usuario modificó la oportunidad OP-000002 mientras usted la editaba; "
                                           "no se guardaron sus cambios."));
    EXPECT_EQ(guardada(), QStringLiteral("Servidores|CIE|1500.25|"));
    EXPECT_EQ(forma->findChild<QComboBox *>(QStringLiteral("cboEstado"))->currentData().toString(),
              QStringLiteral("CIE"));
    EXPECT_EQ(forma->findChild<QLabel *>(QStringLiteral("lbOtroUsuario"))->text(),
              QStringLiteral("Otro usuario cambió esta oportunidad mientras usted la editaba. "
                             "Ahora tiene estado: «Cierre inminente (CIE)»."));
    EXPECT_EQ(descripcion->text(), QStringLiteral("Servidores y licencias"));
    EXPECT_DOUBLE_EQ(monto->value(), 1750);

    // Then a second save writes this user's two fields over the other's state, and no date.
    guardar->click();
    EXPECT_EQ(ventanaAbierta(QStringLiteral("frmKLD242")), nullptr);
    EXPECT_EQ(guardada(), QStringLiteral("Servidores y licencias|CIE|1750|"));
    EXPECT_EQ(base.cuenta(QStringLiteral("Bitacora"), QStringLiteral("Bi_Accion = 'Modificación'")), 1);
}

TEST_F(Suplentes, theWonRegistrationClosesTheOpportunityAsTheBoardDoes)
{
    QWidget *registro = abre(Ganada, QStringLiteral("NUEVO=OP-000003"), QStringLiteral("frmOportunidadGanada"));
    ASSERT_NE(registro, nullptr);
    EXPECT_EQ(texto(registro, QStringLiteral("txtFolio")), QStringLiteral("OP-000003"));
    EXPECT_EQ(texto(registro, QStringLiteral("txtSituacion")), QStringLiteral("Abierta"));
    EXPECT_EQ(base.cuenta(QStringLiteral("Cierre_Oportunidad")), 0); // nothing until confirmed

    registro->findChild<QPlainTextEdit *>(QStringLiteral("txtNotas"))->setPlainText(QStringLiteral("Pedido 'firmado'"));
    registro->findChild<QAbstractButton *>(QStringLiteral("cmdRegistrar"))->click();

    EXPECT_EQ(ventanaAbierta(QStringLiteral("frmOportunidadGanada")), nullptr);
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Ci_Resultado FROM Cierre_Oportunidad WHERE Ci_Folio = 'OP-000003'")),
              QStringLiteral("1"));
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Ci_Cve_Causa FROM Cierre_Oportunidad WHERE Ci_Folio = 'OP-000003'")),
              QString());
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Ci_Operador FROM Cierre_Oportunidad WHERE Ci_Folio = 'OP-000003'")),
              QStringLiteral("GERENTE"));
    EXPECT_EQ(
        base.cuenta(QStringLiteral("Bitacora"), QStringLiteral("Bi_Clave = 'OP-000003' AND Bi_Accion = 'Ganada'")), 1);
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Sg_Nota FROM Seguimiento WHERE Sg_Clave = 'OP-000003'")),
              QStringLiteral("Pedido 'firmado'"));

    // Once closed it cannot be won again.
    EXPECT_EQ(aviso(Ganada, QStringLiteral("NUEVO=OP-000003")),
              QStringLiteral("La oportunidad OP-000003 ya fue cerrada como ganada."));
}

TEST_F(Suplentes, aWonRegistrationThatFindsTheOpportunityClosedMeanwhileSaysWhyAndStays)
{
    QWidget *registro = abre(Ganada, QStringLiteral("NUEVO=OP-000001"), QStringLiteral("frmOportunidadGanada"));
    ASSERT_NE(registro, nullptr);
    base.ejecuta(QStringLiteral("INSERT INTO Cierre_Oportunidad VALUES ('OP-000001', 2, 1, 'OTRO', '')"));
    const auto visto = Pruebas::respondeAviso();
    registro->findChild<QAbstractButton *>(QStringLiteral("cmdRegistrar"))->click();
    ASSERT_TRUE(visto->visto);
    EXPECT_EQ(visto->texto, QStringLiteral("No se registró la oportunidad OP-000001 como ganada."));
    EXPECT_EQ(visto->detalle, QStringLiteral("La oportunidad OP-000001 ya fue cerrada"));
    EXPECT_EQ(ventanaAbierta(QStringLiteral("frmOportunidadGanada")), registro);
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Ci_Resultado FROM Cierre_Oportunidad WHERE Ci_Folio = 'OP-000001'")),
              QStringLiteral("2"));
}

// Given opportunities of salespeople of each level, a request naming a folio opens only what
// the board would list for the operator's salesperson, and a won registration needs the option.
class SuplentesConAlcance : public Suplentes
{
protected:
    void SetUp() override
    {
        Suplentes::SetUp();
        for (const auto &[folio, vendedor] :
             {std::pair{"OP-000001", "V004"}, std::pair{"OP-000002", "V003"}, std::pair{"OP-000003", "V001"}})
            base.ejecuta(QStringLiteral("UPDATE Oportunidad SET Op_Cve_Vendedor = '%1' WHERE Op_Folio = '%2'")
                             .arg(QLatin1String(vendedor), QLatin1String(folio)));
        base.ejecuta(QStringLiteral("UPDATE Vendedor SET Vn_Nivel = 4 WHERE Vn_Cve_Vendedor = 'V006'"));
        base.ejecuta(QStringLiteral("INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre, Ope_Cve_Vendedor) "
                                    "VALUES ('RARO', 'Nivel desconocido', 'V006')"));
    }

    void como(const char *operador) { Servicios::estableceOperador(QString::fromUtf8(operador)); }
};

TEST_F(SuplentesConAlcance, aRequestOpensOnlyWhatTheBoardWouldListAndWinsNeedTheOption)
{
    struct Caso
    {
        const char *operador;
        const char *modulo;
        const char *parametros;
        const char *mensaje; // "" : the screen opens
    };
    const char *ajena = "La oportunidad %1 no está entre las que puede ver el vendedor %2.";
    const std::vector<Caso> casos = {
        {"VENDEDOR", "KLD300", "NUEVO=OP-000002", ajena},
        {"VENDEDOR", "KLD242", "ACCION=EDITAR|DATO=OP-000002", ajena},
        {"VENDEDOR", "KLD242", "ACCION=CONSULTA|DATO=OP-000003", ajena},
        {"SUPERVISOR", "KLD242", "ACCION=EDITAR|DATO=OP-000001", ajena},
        {"SUPERVISOR", "KLD300", "NUEVO=OP-000003", ajena},
        {"ADMIN", "KLD242", "ACCION=CONSULTA|DATO=OP-000001",
         "El operador ADMIN no tiene vendedor asignado: no puede abrir oportunidades."},
        {"ADMIN", "KLD242", "ACCION=NUEVO",
         "El operador ADMIN no tiene vendedor asignado: no puede abrir oportunidades."},
        {"RARO", "KLD242", "ACCION=EDITAR|DATO=OP-000001",
         "El nivel del vendedor V006 no le permite ver oportunidades."},
        {"CAPTURISTA", "KLD300", "NUEVO=OP-000001",
         "El operador CAPTURISTA no tiene permiso para registrar oportunidades ganadas."},
        {"VENDEDOR", "KLD242", "ACCION=EDITAR|DATO=OP-000001", ""},
        {"VENDEDOR", "KLD300", "NUEVO=OP-000001", ""},
        {"SUPERVISOR", "KLD242", "ACCION=CONSULTA|DATO=OP-000002", ""},
        {"GERENTE", "KLD300", "NUEVO=OP-000002", ""},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(std::string(caso.operador) + " " + caso.modulo + " " + caso.parametros);
        como(caso.operador);
        const QString modulo = QString::fromUtf8(caso.modulo);
        const QString parametros = QString::fromUtf8(caso.parametros);
        const QString folio = parametros.right(9);
        const QString vendedor = base.valor(
            QStringLiteral("SELECT Ope_Cve_Vendedor FROM Operador WHERE Ope_Cve_Operador = '%1'")
                .arg(QString::fromUtf8(caso.operador)));
        const QString nombre = modulo == Ganada ? QStringLiteral("frmOportunidadGanada") : QStringLiteral("frmKLD242");
        if (QString esperado = QString::fromUtf8(caso.mensaje); !esperado.isEmpty()) {
            if (esperado.contains(QLatin1String("%1")))
                esperado = esperado.arg(folio, vendedor);
            EXPECT_EQ(aviso(modulo, parametros), esperado);
        } else {
            QWidget *pantalla = abre(modulo, parametros, nombre);
            ASSERT_NE(pantalla, nullptr);
            pantalla->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    EXPECT_EQ(base.cuenta(QStringLiteral("Cierre_Oportunidad")) + base.cuenta(QStringLiteral("Bitacora")), 0);
}

TEST_F(SuplentesConAlcance, theFormOffersOnlyTheSalespeopleWithinReach)
{
    for (const auto &[operador, vendedores] : {std::pair{"VENDEDOR", "V004"}, std::pair{"SUPERVISOR", "V002 V003"}}) {
        SCOPED_TRACE(operador);
        como(operador);
        QWidget *forma = abre(QStringLiteral("KLD242"), QStringLiteral("ACCION=NUEVO"), QStringLiteral("frmKLD242"));
        ASSERT_NE(forma, nullptr);
        const auto *combo = forma->findChild<QComboBox *>(QStringLiteral("cboVendedor"));
        QStringList claves;
        for (int i = 0; i < combo->count(); ++i)
            claves << combo->itemData(i).toString();
        claves.sort();
        EXPECT_EQ(claves.join(QLatin1Char(' ')), QLatin1String(vendedores));
        forma->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(SuplentesConAlcance, aWonRegistrationLeftOpenWhileTheOpportunityChangedHandsIsRefused)
{
    como("VENDEDOR");
    QWidget *registro = abre(Ganada, QStringLiteral("NUEVO=OP-000001"), QStringLiteral("frmOportunidadGanada"));
    ASSERT_NE(registro, nullptr);
    base.ejecuta(QStringLiteral("UPDATE Oportunidad SET Op_Cve_Vendedor = 'V001' WHERE Op_Folio = 'OP-000001'"));
    const auto visto = Pruebas::respondeAviso();
    registro->findChild<QAbstractButton *>(QStringLiteral("cmdRegistrar"))->click();
    ASSERT_TRUE(visto->visto);
    EXPECT_EQ(visto->detalle,
              QStringLiteral("La oportunidad OP-000001 no está entre las que puede ver el vendedor V004."));
    EXPECT_EQ(base.cuenta(QStringLiteral("Cierre_Oportunidad")), 0);
}

} // namespace
