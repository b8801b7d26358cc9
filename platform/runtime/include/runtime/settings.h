#pragma once

#include "runtime/runtime_export.h"

#include <QMap>
#include <QString>

namespace Runtime {

// The per-user settings store: values by application, section and key. Kept in an INI
// file per application under the user's configuration folder ("Teqvaro/<application>.ini").
RUNTIME_EXPORT QString getSetting(const QString &application, const QString &section, const QString &key,
                                  const QString &defaultValue = QString());
RUNTIME_EXPORT void saveSetting(const QString &application, const QString &section, const QString &key,
                                const QString &value);

// The values of a whole section (a section may hold sections of its own: "Listas/TODOS"),
// read and written in one go.
RUNTIME_EXPORT QMap<QString, QString> getSettings(const QString &application, const QString &section);
RUNTIME_EXPORT void saveSettings(const QString &application, const QString &section,
                                 const QMap<QString, QString> &values);
// Removes a section with everything in it.
RUNTIME_EXPORT void removeSettings(const QString &application, const QString &section);

} // namespace Runtime
