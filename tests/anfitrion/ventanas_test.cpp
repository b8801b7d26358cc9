// The host shell's windows, in this process, on a real database: the operator's sign-in; the
// screens the host opens when a module asks for a sibling module's screen; the main window with
// the real board, loaded by its registration name from the module's library as the host does.
#include "anfitrion.h"
#include "barradefiltro.h"
#include "basedeprueba.h"
#include "bitacora.h"
#include "conexioninicial.h"
#include "dialogoingreso.h"
#include "geometriaventana.h"
#include "ingreso.h"
#include "iniciosesion.h"
#include "listas.h"
#include "modulos.h"
#include "parametros.h"
#include "respuestas.h"
#include "traducciones.h"
#include "ventanaprincipal.h"

#include "ado/session.h"
#include "controles/cbzel.h"
#include "controles/listview.h"
#include "datos/demo.h"
#include "datos/preparacion.h"
#include "runtime/componentregistry.h"
#include "runtime/regional.h"
#include "runtime/settings.h"
#include "servicios/accioneslista.h"
#include "servicios/contrasenaoperador.h"
#include "servicios/servicios.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace {

using Pruebas::pulsa;

// Runs a step and answers with Aceptar the message box named `nombre` it brings up: the box's
// text, with its detail after a "·" when it has one; "" when none came up.
QString aviso(const std::function<void()> &paso, const QString &nombre = "AvisoAnfitrion")
{
    auto visto = std::make_shared<QString>();
    Pruebas::alAparecer(nombre, [visto](QWidget &ventana) {
        auto &caja = static_cast<QMessageBox &>(ventana);
        *visto = caja.informativeText().isEmpty() ? caja.text() : caja.text() + " · " + caja.informativeText();
        caja.button(QMessageBox::Ok)->click();
    });
    paso();
    return *visto;
}

// The texts of the message boxes a step brought up, each closed as it came; none, if none.
QStringList cajasDurante(const std::function<void()> &paso)
{
    QStringList vistas;
    QTimer guardia;
    guardia.setInterval(0);
    QObject::connect(&guardia, &QTimer::timeout, [&vistas] {
        if (auto *caja = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            vistas << caja->text();
            caja->done(QMessageBox::Ok);
        }
    });
    guardia.start();
    paso();
    QCoreApplication::processEvents();
    return vistas;
}

// The visible top-level windows of that objectName; the first one, if any.
QWidgetList ventanas(const QString &nombre)
{
    QWidgetList todas = QApplication::topLevelWidgets();
    todas.removeIf([&](const QWidget *ventana) { return ventana->objectName() != nombre || !ventana->isVisible(); });
    return todas;
}
QWidget *ventanaAbierta(const QString &nombre)
{
    return ventanas(nombre).value(0);
}

// Makes the window the active one, as the user's click would.
void activa(QWidget &ventana)
{
    QCoreApplication::processEvents(); // activations the platform queued for windows shown earlier
    QApplication::setActiveWindow(&ventana);
    [[maybe_unused]] const bool activa = QTest::qWaitForWindowActive(&ventana, 1000);
    QCoreApplication::processEvents();
}

// Who gets in with which password, on the demo database and on any other. A stored hash altered
// by hand lets nobody in, not even with the password it was made of. In the dialog a wrong
// password and an unknown code get one and the same refusal and it stays open; the right
// password closes it with the code as stored. From a code's fifth failure in a row each try of
// it waits longer, up to thirty seconds; other codes do not wait, and signing in clears the
// count. A code in other letters' case or with blanks around it is the same code.
TEST(IngresoDelOperador, onlyTheRightPasswordSignsInTheDialogRefusesAlikeAndFailuresInARowWait)
{
    const Pruebas::BaseDePrueba base;
    base.ejecuta(
        "INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre) VALUES ('GERENTE', 'Ana'), ('CAPTURISTA', 'Luis')");
    Servicios::ponContrasenaOperador("gerente", "Buena'1234");
    const std::tuple<bool, QString, QString, std::optional<QString>> casos[] = {
        // on the demo database?, code, password, who signs in
        {false, "GERENTE", "Buena'1234", "GERENTE"},
        {false, "gerente", "Buena'1234", "GERENTE"}, // the code as stored
        {false, "GERENTE", "buena'1", std::nullopt},
        {false, "GERENTE", "", std::nullopt},
        {false, "NADIE", "Buena'1234", std::nullopt},
        {false, "capturista", "", std::nullopt},        // no password yet: not on a real database
        {false, "capturista", "relleno", std::nullopt}, // nor with what the filler hash was made of
        {false, "%", "", std::nullopt},
        {true, "capturista", "", "CAPTURISTA"},
        {true, "GERENTE", "", std::nullopt}, // a password once set is asked even on the demo
        {true, "NADIE", "", std::nullopt},
    };
    for (const auto &[demo, codigo, contrasena, entra] : casos)
        EXPECT_EQ(Ingreso(demo).entra(codigo, contrasena), entra) << (codigo + '/' + contrasena).toStdString() << demo;

    const QString huella = base.valor("SELECT Oc_Huella FROM Operador_Contrasena");
    const QChar otra = huella.at(huella.size() - 5) == u'A' ? u'B' : u'A';
    for (const QString &alterada : {QString(huella).replace(huella.size() - 5, 1, otra), huella.chopped(1),
                                    huella + "A", huella.toUpper(), " " + huella})
        EXPECT_FALSE(Servicios::HuellaDeContrasena::coincide(alterada, "Buena'1234")) << alterada.toStdString();

    using std::chrono::seconds;
    std::vector<std::chrono::milliseconds> esperas;
    Ingreso ingreso(false, [&esperas](std::chrono::milliseconds tiempo) { esperas.push_back(tiempo); });
    DialogoIngreso dialogo(ingreso, "gerente");
    dialogo.show();
    auto *contrasena = dialogo.findChild<QLineEdit *>("contrasena");
    const auto intenta = [&](const QString &codigo, const QString &texto) {
        dialogo.findChild<QLineEdit *>("codigo")->setText(codigo);
        contrasena->setText(texto);
        dialogo.findChild<QDialogButtonBox *>("botones")->button(QDialogButtonBox::Ok)->click();
        return dialogo.findChild<QLabel *>("aviso")->text();
    };

    EXPECT_EQ(intenta("gerente", "mala"), Ingreso::rechazo());
    EXPECT_EQ(intenta("NADIE", "Buena'1234"), Ingreso::rechazo());
    EXPECT_TRUE(dialogo.isVisible() && contrasena->text().isEmpty());

    intenta("gerente", "Buena'1234");
    EXPECT_EQ(dialogo.result(), QDialog::Accepted);
    EXPECT_EQ(dialogo.operador(), "GERENTE");

    const Pruebas::Bitacora bitacora("teqvaro.servicios");
    const auto falla = [&ingreso](const QString &codigo, int veces) {
        for (int vez = 0; vez < veces; ++vez)
            EXPECT_EQ(ingreso.entra(codigo, "mala"), std::nullopt);
    };

    falla("gerente", 2);
    falla(" Gerente\t", 3);
    falla("CAPTURISTA", 1);
    EXPECT_TRUE(esperas.empty());

    falla(" GERENTE ", 7);
    EXPECT_EQ(esperas, (std::vector<std::chrono::milliseconds>{seconds(1), seconds(2), seconds(4), seconds(8),
                                                               seconds(16), seconds(30), seconds(30)}));

    esperas.clear();
    EXPECT_EQ(ingreso.entra("GERENTE", "Buena'1234"), "GERENTE");
    falla("GERENTE", 1);
    EXPECT_EQ(esperas, std::vector<std::chrono::milliseconds>{seconds(30)});
    // Every failure is logged with its code, never with what was typed.
    ASSERT_EQ(bitacora.lineas().size(), 14);
    EXPECT_TRUE(bitacora.lineas().first().contains("gerente"));
    EXPECT_FALSE(bitacora.lineas().join(' ').contains("mala"));
}

