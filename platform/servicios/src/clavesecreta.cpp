#include "clavesecreta.h"

#include "registro.h"

#include "servicios/cifrado.h"

#include "runtime/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QScopeGuard>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Servicios {
namespace {

constexpr int ErrorDeArchivo = 75;
constexpr int esperaDelCerrojo = 10000; // ms; making a key takes a moment, a live holder this long is stuck

[[noreturn]] void rechaza(const QString &ruta, const QString &motivo)
{
    const QString descripcion = QStringLiteral("No se puede usar la clave de contraseñas %1: %2").arg(ruta, motivo);
    qCWarning(logServicios).noquote() << descripcion;
    Runtime::raise(ErrorDeArchivo, descripcion);
}

// A temporary file is its owner's alone from the moment it exists, so the key is never
// open to others, and the rename shows it to readers only complete.
void escribeClaveNueva(const QString &ruta)
{
    QTemporaryFile nueva(ruta + QStringLiteral(".XXXXXX"));
    if (!nueva.open())
        rechaza(ruta, nueva.errorString());
    std::array<unsigned char, crypto_secretbox_KEYBYTES> bytes{};
    crypto_secretbox_keygen(bytes.data());
    const bool escrita = nueva.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size()))
                             == qint64(bytes.size())
                         && nueva.flush() && ::fsync(nueva.handle()) == 0;
    sodium_memzero(bytes.data(), bytes.size());
    if (!escrita || !nueva.rename(ruta))
        rechaza(ruta, nueva.errorString());
    nueva.setAutoRemove(false);
    qCInfo(logServicios).noquote() << "Se creó la clave de contraseñas" << ruta;
}

// Something, even a link to nothing, already has the key's name: no key is made over it.
bool algoTieneElNombre(const QString &ruta)
{
    struct stat estado
    { };
    return ::lstat(QFile::encodeName(ruta).constData(), &estado) == 0;
}

[[noreturn]] void rechazaLaQueFalta(const QString &ruta)
{
    const QFileInfo enlace(ruta);
    if (enlace.isSymLink())
        rechaza(ruta, QStringLiteral("es un enlace a %1, que no existe").arg(enlace.symLinkTarget()));
    rechaza(ruta, QStringLiteral("no existe (se crea al poner la primera contraseña con teqvaro --pon-contrasena)"));
}

// Judged on the file as opened, so what is read is what was checked. The key must be the
// user's own: a key another account owns (root reading a user's key, say) could have been
// chosen by that account, which would then read every password.
void revisaAbierta(const QString &ruta, int descriptor)
{
    struct stat estado
    { };
    if (::fstat(descriptor, &estado) != 0)
        rechaza(ruta, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(estado.st_mode))
        rechaza(ruta, QStringLiteral("no es un archivo"));
    if (estado.st_uid != ::geteuid())
        rechaza(ruta, QStringLiteral(
                          "pertenece a otro usuario (uid %1) y debe ser del usuario que corre el programa (uid %2)")
                          .arg(estado.st_uid)
                          .arg(::geteuid()));
    if (estado.st_mode & (S_IRWXG | S_IRWXO))
        rechaza(ruta, QStringLiteral("otros usuarios pueden leerla o modificarla (debe tener permisos 0600)"));
    if (estado.st_size != off_t(crypto_secretbox_KEYBYTES))
        rechaza(ruta, QStringLiteral("no tiene el tamaño de una clave (%1 bytes)").arg(crypto_secretbox_KEYBYTES));
}

} // namespace

void iniciaSodium()
{
    static const bool iniciada = sodium_init() >= 0;
    if (!iniciada)
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("No se pudo iniciar la biblioteca criptográfica"));
}

void ClaveSecreta::creaSiFalta()
{
    iniciaSodium();
    const QString ruta = Cifrado::rutaClave();
    if (algoTieneElNombre(ruta))
        return;
    if (!QDir().mkpath(QFileInfo(ruta).absolutePath()))
        rechaza(ruta, QStringLiteral("no se pudo crear su carpeta"));
    QLockFile cerrojo(ruta + QStringLiteral(".lock"));
    if (!cerrojo.tryLock(esperaDelCerrojo))
        rechaza(ruta, cerrojo.error() == QLockFile::LockFailedError
                          ? QStringLiteral("otro programa la está creando y no termina")
                          : QStringLiteral("no se pudo crear su cerrojo %1.lock").arg(ruta));
    if (!algoTieneElNombre(ruta)) // another process may have made it while this one waited
        escribeClaveNueva(ruta);
}

ClaveSecreta::~ClaveSecreta()
{
    sodium_memzero(m_bytes.data(), m_bytes.size());
}

ClaveSecreta::ClaveSecreta(SiFalta siFalta)
{
    iniciaSodium();
    if (siFalta == SiFalta::Crea)
        creaSiFalta();
    const QString ruta = Cifrado::rutaClave();
    const int descriptor = ::open(QFile::encodeName(ruta).constData(),
                                  O_RDONLY | O_CLOEXEC | O_NONBLOCK); // a pipe in its place must not hang the start
    if (descriptor < 0 && errno == ENOENT)
        rechazaLaQueFalta(ruta);
    if (descriptor < 0)
        rechaza(ruta, QString::fromLocal8Bit(std::strerror(errno)));
    const auto cierra = qScopeGuard([descriptor] { ::close(descriptor); });
    revisaAbierta(ruta, descriptor);
    if (::read(descriptor, m_bytes.data(), m_bytes.size()) != ssize_t(m_bytes.size()))
        rechaza(ruta, QStringLiteral("no se pudo leer completa"));
}

} // namespace Servicios
