#include "dialogs/UpdateWarningMessageDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

class tst_UpdateWarningMessageDialog : public QObject
{
    Q_OBJECT

private slots:
    void okOnlyWhileTicked();
    void okAcceptsCancelRejects_data();
    void okAcceptsCancelRejects();
    void sixteenCautions();
};

void tst_UpdateWarningMessageDialog::okOnlyWhileTicked()
{
    UpdateWarningMessageDialog dialog(nullptr);
    dialog.show();
    auto *checkBox = dialog.findChild<QCheckBox *>(QStringLiteral("checkBox"));
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("ok_pushButton"));

    QVERIFY(!ok->isEnabled());
    QTest::mouseClick(checkBox, Qt::LeftButton);
    QVERIFY(ok->isEnabled());
    QTest::mouseClick(checkBox, Qt::LeftButton);
    QVERIFY(!ok->isEnabled());

    // A disabled OK must not close the dialog.
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(dialog.isVisible());

    checkBox->setTristate(true);
    checkBox->setCheckState(Qt::PartiallyChecked);
    QVERIFY(ok->isEnabled());
}

void tst_UpdateWarningMessageDialog::okAcceptsCancelRejects_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");

    QTest::newRow("ok") << "ok_pushButton" << int(QDialog::Accepted);
    QTest::newRow("cancel") << "cancel_pushButton" << int(QDialog::Rejected);
}

void tst_UpdateWarningMessageDialog::okAcceptsCancelRejects()
{
    QFETCH(QString, button);
    QFETCH(int, result);

    UpdateWarningMessageDialog dialog(nullptr);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QCheckBox *>(QStringLiteral("checkBox")), Qt::LeftButton);
    QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), result);
}

void tst_UpdateWarningMessageDialog::sixteenCautions()
{
    UpdateWarningMessageDialog dialog(nullptr);
    const QString cautions = dialog.findChild<QLabel *>(QStringLiteral("label_2"))->text();
    QStringList numbers;
    const QRegularExpression numbered(QStringLiteral("<p>(\\d+)\\. "));
    for (auto it = numbered.globalMatch(cautions); it.hasNext();)
        numbers << it.next().captured(1);
    QStringList expected;
    for (int i = 1; i <= 16; ++i)
        expected << QString::number(i);
    QCOMPARE(numbers, expected);
}

QTEST_MAIN(tst_UpdateWarningMessageDialog)
#include "tst_updatewarningmessagedialog.moc"
