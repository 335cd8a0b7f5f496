#include "download/UnfinishedFiles.h"

#include "catalogue/CatalogueMerge.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryFile>

namespace {

// Qt's own temporary names (QSaveFile, QTemporaryFile) replace "XXXXXX" by six letters.
constexpr int SuffixLength = 7; // the dot and six characters

}

QStringList UnfinishedFiles::firmwareSuffixes()
{
    return { QStringLiteral(".zip"), QStringLiteral(".hex"), QStringLiteral(".bin"), QStringLiteral(".pac"),
             QStringLiteral(".jbc") };
}

bool UnfinishedFiles::isUnfinished(const QString &fileName)
{
    static const QRegularExpression temporarySuffix(QStringLiteral("\\.[A-Za-z0-9]{6}$"));
    if (fileName.size() <= SuffixLength || !temporarySuffix.match(fileName).hasMatch())
        return false;
    const QString meant = fileName.chopped(SuffixLength);
    if (meant == CatalogueMerge::catalogueFileName())
        return true;
    for (const QString &suffix : firmwareSuffixes()) {
        // A bare ".zip" is no name a download gets.
        if (meant.size() > suffix.size() && meant.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QStringList UnfinishedFiles::list(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    QStringList found;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &name : names) {
        if (isUnfinished(name))
            found.append(name);
    }
    return found;
}

int UnfinishedFiles::remove(const QString &folder)
{
    int removed = 0;
    const QDir dir(folder);
    for (const QString &name : list(folder)) {
        if (QFile::remove(dir.filePath(name)))
            ++removed;
    }
    return removed;
}

QString UnfinishedFiles::temporaryPathFor(const QString &path)
{
    // Made free again at once, so that the writer creates the file itself: an archive entry
    // that is a link then shows as a link instead of being written through one.
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open())
        return {};
    return file.fileName(); // removed with file
}
