#include "queue/QueueRefusal.h"

#include <QTest>

class tst_QueueRefusal : public QObject
{
    Q_OBJECT

private slots:
    void check_data();
    void check();
};

void tst_QueueRefusal::check_data()
{
    QTest::addColumn<int>("series");
    QTest::addColumn<int>("files");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("rowText");

    const int none = int(QueueRefusal::Reason::None);
    const int noLan = int(QueueRefusal::Reason::NoLanSequence);
    const int tooMany = int(QueueRefusal::Reason::TooManyFiles);
    for (int series : { 1, 2, 3, 4, 5, 6, 9, 10, 11 })
        QTest::addRow("series %d", series) << series << 0 << none << QString();
    for (int series : { 0, 7, 8, 12, -1 })
        QTest::addRow("series %d refused", series) << series << 1 << noLan
                                                   << "Not queued: this model cannot be updated via LAN. Use a USB drive.";
    QTest::newRow("six files") << 3 << 6 << none << QString();
    QTest::newRow("seven files") << 3 << 7 << tooMany
                                 << "Not queued: the firmware has 7 files, more than the 6 a LAN update can send.";
    QTest::newRow("series first") << 7 << 9 << noLan
                                  << "Not queued: this model cannot be updated via LAN. Use a USB drive.";
}

void tst_QueueRefusal::check()
{
    QFETCH(int, series);
    QFETCH(int, files);
    QFETCH(int, reason);
    QFETCH(QString, rowText);

    DisplayEntry row;
    row.catalogueSeries = series;
    row.modelName = QStringLiteral("M1");
    FirmwareRelease release;
    release.downloadLoc = QStringLiteral("http://127.0.0.1/firmwareupdates/p.zip");
    for (int i = 0; i < files; ++i)
        release.unpackedFileInfo.append(UnpackedFileEntry { QStringLiteral("f%1.bin").arg(i), 1, QString() });

    const QueueRefusal::Reason got = QueueRefusal::check(row, release);
    QCOMPARE(int(got), reason);
    QCOMPARE(QueueRefusal::rowText(got, release), rowText);
    QCOMPARE(QueueRefusal::logText(got, row, release).isEmpty(), rowText.isEmpty());
    if (got == QueueRefusal::Reason::TooManyFiles)
        QVERIFY(QueueRefusal::logText(got, row, release).contains(QStringLiteral("7 files")));
}

QTEST_GUILESS_MAIN(tst_QueueRefusal)
#include "tst_queuerefusal.moc"
