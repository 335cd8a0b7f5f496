#include "usbwriter/UsbModelSearch.h"

#include <QSet>

QStringList UsbModelSearch::modelNames(const FirmwareDatabase &db, int appBuild)
{
    QStringList names;
    QSet<QString> seen;
    for (const FirmwareRelease &release : db.releases()) {
        if (release.updateViaUSB == 0 || release.requiresAppBuild > appBuild)
            continue;
        for (const QString &model : release.models) {
            const QString key = model.toCaseFolded();
            if (seen.contains(key))
                continue;
            seen.insert(key);
            names << model;
        }
    }
    return names;
}

UsbModelSearch::Variants UsbModelSearch::variantsFor(const FirmwareDatabase &db, const QString &model)
{
    Variants variants;
    const QList<int> indices = db.releaseIndicesForModel(model);
    for (const int index : indices) {
        FirmwareRelease release;
        if (db.releaseAt(index, release) != 0)
            continue;
        variants.anyRelease = true;
        if (release.needSNMatchPosition > 0
            && !variants.models.contains(release.needSNMatchListingText, Qt::CaseInsensitive))
            variants.models << release.needSNMatchListingText;
        if (!release.needRegionSelectListingText.isEmpty()
            && !variants.regions.contains(release.needRegionSelectListingText, Qt::CaseInsensitive))
            variants.regions << release.needRegionSelectListingText;
    }
    return variants;
}

QStringList UsbModelSearch::modelVariantsForRegion(const FirmwareDatabase &db, const QString &model,
                                                   const QString &region)
{
    QStringList texts;
    const QList<int> indices = db.releaseIndicesForModel(model);
    for (const int index : indices) {
        FirmwareRelease release;
        if (db.releaseAt(index, release) == 0 && release.needRegionSelectListingText == region)
            texts << release.needSNMatchListingText;
    }
    return texts;
}

int UsbModelSearch::selectRelease(const FirmwareDatabase &db, const QString &model, const QString &modelVariant,
                                  const QString &regionVariant, FirmwareRelease &out)
{
    const QList<int> indices = db.releaseIndicesForModel(model);
    if (indices.isEmpty())
        return -1;
    if (indices.size() == 1)
        return db.releaseAt(indices.first(), out);
    for (const int index : indices) {
        FirmwareRelease release;
        if (db.releaseAt(index, release) != 0)
            continue;
        if (!modelVariant.isEmpty() && release.needSNMatchListingText != modelVariant)
            continue;
        if (!regionVariant.isEmpty() && release.needRegionSelectListingText != regionVariant)
            continue;
        out = release;
        return 0;
    }
    return -1;
}
