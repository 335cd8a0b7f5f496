#include "fwserver/FwConnection.h"
#include "fwserver/FwServer.h"

#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

// The test server must not hand out files from outside its root either.
class tst_FwServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void resolve_data();
    void resolve();
    void clientsLeavingMidBodyLeaveTheServerRunning();

private:
    QTemporaryDir m_dir;
    QString m_root;
};

void tst_FwServer::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_root = m_dir.filePath(QStringLiteral("root"));
    QVERIFY(QDir().mkpath(m_root + QStringLiteral("/sub")));
    for (const QString &name : {QStringLiteral("root/a.bin"), QStringLiteral("root/sub/b.bin"), QStringLiteral("secret.txt")}) {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("secret.txt")), m_root + QStringLiteral("/link.txt")));
}

void tst_FwServer::resolve_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("file"); // relative to the root; empty: refused

    QTest::newRow("file") << QByteArray("/firmwareupdates/a.bin") << "a.bin";
    QTest::newRow("query ignored") << QByteArray("/firmwareupdates/a.bin?x=1") << "a.bin";
    QTest::newRow("subfolder") << QByteArray("/firmwareupdates/sub/b.bin") << "sub/b.bin";
    QTest::newRow("encoded name") << QByteArray("/firmwareupdates/%61.bin") << "a.bin";
    QTest::newRow("outside base path") << QByteArray("/a.bin") << "";
    QTest::newRow("folder") << QByteArray("/firmwareupdates/sub") << "";
    QTest::newRow("missing") << QByteArray("/firmwareupdates/none.bin") << "";
    QTest::newRow("parent") << QByteArray("/firmwareupdates/../secret.txt") << "";
    QTest::newRow("encoded parent") << QByteArray("/firmwareupdates/%2e%2e/secret.txt") << "";
    QTest::newRow("encoded slash") << QByteArray("/firmwareupdates/..%2fsecret.txt") << "";
    QTest::newRow("link leaving root") << QByteArray("/firmwareupdates/link.txt") << "";
    QTest::newRow("empty") << QByteArray("/firmwareupdates/") << "";
}

void tst_FwServer::resolve()
{
    QFETCH(QByteArray, path);
    QFETCH(QString, file);
    const QString resolved = FwConnection::resolve(m_root, QStringLiteral("/firmwareupdates/"), path);
    QCOMPARE(resolved, file.isEmpty() ? QString() : QDir(m_root).canonicalPath() + QLatin1Char('/') + file);
}

void tst_FwServer::clientsLeavingMidBodyLeaveTheServerRunning()
{
    // The body goes out by sendfile(), which raises SIGPIPE for a client that has gone: that must
    // neither end this process (the server runs in it) nor stop later answers.
    QFile big(m_root + QStringLiteral("/big.bin"));
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.resize(64 * 1024 * 1024));
    big.close();
    FwServer server;
    server.setRoot(m_root);
    server.setBasePath(QStringLiteral("/firmwareupdates/"));
    QVERIFY(server.listen());
    for (int round = 0; round < 5; ++round) {
        QTcpSocket client;
        client.connectToHost(server.address(), server.port());
        client.write("GET /firmwareupdates/big.bin HTTP/1.1\r\nHost: x\r\n\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(client.bytesAvailable() >= 100000, 5000); // the server runs on this loop
        client.abort(); // unread bytes: the system answers the server with a reset
        QTest::qWait(50); // the server writes into the reset connection
    }
    QTcpSocket last;
    last.connectToHost(server.address(), server.port());
    last.write("HEAD /firmwareupdates/big.bin HTTP/1.1\r\nHost: x\r\n\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(last.state(), QAbstractSocket::UnconnectedState, 5000);
    QVERIFY(last.readAll().startsWith("HTTP/1.1 200 OK"));
}

QTEST_GUILESS_MAIN(tst_FwServer)
#include "tst_fwserver.moc"
