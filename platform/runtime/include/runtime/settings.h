#pragma once

#include "runtime/runtime_export.h"

#include <QString>

namespace Runtime {

// The per-user settings store: values by application, section and key. Kept in an INI
// file per application under the user's configuration folder ("Teqvaro/<application>.ini").
RUNTIME_EXPORT QString getSetting(const QString &application, const QString &section, const QString &key,
                                  const QString &defaultValue = QString());
RUNTIME_EXPORT void saveSetting(const QString &application, const QString &section, const QString &key,
                                const QString &value);

} // namespace Runtime
