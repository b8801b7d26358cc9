#pragma once

// Processes as the kernel counts them: CPU time, peak resident memory, and who forked whom.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace Banco {

// The CPU time this process has used so far, every thread of it, in ms.
double cpuPropia();

// The CPU a process has used, every thread of it, from /proc/<pid>/stat, in ms.
struct TiemposDeProceso
{
    double propios = 0;
};
std::optional<TiemposDeProceso> tiemposDe(qint64 pid);

// The CPU a process's main thread has run so far, in ms, to the nanosecond the scheduler
// keeps (/proc/<pid>/schedstat), or in clock ticks when the kernel keeps no such count. For
// the server's processes, each of one thread, whose idle minute is a few ms: ticks of 10 ms
// would round it away.
std::optional<double> cpuFinaDe(qint64 pid);

// The process that forked `pid`; nullopt when /proc does not say.
std::optional<qint64> padreDe(qint64 pid);
// The processes `pid` forked that are still alive.
std::vector<qint64> hijosDe(qint64 pid);

// Starts the programs whose peak memory is measured. The kernel's peak for a process also
// takes in the size of the process that forked it (the address space it had before its
// exec), so they are forked by a small process of their own, itself forked when this object
// is made: at the start of main, before the benchmark grows and before any thread.
class Lanzador
{
public:
    Lanzador();
    ~Lanzador();
    Lanzador(const Lanzador &) = delete;
    Lanzador &operator=(const Lanzador &) = delete;

    // Runs a program in the environment of the moment this object was made, to its end,
    // its standard output thrown away, and returns its peak resident memory in MB;
    // nullopt when it did not end well.
    std::optional<double> memoriaMaximaDe(const QString &programa, const QStringList &argumentos);

private:
    int m_pedidos = -1;
    int m_respuestas = -1;
    qint64 m_proceso = -1;
};

} // namespace Banco
