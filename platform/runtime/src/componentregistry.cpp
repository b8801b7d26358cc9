#include "runtime/componentregistry.h"

#include "runtime/error.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QObject>
#include <QSettings>
#include <QStandardPaths>

#include <dlfcn.h>

// The computer's registry that the package installs; the build gives its place under the
// install prefix.
#ifndef TEQVARO_REGISTRO_DEL_SISTEMA
#error "TEQVARO_REGISTRO_DEL_SISTEMA must name the installed component registry"
#endif

namespace Runtime {

ClassFactory::~ClassFactory() = default;

namespace {

const QString libraryKey = QStringLiteral("biblioteca");
const QString classKey = QStringLiteral("clase");

[[noreturn]] void cannotCreate(const QString &registrationName, const QString &reason)
{
    raise(ErrorNumber::CannotCreateObject,
          QStringLiteral("%1: %2 (%3)")
              .arg(standardDescription(ErrorNumber::CannotCreateObject), registrationName, reason));
}

template<typename Function> Function resolve(QLibrary &library, const char *symbol)
{
    return reinterpret_cast<Function>(library.resolve(symbol));
}

std::optional<Registration> findIn(const QString &file, const QString &registrationName)
{
    if (file.isEmpty())
        return std::nullopt;
    const QSettings store(file, QSettings::IniFormat);
    const QString library = store.value(registrationName + QLatin1Char('/') + libraryKey).toString();
    if (library.isEmpty())
        return std::nullopt;
    return Registration{library, store.value(registrationName + QLatin1Char('/') + classKey).toString()};
}

long runLibraryEntryPoint(const QString &libraryPath, const char *symbol)
{
    QLibrary library(libraryPath);
    if (!library.load())
        return ResultCode::Failure;
    const auto entry = resolve<RegisterServerFunction>(library, symbol);
    return entry ? entry() : ResultCode::Failure;
}

} // namespace

ComponentRegistry::ComponentRegistry(QString file, QString systemFile)
    : m_file(std::move(file))
    , m_systemFile(std::move(systemFile))
{ }

QString ComponentRegistry::defaultFile()
{
    const QString configured = qEnvironmentVariable("TEQVARO_REGISTRO");
    if (!configured.isEmpty())
        return configured;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Teqvaro/componentes.ini");
}

QString ComponentRegistry::defaultSystemFile()
{
    const QString configured = qEnvironmentVariable("TEQVARO_REGISTRO_SISTEMA");
    if (!configured.isEmpty())
        return configured;
    return QStringLiteral(TEQVARO_REGISTRO_DEL_SISTEMA);
}

void ComponentRegistry::registerClass(const QString &registrationName, const Registration &registration)
{
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    QSettings store(m_file, QSettings::IniFormat);
    store.beginGroup(registrationName);
    store.setValue(libraryKey, registration.library);
    store.setValue(classKey, registration.className);
    store.endGroup();
    store.sync();
    if (store.status() != QSettings::NoError)
        raise(ErrorNumber::InvalidCall,
              QStringLiteral("No se pudo escribir el registro de componentes %1").arg(m_file));
}

void ComponentRegistry::unregisterClass(const QString &registrationName)
{
    QSettings store(m_file, QSettings::IniFormat);
    store.remove(registrationName);
    store.sync();
}

std::optional<Registration> ComponentRegistry::find(const QString &registrationName) const
{
    if (auto own = findIn(m_file, registrationName))
        return own;
    return findIn(m_systemFile, registrationName);
}

QStringList ComponentRegistry::registrationNames() const
{
    QStringList names;
    for (const QString &file : {m_file, m_systemFile}) {
        if (file.isEmpty())
            continue;
        const QSettings store(file, QSettings::IniFormat);
        for (const QString &name : store.childGroups()) {
            if (!names.contains(name) && findIn(file, name))
                names << name;
        }
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}

struct ComponentLoader::LoadedLibrary
{
    QLibrary library;
    GetClassObjectFunction getClassObject = nullptr;
};

ComponentLoader::ComponentLoader(ComponentRegistry registry)
    : m_registry(std::move(registry))
{ }

// Destroying a QLibrary does not unload it: objects the library created may outlive the
// loader, and its code stays mapped for the life of the process.
ComponentLoader::~ComponentLoader() = default;

ComponentLoader::LoadedLibrary &ComponentLoader::load(const QString &path)
{
    auto found = m_libraries.find(path);
    if (found != m_libraries.end())
        return *found->second;
    auto loaded = std::make_unique<LoadedLibrary>();
    loaded->library.setFileName(path);
    if (!loaded->library.load())
        cannotCreate(path, loaded->library.errorString());
    loaded->getClassObject = resolve<GetClassObjectFunction>(loaded->library, getClassObjectSymbol);
    if (!loaded->getClassObject)
        cannotCreate(path, QStringLiteral("la biblioteca no es un componente"));
    return *m_libraries.emplace(path, std::move(loaded)).first->second;
}

std::unique_ptr<QObject> ComponentLoader::createObject(const QString &registrationName)
{
    const auto registration = m_registry.find(registrationName);
    if (!registration)
        cannotCreate(registrationName, QStringLiteral("no está registrado"));
    LoadedLibrary &library = load(registration->library);
    ClassFactory *factory = nullptr;
    const QByteArray className = registration->className.toUtf8();
    if (library.getClassObject(className.constData(), &factory) != ResultCode::Ok || !factory)
        cannotCreate(registrationName, QStringLiteral("la clase %1 no está disponible").arg(registration->className));
    std::unique_ptr<QObject> object(factory->createInstance());
    if (!object)
        cannotCreate(registrationName, QStringLiteral("la clase %1 no creó el objeto").arg(registration->className));
    return object;
}

long ComponentLoader::registerLibrary(const QString &libraryPath)
{
    return runLibraryEntryPoint(libraryPath, registerServerSymbol);
}

long ComponentLoader::unregisterLibrary(const QString &libraryPath)
{
    return runLibraryEntryPoint(libraryPath, unregisterServerSymbol);
}

namespace ComponentServer {

QString libraryPathOf(const void *addressInLibrary)
{
    Dl_info info{};
    if (dladdr(addressInLibrary, &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}

long registerServer(const void *addressInLibrary, const QString &typeLibrary, const QStringList &classNames)
{
    const QString path = libraryPathOf(addressInLibrary);
    if (path.isEmpty())
        return ResultCode::RegistrationFailed;
    try {
        ComponentRegistry registry;
        for (const QString &className : classNames)
            registry.registerClass(typeLibrary + QLatin1Char('.') + className, Registration{path, className});
    } catch (const RuntimeError &) {
        return ResultCode::RegistrationFailed;
    }
    return ResultCode::Ok;
}

long unregisterServer(const QString &typeLibrary, const QStringList &classNames)
{
    ComponentRegistry registry;
    for (const QString &className : classNames)
        registry.unregisterClass(typeLibrary + QLatin1Char('.') + className);
    return ResultCode::Ok;
}

long getClassObject(const char *className, ClassFactory **factory, const Factories &factories)
{
    if (!factory)
        return ResultCode::Failure;
    *factory = nullptr;
    const auto found = factories.find(QString::fromUtf8(className ? className : ""));
    if (found == factories.end())
        return ResultCode::ClassNotAvailable;
    *factory = found->second;
    return ResultCode::Ok;
}

long canUnloadNow(int liveObjects)
{
    return liveObjects == 0 ? ResultCode::Ok : ResultCode::False;
}

} // namespace ComponentServer

} // namespace Runtime