// A port of the loopback where nothing listens, as at a server that is down, until `abre`:
// from then on it forwards every connection to the test's PostgreSQL server.
class ServidorQueVuelve final : public QThread
{
public:
    explicit ServidorQueVuelve(Ado::DatabaseAddress destino)
        : m_destino(std::move(destino))
    {
        QTcpServer libre;
        libre.listen(QHostAddress::LocalHost);
        m_puerto = libre.serverPort();
    }
    ~ServidorQueVuelve() override
    {
        quit();
        wait();
    }
    Q_DISABLE_COPY_MOVE(ServidorQueVuelve)

    quint16 puerto() const { return m_puerto; }
    void abre()
    {
        start();
        m_escucha.acquire();
    }

private:
    void run() override
    {
        QTcpServer servidor;
        servidor.listen(QHostAddress::LocalHost, m_puerto);
        QObject::connect(&servidor, &QTcpServer::newConnection, [this, &servidor] {
            QTcpSocket *cliente = servidor.nextPendingConnection();
            auto *destino = new QTcpSocket(cliente); // writes wait in its buffer until it connects
            QObject::connect(cliente, &QTcpSocket::readyRead, destino, [=] { destino->write(cliente->readAll()); });
            QObject::connect(destino, &QTcpSocket::readyRead, cliente, [=] { cliente->write(destino->readAll()); });
            QObject::connect(cliente, &QTcpSocket::disconnected, destino, &QTcpSocket::disconnectFromHost);
            QObject::connect(destino, &QTcpSocket::disconnected, cliente, &QTcpSocket::disconnectFromHost);
            destino->connectToHost(m_destino.host, quint16(m_destino.port));
        });
        m_escucha.release();
        exec();
    }

    Ado::DatabaseAddress m_destino;
    quint16 m_puerto = 0;
    QSemaphore m_escucha;
};

// The session's server down at start: a box names the address and the cause in plain words, the
// driver's own text only in its details and in the log (the sign-in dialog says it in the same
// words). Salir gives up; Reintentar tries the same address again, and again after a second
// failure, until the server answers and the session opens on it.
TEST(ConexionInicialPostgreSQL, aServerDownAtStartIsSaidInPlainWordsAndRetriedUntilItAnswersOrTheUserLeaves)
{
    const Pruebas::BaseDePrueba base;
    ServidorQueVuelve servidor(base.direccion());
    Ado::DatabaseAddress direccion = base.direccion();
    direccion.host = "127.0.0.1";
    direccion.port = servidor.puerto();
    const Pruebas::Bitacora bitacora("default");
    QStringList cajas; // each box's text, then its details
    std::function<void(const QString &, std::function<void()>)> responde;
    responde = [&cajas](const QString &boton, const std::function<void()> &antes) {
        Pruebas::alAparecer("ConexionInicial", [&cajas, boton, antes](QWidget &ventana) {
            const auto &caja = static_cast<QMessageBox &>(ventana);
            cajas << caja.text() + " | " + caja.detailedText();
            antes();
            pulsa(ventana, boton);
        });
    };

    responde("salir", [] {});
    EXPECT_THROW(abreLaSesion(direccion, ConexionInicial::preguntaAlUsuario), ConexionInicial::Abandonada);
    // An operator who signs in as themselves, once the sign-in dialog is open: the same words.
    Ado::DatabaseAddress sinUsuario = direccion;
    sinUsuario.user.clear();
    Ingreso ingreso = Ingreso::porServidor(sinUsuario);
    DialogoIngreso dialogo(ingreso, "gerente");
    dialogo.show();
    dialogo.findChild<QDialogButtonBox *>("botones")->button(QDialogButtonBox::Ok)->click();
    const QString aviso = dialogo.findChild<QLabel *>("aviso")->text();
    EXPECT_TRUE(aviso.startsWith("No se pudo conectar con la base de datos postgresql://")
                && aviso.endsWith(": el servidor no acepta conexiones en esa dirección y puerto."))
        << aviso.toStdString();
    responde("reintentar", [&] { responde("reintentar", [&servidor] { servidor.abre(); }); });
    abreLaSesion(direccion, ConexionInicial::preguntaAlUsuario);
    EXPECT_EQ(Ado::Session::address().port, servidor.puerto());
    EXPECT_EQ(base.cuenta("Oportunidad"), 0);

    const QString dice = "No se pudo conectar con la base de datos " + direccion.toDisplayString()
                         + ": el servidor no acepta conexiones en esa dirección y puerto. | ";
    ASSERT_EQ(cajas.size(), 3);
    for (const QString &caja : cajas)
        EXPECT_TRUE(caja.startsWith(dice) && caja.contains("Connection refused")) << caja.toStdString();
    EXPECT_EQ(bitacora.lineas().filter("Connection refused").size(), 4) << bitacora.lineas().join('\n').toStdString();
    Ado::Session::reset(); // before the forwarder goes
}

