#include "dialogs/OptionSetting.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
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
    void rolloutBothWays_data();
    void rolloutBothWays();
    void firmwareServer_data();
    void firmwareServer();
    void environmentOverrideIsShown();
    void nothingIsSqueezed();

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

void tst_OptionSetting::rolloutBothWays_data()
{
    QTest::addColumn<bool>("first");
    QTest::addColumn<int>("failures");
    QTest::addColumn<int>("shownFailures");
    QTest::addColumn<QString>("spinText");
    QTest::newRow("off") << false << 0 << 0 << "Never";
    QTest::newRow("first, 3") << true << 3 << 3 << "3";
    QTest::newRow("99") << false << 99 << 99 << "99";
    QTest::newRow("stored above the range") << true << 250 << 99 << "99";
    QTest::newRow("stored negative") << false << -1 << 0 << "Never";
}

void tst_OptionSetting::rolloutBothWays()
{
    QFETCH(bool, first);
    QFETCH(int, failures);
    QFETCH(int, shownFailures);
    QFETCH(QString, spinText);
    OptionSetting dialog(false, false, 5, nullptr);
    RolloutPolicy policy;
    policy.firstPerModel = first;
    policy.maxFailures = failures;
    dialog.setRolloutPolicy(policy);
    dialog.show();
    auto *check = dialog.findChild<QCheckBox *>(QStringLiteral("rollout_first_per_model_checkBox"));
    auto *spin = dialog.findChild<QSpinBox *>(QStringLiteral("rollout_max_failures_spinBox"));
    QCOMPARE(check->isChecked(), first);
    QCOMPARE(spin->value(), shownFailures);
    QCOMPARE(spin->text(), spinText);
    clickOk(dialog);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.rolloutPolicy().firstPerModel, first);
    QCOMPARE(dialog.rolloutPolicy().maxFailures, shownFailures);

    // The technician changes both.
    OptionSetting changed(false, false, 5, nullptr);
    changed.setRolloutPolicy(policy);
    changed.show();
    QTest::mouseClick(changed.findChild<QCheckBox *>(QStringLiteral("rollout_first_per_model_checkBox")), Qt::LeftButton);
    auto *spin2 = changed.findChild<QSpinBox *>(QStringLiteral("rollout_max_failures_spinBox"));
    spin2->selectAll();
    QTest::keyClicks(spin2, QStringLiteral("7"));
    clickOk(changed);
    QCOMPARE(changed.rolloutPolicy().firstPerModel, !first);
    QCOMPARE(changed.rolloutPolicy().maxFailures, 7);
}

void tst_OptionSetting::firmwareServer_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("empty: the maker's") << QString() << true << QString();
    QTest::newRow("mirror") << "http://10.0.4.2/firmwareupdates/" << true << "http://10.0.4.2/firmwareupdates/";
    QTest::newRow("trimmed") << "  https://mirror.example/fw/ " << true << "https://mirror.example/fw/";
    QTest::newRow("no scheme") << "mirror.example/fw/" << false << QString();
    QTest::newRow("ftp") << "ftp://mirror.example/fw/" << false << QString();
    QTest::newRow("no host") << "http:///fw/" << false << QString();
    QTest::newRow("markup typed") << "<b>x</b>" << false << QString();
}

// A server that cannot be used is refused in the dialog, with the reason beside the field; the
// dialog stays open until it is mended or emptied.
void tst_OptionSetting::firmwareServer()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, readBack);
    OptionSetting dialog(false, false, 5, nullptr);
    dialog.setFirmwareServerUrl(QStringLiteral("http://127.0.0.1:8123/firmwareupdates/"), QString());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("firmware_server_lineEdit"));
    auto *error = dialog.findChild<QLabel *>(QStringLiteral("firmware_server_error_label"));
    QCOMPARE(edit->text(), QStringLiteral("http://127.0.0.1:8123/firmwareupdates/"));
    QVERIFY(!error->isVisible());
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
    clickOk(dialog);
    if (accepted) {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.firmwareServerUrl(), readBack);
        return;
    }
    QVERIFY(dialog.isVisible());
    QVERIFY(error->isVisible());
    QVERIFY2(error->text().contains(typed.trimmed()) && error->text().contains(QStringLiteral("http://")),
             qPrintable(error->text()));
    QCOMPARE(error->textFormat(), Qt::PlainText);
    // Typing again clears the complaint; an empty field is the maker's server and is accepted.
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QVERIFY(!error->isVisible());
    clickOk(dialog);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.firmwareServerUrl(), QString());
}

void tst_OptionSetting::environmentOverrideIsShown()
{
    OptionSetting quiet(false, false, 5, nullptr);
    quiet.setFirmwareServerUrl(QString(), QString());
    quiet.show();
    QVERIFY(!quiet.findChild<QLabel *>(QStringLiteral("firmware_server_environment_label"))->isVisible());

    OptionSetting overridden(false, false, 5, nullptr);
    overridden.setFirmwareServerUrl(QStringLiteral("https://mirror.example/fw/"), QStringLiteral("http://127.0.0.1:9/fw/"));
    overridden.show();
    auto *label = overridden.findChild<QLabel *>(QStringLiteral("firmware_server_environment_label"));
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(), QStringLiteral("QUILLON_FIRMWARE_URL is set and is used instead: http://127.0.0.1:9/fw/"));
    // The saved one stays editable and is kept for when the variable is gone.
    clickOk(overridden);
    QCOMPARE(overridden.firmwareServerUrl(), QStringLiteral("https://mirror.example/fw/"));
}

// Every text and control gets at least the room it asks for, with the error shown too.
void tst_OptionSetting::nothingIsSqueezed()
{
    OptionSetting dialog(true, false, 5, nullptr);
    dialog.setFirmwareServerUrl(QStringLiteral("x"), QStringLiteral("http://127.0.0.1:9/fw/"));
    RolloutPolicy policy;
    policy.maxFailures = 99;
    dialog.setRolloutPolicy(policy);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    clickOk(dialog); // shows the error
    QVERIFY(dialog.isVisible());
    QCoreApplication::processEvents();
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    const QList<QWidget *> widgets = dialog.findChildren<QWidget *>();
    for (QWidget *w : widgets) {
        // Unnamed ones are the parts Qt builds inside a control (the line edit's clear button).
        if (!w->isVisible() || w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        auto *label = qobject_cast<QLabel *>(w);
        if (label && label->wordWrap()) {
            QVERIFY2(label->height() >= label->heightForWidth(label->width()), qPrintable(label->objectName()));
            continue;
        }
        if (qobject_cast<QAbstractButton *>(w) || qobject_cast<QSpinBox *>(w) || label) {
            QVERIFY2(w->width() >= w->sizeHint().width() && w->height() >= w->minimumSizeHint().height(),
                     qPrintable(QStringLiteral("%1: %2x%3 < %4x%5").arg(w->objectName()).arg(w->width()).arg(w->height())
                                        .arg(w->sizeHint().width()).arg(w->minimumSizeHint().height())));
        }
    }
}

QTEST_MAIN(tst_OptionSetting)
#include "tst_optionsetting.moc"
