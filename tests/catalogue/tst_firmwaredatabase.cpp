#include "catalogue/FirmwareDatabase.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QtTest>

namespace {

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(QUILLON_TESTDATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

FirmwareDatabase parsed(const QString &name, QLocale::Language language = QLocale::English)
{
    FirmwareDatabase database;
    database.parse(fixture(name), language);
    return database;
}

}

class tst_FirmwareDatabase : public QObject
{
    Q_OBJECT

private slots:
    void freshDatabase();
    void parseResults_data();
    void parseResults();
    void readsEveryKeyInEnglish();
    void japaneseFormsReplaceNonEmptyTexts();
    void japaneseAboutTextStandsAlone();
    void documentationListByLanguage_data();
    void documentationListByLanguage();
    void wrongTypesGiveDefaults();
    void findRelease_data();
    void findRelease();
    void releaseIndicesForModel_data();
    void releaseIndicesForModel();
    void releaseAtBounds();
    void clearAndCopyHeader();
    void copiesKeepWorkingLookups();
    void indexAgreesWithLinearSearch();
    void brokenBytesNeverLeaveReleases();
};

void tst_FirmwareDatabase::freshDatabase()
{
    FirmwareDatabase database;
    QCOMPARE(database.databaseVersion, -1);
    QCOMPARE(database.count(), 0);
    FirmwareRelease out;
    QCOMPARE(database.findRelease(QStringLiteral("MX-651"), QString(), out), -1);
}

void tst_FirmwareDatabase::parseResults_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("databaseVersion");
    QTest::addColumn<int>("releases");
    QTest::addColumn<QString>("aboutURLs");

    QTest::newRow("complete") << "values.json" << 0 << 42 << 4 << "<a href=\"http://127.0.0.1/\">Home</a>";
    QTest::newRow("no firmware member, header kept") << "no_firmware.json" << -3 << 9 << 0 << "About";
    QTest::newRow("firmware not an array") << "firmware_not_array.json" << -3 << 9 << 0 << "About";
    QTest::newRow("no info member") << "no_info.json" << -2 << 0 << 0 << "stale";
    QTest::newRow("info not an object") << "info_not_object.json" << -2 << 0 << 0 << "stale";
    QTest::newRow("top level is an array") << "top_level_array.json" << -3 << 0 << 0 << "stale";
    QTest::newRow("truncated document") << "truncated.json" << -1 << 0 << 0 << "stale";
    QTest::newRow("empty bytes") << "empty.json" << -1 << 0 << 0 << "stale";
}

void tst_FirmwareDatabase::parseResults()
{
    QFETCH(QString, file);
    QFETCH(int, result);
    QFETCH(int, databaseVersion);
    QFETCH(int, releases);
    QFETCH(QString, aboutURLs);

    // Parsed over a database that already holds releases: none of them may survive a failure.
    FirmwareDatabase database = parsed(QStringLiteral("matching.json"));
    QVERIFY(database.count() > 0);
    database.aboutURLs = QStringLiteral("stale");

    QCOMPARE(database.parse(fixture(file), QLocale::English), result);
    QCOMPARE(database.databaseVersion, databaseVersion);
    QCOMPARE(database.count(), releases);
    QCOMPARE(database.aboutURLs, aboutURLs);
    FirmwareRelease out;
    QCOMPARE(database.findRelease(QStringLiteral("OTHER-1"), QString(), out), -1);
}

