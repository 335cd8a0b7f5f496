#pragma once

// A dark Fusion palette on request, for demonstrations and screenshots on desktops that have no
// dark appearance of their own: QUILLON_PALETTE=dark. Any other value leaves the system's palette.
class AppPalette
{
public:
    static constexpr const char *Variable = "QUILLON_PALETTE";

    // Call after the application object exists and before the main window is built.
    static void applyFromEnvironment();
};
