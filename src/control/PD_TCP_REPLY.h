#pragma once

#include <QHostAddress>
#include <QMetaType>
#include <QString>
#include <array>

// The outcome of one control query, passed by value from TcpClient to whoever asked.
struct PD_TCP_REPLY
{
    static constexpr int VersionSlots = 6;

    QHostAddress ipAddress;
    QString modelName;
    QString serialNumber;
    QString param023E;                          // one character whose code is VCP 02h 3Eh
    QString mainFwVersion;
    std::array<QString, VersionSlots> fwVersions; // [0..3] firmware 1..4, [4] and [5] stay empty
    QString assetTag;
    qint32 powerMode = 0;                       // 1 on; 2 and 4 off; 3 a third state; 0 until read
    qint32 status = 0;                          // 0 complete, -1 connection or 11h F0h error, -3001 malformed reply
    quint32 requestFlags = 0;
    qint32 ip2Check = -1;                       // -1 not checked, 0 answered, 1 did not answer or 0.0.0.0
    qint32 lockStatus = -1;                     // -1 not checked, 0 not locked, 1 locked, 2 not determined
    qint32 powerSaveSetting = -2;               // 0 auto power save, 1 auto standby, 2 off, -1 unknown, -2 not read
    qint32 value1307 = 0;
    qint32 value1306 = 0;
    qint32 value11F0 = -1;                      // -1 until the display reports it
    qint32 powerSaveModeVcp = -2;               // 1 or 2, -1 other value or error, -2 not read
};

Q_DECLARE_METATYPE(PD_TCP_REPLY)
