#include "clavesecreta.h"

#include "registro.h"

#include "servicios/cifrado.h"

#include "runtime/error.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Servicios {
namespace {

constexpr int ErrorDeArchivo = 75;

[[noreturn]] void rechaza(const QString &ruta, const QString &motivo)
{
    const QString descripcion = QStringLiteral("No se puede usar la clave de contraseñas %1: %2").arg(ruta, motivo);
    qCWarning(logServicios).noquote() << descripcion;
    Runtime::raise(ErrorDeArchivo, descripcion);
}

[[noreturn]] void rechazaLaQueFalta(const QString &ruta)
{
    const QFileInfo enlace(ruta);
    if (enlace.isSymLink())
        rechaza(ruta, QStringLiteral("es un enlace a %1, que no existe").arg(enlace.symLinkTarget()));
    rechaza(ruta, QStringLiteral("no existe"));
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

ClaveSecreta::~ClaveSecreta()
{
    sodium_memzero(m_bytes.data(), m_bytes.size());
}

ClaveSecreta::ClaveSecreta()
{
    iniciaSodium();
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
