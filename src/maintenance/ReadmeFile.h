#pragma once

#include <QString>
#include <QUrl>

// The README shipped beside the program. Its name is translatable so that a translation can
// point to a README in its own language.
class ReadmeFile
{
public:
    static QString fileName();
    static QUrl url(const QString &applicationFolder);

    // Opens the README with the desktop's default handler. False when the file is missing or
    // the handler could not be started; the caller then shows unableToOpenText().
    static bool open(const QString &applicationFolder);
    static QString unableToOpenText();
};