// The parameter text a module sends with its request.
TEST(Parametros, readsEachPairAtItsFirstEqualsSign)
{
    using Pares = QMap<QString, QString>;
    const std::pair<QString, Pares> casos[] = {
        // the text sent, the pairs read
        {"ACCION=CONSULTA|DATO=C001", {{"ACCION", "CONSULTA"}, {"DATO", "C001"}}},
        {"ACCION=EDITAR|DATO=A=B=C", {{"ACCION", "EDITAR"}, {"DATO", "A=B=C"}}}, // a value holding '='
        {"ACCION=A=B|NUEVO=X", {{"ACCION", "A=B"}, {"NUEVO", "X"}}},
        {"ACCION=CONSULTA|DATO=", {{"ACCION", "CONSULTA"}, {"DATO", ""}}},   // an empty value
        {"ACCION=NUEVO|DATO", {{"ACCION", "NUEVO"}, {"DATO", ""}}},          // a key alone
        {"DATO=O'Connor, S.A.", {{"DATO", "O'Connor, S.A."}}},               // quotes and commas as written
        {"DATO= C001 ", {{"DATO", " C001 "}}},                               // values are not trimmed
        {" accion =consulta", {{"ACCION", "consulta"}}},                     // keys are
        {"|ACCION=NUEVO||", {{"ACCION", "NUEVO"}}},                          // empty pairs
        {"=sin clave|ACCION=NUEVO", {{"ACCION", "NUEVO"}}},                  // a pair without a key
        {"ACCION=CONSULTA|ACCION=EDITAR", {{"ACCION", "EDITAR"}}},           // the last one holds
        {"ACCION=EDITAR|DATO=A|B", {{"ACCION", "EDITAR"}, {"DATO", "A|B"}}}, // DATO takes the rest, '|' included
        {"ACCION=EDITAR|dato =|A=1|", {{"ACCION", "EDITAR"}, {"DATO", "|A=1|"}}},
        {"", {}},
    };
    for (const auto &[parametros, esperados] : casos)
        EXPECT_EQ(leeParametros(parametros), esperados) << parametros.toStdString();
}

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
              "UPDATE Oportunidad SET Op_Cve_Vendedor = CASE Op_Folio WHEN 'OP-000001' THEN 'V004' WHEN 'OP-000002' "
              "THEN 'V003' ELSE 'V001' END WHERE Op_Folio IN ('OP-000001', 'OP-000002', 'OP-000003')",
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

    template<typename Control = QLineEdit> static Control *en(QWidget *ventana, const char *nombre)
    {
        return ventana->findChild<Control *>(nombre);
    }

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
    const Pruebas::Bitacora registro{"teqvaro.anfitrion"};
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
        EXPECT_EQ(ventanas(abierta->objectName()).size(), 1);
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

// What a screen only shows (its title, a card's fields, a list) shows a character that turns
// the text around as its code, so a folio cannot pass for another ("OP-000001"); a field the
// user edits keeps it, and saving writes the opportunity back under its folio as stored.
TEST_F(Suplentes, whatAScreenOnlyShowsMarksTheCharactersThatTurnTextAroundAndWhatIsEditedKeepsThem)
{
    const QString folio = QString::fromUtf16(u"OP-\u202E100000");
    const QString descripcion = QString::fromUtf16(u"Pago \u2067$10,000,000.00\u2069 \u200F");
    const QString nombre = QString::fromUtf16(u"Ana \u202Dz\u202Aiu\u2066R\u200E");
    base.conexion()->Execute("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, "
                             "Op_Estado_Oportunidad, Es_Cve_Estado) VALUES (?, ?, 'V003', 'PRO', 'AC')",
                             {folio, descripcion});
    base.conexion()->Execute("INSERT INTO Contacto VALUES ('C777', ?, 'ORG01', '', '')", {nombre});
    const QString folioVisto = QString::fromUtf16(u"OP-\u2039U+202E\u203A100000");
    const QString descripcionVista = QString::fromUtf16(u"Pago \u2039U+2067\u203A$10,000,000.00\u2039U+2069\u203A "
                                                        u"\u2039U+200F\u203A");
    const QString nombreVisto = QString::fromUtf16(u"Ana \u2039U+202D\u203Az\u2039U+202A\u203Aiu\u2039U+2066\u203AR"
                                                   u"\u2039U+200E\u203A");
    const QString casos[][4] = {
        // module and parameters; the title; the folio or key field; the description or name field
        {"KLD242 ACCION=CONSULTA|DATO=" + folio, "Oportunidad " + folioVisto, folioVisto, descripcionVista},
        {"KLD300 NUEVO=" + folio, "Oportunidad ganada " + folioVisto, folioVisto, descripcionVista},
        {"KLD242 ACCION=EDITAR|DATO=" + folio, "Editar oportunidad " + folioVisto, folioVisto, descripcion},
        {"KLD215 ACCION=CONSULTA|DATO=C777", QString::fromUtf16(u"Contacto \u2014 ") + nombreVisto, "C777",
         nombreVisto},
    };
    for (const auto &[pedido, titulo, clave, texto] : casos) {
        SCOPED_TRACE(pedido.toStdString());
        QWidget *abierta = abre(pedido.section(' ', 0, 0), pedido.section(' ', 1));
        ASSERT_NE(abierta, nullptr);
        EXPECT_EQ(abierta->windowTitle(), titulo);
        EXPECT_EQ(en(abierta, "txtClave") ? en(abierta, "txtClave")->text() : en(abierta, "txtFolio")->text(), clave);
        EXPECT_EQ(en(abierta, "txtNombre") ? en(abierta, "txtNombre")->text() : en(abierta, "txtDescripcion")->text(),
                  texto);
        if (!pedido.contains("EDITAR")) {
            abierta->close();
            continue;
        }
        en<QDoubleSpinBox>(abierta, "txtMonto")->setValue(10);
        pulsa(*abierta, "cmdGuardar");
        EXPECT_EQ(ventanaAbierta(abierta->objectName()), nullptr);
    }
    EXPECT_EQ(base.valor("SELECT Op_Folio || '|' || Op_Descripcion FROM Oportunidad WHERE Op_Monto = 10"),
              folio + '|' + descripcion);
    QWidget *organizacion = abre("KLD238", "ACCION=CONSULTAR|DATO=ORG01");
    ASSERT_NE(organizacion, nullptr);
    EXPECT_TRUE(muestra(organizacion).contains(nombreVisto + " (C777)")) << muestra(organizacion).toStdString();
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
        EXPECT_TRUE(aviso([&] { pulsa(*forma, "cmdGuardar"); }).startsWith(mensaje));
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
    pulsa(*ganada, "cmdRegistrar");
    EXPECT_EQ(ventanaAbierta(ganada->objectName()), nullptr);
    EXPECT_EQ(fila("Cierre_Oportunidad, Bitacora, Seguimiento WHERE Ci_Folio = 'OP-''9' "
                   "AND Bi_Clave = Ci_Folio AND Bi_Accion = 'Ganada' AND Sg_Clave = Ci_Folio",
                   "Ci_Resultado, Ci_Cve_Causa, Ci_Operador, Sg_Nota"),
              "1||GERENTE|Pedido 'firmado' \\ C:\\n");
    EXPECT_EQ(aviso([&] { abre("KLD300", "NUEVO=OP-'9"); }), "La oportunidad OP-'9 ya fue cerrada como ganada.");
}

