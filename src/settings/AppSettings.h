#pragma once

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVariant>

class QSettings;

// The persistent settings (group "Settings"), read once while the main window is built and
// written once when it is destroyed. Each key's name, default and conversion live in one place.
class AppSettings
{
public:
    static constexpr int LegacySupportCode = 5702;

    int multiUpdateLimit = 5;
    bool legacySupport = false;
    int windowWidth = 0;
    int windowHeight = 0;
    // The adapter combo's user data; written back only while it holds a value.
    QVariant lanDeviceIndex = -1;
    QString ipAddressScanText;
    bool showAssetTagColumn = true;
    bool showMacAddressColumn = false;
    // Beyond the stored size: where the window stood, whether it was maximised, and the
    // splitter's and the table header's own state (column widths, sort column and order).
    // Keys of their own, so that an older build reading the store finds its keys unchanged.
    bool windowPositionStored = false;
    QPoint windowPosition;
    bool windowMaximized = false;
    QByteArray splitterState;
    QByteArray tableHeaderState;
    // The rollout policy of LAN update batches; a store without these keys means both off.
    bool rolloutFirstPerModel = false;
    int rolloutMaxFailures = 0;      // 0 never, else 1..99
    // The firmware server chosen in the settings dialog (a mirror or an offline server); empty is
    // the maker's. QUILLON_FIRMWARE_URL, when set, still wins.
    QString firmwareServerUrl;
    // The folder of the last file exported (display list, update report); empty before the first.
    QString exportFolder;

    // From the application's own store (organisation and application names of the application object).
    static AppSettings load();
    static AppSettings load(QSettings &store);
    void save() const;
    void save(QSettings &store) const;

    // The stored size is used only when a primary screen exists (screenSize valid) and
    // 1 <= size < screen size in both directions.
    bool windowSizeFits(const QSize &screenSize) const;

    // The stored position is used only when the window's title strip (its top 24 pixels, at
    // least 100 pixels of them wide) lies on one of these screen areas; a monitor unplugged since
    // must not leave the window out of reach.
    bool windowPositionFits(const QList<QRect> &screenAreas) const;

    // The combo index to make current for the stored adapter, or -1 to leave the combo as it is.
    // comboUserData holds each combo item's user data in item order.
    int adapterComboIndex(const QList<QVariant> &comboUserData, int adapterCount) const;
};
