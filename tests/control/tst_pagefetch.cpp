#include "control/PageFetch.h"

#include "common/TestFiles.h"
#include "fwserver/FwServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTcpSocket>
#include <QtTest>

#include <functional>
#include <memory>
#include <vector>

Q_DECLARE_METATYPE(FwBehaviour)

// The web page checks' fetch against the firmware test server on loopback, which stands in for a
// display's web server and can misbehave on request.
class tst_PageFetch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void fetch_data();
    void fetch();
    void refusedConnectionFails();
    void cancelReportsNothing();
    void redirects_data();
    void redirects();
    void manyFetchesAddNoThreads();

private:
    QTemporaryDir m_root;
    FwServer *m_server = nullptr;
    QByteArray m_small;
    QByteArray m_large;
};

namespace {

// A small embedded web server: answers each request with what answerFor gives for its path, then
// closes the connection.
class ScriptedHttp : public QObject
{
public:
    explicit ScriptedHttp(std::function<QByteArray(const QByteArray &path)> answerFor)
    {
        server.listen(QHostAddress::LocalHost);
        connect(&server, &QTcpServer::newConnection, this, [this, answerFor] {
            QTcpSocket *socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, answerFor] {
                const QByteArray request = socket->readAll();
                requests << request;
                socket->write(answerFor(request.split(' ').value(1)));
                socket->disconnectFromHost();
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        });
    }
    QUrl url(const QString &path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path));
    }
    QTcpServer server;
    QList<QByteArray> requests;
};

int threadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

}

void tst_PageFetch::initTestCase()
{
    QVERIFY(m_root.isValid());
    m_small = QByteArray("<html><a href=\"/Logon/\">log on</a></html>");
    m_large = QByteArray(PageFetch::MemoryCap + 500000, 'x');
    m_large.replace(0, 6, "<html>");
    QVERIFY(TestFiles::writeFile(m_root.filePath(QStringLiteral("index.html")), m_small));
    QVERIFY(TestFiles::writeFile(m_root.filePath(QStringLiteral("large.html")), m_large));
    m_server = new FwServer(this);
    m_server->setRoot(m_root.path());
    QVERIFY2(m_server->listen(QHostAddress::LocalHost), qPrintable(m_server->errorString()));
}

void tst_PageFetch::init()
{
    m_server->setBehaviour(FwBehaviour());
}

void tst_PageFetch::fetch_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<FwBehaviour>("behaviour");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("pageSize");

    QTest::newRow("page") << "index.html" << FwBehaviour() << int(PageFetch::Answered) << int(m_small.size());
    QTest::newRow("page without a length") << "index.html" << [] {
        FwBehaviour b;
        b.length = FwBehaviour::Length::Absent;
        return b;
    }() << int(PageFetch::Answered) << int(m_small.size());
    // A server that sends far more than any page: only the cap is kept, and the check still ends.
    QTest::newRow("larger than the cap") << "large.html" << FwBehaviour() << int(PageFetch::Answered)
                                         << PageFetch::MemoryCap;
    QTest::newRow("not found") << "index.html" << [] {
        FwBehaviour b;
        b.forcedStatus = 404;
        return b;
    }() << int(PageFetch::Failed) << -1;
    QTest::newRow("closed before the announced length") << "index.html" << [] {
        FwBehaviour b;
        b.length = FwBehaviour::Length::TooLarge;
        return b;
    }() << int(PageFetch::Failed) << 0;
    QTest::newRow("never answers") << "index.html" << [] {
        FwBehaviour b;
        b.neverAnswer = true;
        return b;
    }() << int(PageFetch::Failed) << 0;
    QTest::newRow("answers after the first-data wait") << "index.html" << [] {
        FwBehaviour b;
        b.firstByteDelayMs = 1500;
        return b;
    }() << int(PageFetch::Failed) << 0;
}

void tst_PageFetch::fetch()
{
    QFETCH(QString, file);
    QFETCH(FwBehaviour, behaviour);
    QFETCH(int, status);
    QFETCH(int, pageSize);

    m_server->setBehaviour(behaviour);
    PageFetch fetch(m_server->url(file));
    fetch.setFirstDataTimeout(400);
    QSignalSpy finished(&fetch, &PageFetch::finished);
    QElapsedTimer clock;
    clock.start();
    fetch.start();
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.at(0).at(0).toInt(), status);
    QVERIFY2(clock.elapsed() < 3000, "the first-data wait was not kept");
    if (pageSize >= 0) {
        QCOMPARE(fetch.page().size(), pageSize);
        const QByteArray &source = file == QLatin1String("large.html") ? m_large : m_small;
        QCOMPARE(fetch.page(), source.left(pageSize));
    }
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
}

