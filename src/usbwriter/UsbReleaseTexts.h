#pragma once

#include "catalogue/FirmwareRelease.h"

#include <QString>

// The texts the USB drive dialog shows about a release. Catalogue texts meant as plain text are
// escaped where they enter HTML; catalogue rich text is cleaned (CatalogueRichText).
class UsbReleaseTexts
{
public:
    static QString models(const FirmwareRelease &release);
    // Links joined with "<br>"; a link that is not http or https shows as its name only.
    static QString documentationHtml(const FirmwareRelease &release);
    // The listed sizes plus 5 %, in MB, kB or bytes; "Unknown." when no size is listed.
    static QString spaceNeeded(qint64 listedBytes);
    static QString usageRestrictions(const FirmwareRelease &release);
    // One block per change entry, the current one first, items numbered from 1.
    static QString revisionHistoryHtml(const FirmwareRelease &release);
    // "^" parts as plain paragraphs, every other part a numbered step.
    static QString instructionsHtml(const QString &instructions);
    // "FAT16", "FAT32", "NTFS" for bits 1, 2, 4.
    static QString supportedFormats(int updateViaUSB);
};
