#include "maintenance/FileHashListing.h"

#include "download/FileChecksum.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

QString FileHashListing::html(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    const QDir dir(folder);
    static const char *const patterns[] = { "*.zip", "*.pac", "*.hex", "*.jbc", "*.bin" };
    QString listing;
    for (const char *pattern : patterns) {
        const QStringList names =
            dir.entryList({ QString::fromLatin1(pattern) }, QDir::Files, QDir::Name);
        for (const QString &name : names) {
            const QString path = dir.filePath(name);
            // File names are escaped: whatever landed in the cache folder must not become markup.
            listing += QStringLiteral("file: <b>%1</b> fileChecksum=<b>%2</b> size=<b>%3</b><br>")
                           .arg(name.toHtmlEscaped(), FileChecksum::md5Hex(path),
                                QString::number(QFileInfo(path).size()));
        }
    }
    return listing;
}
