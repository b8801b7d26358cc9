#pragma once

// A sales team's hosts, each a process of its own with its board open, as on the team's
// desks.

#include "bases.h"

#include <QProcess>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace Banco {

class ConexionPlana;

// Started with the object, ended with it (by force when they do not end when asked).
class Anfitriones
{
public:
    Anfitriones(const Base &base, int cuantos);
    ~Anfitriones();
    Anfitriones(const Anfitriones &) = delete;
    Anfitriones &operator=(const Anfitriones &) = delete;

    // Until each host has read its board and asked its first question about it, then has
    // gone a while without its CPU growing, and the server is busy with none of them: the
    // first loads are not part of an idle team.
    void esperaCalma(ConexionPlana &conexion) const;

    int vivos();

private:
    std::vector<double> cpus() const;
    bool leyoSuTablero(size_t anfitrion) const;

    QTemporaryDir m_bitacoras; // each host's log
    std::vector<std::unique_ptr<QProcess>> m_procesos;
};

} // namespace Banco