void tst_PageFetch::refusedConnectionFails()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();

    PageFetch fetch(QUrl(QStringLiteral("http://127.0.0.1:%1/index.html").arg(port)));
    QSignalSpy finished(&fetch, &PageFetch::finished);
    fetch.start();
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.at(0).at(0).toInt(), int(PageFetch::Failed));
    QCOMPARE(fetch.page(), QByteArray());
}

void tst_PageFetch::cancelReportsNothing()
{
    FwBehaviour silent;
    silent.neverAnswer = true;
    m_server->setBehaviour(silent);

    auto fetch = std::make_unique<PageFetch>(m_server->url(QStringLiteral("index.html")));
    fetch->setFirstDataTimeout(200);
    QSignalSpy finished(fetch.get(), &PageFetch::finished);
    fetch->start();
    QTRY_COMPARE(m_server->connectionCount() > 0, true);
    fetch->cancel();
    QTest::qWait(500);
    QCOMPARE(finished.count(), 0);

    // Destroyed while a fetch runs: nothing reaches the gone object.
    fetch->start();
    fetch.reset();
    QTest::qWait(300);
}

void tst_PageFetch::redirects_data()
{
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("reachesThePage");

    QTest::newRow("to a path of the same server") << QByteArray("/index.html") << int(PageFetch::Answered) << true;
    QTest::newRow("to another server") << QByteArray("FWSERVER") << int(PageFetch::Answered) << true;
    QTest::newRow("to itself, endlessly") << QByteArray("/loop") << int(PageFetch::Failed) << false;
    QTest::newRow("to https") << QByteArray("https://127.0.0.1:1/") << int(PageFetch::Failed) << false;
    QTest::newRow("without a target") << QByteArray() << int(PageFetch::Failed) << false;
}

void tst_PageFetch::redirects()
{
    QFETCH(QByteArray, location);
    QFETCH(int, status);
    QFETCH(bool, reachesThePage);

    if (location == "FWSERVER")
        location = m_server->url(QStringLiteral("index.html")).toEncoded();
    // Every path but the page itself is redirected.
    ScriptedHttp server([&](const QByteArray &path) {
        if (path == "/index.html")
            return QByteArray("HTTP/1.0 200 OK\r\n\r\n") + m_small;
        QByteArray answer = "HTTP/1.1 302 Found\r\nContent-Length: 0\r\n";
        if (!location.isEmpty())
            answer += "Location: " + location + "\r\n";
        return answer + "\r\n";
    });
    QVERIFY(server.server.isListening());

    PageFetch fetch(server.url(QStringLiteral("/start")));
    QSignalSpy finished(&fetch, &PageFetch::finished);
    fetch.start();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
    QCOMPARE(finished.at(0).at(0).toInt(), status);
    QCOMPARE(fetch.page() == m_small, reachesThePage);
    QVERIFY(server.requests.size() <= 1 + PageFetch::MaxRedirects);
    QVERIFY(server.requests.first().startsWith("GET /start HTTP/1.0\r\nHost: 127.0.0.1:"));
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
}

void tst_PageFetch::manyFetchesAddNoThreads()
{
    const int threadsBefore = threadCount();
    constexpr int Fetches = 40;
    std::vector<std::unique_ptr<PageFetch>> fetches;
    int answered = 0;
    for (int i = 0; i < Fetches; ++i) {
        fetches.push_back(std::make_unique<PageFetch>(m_server->url(QStringLiteral("index.html"))));
        connect(fetches.back().get(), &PageFetch::finished, this, [&answered](int status) {
            if (status == PageFetch::Answered)
                ++answered;
        });
        fetches.back()->start();
    }
    QTRY_COMPARE_WITH_TIMEOUT(answered, Fetches, 10000);
    for (const auto &fetch : fetches)
        QCOMPARE(fetch->page(), m_small);
    // The fetches run on this thread: not one thread each, as a manager per check had.
    QCOMPARE(threadCount(), threadsBefore);
}

QTEST_GUILESS_MAIN(tst_PageFetch)
#include "tst_pagefetch.moc"
