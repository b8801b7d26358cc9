#include "runtime/componentregistry.h"
#include "runtime/error.h"
#include "runtime/latebinding.h"

#include <QObject>

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

template<typename Body>
int errorNumberOf(Body &&body)
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
    EXPECT_EQ(errorNumberOf([&] { Runtime::callMember(&objeto, "suma", {QStringLiteral("dos"), 3}); }),
              Runtime::ErrorNumber::TypeMismatch);
}

TEST(ComponentRegistry, keepsRegistrationsUntilTheyAreRemoved)
{
    Runtime::ComponentRegistry registry;
    registry.registerClass(QStringLiteral("PRUEBA.Clase"), {QStringLiteral("/ruta/libprueba.so"), QStringLiteral("Clase")});
    const auto found = Runtime::ComponentRegistry().find(QStringLiteral("PRUEBA.Clase"));
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->library, QStringLiteral("/ruta/libprueba.so"));
    EXPECT_EQ(found->className, QStringLiteral("Clase"));
    registry.unregisterClass(QStringLiteral("PRUEBA.Clase"));
    EXPECT_FALSE(registry.find(QStringLiteral("PRUEBA.Clase")).has_value());
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