// The won registration opens in its notes, right after the date and the amount it asks for
// (today's date and the opportunity's amount, to be corrected). No key typed in a field
// registers: Space and Enter go into the notes, Enter in a field goes on to the next one or
// does nothing; one click registers, without asking again what the board asked.
TEST_F(Suplentes, theWonRegistrationOpensInItsNotesNoKeyInAFieldRegistersAndOneClickDoes)
{
    QWidget *ganada = abre("KLD300", "NUEVO=OP-000003");
    ASSERT_NE(ganada, nullptr);
    activa(*ganada);
    EXPECT_EQ(QApplication::focusWidget(), en<QPlainTextEdit>(ganada, "txtNotas"));
    for (const QPushButton *boton : ganada->findChildren<QPushButton *>()) // none that a key in a field presses
        EXPECT_FALSE(boton->isDefault() || boton->autoDefault()) << boton->objectName().toStdString();
    EXPECT_EQ(en<QDateEdit>(ganada, "dtpCierre")->date(), QDate::currentDate());
    EXPECT_EQ(en<QDoubleSpinBox>(ganada, "txtMonto")->value(),
              base.valor("SELECT Op_Monto FROM Oportunidad WHERE Op_Folio = 'OP-000003'").toDouble());
    const char *casos[][3] = {
        // the field, what is typed in it ("\r" Enter, "\t" Tab), where the focus is then
        {"txtNotas", "Pedido 4500 firmado", "txtNotas"},
        {"txtNotas", "\r", "txtNotas"},
        {"dtpCierre", "\r", "txtMonto"},
        {"txtMonto", "\r", "txtNotas"},
        {"txtMonto", "\t", "txtNotas"},
        {"txtDescripcion", "\r", "txtDescripcion"}, // a field that only shows
    };
    for (const auto &[campo, tecleado, despues] : casos) {
        SCOPED_TRACE(std::string(campo) + " ← " + tecleado);
        auto *donde = ganada->findChild<QWidget *>(campo);
        donde->setFocus();
        QTest::keyClicks(donde, QString::fromUtf8(tecleado));
        EXPECT_EQ(QApplication::focusWidget(), ganada->findChild<QWidget *>(despues));
        EXPECT_EQ(ventanaAbierta("frmOportunidadGanada"), ganada);
    }
    EXPECT_EQ(base.cuenta("Cierre_Oportunidad") + base.cuenta("Seguimiento"), 0);

    en<QDateEdit>(ganada, "dtpCierre")->setDate(QDate(2026, 11, 30));
    en<QDoubleSpinBox>(ganada, "txtMonto")->setValue(4500);
    QSignalSpy dicho(ganada, SIGNAL(accionRealizada(QString)));
    EXPECT_EQ(cajasDurante([&] { pulsa(*ganada, "cmdRegistrar"); }), QStringList());
    EXPECT_EQ(dicho.size(), 1); // the registration, and no word of a cancel as it closes
    EXPECT_EQ(ventanaAbierta("frmOportunidadGanada"), nullptr);
    EXPECT_EQ(fila("Oportunidad, Cierre_Oportunidad, Seguimiento WHERE Op_Folio = 'OP-000003' AND Ci_Folio = "
                   "Op_Folio AND Sg_Clave = Op_Folio",
                   "Op_Monto, Op_Fecha_Cierre_Estimada, Ci_Resultado, Sg_Nota"),
              "4500|2026-11-30|1|Pedido 4500 firmado");

    // Left with Esc, a form registers nothing and says so.
    QWidget *otra = abre("KLD300", "NUEVO=OP-000004");
    QSignalSpy cancelada(otra, SIGNAL(accionRealizada(QString)));
    QTest::keyClick(otra, Qt::Key_Escape);
    EXPECT_EQ(cancelada.value(0).value(0).toString(), "No se registró nada: se canceló «Oportunidad ganada OP-000004»");
}

