#include "fwserver/FwConnection.h"

#include <QDir>
#include <QFile>
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

QTEST_APPLESS_MAIN(tst_FwServer)
#include "tst_fwserver.moc"
