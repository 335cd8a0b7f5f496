#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

class TcpClient;
class HttpClient;

// One detected display, one table row. The main window's list owns these in detection order;
// the row number in the table model is the index in that list. The other parts write the fields
// and then tell the model which row changed.
struct DisplayEntry
{
    static constexpr int ComponentSlots = 6;

    qint32 powerState = -1;          // 1 on, 2 standby, 3 suspend, else unknown
    bool selected = false;           // check box of column 0
    qint32 updateStatus = 0;         // 0 none, 1 queued, 2 running (3, 4, -4..-1 rendered too)
    qint32 resultStatus = 0;         // last update result (0 idle, 3 complete, 4 and -5..-1 errors)
    TcpClient *controlRequest = nullptr;
    HttpClient *updateSession = nullptr;
    QHostAddress address;
    QHostAddress updateAddress;      // "Firmware update IP address"
    std::array<QString, ComponentSlots> componentVersion; // [0..3] are FW1..FW4
    QString modelName;
    QString serialNumber;
    QString idCharacter;
    QString currentFirmware;
    QString assetTag;
    QString macAddress;
    qint32 displaySeries = 0;
    qint32 catalogueSeries = 0;      // series code of the matching release, 0 none
    qint32 firmwareStatus = 0;       // 0..6, see FirmwareStatus
    qint32 downloadState = 0;        // 0 none, 1 error, 2 downloading, 3 downloaded
    qint32 downloadPercent = 0;      // 0..100, -1 when the total size is unknown
    QStringList changeLists;
    QString latestVersion;
    std::array<qint32, ComponentSlots> componentProgress { -1, -1, -1, -1, -1, -1 };
    qint32 requiresAppBuild = 0;
    qint32 updateViaHTTP = 0;
    qint32 updateViaUSB = 0;
    qint32 updateDurationSecs = 0;
    qint32 componentCount = 0;
    qint32 useIP2 = 0;
    qint32 needPowerOnToUpdate = 0;
    qint32 needPowerOnToReadInfo = 0;
    qint32 needPowerSaveModeToNormal = 0;
    bool uploading = false;
    qint32 legacyModel = 0;
    qint32 uploadPercent = -1;
    qint32 commStatus = 0;           // 0 normal, 1 control query failed, 2 update address unreachable
    QElapsedTimer updateTimer;
    qint32 manualPowerCycle = 0;     // 2: the AC power must be cycled by hand after the update
    qint32 ip2Check = -1;            // -1 not checked, 0 answered, 1 did not answer
    qint32 lockStatus = 0;           // 0 not locked, 1 locked, 2 not determined
    qint32 powerSaveMode = -2;       // 0 auto power save, 1 auto standby, 2 off, -1 unknown, -2 not read
    qint32 powerSaveModeVcp = -2;    // 1 or 2, -1 error, -2 not read
    QString updateNote;              // why the row was not queued, or what the check after the update found
    // The last update of this row as the update report tells it.
    QDateTime updateStartedAt;       // its session was started (UTC)
    QDateTime updateSettledAt;       // its session settled
    QString firmwareBefore;          // the version the row showed when its session started
    QString firmwareAfter;           // the version this display reported after the update, empty when none
    qint32 verifyOutcome = -1;       // the check after the update, see VerifyOutcome
};

// What the check after an update found. Only Verified makes an update a success: the session's
// own "complete" says the display accepted the firmware, not that it runs it.
namespace VerifyOutcome {
enum : qint32 {
    Checking = -2,         // the check still runs
    None = -1,             // no check (no update, or it ended before the check)
    Verified = 0,          // this display reports the release's version
    VersionMismatch = 1,   // this display reports another version
    NoAnswer = 2,          // no answer within the bound
    OtherDevice = 3,       // another display answers at the address
};
inline bool isFailure(qint32 outcome)
{
    return outcome > Verified;
}
}

namespace FirmwareStatus {
enum : qint32 {
    NotEvaluated = 0,
    NoVersionInfo = 1,
    NoneForModel = 2,
    NotComparable = 3,
    UpToDate = 4,
    NewForUsbOnly = 5,
    NewForLan = 6,
};
}

using DisplayEntryList = QList<DisplayEntry>;
