// The teqvaro program run as a user runs it, each test in a user account of its own: help
// without a display, first starts racing each other, signing in, a message at load and a
// server down at start in a run that has nobody to answer it; the set-up commands: a new
// password typed at a terminal, preparing a new database, bringing an older schema up to date.
#include "basedeprueba.h"
#include "errores.h"

#include "conexioninicial.h"
#include "ingreso.h"
#include "lecturacontrasena.h"

#include "ado/connection.h"
#include "ado/session.h"
#include "datos/demo.h"
#include "datos/derechos.h"
#include "datos/preparacion.h"
#include "datos/version.h"
#include "servicios/contrasenavendedor.h"
#include "servicios/usuarios.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

const QString contrasena = "Clave'1234"; // an operator's, as typed

// How a run of the program ended: its exit code, or -1 when it crashed or hung.
struct Fin
{
    int codigo = -1;
    QString salida;
    QString errores;
};

class Programa : public testing::Test
{
protected:
    Programa()
    {
        entorno.insert("HOME", cuenta.path());
        entorno.insert("XDG_CONFIG_HOME", cuenta.filePath("config"));
        entorno.insert("XDG_DATA_HOME", cuenta.filePath("data"));
        entorno.insert("TEQVARO_REGISTRO", cuenta.filePath("config/Teqvaro/componentes.ini"));
        entorno.remove("TEQVARO_CLAVE");
    }

    std::unique_ptr<QProcess> inicia(const QStringList &argumentos, const QByteArray &entrada = {}) const
    {
        auto proceso = std::make_unique<QProcess>();
        proceso->setProcessEnvironment(entorno);
        proceso->start(TEQVARO_PROGRAMA, argumentos);
        proceso->write(entrada);
        proceso->closeWriteChannel();
        return proceso;
    }

    static Fin espera(QProcess &proceso)
    {
        const bool termino = proceso.waitForFinished(60000); // else killed once destroyed
        return {termino && proceso.exitStatus() == QProcess::NormalExit ? proceso.exitCode() : -1,
                QString::fromUtf8(proceso.readAllStandardOutput()), QString::fromUtf8(proceso.readAllStandardError())};
    }

    Fin ejecuta(const QStringList &argumentos, const QByteArray &entrada = {}) const
    {
        return espera(*inicia(argumentos, entrada));
    }

    QString demo() const { return cuenta.filePath("data/Teqvaro/demo.db"); }

    QTemporaryDir cuenta;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
};

TEST_F(Programa, helpAndVersionAnswerWithoutADisplay)
{
    for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        entorno.remove(variable);
    const std::pair<QStringList, QString> casos[] = {{{"--help"}, "--pon-contrasena <vendedor>"},
                                                     {{"--bd", "sqlite:/no/existe.db", "-h"}, "--screenshot"},
                                                     {{"--version"}, "teqvaro "}};
    for (const auto &[argumentos, esperado] : casos) {
        const Fin fin = ejecuta(argumentos);
        EXPECT_EQ(fin.codigo, 0) << fin.errores.toStdString();
        EXPECT_TRUE(fin.salida.contains(esperado)) << fin.salida.toStdString();
    }
}

// The demo database is SQLite's alone.
using ProgramaSQLite = Programa;

// Hosts started at once on a fresh account (or after a start that left a broken demo behind)
// agree on one complete demo database.
TEST_F(ProgramaSQLite, hostsStartedTogetherShareOneCompleteDemoDatabase)
{
    ASSERT_EQ(ejecuta({"--registra", KLD251_BIBLIOTECA}).codigo, 0);
    const auto captura = [this](int numero) {
        return QStringList{"--screenshot", cuenta.filePath(QString("%1.png").arg(numero))};
    };
    const auto ponContrasena = [](int numero) { return QStringList{"--pon-contrasena", QString("V00%1").arg(numero)}; };
    const std::tuple<const char *, std::function<void()>, std::function<QStringList(int)>> casos[] = {
        {"una cuenta nueva", [] {}, captura},
        {"una base vacía y la construcción a medias de un arranque interrumpido",
         [this] {
             QFile(demo()).open(QIODevice::WriteOnly | QIODevice::Truncate);
             QFile(demo() + ".nueva").open(QIODevice::WriteOnly);
         },
         captura},
        {"contraseñas puestas a la vez", [] {}, ponContrasena},
    };
    constexpr int procesos = 3;
    for (const auto &[situacion, prepara, argumentos] : casos) {
        SCOPED_TRACE(situacion);
        prepara();
        std::vector<std::unique_ptr<QProcess>> iniciados;
        for (int numero = 1; numero <= procesos; ++numero)
            iniciados.push_back(inicia(argumentos(numero), QString("clave %1 nueva\n").arg(numero).toUtf8()));
        for (const auto &proceso : iniciados) {
            const Fin fin = espera(*proceso);
            EXPECT_EQ(fin.codigo, 0) << fin.errores.toStdString();
        }
        EXPECT_EQ(QDir(QFileInfo(demo()).path()).entryList({"*.nueva*"}, QDir::Files), QStringList());
    }

    // Every password set at once is in the one demo database.
    Ado::Connection conexion(Ado::DatabaseAddress::parse("sqlite:" + demo()));
    for (int numero = 1; numero <= procesos; ++numero)
        EXPECT_EQ(Servicios::revisaContrasenaDeVendedor(conexion, QString("V00%1").arg(numero),
                                                        QString("clave %1 nueva").arg(numero)),
                  Servicios::RevisionDeContrasena::Coincide);
}

