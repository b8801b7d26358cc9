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

QString getSetting(const QString &application, const QString &section, const QString &key, const QString &defaultValue)
{
    const QSettings store(settingsFile(application), QSettings::IniFormat);
    return store.value(settingKey(section, key), defaultValue).toString();
}

void saveSetting(const QString &application, const QString &section, const QString &key, const QString &value)
{
    QSettings store(settingsFile(application), QSettings::IniFormat);
    store.setValue(settingKey(section, key), value);
}

QMap<QString, QString> getSettings(const QString &application, const QString &section)
{
    QSettings store(settingsFile(application), QSettings::IniFormat);
    store.beginGroup(section);
    QMap<QString, QString> values;
    for (const QString &key : store.childKeys())
        values.insert(key, store.value(key).toString());
    return values;
}

void saveSettings(const QString &application, const QString &section, const QMap<QString, QString> &values)
{
    QSettings store(settingsFile(application), QSettings::IniFormat);
    store.beginGroup(section);
    for (auto value = values.cbegin(); value != values.cend(); ++value)
        store.setValue(value.key(), value.value());
}

void removeSettings(const QString &application, const QString &section)
{
    QSettings store(settingsFile(application), QSettings::IniFormat);
    store.remove(section);
}

} // namespace Runtime
