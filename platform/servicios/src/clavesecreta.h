#pragma once

#include <sodium.h>

#include <array>

namespace Servicios {

// The installation's key while it is in memory; wiped when it goes.
class ClaveSecreta final
{
public:
    // Reads the key file; raises 75 with the reason (also logged) when it cannot be used.
    ClaveSecreta();
    ~ClaveSecreta();
    ClaveSecreta(const ClaveSecreta &) = delete;
    ClaveSecreta &operator=(const ClaveSecreta &) = delete;

    const unsigned char *datos() const { return m_bytes.data(); }

private:
    std::array<unsigned char, crypto_secretbox_KEYBYTES> m_bytes{};
};

// sodium_init, once per process; raises when the library cannot start.
void iniciaSodium();

} // namespace Servicios
