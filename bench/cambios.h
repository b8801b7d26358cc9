#pragma once

// What other users do while the board is open: state changes of opportunities, and
// follow-up notes the board's view does not read, committed on a connection of their own.

#include "ado/databaseaddress.h"

#include <QStringList>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace Banco {

class ConexionPlana;

// The folio the demo gives its opportunity number `numero`.
QString folio(int numero);

// Ten folios spread over the whole list, not bunched at its start.
QStringList diezFolios(int filas);

// Each of those opportunities goes from negotiation to prospecting, or from any other
// state to negotiation: every call changes every one of them.
void cambiaEstados(ConexionPlana &conexion, const QStringList &folios);

// One commit of another user's program; `vez` counts them from 0.
using Escritura = std::function<void(ConexionPlana &conexion, int vez)>;

// A state change of one opportunity, a different one each time, scattered over the list.
Escritura cambioDeEstado(int filas);
// A follow-up note on an opportunity, in a table no view of the board reads.
Escritura notaDeSeguimiento(int filas);

// Another user's program, in a thread of its own, committing one write every `periodo`:
// by default a state change once a second.
class Escritor
{
public:
    Escritor(const Ado::DatabaseAddress &direccion, int filas);
    Escritor(const Ado::DatabaseAddress &direccion, std::chrono::milliseconds periodo, Escritura escritura);
    ~Escritor();
    Escritor(const Escritor &) = delete;
    Escritor &operator=(const Escritor &) = delete;

    int cambiosHechos() const { return m_hechos; }

private:
    void escribe(std::stop_token alto, Ado::DatabaseAddress direccion, std::chrono::milliseconds periodo,
                 Escritura escritura);

    std::atomic<int> m_hechos = 0;
    std::jthread m_hilo;
};

} // namespace Banco
