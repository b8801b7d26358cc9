#pragma once

#include <QString>

// The host's log: every message of the process, with its time and category, appended to a
// file in the user's data folder (and echoed to the terminal); every message box shown. The
// file is capped: the older lines move to "teqvaro.log.1" and ".2".
namespace Bitacora {

QString archivo();
void instala();

} // namespace Bitacora
