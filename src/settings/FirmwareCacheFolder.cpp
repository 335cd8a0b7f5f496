#include "settings/FirmwareCacheFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace FirmwareCacheFolder {

QString path(bool create)
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (base.isEmpty())
        return QString();
    const QString folder = base + QStringLiteral("/Firmware");
    if (QFileInfo(folder).isDir())
        return folder;
    if (!create || !QDir().mkpath(folder))
        return QString();
#ifdef Q_OS_WIN
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                      | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                                      | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
#else
    // Others may read but not write: a folder anyone can write would let another local user
    // put firmware files in front of the update.
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                      | QFileDevice::ReadGroup | QFileDevice::ExeGroup
                                      | QFileDevice::ReadOther | QFileDevice::ExeOther);
#endif
    return folder;
}

}
