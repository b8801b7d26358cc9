// The component entry points of the KLD251 library. Each forwards to the platform's
// component runtime; the module's own code begins with Publico::Main.
#include "pantalla.h"
#include "publico.h"
#include "runtime/componentregistry.h"
#include "runtime/log.h"

namespace {

const QString BibliotecaDeTipos = QStringLiteral("KLD251");
const QStringList Clases = {QStringLiteral("Pantalla")};

class FabricaDePantalla final : public Runtime::ClassFactory
{
public:
    QObject *createInstance() override
    {
        try {
            if (!Publico::Iniciado())
                Publico::Main();
            return new Pantalla; // the caller owns it
        } catch (...) {
            Runtime::logUntrappedFailure("Pantalla", std::current_exception());
            return nullptr;
        }
    }
};

FabricaDePantalla fabricaDePantalla;

} // namespace

#define KLD251_ENTRADA extern "C" __attribute__((visibility("default")))

KLD251_ENTRADA long DllRegisterServer()
{
    return Runtime::ComponentServer::registerServer(reinterpret_cast<const void *>(&DllRegisterServer),
                                                    BibliotecaDeTipos, Clases);
}

KLD251_ENTRADA long DllUnregisterServer()
{
    return Runtime::ComponentServer::unregisterServer(BibliotecaDeTipos, Clases);
}

KLD251_ENTRADA long DllGetClassObject(const char *className, Runtime::ClassFactory **factory)
{
    return Runtime::ComponentServer::getClassObject(className, factory,
                                                    {{QStringLiteral("Pantalla"), &fabricaDePantalla}});
}

KLD251_ENTRADA long DllCanUnloadNow()
{
    return Runtime::ComponentServer::canUnloadNow(Pantalla::ObjetosVivos());
}
