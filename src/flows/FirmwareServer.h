#pragma once

#include <QString>
#include <QUrl>

// Where the firmware catalogue lives. The maker's server is the default; the environment variable
// QUILLON_FIRMWARE_URL points a test rig or an in-house mirror elsewhere.
namespace FirmwareServer {

inline constexpr const char *DefaultBaseUrl = "https://firmware.halvern.example/firmwareupdates/";
inline constexpr const char *BaseUrlVariable = "QUILLON_FIRMWARE_URL";

// The base URL, always ending in "/" so file names can be appended: the variable's when it is
// usable, else savedUrl (the settings dialog's) when it is usable, else the maker's server.
QString baseUrl(const QString &savedUrl = QString());

// An http or https URL with a host: the only kind taken from the variable or the settings.
bool isUsableBaseUrl(const QString &url);

// The variable's value when it is set and usable (it then overrides the saved URL); else empty.
QString environmentBaseUrl();

// The variable's value when it is set but not an http or https URL with a host, and so ignored;
// empty otherwise. The start-up says so in the log rather than silently using the default.
QString ignoredBaseUrl();

// The catalogue "pd_firmware_releases.json" under baseUrl.
QUrl catalogueUrl(const QString &base);

}
