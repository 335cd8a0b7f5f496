#include "reports/ExportFileName.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ExportFileName::displayList(const QDateTime &when)
{
    return QStringLiteral("quillon-displays-%1.csv").arg(when.toString(QStringLiteral("yyyy-MM-dd")));
}

QString ExportFileName::updateReport(const QDateTime &when, bool json)
{
    return QStringLiteral("quillon-update-%1.%2")
            .arg(when.toString(QStringLiteral("yyyy-MM-dd-HHmm")), json ? QStringLiteral("json") : QStringLiteral("csv"));
}

QString ExportFileName::suggestedPath(const QString &lastFolder, const QString &fileName)
{
    QString folder = lastFolder;
    // A folder on a drive since unplugged, or deleted, would leave the dialog somewhere odd.
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(fileName);
}