// Two users on one opportunity, each on a connection of its own. A screen left open while another
// user cancelled or closed the opportunity, or passed it to a salesperson out of reach, says
// why, stays open with what was typed, and writes nothing.
TEST_F(Suplentes, anEditOverAnotherUsersChangeSavesOnlyTheUsersOwnOnTheSecondTryOrSaysWhyItCannot)
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
        aviso([&] { pulsa(*forma, "cmdGuardar"); }).startsWith("Otro usuario modificó la oportunidad OP-000002"));
    EXPECT_EQ(fila("Oportunidad WHERE Op_Folio = 'OP-000002'", columnas),
              "OP-000002|Servidores|C001|CIE|1500.25||SUPERVISOR");
    EXPECT_EQ(en<QLabel>(forma, "lbOtroUsuario")->text(), "Otro usuario cambió esta oportunidad mientras usted la "
                                                          "editaba. Ahora tiene estado: «Cierre inminente (CIE)».");

    // Then a second save writes this user's fields over the other's state, and no date.
    pulsa(*forma, "cmdGuardar");
    EXPECT_EQ(ventanaAbierta(forma->objectName()), nullptr);
    EXPECT_EQ(fila("Oportunidad WHERE Op_Folio = 'OP-000002'", columnas),
              "OP-000002|Servidores 'y' \\ licencias||CIE|1750||GERENTE");
    EXPECT_EQ(fila("Bitacora", "COUNT(*), MAX(Bi_Accion)"), "1|Modificación");

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
        EXPECT_TRUE(aviso([&] { pulsa(*abierta, ganada ? "cmdRegistrar" : "cmdGuardar"); }).startsWith(mensaje));
        EXPECT_EQ(ventanaAbierta(abierta->objectName()), abierta);
        EXPECT_EQ(en(abierta, "txtDescripcion")->text(), "Otra");
        abierta->close();
    }
    EXPECT_EQ(fila("Cierre_Oportunidad", "COUNT(*), MIN(Ci_Resultado), MAX(Ci_Resultado)"), "2|1|2");
    EXPECT_EQ(base.cuenta("Oportunidad", "Op_Descripcion = 'Otra'") + base.cuenta("Bitacora"), 1); // the edit's
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
    en(forma, "txtDescripcion")->setText("Nueva"); // for the salesperson's own, as the form proposes
    elige(forma, "cboEstado", "NEG");
    pulsa(*forma, "cmdGuardar");
    forma = abre("KLD242", "ACCION=EDITAR|DATO=OP-000001");
    ASSERT_NE(forma, nullptr);
    en(forma, "txtDescripcion")->setText("Editada");
    pulsa(*forma, "cmdGuardar");
    QWidget *ganada = abre("KLD300", "NUEVO=OP-000001");
    ASSERT_NE(ganada, nullptr);
    pulsa(*ganada, "cmdRegistrar");
    EXPECT_NE(abre("KLD215", "ACCION=CONSULTA|DATO=C001"), nullptr);

    EXPECT_EQ(base.valor("SELECT string_agg(Op_Folio || ':' || Op_Descripcion, ' ' ORDER BY Op_Folio) FROM "
                         "Oportunidad WHERE Op_Folio IN ('OP-900', 'OP-000001')"),
              "OP-000001:Editada OP-900:Nueva");
    EXPECT_EQ(base.valor("SELECT string_agg(Bi_Accion || ':' || Bi_Operador, ' ' ORDER BY Bi_Accion) FROM Bitacora"),
              "Alta:VENDEDOR Ganada:VENDEDOR Modificación:VENDEDOR Modificación:VENDEDOR");
}

const QString Tablero = "KLD251.Pantalla";

class VentanaConTablero : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(Runtime::ComponentLoader::registerLibrary(KLD251_BIBLIOTECA), Runtime::ResultCode::Ok);
    }

    void SetUp() override
    {
        Datos::cargaDemo(*base.conexion(), 5);
        // No automatic reload while a test runs: each reload here is one the test caused.
        base.ejecuta("UPDATE Variable SET Va_Valor = '30000' WHERE Va_Nombre = 'CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES'");
        Runtime::saveSetting("KLD251", "Settings", "VISTA", "0");
        Servicios::estableceOperador(operador);
        modulos = std::make_unique<Modulos>();
        ventana = std::make_unique<VentanaPrincipal>(*modulos, operador);
        tablero = ventana->abreModulo(Tablero);
        ventana->show();
        activa(*ventana);
    }

    void TearDown() override
    {
        ventana.reset();
        modulos.reset();
        // A window closed here saved its geometry, an export its folder.
        for (const char *ajustes : {"teqvaro", "Servicios"})
            QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                          + QString("/Teqvaro/%1.ini").arg(ajustes));
    }

    Kit::ListView &lista() const { return *tablero->findChild<Kit::ListView *>("lvOrdenes"); }

    QStringList folios() const { return Pruebas::columna(lista()); }

    // The entries of a window's menu as the user opens it, separators left out; their texts;
    // the one with that text.
    static QList<QAction *> entradas(const QWidget &deLaVentana, const char *nombre)
    {
        auto *menu = deLaVentana.findChild<QMenu *>(nombre);
        Q_EMIT menu->aboutToShow();
        QList<QAction *> acciones = menu->actions();
        acciones.removeIf([](const QAction *accion) { return accion->isSeparator(); });
        return acciones;
    }
    QStringList textos(const char *menu) const
    {
        QStringList leidos;
        for (const QAction *accion : entradas(*ventana, menu))
            leidos << accion->text();
        return leidos;
    }
    QAction *entrada(const char *menu, const QString &texto) const
    {
        const qsizetype indice = textos(menu).indexOf(texto); // before the entries it rebuilds
        return entradas(*ventana, menu).value(indice);
    }

    void eligeDeLista(const char *accion) const
    {
        entradas(*ventana, "menuLista");
        ventana->findChild<QAction *>(accion)->trigger();
    }

    void pulsaEnElTablero(const char *boton, bool contestaSi = false) const
    {
        if (contestaSi)
            Pruebas::alAparecer("Mensaje", [](QWidget &pregunta) { pulsa(pregunta, "cmdSi"); });
        tablero->findChild<QToolButton *>(boton)->click();
    }

    QString barra(const char *etiqueta) const { return ventana->findChild<QLabel *>(etiqueta)->text(); }

    const QString operador = "GERENTE";
    Pruebas::BaseDePrueba base;
    std::unique_ptr<Modulos> modulos;
    std::unique_ptr<VentanaPrincipal> ventana;
    QWidget *tablero = nullptr;
};

