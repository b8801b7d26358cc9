// Late binding by name, and the component registry and loader through which the host finds a
// module's library by its registration name.
#include "basedeprueba.h"
#include "errores.h"
#include "runtime/componentregistry.h"
#include "runtime/latebinding.h"

#include <QDir>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Pruebas::errorDe;
using namespace Runtime::ErrorNumber;

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

// What creating the object of a registration name raised: its number and description.
QString fallaAlCrear(Runtime::ComponentLoader &loader, const char *nombre)
{
    try {
        loader.createObject(QString::fromUtf8(nombre));
    } catch (const Runtime::RuntimeError &error) {
        return QString::number(error.number()) + QLatin1Char(' ') + error.description();
    }
    return QStringLiteral("creado");
}

TEST(LateBinding, readsAndCallsMembersByNameAndRaises91WithoutAnObjectAnd438ForAMissingOne)
{
    ObjetoConMiembros objeto;
    EXPECT_EQ(Runtime::readMember(&objeto, "Transaccion").toString(), QStringLiteral("T-1"));
    Runtime::callMember(&objeto, "transacciones", {QStringLiteral("KLD242"), QStringLiteral("ACCION=NUEVO")});
    EXPECT_EQ(objeto.llamadas, QStringList{QStringLiteral("KLD242 ACCION=NUEVO")});
    EXPECT_EQ(Runtime::callMember(&objeto, "suma", {QStringLiteral("2"), 3}).toInt(), 5);

    const std::pair<std::function<void()>, int> casos[] = {
        {[] { Runtime::callMember(nullptr, "transacciones", {}); }, ObjectNotSet},
        {[&] { Runtime::readMember(&objeto, "NoExiste"); }, MemberNotFound},
        {[&] { Runtime::callMember(&objeto, "noExiste", {}); }, MemberNotFound},
        // The right name with the wrong number of arguments is no member either.
        {[&] { Runtime::callMember(&objeto, "transacciones", {QStringLiteral("KLD242")}); }, MemberNotFound},
        {[&] {
             Runtime::callMember(&objeto, "suma", {QStringLiteral("dos"), 3});
         },
         TypeMismatch},
    };
    for (const auto &[paso, numero] : casos)
        EXPECT_EQ(errorDe(paso), numero);
}

// The user's registry and the computer's, as the package writes it, side by side.
class DosRegistros : public testing::Test
{
protected:
    void SetUp() override
    {
        QFile archivo(delSistema);
        ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
        archivo.write("; escrito por el paquete\n"
                      "[KLD251.Pantalla]\nbiblioteca=/usr/lib/teqvaro/KLD251.so\nclase=Pantalla\n"
                      "[KLD242.Pantalla]\nbiblioteca=/usr/lib/teqvaro/KLD242.so\nclase=Pantalla\n");
    }

    // Each name's library and class as a registry opened afresh on the same files finds them.
    QString bibliotecas(const QStringList &nombres) const
    {
        const Runtime::ComponentRegistry otro{delUsuario, delSistema};
        QStringList halladas;
        for (const QString &nombre : nombres) {
            const auto hallada = otro.find(nombre).value_or(Runtime::Registration{QStringLiteral("-"), {}});
            halladas << hallada.library + QLatin1Char(':') + hallada.className;
        }
        return halladas.join(QLatin1Char(' '));
    }

    QTemporaryDir carpeta;
    const QString delUsuario = carpeta.filePath(QStringLiteral("usuario/componentes.ini"));
    const QString delSistema = carpeta.filePath(QStringLiteral("componentes.ini"));
    Runtime::ComponentRegistry registro{delUsuario, delSistema};
};

// The user's own entry wins over the computer's; removing it brings the computer's back, and
// the computer's file is never written.
TEST_F(DosRegistros, findsANameInTheUsersRegistryFirstAndThenInTheComputersWhichItNeverWrites)
{
    registro.registerClass(QStringLiteral("KLD251.Pantalla"),
                           {QStringLiteral("/home/ana/KLD251.so"), QStringLiteral("Pantalla")});
    registro.registerClass(QStringLiteral("KLD300.Pantalla"),
                           {QStringLiteral("/home/ana/KLD300.so"), QStringLiteral("Otra")});
    const QStringList nombres = {QStringLiteral("KLD251.Pantalla"), QStringLiteral("KLD242.Pantalla"),
                                 QStringLiteral("KLD300.Pantalla"), QStringLiteral("KLD999.Pantalla")};
    EXPECT_EQ(bibliotecas(nombres), QStringLiteral("/home/ana/KLD251.so:Pantalla /usr/lib/teqvaro/KLD242.so:Pantalla "
                                                   "/home/ana/KLD300.so:Otra -:"));
    EXPECT_EQ(registro.registrationNames().join(QLatin1Char(' ')),
              QStringLiteral("KLD242.Pantalla KLD251.Pantalla KLD300.Pantalla"));

    for (const QString &nombre : nombres)
        registro.unregisterClass(nombre);
    EXPECT_EQ(bibliotecas(nombres), QStringLiteral("/usr/lib/teqvaro/KLD251.so:Pantalla "
                                                   "/usr/lib/teqvaro/KLD242.so:Pantalla -: -:"));
}

// A name nobody registered, or a library that is not there, is refused with 429 naming it.
TEST_F(DosRegistros, theLoaderRefusesWhatItCannotCreateWith429NamingWhatItLookedFor)
{
    Runtime::ComponentLoader loader(registro);
    EXPECT_TRUE(fallaAlCrear(loader, "KLD242.Pantalla").startsWith(QStringLiteral("429 ")));
    EXPECT_TRUE(fallaAlCrear(loader, "KLD242.Pantalla").contains(QStringLiteral("/usr/lib/teqvaro/KLD242.so")));
    EXPECT_TRUE(fallaAlCrear(loader, "NADA.Pantalla").startsWith(QStringLiteral("429 ")));
    EXPECT_TRUE(fallaAlCrear(loader, "NADA.Pantalla").contains(QStringLiteral("NADA.Pantalla")));
}

TEST(ComponentRegistry, takesTheComputersRegistryFromTheEnvironmentOrFromTheInstallPrefix)
{
    qunsetenv("TEQVARO_REGISTRO_SISTEMA");
    const QString instalado = Runtime::ComponentRegistry::defaultSystemFile();
    EXPECT_TRUE(QDir::isAbsolutePath(instalado)) << instalado.toStdString();
    EXPECT_TRUE(instalado.endsWith(QStringLiteral("/teqvaro/componentes.ini"))) << instalado.toStdString();

    qputenv("TEQVARO_REGISTRO_SISTEMA", "/tmp/otro/componentes.ini");
    EXPECT_EQ(Runtime::ComponentRegistry().systemFile(), QStringLiteral("/tmp/otro/componentes.ini"));
    qunsetenv("TEQVARO_REGISTRO_SISTEMA");
    EXPECT_EQ(Runtime::ComponentRegistry::defaultSystemFile(), instalado);
}

} // namespace

#include "componentes_test.moc"
