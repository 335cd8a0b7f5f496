#pragma once

#include <QFlags>
#include <QString>

// Rich text from the firmware server (USB instructions, change lists, application news) made safe
// to show. It is the one filter every caller goes through: links lead only to http or https
// pages, images come only from the program's own resources, and nothing outside the resources is
// loaded while cleaning. Each caller names the inline markup it shows; the rest becomes plain text.
class CatalogueRichText
{
public:
    enum Tag {
        Bold = 0x1,
        Italic = 0x2,
        Underline = 0x4,
        WebLink = 0x8,
        ResourceImage = 0x10,
    };
    Q_DECLARE_FLAGS(Tags, Tag)

    // What each caller shows of a catalogue item, written once.
    static constexpr Tags PanelItemTags = Tags(Bold | Italic | Underline | WebLink | ResourceImage);
    static constexpr Tags AboutTextTags = PanelItemTags;
    static constexpr Tags UpdateMessageTags = PanelItemTags;

    // A whole document (the USB dialog's instructions): the markup stays, links and images are cleaned.
    static QString sanitized(const QString &html);
    // One item as inline HTML holding only the allowed tags and line breaks (blocks become "<br>").
    static QString inlineHtml(const QString &item, Tags allowed);

    // True for an "http" or "https" address with a host.
    static bool isWebLink(const QString &href);
    // True for a path into the program's resources (":/..." or "qrc:/...").
    static bool isResource(const QString &name);
};

Q_DECLARE_OPERATORS_FOR_FLAGS(CatalogueRichText::Tags)