// The board loads on its first activation, and reloads on returning from one of the host's
// screens (here the new opportunity the board asked for, registered there) but not from
// another program; the status bar says whose board it is, what the list holds, and each
// action's outcome in words.
TEST_F(VentanaConTablero, theBoardLoadsAndReloadsOnReturnFromTheHostsScreensAndTheStatusBarTellsWhatItShows)
{
    EXPECT_EQ(folios(), (QStringList{"OP-000001", "OP-000002", "OP-000003", "OP-000004", "OP-000005"}));
    EXPECT_EQ(ventana->findChild<QLabel *>("lbBaseDeDatos")->toolTip(),
              "Base de datos: " + base.direccion().toDisplayString());
    EXPECT_EQ(barra("lbOperador"), "Operador: GERENTE · Vendedor: V001");
    const Ado::DatabaseAddress &direccion = base.direccion();
    EXPECT_EQ(ventana->windowTitle(),
              "Teqvaro — GERENTE · "
                  + (direccion.engine == Ado::Engine::SQLite ? QFileInfo(direccion.path).fileName()
                                                             : direccion.database + " en " + direccion.host));
    EXPECT_EQ(barra("lbUltimaAccion"), "Se abrió «Control de oportunidades»");
    EXPECT_EQ(lista().emptyText(), "No hay oportunidades en esta vista"); // shown when a view has none
    const auto contenido = [this] {
        const QString suma = "SELECT SUM(Op_Monto) FROM Oportunidad WHERE Op_Folio IN ('" + folios().join("','") + "')";
        const QString total = Runtime::formatAmount(base.valor(suma).toDouble());
        return QString("%1 oportunidades · %2 en total").arg(folios().size()).arg(total);
    };
    QTest::qWait(1); // the contents are summed once the reload's changes have settled
    EXPECT_EQ(barra("lbContenido"), contenido());

    lista().selectItem(2);
    pulsaEnElTablero("imgCancelar", true);
    QTest::qWait(1);
    EXPECT_EQ(barra("lbUltimaAccion"), "Oportunidad OP-000002 cancelada");
    EXPECT_EQ(barra("lbContenido"), contenido());
    EXPECT_TRUE(ventana->findChild<QLabel *>("lbConexion")->isHidden());

    // A reload that changes one amount reads only that row again.
    base.ejecuta("UPDATE Oportunidad SET Op_Monto = Op_Monto + 1000.25 WHERE Op_Folio = '" + lista().itemText(1) + "'");
    QTest::keyClick(&lista(), Qt::Key_F5);
    QTest::qWait(1);
    EXPECT_EQ(barra("lbContenido"), contenido());

    base.ejecuta("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Estado_Oportunidad, "
                 "Es_Cve_Estado) VALUES ('OP-000900', 'Nueva', 'V003', 'PRO', 'AC')");
    Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
    QApplication::setActiveWindow(nullptr);
    Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
    activa(*ventana);
    EXPECT_FALSE(folios().contains("OP-000900"));

    pulsaEnElTablero("imgNuevo");
    QWidget *forma = ventanaAbierta("frmKLD242");
    ASSERT_NE(forma, nullptr);
    forma->findChild<QLineEdit *>("txtFolio")->setText("OP-000777");
    forma->findChild<QLineEdit *>("txtDescripcion")->setText("Póliza de soporte");
    auto *estado = forma->findChild<QComboBox *>("cboEstado");
    estado->setCurrentIndex(estado->findData("PRE"));
    activa(*forma);
    pulsa(*forma, "cmdGuardar");
    EXPECT_EQ(ventanaAbierta("frmKLD242"), nullptr);
    EXPECT_EQ(barra("lbUltimaAccion"), "Oportunidad OP-000777 registrada");
    activa(*ventana);
    EXPECT_TRUE(folios().contains("OP-000900") && folios().contains("OP-000777"));
}

