#include "settings/AppSettings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class tst_AppSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    static QSettings store()
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Halvern"),
                         QStringLiteral("Quillon"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QCoreApplication::setOrganizationName(QStringLiteral("Halvern"));
        QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
    }

    void init()
    {
        QSettings s = store();
        s.clear();
        s.sync();
    }

    void defaultsWhenAbsent()
    {
        QSettings s = store();
        const AppSettings a = AppSettings::load(s);
        QCOMPARE(a.multiUpdateLimit, 5);
        QCOMPARE(a.legacySupport, false);
        QCOMPARE(a.windowWidth, 0);
        QCOMPARE(a.windowHeight, 0);
        QCOMPARE(a.lanDeviceIndex, QVariant(-1));
        QCOMPARE(a.ipAddressScanText, QString());
        QCOMPARE(a.showAssetTagColumn, true);
        QCOMPARE(a.showMacAddressColumn, false);
        QCOMPARE(a.exportFolder, QString());
    }

    void roundTripThroughTheStore()
    {
        AppSettings a;
        a.multiUpdateLimit = 7;
        a.legacySupport = true;
        a.windowWidth = 1000;
        a.windowHeight = 700;
        a.lanDeviceIndex = 2;
        a.ipAddressScanText = QStringLiteral("127.0.0.1-127.0.0.9\n127.0.1.*");
        a.showAssetTagColumn = false;
        a.showMacAddressColumn = true;
        // A comma in a folder name must not turn the value into a list.
        a.exportFolder = QStringLiteral("/srv/reports, site 4/exports");
        a.save();

        QSettings s = store();
        QCOMPARE(s.childGroups(), QStringList { QStringLiteral("Settings") });
        QCOMPARE(s.value("Settings/LDS").toInt(), 5702);
        const AppSettings b = AppSettings::load();
        QCOMPARE(b.multiUpdateLimit, 7);
        QVERIFY(b.legacySupport);
        QCOMPARE(b.windowWidth, 1000);
        QCOMPARE(b.windowHeight, 700);
        QCOMPARE(b.lanDeviceIndex.toInt(), 2);
        QCOMPARE(b.ipAddressScanText, a.ipAddressScanText);
        QCOMPARE(b.showAssetTagColumn, false);
        QCOMPARE(b.showMacAddressColumn, true);
        QCOMPARE(b.exportFolder, a.exportFolder);
    }

    void storedValues_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("LDS 5702 turns legacy on") << "LDS" << QVariant(5702) << "legacy" << QVariant(true);
        QTest::newRow("LDS 1 leaves it off") << "LDS" << QVariant(1) << "legacy" << QVariant(false);
        QTest::newRow("LDS 5703") << "LDS" << QVariant(5703) << "legacy" << QVariant(false);
        QTest::newRow("LDS as text") << "LDS" << QVariant("5702") << "legacy" << QVariant(true);
        QTest::newRow("limit kept as stored") << "Multi Update Limit" << QVariant(7) << "limit" << QVariant(7);
        QTest::newRow("non-numeric limit reads 0") << "Multi Update Limit" << QVariant("many") << "limit" << QVariant(0);
        QTest::newRow("non-numeric width reads 0") << "Main Dialog Width" << QVariant("wide") << "width" << QVariant(0);
        QTest::newRow("bool as false text") << "Show Asset Tag Column" << QVariant("false") << "asset" << QVariant(false);
        QTest::newRow("bool as 0") << "Show MAC Address Column" << QVariant(0) << "mac" << QVariant(false);
        QTest::newRow("bool as 1") << "Show MAC Address Column" << QVariant(1) << "mac" << QVariant(true);
        QTest::newRow("adapter index as text") << "LAN Device Index" << QVariant("3") << "adapter" << QVariant(3);
        QTest::newRow("scan text as number") << "IP Address Scan Text" << QVariant(42) << "scan" << QVariant("42");
    }

    void storedValues()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QFETCH(QString, field);
        QFETCH(QVariant, expected);
        {
            QSettings s = store();
            s.setValue(QStringLiteral("Settings/") + key, stored);
        }
        const AppSettings a = AppSettings::load();
        const QHash<QString, QVariant> fields {
            { "legacy", a.legacySupport }, { "limit", a.multiUpdateLimit }, { "width", a.windowWidth },
            { "asset", a.showAssetTagColumn }, { "mac", a.showMacAddressColumn },
            { "adapter", a.lanDeviceIndex.toInt() }, { "scan", a.ipAddressScanText },
        };
        QCOMPARE(fields.value(field), expected);
    }

    // The rollout keys and the firmware server: a store without them means off and the maker's
    // server; what is saved comes back; values out of range are bounded on the way in and out.
    void rolloutAndServerRoundTrip_data()
    {
        QTest::addColumn<bool>("write");       // false: the keys are absent
        QTest::addColumn<QVariant>("first");
        QTest::addColumn<QVariant>("failures");
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("expectedFirst");
        QTest::addColumn<int>("expectedFailures");
        QTest::addColumn<QString>("expectedUrl");
        QTest::newRow("absent") << false << QVariant() << QVariant() << QString() << false << 0 << QString();
        QTest::newRow("on, 3, mirror") << true << QVariant(true) << QVariant(3) << "http://127.0.0.1:8123/firmwareupdates/"
                                       << true << 3 << "http://127.0.0.1:8123/firmwareupdates/";
        QTest::newRow("off, never") << true << QVariant(false) << QVariant(0) << QString() << false << 0 << QString();
        QTest::newRow("99 is the most") << true << QVariant(true) << QVariant(99) << QString() << true << 99 << QString();
        QTest::newRow("above 99") << true << QVariant(1) << QVariant(500) << QString() << true << 99 << QString();
        QTest::newRow("negative is never") << true << QVariant(0) << QVariant(-4) << QString() << false << 0 << QString();
        QTest::newRow("text") << true << QVariant("true") << QVariant("many") << " https://m.example/fw/ "
                              << true << 0 << "https://m.example/fw/";
    }

    void rolloutAndServerRoundTrip()
    {
        QFETCH(bool, write);
        QFETCH(QVariant, first);
        QFETCH(QVariant, failures);
        QFETCH(QString, url);
        QFETCH(bool, expectedFirst);
        QFETCH(int, expectedFailures);
        QFETCH(QString, expectedUrl);
        if (write) {
            QSettings s = store();
            s.setValue(QStringLiteral("Settings/RolloutFirstPerModel"), first);
            s.setValue(QStringLiteral("Settings/RolloutMaxFailures"), failures);
            if (!url.isEmpty())
                s.setValue(QStringLiteral("Settings/FirmwareServerUrl"), url);
        }
        const AppSettings loaded = AppSettings::load();
        QCOMPARE(loaded.rolloutFirstPerModel, expectedFirst);
        QCOMPARE(loaded.rolloutMaxFailures, expectedFailures);
        QCOMPARE(loaded.firmwareServerUrl, expectedUrl);
        // The other keys are untouched by the new ones.
        QCOMPARE(loaded.multiUpdateLimit, 5);

        loaded.save();
        {
            QSettings s = store();
            QCOMPARE(s.value(QStringLiteral("Settings/RolloutFirstPerModel")).toBool(), expectedFirst);
            QCOMPARE(s.value(QStringLiteral("Settings/RolloutMaxFailures")).toInt(), expectedFailures);
            QCOMPARE(s.contains(QStringLiteral("Settings/FirmwareServerUrl")), !expectedUrl.isEmpty());
        }
        const AppSettings again = AppSettings::load();
        QCOMPARE(again.rolloutFirstPerModel, expectedFirst);
        QCOMPARE(again.rolloutMaxFailures, expectedFailures);
        QCOMPARE(again.firmwareServerUrl, expectedUrl);
    }

    // Clearing the server in the dialog removes the key: the maker's server again.
    void clearedServerIsRemoved()
    {
        AppSettings a;
        a.firmwareServerUrl = QStringLiteral("http://127.0.0.1:9/fw/");
        a.save();
        QVERIFY(store().contains(QStringLiteral("Settings/FirmwareServerUrl")));
        a.firmwareServerUrl.clear();
        a.save();
        QVERIFY(!store().contains(QStringLiteral("Settings/FirmwareServerUrl")));
    }

    void legacyOtherThanTheCodeIsStoredAsZero()
    {
        {
            QSettings s = store();
            s.setValue(QStringLiteral("Settings/LDS"), 1);
        }
        AppSettings::load().save();
        QSettings s = store();
        QCOMPARE(s.value(QStringLiteral("Settings/LDS")).toInt(), 0);
    }

    void invalidAdapterIndexLeavesTheKeyAlone()
    {
        {
            QSettings s = store();
            s.setValue(QStringLiteral("Settings/LAN Device Index"), 4);
        }
        AppSettings a;
        a.lanDeviceIndex = QVariant();
        a.save();
        QSettings s = store();
        QCOMPARE(s.value(QStringLiteral("Settings/LAN Device Index")).toInt(), 4);
        QCOMPARE(s.value(QStringLiteral("Settings/Multi Update Limit")).toInt(), 5);
    }

    // The window's place, maximised flag and the widgets' states come back; the older keys stay
    // what they were, and nothing is written under them for the new values.
    void windowGeometryRoundTrip()
    {
        AppSettings a;
        a.windowWidth = 1000;
        a.windowHeight = 700;
        a.windowPositionStored = true;
        a.windowPosition = QPoint(-1800, 40); // a screen left of the primary one
        a.windowMaximized = true;
        a.splitterState = QByteArray("\x00\xff splitter", 11);
        a.tableHeaderState = QByteArray(300, '\x7f');
        a.save();

        const AppSettings b = AppSettings::load();
        QVERIFY(b.windowPositionStored);
        QCOMPARE(b.windowPosition, QPoint(-1800, 40));
        QVERIFY(b.windowMaximized);
        QCOMPARE(b.splitterState, a.splitterState);
        QCOMPARE(b.tableHeaderState, a.tableHeaderState);
        QCOMPARE(b.windowWidth, 1000);
        QCOMPARE(b.windowHeight, 700);

        QSettings s = store();
        s.beginGroup(QStringLiteral("Settings"));
        for (const char *key : { "Main Window Position", "Main Window Maximized", "Main Window Splitter",
                                 "Display Table Header", "Main Dialog Width", "Main Dialog Height" })
            QVERIFY2(s.contains(QString::fromLatin1(key)), key);
    }

    // A store from an older build, or one edited by hand, gives no position and no states.
    void windowGeometryAbsentOrDamaged()
    {
        {
            QSettings s = store();
            s.setValue(QStringLiteral("Settings/Main Window Position"), QStringLiteral("left of the door"));
            s.setValue(QStringLiteral("Settings/Display Table Header"), QByteArray(200 * 1024, 'x'));
        }
        const AppSettings a = AppSettings::load();
        QVERIFY(!a.windowPositionStored);
        QVERIFY(!a.windowMaximized);
        QVERIFY(a.tableHeaderState.isEmpty());
        QVERIFY(a.splitterState.isEmpty());
    }

    void windowPositionRule_data()
    {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<bool>("fits");
        // Two screens side by side: 1920x1080 at the origin and 1280x1024 to its left.
        QTest::newRow("on the primary screen") << QRect(100, 100, 1000, 700) << true;
        QTest::newRow("on the left screen") << QRect(-1200, 50, 800, 600) << true;
        QTest::newRow("across both") << QRect(-300, 10, 800, 600) << true;
        QTest::newRow("title just on screen at the right") << QRect(1820, 0, 800, 600) << true;
        QTest::newRow("only 99 pixels of title on screen") << QRect(1821, 0, 800, 600) << false;
        QTest::newRow("title above every screen") << QRect(100, -30, 800, 600) << false;
        QTest::newRow("below every screen") << QRect(100, 1070, 800, 600) << false;
        QTest::newRow("on a screen unplugged since") << QRect(2500, 100, 800, 600) << false;
        QTest::newRow("narrow window wholly on screen") << QRect(10, 10, 60, 40) << true;
    }

    void windowPositionRule()
    {
        QFETCH(QRect, stored);
        QFETCH(bool, fits);
        const QList<QRect> screens { QRect(0, 0, 1920, 1080), QRect(-1280, 0, 1280, 1024) };
        AppSettings a;
        a.windowWidth = stored.width();
        a.windowHeight = stored.height();
        a.windowPositionStored = true;
        a.windowPosition = stored.topLeft();
        QCOMPARE(a.windowPositionFits(screens), fits);
        a.windowPositionStored = false;
        QVERIFY(!a.windowPositionFits(screens));
    }

    void windowSizeRule_data()
    {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<bool>("applied");
        const QSize screen(1920, 1080);
        QTest::newRow("fits") << QSize(1000, 700) << screen << true;
        QTest::newRow("width 1 accepted") << QSize(1, 700) << screen << true;
        QTest::newRow("height 1 accepted") << QSize(1000, 1) << screen << true;
        QTest::newRow("width equal to screen refused") << QSize(1920, 700) << screen << false;
        QTest::newRow("height equal to screen refused") << QSize(1000, 1080) << screen << false;
        QTest::newRow("one below screen accepted") << QSize(1919, 1079) << screen << true;
        QTest::newRow("width 0 refused") << QSize(0, 700) << screen << false;
        QTest::newRow("negative refused") << QSize(-5, 700) << screen << false;
        QTest::newRow("no primary screen") << QSize(1000, 700) << QSize() << false;
    }

    void windowSizeRule()
    {
        QFETCH(QSize, stored);
        QFETCH(QSize, screen);
        QFETCH(bool, applied);
        AppSettings a;
        a.windowWidth = stored.width();
        a.windowHeight = stored.height();
        QCOMPARE(a.windowSizeFits(screen), applied);
    }

    void adapterRule_data()
    {
        QTest::addColumn<QVariantList>("comboData");
        QTest::addColumn<int>("adapterCount");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("index");
        const QVariantList two { -2, 0, 1 };
        QTest::newRow("All") << two << 2 << QVariant(-2) << 0;
        QTest::newRow("second adapter") << two << 2 << QVariant(1) << 2;
        QTest::newRow("adapter gone") << two << 2 << QVariant(5) << -1;
        QTest::newRow("None stored while adapters exist") << two << 2 << QVariant(-1) << -1;
        QTest::newRow("None when no adapter") << QVariantList { -1 } << 0 << QVariant(-1) << 0;
        QTest::newRow("index past the adapter count") << QVariantList { -2, 0, 1, 7 } << 2 << QVariant(7) << -1;
        QTest::newRow("invalid stored value") << two << 2 << QVariant() << -1;
    }

    void adapterRule()
    {
        QFETCH(QVariantList, comboData);
        QFETCH(int, adapterCount);
        QFETCH(QVariant, stored);
        QFETCH(int, index);
        AppSettings a;
        a.lanDeviceIndex = stored;
        QCOMPARE(a.adapterComboIndex(comboData, adapterCount), index);
    }
};

QTEST_GUILESS_MAIN(tst_AppSettings)
#include "tst_appsettings.moc"
