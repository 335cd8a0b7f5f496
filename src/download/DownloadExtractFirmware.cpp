#include "download/DownloadExtractFirmware.h"

#include "download/CacheFileName.h"
#include "download/FileChecksum.h"
#include "download/FileDownloader.h"
#include "download/UnfinishedFiles.h"

#include <JlCompress.h>

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QtDebug>

namespace {

struct StatusText
{
    int code;
    const char *text;
};

const StatusText statusTexts[] = {
    {DownloadExtractFirmware::StatusOk, QT_TRANSLATE_NOOP("DownloadExtractFirmware", "No error")},
    {DownloadExtractFirmware::StatusChecksumMismatch,
     QT_TRANSLATE_NOOP("DownloadExtractFirmware", "Error: Download file is corrupted (checksum failed).")},
    {DownloadExtractFirmware::StatusCannotWrite,
     QT_TRANSLATE_NOOP("DownloadExtractFirmware", "Error: Unable to save the firmware file.")},
    {DownloadExtractFirmware::StatusCannotDelete,
     QT_TRANSLATE_NOOP("DownloadExtractFirmware", "Error: Unable to delete existing firmware file.")},
    {DownloadExtractFirmware::StatusNetworkError,
     QT_TRANSLATE_NOOP("DownloadExtractFirmware",
                       "An error occurred while downloading the firmware. Check Internet connectivity and try again.")},
    {DownloadExtractFirmware::StatusExtractFailed,
     QT_TRANSLATE_NOOP("DownloadExtractFirmware", "Error: Unable to extract the firmware file.")},
};

// A link in the cache could point anywhere; it never counts as a cached file.
bool isRegularFile(const QFileInfo &info)
{
    return info.exists() && !info.isSymLink() && info.isFile();
}

bool removeIfPresent(const QString &path)
{
    const QFileInfo info(path);
    return !(info.exists() || info.isSymLink()) || QFile::remove(path);
}

} // namespace

DownloadExtractFirmware::DownloadExtractFirmware(int instance, const FirmwareRelease &release,
                                                 const QString &cacheFolder, QObject *parent)
    : QObject(parent),
      m_instance(instance),
      m_release(release),
      m_cacheFolder(cacheFolder),
      m_packageFileName(CacheFileName::fromDownloadLocation(release.downloadLoc))
{
    if (m_release.unpackedFileInfo.isEmpty()) {
        // The package is itself the firmware file.
        UnpackedFileEntry entry;
        entry.fileName = m_packageFileName;
        entry.fileSize = m_release.fileSize;
        entry.fileChecksum = m_release.fileChecksum;
        m_release.unpackedFileInfo.append(entry);
        m_unpack = false;
    }
}

DownloadExtractFirmware::~DownloadExtractFirmware()
{
    delete m_downloader;
}

QString DownloadExtractFirmware::downloadErrorText(int code)
{
    for (const StatusText &entry : statusTexts) {
        if (entry.code == code)
            return tr(entry.text);
    }
    return tr("Unknown error: %1").arg(code);
}

bool DownloadExtractFirmware::namesArePlain() const
{
    bool plain = true;
    if (!CacheFileName::isPlain(m_packageFileName)) {
        qInfo().nospace() << "Firmware " << m_release.version << " refused: the package name " << m_packageFileName
                          << " from " << m_release.downloadLoc << " is not a plain file name";
        plain = false;
    }
    if (!m_unpack)
        return plain; // the single entry is the package itself
    for (const UnpackedFileEntry &entry : m_release.unpackedFileInfo) {
        if (!CacheFileName::isPlain(entry.fileName)) {
            qInfo().nospace() << "Firmware " << m_release.version << " refused: the firmware file name "
                              << entry.fileName << " is not a plain file name";
            plain = false;
        }
    }
    return plain;
}

QString DownloadExtractFirmware::cachePath(const QString &fileName) const
{
    return m_cacheFolder + QLatin1Char('/') + fileName;
}

bool DownloadExtractFirmware::isAlreadyDownloaded() const
{
    // Unsafe names are never looked up: that alone would read outside the cache folder.
    for (const UnpackedFileEntry &entry : m_release.unpackedFileInfo) {
        if (!CacheFileName::isPlain(entry.fileName))
            return false;
    }
    bool all = true;
    for (const UnpackedFileEntry &entry : m_release.unpackedFileInfo) {
        const QString path = cachePath(entry.fileName);
        const QFileInfo info(path);
        if (!isRegularFile(info)) {
            all = false;
            continue;
        }
        if (entry.fileSize > 0 && info.size() != entry.fileSize)
            all = false;
        if (!entry.fileChecksum.isEmpty() && FileChecksum::md5Hex(path) != entry.fileChecksum)
            all = false;
    }
    return all;
}