// The menus list the modules and the open windows, which the board's exit closes. The Lista menu
// acts on the board's list without a selected row (nothing without a list); the export suggests
// a file named after the view and the day, in the last export's folder; a file that cannot be
// written is explained.
TEST_F(VentanaConTablero, theMenusListTheModulesAndWindowsTheListMenuActsAndExportsAndTheExitClosesAll)
{
    const QString otro = "KLD777.Pantalla";
    Runtime::ComponentRegistry().registerClass(otro, Runtime::Registration{"/no/existe/KLD777.so", "Pantalla"});
    const QString control = "Control de oportunidades";
    EXPECT_EQ(textos("menuModulos"), (QStringList{control, otro, "&Salir"}));
    EXPECT_TRUE(entrada("menuModulos", control)->isChecked());
    EXPECT_EQ(entrada("menuModulos", control)->toolTip(), Tablero);

    // A module that cannot be loaded is explained and the host goes on.
    const QString dicho = aviso([&] { entrada("menuModulos", otro)->trigger(); });
    EXPECT_TRUE(dicho.startsWith("No se pudo abrir el módulo KLD777.Pantalla. · ")) << dicho.toStdString();
    EXPECT_TRUE(ventana->isVisible());
    Runtime::ComponentRegistry().unregisterClass(otro);

    ventana->anfitrion()->transacciones("KLD215", "ACCION=CONSULTA|DATO=C001");
    ventana->anfitrion()->transacciones("KLD242", "ACCION=CONSULTA|DATO=OP-000002");
    const QStringList abiertas{"Control de oportunidades", "Contacto — María Fernández", "Oportunidad OP-000002"};
    EXPECT_EQ(textos("menuVentana"), abiertas);

    // Choosing a window brings it to the front, as choosing the module does for its screen.
    entrada("menuVentana", abiertas.at(1))->trigger();
    EXPECT_TRUE(QTest::qWaitForWindowActive(ventanaAbierta("frmKLD215"), 1000));
    entrada("menuModulos", control)->trigger();
    EXPECT_TRUE(QTest::qWaitForWindowActive(ventana.get(), 1000));
    EXPECT_EQ(modulos->cargada(Tablero), tablero);

    // Each entry enabled (+) or not (-): export, copy, summary, fit the columns.
    const auto habilitadas = [](const VentanaPrincipal &v) {
        QString marcas;
        for (const QAction *accion : entradas(v, "menuLista"))
            marcas += accion->isEnabled() ? '+' : '-';
        return marcas;
    };
    lista().clearSelection();
    EXPECT_EQ(habilitadas(*ventana), "+++++"); // the last one, the quick filter, always
    VentanaPrincipal sinPantalla(*modulos, operador);
    EXPECT_EQ(habilitadas(sinPantalla), "----+");
    QGuiApplication::clipboard()->clear();
    eligeDeLista("accCopiarFilas");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), Servicios::AccionesLista::textoTabulado(lista()));

    const QString hoy = QDate::currentDate().toString("yyyy-MM-dd");
    QTemporaryDir carpeta;
    const auto exporta = [&](const QString &archivo) {
        QString sugerido;
        Pruebas::alAparecer("dlgExportarCsv", [&](QWidget &ventanaDelDialogo) {
            auto &dialogo = static_cast<QFileDialog &>(ventanaDelDialogo);
            sugerido = dialogo.selectedFiles().value(0);
            dialogo.selectFile(carpeta.filePath(archivo));
            QMetaObject::invokeMethod(&dialogo, "accept");
        });
        eligeDeLista("accExportarCsv");
        return QFileInfo(sugerido);
    };
    const std::pair<QString, QString> casos[] = {
        // the view as the board named it, none, and one with signs a file name cannot hold
        {lista().exportName(), "oportunidades-todos-%1.csv"},
        {QString(), "oportunidades-%1.csv"},
        {"Abiertas / Mes: ¿Año?", "oportunidades-abiertas-mes-año-%1.csv"},
    };
    for (const auto &[vista, archivo] : casos) {
        lista().setExportName(vista);
        EXPECT_EQ(exporta(archivo.arg(hoy)).fileName(), archivo.arg(hoy));
        EXPECT_EQ(barra("lbUltimaAccion"),
                  QString("Se exportaron %1 filas a %2").arg(folios().size()).arg(carpeta.filePath(archivo.arg(hoy))));
    }
    EXPECT_TRUE(aviso([&] {
                    EXPECT_EQ(exporta("no/existe/lista.csv").absolutePath(),
                              QFileInfo(carpeta.path()).absoluteFilePath());
                }).startsWith("No se pudo completar «Exportar a CSV…»."));

    // The board's exit closes the main window and its windows; the board's close handler ran:
    // it remembered the view.
    tablero->findChild<Kit::cbZel *>("cboVistas")->setIndice(1);
    pulsaEnElTablero("salir");
    EXPECT_FALSE(ventana->isVisible() || tablero->isVisible());
    EXPECT_EQ(ventanas("frmKLD215").size() + ventanas("frmKLD242").size(), 0);
    EXPECT_EQ(Runtime::getSetting("KLD251", "Settings", "VISTA", QString()), "1");
}

// Ctrl+F opens the quick filter over the board's list: typing narrows the rows shown and the
// line says how many of all; a reload keeps it (a new row that matches shows) and the board
// counts every row as before; Esc shows them all again and gives the list the focus.
TEST_F(VentanaConTablero, theQuickFilterNarrowsTheRowsShownThroughReloadsAndEscShowsThemAll)
{
    activa(*ventana);
    QTest::keyClick(ventana.get(), Qt::Key_F, Qt::ControlModifier);
    BarraDeFiltro &filtro = ventana->barraDeFiltro();
    auto *linea = filtro.findChild<QLineEdit *>("txtFiltro");
    ASSERT_TRUE(filtro.isVisible());
    EXPECT_TRUE(linea->hasFocus());
    QTest::keyClicks(linea, "op-000002");
    EXPECT_EQ(std::pair(lista().shownItemCount(), filtro.cuenta()), std::pair(1, QString("1 de 5")));

    base.ejecuta("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Estado_Oportunidad, "
                 "Es_Cve_Estado) VALUES ('OP-0000021', 'Nueva', 'V003', 'PRO', 'AC')");
    QTest::keyClick(&lista(), Qt::Key_F5);
    QTest::qWait(1);
    EXPECT_EQ(std::pair(lista().shownItemCount(), filtro.cuenta()), std::pair(2, QString("2 de 6")));
    EXPECT_TRUE(barra("lbContenido").startsWith("6 oportunidades")) << barra("lbContenido").toStdString();

    QTest::keyClick(linea, Qt::Key_Down);
    EXPECT_EQ(std::pair(lista().hasFocus(), lista().shownItemCount()), std::pair(true, 2));
    linea->setFocus();
    QTest::keyClick(linea, Qt::Key_Escape);
    EXPECT_EQ(std::tuple(filtro.isVisible(), lista().shownItemCount(), lista().hasFocus()), std::tuple(false, 6, true));
    EXPECT_EQ(lista().quickFilter(), QString());
}

