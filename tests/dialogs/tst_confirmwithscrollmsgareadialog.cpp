#include "dialogs/ConfirmWithScrollMsgAreaDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

class tst_ConfirmWithScrollMsgAreaDialog : public QObject
{
    Q_OBJECT

private slots:
    void showsCallerTexts();
    void keys_data();
    void keys();
    void yesAccepts();
};

namespace {

ConfirmWithScrollMsgAreaDialog *makeDialog()
{
    return new ConfirmWithScrollMsgAreaDialog(nullptr, QStringLiteral("Quillon"),
                                              QStringLiteral("The firmware on the following 2 display(s) is about to be updated.<br>"),
                                              QStringLiteral("<table><tr><td>1</td><td>QX-551</td></tr></table>"),
                                              QStringLiteral("<br><b>Are you sure you want to proceed?</b>"));
}

}

void tst_ConfirmWithScrollMsgAreaDialog::showsCallerTexts()
{
    QScopedPointer<ConfirmWithScrollMsgAreaDialog> dialog(makeDialog());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Quillon"));
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("heading_label"))->text(),
             QStringLiteral("The firmware on the following 2 display(s) is about to be updated.<br>"));
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("main_text_label"))->textFormat(), Qt::RichText);
    QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("main_text_label"))->text().contains(QLatin1String("QX-551")));
    QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("end_message_label"))->text().contains(QLatin1String("proceed?")));
    QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    QVERIFY(dialog->minimumSize().width() >= 630 && dialog->minimumSize().height() >= 350);
}

void tst_ConfirmWithScrollMsgAreaDialog::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("focusOnYes");

    QTest::newRow("return") << int(Qt::Key_Return) << false;
    QTest::newRow("enter") << int(Qt::Key_Enter) << false;
    QTest::newRow("return, Yes focused") << int(Qt::Key_Return) << true;
    QTest::newRow("escape") << int(Qt::Key_Escape) << false;
}

// Every way of answering from the keyboard without choosing Yes explicitly cancels.
void tst_ConfirmWithScrollMsgAreaDialog::keys()
{
    QFETCH(int, key);
    QFETCH(bool, focusOnYes);

    QScopedPointer<ConfirmWithScrollMsgAreaDialog> dialog(makeDialog());
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.data()));
    auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    QVERIFY(buttons->button(QDialogButtonBox::Cancel)->isDefault());
    QVERIFY(!buttons->button(QDialogButtonBox::Yes)->isDefault());
    if (focusOnYes)
        buttons->button(QDialogButtonBox::Yes)->setFocus();

    QSignalSpy accepted(dialog.data(), &QDialog::accepted);
    QTest::keyClick(dialog.data(), Qt::Key(key));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(accepted.count(), 0);
}

void tst_ConfirmWithScrollMsgAreaDialog::yesAccepts()
{
    QScopedPointer<ConfirmWithScrollMsgAreaDialog> dialog(makeDialog());
    dialog->show();
    auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    QTest::mouseClick(buttons->button(QDialogButtonBox::Yes), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
}

QTEST_MAIN(tst_ConfirmWithScrollMsgAreaDialog)
#include "tst_confirmwithscrollmsgareadialog.moc"