// A run without a display signs in with the first line of standard input: outside the demo
// database nobody gets in without their password, and every refusal says the same. A module
// nobody registered is named. A message at load (while the screen loads, or at its first
// activation), or a dialog that waits for the user, has nobody to answer it: it goes to
// standard error, is drawn into the capture, and the run ends with a failure. Every command, as every start, first brings a database from
// before schema versions up to date, and refuses one that a newer program has changed.
TEST_F(Programa, aHeadlessRunSignsInOnlyWithThePasswordAndEndsWithAFailureOnAMessage)
{
    ASSERT_EQ(ejecuta({"--registra", KLD251_BIBLIOTECA}).codigo, 0);
    Pruebas::BaseDePrueba base;
    Datos::cargaDemo(*base.conexion(), 5);
    for (const char *tabla : {"Version_Esquema", "Operador_Contrasena", "Vendedor_Contrasena"})
        base.ejecuta(QString("DROP TABLE ") + tabla);
    const QByteArray clave = contrasena.toUtf8() + '\n';
    for (const char *operador : {"gerente", "ADMIN"}) {
        const Fin puesta = ejecuta({"--bd", base.url(), "--pon-contrasena-operador", operador}, clave);
        ASSERT_EQ(puesta.codigo, 0) << puesta.errores.toStdString();
    }
    const QString imagen = cuenta.filePath("tablero.png");
    const QString rechazo = Ingreso::rechazo();
    const QString nueva = QString::number(Datos::versionDelPrograma() + 1);
    const std::tuple<QString, QByteArray, QString, QString, QString> casos[] = {
        // the operator, standard input, a change to the database first, the option, what standard error says
        {"gerente", clave, "", "--screenshot", {}},
        {"CAPTURISTA", "\n", "", "--screenshot", rechazo}, // the demo's operators have no password: not here
        {"GERENTE", clave, "", "--modulo KLD999.Pantalla --mide-arranque", "KLD999.Pantalla"},
        {"ADMIN", clave, "", "--mide-arranque", "(«Login»), y nadie puede darlos"}, // no salesperson of his own
        {"GERENTE", clave, "DROP TABLE Consulta", "--mide-arranque", "Consulta"},   // at the first activation
        {"GERENTE", clave, "", "--screenshot", "Consulta"},
        {"GERENTE", clave, "DROP TABLE Variable", "--screenshot", "Variable"}, // before the window shows
        {"GERENTE", "", "UPDATE Version_Esquema SET Ve_Version = " + nueva, "--actualiza-esquema",
         "versión " + nueva + " del esquema"},
    };
    for (const auto &[operador, entrada, cambio, opcion, dice] : casos) {
        SCOPED_TRACE((operador + " " + QString::fromUtf8(entrada) + " «" + cambio + "» " + opcion).toStdString());
        if (!cambio.isEmpty())
            base.ejecuta(cambio);
        QFile::remove(imagen);
        QStringList argumentos = QStringList{"--bd", base.url(), "--operador", operador} + opcion.split(' ');
        if (opcion == "--screenshot")
            argumentos << imagen;
        const Fin fin = ejecuta(argumentos, entrada);
        EXPECT_EQ(fin.codigo, dice.isEmpty() ? 0 : 1) << fin.errores.toStdString();
        EXPECT_TRUE(fin.errores.contains(dice, Qt::CaseInsensitive)) << fin.errores.toStdString();
        EXPECT_EQ(fin.errores.contains(rechazo), dice == rechazo) << fin.errores.toStdString();
        if (!dice.isEmpty() && dice != rechazo && argumentos.contains(imagen)) {
            // The box is drawn over the window with the title bar the capture gives every window.
            const QImage captura = QImage(imagen).convertToFormat(QImage::Format_RGB32);
            const auto *pixeles = reinterpret_cast<const QRgb *>(captura.constBits());
            EXPECT_GT(std::count(pixeles, pixeles + captura.sizeInBytes() / 4, qRgb(0x3C, 0x4A, 0x5C)), 1000);
        }
    }
}

