#include "download/FileDownloader.h"

#include "download/DigestLane.h"
#include "download/SyncLane.h"
#include "platform/Platform.h"

#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkRequest>
#include <QTimer>

#include <utility>

FileDownloader::FileDownloader(int instance, bool useReplyTimer, const QUrl &url, const QString &filePath,
                               const QByteArray &expectedChecksum, QObject *parent)
    : QObject(parent),
      m_instance(instance),
      m_url(url),
      m_filePath(filePath),
      m_expectedChecksum(expectedChecksum),
      m_file(filePath),
      m_lane(new DigestLane(QCryptographicHash::Md5, this)),
      m_syncLane(std::make_unique<SyncLane>()),
      m_manager(new QNetworkAccessManager(this)),
      m_replyTimer(new QTimer(this)),
      m_useReplyTimer(useReplyTimer)
{
    m_manager->setProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
    connect(m_lane, &DigestLane::drained, this, &FileDownloader::downloadReadyRead);
    if (m_useReplyTimer) {
        m_replyTimer->setSingleShot(true);
        m_replyTimer->setInterval(ReplyTimeoutMs);
        connect(m_replyTimer, &QTimer::timeout, this, &FileDownloader::ReplyTimerTimeout);
    }
}

FileDownloader::~FileDownloader()
{
    if (m_reply) {
        // Going away is not a download result: the owner hears nothing more from us.
        disconnect(m_reply, nullptr, this, nullptr);
        m_reply->abort();
        delete m_reply;
        m_reply = nullptr;
    }
    if (fileMode() && m_file.isOpen())
        discardFile();
}

void FileDownloader::setHashQueueLimit(qint64 bytes)
{
    m_lane->setHighMark(bytes);
}

void FileDownloader::start()
{
    m_md5.reset();
    m_bytesWritten = 0;
    m_writtenBackTo = 0;
    m_syncedTo = 0;
    m_gathered = nullptr;
    m_blocks.clear();
    m_buffer.clear();
    m_networkError = 0;
    m_timedOut = false;

    // A catalogue names the URL; only the web may be fetched, never local files or resources.
    const QString scheme = m_url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        m_networkError = QNetworkReply::ProtocolUnknownError;
        fail(StatusNetworkError);
        return;
    }

    if (fileMode()) {
        if (m_file.isOpen())
            discardFile();
        // A dangling link counts as existing too, so that opening cannot follow it elsewhere.
        const QFileInfo existing(m_filePath);
        if ((existing.exists() || existing.isSymLink()) && !QFile::remove(m_filePath)) {
            fail(StatusCannotDelete);
            return;
        }
        // Unbuffered, so that a failed write shows at the write and not later at commit.
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            fail(StatusCannotWrite);
            return;
        }
        m_lane->begin();
        m_syncLane->begin(m_file.handle());
    }

    m_status = StatusOk;
    QNetworkRequest request(m_url);
    request.setTransferTimeout(m_stallTimeoutMs);
    m_reply = m_manager->get(request);
    // Without a bound the network thread would queue a large package in memory whenever the
    // disk falls behind; 1 MB blocks also spare the allocator fresh pages for every chunk.
    m_reply->setReadBufferSize(ReadBufferSize);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &FileDownloader::downloadProgress);
    connect(m_reply, &QNetworkReply::finished, this, &FileDownloader::downloadFinished);
    connect(m_reply, &QNetworkReply::readyRead, this, &FileDownloader::downloadReadyRead);
    connect(m_reply, &QNetworkReply::errorOccurred, this, &FileDownloader::downloadError);

    m_clock.start();
    if (m_useReplyTimer)
        m_replyTimer->start();
}

void FileDownloader::cancel()
{
    if (m_reply)
        m_reply->abort(); // reports OperationCanceledError and then finished: ends with 10003
    if (fileMode() && m_file.isOpen())
        discardFile();
}

QString FileDownloader::speedText(qint64 bytesReceived, qint64 elapsedMs)
{
    // A report within the first millisecond would otherwise divide by zero.
    double speed = bytesReceived * 1000.0 / double(qMax<qint64>(elapsedMs, 1));
    QString unit;
    if (speed < 1024) {
        unit = tr("bytes/sec", "download speed");
    } else if (speed < 1024 * 1024) {
        speed /= 1024;
        unit = tr("kB/s", "download speed");
    } else {
        speed /= 1024 * 1024;
        unit = tr("MB/s", "download speed");
    }
    return tr("%1 %2", "1=download speed 2=speed units")
        .arg(QString::number(speed, 'f', 1).rightJustified(3), unit);
}

void FileDownloader::downloadProgress(qint64 bytesReceived, qint64 bytesTotal)
{
    m_bytesTotal = int(bytesTotal);
    m_bytesReceived = int(bytesReceived);
    m_replyTimer->stop();
    m_speedText = speedText(bytesReceived, m_clock.elapsed());
    emit progressChanged(m_instance, m_bytesReceived, m_bytesTotal, m_speedText);
}

void FileDownloader::downloadReadyRead()
{
    m_replyTimer->stop();
    if (!m_reply)
        return;
    // While the lane is behind, the rest waits in the reply, whose bounded buffer holds the
    // network back; drained() brings us here again.
    if (fileMode() && m_file.isOpen() && m_lane->full())
        return;
    takeArrived();
}