void tst_FirmwareDatabase::readsEveryKeyInEnglish()
{
    const FirmwareDatabase db = parsed(QStringLiteral("values.json"), QLocale::English);
    QCOMPARE(db.latestAppBuildWindows, 251120);
    QCOMPARE(db.latestAppBuildMacOS, 251121);
    QCOMPARE(db.latestAppdownloadLocWindows, QStringLiteral("http://127.0.0.1/firmwareupdates/Quillon-1.4.00.zip"));
    QCOMPARE(db.latestAppVersionStringWindows, QStringLiteral("1.4.00"));
    QCOMPARE(db.latestAppVersionStringMacOS, QStringLiteral("1.4.01"));
    QCOMPARE(db.previousAppChangeListWindows.size(), 3);
    QCOMPARE(db.previousAppChangeListWindows.at(0).build, 250930);
    QCOMPARE(db.previousAppChangeListWindows.at(0).changeList, QStringLiteral("Queue limit|Dark theme"));
    QCOMPARE(db.previousAppChangeListWindows.at(2).build, 0);
    QVERIFY(db.previousAppChangeListWindows.at(2).changeList.isEmpty());

    const FirmwareRelease &r = db.releases().at(0);
    QCOMPARE(r.version, QStringLiteral("R2.10"));
    QCOMPARE(r.releaseDate, QStringLiteral("2026-11-02"));
    QCOMPARE(r.downloadLoc, QStringLiteral("http://127.0.0.1/firmwareupdates/MX-651_R2.10.zip"));
    QCOMPARE(r.seriesName, QStringLiteral("SERIES_CEDAR5"));
    QCOMPARE(r.fileChecksum, QStringLiteral("0123456789abcdef0123456789abcdef"));
    QCOMPARE(r.fileSize, 73400320);
    QCOMPARE(r.requiresAppBuild, 250930);
    QCOMPARE(r.updateViaHTTP, 1);
    QCOMPARE(r.updateViaUSB, 1);
    QCOMPARE(r.powerLEDBinkCodeProgress, 3);
    QCOMPARE(r.powerLEDBinkCodeDone, 4);
    QCOMPARE(r.powerLEDBinkCodeError, 5);
    QCOMPARE(r.manualPowerCycleRequired, 3);
    QCOMPARE(r.manualPowerCycleRequiredIfVersionBefore, QStringLiteral("2.00"));
    QCOMPARE(r.updateViaHTTPDurationSecs, 600);
    QCOMPARE(r.updateViaHTTPMinimumFirmwareVersion, QStringLiteral("1.50"));
    QCOMPARE(r.numPACComponents, 4);
    QCOMPARE(r.useIP2, 1);
    QCOMPARE(r.needPowerOnToUpdateViaHTTP, 1);
    QCOMPARE(r.needPowerSaveModeToNormal, 1);
    QCOMPARE(r.needPowerOnToReadInfo, 1);
    QCOMPARE(r.baseUSBFolderName, QStringLiteral("MX651FW"));
    QCOMPARE(r.destinationUSBFileName, QStringLiteral("update.bin"));
    QCOMPARE(r.legacyModel, 1);
    QCOMPARE(r.needSNMatchPosition, 3);
    QCOMPARE(r.needSNMatchDigitsList, QStringLiteral("AB"));
    QCOMPARE(r.updateviaUSBInstructions, QStringLiteral("<b>Insert the drive</b>"));
    QCOMPARE(r.needSNMatchListingText, QStringLiteral("(serial 3rd digit A/B)"));
    QCOMPARE(r.needSNMatchDetailedDescription, QStringLiteral("Only for serial numbers with A or B."));
    QCOMPARE(r.needRegionSelectListingText, QStringLiteral("(Americas)"));
    QCOMPARE(r.needRegionSelectDescription, QStringLiteral("Region Americas"));
    QCOMPARE(r.models, QStringList({ "MX-651", "MX-551", "", "MX-451" }));
    QCOMPARE(r.changes.revision, QStringLiteral("r7"));
    QCOMPARE(r.changes.version, QStringLiteral("2.10"));
    QCOMPARE(r.changes.changeList, QStringLiteral("Fix A|Fix B||"));
    QCOMPARE(r.changes.changeList.split(QLatin1Char('|')).size(), 4);
    QCOMPARE(r.previousVersionChangeList.size(), 3);
    QCOMPARE(r.previousVersionChangeList.at(0).version, QStringLiteral("2.00"));
    QCOMPARE(r.previousVersionChangeList.at(0).changeList, QStringLiteral("Old fix"));
    QVERIFY(r.previousVersionChangeList.at(1).version.isEmpty());
    QCOMPARE(r.previousVersionChangeList.at(2).changeList, QStringLiteral("Older fix"));
    QCOMPARE(r.unpackedFileInfo.size(), 2);
    QCOMPARE(r.unpackedFileInfo.at(0).fileName, QStringLiteral("fw1.bin"));
    QCOMPARE(r.unpackedFileInfo.at(0).fileSize, 1024);
    QCOMPARE(r.unpackedFileInfo.at(0).fileChecksum, QStringLiteral("ffffffffffffffffffffffffffffffff"));
    QCOMPARE(r.unpackedFileInfo.at(1).fileSize, 0);
    QVERIFY(r.unpackedFileInfo.at(1).fileChecksum.isEmpty());
    QCOMPARE(r.documentationList.size(), 1);
    QCOMPARE(r.documentationList.at(0).name, QStringLiteral("Release notes"));
    QCOMPARE(r.documentationList.at(0).url, QStringLiteral("http://127.0.0.1/notes.pdf"));

    const FirmwareRelease &notObject = db.releases().at(1);
    QVERIFY(notObject.models.isEmpty());
    QVERIFY(notObject.version.isEmpty());
    QCOMPARE(notObject.updateViaHTTP, 0);
}

