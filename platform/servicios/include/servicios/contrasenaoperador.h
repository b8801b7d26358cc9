#pragma once

#include "servicios/servicios_export.h"

#include <QString>

#include <optional>

namespace Servicios {

// An operator's password is never read back, only checked, so it is kept as a slow salted
// hash (Argon2id, libsodium's crypto_pwhash_str) that a copy of the database does not give
// away, and that needs no key file.
class SERVICIOS_EXPORT HuellaDeContrasena final
{
public:
    // A new hash, with its own salt and the cost it was made with, as text to store.
    static QString calcula(const QString &clara);
    // Whether the password gives the stored hash. A hash that is empty or not in the stored
    // format matches nothing, and costs as much to refuse as a wrong password.
    static bool coincide(const QString &huella, const QString &clara);
};

// The rules every new password keeps: at least 10 characters, not only blanks (a password
// nobody can type back locks its owner out) and at most 256. Raises 5 saying which rule it
// breaks.
SERVICIOS_EXPORT void revisaContrasenaNueva(const QString &clara);

// An operator as the sign-in reads it: the code as the database stores it and the stored
// hash ("" when none was set).
struct OperadorGuardado
{
    QString codigo;
    QString huella;
};

// The operator whose code matches ignoring case (the one spelled exactly so, when two differ
// only in case), on the session's connection; nothing when there is none.
SERVICIOS_EXPORT std::optional<OperadorGuardado> leeOperador(const QString &codigo);

// Stores an operator's password as its hash (table Operador_Contrasena) on the session's
// connection, for the operator whose code matches ignoring case. Raises 5 when the password breaks the rules of
// revisaContrasenaNueva or no operator has that code.
SERVICIOS_EXPORT void ponContrasenaOperador(const QString &codigoOperador, const QString &clara);

} // namespace Servicios