// The window comes back as it was left, always inside the screen (a rectangle is shrunk and moved
// inside the area); the first time, at most 1100 × 700, centred. At the window's least width the
// board's view, count and search stay side by side, readable, also when the count grows after a
// reload; the toolbar is never cut. (Wider, the board's own layout: its own tests.)
TEST_F(VentanaConTablero, theWindowComesBackInsideTheScreenAndAtItsLeastWidthTheBoardStaysReadable)
{
    const QRect pantalla = QGuiApplication::primaryScreen()->availableGeometry();
    const auto reabierta = [this](const std::function<void(VentanaPrincipal &)> &deja) {
        VentanaPrincipal anterior(*modulos, operador);
        anterior.show();
        deja(anterior);
        anterior.close();
        return std::make_unique<VentanaPrincipal>(*modulos, operador);
    };
    EXPECT_TRUE(pantalla.contains(ventana->frameGeometry()));
    EXPECT_TRUE(ventana->width() <= 1100 && ventana->height() <= 700) << ventana->width() << "×" << ventana->height();
    EXPECT_NEAR(ventana->frameGeometry().center().x(), pantalla.center().x(), 2);

    const QRect dejada(pantalla.topLeft() + QPoint(30, 40), QSize(700, 460));
    EXPECT_EQ(reabierta([&](QWidget &v) { v.setGeometry(dejada); })->geometry(), dejada);
    const auto fuera = reabierta([](QWidget &v) { v.setGeometry(-3000, -2000, 4000, 3000); });
    fuera->show();
    EXPECT_TRUE(pantalla.contains(fuera->frameGeometry()));
    const auto maximizada = reabierta([](QWidget &v) { v.showMaximized(); });
    EXPECT_TRUE(maximizada->isMaximized() && pantalla.contains(maximizada->normalGeometry()));
    maximizada->show();
    EXPECT_TRUE(pantalla.contains(maximizada->frameGeometry()));

    const std::pair<QRect, QRect> casos[] = {
        {QRect(10, 20, 300, 200), QRect(10, 20, 300, 200)},
        {QRect(700, 550, 300, 200), QRect(500, 400, 300, 200)},
        {QRect(-50, -60, 1200, 900), QRect(0, 0, 800, 600)},
        {QRect(5000, 5000, 100, 100), QRect(700, 500, 100, 100)},
    };
    for (const auto &[deseado, esperado] : casos)
        EXPECT_EQ(GeometriaVentana::dentroDe(deseado, QRect(0, 0, 800, 600)), esperado) << deseado.x();

    ventana->resize(300, 200);
    EXPECT_EQ(ventana->width(), GeometriaVentana::TamanoMinimo.width());
    auto *cuenta = tablero->findChild<QLabel *>("lbOrdenes");
    const QWidget *vista = tablero->findChild<QWidget *>("cboVistas");
    const QWidget *busqueda = tablero->findChild<QWidget *>("txtBuscar");
    for (const int alto : {500, 600}) {
        cuenta->setText(alto == 500 ? "5 Oportunidades" : "1000000 Oportunidades");
        cuenta->adjustSize();
        ventana->resize(GeometriaVentana::TamanoMinimo.width(), alto);
        QCoreApplication::processEvents();
        EXPECT_LT(vista->geometry().right(), cuenta->x());
        EXPECT_LT(cuenta->geometry().right(), busqueda->x());
        EXPECT_TRUE(vista->width() >= 80 && busqueda->width() >= 60) << vista->width() << ", " << busqueda->width();
        EXPECT_GE(tablero->findChild<QWidget *>("Controles")->width(), tablero->width());
    }

    // At that width the status bar shows the last action whole, the other parts giving up
    // their room; a part cut short ends in "…" and holds its text in its tooltip.
    const auto parte = [this](const char *nombre) { return ventana->findChild<QLabel *>(nombre); };
    const auto entera = [](const QLabel *etiqueta) {
        return etiqueta->contentsRect().width() >= etiqueta->fontMetrics().horizontalAdvance(etiqueta->text());
    };
    const QString larga = "Oportunidad OP-000002 cancelada; " + QString("se avisó al vendedor ").repeated(6);
    for (const QString &accion : {QString("Se abrió «Control de oportunidades»"), larga}) {
        ventana->anotaAccion(accion);
        QCoreApplication::processEvents();
        const QLabel *ultima = parte("lbUltimaAccion");
        EXPECT_EQ(std::tuple(ultima->text(), entera(ultima), ultima->toolTip()),
                  std::tuple(accion, accion != larga, accion == larga ? accion : QString()));
        for (const char *otra : {"lbContenido", "lbOperador", "lbBaseDeDatos"}) {
            EXPECT_GE(parte(otra)->width(), parte(otra)->fontMetrics().averageCharWidth() * 5) << otra;
            if (!entera(parte(otra)) && otra != std::string("lbBaseDeDatos")) {
                EXPECT_EQ(parte(otra)->toolTip(), parte(otra)->text()) << otra;
            }
        }
    }
    EXPECT_LE(ventana->findChild<QWidget *>("barraDeEstado")->width(), GeometriaVentana::TamanoMinimo.width());
}

// Qt's own buttons and dialogs speak Spanish once the host loads Qt's translations, with the
// words Mexico uses where Spain's differ ("archivo", not "fichero"), and Qt's own where not.
TEST(Traducciones, qtsOwnButtonsAndDialogsSpeakMexicanSpanish)
{
    const QLocale antes;
    ASSERT_TRUE(instalaTraducciones(*qApp));
    const auto deja = qScopeGuard([&] {
        qDeleteAll(qApp->findChildren<QTranslator *>()); // each uninstalls itself
        QLocale::setDefault(antes);
    });
    const QDialogButtonBox botones(QDialogButtonBox::Cancel);
    EXPECT_EQ(botones.buttons().value(0)->text().remove('&') + ' ' + QLocale().name(), "Cancelar es_MX");

    QFileDialog dialogo(nullptr, "Exportar a CSV", QString(), "Archivos CSV (*.csv)");
    dialogo.setOption(QFileDialog::DontUseNativeDialog);
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    QStringList rotulos;
    for (const char *nombre : {"fileNameLabel", "fileTypeLabel", "lookInLabel"})
        rotulos << dialogo.findChild<QLabel *>(nombre)->text().remove('&');
    EXPECT_EQ(rotulos, (QStringList{"Nombre de archivo:", "Archivos de tipo:", "Ver en:"}));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "All Files (*)"), "Todos los archivos (*)");
}

} // namespace
