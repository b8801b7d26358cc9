#include "clavesecreta.h"

#include "servicios/cifrado.h"

#include "runtime/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Servicios {
namespace {

constexpr int ErrorDeArchivo = 75;
constexpr QFileDevice::Permissions SoloDueno = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions DeOtros = QFileDevice::ReadGroup | QFileDevice::WriteGroup
                                             | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                             | QFileDevice::WriteOther | QFileDevice::ExeOther;

[[noreturn]] void rechaza(const QString &ruta, const QString &motivo)
{
    Runtime::raise(ErrorDeArchivo, QStringLiteral("No se puede usar la clave de contraseñas %1: %2").arg(ruta, motivo));
}

// Another process may create the file at the same moment; whoever loses the race simply
// uses the winner's key.
void creaSiFalta(const QString &ruta)
{
    if (QFileInfo::exists(ruta))
        return;
    if (!QDir().mkpath(QFileInfo(ruta).absolutePath()))
        rechaza(ruta, QStringLiteral("no se pudo crear su carpeta"));
    std::array<unsigned char, crypto_secretbox_KEYBYTES> nueva{};
    crypto_secretbox_keygen(nueva.data());
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::NewOnly, SoloDueno)) {
        sodium_memzero(nueva.data(), nueva.size());
        if (QFileInfo::exists(ruta))
            return;
        rechaza(ruta, archivo.errorString());
    }
    const bool escrita = archivo.write(reinterpret_cast<const char *>(nueva.data()), qint64(nueva.size()))
                         == qint64(nueva.size());
    sodium_memzero(nueva.data(), nueva.size());
    if (!escrita || !archivo.flush())
        rechaza(ruta, archivo.errorString());
}

void revisaPermisos(const QString &ruta)
{
    const QFileInfo informacion(ruta);
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

ClaveSecreta::~ClaveSecreta()
{
    sodium_memzero(m_bytes.data(), m_bytes.size());
}

ClaveSecreta::ClaveSecreta()
{
    iniciaSodium();
    const QString ruta = Cifrado::rutaClave();
    creaSiFalta(ruta);
    revisaPermisos(ruta);
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)
        || archivo.read(reinterpret_cast<char *>(m_bytes.data()), qint64(m_bytes.size())) != qint64(m_bytes.size()))
        rechaza(ruta, archivo.errorString());
}

} // namespace Servicios
