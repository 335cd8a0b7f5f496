#include "common/TestPalette.h"
#include "common/UsbDialogWatcher.h"
#include "theme/Theme.h"
#include "usb/search_model_dialog.h"

#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

QJsonObject release(const QStringList &models, int usb, const QString &snText = QString(), int snPosition = 0,
                    const QString &region = QString(), int build = 0)
{
    QJsonObject r;
    r["models"] = QJsonArray::fromStringList(models);
    r["updateViaUSB"] = usb;
    r["requiresAppBuild"] = build;
    r["needSNMatchListingText"] = snText;
    r["needSNMatchPosition"] = snPosition;
    r["needRegionSelectListingText"] = region;
    r["downloadLoc"] = QStringLiteral("http://127.0.0.1/firmwareupdates/%1.zip").arg(models.value(0));
    return r;
}

// Indices into this list are what getSelectedRelease must point at.
FirmwareDatabase catalogue()
{
    const QJsonArray firmware {
        release({ "PX-551", "PX-651" }, 7),                        // 0
        release({ "NEW-900", "PX-551" }, 7, {}, 0, {}, 999999),     // 1 needs a newer build
        release({ "LAN-ONLY 10" }, 0),                              // 2 no USB update
        release({ "MA-431" }, 7, "Serial starts with A", 2),        // 3
        release({ "MA-431" }, 7, "Serial starts with B", 2),        // 4
        release({ "EU-552" }, 7, {}, 0, "Europe"),                  // 5
        release({ "EU-552" }, 7, {}, 0, "Americas"),                // 6
        release({ "MIX-1" }, 7, "Rev A", 1, "Europe"),              // 7
        release({ "mix-1" }, 7, "Rev B", 1, "Europe"),              // 8
        release({ "MIX-1" }, 7, "rev a", 1, "Japan"),               // 9
        release({ "px-551", "SOLO-7" }, 7),                         // 10 a second spelling of a known name
    };
    QJsonObject root;
    root["info"] = QJsonObject { { "databaseVersion", 3 } };
    root["firmware"] = firmware;
    FirmwareDatabase db;
    db.parse(QJsonDocument(root).toJson(), QLocale::English);
    return db;
}

} // namespace

class tst_search_model_dialog : public QObject
{
    Q_OBJECT

    const FirmwareDatabase db = catalogue();

    struct View
    {
        explicit View(const FirmwareDatabase &db)
            : dialog(db)
        {
            dialog.show();
        }
        search_model_dialog dialog;
        QLineEdit *edit() { return dialog.findChild<QLineEdit *>("lineEdit"); }
        QComboBox *models() { return dialog.findChild<QComboBox *>("select_model_variant_comboBox"); }
        QComboBox *regions() { return dialog.findChild<QComboBox *>("select_region_variant_comboBox"); }
        QLabel *modelLabel() { return dialog.findChild<QLabel *>("select_model_variant_label"); }
        QLabel *regionLabel() { return dialog.findChild<QLabel *>("select_region_variant_label"); }
        QPushButton *ok() { return dialog.findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Ok); }
        static QStringList items(QComboBox *box)
        {
            QStringList list;
            for (int i = 0; i < box->count(); ++i)
                list << box->itemText(i);
            return list;
        }
    };

    // The index of the release the dialog chose, found by its fields, or -1.
    int chosenIndex(const search_model_dialog &dialog) const
    {
        FirmwareRelease out;
        if (dialog.getSelectedRelease(out) != 0)
            return -1;
        for (int i = 0; i < db.count(); ++i) {
            const FirmwareRelease &r = db.releases().at(i);
            if (r.models == out.models && r.needSNMatchListingText == out.needSNMatchListingText
                && r.needRegionSelectListingText == out.needRegionSelectListingText)
                return i;
        }
        return -2;
    }

