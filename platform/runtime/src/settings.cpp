#include "runtime/settings.h"

#include <QSettings>
#include <QStandardPaths>

namespace Runtime {
namespace {

QString settingsFile(const QString &application)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Teqvaro/")
           + application + QStringLiteral(".ini");
}

QString settingKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

QString getSetting(const QString &application, const QString &section, const QString &key,
                   const QString &defaultValue)
{
    const QSettings store(settingsFile(application), QSettings::IniFormat);
    return store.value(settingKey(section, key), defaultValue).toString();
}

void saveSetting(const QString &application, const QString &section, const QString &key, const QString &value)
{
    QSettings store(settingsFile(application), QSettings::IniFormat);
    store.setValue(settingKey(section, key), value);
}

} // namespace Runtime
