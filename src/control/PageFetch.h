#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <QUrl>

class QTcpSocket;

// Fetches one page of a display's web server into memory for the page-lock and second-address
// checks: a plain HTTP/1.0 GET on a socket of its own, on the caller's thread. A network access
// manager would run the request on a thread of its own, and hand every step of it across threads;
// for one small page per display that cost a third of a large sweep's time.
//
// A 2xx answer is a page, a redirect to another http URL is followed (at most MaxRedirects times),
// anything else fails. At most MemoryCap bytes are kept; a longer page ends the fetch there. A
// server that sends nothing for FirstDataTimeoutMs after the request counts as not answering.
// Every start ends with exactly one finished(), unless cancelled or destroyed first.
class PageFetch : public QObject
{
    Q_OBJECT

public:
    enum Status { Answered = 0, Failed = -1 };

    static constexpr int FirstDataTimeoutMs = 5000;
    static constexpr int MemoryCap = 1000000;
    static constexpr int MaxHeaderBytes = 64 * 1024;
    static constexpr int MaxRedirects = 5;
    static constexpr qint64 ReadChunk = 16 * 1024;

    explicit PageFetch(const QUrl &url, QObject *parent = nullptr);
    ~PageFetch() override;

    // Only tests shorten the wait for the first data.
    void setFirstDataTimeout(int ms) { m_firstDataTimer.setInterval(ms); }

    void start();
    // Stops the fetch without a report.
    void cancel();
    QByteArray page() const { return m_page; }

signals:
    void finished(int status);

private:
    enum class Stage { Idle, Head, Body };

    void request(const QUrl &url);
    void sendRequest();
    void readAvailable();
    void takeData(const QByteArray &data);
    bool readHead();
    void connectionClosed();
    void finish(int status);
    void finishLater(int status);
    void closeSocket();

    const QUrl m_startUrl;
    QUrl m_url;
    QTcpSocket *m_socket;
    QTimer m_firstDataTimer;
    Stage m_stage = Stage::Idle;
    QByteArray m_head;
    QByteArray m_page;
    qint64 m_contentLength = -1;
    int m_redirects = 0;
    quint32 m_generation = 0;
};
