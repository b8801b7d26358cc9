#include "basedeprueba.h"
#include "runtime/componentregistry.h"
#include "runtime/error.h"
#include "runtime/latebinding.h"

#include <QDir>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A host-like object with members reached by name.
class ObjetoConMiembros : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Transaccion READ Transaccion)

public:
    QString Transaccion() const { return QStringLiteral("T-1"); }

    Q_INVOKABLE void transacciones(const QString &modulo, const QString &parametros)
    {
        llamadas << modulo + QLatin1Char(' ') + parametros;
    }
    Q_INVOKABLE int suma(int a, int b) const { return a + b; }

    QStringList llamadas;
};

template<typename Body> int errorNumberOf(Body &&body)
{
    try {
        body();
    } catch (const Runtime::RuntimeError &error) {
        return error.number();
    }
    return 0;
}

TEST(LateBinding, readsPropertiesAndCallsMethodsByName)
{
    ObjetoConMiembros objeto;
    EXPECT_EQ(Runtime::readMember(&objeto, "Transaccion").toString(), QStringLiteral("T-1"));
    Runtime::callMember(&objeto, "transacciones", {QStringLiteral("KLD242"), QStringLiteral("ACCION=NUEVO")});
    EXPECT_EQ(objeto.llamadas, QStringList{QStringLiteral("KLD242 ACCION=NUEVO")});
    EXPECT_EQ(Runtime::callMember(&objeto, "suma", {QStringLiteral("2"), 3}).toInt(), 5);
}

TEST(LateBinding, raises91WithoutAnObjectAnd438ForAMissingMember)
{
    ObjetoConMiembros objeto;
    EXPECT_EQ(errorNumberOf([] { Runtime::readMember(nullptr, "Transaccion"); }), Runtime::ErrorNumber::ObjectNotSet);
    EXPECT_EQ(errorNumberOf([] { Runtime::callMember(nullptr, "transacciones", {}); }),
              Runtime::ErrorNumber::ObjectNotSet);
    EXPECT_EQ(errorNumberOf([&] { Runtime::readMember(&objeto, "NoExiste"); }), Runtime::ErrorNumber::MemberNotFound);
    EXPECT_EQ(errorNumberOf([&] { Runtime::callMember(&objeto, "noExiste", {}); }),
              Runtime::ErrorNumber::MemberNotFound);
    // The right name with the wrong number of arguments is no member either.
    EXPECT_EQ(errorNumberOf([&] { Runtime::callMember(&objeto, "transacciones", {QStringLiteral("KLD242")}); }),
              Runtime::ErrorNumber::MemberNotFound);
    EXPECT_EQ(errorNumberOf([&] {
                  Runtime::callMember(&objeto, "suma", {QStringLiteral("dos"), 3});
              }),
              Runtime::ErrorNumber::TypeMismatch);
}

TEST(ComponentRegistry, keepsRegistrationsUntilTheyAreRemoved)
{
    Runtime::ComponentRegistry registry;
    registry.registerClass(QStringLiteral("PRUEBA.Clase"),
                           {QStringLiteral("/ruta/libprueba.so"), QStringLiteral("Clase")});
    const auto found = Runtime::ComponentRegistry().find(QStringLiteral("PRUEBA.Clase"));
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->library, QStringLiteral("/ruta/libprueba.so"));
    EXPECT_EQ(found->className, QStringLiteral("Clase"));
    registry.unregisterClass(QStringLiteral("PRUEBA.Clase"));
    EXPECT_FALSE(registry.find(QStringLiteral("PRUEBA.Clase")).has_value());
}

// The user's registry and the computer's, as the package writes it, side by side.
class DosRegistros : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(carpeta.isValid());
        escribeDelSistema(QStringLiteral("; escrito por el paquete\n"
                                         "[KLD251.Pantalla]\nbiblioteca=/usr/lib/teqvaro/KLD251.so\nclase=Pantalla\n"
                                         "[KLD242.Pantalla]\nbiblioteca=/usr/lib/teqvaro/KLD242.so\nclase=Pantalla\n"));
    }

    void escribeDelSistema(const QString &texto) const
    {
        QFile archivo(delSistema);
        ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
        archivo.write(texto.toUtf8());
    }

    QString bibliotecaDe(const QString &nombre) const
    {
        const auto encontrado = registro.find(nombre);
        return encontrado ? encontrado->library : QStringLiteral("(ninguna)");
    }

    QTemporaryDir carpeta;
    const QString delUsuario = carpeta.filePath(QStringLiteral("usuario/componentes.ini"));
    const QString delSistema = carpeta.filePath(QStringLiteral("componentes.ini"));
    Runtime::ComponentRegistry registro{delUsuario, delSistema};
};

TEST_F(DosRegistros, findsANameInTheUsersRegistryFirstAndThenInTheComputers)
{
    registro.registerClass(QStringLiteral("KLD251.Pantalla"),
                           {QStringLiteral("/home/ana/KLD251.so"), QStringLiteral("Pantalla")});
    registro.registerClass(QStringLiteral("KLD300.Pantalla"),
                           {QStringLiteral("/home/ana/KLD300.so"), QStringLiteral("Pantalla")});

    const struct
    {
        const char *nombre;
        const char *biblioteca;
    } casos[] = {
        {"KLD251.Pantalla", "/home/ana/KLD251.so"},        // in both: the user's own wins
        {"KLD242.Pantalla", "/usr/lib/teqvaro/KLD242.so"}, // only the computer's
        {"KLD300.Pantalla", "/home/ana/KLD300.so"},        // only the user's
        {"KLD999.Pantalla", "(ninguna)"},
    };
    for (const auto &caso : casos)
        EXPECT_EQ(bibliotecaDe(QString::fromUtf8(caso.nombre)), QString::fromUtf8(caso.biblioteca)) << caso.nombre;
    EXPECT_EQ(registro.registrationNames(),
              (QStringList{QStringLiteral("KLD242.Pantalla"), QStringLiteral("KLD251.Pantalla"),
                           QStringLiteral("KLD300.Pantalla")}));
}