bool FileDownloader::takeArrived()
{
    if (!fileMode()) {
        // Asked for exactly what is buffered, the reply hands over its own block instead of a
        // copy whenever it holds one block; readAll() would always copy.
        const QByteArray chunk = m_reply->read(m_reply->bytesAvailable());
        if (m_networkError != 0 || m_buffer.size() >= MemoryCap)
            return true;
        m_buffer.append(chunk);
        m_md5.addData(chunk);
        return true;
    }
    if (m_networkError != 0 || !m_file.isOpen()) {
        m_reply->skip(m_reply->bytesAvailable()); // the output is gone already; the error decides
        return true;
    }
    // Copied straight from the reply's buffer into the block, whose memory is warm: the reply's
    // own pieces go back to the network thread at once and are reused there too.
    for (qint64 available = m_reply->bytesAvailable(); available > 0; available = m_reply->bytesAvailable()) {
        if (!m_gathered) {
            m_gathered = m_blocks.take();
            if (!m_gathered) {
                // No memory for a block: the package cannot be written, as with a full disk.
                abandonReply();
                discardFile();
                fail(StatusCannotWrite);
                return false;
            }
        }
        const qint64 got = m_reply->read(m_gathered->end(), qMin<qint64>(available, m_gathered->room()));
        if (got <= 0)
            break;
        m_gathered->grow(got);
        if (m_gathered->isFull() && !writeGathered())
            return false;
    }
    return true;
}

bool FileDownloader::writeGathered()
{
    if (!m_gathered || m_gathered->size() == 0 || !m_file.isOpen())
        return true;
    std::shared_ptr<PoolBlock> block = std::exchange(m_gathered, nullptr);
    if (m_file.write(block->constData(), block->size()) != block->size()) {
        abandonReply();
        discardFile();
        fail(StatusCannotWrite);
        return false;
    }
    // Shared, not copied: the lane hashes the very bytes just written, and the block comes back
    // for the next batch once it is done with them.
    m_lane->add(block->view(), block);
    m_bytesWritten += block->size();
    m_blocks.handBack(std::move(block));
    // The commit flushes the whole file to the device; started now, most of that work happens
    // while the rest of the package is still arriving instead of after it.
    if (m_bytesWritten - m_writtenBackTo >= WriteBackStep) {
        Platform::startWriteBack(m_file, m_writtenBackTo, m_bytesWritten - m_writtenBackTo);
        m_writtenBackTo = m_bytesWritten;
    }
    // A device with a cache of its own (a virtual disk, a drive's write cache) empties it only
    // on a sync; synced in steps, the commit's sync finds little left to do.
    if (m_bytesWritten - m_syncedTo >= SyncStep) {
        m_syncLane->request();
        m_syncedTo = m_bytesWritten;
    }
    return true;
}

void FileDownloader::downloadError(QNetworkReply::NetworkError error)
{
    if (!m_timedOut)
        m_networkError = error;
    m_replyTimer->stop();
    if (fileMode())
        discardFile();
}

void FileDownloader::ReplyTimerTimeout()
{
    m_timedOut = true;
    m_networkError = QNetworkReply::TimeoutError;
    if (fileMode())
        discardFile();
    if (m_reply)
        m_reply->abort();
}

void FileDownloader::downloadFinished()
{
    if (!m_reply)
        return;
    m_status = StatusOk;
    m_bytesReceived = 0;
    m_bytesTotal = 0;
    m_speedText.clear();
    m_replyTimer->stop();

    // The name is given only to a complete transfer; a file that fails its checksum is kept
    // too, for the owner to judge. A failed commit (a full disk) leaves no file behind.
    bool committed = true;
    QByteArray digest;
    if (fileMode() && m_file.isOpen()) {
        if (m_networkError != 0) {
            discardFile();
        } else {
            // Anything held back while the lane was behind is still in the reply, and what
            // was taken last may not have filled a batch.
            if (!takeArrived() || !writeGathered())
                return;
            digest = m_lane->finish();
            // A sync the device did not confirm is a failed write, even if the commit's own
            // sync, which no longer sees that error, succeeds.
            if (!m_syncLane->finish()) {
                discardFile();
                committed = false;
            } else {
                committed = m_file.commit();
            }
        }
    } else {
        digest = m_md5.result();
    }

    disconnect(m_reply, nullptr, this, nullptr);
    m_reply->deleteLater();
    m_reply = nullptr;

    if (m_networkError != 0)
        m_status = StatusNetworkError;
    else if (!committed)
        m_status = StatusCannotWrite;
    else if (!m_expectedChecksum.isEmpty() && digest != m_expectedChecksum)
        m_status = StatusChecksumMismatch;
    emit statusChanged(m_instance, m_status);
}

void FileDownloader::discardFile()
{
    m_gathered = nullptr;
    m_lane->abandon();
    m_blocks.clear();
    // The file may be being synced: that must be done before the descriptor closes.
    m_syncLane->abandon();
    if (m_file.isOpen()) {
        // A cancelled commit closes the file and removes the temporary one; the name stays free.
        m_file.cancelWriting();
        m_file.commit();
    }
}

void FileDownloader::abandonReply()
{
    m_replyTimer->stop();
    if (!m_reply)
        return;
    disconnect(m_reply, nullptr, this, nullptr);
    m_reply->abort();
    m_reply->deleteLater();
    m_reply = nullptr;
}

void FileDownloader::fail(int status)
{
    m_status = status;
    emit statusChanged(m_instance, status);
}
