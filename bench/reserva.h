#pragma once

// reserva.cpp: a board reading from a hot standby of the team's server.

#include "bases.h"
#include "medicion.h"

namespace Banco {

// The primary's CPU for an idle board that reads from `replica`, and the time from a commit
// on the primary to its row on the board's screen.
void mideReserva(const Corrida &corrida, const Base &base, const Ado::DatabaseAddress &replica);

} // namespace Banco
