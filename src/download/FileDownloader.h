#pragma once

#include "download/BlockPool.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QNetworkReply>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

class DigestLane;
class SyncLane;
class QNetworkAccessManager;
class QTimer;

// Fetches one URL into memory (empty file path) or into a file, hashing what arrives as it
// arrives. Ends every download with exactly one statusChanged carrying one of the codes below.
// Only http and https URLs are fetched; anything else ends as a network error.
// A file takes its name only once the transfer is complete: until then the bytes go to a
// temporary file, so a program stopped mid-transfer never leaves a part file under the real name.
class FileDownloader : public QObject
{
    Q_OBJECT

public:
    enum Status {
        StatusNotStarted = -1,
        StatusOk = 0,
        StatusChecksumMismatch = 10000,
        StatusCannotWrite = 10001,
        StatusCannotDelete = 10002,
        StatusNetworkError = 10003,
    };

    static constexpr int ReplyTimeoutMs = 5000;
    // A transfer during which no byte moves for this long is given up as a network error, so a
    // server that accepts and then goes silent cannot hold a download (and quillonctl, which has
    // no Cancel button) for ever. Generous: any live link moves a byte within a minute.
    static constexpr int StallTimeoutMs = 60000;
    static constexpr int MemoryCap = 1000000;
    static constexpr qint64 ReadBufferSize = 1024 * 1024;
    // How many received bytes gather in one block before they are written and handed to the
    // hashing lane together: the network hands them over in pieces of a few kB to a few hundred,
    // and one write per piece costs more than the copy into the block.
    static constexpr qint64 WriteBatch = 2 * 1024 * 1024;
    // How much written data gathers before it is handed to the device (see startWriteBack).
    static constexpr qint64 WriteBackStep = 8 * 1024 * 1024;
    // How much written data gathers before the file is synced (see SyncLane).
    static constexpr qint64 SyncStep = 32 * 1024 * 1024;

    FileDownloader(int instance, bool useReplyTimer, const QUrl &url, const QString &filePath,
                   const QByteArray &expectedChecksum, QObject *parent = nullptr);
    ~FileDownloader() override;

    void start();
    void cancel();
    // Tests shorten the stall bound; 0 switches it off.
    void setStallTimeout(int ms) { m_stallTimeoutMs = ms; }
    // Tests shrink the queue of bytes waiting to be hashed, so that the reply is held back and
    // taken up again even at loopback speed.
    void setHashQueueLimit(qint64 bytes);
    QByteArray downloadedData() const { return m_buffer; }
    int status() const { return m_status; }
    // The network layer's error code of the last download (QNetworkReply::NetworkError), 0 if none.
    int networkError() const { return m_networkError; }

    // The speed text of a progress report: "500.0 bytes/sec", "2.0 MB/s".
    static QString speedText(qint64 bytesReceived, qint64 elapsedMs);

signals:
    void progressChanged(int instance, int m_progressValue, int m_progressTotal, QString m_progressMessage);
    void statusChanged(int instance, int status);

public slots:
    void downloadProgress(qint64 bytesReceived, qint64 bytesTotal);
    void downloadFinished();
    void downloadReadyRead();
    void downloadError(QNetworkReply::NetworkError error);
    void ReplyTimerTimeout();

private:
    bool fileMode() const { return !m_filePath.isEmpty(); }
    // Takes what the reply holds; false when that ended the download (a failed write).
    bool takeArrived();
    // Writes the gathered block and hands it to the lane; false when the write failed and ended
    // the download.
    bool writeGathered();
    void discardFile();
    void abandonReply();
    void fail(int status);

    const int m_instance;
    const QUrl m_url;
    const QString m_filePath;
    const QByteArray m_expectedChecksum;
    QSaveFile m_file;
    // Received but not yet written.
    std::shared_ptr<PoolBlock> m_gathered;
    BlockPool m_blocks{WriteBatch};
    QByteArray m_buffer;
    // The memory mode's digest; a file's bytes are hashed by the lane.
    QCryptographicHash m_md5{QCryptographicHash::Md5};
    DigestLane *m_lane;
    std::unique_ptr<SyncLane> m_syncLane;
    QNetworkAccessManager *m_manager;
    QNetworkReply *m_reply = nullptr;
    QTimer *m_replyTimer;
    const bool m_useReplyTimer;
    int m_stallTimeoutMs = StallTimeoutMs;
    QElapsedTimer m_clock;
    qint64 m_bytesWritten = 0;
    qint64 m_writtenBackTo = 0;
    qint64 m_syncedTo = 0;
    int m_bytesReceived = 0;
    int m_bytesTotal = 0;
    QString m_speedText;
    int m_networkError = 0;
    bool m_timedOut = false;
    int m_status = StatusNotStarted;
};