void tst_FirmwareDatabase::japaneseFormsReplaceNonEmptyTexts()
{
    const FirmwareDatabase db = parsed(QStringLiteral("values.json"), QLocale::Japanese);
    QCOMPARE(db.aboutURLs, QStringLiteral("<a href=\"http://127.0.0.1/ja/\">ホーム</a>"));
    QCOMPARE(db.previousAppChangeListWindows.at(0).changeList, QStringLiteral("キュー上限|ダークテーマ"));
    QCOMPARE(db.previousAppChangeListWindows.at(1).changeList, QStringLiteral("First release"));

    const FirmwareRelease &r = db.releases().at(0);
    QCOMPARE(r.updateviaUSBInstructions, QStringLiteral("<b>ドライブを挿入</b>"));
    QCOMPARE(r.needSNMatchListingText, QStringLiteral("(serial 3rd digit A/B)")); // empty _ja
    QCOMPARE(r.needSNMatchDetailedDescription, QStringLiteral("シリアル番号"));
    QCOMPARE(r.needRegionSelectListingText, QStringLiteral("（米州）"));
    QCOMPARE(r.needRegionSelectDescription, QStringLiteral("Region Americas")); // no _ja
    QCOMPARE(r.changes.changeList, QStringLiteral("修正A"));
    QCOMPARE(r.previousVersionChangeList.at(0).changeList, QStringLiteral("Old fix"));
    QCOMPARE(r.previousVersionChangeList.at(2).changeList, QStringLiteral("古い修正"));
    // Untranslated keys read the same in every language.
    QCOMPARE(r.models, QStringList({ "MX-651", "MX-551", "", "MX-451" }));
    QCOMPARE(r.seriesName, QStringLiteral("SERIES_CEDAR5"));
}

void tst_FirmwareDatabase::japaneseAboutTextStandsAlone()
{
    QCOMPARE(parsed(QStringLiteral("no_firmware.json"), QLocale::English).aboutURLs, QStringLiteral("About"));
    QVERIFY(parsed(QStringLiteral("no_firmware.json"), QLocale::Japanese).aboutURLs.isEmpty());
    // Languages other than Japanese ignore the Japanese forms.
    QCOMPARE(parsed(QStringLiteral("values.json"), QLocale::German).aboutURLs,
             QStringLiteral("<a href=\"http://127.0.0.1/\">Home</a>"));
}

