#pragma once

#include "catalogue/AppChangeEntry.h"
#include "catalogue/FirmwareRelease.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>

// The parsed firmware catalogue ("pd_firmware_releases.json"): a header and the releases in the
// order of the document's "firmware" array. The main window holds one for the whole run; every
// other part only reads it.
class FirmwareDatabase
{
public:
    enum ParseResult : int {
        ParseOk = 0,
        ParseInvalidJson = -1, // nothing filled
        ParseNoInfo = -2,      // top level is an object without an "info" object
        ParseNoFirmware = -3,  // top level is not an object, or no "firmware" array (header filled)
    };

    // The header. databaseVersion is -1 for a database that never parsed anything.
    qint32 databaseVersion = -1;
    qint32 latestAppBuildWindows = 0;
    qint32 latestAppBuildMacOS = 0;
    QString latestAppdownloadLocWindows;
    QString latestAppVersionStringWindows;
    QString latestAppVersionStringMacOS;
    QString aboutURLs;
    QList<AppChangeEntry> previousAppChangeListWindows;

    // Reads the texts in the system locale's language (Japanese forms only for Japanese).
    int parse(const QByteArray &bytes);
    int parse(const QByteArray &bytes, QLocale::Language language);

    // Empties the release list and sets databaseVersion to 0; the rest of the header stays.
    int clear();

    int count() const;
    const QList<FirmwareRelease> &releases() const;
    // 0 and a copy of release index, or -1 when index is out of range.
    int releaseAt(int index, FirmwareRelease &out) const;

    // The first release in database order whose models contain model (case-insensitive) and
    // whose serial-number rule, if any, accepts serialNumber. 0 and the release, or -1.
    int findRelease(const QString &model, const QString &serialNumber, FirmwareRelease &out) const;
    // The same search giving the release's index, or -1.
    int findReleaseIndex(const QString &model, const QString &serialNumber) const;
    // The same search done as a plain walk through every release; the reference the model index
    // must agree with.
    int findReleaseIndexLinear(const QString &model, const QString &serialNumber) const;
    static bool releaseMatches(const FirmwareRelease &release, const QString &model,
                               const QString &serialNumber);

    // Ascending indices of every release whose models contain model (case-insensitive).
    QList<int> releaseIndicesForModel(const QString &model) const;

    // Copies the header into other; other's releases stay as they are.
    void copyHeaderTo(FirmwareDatabase &other) const;

private:
    void rebuildModelIndex();

    QList<FirmwareRelease> m_releases;
    // Case-folded model name -> ascending release indices, so a lookup visits only the releases
    // that name the model, in database order.
    QHash<QString, QList<int>> m_modelIndex;
};
