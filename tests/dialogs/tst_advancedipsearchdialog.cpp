#include "dialogs/AdvancedIPSearchDialog.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

class tst_AdvancedIPSearchDialog : public QObject
{
    Q_OBJECT

private slots:
    void validatesAsTyped_data();
    void validatesAsTyped();
    void clearAndButtons();
};

void tst_AdvancedIPSearchDialog::validatesAsTyped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("okEnabled");
    QTest::addColumn<QString>("expanded");

    QTest::newRow("empty is valid") << "" << "" << true << "";
    QTest::newRow("short range") << "10.0.0.5 - 7" << "" << true << "10.0.0.5\n10.0.0.6\n10.0.0.7\n";
    QTest::newRow("format error keeps earlier addresses")
            << "10.1.1.1, <b>x</b>" << "Error: Address format error on item 2" << false << "10.1.1.1\n";
    QString wide;
    for (int i = 0; i < 17; ++i)
        wide += QStringLiteral("10.%1.0.*\n").arg(i);
    QTest::newRow("too many") << wide << "Error: Maximum number of addresses exceeded on line 17" << false
                              << QString();
}

void tst_AdvancedIPSearchDialog::validatesAsTyped()
{
    QFETCH(QString, text);
    QFETCH(QString, status);
    QFETCH(bool, okEnabled);
    QFETCH(QString, expanded);

    AdvancedIPSearchDialog dialog;
    dialog.setText(QStringLiteral("1.2.3"));   // start from an error so every row shows a change
    dialog.setText(text);
    auto *statusLabel = dialog.findChild<QLabel *>(QStringLiteral("status_label"));
    auto *iconLabel = dialog.findChild<QLabel *>(QStringLiteral("status_icon_label"));
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("scan_pushButton"));
    auto *list = dialog.findChild<QLabel *>(QStringLiteral("expanded_ip_list_label"));
    QVERIFY(statusLabel && iconLabel && ok && list);

    QCOMPARE(statusLabel->text(), status);
    QCOMPARE(ok->isEnabled(), okEnabled);
    QCOMPARE(iconLabel->pixmap().isNull(), status.isEmpty());
    if (!expanded.isNull())
        QCOMPARE(list->text(), expanded);
    QCOMPARE(list->textFormat(), Qt::PlainText);
    QCOMPARE(dialog.text(), text);
}

void tst_AdvancedIPSearchDialog::clearAndButtons()
{
    AdvancedIPSearchDialog dialog;
    auto *clear = dialog.findChild<QPushButton *>(QStringLiteral("clear_list_pushButton"));
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("scan_pushButton"));
    auto *cancel = dialog.findChild<QPushButton *>(QStringLiteral("cancel_pushButton"));
    QVERIFY(clear && ok && cancel);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Configure Targeted network search"));
    QCOMPARE(dialog.size(), QSize(652, 374));
    QVERIFY(!clear->isEnabled());

    dialog.setText(QStringLiteral("192.168.1.*"));
    QVERIFY(clear->isEnabled());
    QCOMPARE(dialog.addresses().size(), 254);
    QTest::mouseClick(clear, Qt::LeftButton);
    QCOMPARE(dialog.text(), QString());
    QVERIFY(dialog.addresses().isEmpty());
    QVERIFY(!clear->isEnabled());

    dialog.setText(QStringLiteral("10.0.0.1"));
    dialog.open();
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    dialog.open();
    QTest::mouseClick(cancel, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

QTEST_MAIN(tst_AdvancedIPSearchDialog)
#include "tst_advancedipsearchdialog.moc"
