#include "dialogs/ConfirmWithScrollMsgAreaDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
#include <QtTest>

class tst_ConfirmWithScrollMsgAreaDialog : public QObject
{
    Q_OBJECT

private slots:
    void showsCallerTexts();
    void keys_data();
    void keys();
    void yesAccepts();
    void sizedToItsContent_data();
    void sizedToItsContent();
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

void tst_ConfirmWithScrollMsgAreaDialog::sizedToItsContent_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("fitsTheScreen");

    QTest::newRow("one display") << 1 << 5 << true;
    QTest::newRow("eight displays") << 8 << 5 << true;
    QTest::newRow("a table wider than the least size") << 4 << 8 << true;
    QTest::newRow("more displays than the screen holds") << 300 << 5 << false;
}

// The summary opens as large as its table needs and no larger: a short list no longer sits in a
// mostly empty box, a wide one is not squeezed into wrapped cells, and a long one stops at the
// screen and scrolls.
void tst_ConfirmWithScrollMsgAreaDialog::sizedToItsContent()
{
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(bool, fitsTheScreen);

    QString table = QStringLiteral("<table border=\"1\" cellpadding=\"5\" cellspacing=\"0\">");
    for (int row = 0; row < rows; ++row) {
        table += QStringLiteral("<tr>");
        for (int column = 0; column < columns; ++column)
            table += QStringLiteral("<td>QX-%1 cell %2</td>").arg(row).arg(column);
        table += QStringLiteral("</tr>");
    }
    table += QStringLiteral("</table>");
    ConfirmWithScrollMsgAreaDialog dialog(nullptr, QStringLiteral("Quillon"),
                                          QStringLiteral("The firmware on the following displays is about to be updated.<br>"),
                                          table, QStringLiteral("<br><b>Are you sure you want to proceed?</b>"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    const QSize room = dialog.screen()->availableSize();
    QVERIFY2(dialog.width() <= room.width() && dialog.height() <= room.height(),
             qPrintable(QStringLiteral("%1x%2").arg(dialog.width()).arg(dialog.height())));
    QVERIFY(dialog.width() >= 630 && dialog.height() >= 350);

    auto *area = dialog.findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("main_text_label"));
    // Never squeezed: the label is as wide as the table laid out without wrapping.
    QTextDocument natural;
    natural.setDefaultFont(label->font());
    natural.setDocumentMargin(0);
    natural.setHtml(table);
    QVERIFY2(label->width() >= natural.idealWidth(),
             qPrintable(QStringLiteral("%1 < %2").arg(label->width()).arg(natural.idealWidth())));
    QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
    if (fitsTheScreen) {
        QCOMPARE(area->verticalScrollBar()->maximum(), 0);
        if (rows == 1)
            QVERIFY2(dialog.height() < 450, qPrintable(QString::number(dialog.height())));
    } else {
        QVERIFY(area->verticalScrollBar()->maximum() > 0);
        QVERIFY(dialog.height() > room.height() / 2);
    }
}

QTEST_MAIN(tst_ConfirmWithScrollMsgAreaDialog)
#include "tst_confirmwithscrollmsgareadialog.moc"
