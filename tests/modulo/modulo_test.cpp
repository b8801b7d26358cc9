// The module as the host meets it: registered by name, loaded from its library, asked for
// its screen; and the host shell itself, run as its own process.
#include "basedeprueba.h"
#include "runtime/componentregistry.h"
#include "runtime/error.h"
#include "runtime/latebinding.h"
#include "servicios/servicios.h"

#include <QFileInfo>
#include <QImage>
#include <QLibrary>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

const QString biblioteca = QStringLiteral(KLD251_BIBLIOTECA);
const QString nombreDeRegistro = QStringLiteral("KLD251.Pantalla");

using EntryPoint = long (*)();

EntryPoint entradaDeLaBiblioteca(const char *nombre)
{
    static QLibrary library(biblioteca);
    return reinterpret_cast<EntryPoint>(library.resolve(nombre));
}

// A host object as the board expects one.
class AnfitrionDePrueba : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Transaccion READ Transaccion)

public:
    QString Transaccion() const { return QStringLiteral("OPERADOR=ANA"); }
};

class ModuloCargado : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // Start-up must create the three service objects once, in this order.
        Servicios::Fabrica &fabrica = Servicios::Fabrica::actual();
        const Servicios::Fabrica original = fabrica;
        fabrica.nuevoEntorno = [original] {
            creados() << QStringLiteral("Entorno");
            return original.nuevoEntorno();
        };
        fabrica.nuevasFunciones = [original](Servicios::Entorno &entorno) {
            creados() << QStringLiteral("Funciones");
            return original.nuevasFunciones(entorno);
        };
        fabrica.nuevosProcesos = [original](Servicios::Entorno &entorno, Servicios::Funciones &funciones) {
            creados() << QStringLiteral("Procesos");
            return original.nuevosProcesos(entorno, funciones);
        };
        ASSERT_EQ(Runtime::ComponentLoader::registerLibrary(biblioteca), Runtime::ResultCode::Ok);
    }

    static QStringList &creados()
    {
        static QStringList lista;
        return lista;
    }

    Pruebas::BaseDePrueba base;
    Runtime::ComponentLoader cargador;
};

TEST_F(ModuloCargado, registersItsPublicClassUnderTheModuleCodeAndTheLibrarysPath)
{
    const auto registro = Runtime::ComponentRegistry().find(nombreDeRegistro);
    ASSERT_TRUE(registro.has_value());
    EXPECT_EQ(QFileInfo(registro->library).canonicalFilePath(), QFileInfo(biblioteca).canonicalFilePath());
    EXPECT_EQ(registro->className, QStringLiteral("Pantalla"));
}

TEST_F(ModuloCargado, handsOutOneBoardAndAnswersItsFamily)
{
    const std::unique_ptr<QObject> pantalla = cargador.createObject(nombreDeRegistro);
    EXPECT_EQ(creados(),
              (QStringList{QStringLiteral("Entorno"), QStringLiteral("Funciones"), QStringLiteral("Procesos")}));
    EXPECT_EQ(Runtime::readMember(pantalla.get(), "Modulo").toString(), QStringLiteral("CRM"));

    QObject *tablero = Runtime::readMember(pantalla.get(), "GetPantalla").value<QObject *>();
    ASSERT_NE(tablero, nullptr);
    EXPECT_EQ(tablero->objectName(), QStringLiteral("frmKLD251"));
    EXPECT_EQ(Runtime::readMember(pantalla.get(), "GetPantalla").value<QObject *>(), tablero);

    // A second object of the module shares the board and does not start the module again.
    const std::unique_ptr<QObject> otra = cargador.createObject(nombreDeRegistro);
    EXPECT_EQ(Runtime::readMember(otra.get(), "GetPantalla").value<QObject *>(), tablero);
    EXPECT_EQ(creados().size(), 3);
    EXPECT_EQ(entradaDeLaBiblioteca("DllCanUnloadNow")(), Runtime::ResultCode::False);
}

