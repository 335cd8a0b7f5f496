#include "settings/SettingsMigration.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class tst_SettingsMigration : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    static QSettings newStore()
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Halvern"),
                         QStringLiteral("Quillon"));
    }
    static QSettings oldStore()
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orvane Brindle"),
                         QStringLiteral("Orvane Quillon"));
    }

    static QMap<QString, QVariant> contents(QSettings &s)
    {
        QMap<QString, QVariant> all;
        for (const QString &key : s.allKeys())
            all.insert(key, s.value(key));
        return all;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    }

    void init()
    {
        QSettings fresh = newStore();
        fresh.clear();
        fresh.sync();
        QSettings old = oldStore();
        old.clear();
        old.sync();
    }

    void firstStartCopiesTheWholeTreeOnce()
    {
        {
            QSettings old = oldStore();
            old.setValue("Settings/Multi Update Limit", 20);
            old.setValue("Settings/IP Address Scan Text", "127.0.0.1");
            old.setValue("Settings/Deeper/Level/Key", "deep");
            old.setValue("TopLevelKey", 11);
            old.setValue("Other/Key", "outside");
        }
        QSettings fresh = newStore();
        QVERIFY(SettingsMigration::migrateFromOlderEdition(fresh));

        QSettings check = newStore();
        QSettings old = oldStore();
        QCOMPARE(contents(check), contents(old));
        QCOMPARE(check.value("Settings/Deeper/Level/Key").toString(), QStringLiteral("deep"));
        QCOMPARE(check.value("Other/Key").toString(), QStringLiteral("outside"));
        QCOMPARE(check.value("TopLevelKey").toInt(), 11);

        // The old store is only read, and a later change there is not carried over again.
        QCOMPARE(old.allKeys().size(), 5);
        old.setValue("Settings/Multi Update Limit", 1);
        old.setValue("Settings/Added", true);
        old.sync();
        QSettings second = newStore();
        QVERIFY(!SettingsMigration::migrateFromOlderEdition(second));
        QCOMPARE(second.value("Settings/Multi Update Limit").toInt(), 20);
        QVERIFY(!second.contains("Settings/Added"));
    }

    void noCopyWhenNewStoreAlreadyHasSettings()
    {
        {
            QSettings old = oldStore();
            old.setValue("Settings/LDS", 5702);
            QSettings fresh = newStore();
            fresh.setValue("Settings/LDS", 0);
        }
        QSettings fresh = newStore();
        QVERIFY(!SettingsMigration::migrateFromOlderEdition(fresh));
        QCOMPARE(fresh.value("Settings/LDS").toInt(), 0);
    }

    void noCopyWhenOldStoreLacksSettings_data()
    {
        QTest::addColumn<QString>("oldKey");
        QTest::newRow("empty old store") << QString();
        QTest::newRow("other group only") << "Other/Key";
        QTest::newRow("lower-case group") << "settings/LDS";
    }

    void noCopyWhenOldStoreLacksSettings()
    {
        QFETCH(QString, oldKey);
        if (!oldKey.isEmpty()) {
            QSettings old = oldStore();
            old.setValue(oldKey, 1);
        }
        {
            QSettings fresh = newStore();
            fresh.setValue("Unrelated/Key", 1);
        }
        QSettings fresh = newStore();
        QVERIFY(!SettingsMigration::migrateFromOlderEdition(fresh));
        QCOMPARE(fresh.allKeys(), QStringList { QStringLiteral("Unrelated/Key") });
    }

    void newStoreWithOtherGroupsStillMigrates()
    {
        {
            QSettings old = oldStore();
            old.setValue("Settings/Main Dialog Width", 900);
            QSettings fresh = newStore();
            fresh.setValue("Unrelated/Key", 1);
        }
        QSettings fresh = newStore();
        QVERIFY(SettingsMigration::migrateFromOlderEdition(fresh));
        QCOMPARE(fresh.value("Settings/Main Dialog Width").toInt(), 900);
        QCOMPARE(fresh.value("Unrelated/Key").toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_SettingsMigration)
#include "tst_settingsmigration.moc"
