// The teqvaro program run as a user runs it, each test in a user account of its own: help
// without a display, first starts racing each other, a message at load in a run that has
// nobody to answer it.
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

// How a run of the program ended. A run that does not end within the bound is killed: it hung.
struct Fin
{
    bool termino = false;
    bool normal = false;
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
        Fin fin;
        fin.termino = proceso.waitForFinished(60000);
        if (!fin.termino) {
            proceso.kill();
            proceso.waitForFinished();
        }
        fin.normal = proceso.exitStatus() == QProcess::NormalExit;
        fin.codigo = proceso.exitCode();
        fin.salida = QString::fromUtf8(proceso.readAllStandardOutput());
        fin.errores = QString::fromUtf8(proceso.readAllStandardError());
        return fin;
    }

    Fin ejecuta(const QStringList &argumentos) const { return espera(*inicia(argumentos)); }

    void registraElModulo() const
    {
        const Fin fin = ejecuta({QStringLiteral("--registra"), QStringLiteral(KLD251_BIBLIOTECA)});
        ASSERT_EQ(fin.codigo, 0) << fin.errores.toStdString();
    }

    QString demo() const { return cuenta.filePath(QStringLiteral("data/Teqvaro/demo.db")); }
    QString clave() const { return cuenta.filePath(QStringLiteral("config/Teqvaro/clave.bin")); }

    QTemporaryDir cuenta;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
};

TEST_F(Programa, helpAndVersionAnswerWithoutADisplay)
{
    for (const QString &variable :
         {QStringLiteral("DISPLAY"), QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("QT_QPA_PLATFORM")})
        entorno.remove(variable);
    struct Caso
    {
        QStringList argumentos;
        QString esperado;
    };
    const std::vector<Caso> casos = {
        {{QStringLiteral("--help")}, QStringLiteral("--pon-contrasena <vendedor>")},
        {{QStringLiteral("--bd"), QStringLiteral("sqlite:/no/existe.db"), QStringLiteral("-h")},
         QStringLiteral("--screenshot")},
        {{QStringLiteral("--version")}, QStringLiteral("teqvaro ")},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.argumentos.join(QLatin1Char(' ')).toStdString());
        const Fin fin = ejecuta(caso.argumentos);
        EXPECT_TRUE(fin.normal && fin.codigo == 0) << fin.errores.toStdString();
        EXPECT_TRUE(fin.salida.contains(caso.esperado)) << fin.salida.toStdString();
    }
}

// Hosts started at once on a fresh account (or after a start that left a broken demo behind)
// agree on one key and one complete demo database.
TEST_F(Programa, hostsStartedTogetherShareOneKeyAndOneCompleteDemoDatabase)
{
    if (Pruebas::motor() != Ado::Engine::SQLite)
        GTEST_SKIP() << "the demo database is SQLite's alone";
    registraElModulo();
    struct Caso
    {
        const char *situacion;
        std::function<void()> prepara;
        QStringList (*argumentos)(const QString &carpeta, int numero);
    };
    const auto captura = [](const QString &carpeta, int numero) {
        return QStringList{QStringLiteral("--screenshot"), carpeta + QStringLiteral("/%1.png").arg(numero)};
    };
    const auto contrasena = [](const QString &, int numero) {
        return QStringList{QStringLiteral("--pon-contrasena"), QStringLiteral("V00%1").arg(numero)};
    };
    const Caso casos[] = {
        {"una cuenta nueva", [] {}, captura},
        {"una base vacía y la construcción a medias de un arranque interrumpido",
         [this] {
             QFile(demo()).open(QIODevice::WriteOnly | QIODevice::Truncate);
             QFile(demo() + QStringLiteral(".nueva")).open(QIODevice::WriteOnly);
         },
         captura},
        {"contraseñas puestas a la vez sin clave", [this] { QFile::remove(clave()); }, contrasena},
    };
    constexpr int procesos = 3;
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.situacion);
        caso.prepara();
        std::vector<std::unique_ptr<QProcess>> iniciados;
        for (int numero = 1; numero <= procesos; ++numero)
            iniciados.push_back(
                inicia(caso.argumentos(cuenta.path(), numero), QStringLiteral("clave%1\n").arg(numero).toUtf8()));
        for (const auto &proceso : iniciados) {
            const Fin fin = espera(*proceso);
            EXPECT_TRUE(fin.termino && fin.codigo == 0) << fin.errores.toStdString();
        }
        EXPECT_EQ(QDir(QFileInfo(demo()).path()).entryList({QStringLiteral("*.nueva*")}, QDir::Files), QStringList());
    }

    // Every password set at once deciphers under the one key, in the one demo database.
    qputenv("TEQVARO_CLAVE", clave().toLocal8Bit());
    Ado::DatabaseAddress direccion;
    direccion.path = demo();
    Ado::Connection conexion(direccion);
    const Servicios::Cifrado cifrado;
    for (int numero = 1; numero <= procesos; ++numero) {
        const Ado::Recordset vendedor = conexion.Execute(
            QStringLiteral("SELECT Vn_Password FROM Vendedor WHERE Vn_Cve_Vendedor = 'V00%1'").arg(numero));
        EXPECT_EQ(cifrado.Descifra(vendedor.field(0).toString()), QStringLiteral("clave%1").arg(numero));
    }
    qunsetenv("TEQVARO_CLAVE");
}

