#include "offlinejobs/OfflineModelList.h"

#include "catalogue/FirmwareDatabase.h"
#include "catalogue/FirmwareRelease.h"
#include "records/AppBuild.h"

#include <QCoreApplication>

bool OfflineModelList::isListed(const FirmwareRelease &release)
{
    return release.updateViaHTTP != 0 && release.requiresAppBuild <= AppBuild::Number;
}

QString OfflineModelList::itemText(const FirmwareRelease &release, const QString &model)
{
    if (release.needSNMatchPosition <= 0)
        return model;
    return model + QCoreApplication::translate("DownloadFirmwareForOfflineDialog", " (%1)",
                                               "1=info about serial number restriction")
                           .arg(release.needSNMatchListingText);
}

QList<OfflineModelItem> OfflineModelList::items(const FirmwareDatabase &database)
{
    QList<OfflineModelItem> result;
    const QList<FirmwareRelease> &releases = database.releases();
    for (int index = 0; index < releases.size(); ++index) {
        const FirmwareRelease &release = releases.at(index);
        if (!isListed(release))
            continue;
        for (const QString &model : release.models) {
            // A catalogue entry that is not a string reads as an empty name: nothing to offer.
            if (model.trimmed().isEmpty())
                continue;
            result.append(OfflineModelItem{itemText(release, model), index});
        }
    }
    return result;
}

QList<int> OfflineModelList::releasesToQueue(const FirmwareDatabase &database, const QList<int> &checkedReleaseIndices,
                                             const QList<int> &downloadedReleases)
{
    QList<int> queued;
    for (int index : checkedReleaseIndices) {
        if (downloadedReleases.contains(index) || index < 0 || index >= database.count() || queued.contains(index))
            continue;
        queued.append(index);
    }
    return queued;
}
