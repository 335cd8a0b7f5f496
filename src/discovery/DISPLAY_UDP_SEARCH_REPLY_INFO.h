#pragma once

#include <QHostAddress>
#include <QMetaType>
#include <QString>
#include <array>

// One display that answered a search, as it travels by value from the search to the main window.
struct DISPLAY_UDP_SEARCH_REPLY_INFO
{
    static constexpr int VersionSlots = 6;

    qint32 idChar = 0;                          // reply byte 152; "*" is recorded as 1
    QString modelName;
    QHostAddress ipAddress;                     // the sender, always plain IPv4
    quint32 headerWord = 0;
    std::array<QString, VersionSlots> fwVersions; // [0..3] firmware 1..4, [4] and [5] stay empty
    QString mainFwVersion;
    QHostAddress ip2Address;                    // null unless the series carries a second address
    quint8 series = 0;
    QString macAddress;                         // "00-1A-2B-3C-4D-5E"
    quint32 featureFlags1 = 0;
    quint32 featureFlags2 = 0;
};

Q_DECLARE_METATYPE(DISPLAY_UDP_SEARCH_REPLY_INFO)
