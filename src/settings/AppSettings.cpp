#include "settings/AppSettings.h"

#include <QSettings>

namespace {
const QString Group = QStringLiteral("Settings");
const QString KeyLimit = QStringLiteral("Multi Update Limit");
const QString KeyLegacy = QStringLiteral("LDS");
const QString KeyWidth = QStringLiteral("Main Dialog Width");
const QString KeyHeight = QStringLiteral("Main Dialog Height");
const QString KeyAdapter = QStringLiteral("LAN Device Index");
const QString KeyScanText = QStringLiteral("IP Address Scan Text");
const QString KeyAssetTag = QStringLiteral("Show Asset Tag Column");
const QString KeyMacAddress = QStringLiteral("Show MAC Address Column");
}

AppSettings AppSettings::load()
{
    QSettings store;
    return load(store);
}

AppSettings AppSettings::load(QSettings &store)
{
    AppSettings s;
    store.beginGroup(Group);
    s.multiUpdateLimit = store.value(KeyLimit, 5).toInt();
    s.legacySupport = store.value(KeyLegacy, 0).toInt() == LegacySupportCode;
    s.windowWidth = store.value(KeyWidth, 0).toInt();
    s.windowHeight = store.value(KeyHeight, 0).toInt();
    s.lanDeviceIndex = store.value(KeyAdapter, -1).toInt();
    s.ipAddressScanText = store.value(KeyScanText, QString()).toString();
    s.showAssetTagColumn = store.value(KeyAssetTag, true).toBool();
    s.showMacAddressColumn = store.value(KeyMacAddress, false).toBool();
    store.endGroup();
    return s;
}

void AppSettings::save() const
{
    QSettings store;
    save(store);
}

void AppSettings::save(QSettings &store) const
{
    store.beginGroup(Group);
    if (lanDeviceIndex.isValid())
        store.setValue(KeyAdapter, lanDeviceIndex.toInt());
    store.setValue(KeyLimit, multiUpdateLimit);
    store.setValue(KeyWidth, windowWidth);
    store.setValue(KeyHeight, windowHeight);
    store.setValue(KeyLegacy, legacySupport ? LegacySupportCode : 0);
    store.setValue(KeyAssetTag, showAssetTagColumn);
    store.setValue(KeyMacAddress, showMacAddressColumn);
    store.setValue(KeyScanText, ipAddressScanText);
    store.endGroup();
}

bool AppSettings::windowSizeFits(const QSize &screenSize) const
{
    if (!screenSize.isValid())
        return false;
    return windowWidth >= 1 && windowWidth < screenSize.width()
        && windowHeight >= 1 && windowHeight < screenSize.height();
}

int AppSettings::adapterComboIndex(const QList<QVariant> &comboUserData, int adapterCount) const
{
    if (!lanDeviceIndex.isValid())
        return -1;
    const int wanted = lanDeviceIndex.toInt();
    for (int i = 0; i < comboUserData.size(); ++i) {
        const QVariant &data = comboUserData.at(i);
        if (data.isValid() && data.toInt() == wanted)
            return i <= adapterCount ? i : -1;
    }
    return -1;
}
