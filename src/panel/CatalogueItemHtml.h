#pragma once

#include <QString>

// One rich-text item of the firmware server's catalogue (a change-list entry) as inline HTML for
// the panel. The item is read as a text document and written back with nothing but what the panel
// writes itself: bold, italic and underlined text, line breaks, links to http and https pages, and
// images from the program's own resources. Scripts, style sheets, other link schemes, outside
// images and background images are gone; nothing outside the resources is loaded on the way.
class CatalogueItemHtml
{
public:
    static QString inlineHtml(const QString &item);
};