// Why a first connection failed, read from what the client library and the server say (in
// English or, with their translations, in Spanish; verbose texts by their SQLSTATE).
TEST(ConexionInicial, theCauseOfAFailedConnectionReadsInPlainWords)
{
    const QString rechazo = "el servidor no acepta conexiones en esa dirección y puerto";
    const QString nombre = "no se encontró el servidor con ese nombre";
    const QString tiempo = "el servidor no respondió a tiempo";
    const QString usuario = "el usuario o la contraseña no son válidos";
    const QString base = "la base de datos no existe";
    const std::pair<QString, QString> casos[] = {
        {"connection to server at \"127.0.0.1\", port 1 failed: Connection refused\n\tIs the server running on that "
         "host and accepting TCP/IP connections?",
         rechazo},
        {"falló la conexión al servidor en «127.0.0.1», puerto 1: Conexión rehusada", rechazo},
        {"could not translate host name \"bd.invalid\" to address: Name or service not known", nombre},
        {"could not translate host name \"bd\" to address: Temporary failure in name resolution", nombre},
        {"no se pudo traducir el nombre «bd» a una dirección: Nombre o servicio desconocido", nombre},
        {"connection to server at \"10.9.9.9\", port 5432 failed: timeout expired", tiempo},
        {"connection to server at \"10.9.9.9\", port 5432 failed: Connection timed out", tiempo},
        {"el servidor no respondió a tiempo", tiempo},
        {"connection to server at \"10.9.9.9\", port 5432 failed: No route to host",
         "la red no llega hasta el servidor"},
        {"connection to server at \"127.0.0.1\", port 5432 failed: FATAL:  password authentication failed for user "
         "\"ana\"",
         usuario},
        {"FATAL:  28P01: la autentificación password falló para el usuario «ana»", usuario},
        {"fe_sendauth: no password supplied", usuario},
        {"FATAL:  role \"ana\" does not exist", usuario},
        {"FATAL:  database \"kld\" does not exist", base},
        {"FATAL:  no existe la base de datos «kld»", base},
        {"FATAL:  the database system is starting up", "el servidor está arrancando o deteniéndose"},
        {"FATAL:  57P03: el sistema de base de datos está apagándose", "el servidor está arrancando o deteniéndose"},
        {"SSL error: certificate verify failed", "la comunicación con el servidor falló"},
    };
    for (const auto &[texto, motivo] : casos)
        EXPECT_EQ(ConexionInicial::motivo(texto), motivo) << texto.toStdString();
}

// The server down at start with nobody to answer a box, whether the address names its user, the
// operator signs in as their own user, or a command acts on the database; and a server that is
// there but has no such database, which it says only once the operator's password is right:
// the run says which server and why in plain words, and ends with a failure.
using ProgramaPostgreSQL = Programa;
TEST_F(ProgramaPostgreSQL, aServerDownAtStartIsSaidInPlainWordsAndAHeadlessRunEnds)
{
    const Pruebas::BaseDePrueba base;
    const QString rol = Servicios::rolDeOperador("arranque_sin_base", "GERENTE");
    base.ejecuta("CREATE ROLE \"" + rol + "\" LOGIN PASSWORD 'clave1234'");
    const auto quita = qScopeGuard([&] { base.ejecuta("DROP ROLE \"" + rol + "\""); });
    const QString sinBase =
        QString("postgresql://%1:%2/arranque_sin_base").arg(base.direccion().host).arg(base.direccion().port);
    const QString conUsuario = "postgresql://kld@127.0.0.1:1/kld251";
    const QString sinUsuario = "postgresql://127.0.0.1:1/kld251";
    const QString rechazo = "el servidor no acepta conexiones en esa dirección y puerto";
    const std::tuple<QStringList, QByteArray, QString> casos[] = {
        {{"--bd", conUsuario, "--screenshot", cuenta.filePath("tablero.png")}, "", rechazo},
        {{"--bd", sinUsuario, "--operador", "GERENTE", "--mide-arranque"}, "", rechazo},
        {{"--bd", sinUsuario, "--operador", "GERENTE", "--actualiza-esquema"}, "", rechazo},
        {{"--bd", sinBase, "--operador", "GERENTE", "--mide-arranque"}, "clave1234\n", "la base de datos no existe"},
    };
    for (const auto &[argumentos, entrada, motivo] : casos) {
        const Fin fin = ejecuta(argumentos, entrada);
        EXPECT_EQ(fin.codigo, 1) << argumentos.join(' ').toStdString();
        EXPECT_TRUE(
            fin.errores.contains("No se pudo conectar con la base de datos " + argumentos[1] + ": " + motivo + "."))
            << fin.errores.toStdString();
    }
}

