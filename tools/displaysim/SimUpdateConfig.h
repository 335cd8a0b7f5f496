#pragma once

#include "SimStepFault.h"
#include "SimUpdateProtocol.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// How one simulated display takes a firmware update over the LAN, and the
// faults it shows while doing so. A plain value inside SimDisplayConfig.
struct SimUpdateConfig
{
    SimUpdateProtocol protocol = SimUpdateProtocol::Auto;
    QByteArray uploadKeyPrefix = "KaVeRoLu"; // X-Api-Key = md5(prefix + 4 hex digits of the key value + "\n")
    int components = 4;         // firmware components the display reports (1..6)
    int checkPolls = 2;         // file-check polls answered "in progress" before the verdict
    int progressStep = 50;      // percent an update advances per result poll / progress read
    int holdPercent = -1;       // >= 0: a component being written stays at this percentage ...
    int holdMs = 0;             // ... for this long (a slow flash write) before it moves on
    int startPolls = 1;         // progress reads answering 200 after the start, before 0
    int legacyWritingMs = 0;    // > 0: legacy uploads answer "Image file writing." and finish this much later
    int legacyQuietMs = 30000;  // a legacy update is over this long after the last upload
    int abandonMs = 30000;      // an update without any request for this long is abandoned
    int rebootMs = 3000;        // after a completed update: control and web silent this long
    bool neverReturn = false;   // ... or for good
    QString firmwareAfterMain;  // main firmware after the reboot; null = unchanged
    QStringList firmwareAfterComponents; // per component 1..4; null entries unchanged

    // --- faults ---
    QList<SimStepFault> faults;
    int checkFailComponent = -1;  // 0: the package check fails; k: component k fails its check
    int updateFailComponent = -1; // k: component k fails its update (upload protocol: progress 208)
    int legacyWriteFailures = 0;  // the first N legacy uploads are answered with a write failure
    bool updateNeverStarts = false; // progress stays 200 after the start
    bool httpServerEnableRejected = false; // setting VCP 11h F0h to 2 is answered with an error
};
