#pragma once

#include "SimMisbehaviour.h"
#include "SimUpdateConfig.h"

#include <QByteArray>
#include <QHostAddress>
#include <QMap>
#include <QString>
#include <QStringList>

// Identity, state and faults of one simulated display. A plain value: copy it,
// change it, hand it to SimDisplay::setConfig. The state fields (power mode,
// power-save setting, VCP values) change when the display is told so over the
// control protocol; SimDisplay::config() returns the current state.
struct SimDisplayConfig
{
    // --- identity ---
    QString modelName = QStringLiteral("PX-551");
    QString serialNumber = QStringLiteral("61A00001BA");
    QByteArray macAddress = QByteArray::fromHex("001A2B3C4D5E"); // six raw bytes
    quint8 seriesCode = 3;          // UDP reply byte 156
    quint8 idChar = '*';            // UDP reply byte 152 (0x80 or more makes the reply unusable)
    QString idText = QStringLiteral("PD-DISPLAY"); // UDP reply offset 32; empty = faulty reply
    QByteArray magic = "ZRPD";      // UDP reply magic, "ZRPD" or "ZRPJ"
    quint32 headerWord = 0x00000001;
    quint32 featureFlags1 = 0x00000031;
    quint32 featureFlags2 = 0x00000100;
    QHostAddress secondAddress = QHostAddress(QHostAddress::AnyIPv4); // firmware-update address; 0.0.0.0 = none
    bool serveSecondAddress = false; // also run the web server on secondAddress (one more listener)

    // --- firmware texts ---
    QStringList fwVersions = { QStringLiteral("R1.000"), QStringLiteral("R2.000"),
                               QStringLiteral("R3.000"), QStringLiteral("R4.000") }; // components 1..4
    QString mainFwVersion = QStringLiteral("R1.200"); // "current firmware"
    quint8 fwGroupPad = 0x00;       // fills each 8-character group of the "C13E" reply
    bool searchReportsFirmware = true; // false: the search reply carries "-.-" and no component texts

    // --- state ---
    int powerMode = 1;              // 1 on, 2 standby, 3 suspend, 4 off
    int powerSaveSetting = 0;       // 0 Auto Power Save, 1 Auto Standby, 2 Off
    int powerSaveReadResult = 0;    // result byte of the "CB0B" read reply
    QString assetTag;               // up to 64 characters, read in two halves of 32
    bool locked = false;            // web page behind a login
    QByteArray indexPage;           // served for /index.html and / when not null (QByteArray("") = empty page); null = generated page
    quint16 uploadKeyValue = 0x3A7C; // current value returned when VCP 13h 07h is set
    // VCP values by code (page << 8 | code). Reads of a code missing here
    // answer with result 01 (unsupported). Sets store the value, except 13h 07h.
    QMap<quint16, quint16> vcpValues = {
        { 0x023E, 0x0041 },
        { 0x11EE, 0x0001 },
        { 0x11F0, 0x0001 },
        { 0x1303, 0x0000 },
        { 0x1306, 0x00C8 }, // 200: no update running
        { 0x1307, 0x0000 },
    };
    QMap<quint16, quint8> vcpResults; // result byte forced for a VCP code (read and set)

    // --- wire details ---
    char controlSource = 'A';       // reply header byte 3
    char errorReplyType = 'B';      // message type of the "BE" reply ('B' or '0')

    // --- ports (tests without root override webPort) ---
    quint16 searchPort = 5320;
    quint16 controlPort = 7142;
    quint16 webPort = 80;

    SimMisbehaviour misbehaviour;
    SimUpdateConfig update;         // the web-update side and its faults
};