void tst_FirmwareDatabase::documentationListByLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("release");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("urls");

    QTest::newRow("english, both lists: base list")
        << int(QLocale::English) << 0 << QStringList { "Release notes" } << QStringList { "http://127.0.0.1/notes.pdf" };
    QTest::newRow("japanese, both lists: only the _ja list, with its own _ja keys")
        << int(QLocale::Japanese) << 0 << QStringList { "Manual JA", "注記" }
        << QStringList { "http://127.0.0.1/ja/manual.pdf", "http://127.0.0.1/ja.pdf" };
    QTest::newRow("japanese, _ja list not an array, base list not an array")
        << int(QLocale::Japanese) << 2 << QStringList {} << QStringList {};
    QTest::newRow("japanese, only the base list: its non-empty _ja keys replace")
        << int(QLocale::Japanese) << 3 << QStringList { "ガイド", "Spare" }
        << QStringList { "http://127.0.0.1/ja/guide.pdf", "http://127.0.0.1/spare.pdf" };
    QTest::newRow("english, only the base list")
        << int(QLocale::English) << 3 << QStringList { "Guide", "Spare" }
        << QStringList { "http://127.0.0.1/guide.pdf", "http://127.0.0.1/spare.pdf" };
}

void tst_FirmwareDatabase::documentationListByLanguage()
{
    QFETCH(int, language);
    QFETCH(int, release);
    QFETCH(QStringList, names);
    QFETCH(QStringList, urls);

    const FirmwareDatabase db = parsed(QStringLiteral("values.json"), QLocale::Language(language));
    QStringList gotNames;
    QStringList gotUrls;
    for (const DocumentationLink &link : db.releases().at(release).documentationList) {
        gotNames << link.name;
        gotUrls << link.url;
    }
    QCOMPARE(gotNames, names);
    QCOMPARE(gotUrls, urls);
}

void tst_FirmwareDatabase::wrongTypesGiveDefaults()
{
    const FirmwareDatabase db = parsed(QStringLiteral("values.json"));
    const FirmwareRelease &r = db.releases().at(2);
    QVERIFY(r.version.isEmpty());          // a number where a string belongs
    QVERIFY(r.releaseDate.isEmpty());      // an array where a string belongs
    QVERIFY(r.models.isEmpty());           // a string where the list belongs
    QVERIFY(r.changes.version.isEmpty());  // an array where the object belongs
    QVERIFY(r.previousVersionChangeList.isEmpty());
    QVERIFY(r.unpackedFileInfo.isEmpty());
    QVERIFY(r.documentationList.isEmpty());
    QCOMPARE(r.updateViaHTTP, 0);          // JSON true is not 1
    QCOMPARE(r.updateViaUSB, 0);
    QCOMPARE(r.fileSize, 0);               // 1.5 is not whole
    QCOMPARE(r.requiresAppBuild, 0);       // beyond 32 bits
    QCOMPARE(r.numPACComponents, 4);       // 4.0 is a whole number
    QCOMPARE(r.useIP2, 0);                 // a string is not a number
    QCOMPARE(r.needPowerOnToReadInfo, 0);  // null
    QCOMPARE(r.legacyModel, std::numeric_limits<qint32>::min());
    QCOMPARE(r.powerLEDBinkCodeDone, std::numeric_limits<qint32>::max());
    QCOMPARE(r.powerLEDBinkCodeError, 0);  // one below the 32-bit range
    QCOMPARE(r.needSNMatchPosition, 100);  // 1e2
}

void tst_FirmwareDatabase::findRelease_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("release"); // version text of the expected release, empty for none

    QTest::newRow("third character accepted") << "MX-651" << "12A4567" << "A";
    QTest::newRow("accepted character in lower case") << "MX-651" << "12b" << "A";
    QTest::newRow("other third character: next release") << "MX-651" << "12C4567" << "B";
    QTest::newRow("serial too short: next release") << "MX-651" << "12" << "B";
    QTest::newRow("empty serial") << "MX-651" << "" << "B";
    QTest::newRow("model differs only in case") << "mX-651" << "99Z" << "B";
    QTest::newRow("trailing space is another model") << "MX-651 " << "12A" << "";
    QTest::newRow("first release of the database") << "other-1" << "" << "9";
    QTest::newRow("non-ASCII case") << "σ-display" << "" << "D";
    QTest::newRow("final sigma folds like sigma") << "ς-DISPLAY" << "" << "D";
    QTest::newRow("empty digit list accepts nothing") << "MX-900" << "X" << "F";
    QTest::newRow("negative position is no rule") << "MX-900" << "" << "F";
    QTest::newRow("unknown model") << "MX-000" << "12A" << "";
    QTest::newRow("empty model") << "" << "" << "";
}