TEST_F(ModuloCargado, theBoardsTransactionIsTheHostsDescriptorComposedByTheServiceLibrary)
{
    const std::unique_ptr<QObject> pantalla = cargador.createObject(nombreDeRegistro);
    QObject *tablero = Runtime::readMember(pantalla.get(), "GetPantalla").value<QObject *>();
    ASSERT_NE(tablero, nullptr);

    // Without a host object, and with one that lacks the member: errors for the reader.
    tablero->setProperty("Padre", QVariant::fromValue<QObject *>(nullptr));
    try {
        Runtime::readMember(tablero, "Transaccion");
        ADD_FAILURE() << "the transaction was read without a host object";
    } catch (const Runtime::RuntimeError &error) {
        EXPECT_EQ(error.number(), Runtime::ErrorNumber::ObjectNotSet);
    }
    QObject sinMiembros;
    tablero->setProperty("Padre", QVariant::fromValue<QObject *>(&sinMiembros));
    try {
        Runtime::readMember(tablero, "Transaccion");
        ADD_FAILURE() << "a host without Transaccion gave one";
    } catch (const Runtime::RuntimeError &error) {
        EXPECT_EQ(error.number(), Runtime::ErrorNumber::MemberNotFound);
    }

    AnfitrionDePrueba anfitrion;
    tablero->setProperty("Padre", QVariant::fromValue<QObject *>(&anfitrion));
    EXPECT_EQ(Runtime::readMember(tablero, "Padre").value<QObject *>(), &anfitrion);
    std::unique_ptr<Servicios::Entorno> entorno = Servicios::Fabrica::actual().nuevoEntorno();
    const std::unique_ptr<Servicios::Funciones> funciones = Servicios::Fabrica::actual().nuevasFunciones(*entorno);
    EXPECT_EQ(Runtime::readMember(tablero, "Transaccion").toString(),
              funciones->ArmaTransaccion(QStringLiteral("OPERADOR=ANA"), QStringLiteral("Teqvaro")));
}

TEST_F(ModuloCargado, canBeUnloadedOnceNoObjectOfItIsAlive)
{
    {
        const std::unique_ptr<QObject> pantalla = cargador.createObject(nombreDeRegistro);
        EXPECT_EQ(entradaDeLaBiblioteca("DllCanUnloadNow")(), Runtime::ResultCode::False);
    }
    EXPECT_EQ(entradaDeLaBiblioteca("DllCanUnloadNow")(), Runtime::ResultCode::Ok);
}

TEST(Anfitrion, opensTheBoardByRegistrationNameInItsOwnProcess)
{
    QTemporaryDir carpeta;
    QProcess registro;
    registro.start(QStringLiteral(TEQVARO_PROGRAMA), {QStringLiteral("--registra"), biblioteca});
    ASSERT_TRUE(registro.waitForFinished(60000));
    ASSERT_EQ(registro.exitCode(), 0) << registro.readAllStandardError().toStdString();

    const QString captura = carpeta.filePath(QStringLiteral("tablero.png"));
    QProcess anfitrion;
    anfitrion.start(QStringLiteral(TEQVARO_PROGRAMA), {QStringLiteral("--screenshot"), captura});
    ASSERT_TRUE(anfitrion.waitForFinished(120000));
    EXPECT_EQ(anfitrion.exitCode(), 0) << anfitrion.readAllStandardError().toStdString();
    const QImage imagen(captura);
    EXPECT_FALSE(imagen.isNull());
    EXPECT_GT(imagen.width(), 600);
}

TEST(Anfitrion, reportsAModuleThatIsNotRegisteredAndEnds)
{
    QProcess anfitrion;
    anfitrion.start(QStringLiteral(TEQVARO_PROGRAMA), {QStringLiteral("--modulo"), QStringLiteral("KLD999.Pantalla"),
                                                       QStringLiteral("--screenshot"), QStringLiteral("/dev/null")});
    ASSERT_TRUE(anfitrion.waitForFinished(120000));
    EXPECT_NE(anfitrion.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(anfitrion.readAllStandardError()).contains(QStringLiteral("KLD999.Pantalla")));
}

} // namespace

#include "modulo_test.moc"
