// The teqvaro program run as a user runs it, each test in a user account of its own: help
// without a display, first starts racing each other, a message at load in a run that has
// nobody to answer it, set-up commands, signing in.
#include "basedeprueba.h"

#include "datos/demo.h"
#include "datos/version.h"
#include "ingreso.h"
#include "servicios/cifrado.h"
#include "servicios/contrasenaoperador.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// How a run of the program ended: its exit code, or -1 when it crashed or hung (a run that
// does not end within the bound is killed).
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
        entorno.insert(QStringLiteral("HOME"), cuenta.path());
        entorno.insert(QStringLiteral("XDG_CONFIG_HOME"), cuenta.filePath(QStringLiteral("config")));
        entorno.insert(QStringLiteral("XDG_DATA_HOME"), cuenta.filePath(QStringLiteral("data")));
        entorno.insert(QStringLiteral("TEQVARO_REGISTRO"),
                       cuenta.filePath(QStringLiteral("config/Teqvaro/componentes.ini")));
        entorno.remove(QStringLiteral("TEQVARO_CLAVE"));
    }

    std::unique_ptr<QProcess> inicia(const QStringList &argumentos, const QByteArray &entrada = {}) const
    {
        auto proceso = std::make_unique<QProcess>();
        proceso->setProcessEnvironment(entorno);
        proceso->start(QStringLiteral(TEQVARO_PROGRAMA), argumentos);
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

    void registraElModulo() const
    {
        const Fin fin = ejecuta({QStringLiteral("--registra"), QStringLiteral(KLD251_BIBLIOTECA)});
        ASSERT_EQ(fin.codigo, 0) << fin.errores.toStdString();
    }

    QString demo() const { return cuenta.filePath(QStringLiteral("data/Teqvaro/demo.db")); }

    QTemporaryDir cuenta;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
};

