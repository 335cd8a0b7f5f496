#pragma once

#include "records/DisplayEntry.h"
#include "theme/Theme.h"

#include <QString>
#include <functional>

struct FirmwareRelease;

// Builds the information panel below the display table as one HTML document. It keeps no state
// between calls: the main window rebuilds it from the current row on every update_ui and on every
// palette change, which is what recolours it when the appearance switches.
//
// Everything a display reports (names, serial number, versions, MAC text, addresses) is escaped
// before it enters the document; catalogue texts that the catalogue format defines as rich text
// (change lists) keep their markup, but only links to web pages and images of our own.
class DisplayInfoPanel
{
public:
    // The main-window flags the panel reads.
    struct WindowState
    {
        bool searchAttempted = false;
        bool searching = false;
        bool databaseLoaded = false;
        int rowCount = 0;
        bool darkTheme = false;
        PanelColours colours;
    };

    using IconPathLookup = std::function<QString(const QString &name)>;
    using StatusTextLookup = std::function<QString(int status)>;

    // iconPath is the themed icon path lookup; statusText gives the LAN update status text of a
    // session status code. Without a status text lookup the code is shown as "Status: <n>".
    DisplayInfoPanel(WindowState state, IconPathLookup iconPath, StatusTextLookup statusText = {});

    // row is null when no row is selected; release is the catalogue release that findRelease gave
    // for the row's model and serial number, null when there is none.
    QString build(const DisplayEntry *row, const FirmwareRelease *release) const;

    static QString powerLEDBlinkCodeToString(int code, bool darkTheme);

    // Link text for an address: "<a href="http://a/">a</a>" for a usable IPv4 or IPv6 address,
    // nothing for any other value, so a display can never place its own target in the panel.
    static QString addressLink(const QHostAddress &address);

private:
    QString noSelectionContent() const;
    QString rowContent(const DisplayEntry &row, const FirmwareRelease *release) const;
    QString callouts(const DisplayEntry &row) const;
    QString changeList(const DisplayEntry &row) const;
    QString updateTables(const DisplayEntry &row, const FirmwareRelease &release) const;
    QString identityTables(const DisplayEntry &row) const;
    QString documentationTable(const FirmwareRelease &release) const;
    QString icon(const QString &name) const;

    WindowState m_state;
    IconPathLookup m_iconPath;
    StatusTextLookup m_statusText;
};