// Nobody answers a message box in a run without a display: the run writes the message to
// standard error, draws it into the capture and ends with a failure, whether the message came
// while the screen loaded or at its first activation.
TEST_F(Programa, aMessageAtLoadEndsAHeadlessRunReportingIt)
{
    registraElModulo();
    Pruebas::BaseDePrueba base;
    Datos::cargaDemo(*base.conexion(), 5);
    Servicios::ponContrasenaOperador(QStringLiteral("GERENTE"), QStringLiteral("clave"));
    struct Caso
    {
        const char *tablaQueFalta;
        QStringList opciones;
    };
    const QString imagen = cuenta.filePath(QStringLiteral("mensaje.png"));
    const Caso casos[] = {
        {"Consulta", {QStringLiteral("--mide-arranque")}}, // at the first activation
        {"Consulta", {QStringLiteral("--screenshot"), imagen}},
        {"Variable", {QStringLiteral("--screenshot"), imagen}}, // while the screen loads, before the window shows
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.opciones.join(QLatin1Char(' ')).toStdString() + " sin " + caso.tablaQueFalta);
        base.ejecuta(QStringLiteral("DROP TABLE IF EXISTS %1").arg(QString::fromUtf8(caso.tablaQueFalta)));
        QFile::remove(imagen);
        const Fin fin = espera(*inicia(
            QStringList{QStringLiteral("--bd"), base.url(), QStringLiteral("--operador"), QStringLiteral("GERENTE")}
                + caso.opciones,
            "clave\n"));
        EXPECT_TRUE(fin.termino && fin.normal && fin.codigo != 0) << fin.codigo;
        EXPECT_TRUE(fin.errores.contains(QString::fromUtf8(caso.tablaQueFalta), Qt::CaseInsensitive))
            << fin.errores.toStdString();
        if (caso.opciones.first() == QStringLiteral("--screenshot")) {
            // The box is drawn over the window with the title bar the capture gives every window.
            const QImage captura(imagen);
            qsizetype barraDeTitulo = 0;
            for (int y = 0; y < captura.height(); ++y) {
                for (int x = 0; x < captura.width(); ++x)
                    barraDeTitulo += captura.pixel(x, y) == qRgb(0x3C, 0x4A, 0x5C) ? 1 : 0;
            }
            EXPECT_GT(barraDeTitulo, 1000);
        }
    }
}

// Every start, and every set-up command, brings an older database up to date before it
// reads it, and refuses, saying why, one that a newer program has changed.
TEST_F(Programa, theHostUpgradesAnOlderDatabaseAndRefusesANewerOne)
{
    Pruebas::BaseDePrueba base;
    Datos::cargaDemo(*base.conexion(), 5);
    const int programa = Datos::versionDelPrograma();
    struct Caso
    {
        const char *situacion;
        QStringList prepara;
        bool abre;
        int versionAlFinal;
    };
    const Caso casos[] = {
        {"de antes de las versiones",
         {QStringLiteral("DROP TABLE Version_Esquema"), QStringLiteral("DROP TABLE Operador_Contrasena")},
         true,
         programa},
        {"de un programa más nuevo",
         {QStringLiteral("UPDATE Version_Esquema SET Ve_Version = %1").arg(programa + 1)},
         false,
         programa + 1},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.situacion);
        for (const QString &sentencia : caso.prepara)
            base.ejecuta(sentencia);
        const Fin fin = espera(*inicia({QStringLiteral("--bd"), base.url(), QStringLiteral("--pon-contrasena-operador"),
                                        QStringLiteral("GERENTE")},
                                       "Clave1\n"));
        EXPECT_EQ(fin.codigo == 0, caso.abre) << fin.errores.toStdString();
        EXPECT_EQ(fin.errores.contains(QStringLiteral("versión %1 del esquema").arg(programa + 1)), !caso.abre);
        EXPECT_EQ(Datos::versionDeLaBase(*base.conexion()), caso.versionAlFinal);
    }
    EXPECT_EQ(base.cuenta(QStringLiteral("Operador_Contrasena")), 1);
}

