#include "maintenance/ReadmeFile.h"

#include <QCoreApplication>
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

Platform::OpenResult ReadmeFile::open(const QString &applicationFolder)
{
    return Platform::openDocument(url(applicationFolder).toLocalFile());
}

QString ReadmeFile::failureText(Platform::OpenResult result, const QString &applicationFolder)
{
    const QString path = QDir::toNativeSeparators(url(applicationFolder).toLocalFile());
    if (result == Platform::OpenResult::NoProgram) {
        return QCoreApplication::translate("Tessel", "There is no program to open the README file (a web browser). "
                                                     "Open it on another computer, or install one. It is here:\n%1",
                                           "1=file path")
                .arg(path);
    }
    return unableToOpenText() + QLatin1Char('\n') + path;
}

QString ReadmeFile::unableToOpenText()
{
    return QCoreApplication::translate("Tessel", "Unable to open README file.");
}