void DownloadExtractFirmware::start()
{
    delete m_downloader;
    m_downloader = nullptr;

    if (!namesArePlain()) {
        emit statusChanged(m_instance, StatusCannotWrite);
        return;
    }
    if (isAlreadyDownloaded()) {
        emit statusChanged(m_instance, StatusOk);
        return;
    }

    const QString packagePath = cachePath(m_packageFileName);
    if (isRegularFile(QFileInfo(packagePath)) && packageLooksWhole(packagePath)) {
        // A package that is the firmware itself is done; it is never opened as an archive.
        emit statusChanged(m_instance, m_unpack ? unpackAndVerify() : StatusOk);
        return;
    }

    m_downloader = new FileDownloader(m_instance, false, QUrl(m_release.downloadLoc), packagePath,
                                      QByteArray::fromHex(m_release.fileChecksum.toLatin1()), this);
    m_downloader->setStallTimeout(m_stallTimeoutMs);
    connect(m_downloader, &FileDownloader::progressChanged, this, &DownloadExtractFirmware::progressChanged);
    connect(m_downloader, &FileDownloader::statusChanged, this, &DownloadExtractFirmware::statusChangedIn);
    m_downloader->start();
}

void DownloadExtractFirmware::cancel()
{
    if (m_downloader)
        m_downloader->cancel();
}

bool DownloadExtractFirmware::packageLooksWhole(const QString &packagePath) const
{
    if (!m_release.fileChecksum.isEmpty())
        return FileChecksum::md5Hex(packagePath) == m_release.fileChecksum;
    // Without a checksum the size is all there is to tell a whole package from a cut-off one.
    return m_release.fileSize <= 0 || QFileInfo(packagePath).size() == m_release.fileSize;
}

void DownloadExtractFirmware::statusChangedIn(int instance, int status)
{
    // With a checksum the downloader has verified the bytes already. Without one, a server that
    // ended early without saying how long the file is would leave a cut-off package that a later
    // start takes as good; it is never kept.
    if (status == StatusOk && m_release.fileChecksum.isEmpty() && !packageLooksWhole(cachePath(m_packageFileName))) {
        qInfo().nospace() << "Firmware " << m_release.version << ": the package " << m_packageFileName
                          << " does not have the catalogue's size " << m_release.fileSize;
        QFile::remove(cachePath(m_packageFileName));
        status = StatusChecksumMismatch;
    }
    if (status == StatusOk && m_unpack)
        status = unpackAndVerify();
    if (m_downloader) {
        m_downloader->deleteLater();
        m_downloader = nullptr;
    }
    emit statusChanged(instance, status);
}

int DownloadExtractFirmware::unpackAndVerify()
{
    const QString archivePath = cachePath(m_packageFileName);
    int result = StatusOk;
    if (JlCompress::getFileList(archivePath).isEmpty()) {
        // Not an archive, or an empty one: none of the listed firmware files can come from it.
        qInfo().nospace() << "Firmware " << m_release.version << ": the package " << m_packageFileName
                          << " holds no files to extract";
        result = StatusExtractFailed;
    } else {
        for (const UnpackedFileEntry &entry : qAsConst(m_release.unpackedFileInfo)) {
            const QString target = cachePath(entry.fileName);
            if (!removeIfPresent(target))
                result = StatusCannotDelete;
            // Unpacked under a temporary name and renamed when complete: a program stopped while
            // unpacking leaves no cut-off firmware file under the name the cache checks look at.
            const QString unfinished = UnfinishedFiles::temporaryPathFor(target);
            if (unfinished.isEmpty()) {
                result = StatusCannotWrite;
                break;
            }
            if (JlCompress::extractFile(archivePath, entry.fileName, unfinished).isEmpty()) {
                QFile::remove(unfinished);
                result = StatusExtractFailed;
                break;
            }
            if (QFileInfo(unfinished).isSymLink()) {
                // An archive may store a link to any place; following it would leave the cache.
                qInfo().nospace() << "Firmware " << m_release.version << ": " << entry.fileName
                                  << " in the package is a link, not a file";
                QFile::remove(unfinished);
                result = StatusExtractFailed;
                break;
            }
            if (!QFile::rename(unfinished, target)) {
                QFile::remove(unfinished);
                if (result == StatusOk)
                    result = StatusCannotWrite;
                break;
            }
            // An unreadable file never matches, not even an empty checksum.
            const QString digest = FileChecksum::md5Hex(target);
            if (digest.isEmpty() || digest != entry.fileChecksum)
                result = StatusChecksumMismatch;
            if (result != StatusOk)
                break;
        }
    }
    QFile::remove(archivePath);
    return result;
}
