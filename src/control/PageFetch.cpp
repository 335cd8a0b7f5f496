#include "control/PageFetch.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

PageFetch::PageFetch(const QUrl &url, QNetworkAccessManager *manager, QObject *parent)
    : QObject(parent),
      m_url(url),
      m_manager(manager)
{
    if (!m_manager) {
        m_manager = new QNetworkAccessManager(this);
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
    }
    m_firstDataTimer.setSingleShot(true);
    m_firstDataTimer.setInterval(FirstDataTimeoutMs);
    connect(&m_firstDataTimer, &QTimer::timeout, this, &PageFetch::firstDataTimedOut);
}

PageFetch::~PageFetch()
{
    dropReply();
}

void PageFetch::start()
{
    dropReply();
    m_page.clear();
    m_timedOut = false;

    QNetworkRequest request(m_url);
    // One look at one page: the connection is not kept for a next request that never comes.
    request.setRawHeader("Connection", "close");
    m_reply = m_manager->get(request);
    // The reply lives with this fetch, even when the manager is shared and lives much longer.
    m_reply->setParent(this);
    m_reply->setReadBufferSize(MemoryCap);
    connect(m_reply, &QNetworkReply::readyRead, this, &PageFetch::readAvailable);
    connect(m_reply, &QNetworkReply::finished, this, &PageFetch::replyFinished);
    m_firstDataTimer.start();
}

void PageFetch::cancel()
{
    dropReply();
}

void PageFetch::readAvailable()
{
    m_firstDataTimer.stop();
    if (!m_reply)
        return;
    // Whatever a page sends past the cap is read and dropped, so a hostile server cannot grow it.
    const QByteArray chunk = m_reply->readAll();
    const qsizetype room = MemoryCap - m_page.size();
    if (room > 0)
        m_page.append(chunk.left(room));
}

void PageFetch::firstDataTimedOut()
{
    m_timedOut = true;
    if (m_reply)
        m_reply->abort();       // reports through replyFinished
}

void PageFetch::replyFinished()
{
    if (!m_reply)
        return;
    m_firstDataTimer.stop();
    readAvailable();
    const bool failed = m_timedOut || m_reply->error() != QNetworkReply::NoError;
    dropReply();
    emit finished(failed ? Failed : Answered);
}

void PageFetch::dropReply()
{
    m_firstDataTimer.stop();
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}
