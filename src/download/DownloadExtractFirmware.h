#pragma once

#include "catalogue/FirmwareRelease.h"
#include "download/FileDownloader.h"

#include <QObject>
#include <QString>


// Makes the firmware of one release available, verified, in the flat cache folder: checks what
// is there, downloads the package when needed, unpacks it when the release lists unpacked files.
// Reports one statusChanged per start: 0, a FileDownloader code, or 10004 (nothing extracted).
class DownloadExtractFirmware : public QObject
{
    Q_OBJECT

public:
    enum Status {
        StatusOk = 0,
        StatusChecksumMismatch = 10000,
        StatusCannotWrite = 10001,
        StatusCannotDelete = 10002,
        StatusNetworkError = 10003,
        StatusExtractFailed = 10004,
    };

    DownloadExtractFirmware(int instance, const FirmwareRelease &release, const QString &cacheFolder,
                            QObject *parent = nullptr);
    ~DownloadExtractFirmware() override;

    // True when every firmware file is in the cache with its size and checksum. Hashes whole
    // files: slow for large packages.
    bool isAlreadyDownloaded() const;

    // The job's copy of the release: a release without unpacked files lists its package.
    const FirmwareRelease &release() const { return m_release; }
    QString packageFileName() const { return m_packageFileName; }

    // Passed to the package download (FileDownloader::setStallTimeout); tests shorten it.
    void setStallTimeout(int ms) { m_stallTimeoutMs = ms; }

    // The user text for a status code.
    static QString downloadErrorText(int code);

signals:
    void statusChanged(int instance, int status);
    void progressChanged(int instance, int m_progressValue, int m_progressTotal, QString m_progressMessage);

public slots:
    void start();
    void cancel();
    void statusChangedIn(int instance, int status);

private:
    bool namesArePlain() const;
    QString cachePath(const QString &fileName) const;
    // The package at packagePath matches the release's checksum, or, without one, its size.
    bool packageLooksWhole(const QString &packagePath) const;
    int unpackAndVerify();

    const int m_instance;
    FirmwareRelease m_release;
    const QString m_cacheFolder;
    const QString m_packageFileName;
    FileDownloader *m_downloader = nullptr;
    bool m_unpack = true;
    int m_stallTimeoutMs = FileDownloader::StallTimeoutMs;
};