private slots:
    void startsEmpty()
    {
        View v(db);
        QCOMPARE(v.dialog.windowTitle(), QStringLiteral("Search display model"));
        QVERIFY(!v.ok()->isEnabled());
        QVERIFY(!v.models()->isVisible() && !v.modelLabel()->isVisible());
        QVERIFY(!v.regions()->isVisible() && !v.regionLabel()->isVisible());
        QCOMPARE(v.dialog.layout()->sizeConstraint(), QLayout::SetFixedSize);
        QCOMPARE(TestPalette::render(v.dialog.windowIcon()), TestPalette::render(Theme::themedIcon("usb drive")));
    }

    void completerOffersUsbModelsOfThisBuild()
    {
        View v(db);
        // NEW-900 needs a newer build and LAN-ONLY 10 has no USB update; px-551 is PX-551 again.
        QCOMPARE(v.dialog.modelNames(),
                 QStringList({ "PX-551", "PX-651", "MA-431", "EU-552", "MIX-1", "SOLO-7" }));
        QCompleter *completer = v.edit()->completer();
        QVERIFY(completer);
        QCOMPARE(completer->maxVisibleItems(), 10);
        QCOMPARE(completer->caseSensitivity(), Qt::CaseInsensitive);
        QCOMPARE(completer->filterMode(), Qt::MatchContains);
        QCOMPARE(completer->modelSorting(), QCompleter::CaseInsensitivelySortedModel);

        // Digits from the middle of the name find every model containing them.
        completer->setCompletionPrefix(QStringLiteral("55"));
        QStringList found;
        for (int i = 0; completer->setCurrentRow(i); ++i)
            found << completer->currentCompletion();
        QCOMPARE(found, QStringList({ "EU-552", "PX-551" }));
        completer->setCompletionPrefix(QStringLiteral("x-"));
        QCOMPARE(completer->completionCount(), 3); // PX-551, PX-651, MIX-1
        completer->setCompletionPrefix(QStringLiteral("new"));
        QCOMPARE(completer->completionCount(), 0);
    }

    void variantRules_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("modelItems");
        QTest::addColumn<bool>("modelShown");
        QTest::addColumn<bool>("modelEnabled");
        QTest::addColumn<QStringList>("regionItems");
        QTest::addColumn<bool>("okEnabled");
        QTest::addColumn<int>("release");

        QTest::newRow("one release, no variants") << "px-651" << QStringList {} << false << true << QStringList {} << true << 0;
        QTest::newRow("first release of a name in two") << "PX-551" << QStringList {} << false << true << QStringList {} << true << 0;
        QTest::newRow("model variants only") << "MA-431" << QStringList { "Serial starts with A", "Serial starts with B" }
                                             << true << true << QStringList {} << false << 3;
        QTest::newRow("regions only") << "EU-552" << QStringList {} << false << false << QStringList { "Europe", "Americas" }
                                      << false << 5;
        QTest::newRow("regions and models, each text once") << "MIX-1" << QStringList {} << true << false
                                                            << QStringList { "Europe", "Japan" } << false << 7;
        QTest::newRow("no such model") << "nothing" << QStringList {} << false << true << QStringList {} << false << -1;
        QTest::newRow("too new for this build") << "NEW-900" << QStringList {} << false << true << QStringList {} << true << 1;
    }

    void variantRules()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, modelItems);
        QFETCH(bool, modelShown);
        QFETCH(bool, modelEnabled);
        QFETCH(QStringList, regionItems);
        QFETCH(bool, okEnabled);
        QFETCH(int, release);

        View v(db);
        QTest::keyClicks(v.edit(), name);
        QCOMPARE(v.models()->isVisible(), modelShown);
        QCOMPARE(v.modelLabel()->isVisible(), modelShown);
        if (modelShown)
            QCOMPARE(v.models()->isEnabled(), modelEnabled);
        if (!modelItems.isEmpty())
            QCOMPARE(View::items(v.models()), modelItems);
        QCOMPARE(v.regions()->isVisible(), !regionItems.isEmpty());
        QCOMPARE(View::items(v.regions()), regionItems);
        QCOMPARE(v.ok()->isEnabled(), okEnabled);
        // Nothing is chosen for the user.
        QCOMPARE(v.models()->currentIndex(), -1);
        QCOMPARE(v.regions()->currentIndex(), -1);
        QCOMPARE(chosenIndex(v.dialog), release);
    }

    void regionDecidesBetweenTwoReleases()
    {
        View v(db);
        QTest::keyClicks(v.edit(), QStringLiteral("EU-552"));
        QVERIFY(!v.ok()->isEnabled());
        QCOMPARE(v.regions()->placeholderText(), QStringLiteral("Select the region variant."));
        v.regions()->setCurrentIndex(1);
        QVERIFY(v.ok()->isEnabled());
        QVERIFY(!v.models()->isVisible());
        QCOMPARE(chosenIndex(v.dialog), 6);
    }

    void modelVariantChosen()
    {
        View v(db);
        QTest::keyClicks(v.edit(), QStringLiteral("ma-431"));
        QCOMPARE(v.models()->placeholderText(), QStringLiteral("Select the model variant."));
        v.models()->setCurrentIndex(1);
        QVERIFY(v.ok()->isEnabled());
        QCOMPARE(chosenIndex(v.dialog), 4);
    }

    void regionThenModel()
    {
        View v(db);
        QTest::keyClicks(v.edit(), QStringLiteral("MIX-1"));
        v.regions()->setCurrentIndex(0); // Europe
        QVERIFY(v.models()->isEnabled());
        QVERIFY(v.modelLabel()->isEnabled());
        QCOMPARE(View::items(v.models()), QStringList({ "Rev A", "Rev B" }));
        QVERIFY(!v.ok()->isEnabled());
        v.models()->setCurrentIndex(1);
        QVERIFY(v.ok()->isEnabled());
        QCOMPARE(chosenIndex(v.dialog), 8);

        v.regions()->setCurrentIndex(1); // Japan: the model list is rebuilt and must be chosen again
        QCOMPARE(View::items(v.models()), QStringList({ "rev a" }));
        QVERIFY(!v.ok()->isEnabled());
        v.models()->setCurrentIndex(0);
        QCOMPARE(chosenIndex(v.dialog), 9);

        // Typing on starts over.
        QTest::keyClick(v.edit(), Qt::Key_Backspace);
        QVERIFY(!v.ok()->isEnabled());
        QVERIFY(!v.regions()->isVisible());
        QCOMPARE(chosenIndex(v.dialog), -1);
    }

    void chooseModelHelper()
    {
        View v(db);
        QVERIFY(!chooseModel(&v.dialog, QStringLiteral("MIX-1"), QStringLiteral("Europe")));
        QVERIFY(chooseModel(&v.dialog, QStringLiteral("MIX-1"), QStringLiteral("Japan"), QStringLiteral("rev a")));
        QCOMPARE(v.dialog.result(), int(QDialog::Accepted));
        QCOMPARE(chosenIndex(v.dialog), 9);
    }

    void okAcceptsCancelRejects()
    {
        View v(db);
        QTest::keyClicks(v.edit(), QStringLiteral("SOLO-7"));
        QVERIFY(v.ok()->isEnabled());
        v.ok()->click();
        QCOMPARE(v.dialog.result(), int(QDialog::Accepted));
        QCOMPARE(chosenIndex(v.dialog), 10);

        View w(db);
        w.dialog.findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Cancel)->click();
        QCOMPARE(w.dialog.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(tst_search_model_dialog)
#include "tst_search_model_dialog.moc"
