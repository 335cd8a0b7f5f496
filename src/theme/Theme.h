#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// The colour texts of the information panel for one appearance, and its border width.
struct PanelColours
{
    QStringList colours; // fourteen entries, slots 0..13
    int borderWidth = 3;
};

// The one appearance rule and the icon lookups every window, cell, menu and rich-text message uses.
// The palette is read afresh on every call so a change of system appearance shows at the next lookup.
namespace Theme {

// Dark when the HSL lightness of the application palette's window colour is below 128.
bool isDarkAppearance();

// ":/resources/dark/<name>.svg" in a dark appearance when that variant exists, else ":/resources/<name>.svg".
QIcon themedIcon(const QString &name);

// The resource path of the same choice, for "<img src=...>" inside rich text.
QString themedIconPath(const QString &name);

PanelColours panelColours(bool dark);

}
