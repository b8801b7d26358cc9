// The module as the host meets it: registered by name, loaded from its library, asked for
// its screen. (The host shell run as its own process: its own tests.)
#include "basedeprueba.h"
#include "errores.h"
#include "runtime/componentregistry.h"
#include "runtime/latebinding.h"
#include "servicios/servicios.h"

#include <QFileInfo>
#include <QLibrary>

#include <gtest/gtest.h>

namespace {

const QString biblioteca = KLD251_BIBLIOTECA;
const QString nombreDeRegistro = "KLD251.Pantalla";

// The library's own answer to whether the host may unload it now.
long puedeDescargarse()
{
    static QLibrary library(biblioteca);
    return reinterpret_cast<long (*)()>(library.resolve("DllCanUnloadNow"))();
}

QStringList creados; // the service objects, as start-up creates them

class ModuloCargado : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // Start-up must create the three service objects once, in this order.
        Servicios::Fabrica &fabrica = Servicios::Fabrica::actual();
        const Servicios::Fabrica original = fabrica;
        fabrica.nuevoEntorno = [original] {
            creados << "Entorno";
            return original.nuevoEntorno();
        };
        fabrica.nuevasFunciones = [original](Servicios::Entorno &entorno) {
            creados << "Funciones";
            return original.nuevasFunciones(entorno);
        };
        fabrica.nuevosProcesos = [original](Servicios::Entorno &entorno, Servicios::Funciones &funciones) {
            creados << "Procesos";
            return original.nuevosProcesos(entorno, funciones);
        };
        ASSERT_EQ(Runtime::ComponentLoader::registerLibrary(biblioteca), Runtime::ResultCode::Ok);
    }

    Pruebas::BaseDePrueba base;
    Runtime::ComponentLoader cargador;
};

// Registered under the module code and the library's path, the module hands out one board
// for every object of it; the library may be unloaded once none is alive.
TEST_F(ModuloCargado, handsOutOneBoardAnswersItsFamilyAndUnloadsOnceNoObjectIsAlive)
{
    const auto registro = Runtime::ComponentRegistry().find(nombreDeRegistro);
    ASSERT_TRUE(registro.has_value());
    EXPECT_EQ(QFileInfo(registro->library).canonicalFilePath(), QFileInfo(biblioteca).canonicalFilePath());
    EXPECT_EQ(registro->className, "Pantalla");

    std::unique_ptr<QObject> pantalla = cargador.createObject(nombreDeRegistro);
    EXPECT_EQ(creados, (QStringList{"Entorno", "Funciones", "Procesos"}));
    EXPECT_EQ(Runtime::readMember(pantalla.get(), "Modulo").toString(), "CRM");

    QObject *tablero = Runtime::readMember(pantalla.get(), "GetPantalla").value<QObject *>();
    ASSERT_NE(tablero, nullptr);
    EXPECT_EQ(tablero->objectName(), "frmKLD251");
    EXPECT_EQ(Runtime::readMember(pantalla.get(), "GetPantalla").value<QObject *>(), tablero);

    // A second object of the module shares the board and does not start the module again.
    std::unique_ptr<QObject> otra = cargador.createObject(nombreDeRegistro);
    EXPECT_EQ(Runtime::readMember(otra.get(), "GetPantalla").value<QObject *>(), tablero);
    EXPECT_EQ(creados.size(), 3);
    pantalla.reset();
    EXPECT_EQ(puedeDescargarse(), Runtime::ResultCode::False);
    otra.reset();
    EXPECT_EQ(puedeDescargarse(), Runtime::ResultCode::Ok);
}

TEST_F(ModuloCargado, theBoardsTransactionIsTheHostsDescriptorComposedByTheServiceLibrary)
{
    const std::unique_ptr<QObject> pantalla = cargador.createObject(nombreDeRegistro);
    QObject *tablero = Runtime::readMember(pantalla.get(), "GetPantalla").value<QObject *>();
    ASSERT_NE(tablero, nullptr);

    // Without a host object, and with one that lacks the member: errors for the reader.
    const auto transaccionCon = [tablero](QObject *padre) {
        tablero->setProperty("Padre", QVariant::fromValue(padre));
        return Pruebas::errorDe([tablero] { Runtime::readMember(tablero, "Transaccion"); });
    };
    QObject sinMiembros;
    EXPECT_EQ(transaccionCon(nullptr), Runtime::ErrorNumber::ObjectNotSet);
    EXPECT_EQ(transaccionCon(&sinMiembros), Runtime::ErrorNumber::MemberNotFound);

    QObject anfitrion; // as the board expects one
    anfitrion.setProperty("Transaccion", "OPERADOR=ANA");
    tablero->setProperty("Padre", QVariant::fromValue(&anfitrion));
    EXPECT_EQ(Runtime::readMember(tablero, "Padre").value<QObject *>(), &anfitrion);
    std::unique_ptr<Servicios::Entorno> entorno = Servicios::Fabrica::actual().nuevoEntorno();
    const std::unique_ptr<Servicios::Funciones> funciones = Servicios::Fabrica::actual().nuevasFunciones(*entorno);
    EXPECT_EQ(Runtime::readMember(tablero, "Transaccion").toString(),
              funciones->ArmaTransaccion("OPERADOR=ANA", "Teqvaro"));
}

} // namespace
