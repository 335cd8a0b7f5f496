#pragma once

#include <QString>

// The one filter for rich text from the firmware server (USB instructions, change lists, the
// About dialog's links, the application's change history): links lead only to http or https
// pages and images come only from the program's own resources; nothing outside the resources is
// loaded while reading. A whole document keeps its markup (sanitized); an inline item is written
// back with nothing but the markup its caller allows (inlineHtml).
class CatalogueRichText
{
public:
    // What an inline item may keep; each caller names its own set.
    enum Markup : unsigned {
        Bold = 0x01,
        Italic = 0x02,
        Underline = 0x04,
        LineBreaks = 0x08,
        WebLinks = 0x10,
        OwnImages = 0x20,
        PlainText = 0,
    };

    static QString sanitized(const QString &html);

    // One item as inline HTML holding only the allowed markup: scripts, style sheets, other link
    // schemes, outside images and background images are gone, and so is whatever is not allowed
    // (its text stays, escaped).
    static QString inlineHtml(const QString &item, unsigned allowed);

    // True for an "http" or "https" address with a host.
    static bool isWebLink(const QString &href);
    // True for a path into the program's resources (":/..." or "qrc:/...").
    static bool isResource(const QString &name);
};
