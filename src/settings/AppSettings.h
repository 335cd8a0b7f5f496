#pragma once

#include <QList>
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

    // From the application's own store (organisation and application names of the application object).
    static AppSettings load();
    static AppSettings load(QSettings &store);
    void save() const;
    void save(QSettings &store) const;

    // The stored size is used only when a primary screen exists (screenSize valid) and
    // 1 <= size < screen size in both directions.
    bool windowSizeFits(const QSize &screenSize) const;

    // The combo index to make current for the stored adapter, or -1 to leave the combo as it is.
    // comboUserData holds each combo item's user data in item order.
    int adapterComboIndex(const QList<QVariant> &comboUserData, int adapterCount) const;
};
