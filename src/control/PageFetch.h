#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Fetches one page of a display's web server into memory, for the page-lock and second-address
// checks. Keeps at most MemoryCap bytes of it; a server that sends nothing for FirstDataTimeoutMs
// after the request counts as not answering. Ends each fetch with exactly one finished(), unless
// cancelled or destroyed first.
class PageFetch : public QObject
{
    Q_OBJECT

public:
    enum Status { Answered = 0, Failed = -1 };

    static constexpr int FirstDataTimeoutMs = 5000;
    static constexpr int MemoryCap = 1000000;

    // manager must outlive the fetch; without one the fetch makes a manager of its own.
    explicit PageFetch(const QUrl &url, QNetworkAccessManager *manager = nullptr, QObject *parent = nullptr);
    ~PageFetch() override;

    void start();
    // Stops the fetch without a report.
    void cancel();
    QByteArray page() const { return m_page; }

signals:
    void finished(int status);

private:
    void readAvailable();
    void replyFinished();
    void firstDataTimedOut();
    void dropReply();

    const QUrl m_url;
    QNetworkAccessManager *m_manager;
    QPointer<QNetworkReply> m_reply;
    QTimer m_firstDataTimer;
    QByteArray m_page;
    bool m_timedOut = false;
};
