#include "settings/FirmwareCacheFolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

class tst_FirmwareCacheFolder : public QObject
{
    Q_OBJECT

    QString expected;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("Halvern"));
        QCoreApplication::setApplicationName(QStringLiteral("QuillonCacheTest"));
        expected = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Firmware");
    }

    void init()
    {
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
    }

    void cleanupTestCase()
    {
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
    }

    void missingWithoutCreateIsEmpty()
    {
        QCOMPARE(FirmwareCacheFolder::path(false), QString());
        QVERIFY(!QFile::exists(expected));
    }

    void createdWithItsParents()
    {
        QCOMPARE(FirmwareCacheFolder::path(true), expected);
        QVERIFY(QFileInfo(expected).isDir());
        const QFile::Permissions p = QFile::permissions(expected);
        QVERIFY(p.testFlag(QFile::ReadOwner) && p.testFlag(QFile::WriteOwner) && p.testFlag(QFile::ExeOwner));
        QVERIFY(p.testFlag(QFile::ReadOther) && p.testFlag(QFile::ExeOther));
        // Another local user must not be able to put files into the cache.
        QVERIFY(!p.testFlag(QFile::WriteOther));
        QCOMPARE(FirmwareCacheFolder::path(false), expected);
    }

    void aFileInTheWayIsNotAFolder()
    {
        QVERIFY(QDir().mkpath(QFileInfo(expected).absolutePath()));
        QFile blocker(expected);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QCOMPARE(FirmwareCacheFolder::path(true), QString());
        QCOMPARE(FirmwareCacheFolder::path(false), QString());
    }
};

QTEST_GUILESS_MAIN(tst_FirmwareCacheFolder)
#include "tst_firmwarecachefolder.moc"
