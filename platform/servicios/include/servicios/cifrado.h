#pragma once

#include "servicios/servicios_export.h"

#include <QString>

#include <memory>

namespace Servicios {

class ClaveSecreta;

// How salespeople's passwords were kept before they became hashes (servicios/contrasenavendedor.h),
// read only to carry them over. A password was kept as "sb1:" followed by base64 of a random
// nonce and the authenticated ciphertext (XSalsa20-Poly1305 under the installation's key).
// The key is 32 random bytes in a file only its owner may read: $TEQVARO_CLAVE, else
// <config>/Teqvaro/clave.bin. Nothing makes a key any more.
class SERVICIOS_EXPORT Cifrado final
{
public:
    // Reads the installation's key. Raises 75, with the reason, when the file is missing,
    // open to group or others, or does not hold a key: the service cannot work, which is
    // not the same as a wrong password.
    Cifrado();
    ~Cifrado();
    Cifrado(const Cifrado &) = delete;
    Cifrado &operator=(const Cifrado &) = delete;

    inline static const QString Prefijo = QStringLiteral("sb1:");

    // Raises 5 when the text does not decipher under this installation's key (altered,
    // another key, or not in the stored format).
    QString Descifra(const QString &guardado) const;

    static QString rutaClave();

private:
    std::unique_ptr<const ClaveSecreta> m_clave;
};

} // namespace Servicios