// An empty input (</dev/null, an empty line) sets no password: the salesperson or operator
// would be locked out. The command says why and ends with a failure.
TEST_F(Programa, aSetUpCommandRefusesAnEmptyPasswordAndKeepsTheStoredOne)
{
    Pruebas::BaseDePrueba base;
    Datos::cargaDemo(*base.conexion(), 1);
    const QString antes = base.valor(QStringLiteral("SELECT Vn_Password FROM Vendedor WHERE Vn_Cve_Vendedor = 'V001'"));
    for (const char *opcion : {"--pon-contrasena", "--pon-contrasena-operador"}) {
        for (const QByteArray &entrada : {QByteArray(), QByteArray("\n"), QByteArray("  \n")}) {
            SCOPED_TRACE(std::string(opcion) + " «" + entrada.toStdString() + "»");
            const QString codigo = QString::fromLatin1(opcion).endsWith(QLatin1String("operador"))
                                       ? QStringLiteral("GERENTE")
                                       : QStringLiteral("V001");
            const Fin fin = espera(
                *inicia({QStringLiteral("--bd"), base.url(), QString::fromLatin1(opcion), codigo}, entrada));
            EXPECT_TRUE(fin.normal && fin.codigo != 0);
            EXPECT_TRUE(fin.errores.contains(QStringLiteral("no puede estar vacía"))) << fin.errores.toStdString();
        }
    }
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Vn_Password FROM Vendedor WHERE Vn_Cve_Vendedor = 'V001'")), antes);
    EXPECT_EQ(base.cuenta(QStringLiteral("Operador_Contrasena")), 0);
}

// Outside the demo database nobody gets in without a password: not with no operator, not
// with one whose password was never set. Without a display the password is the first line
// of standard input, and every refusal says the same.
TEST_F(Programa, theOperatorSignsInOnlyWithTheirPassword)
{
    registraElModulo();
    Pruebas::BaseDePrueba base;
    Datos::cargaDemo(*base.conexion(), 5);
    const Fin puesta = espera(*inicia(
        {QStringLiteral("--bd"), base.url(), QStringLiteral("--pon-contrasena-operador"), QStringLiteral("gerente")},
        "Clave'1\n"));
    ASSERT_EQ(puesta.codigo, 0) << puesta.errores.toStdString();
    struct Caso
    {
        QString operador;
        QByteArray entrada;
        bool entra;
    };
    const Caso casos[] = {
        {QString(), "Clave'1\n", false},
        {QStringLiteral("gerente"), "Clave'1\n", true},
        {QStringLiteral("GERENTE"), "clave'1\n", false},
        {QStringLiteral("NADIE"), "Clave'1\n", false},
        {QStringLiteral("CAPTURISTA"), "\n", false}, // the demo's operators have no password: not here
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.operador.toStdString() + " " + caso.entrada.toStdString());
        QStringList argumentos{QStringLiteral("--bd"), base.url(), QStringLiteral("--screenshot"),
                               cuenta.filePath(QStringLiteral("tablero.png"))};
        if (!caso.operador.isEmpty())
            argumentos << QStringLiteral("--operador") << caso.operador;
        const Fin fin = espera(*inicia(argumentos, caso.entrada));
        EXPECT_EQ(fin.codigo == 0, caso.entra) << fin.errores.toStdString();
        EXPECT_EQ(fin.errores.contains(Ingreso::rechazo()), !caso.entra) << fin.errores.toStdString();
    }
}

} // namespace
