#pragma once

#include "catalogue/DocumentationLink.h"
#include "catalogue/UnpackedFileEntry.h"
#include "catalogue/VersionChangeEntry.h"

#include <QList>
#include <QString>
#include <QStringList>

// One element of the catalogue's "firmware" array after reading. A value type: download jobs,
// dialogs and table rows take their own copies. Texts with a Japanese form are already localised.
struct FirmwareRelease
{
    QString version;            // version of the package; the one compared is changes.version
    QString releaseDate;
    QString downloadLoc;        // its last path component is the package file name in the cache
    QString seriesName;
    QString fileChecksum;       // MD5, 32 lowercase hexadecimal characters
    qint32 fileSize = 0;
    qint32 requiresAppBuild = 0;
    qint32 updateViaHTTP = 0;
    qint32 updateViaUSB = 0;
    qint32 updateViaHTTPDurationSecs = 0;
    QString updateViaHTTPMinimumFirmwareVersion; // empty: no lower bound for LAN updates
    qint32 manualPowerCycleRequired = 0;         // 0, 1 no; 2 yes; 3 yes when installed < bound
    qint32 powerLEDBinkCodeProgress = 0;
    qint32 powerLEDBinkCodeDone = 0;
    qint32 powerLEDBinkCodeError = 0;
    qint32 numPACComponents = 0;
    qint32 useIP2 = 0;
    qint32 needPowerOnToUpdateViaHTTP = 0;
    qint32 needPowerSaveModeToNormal = 0;
    qint32 needPowerOnToReadInfo = 0;
    qint32 needSNMatchPosition = 0;   // 1-based serial-number position; below 1: no rule
    QString needSNMatchDigitsList;    // characters accepted there, case-insensitive
    QString needSNMatchListingText;
    QString needSNMatchDetailedDescription;
    QString needRegionSelectListingText;
    QString needRegionSelectDescription;
    QString updateviaUSBInstructions; // rich text
    QString manualPowerCycleRequiredIfVersionBefore;
    VersionChangeEntry changes;       // the latest change; changes.version is the latest version
    QStringList models;
    QList<VersionChangeEntry> previousVersionChangeList; // file order
    QList<UnpackedFileEntry> unpackedFileInfo;           // empty: the package is the firmware file
    QList<DocumentationLink> documentationList;
    qint32 legacyModel = 0;
    QString baseUSBFolderName;
    QString destinationUSBFileName;
};
