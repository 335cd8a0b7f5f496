#pragma once

#include "catalogue/FirmwareRelease.h"

#include <QString>
#include <QStringList>

// Version texts as displays report them ("R1.02", "V2.10a") compared part by part on their digits.
namespace FirmwareVersions {

enum CompareError : int {
    CompareOk = 0,
    ComparePartCountDiffers = -1,
    ComparePartNotNumber = -2,
};

// 1 when a is newer, -1 when a is older, 0 when equal or when error is set. Everything but digits
// and points is dropped first, so "R1.02" equals "1.2" and "1.10" is newer than "1.9".
int compareVersions(const QString &a, const QString &b, int *error = nullptr);

// The change-list texts of release that are newer than installedVersion: the latest change first,
// then the earlier versions in file order. error holds the result of the last comparison; when the
// latest version does not compare, the list is empty.
QStringList changeListsSince(const FirmwareRelease &release, const QString &installedVersion,
                             int *error = nullptr);

}
