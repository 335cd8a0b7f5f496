#pragma once

#include "catalogue/FirmwareDatabase.h"

#include <QStringList>

// The catalogue as the model search sees it: model names a USB drive can be made for, and the
// variant texts that tell apart the releases carrying one name.
class UsbModelSearch
{
public:
    struct Variants
    {
        QStringList models;  // listing texts of serial-number rules ("" counts as a text)
        QStringList regions; // non-empty region listing texts
        bool anyRelease = false;
    };

    // Models of every release that allows USB updates and that this build may install, in
    // database order, each once (compared ignoring case; the first spelling wins).
    static QStringList modelNames(const FirmwareDatabase &db, int appBuild);

    // Distinct variant texts (ignoring case) of the releases carrying the model name.
    static Variants variantsFor(const FirmwareDatabase &db, const QString &model);

    // Model variant texts of the releases carrying the name with this region text, one per
    // release, in database order.
    static QStringList modelVariantsForRegion(const FirmwareDatabase &db, const QString &model,
                                              const QString &region);

    // The release for the name and the chosen texts (an empty text does not narrow): 0 and the
    // release, or -1. With a single release carrying the name, that release.
    static int selectRelease(const FirmwareDatabase &db, const QString &model, const QString &modelVariant,
                             const QString &regionVariant, FirmwareRelease &out);
};
