#pragma once

#include "ado/ado_export.h"
#include "ado/databaseaddress.h"

namespace Ado {

// How a PostgreSQL server answered a sign-in.
enum class SignIn {
    Accepted,
    Refused,        // a wrong password or a user the server does not know: it does not say which
    PasswordNeeded, // none was given, nor found in PGPASSWORD or ~/.pgpass
};

// Signs in to the server of a PostgreSQL address with its user and password, and leaves at
// once: it tells a refused sign-in from a server that cannot be reached, which the sessions
// the program uses cannot. Raises, as Connection does, when the server cannot be reached or
// refuses for another reason (a database that does not exist, say).
ADO_EXPORT SignIn trySignIn(const DatabaseAddress &address);

} // namespace Ado