TEST_F(DosRegistros, writesOnlyTheUsersRegistrySoRemovingAnOwnEntryBringsBackTheComputers)
{
    const Runtime::ComponentRegistry soloDelSistema(carpeta.filePath(QStringLiteral("nadie.ini")), delSistema);
    registro.registerClass(QStringLiteral("KLD251.Pantalla"),
                           {QStringLiteral("/home/ana/KLD251.so"), QStringLiteral("Pantalla")});
    const auto delPaquete = soloDelSistema.find(QStringLiteral("KLD251.Pantalla"));
    ASSERT_TRUE(delPaquete.has_value());
    EXPECT_EQ(delPaquete->library, QStringLiteral("/usr/lib/teqvaro/KLD251.so"));

    registro.unregisterClass(QStringLiteral("KLD251.Pantalla"));
    registro.unregisterClass(QStringLiteral("KLD242.Pantalla"));
    EXPECT_EQ(bibliotecaDe(QStringLiteral("KLD251.Pantalla")), QStringLiteral("/usr/lib/teqvaro/KLD251.so"));
    EXPECT_EQ(bibliotecaDe(QStringLiteral("KLD242.Pantalla")), QStringLiteral("/usr/lib/teqvaro/KLD242.so"));
}

TEST_F(DosRegistros, loaderTurnsToTheComputersRegistryWhenTheUserRegisteredNothing)
{
    // The library does not exist: the failure names the one the computer's registry gave.
    Runtime::ComponentLoader loader(registro);
    try {
        loader.createObject(QStringLiteral("KLD242.Pantalla"));
        ADD_FAILURE() << "a library that does not exist created an object";
    } catch (const Runtime::RuntimeError &error) {
        EXPECT_EQ(error.number(), Runtime::ErrorNumber::CannotCreateObject);
        EXPECT_TRUE(error.description().contains(QStringLiteral("/usr/lib/teqvaro/KLD242.so")))
            << error.description().toStdString();
    }
}

TEST(ComponentRegistry, takesTheComputersRegistryFromTheEnvironmentOrFromTheInstallPrefix)
{
    qunsetenv("TEQVARO_REGISTRO_SISTEMA");
    const QString instalado = Runtime::ComponentRegistry::defaultSystemFile();
    EXPECT_TRUE(QDir::isAbsolutePath(instalado)) << instalado.toStdString();
    EXPECT_TRUE(instalado.endsWith(QStringLiteral("/teqvaro/componentes.ini"))) << instalado.toStdString();

    qputenv("TEQVARO_REGISTRO_SISTEMA", "/tmp/otro/componentes.ini");
    EXPECT_EQ(Runtime::ComponentRegistry::defaultSystemFile(), QStringLiteral("/tmp/otro/componentes.ini"));
    EXPECT_EQ(Runtime::ComponentRegistry().systemFile(), QStringLiteral("/tmp/otro/componentes.ini"));
    qunsetenv("TEQVARO_REGISTRO_SISTEMA");
    EXPECT_EQ(Runtime::ComponentRegistry::defaultSystemFile(), instalado);
}

TEST(ComponentLoader, refusesUnknownNamesAndLibrariesThatAreNoComponentsWith429)
{
    Runtime::ComponentLoader loader;
    try {
        loader.createObject(QStringLiteral("NADA.Pantalla"));
        ADD_FAILURE() << "an unregistered name created an object";
    } catch (const Runtime::RuntimeError &error) {
        EXPECT_EQ(error.number(), Runtime::ErrorNumber::CannotCreateObject);
        EXPECT_TRUE(error.description().contains(QStringLiteral("NADA.Pantalla")));
    }
    Runtime::ComponentRegistry().registerClass(QStringLiteral("FALSO.Pantalla"),
                                               {QStringLiteral("/no/existe/libfalso.so"), QStringLiteral("Pantalla")});
    EXPECT_EQ(errorNumberOf([&] { loader.createObject(QStringLiteral("FALSO.Pantalla")); }),
              Runtime::ErrorNumber::CannotCreateObject);
}

TEST(ComponentServer, handsOutOnlyTheClassesItServes)
{
    struct Fabrica final : Runtime::ClassFactory
    {
        QObject *createInstance() override { return new QObject; }
    } fabrica;
    Runtime::ClassFactory *obtained = nullptr;
    const Runtime::ComponentServer::Factories factories{{QStringLiteral("Pantalla"), &fabrica}};
    EXPECT_EQ(Runtime::ComponentServer::getClassObject("Pantalla", &obtained, factories), Runtime::ResultCode::Ok);
    EXPECT_EQ(obtained, &fabrica);
    EXPECT_EQ(Runtime::ComponentServer::getClassObject("Otra", &obtained, factories),
              Runtime::ResultCode::ClassNotAvailable);
    EXPECT_EQ(obtained, nullptr);
    EXPECT_EQ(Runtime::ComponentServer::canUnloadNow(1), Runtime::ResultCode::False);
    EXPECT_EQ(Runtime::ComponentServer::canUnloadNow(0), Runtime::ResultCode::Ok);
}

} // namespace

#include "componentes_test.moc"