void tst_FirmwareDatabase::findRelease()
{
    QFETCH(QString, model);
    QFETCH(QString, serial);
    QFETCH(QString, release);

    const FirmwareDatabase db = parsed(QStringLiteral("matching.json"));
    FirmwareRelease out;
    out.version = QStringLiteral("untouched");
    const int result = db.findRelease(model, serial, out);
    if (release.isEmpty()) {
        QCOMPARE(result, -1);
        QCOMPARE(out.version, QStringLiteral("untouched"));
    } else {
        QCOMPARE(result, 0);
        QCOMPARE(out.version, release);
    }
    QCOMPARE(db.findReleaseIndex(model, serial), db.findReleaseIndexLinear(model, serial));
}

void tst_FirmwareDatabase::releaseIndicesForModel_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QList<int>>("indices");

    QTest::newRow("three releases, one naming it twice") << "mx-651" << QList<int> { 1, 2, 3 };
    QTest::newRow("serial rules play no part") << "MX-900" << QList<int> { 5, 6 };
    QTest::newRow("single") << "OTHER-1" << QList<int> { 0 };
    QTest::newRow("none") << "MX-652" << QList<int> {};
}

void tst_FirmwareDatabase::releaseIndicesForModel()
{
    QFETCH(QString, model);
    QFETCH(QList<int>, indices);
    QCOMPARE(parsed(QStringLiteral("matching.json")).releaseIndicesForModel(model), indices);
}

void tst_FirmwareDatabase::releaseAtBounds()
{
    const FirmwareDatabase db = parsed(QStringLiteral("matching.json"));
    FirmwareRelease out;
    QCOMPARE(db.releaseAt(-1, out), -1);
    QCOMPARE(db.releaseAt(db.count(), out), -1);
    QCOMPARE(db.releaseAt(db.count() - 1, out), 0);
    QCOMPARE(out.version, QStringLiteral("F"));
    QCOMPARE(db.releaseAt(0, out), 0);
    QCOMPARE(out.version, QStringLiteral("9"));
}

void tst_FirmwareDatabase::clearAndCopyHeader()
{
    FirmwareDatabase source = parsed(QStringLiteral("values.json"));
    FirmwareDatabase target = parsed(QStringLiteral("matching.json"));
    const int targetReleases = target.count();

    source.copyHeaderTo(target);
    QCOMPARE(target.databaseVersion, 42);
    QCOMPARE(target.latestAppBuildWindows, 251120);
    QCOMPARE(target.aboutURLs, source.aboutURLs);
    QCOMPARE(target.previousAppChangeListWindows.size(), 3);
    QCOMPARE(target.count(), targetReleases);
    FirmwareRelease out;
    QCOMPARE(target.findRelease(QStringLiteral("OTHER-1"), QString(), out), 0);

    QCOMPARE(source.clear(), 0);
    QCOMPARE(source.databaseVersion, 0);
    QCOMPARE(source.count(), 0);
    QCOMPARE(source.latestAppBuildWindows, 251120);
    QCOMPARE(source.findRelease(QStringLiteral("MX-651"), QStringLiteral("12A"), out), -1);
    QVERIFY(source.releaseIndicesForModel(QStringLiteral("MX-651")).isEmpty());
}

void tst_FirmwareDatabase::copiesKeepWorkingLookups()
{
    FirmwareDatabase copy;
    {
        const FirmwareDatabase original = parsed(QStringLiteral("matching.json"));
        copy = original;
    }
    FirmwareRelease out;
    QCOMPARE(copy.findRelease(QStringLiteral("MX-651"), QStringLiteral("12A"), out), 0);
    QCOMPARE(out.version, QStringLiteral("A"));

    FirmwareDatabase second(copy);
    copy.clear();
    QCOMPARE(second.findRelease(QStringLiteral("MX-651"), QStringLiteral("12A"), out), 0);
}