// A new password typed at a terminal: asked twice, never echoed, refused when the two differ.
struct Lectura
{
    QString leida;
    int error = 0;
    QByteArray eco;       // what the terminal showed back of what was typed
    QByteArray preguntas; // what the program asked
};

// Reads the password from a terminal whose keyboard types each line once the program has
// asked for it (a question ends in ": ").
Lectura leeEnTerminal(const QList<QByteArray> &lineas)
{
    int teclado = -1;
    int programa = -1;
    int preguntas[2] = {-1, -1};
    EXPECT_EQ(openpty(&teclado, &programa, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(pipe(preguntas), 0);
    std::FILE *entrada = fdopen(programa, "r");
    std::FILE *avisos = fdopen(preguntas[1], "w");
    Lectura lectura;
    std::thread tecleo([&] {
        for (const QByteArray &linea : lineas) {
            char anterior = 0;
            char caracter = 0;
            while (::read(preguntas[0], &caracter, 1) == 1 && !(anterior == ':' && caracter == ' ')) {
                lectura.preguntas += caracter;
                anterior = caracter;
            }
            EXPECT_EQ(::write(teclado, linea.constData(), size_t(linea.size())), linea.size());
        }
    });
    lectura.error = Pruebas::errorDe([&] { lectura.leida = leeContrasenaNueva("del vendedor V001", entrada, avisos); });
    std::fclose(avisos);
    tecleo.join();
    fcntl(teclado, F_SETFL, O_NONBLOCK);
    char eco[256];
    lectura.eco = QByteArray(eco, std::max<ssize_t>(::read(teclado, eco, sizeof eco), 0));
    std::fclose(entrada);
    ::close(teclado);
    ::close(preguntas[0]);
    return lectura;
}

TEST(LecturaDeContrasena, fromATerminalItAsksTwiceWithoutEchoAndRefusesTwoThatDiffer)
{
    const Lectura iguales = leeEnTerminal({"Clave'1\n", "Clave'1\n"});
    const Lectura distintas = leeEnTerminal({"Clave'1\n", "Clave'2\n"});
    EXPECT_EQ(iguales.leida, "Clave'1");
    EXPECT_TRUE(QString::fromUtf8(iguales.preguntas).startsWith("Contraseña nueva del vendedor V001:")) // whose
        << iguales.preguntas.toStdString();
    EXPECT_EQ(std::pair(iguales.error, distintas.error), std::pair(0, int(Runtime::ErrorNumber::InvalidCall)));
    EXPECT_FALSE((iguales.eco + distintas.eco).contains("Clave")) << (iguales.eco + distintas.eco).toStdString();
}

class PreparacionDeBase : public Programa
{
protected:
    // The test database, emptied: a SQLite file that is not there, a PostgreSQL schema
    // without tables.
    void vacia() const
    {
        if (Pruebas::motor() == Ado::Engine::SQLite) {
            Ado::Session::reset();
            QFile::remove(base.direccion().path);
        } else {
            Pruebas::vaciaPostgreSQL(*base.conexion());
        }
    }

    // The error the preparation raised, or "" when it prepared the database.
    QString prepara(
        bool demo = false, std::function<QString()> clave = [] { return contrasena; }) const
    {
        Datos::Preparacion preparacion;
        preparacion.demo = demo;
        preparacion.oportunidadesDemo = 12;
        preparacion.contrasena = std::move(clave);
        return Pruebas::descripcionDe([&] { Datos::preparaBase(base.direccion(), preparacion); });
    }

    // What a second look at the database finds: its suite tables and its rows of each.
    QString contenido() const
    {
        if (Pruebas::motor() == Ado::Engine::SQLite && !QFile::exists(base.direccion().path))
            return "sin archivo";
        QString texto = Pruebas::motor() == Ado::Engine::PostgreSQL
                            ? Datos::rolesDeLaBase(*base.conexion()).join(' ') + ' '
                            : QString();
        for (const QString &tabla : Datos::tablasDeLaSuite(*base.conexion())) {
            texto += tabla + ':' + QString::number(base.cuenta(tabla)) + ' ';
            if (tabla.compare("Operador_Contrasena", Qt::CaseInsensitive) == 0)
                texto += base.valor("SELECT MAX(Oc_Huella) FROM Operador_Contrasena");
        }
        return texto;
    }

    Pruebas::BaseDePrueba base;
};

// Given an empty database, the preparation (by the program as an administrator types it, or
// with the demo's rows) leaves one the board can use: the program's schema version, coloured
// states, causes to close with, every listed view stored and runnable, and an administrator who
// signs in with the password given and sees everything. A database holding any of the suite's
// tables is refused before the password is asked; a password the rules refuse, or a statement
// failing halfway, undoes everything, and takes away a SQLite file the preparation made.
TEST_F(PreparacionDeBase, anEmptyDatabaseBecomesOneTheAdministratorSignsInToOrNothingChanges)
{
    // Whether the demo's rows are asked for; the views and opportunities that gives; the
    // administrator ADMIN's salesperson and level (the demo's ADMIN has none).
    const std::tuple<bool, int, int, const char *> casos[] = {{false, 1, 0, "ADMIN/3"}, {true, 2, 12, "/"}};
    for (const auto &[demo, vistasEsperadas, oportunidades, vendedor] : casos) {
        SCOPED_TRACE(demo ? "con la demostración" : "la configuración inicial");
        vacia();
        if (demo)
            ASSERT_EQ(prepara(true), QString());
        else
            EXPECT_TRUE(ejecuta({"--prepara-base", base.url(), "--operador", "admin"}, contrasena.toUtf8() + '\n')
                            .salida.contains("El operador ADMIN entra con la contraseña dada"));

        EXPECT_EQ(Datos::versionDeLaBase(*base.conexion()), Datos::versionDelPrograma());
        if (Pruebas::motor() == Ado::Engine::SQLite) { // one person's database: theirs alone
            EXPECT_EQ(QFile::permissions(base.direccion().path) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        }
        EXPECT_GE(base.cuenta("Estado_Oportunidad", "Eo_Hexadecimal LIKE '&H%'"), 5);
        EXPECT_EQ(base.cuenta("Estado_Oportunidad", "Eo_Hexadecimal NOT LIKE '&H%'"), 0);
        EXPECT_GE(base.cuenta("Causa_Oportunidad_Perdida", "Es_Cve_Estado = 'AC'"), 1);
        EXPECT_EQ(base.cuenta("Oportunidad"), oportunidades);
        const QStringList vistas =
            base.valor("SELECT Va_Valor FROM Variable WHERE Va_Nombre = 'CRM_VISTA_CONTROL_OPORTUNIDADES'").split(',');
        EXPECT_EQ(vistas.size(), vistasEsperadas);
        for (const QString &vista : vistas) {
            const QString sql = base.valor("SELECT Cs_Sql FROM Consulta WHERE Cs_Cve_Consulta = '"
                                           + vista.section('|', 1) + "'");
            EXPECT_TRUE(sql.contains("{PARAMETROS}")) << vista.toStdString();
            EXPECT_NO_THROW(base.ejecuta(QString(sql).replace("{PARAMETROS}", " (1 = 1) ")));
        }

        // On PostgreSQL the administrator signs in to the server as their own user.
        Ado::DatabaseAddress sinUsuario = base.direccion();
        sinUsuario.user.clear();
        Ingreso ingreso = Pruebas::motor() == Ado::Engine::PostgreSQL ? Ingreso::porServidor(sinUsuario)
                                                                      : Ingreso(false);
        EXPECT_EQ(ingreso.entra("ADMIN", "clave'1234"), std::nullopt);
        EXPECT_EQ(ingreso.entra("admin", contrasena), "ADMIN");
        Ado::Session::configure(base.direccion());
        EXPECT_EQ(
            base.valor("SELECT Ope_Cve_Vendedor || '/' || COALESCE(CAST(Vn_Nivel AS TEXT), '') FROM Operador "
                       "LEFT JOIN Vendedor ON Vn_Cve_Vendedor = Ope_Cve_Vendedor WHERE Ope_Cve_Operador = 'ADMIN'"),
            vendedor);
    }

    int preguntas = 0;
    // An object named like one of the schema's indexes, made once the database was found empty.
    const auto estorba = [this] {
        base.ejecuta("CREATE TABLE Oportunidad_Vendedor (x TEXT)");
        return contrasena;
    };
    const auto sinPreguntar = [&preguntas] { return QString::number(++preguntas); };
    // The database's situation, what made it so, the password given, and what the refusal names.
    const std::tuple<const char *, std::function<void()>, std::function<QString()>, const char *> rechazos[] = {
        {"ya preparada", [this] { ASSERT_EQ(prepara(), QString()); }, sinPreguntar, "ya tiene tablas de la suite"},
        {"con una sola tabla de la suite", [this] { base.ejecuta("CREATE TABLE bitacora (x TEXT)"); }, sinPreguntar,
         "(bitacora)"},
        {"contraseña en blanco", [] {}, [] { return "  "; }, "no puede estar vacía"},
        {"falla a la mitad", [] {}, estorba, "Oportunidad_Vendedor"},
    };
    for (const auto &[situacion, dejaAsi, clave, buscado] : rechazos) {
        SCOPED_TRACE(situacion);
        vacia();
        dejaAsi();
        const QString antes = contenido();
        const QString error = prepara(false, clave);
        EXPECT_TRUE(error.contains(buscado, Qt::CaseInsensitive)) << error.toStdString();
        EXPECT_EQ(contenido(), antes);
    }
    EXPECT_EQ(preguntas, 0);
}

// Given a database as the field has it (the tables of esquema.sql and no version), an address
// that opens it only for reading says an administrator must upgrade it; the upgrade runs once, keeps the rows and leaves the database where a new one starts. Then a version newer
// than the program's is refused untouched; and where a later step cannot be applied (its table
// is already there) the earlier steps, done in the same transaction, are undone.
TEST(VersionDelEsquema, anOldDatabaseIsUpgradedOnceANewerOneIsRefusedAndAFailedStepUndoesTheUpgrade)
{
    const Pruebas::BaseDePrueba base{1};
    const auto errorAlActualizar = [&base] {
        return Pruebas::descripcionDe([&base] { Datos::actualizaEsquema(*base.conexion()); });
    };
    const auto version = [&base] { return Datos::versionDeLaBase(*base.conexion()); };
    base.ejecuta("INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre) VALUES ('ANA', 'Ana')");
    Ado::Connection lectora(Ado::DatabaseAddress::parse(base.url() + "?mode=ro"));
    const QString soloLectura = Pruebas::descripcionDe([&] { Datos::actualizaEsquema(lectora); });
    EXPECT_TRUE(soloLectura.endsWith("--actualiza-esquema». Hasta entonces no se puede abrir con una dirección de "
                                     "sólo lectura")
                && !soloLectura.contains("mode=ro"))
        << soloLectura.toStdString();
    ASSERT_EQ(version(), 1);
    EXPECT_EQ(errorAlActualizar() + errorAlActualizar(), QString()); // nothing left to do the second time
    EXPECT_EQ(version(), Datos::versionDelPrograma());
    EXPECT_EQ(base.cuenta("Version_Esquema"), 1);
    EXPECT_EQ(base.valor("SELECT Ope_Nombre FROM Operador WHERE Ope_Cve_Operador = 'ANA'"), "Ana");
    EXPECT_EQ(base.cuenta("Operador_Contrasena"), 0);

    const int nueva = Datos::versionDelPrograma() + 1;
    base.ejecuta("UPDATE Version_Esquema SET Ve_Version = " + QString::number(nueva));
    EXPECT_TRUE(errorAlActualizar().contains(QString("versión %1 del esquema").arg(nueva)));
    EXPECT_EQ(version(), nueva);

    base.ejecuta("DROP TABLE Version_Esquema");
    EXPECT_FALSE(errorAlActualizar().isEmpty());
    EXPECT_EQ(version(), 1);
}

} // namespace
