// The teqvaro program run as a user runs it, each test in a user account of its own: help
// without a display, first starts racing each other, a message at load in a run that has
// nobody to answer it, set-up commands, signing in.
#include "basedeprueba.h"

#include "datos/demo.h"
#include "datos/version.h"
#include "ingreso.h"
#include "servicios/contrasenavendedor.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// How a run of the program ended: its exit code, or -1 when it crashed or hung (killed).
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
        if (!proceso.waitForFinished(60000)) {
            proceso.kill();
            proceso.waitForFinished();
        }
        return {proceso.exitStatus() == QProcess::NormalExit ? proceso.exitCode() : -1,
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
class ProgramaSQLite : public Programa
{ };

// Hosts started at once on a fresh account (or after a start that left a broken demo behind)
// agree on one complete demo database.
TEST_F(ProgramaSQLite, hostsStartedTogetherShareOneCompleteDemoDatabase)
{
    ASSERT_EQ(ejecuta({"--registra", KLD251_BIBLIOTECA}).codigo, 0);
    const auto captura = [this](int numero) {
        return QStringList{"--screenshot", cuenta.filePath(QString("%1.png").arg(numero))};
    };
    const auto contrasena = [](int numero) { return QStringList{"--pon-contrasena", QString("V00%1").arg(numero)}; };
    const std::tuple<const char *, std::function<void()>, std::function<QStringList(int)>> casos[] = {
        {"una cuenta nueva", [] {}, captura},
        {"una base vacía y la construcción a medias de un arranque interrumpido",
         [this] {
             QFile(demo()).open(QIODevice::WriteOnly | QIODevice::Truncate);
             QFile(demo() + ".nueva").open(QIODevice::WriteOnly);
         },
         captura},
        {"contraseñas puestas a la vez", [] {}, contrasena},
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

// Every set-up command (as every start) brings an older database up to date before it reads
// it, and refuses, saying why, one that a newer program has changed. An empty password
// (</dev/null, an empty line) is refused too: the salesperson or operator would be locked out.
TEST_F(Programa, setUpCommandsUpgradeAnOlderDatabaseAndRefuseANewerOneAndAnEmptyPassword)
{
    Pruebas::BaseDePrueba base;
    Datos::cargaDemo(*base.conexion(), 5);
    const int programa = Datos::versionDelPrograma();
    const QString contrasena = "SELECT Vc_Huella FROM Vendedor_Contrasena WHERE Vc_Cve_Vendedor = 'V001'";
    const QString vacia = "no puede estar vacía";
    const std::tuple<QString, QString, QByteArray, QString, int, int> casos[] = {
        // what changed the database, the command's option, its input, what it says, the version and
        // the operators' passwords left
        {{}, "--pon-contrasena", {}, vacia, programa, 0},
        {{}, "--pon-contrasena", "\n", vacia, programa, 0},
        {{}, "--pon-contrasena-operador", "  \n", vacia, programa, 0},
        {"DROP TABLE Version_Esquema; DROP TABLE Operador_Contrasena; DROP TABLE Vendedor_Contrasena",
         "--pon-contrasena-operador",
         "Clave12345\n",
         {},
         programa,
         1},
        {QString("UPDATE Version_Esquema SET Ve_Version = %1").arg(programa + 1), "--pon-contrasena-operador",
         "Clave12345\n", QString("versión %1 del esquema").arg(programa + 1), programa + 1, 1},
    };
    for (const auto &[prepara, opcion, entrada, dice, version, contrasenas] : casos) {
        SCOPED_TRACE((prepara + " " + opcion + " «" + QString::fromUtf8(entrada) + "»").toStdString());
        for (const QString &sentencia : prepara.split("; ", Qt::SkipEmptyParts))
            base.ejecuta(sentencia);
        const QString codigo = opcion.endsWith("operador") ? "GERENTE" : "V001";
        const QString antes = dice.isEmpty() ? QString() : base.valor(contrasena);
        const Fin fin = ejecuta({"--bd", base.url(), opcion, codigo}, entrada);
        EXPECT_EQ(fin.codigo == 0, dice.isEmpty()) << fin.errores.toStdString();
        EXPECT_TRUE(fin.errores.contains(dice)) << fin.errores.toStdString();
        EXPECT_EQ(Datos::versionDeLaBase(*base.conexion()), version);
        EXPECT_EQ(base.cuenta("Operador_Contrasena"), contrasenas);
        if (!dice.isEmpty()) {
            EXPECT_EQ(base.valor(contrasena), antes);
        }
    }
}

// A run without a display signs in with the first line of standard input: outside the demo
// database nobody gets in without their password, and every refusal says the same. A message
// at load (while the screen loads, or at its first activation) has nobody to answer it: it goes
// to standard error, is drawn into the capture, and the run ends with a failure.
TEST_F(Programa, aHeadlessRunSignsInOnlyWithThePasswordAndEndsWithAFailureOnAMessage)
{
    ASSERT_EQ(ejecuta({"--registra", KLD251_BIBLIOTECA}).codigo, 0);
    Pruebas::BaseDePrueba base;
    Datos::cargaDemo(*base.conexion(), 5);
    const Fin puesta = ejecuta({"--bd", base.url(), "--pon-contrasena-operador", "gerente"}, "Clave'1234\n");
    ASSERT_EQ(puesta.codigo, 0) << puesta.errores.toStdString();
    const QString imagen = cuenta.filePath("tablero.png");
    const QString rechazo = Ingreso::rechazo();
    const std::tuple<QString, QByteArray, QString, QString, QString> casos[] = {
        // the operator, standard input, the table taken away first, the option, what standard error says
        {"", "Clave'1234\n", "", "--screenshot", rechazo},
        {"gerente", "Clave'1234\n", "", "--screenshot", {}},
        {"GERENTE", "clave'1234\n", "", "--screenshot", rechazo},
        {"CAPTURISTA", "\n", "", "--screenshot", rechazo}, // the demo's operators have no password: not here
        {"GERENTE", "Clave'1234\n", "Consulta", "--mide-arranque", "Consulta"}, // at the first activation
        {"GERENTE", "Clave'1234\n", "", "--screenshot", "Consulta"},
        {"GERENTE", "Clave'1234\n", "Variable", "--screenshot", "Variable"}, // before the window shows
    };
    for (const auto &[operador, entrada, quita, opcion, dice] : casos) {
        SCOPED_TRACE((operador + " " + QString::fromUtf8(entrada) + " sin «" + quita + "» " + opcion).toStdString());
        if (!quita.isEmpty())
            base.ejecuta("DROP TABLE " + quita);
        QFile::remove(imagen);
        QStringList argumentos{"--bd", base.url(), opcion};
        if (opcion == "--screenshot")
            argumentos << imagen;
        if (!operador.isEmpty())
            argumentos << "--operador" << operador;
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

} // namespace
