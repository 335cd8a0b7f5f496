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
const QString KeyPosition = QStringLiteral("Main Window Position");
const QString KeyMaximized = QStringLiteral("Main Window Maximized");
const QString KeySplitter = QStringLiteral("Main Window Splitter");
const QString KeyHeader = QStringLiteral("Display Table Header");
const QString KeyRolloutFirst = QStringLiteral("RolloutFirstPerModel");
const QString KeyRolloutFailures = QStringLiteral("RolloutMaxFailures");
const QString KeyFirmwareServer = QStringLiteral("FirmwareServerUrl");
constexpr int MaxRolloutFailures = 99;
const QString KeyExportFolder = QStringLiteral("Export Folder");
// Anything larger is not a state either widget wrote.
constexpr int MaxWidgetState = 64 * 1024;

QByteArray boundedState(const QVariant &value)
{
    const QByteArray bytes = value.toByteArray();
    return bytes.size() <= MaxWidgetState ? bytes : QByteArray();
}
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
    const QVariant position = store.value(KeyPosition);
    s.windowPositionStored = position.typeId() == QMetaType::QPoint;
    s.windowPosition = s.windowPositionStored ? position.toPoint() : QPoint();
    s.windowMaximized = store.value(KeyMaximized, false).toBool();
    s.splitterState = boundedState(store.value(KeySplitter));
    s.tableHeaderState = boundedState(store.value(KeyHeader));
    s.rolloutFirstPerModel = store.value(KeyRolloutFirst, false).toBool();
    s.rolloutMaxFailures = qBound(0, store.value(KeyRolloutFailures, 0).toInt(), MaxRolloutFailures);
    s.firmwareServerUrl = store.value(KeyFirmwareServer, QString()).toString().trimmed();
    s.exportFolder = store.value(KeyExportFolder, QString()).toString();
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
    if (windowPositionStored)
        store.setValue(KeyPosition, windowPosition);
    store.setValue(KeyMaximized, windowMaximized);
    if (!splitterState.isEmpty())
        store.setValue(KeySplitter, splitterState);
    if (!tableHeaderState.isEmpty())
        store.setValue(KeyHeader, tableHeaderState);
    store.setValue(KeyRolloutFirst, rolloutFirstPerModel);
    store.setValue(KeyRolloutFailures, qBound(0, rolloutMaxFailures, MaxRolloutFailures));
    if (firmwareServerUrl.trimmed().isEmpty())
        store.remove(KeyFirmwareServer);
    else
        store.setValue(KeyFirmwareServer, firmwareServerUrl.trimmed());
    if (!exportFolder.isEmpty())
        store.setValue(KeyExportFolder, exportFolder);
    store.endGroup();
}

bool AppSettings::windowSizeFits(const QSize &screenSize) const
{
    if (!screenSize.isValid())
        return false;
    return windowWidth >= 1 && windowWidth < screenSize.width()
        && windowHeight >= 1 && windowHeight < screenSize.height();
}

bool AppSettings::windowPositionFits(const QList<QRect> &screenAreas) const
{
    if (!windowPositionStored || windowWidth < 1)
        return false;
    constexpr int StripHeight = 24;
    const QRect strip(windowPosition, QSize(windowWidth, StripHeight));
    const int neededWidth = qMin(100, windowWidth);
    for (const QRect &area : screenAreas) {
        const QRect shown = strip.intersected(area);
        if (shown.width() >= neededWidth && shown.height() >= StripHeight)
            return true;
    }
    return false;
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
