#pragma once

#include <QString>

// Rich text from the firmware server (USB instructions, change lists) made safe to show: the
// markup stays, but links lead only to http or https pages and images come only from the
// program's own resources. Nothing outside the resources is loaded while cleaning.
class CatalogueRichText
{
public:
    static QString sanitized(const QString &html);

    // True for an "http" or "https" address with a host.
    static bool isWebLink(const QString &href);
    // True for a path into the program's resources (":/..." or "qrc:/...").
    static bool isResource(const QString &name);
};
