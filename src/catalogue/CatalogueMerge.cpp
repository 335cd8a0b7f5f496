#include "catalogue/CatalogueMerge.h"

#include <QDebug>
#include <QFile>
#include <QSaveFile>

QString CatalogueMerge::catalogueFileName()
{
    return QStringLiteral("pd_firmware_releases.json");
}

CatalogueMerge::CatalogueMerge(const QString &cacheFolder)
    : m_cacheFolder(cacheFolder)
{
}

void CatalogueMerge::setLanguage(QLocale::Language language)
{
    m_language = language;
}

QString CatalogueMerge::localFilePath() const
{
    return m_cacheFolder + QLatin1Char('/') + catalogueFileName();
}

int CatalogueMerge::parseInto(FirmwareDatabase &database, const QByteArray &bytes) const
{
    if (m_language == QLocale::AnyLanguage)
        return database.parse(bytes);
    return database.parse(bytes, m_language);
}

FirmwareDatabase CatalogueMerge::readLocalCopy() const
{
    FirmwareDatabase local;
    QFile file(localFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return local;
    const QByteArray bytes = file.read(LocalReadLimit);
    if (bytes.isEmpty())
        return local;
    if (parseInto(local, bytes) != FirmwareDatabase::ParseOk)
        qInfo() << "Error parsing local json file";
    return local;
}

CatalogueMergeResult CatalogueMerge::merge(int downloadStatus, const QByteArray &serverBytes) const
{
    CatalogueMergeResult result;
    FirmwareDatabase local = readLocalCopy();

    FirmwareDatabase server;
    bool serverReceived = false;
    if (downloadStatus == 0 && !serverBytes.isEmpty())
        serverReceived = parseInto(server, serverBytes) == FirmwareDatabase::ParseOk;

    qInfo() << "Local DB:" << local.databaseVersion;
    qInfo() << "Server DB:" << (serverReceived ? server.databaseVersion : 0);

    if (serverReceived && server.count() > 0 && server.databaseVersion > local.databaseVersion) {
        result.database = server;
        result.serverCopyUsed = true;
        result.statusText = tr("Downloaded %1 firmware definitions").arg(server.count());
        result.localFileWritten = replaceLocalFile(serverBytes);
    } else {
        result.database = local;
        result.statusText = tr("%1 local file firmware definitions").arg(local.count());
    }
    result.statusTimeoutMs = StatusTimeoutMs;

    qInfo() << "Num FW definitions:" << result.database.count();

    if (downloadStatus != 0) {
        result.errorText = tr("Error %1 downloading firmware definitions. Check Internet connection and restart.")
                               .arg(downloadStatus);
        qInfo() << "Error" << downloadStatus << "downloading firmware definitions";
    }
    return result;
}

bool CatalogueMerge::replaceLocalFile(const QByteArray &bytes) const
{
    // Written beside the old file and renamed over it only when complete, so a full disk or a
    // crash leaves the previous catalogue rather than a truncated one. A failure stays silent:
    // the next start simply downloads again.
    QSaveFile file(localFilePath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile::commit() overlooks a short write that only shows when the buffer is flushed,
    // so the flush and the size on disk are checked before the rename.
    const bool complete = file.write(bytes) == bytes.size() && file.flush() && file.size() == bytes.size();
    if (!complete) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
