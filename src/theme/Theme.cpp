#include "theme/Theme.h"

#include <QColor>
#include <QFile>
#include <QGuiApplication>
#include <QPalette>

namespace {

QString lightPath(const QString &name)
{
    return QStringLiteral(":/resources/%1.svg").arg(name);
}

QString darkPath(const QString &name)
{
    return QStringLiteral(":/resources/dark/%1.svg").arg(name);
}

// Most names have no dark variant; asking the SVG engine for a missing file would log a warning
// at every lookup.
QIcon darkVariant(const QString &name)
{
    const QString path = darkPath(name);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

struct ColourSlot
{
    const char *dark;
    const char *light;
};

// Slots 0..13 of the information panel, in slot order.
constexpr ColourSlot colourTable[] = {
    { "#000000", "#ffffff" }, // page background
    { "#4a4a4a", "#2e5cb8" }, // table header and callout title background
    { "#87ceeb", "#ffffff" }, // table header and callout title text
    { "#87ceeb", "#1e4a8c" }, // header bottom border, callout left bar
    { "#4a4a4a", "#f8f9fa" }, // first column background, callout frame
    { "#d3d3d3", "#343a40" }, // first column text
    { "#2a2a2a", "#e9ecef" }, // second column and link cell background
    { "#ffffff", "#212529" }, // second column and link cell text
    { "#2a2a2a", "#e9ecef" }, // third column background
    { "#ffffff", "#212529" }, // third column text
    { "#d3d3d3", "#6c757d" }, // cell bottom border
    { "#ffffff", "#212529" }, // not used by the panel
    { "#2a2a2a", "#e9ecef" }, // callout body background
    { "#ffffff", "#212529" }, // callout body text
};

}

namespace Theme {

bool isDarkAppearance()
{
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}

QIcon themedIcon(const QString &name)
{
    if (isDarkAppearance()) {
        const QIcon dark = darkVariant(name);
        if (!dark.isNull())
            return dark;
    }
    return QIcon(lightPath(name));
}

QString themedIconPath(const QString &name)
{
    if (isDarkAppearance()) {
        if (!darkVariant(name).isNull())
            return darkPath(name);
    }
    return lightPath(name);
}

PanelColours panelColours(bool dark)
{
    PanelColours set;
    set.colours.reserve(int(std::size(colourTable)));
    for (const ColourSlot &slot : colourTable)
        set.colours.append(QString::fromLatin1(dark ? slot.dark : slot.light));
    set.borderWidth = 3;
    return set;
}

}
