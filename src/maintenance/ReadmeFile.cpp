#include "maintenance/ReadmeFile.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

QString ReadmeFile::fileName()
{
    return QCoreApplication::translate("Tessel", "ReadMe.html", "name of localized README file");
}

QUrl ReadmeFile::url(const QString &applicationFolder)
{
    // fromLocalFile gives "file:///C:/..." on Windows and "file:///opt/..." elsewhere.
    return QUrl::fromLocalFile(QDir(applicationFolder).filePath(fileName()));
}

bool ReadmeFile::open(const QString &applicationFolder)
{
    const QUrl readme = url(applicationFolder);
    // Some desktop handlers report success for a file that is not there and then show nothing.
    if (!QFileInfo(readme.toLocalFile()).isFile())
        return false;
    return QDesktopServices::openUrl(readme);
}

QString ReadmeFile::unableToOpenText()
{
    return QCoreApplication::translate("Tessel", "Unable to open README file.");
}
