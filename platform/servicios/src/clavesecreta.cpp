#include "clavesecreta.h"

#include "registro.h"

#include "servicios/cifrado.h"

#include "runtime/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryFile>

#include <unistd.h>

namespace Servicios {
namespace {

constexpr int ErrorDeArchivo = 75;
constexpr int esperaDelCerrojo = 10000; // ms; making a key takes a moment, a live holder this long is stuck
constexpr QFileDevice::Permissions DeOtros = QFileDevice::ReadGroup | QFileDevice::WriteGroup
                                             | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                             | QFileDevice::WriteOther | QFileDevice::ExeOther;

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

void revisaArchivo(const QString &ruta)
{
    const QFileInfo informacion(ruta);
    if (!informacion.exists())
        rechaza(ruta, QStringLiteral("no existe (se crea al poner la primera contraseña con teqvaro --pon-contrasena)"));
    if (!informacion.isFile())
        rechaza(ruta, QStringLiteral("no es un archivo"));
    if (informacion.permissions() & DeOtros)
        rechaza(ruta, QStringLiteral("otros usuarios pueden leerla o modificarla (debe tener permisos 0600)"));
    if (informacion.size() != qint64(crypto_secretbox_KEYBYTES))
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
    if (QFileInfo::exists(ruta))
        return;
    if (!QDir().mkpath(QFileInfo(ruta).absolutePath()))
        rechaza(ruta, QStringLiteral("no se pudo crear su carpeta"));
    QLockFile cerrojo(ruta + QStringLiteral(".lock"));
    if (!cerrojo.tryLock(esperaDelCerrojo))
        rechaza(ruta, cerrojo.error() == QLockFile::LockFailedError
                          ? QStringLiteral("otro programa la está creando y no termina")
                          : QStringLiteral("no se pudo crear su cerrojo %1.lock").arg(ruta));
    if (!QFileInfo::exists(ruta)) // another process may have made it while this one waited
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
    revisaArchivo(ruta);
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)
        || archivo.read(reinterpret_cast<char *>(m_bytes.data()), qint64(m_bytes.size())) != qint64(m_bytes.size()))
        rechaza(ruta, archivo.errorString());
}

} // namespace Servicios
