#pragma once

#include "offlinejobs/OfflineModelItem.h"

#include <QList>
#include <QString>

class FirmwareDatabase;
struct FirmwareRelease;

// The models offered for offline download and the releases a run fetches for the checked ones.
class OfflineModelList
{
public:
    // Listed when the release installs over the LAN and this build may install it.
    static bool isListed(const FirmwareRelease &release);

    // One item per model name of each listed release, in database order, then model order.
    static QList<OfflineModelItem> items(const FirmwareDatabase &database);

    // "MODEL" or "MODEL (serial-number rule text)".
    static QString itemText(const FirmwareRelease &release, const QString &model);

    // The releases one run downloads for the checked items' release indices (in list order):
    // each release once, none that is downloaded already or that the database does not hold.
    static QList<int> releasesToQueue(const FirmwareDatabase &database, const QList<int> &checkedReleaseIndices,
                                      const QList<int> &downloadedReleases);
};
