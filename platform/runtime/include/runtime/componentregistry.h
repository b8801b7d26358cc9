#pragma once

#include "runtime/runtime_export.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QObject;

namespace Runtime {

// Result codes of the component entry points.
namespace ResultCode {
inline constexpr long Ok = 0;
inline constexpr long False = 1;
inline constexpr long Failure = long(0x80004005u);
inline constexpr long ClassNotAvailable = long(0x80040111u);
inline constexpr long RegistrationFailed = long(0x80040201u);
} // namespace ResultCode

// What a component library hands out for each class it can create.
class RUNTIME_EXPORT ClassFactory
{
public:
    virtual ~ClassFactory();
    virtual QObject *createInstance() = 0;
};

// The four entry points every component library exports, by these names.
using RegisterServerFunction = long (*)();
using UnregisterServerFunction = long (*)();
using GetClassObjectFunction = long (*)(const char *className, ClassFactory **factory);
using CanUnloadNowFunction = long (*)();
inline constexpr char registerServerSymbol[] = "DllRegisterServer";
inline constexpr char unregisterServerSymbol[] = "DllUnregisterServer";
inline constexpr char getClassObjectSymbol[] = "DllGetClassObject";
inline constexpr char canUnloadNowSymbol[] = "DllCanUnloadNow";

struct Registration
{
    QString library;
    QString className;
};

// Registration names ("KLD251.Pantalla") mapped to the library and class that serve them.
// Kept in two INI files: the user's ($TEQVARO_REGISTRO when set, else the user's
// configuration folder), which registration writes, and the computer's, which the package
// installs ($TEQVARO_REGISTRO_SISTEMA when set, else the one under the install prefix).
// A look-up tries the user's file first, so a user's own registration wins.
class RUNTIME_EXPORT ComponentRegistry
{
public:
    explicit ComponentRegistry(QString file = defaultFile(), QString systemFile = defaultSystemFile());

    static QString defaultFile();
    static QString defaultSystemFile();
    const QString &file() const { return m_file; }
    const QString &systemFile() const { return m_systemFile; }

    // Registration writes and removes in the user's file only.
    void registerClass(const QString &registrationName, const Registration &registration);
    void unregisterClass(const QString &registrationName);
    std::optional<Registration> find(const QString &registrationName) const;
    // The names either file serves, each once, in order.
    QStringList registrationNames() const;

private:
    QString m_file;
    QString m_systemFile;
};

// The host's side: finds a registered class, loads its library once and creates objects.
class RUNTIME_EXPORT ComponentLoader
{
public:
    explicit ComponentLoader(ComponentRegistry registry = ComponentRegistry());
    ~ComponentLoader();
    ComponentLoader(const ComponentLoader &) = delete;
    ComponentLoader &operator=(const ComponentLoader &) = delete;

    // Raises 429 with the reason when the object cannot be created.
    std::unique_ptr<QObject> createObject(const QString &registrationName);

    // Runs a library's own registration entry point, as an installer does.
    static long registerLibrary(const QString &libraryPath);
    static long unregisterLibrary(const QString &libraryPath);

private:
    struct LoadedLibrary;
    LoadedLibrary &load(const QString &path);

    ComponentRegistry m_registry;
    std::map<QString, std::unique_ptr<LoadedLibrary>> m_libraries;
};

// The component's side: what its entry points forward to.
namespace ComponentServer {

using Factories = std::map<QString, ClassFactory *>;

// The path of the shared library that holds the given address.
RUNTIME_EXPORT QString libraryPathOf(const void *addressInLibrary);

RUNTIME_EXPORT long registerServer(const void *addressInLibrary, const QString &typeLibrary,
                                   const QStringList &classNames);
RUNTIME_EXPORT long unregisterServer(const QString &typeLibrary, const QStringList &classNames);
RUNTIME_EXPORT long getClassObject(const char *className, ClassFactory **factory, const Factories &factories);
RUNTIME_EXPORT long canUnloadNow(int liveObjects);

} // namespace ComponentServer

} // namespace Runtime
