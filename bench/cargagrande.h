#pragma once

// The board's first load of a very large view: how soon its first rows show, how long its
// window stays frozen, and how much memory it takes. A size this large is measured by its
// first load alone: the reloads, refreshes and sorts of the other measures would keep a run
// busy for hours.

#include "bases.h"
#include "medicion.h"

namespace Banco {

class Lanzador;

// Sizes above a million rows.
bool soloPrimeraCarga(int filas);

void mideCargaGrande(const Corrida &corrida, const Base &base, Lanzador &lanzador);

} // namespace Banco