TEST_F(Programa, helpAndVersionAnswerWithoutADisplay)
{
    for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        entorno.remove(QString::fromLatin1(variable));
    const std::pair<QStringList, QString> casos[] = {
        {{QStringLiteral("--help")}, QStringLiteral("--pon-contrasena <vendedor>")},
        {{QStringLiteral("--bd"), QStringLiteral("sqlite:/no/existe.db"), QStringLiteral("-h")},
         QStringLiteral("--screenshot")},
        {{QStringLiteral("--version")}, QStringLiteral("teqvaro ")},
    };
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
// agree on one key and one complete demo database.
TEST_F(ProgramaSQLite, hostsStartedTogetherShareOneKeyAndOneCompleteDemoDatabase)
{
    registraElModulo();
    const QString clave = cuenta.filePath(QStringLiteral("config/Teqvaro/clave.bin"));
    const auto captura = [this](int numero) {
        return QStringList{QStringLiteral("--screenshot"), cuenta.filePath(QStringLiteral("%1.png").arg(numero))};
    };
    const auto contrasena = [](int numero) {
        return QStringList{QStringLiteral("--pon-contrasena"), QStringLiteral("V00%1").arg(numero)};
    };
    const std::tuple<const char *, std::function<void()>, std::function<QStringList(int)>> casos[] = {
        {"una cuenta nueva", [] {}, captura},
        {"una base vacía y la construcción a medias de un arranque interrumpido",
         [this] {
             QFile(demo()).open(QIODevice::WriteOnly | QIODevice::Truncate);
             QFile(demo() + QStringLiteral(".nueva")).open(QIODevice::WriteOnly);
         },
         captura},
        {"contraseñas puestas a la vez sin clave", [&clave] { QFile::remove(clave); }, contrasena},
    };
    constexpr int procesos = 3;
    for (const auto &[situacion, prepara, argumentos] : casos) {
        SCOPED_TRACE(situacion);
        prepara();
        std::vector<std::unique_ptr<QProcess>> iniciados;
        for (int numero = 1; numero <= procesos; ++numero)
            iniciados.push_back(inicia(argumentos(numero), QStringLiteral("clave%1\n").arg(numero).toUtf8()));
        for (const auto &proceso : iniciados) {
            const Fin fin = espera(*proceso);
            EXPECT_EQ(fin.codigo, 0) << fin.errores.toStdString();
        }
        EXPECT_EQ(QDir(QFileInfo(demo()).path()).entryList({QStringLiteral("*.nueva*")}, QDir::Files), QStringList());
    }

    // Every password set at once deciphers under the one key, in the one demo database.
    qputenv("TEQVARO_CLAVE", clave.toLocal8Bit());
    Ado::DatabaseAddress direccion;
    direccion.path = demo();
    Ado::Connection conexion(direccion);
    for (int numero = 1; numero <= procesos; ++numero) {
        const Ado::Recordset vendedor = conexion.Execute(
            QStringLiteral("SELECT Vn_Password FROM Vendedor WHERE Vn_Cve_Vendedor = 'V00%1'").arg(numero));
        EXPECT_EQ(Servicios::Cifrado().Descifra(vendedor.field(0).toString()), QStringLiteral("clave%1").arg(numero));
    }
    qunsetenv("TEQVARO_CLAVE");
}

// Every set-up command (as every start) brings an older database up to date before it reads
// it, and refuses, saying why, one that a newer program has changed. An empty password
// (</dev/null, an empty line) is refused too: the salesperson or operator would be locked out.
TEST_F(Programa, setUpCommandsUpgradeAnOlderDatabaseAndRefuseANewerOneAndAnEmptyPassword)
{
    Pruebas::BaseDePrueba base;
    Datos::cargaDemo(*base.conexion(), 5);
    const int programa = Datos::versionDelPrograma();
    const QString contrasena = QStringLiteral("SELECT Vn_Password FROM Vendedor WHERE Vn_Cve_Vendedor = 'V001'");
    const QString antes = base.valor(contrasena);
    const QString vacia = QStringLiteral("no puede estar vacía");
    const QString vieja = QStringLiteral("DROP TABLE Version_Esquema; DROP TABLE Operador_Contrasena");
    const QString nueva = QStringLiteral("UPDATE Version_Esquema SET Ve_Version = %1").arg(programa + 1);
    const std::tuple<QString, const char *, QByteArray, QString, int, int> casos[] = {
        // what changed the database, the command's option, its input, what it says, the version and
        // the operators' passwords left
        {{}, "--pon-contrasena", {}, vacia, programa, 0},
        {{}, "--pon-contrasena", "\n", vacia, programa, 0},
        {{}, "--pon-contrasena-operador", "  \n", vacia, programa, 0},
        {vieja, "--pon-contrasena-operador", "Clave1\n", {}, programa, 1},
        {nueva, "--pon-contrasena-operador", "Clave1\n", QStringLiteral("versión %1 del esquema").arg(programa + 1),
         programa + 1, 1},
    };
    for (const auto &[prepara, opcion, entrada, dice, version, contrasenas] : casos) {
        SCOPED_TRACE(prepara.toStdString() + " " + opcion + " «" + entrada.toStdString() + "»");
        for (const QString &sentencia : prepara.split(QStringLiteral("; "), Qt::SkipEmptyParts))
            base.ejecuta(sentencia);
        const QString codigo = QString::fromLatin1(opcion).endsWith(QLatin1String("operador"))
                                   ? QStringLiteral("GERENTE")
                                   : QStringLiteral("V001");
        const Fin fin = ejecuta({QStringLiteral("--bd"), base.url(), QString::fromLatin1(opcion), codigo}, entrada);
        EXPECT_EQ(fin.codigo == 0, dice.isEmpty()) << fin.errores.toStdString();
        EXPECT_TRUE(fin.errores.contains(dice)) << fin.errores.toStdString();
        EXPECT_EQ(Datos::versionDeLaBase(*base.conexion()), version);
        EXPECT_EQ(base.cuenta(QStringLiteral("Operador_Contrasena")), contrasenas);
    }
    EXPECT_EQ(base.valor(contrasena), antes);
}

// A run without a display signs the operator in with the first line of standard input:
// outside the demo database nobody gets in without their password (not with no operator, not
// with one whose password was never set), and every refusal says the same. Nobody answers a
// message box in such a run: a message at load (while the screen loads, or at its first
// activation) goes to standard error, is drawn into the capture, and the run ends with a failure.
TEST_F(Programa, aHeadlessRunSignsInOnlyWithThePasswordAndEndsWithAFailureOnAMessage)
{
    registraElModulo();
    Pruebas::BaseDePrueba base;
    Datos::cargaDemo(*base.conexion(), 5);
    const Fin puesta = ejecuta(
        {QStringLiteral("--bd"), base.url(), QStringLiteral("--pon-contrasena-operador"), QStringLiteral("gerente")},
        "Clave'1\n");
    ASSERT_EQ(puesta.codigo, 0) << puesta.errores.toStdString();
    const QString imagen = cuenta.filePath(QStringLiteral("tablero.png"));
    const QString rechazo = Ingreso::rechazo();
    const std::tuple<const char *, QByteArray, const char *, const char *, QString> casos[] = {
        // the operator, standard input, the table taken away first, the option, what standard error says
        {"", "Clave'1\n", "", "--screenshot", rechazo},
        {"gerente", "Clave'1\n", "", "--screenshot", {}},
        {"GERENTE", "clave'1\n", "", "--screenshot", rechazo},
        {"NADIE", "Clave'1\n", "", "--screenshot", rechazo},
        {"CAPTURISTA", "\n", "", "--screenshot", rechazo}, // the demo's operators have no password: not here
        {"GERENTE", "Clave'1\n", "Consulta", "--mide-arranque", QStringLiteral("Consulta")}, // at the first activation
        {"GERENTE", "Clave'1\n", "", "--screenshot", QStringLiteral("Consulta")},
        {"GERENTE", "Clave'1\n", "Variable", "--screenshot", QStringLiteral("Variable")}, // before the window shows
    };
    for (const auto &[operador, entrada, quita, opcion, dice] : casos) {
        SCOPED_TRACE(std::string(operador) + " " + entrada.toStdString() + " sin «" + quita + "» " + opcion);
        if (*quita)
            base.ejecuta(QStringLiteral("DROP TABLE %1").arg(QString::fromUtf8(quita)));
        QFile::remove(imagen);
        QStringList argumentos{QStringLiteral("--bd"), base.url(), QString::fromLatin1(opcion)};
        if (argumentos.last() == QStringLiteral("--screenshot"))
            argumentos << imagen;
        if (*operador)
            argumentos << QStringLiteral("--operador") << QString::fromUtf8(operador);
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
