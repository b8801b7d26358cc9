#pragma once

namespace Ado {
class Connection;
}

namespace Datos {

// Salespeople's passwords as they were kept before (enciphered in Vn_Password under the
// installation's key) become hashes: each one that this desk's key deciphers is hashed again;
// the others ask for a new password at the next login. Vn_Password is emptied either way.
void trasladaContrasenasDeVendedores(Ado::Connection &conexion);

} // namespace Datos
