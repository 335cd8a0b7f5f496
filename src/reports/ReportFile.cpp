#include "reports/ReportFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

QString ReportFile::write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        return QCoreApplication::translate("ReportFile", "Unable to write %1: %2", "1=file 2=reason")
                .arg(QDir::toNativeSeparators(path), file.errorString());
    }
    return QString();
}
