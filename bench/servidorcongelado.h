#pragma once

// A database server that hangs: every process of a PostgreSQL server on this machine stopped
// (SIGSTOP) for as long as an object lives, as a server does that stops answering without
// closing a connection.

#include <sys/types.h>

#include <vector>

namespace Banco {

class ConexionPlana;

class ServidorCongelado
{
public:
    // Stops the server `conexion` is connected to: its postmaster, the parent of the
    // connection's own server process, and every process it forked. When they cannot be told
    // apart or signalled (another machine's server, no right to signal them), it stops
    // nothing and says why on the error stream.
    explicit ServidorCongelado(ConexionPlana &conexion);
    // Lets them go on.
    ~ServidorCongelado();
    ServidorCongelado(const ServidorCongelado &) = delete;
    ServidorCongelado &operator=(const ServidorCongelado &) = delete;

    bool detenido() const { return !m_detenidos.empty(); }

private:
    void detiene(pid_t postmaster);
    void sigue();
    void dejaGuardia();

    std::vector<pid_t> m_detenidos;
    pid_t m_guardia = -1; // continues them should this process end before it does
    int m_avisoAlGuardia = -1;
};

} // namespace Banco
