#include "servicios/cifrado.h"

#include "clavesecreta.h"

#include "runtime/error.h"

#include <QStandardPaths>

#include <vector>

namespace Servicios {
namespace {

[[noreturn]] void indescifrable()
{
    Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                   QStringLiteral("La contraseña guardada no se puede descifrar con la clave de esta instalación"));
}

} // namespace

QString Cifrado::rutaClave()
{
    const QString elegida = qEnvironmentVariable("TEQVARO_CLAVE");
    if (!elegida.isEmpty())
        return elegida;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Teqvaro/clave.bin");
}

Cifrado::Cifrado()
    : m_clave(std::make_unique<const ClaveSecreta>())
{ }

Cifrado::~Cifrado() = default;

QString Cifrado::Descifra(const QString &guardado) const
{
    if (!guardado.startsWith(Prefijo))
        indescifrable();
    const auto decodificado = QByteArray::fromBase64Encoding(guardado.mid(Prefijo.size()).toLatin1(),
                                                             QByteArray::AbortOnBase64DecodingErrors);
    const QByteArray &bytes = decodificado.decoded;
    const qsizetype cabecera = qsizetype(crypto_secretbox_NONCEBYTES + crypto_secretbox_MACBYTES);
    if (!decodificado || bytes.size() < cabecera)
        indescifrable();
    const auto *nonce = reinterpret_cast<const unsigned char *>(bytes.constData());
    std::vector<unsigned char> claro(size_t(bytes.size() - cabecera));
    if (crypto_secretbox_open_easy(claro.data(), nonce + crypto_secretbox_NONCEBYTES,
                                   quint64(bytes.size()) - crypto_secretbox_NONCEBYTES, nonce, m_clave->datos())
        != 0)
        indescifrable();
    const QString resultado = QString::fromUtf8(reinterpret_cast<const char *>(claro.data()), qsizetype(claro.size()));
    sodium_memzero(claro.data(), claro.size());
    return resultado;
}

} // namespace Servicios
