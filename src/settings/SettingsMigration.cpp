#include "settings/SettingsMigration.h"

#include <QSettings>
#include <QStringList>

namespace SettingsMigration {

void copyTree(QSettings &from, QSettings &to)
{
    const QStringList keys = from.childKeys();
    for (const QString &key : keys)
        to.setValue(key, from.value(key));
    const QStringList groups = from.childGroups();
    for (const QString &group : groups) {
        from.beginGroup(group);
        to.beginGroup(group);
        copyTree(from, to);
        to.endGroup();
        from.endGroup();
    }
}

bool migrate(QSettings &newStore, QSettings &oldStore)
{
    const QString settingsGroup = QStringLiteral("Settings");
    if (newStore.childGroups().contains(settingsGroup, Qt::CaseSensitive))
        return false;
    if (!oldStore.childGroups().contains(settingsGroup, Qt::CaseSensitive))
        return false;
    copyTree(oldStore, newStore);
    newStore.sync();
    return true;
}

bool migrateFromOlderEdition(QSettings &newStore)
{
    QSettings oldStore(QSettings::NativeFormat, QSettings::UserScope,
                       QStringLiteral("Orvane Brindle"), QStringLiteral("Orvane Quillon"));
    return migrate(newStore, oldStore);
}

}
