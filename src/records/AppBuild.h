#pragma once

#include <QCoreApplication>
#include <QString>

// The application's own version and build; the build is compared with a release's
// requiresAppBuild and with the newest build announced in the catalogue.
namespace AppBuild {
inline constexpr const char *Version = "1.3.00";
inline constexpr int Number = 250930;

// "Application version: 1.3.00 (Build 250930)", shown by the splash screen and the About dialog.
inline QString versionText()
{
    return QCoreApplication::translate("AppBuild", "Application version: %1 (Build %2)",
                                       "software version and build number")
        .arg(QString::fromLatin1(Version))
        .arg(Number);
}
}
