#pragma once

// What another user does to the opportunities while the board is open: state changes,
// committed on a connection of their own.

#include "ado/databaseaddress.h"

#include <QStringList>

#include <atomic>
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

// Another user's program, in a thread of its own: once a second it commits a state change
// of one opportunity, a different one each time.
class Escritor
{
public:
    Escritor(const Ado::DatabaseAddress &direccion, int filas);
    ~Escritor();
    Escritor(const Escritor &) = delete;
    Escritor &operator=(const Escritor &) = delete;

    int cambiosHechos() const { return m_hechos; }

private:
    void escribe(std::stop_token alto, Ado::DatabaseAddress direccion, int filas);

    std::atomic<int> m_hechos = 0;
    std::jthread m_hilo;
};

} // namespace Banco
