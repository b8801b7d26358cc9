#pragma once

#include <sodium.h>

#include <array>

namespace Servicios {

// The installation's key while it is in memory; wiped when it goes.
class ClaveSecreta final
{
public:
    // Whether a missing key file is made anew. Only setting a password makes one: any other
    // use would leave every password stored under the lost key undecipherable.
    enum class SiFalta { Rechaza, Crea };

    // Reads the key file; raises 75 with the reason (also logged) when it cannot be used.
    explicit ClaveSecreta(SiFalta siFalta);
    ~ClaveSecreta();
    ClaveSecreta(const ClaveSecreta &) = delete;
    ClaveSecreta &operator=(const ClaveSecreta &) = delete;

    const unsigned char *datos() const { return m_bytes.data(); }

    // Makes the key file when there is none. Processes started together agree on one key:
    // it is made under a lock and takes its name only once written whole.
    static void creaSiFalta();

private:
    std::array<unsigned char, crypto_secretbox_KEYBYTES> m_bytes{};
};

// sodium_init, once per process; raises when the library cannot start.
void iniciaSodium();

} // namespace Servicios
