#pragma once

// The board's event loop run for a while, and a probe on it: how long the loop went without
// running (the user's clicks and keys wait that long).

#include <chrono>

namespace Banco {

// Runs the event loop for `duracion`.
void correElLazo(std::chrono::milliseconds duracion);

struct Bloqueos
{
    double maximo = 0;    // ms beyond the probe's own period
    double congelado = 0; // % of the window spent in gaps longer than a frame
};

// A timer of `periodo` on the event loop while it runs for `ventana`: any gap between two of
// its timeouts beyond that period is time the loop could not answer. The gap still open when
// the window ends counts too: a reload that outlasts the window is not cut short.
Bloqueos sondea(std::chrono::milliseconds ventana, std::chrono::milliseconds periodo);

} // namespace Banco
