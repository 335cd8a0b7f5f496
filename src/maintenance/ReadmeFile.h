#pragma once

#include "platform/Platform.h"

#include <QString>
#include <QUrl>

// The README shipped beside the program. Its name is translatable so that a translation can
// point to a README in its own language.
class ReadmeFile
{
public:
    static QString fileName();
    static QUrl url(const QString &applicationFolder);

    // Opens the README with the desktop's default handler; the caller shows failureText() of
    // any other result.
    static Platform::OpenResult open(const QString &applicationFolder);
    static QString unableToOpenText();
    // What to tell the technician when the README did not open: why, and where the file is.
    static QString failureText(Platform::OpenResult result, const QString &applicationFolder);
};
