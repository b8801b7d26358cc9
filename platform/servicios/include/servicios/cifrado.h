#pragma once

#include "servicios/servicios_export.h"

#include <QString>

#include <memory>

namespace Servicios {

class ClaveSecreta;

// The password service. A password is kept as "sb1:" followed by base64 of a random nonce
// and the authenticated ciphertext (XSalsa20-Poly1305 under the installation's key).
// The key is 32 random bytes in a file only its owner may read: $TEQVARO_CLAVE, else
// <config>/Teqvaro/clave.bin. Only setting a password creates it (the host's
// --pon-contrasena, the demo database's creation); checking one never does, since a new
// key leaves every password stored under the old one undecipherable.
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
    // Enciphers a password to be stored, creating the key when there is none yet.
    static QString Cifra(const QString &clara);

    // Compares in time independent of where the texts differ.
    static bool Iguales(const QString &una, const QString &otra);

    static QString rutaClave();
    // Creates the key file (mode 0600) when it does not exist yet; raises 75 when the file
    // is open to group or others, or does not hold a key.
    static void aseguraClave();

private:
    std::unique_ptr<const ClaveSecreta> m_clave;
};

// The rules every new password keeps: not empty, not only blanks (a password nobody can
// type back locks its owner out) and at most 256 characters. Raises 5 saying which rule
// it breaks.
SERVICIOS_EXPORT void revisaContrasenaNueva(const QString &clara);

// Stores a salesperson's password, enciphered, on the session's connection. Raises 5 when
// the password breaks the rules of revisaContrasenaNueva or no salesperson has that code.
// For the host's command line.
SERVICIOS_EXPORT void ponContrasena(const QString &codigoVendedor, const QString &clara);

} // namespace Servicios
