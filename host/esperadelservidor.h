#pragma once

// The longest the program waits for the server in any one step (a statement, a commit, the
// next row), from the team's variable CRM_ESPERA_SERVIDOR in seconds; ten when it is unset
// or holds no usable number, which the log says.
void aplicaEsperaDelServidor();