// Many releases share models in varied case and with serial rules; every query must give the
// release a walk through the whole database would give.
void tst_FirmwareDatabase::indexAgreesWithLinearSearch()
{
    QRandomGenerator random(20261210);
    const QStringList baseModels { "MX-651", "mx-551", "PX-ß10", "ΣIGMA-1", "Q-ǅ4", "E-42", "" };
    auto randomCase = [&random](const QString &text) {
        QString out;
        for (QChar c : text)
            out.append(random.bounded(2) ? c.toUpper() : c.toLower());
        return out;
    };

    QJsonArray firmware;
    for (int i = 0; i < 300; ++i) {
        QJsonArray models;
        const int modelCount = random.bounded(4);
        for (int m = 0; m < modelCount; ++m)
            models.append(randomCase(baseModels.at(random.bounded(baseModels.size()))));
        QJsonObject release;
        release.insert(QStringLiteral("version"), QString::number(i));
        release.insert(QStringLiteral("models"), models);
        release.insert(QStringLiteral("needSNMatchPosition"), random.bounded(-1, 5));
        release.insert(QStringLiteral("needSNMatchDigitsList"), randomCase(QStringLiteral("abc").left(random.bounded(4))));
        firmware.append(release);
    }
    QJsonObject root;
    root.insert(QStringLiteral("info"), QJsonObject { { "databaseVersion", 1 } });
    root.insert(QStringLiteral("firmware"), firmware);
    FirmwareDatabase db;
    QCOMPARE(db.parse(QJsonDocument(root).toJson(), QLocale::English), 0);

    const QStringList serials { "", "1", "1a", "1bA", "12c4", "99Z9Z", "xxAx" };
    int found = 0;
    for (int q = 0; q < 2000; ++q) {
        const QString model = randomCase(baseModels.at(random.bounded(baseModels.size())));
        const QString serial = randomCase(serials.at(random.bounded(serials.size())));
        const int linear = db.findReleaseIndexLinear(model, serial);
        QCOMPARE(db.findReleaseIndex(model, serial), linear);
        if (linear >= 0)
            ++found;
        QList<int> every;
        for (int i = 0; i < db.count(); ++i) {
            if (db.releases().at(i).models.contains(model, Qt::CaseInsensitive))
                every.append(i);
        }
        QCOMPARE(db.releaseIndicesForModel(model), every);
    }
    QVERIFY(found > 500); // the queries must mostly hit, or the comparison proves little
}

// Every cut of a real catalogue, and random byte damage, either parses or fails with one of the
// three codes and no releases.
void tst_FirmwareDatabase::brokenBytesNeverLeaveReleases()
{
    const QByteArray original = fixture(QStringLiteral("values.json"));
    QRandomGenerator random(7);
    QList<QByteArray> inputs;
    for (int cut = 0; cut < original.size(); cut += 7)
        inputs.append(original.left(cut));
    for (int i = 0; i < 500; ++i) {
        QByteArray damaged = original;
        for (int flips = random.bounded(1, 8); flips > 0; --flips)
            damaged[random.bounded(damaged.size())] = char(random.bounded(256));
        inputs.append(damaged);
    }

    for (const QByteArray &input : inputs) {
        FirmwareDatabase db = parsed(QStringLiteral("matching.json"));
        const int result = db.parse(input, QLocale::Japanese);
        QVERIFY(result == 0 || result == -1 || result == -2 || result == -3);
        if (result != 0)
            QCOMPARE(db.count(), 0);
        for (int i = 0; i < db.count(); ++i)
            QCOMPARE(db.findReleaseIndex(db.releases().at(i).models.value(0), QStringLiteral("12A")),
                     db.findReleaseIndexLinear(db.releases().at(i).models.value(0), QStringLiteral("12A")));
    }
}

QTEST_GUILESS_MAIN(tst_FirmwareDatabase)
#include "tst_firmwaredatabase.moc"
