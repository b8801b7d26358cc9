#pragma once

#include "servicios/servicios_export.h"

#include <QString>

namespace Servicios {

// The password service. A password is kept as "sb1:" followed by base64 of a random nonce
// and the authenticated ciphertext (XSalsa20-Poly1305 under the installation's key).
// The key is 32 random bytes in a file only its owner may read: $TEQVARO_CLAVE, else
// <config>/Teqvaro/clave.bin, created on first use.
class SERVICIOS_EXPORT Cifrado final
{
public:
    inline static const QString Prefijo = QStringLiteral("sb1:");

    // Raises 5 when the text does not decipher under this installation's key (altered,
    // another key, or not in the stored format), 75 when the key file is unusable.
    QString Descifra(const QString &guardado) const;
    static QString Cifra(const QString &clara);

    // Compares in time independent of where the texts differ.
    static bool Iguales(const QString &una, const QString &otra);

    static QString rutaClave();
    // Creates the key file (mode 0600) when it does not exist yet; raises 75 when the file
    // is open to group or others, or does not hold a key.
    static void aseguraClave();
};

// Stores a salesperson's password, enciphered, on the session's connection. Raises 5 when
// no salesperson has that code. For the host's command line.
SERVICIOS_EXPORT void ponContrasena(const QString &codigoVendedor, const QString &clara);

} // namespace Servicios
