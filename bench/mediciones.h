#pragma once

// The measurements, one group a file. Each prints its own lines.

#include "bases.h"
#include "medicion.h"

#include <optional>

namespace Banco {

class Lanzador;
class Piso;
class Tablero;

// How many times a ratio is measured, and the long measures asked for.
struct Plan
{
    int veces = 11;
    bool cincoMinutos = false;    // the 5 min window of idle CPU
    bool equipo = false;          // the team measure (PostgreSQL only)
    bool derechos = false;        // the reload under the server's policies (PostgreSQL only)
    bool servidorColgado = false; // the board while its server hangs (PostgreSQL only)
};

// recargas.cpp: a fresh board to its first painted list, and reloads of an open one.
void midePrimeraPintura(const Corrida &corrida, Piso &piso, const Plan &plan);
void mideRecargas(const Corrida &corrida, const Base &base, Tablero &tablero, Piso &piso, const Plan &plan);

// refresco.cpp: the automatic refresh that shows one opportunity another user changed.
void mideRefrescoConUnCambio(const Corrida &corrida, const Base &base, Tablero &tablero, Piso &piso, const Plan &plan);

// otroproceso.cpp: another process's commits to the SQLite file while the board reads it.
void mideEsperaDeOtroProceso(const Corrida &corrida, const Base &base, Tablero &tablero);
int hijoQueEscribe(const QString &archivo, int filas);

// busqueda.cpp: a search that finds nothing and sorts of the whole list.
void mideBusquedaYOrden(const Corrida &corrida, Tablero &tablero);

// reposo.cpp: the open board's event loop while it refreshes itself, and its CPU.
void mideReposo(const Corrida &corrida, const Base &base, Tablero &tablero, const Plan &plan);

// colgado.cpp: the open board's event loop while every process of its PostgreSQL server is
// stopped, and its readings once the server goes on.
void mideServidorColgado(const Corrida &corrida, const Base &base);

// memoria.cpp: the peak memory of a process that loads and reloads the board.
void mideMemoria(const Corrida &corrida, const Base &base, Lanzador &lanzador);
int hijoDeMemoria(const QString &direccion, int filas);

// anfitrion.cpp: the host program as a user starts it.
double arranqueDemo();
void mideAnfitrion(const Corrida &corrida, const Base &base, Lanzador &lanzador);

// equipo.cpp: the database server's CPU for a team's boards, idle and with changes.
void mideEquipo(const Corrida &corrida, const Base &base);

// derechos.cpp: a full reload under the server's policies against the tables' owner's
// (PostgreSQL only). It converts the database: the last measurement of its size.
void mideConDerechos(const Corrida &corrida, const Base &base, const Plan &plan);

} // namespace Banco
