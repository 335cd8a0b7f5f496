#pragma once

// The application's own version and build; the build is compared with a release's
// requiresAppBuild and with the newest build announced in the catalogue.
namespace AppBuild {
inline constexpr const char *Version = "1.3.00";
inline constexpr int Number = 250930;
}
