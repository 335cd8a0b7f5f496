#include "dialogs/OptionSetting.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class tst_OptionSetting : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void limitBothWays_data();
    void limitBothWays();
    void userChoosesLimit_data();
    void userChoosesLimit();
    void legacySwitchNeedsShift_data();
    void legacySwitchNeedsShift();
    void legacyGroupVisibility();
    void cancelRejects();

private:
    static void holdShift(bool held);
};

namespace {

QRadioButton *radio(OptionSetting &dialog, int number)
{
    return dialog.findChild<QRadioButton *>(QStringLiteral("radioButton_%1").arg(number));
}

QCheckBox *legacyCheckBox(OptionSetting &dialog)
{
    return dialog.findChild<QCheckBox *>(QStringLiteral("enable_legacy_support_checkBox"));
}

void clickOk(OptionSetting &dialog)
{
    auto *buttons = dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

}

// Pressing Shift on any widget is what the application sees as the key being held.
void tst_OptionSetting::holdShift(bool held)
{
    static QWidget keyboard;
    if (held)
        QTest::keyPress(&keyboard, Qt::Key_Shift, Qt::ShiftModifier);
    else
        QTest::keyRelease(&keyboard, Qt::Key_Shift, Qt::NoModifier);
}

void tst_OptionSetting::cleanup()
{
    holdShift(false);
}

void tst_OptionSetting::limitBothWays_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("radioButton");
    QTest::addColumn<int>("readBack");

    QTest::newRow("negative") << -3 << 1 << 1;
    QTest::newRow("0") << 0 << 1 << 1;
    QTest::newRow("1") << 1 << 1 << 1;
    QTest::newRow("4") << 4 << 1 << 1;
    QTest::newRow("5") << 5 << 2 << 5;
    QTest::newRow("7") << 7 << 2 << 5;
    QTest::newRow("19") << 19 << 2 << 5;
    QTest::newRow("20") << 20 << 3 << 20;
    QTest::newRow("1000") << 1000 << 3 << 20;
}

void tst_OptionSetting::limitBothWays()
{
    QFETCH(int, stored);
    QFETCH(int, radioButton);
    QFETCH(int, readBack);

    OptionSetting dialog(true, false, stored, nullptr);
    for (int number = 1; number <= 3; ++number)
        QCOMPARE(radio(dialog, number)->isChecked(), number == radioButton);

    dialog.show();
    clickOk(dialog);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.updateLimit(), readBack);
}

void tst_OptionSetting::userChoosesLimit_data()
{
    QTest::addColumn<int>("clicked");
    QTest::addColumn<int>("limit");

    QTest::newRow("single") << 1 << 1;
    QTest::newRow("up to 5") << 2 << 5;
    QTest::newRow("up to 20") << 3 << 20;
}

void tst_OptionSetting::userChoosesLimit()
{
    QFETCH(int, clicked);
    QFETCH(int, limit);

    for (const int stored : { 1, 5, 20 }) {
        OptionSetting dialog(false, false, stored, nullptr);
        dialog.show();
        QTest::mouseClick(radio(dialog, clicked), Qt::LeftButton);
        clickOk(dialog);
        QCOMPARE(dialog.updateLimit(), limit);
    }
}

void tst_OptionSetting::legacySwitchNeedsShift_data()
{
    QTest::addColumn<bool>("shiftHeld");
    QTest::addColumn<bool>("legacyEnabled");
    QTest::addColumn<bool>("afterClick");

    QTest::newRow("no shift, off stays off") << false << false << false;
    QTest::newRow("no shift, on stays on") << false << true << true;
    QTest::newRow("shift, off turned on") << true << false << true;
    QTest::newRow("shift, on turned off") << true << true << false;
}

void tst_OptionSetting::legacySwitchNeedsShift()
{
    QFETCH(bool, shiftHeld);
    QFETCH(bool, legacyEnabled);
    QFETCH(bool, afterClick);

    holdShift(shiftHeld);
    OptionSetting dialog(true, legacyEnabled, 5, nullptr);
    holdShift(false);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QCheckBox *checkBox = legacyCheckBox(dialog);
    QCOMPARE(checkBox->isEnabled(), shiftHeld);
    QCOMPARE(checkBox->isChecked(), legacyEnabled);

    // Releasing Shift after opening does not lock the switch again, nor does a later press unlock it.
    QTest::mouseClick(checkBox, Qt::LeftButton);
    clickOk(dialog);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.legacySupportEnabled(), afterClick);
}

void tst_OptionSetting::legacyGroupVisibility()
{
    OptionSetting withGroup(true, false, 5, nullptr);
    withGroup.show();
    OptionSetting withoutGroup(false, true, 5, nullptr);
    withoutGroup.show();

    QVERIFY(withGroup.findChild<QGroupBox *>(QStringLiteral("legacy_model_support_groupBox"))->isVisible());
    QVERIFY(!withoutGroup.findChild<QGroupBox *>(QStringLiteral("legacy_model_support_groupBox"))->isVisible());
    // Hidden or not, the stored switch comes back unchanged.
    QVERIFY(withoutGroup.legacySupportEnabled());
    // The dialog keeps its size fixed to its contents.
    QCOMPARE(withGroup.minimumSize(), withGroup.maximumSize());
    QVERIFY(withoutGroup.height() < withGroup.height());
    // Not a tall narrow column of wrapped text: lines of some sixty characters.
    const int sixtyCharacters = withGroup.fontMetrics().averageCharWidth() * 60;
    QVERIFY2(withGroup.width() > sixtyCharacters, qPrintable(QString::number(withGroup.width())));
    QVERIFY(withoutGroup.width() > sixtyCharacters);
    QVERIFY(withGroup.width() > withGroup.height());
}

void tst_OptionSetting::cancelRejects()
{
    OptionSetting dialog(true, false, 20, nullptr);
    dialog.show();
    QTest::mouseClick(radio(dialog, 1), Qt::LeftButton);
    auto *buttons = dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

QTEST_MAIN(tst_OptionSetting)
#include "tst_optionsetting.moc"
