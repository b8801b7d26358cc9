#pragma once

// The database server's processes that serve the team's boards, and the CPU they use: only
// theirs, not the server's other work (the writers' sessions, the benchmark's own, the
// server's background workers, other databases), which would drift under the figure.

#include <chrono>
#include <map>
#include <set>

#include <QtGlobal>

namespace Banco {

class ConexionPlana;

struct ConsumoDeSesiones
{
    double cpu = 0;     // ms
    int sesiones = 0;   // server processes counted
    int terminadas = 0; // of them, those that ended before the window did
};

// A board's server processes are those of the suite's connections (their application name
// is the suite's) that were not there when this object was made: made before the hosts
// start, it leaves out every connection of the suite's already open. Each host has its
// session's, and its board's background reader's once the board has read in the background.
class SesionesDeLosTableros
{
public:
    explicit SesionesDeLosTableros(ConexionPlana &conexion);

    // The CPU those processes use during `ventana`, those that start within it included. The
    // kernel's count of a process goes with it, so they are sampled every second; one that
    // ends loses at most its last second (the board's two connections stay open, so none
    // should).
    ConsumoDeSesiones cpuEn(std::chrono::seconds ventana);

private:
    struct Cuenta
    {
        double alEmpezar = 0;
        double ultima = 0;
    };

    std::set<qint64> delosTableros();
    // Returns the processes alive now; those new to `cuentas` start from 0 unless `desdeAhora`.
    std::set<qint64> muestrea(std::map<qint64, Cuenta> &cuentas, bool desdeAhora);

    ConexionPlana &m_conexion;
    std::set<qint64> m_ajenas;
};

} // namespace Banco
