#include "dialogs/UpdateHistoryDialog.h"
#include "history/HistoryFilterProxy.h"
#include "history/HistoryReport.h"
#include "history/HistoryTableModel.h"
#include "history/HistoryViewLoader.h"
#include "history/InterruptedUpdatesNotice.h"
#include "history/UpdateHistory.h"
#include "reports/UpdateReport.h"

#include <QApplication>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// What the history shows: the view's model under its proxy (filters, sorting on raw values), the
// update report of a batch made again from its rows, the message about interrupted updates, and
// the dialog's own filter and clear commands.
namespace {

const QDateTime Day1 = QDateTime(QDate(2026, 12, 1), QTime(9, 0), Qt::LocalTime).toUTC();

UpdateAttempt row(const char *serial, const char *model, const char *address, int day, UpdateAttempt::State state,
                  int status)
{
    UpdateAttempt attempt;
    attempt.serial = QString::fromLatin1(serial);
    attempt.model = QString::fromLatin1(model);
    attempt.address = QString::fromLatin1(address);
    attempt.batch = QStringLiteral("batch-%1").arg(day);
    attempt.started = Day1.addDays(day);
    attempt.state = state;
    attempt.status = status;
    attempt.firmwareBefore = QStringLiteral("R1.000");
    attempt.targetVersion = QStringLiteral("R2.000");
    if (state == UpdateAttempt::State::Settled) {
        attempt.settled = attempt.started.addSecs(300);
        attempt.statusText = status == 3 ? QStringLiteral("Success") : QStringLiteral("Error: Timeout.");
    }
    return attempt;
}

QList<UpdateAttempt> fixture()
{
    using S = UpdateAttempt::State;
    QList<UpdateAttempt> rows { row("A1", "QX-551", "10.0.4.1", 0, S::Settled, 3), row("A2", "QX-551", "10.0.4.2", 0, S::Settled, -3),
             row("B1", "PX-750", "10.0.4.11", 1, S::Settled, 3), row("B2", "PX-750", "10.0.5.9", 1, S::Interrupted, 0),
             row("C1", "MX-430", "10.0.4.1", 2, S::Settled, 4), row("C2", "MX-430", "10.0.6.2", 2, S::Pending, 0) };
    // A minute apart within a day, in this order.
    for (int i = 0; i < rows.size(); ++i)
        rows[i].started = rows[i].started.addSecs(60 * i);
    return rows;
}

QStringList shownSerials(const QAbstractItemModel &proxy)
{
    QStringList serials;
    for (int r = 0; r < proxy.rowCount(); ++r)
        serials.append(proxy.index(r, HistoryTableModel::SerialColumn).data().toString());
    return serials;
}

}

class tst_HistoryView : public QObject
{
    Q_OBJECT

private slots:
    void proxyFilters_data();
    void proxyFilters();
    void sortsOnRawValues();
    void batchReportAgain_data();
    void batchReportAgain();
    void historyJsonCarriesTheReportKeys();
    void interruptedNotice();
    void interruptedMessageIsPlainText();
    void dialogFiltersAndClears();
    void loaderFillsEveryRowOnce();
};

void tst_HistoryView::proxyFilters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("expected");

    const QDate d1 = Day1.toLocalTime().date();
    const int any = int(HistoryFilter::Result::Any);
    QTest::newRow("nothing set") << QString() << QDate() << QDate() << any << QStringList { "A1", "A2", "B1", "B2", "C1", "C2" };
    QTest::newRow("address part") << "10.0.4.1" << QDate() << QDate() << any << QStringList { "A1", "B1", "C1" };
    QTest::newRow("serial, any case") << "b2" << QDate() << QDate() << any << QStringList { "B2" };
    QTest::newRow("model part") << " px-7 " << QDate() << QDate() << any << QStringList { "B1", "B2" };
    QTest::newRow("one day, both ends included") << QString() << d1.addDays(1) << d1.addDays(1) << any << QStringList { "B1", "B2" };
    QTest::newRow("from a day on") << QString() << d1.addDays(1) << QDate() << any << QStringList { "B1", "B2", "C1", "C2" };
    QTest::newRow("up to a day") << QString() << QDate() << d1 << any << QStringList { "A1", "A2" };
    QTest::newRow("succeeded") << QString() << QDate() << QDate() << int(HistoryFilter::Result::Succeeded) << QStringList { "A1", "B1" };
    QTest::newRow("failed") << QString() << QDate() << QDate() << int(HistoryFilter::Result::Failed) << QStringList { "A2", "C1" };
    QTest::newRow("interrupted") << QString() << QDate() << QDate() << int(HistoryFilter::Result::Interrupted) << QStringList { "B2" };
    QTest::newRow("running") << QString() << QDate() << QDate() << int(HistoryFilter::Result::Pending) << QStringList { "C2" };
    QTest::newRow("all three together") << "10.0.4" << d1 << d1.addDays(1) << int(HistoryFilter::Result::Succeeded)
                                        << QStringList { "A1", "B1" };
}

void tst_HistoryView::proxyFilters()
{
    QFETCH(QString, text);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(int, result);
    QFETCH(QStringList, expected);

    HistoryTableModel model;
    model.setAttempts(fixture());
    HistoryFilterProxy proxy;
    proxy.setSourceModel(&model);
    proxy.sort(HistoryTableModel::StartedColumn, Qt::AscendingOrder);
    proxy.setText(text);
    proxy.setDateRange(from, to);
    proxy.setResult(HistoryFilter::Result(result));
    QCOMPARE(shownSerials(proxy), expected);
}

void tst_HistoryView::sortsOnRawValues()
{
    // Three attempts within one second, listed newest first: the texts shown are equal, the
    // times are not.
    QList<UpdateAttempt> attempts;
    for (int i = 0; i < 3; ++i) {
        UpdateAttempt attempt = row("X", "QX-551", "10.0.4.1", 0, UpdateAttempt::State::Settled, 3);
        attempt.serial = QStringLiteral("T%1").arg(2 - i);
        attempt.started = Day1.addMSecs(300 * (2 - i));
        attempts.append(attempt);
    }
    attempts.append(row("E", "QX-551", "10.0.4.9", 1, UpdateAttempt::State::Pending, 0));
    HistoryTableModel model;
    model.setAttempts(attempts);
    HistoryFilterProxy proxy;
    proxy.setSourceModel(&model);
    QCOMPARE(model.index(0, HistoryTableModel::StartedColumn).data().toString(),
             model.index(1, HistoryTableModel::StartedColumn).data().toString());

    proxy.sort(HistoryTableModel::StartedColumn, Qt::AscendingOrder);
    QCOMPARE(shownSerials(proxy), QStringList({ "T0", "T1", "T2", "E" }));
    proxy.sort(HistoryTableModel::StartedColumn, Qt::DescendingOrder);
    QCOMPARE(shownSerials(proxy), QStringList({ "E", "T2", "T1", "T0" }));
    // A running update has no end: it sorts before every ended one, not by its empty text.
    proxy.sort(HistoryTableModel::SettledColumn, Qt::AscendingOrder);
    QCOMPARE(shownSerials(proxy).first(), QStringLiteral("E"));
    QCOMPARE(proxy.index(0, HistoryTableModel::ResultColumn).data().toString(), HistoryReport::resultText(attempts.last()));
}

void tst_HistoryView::batchReportAgain_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("verification");
    QTest::addColumn<QString>("readBack");
    QTest::addColumn<QString>("versionAfter");
    QTest::addColumn<bool>("verified");
    QTest::addColumn<QString>("resultText");

    const int settled = int(UpdateAttempt::State::Settled);
    // The version after is only one the display reported, and only the release's is a success.
    QTest::newRow("verified") << settled << 3 << int(UpdateAttempt::Verified) << "R2.000" << "R2.000" << true << "check text";
    QTest::newRow("came back with the old version") << settled << 4 << int(UpdateAttempt::VersionMismatch) << "R1.000"
                                                    << "R1.000" << false << "check text";
    QTest::newRow("never answered after") << settled << 4 << int(UpdateAttempt::NoAnswer) << "" << "" << false
                                          << "check text";
    QTest::newRow("completed, no check") << settled << 3 << int(UpdateAttempt::None) << "" << "" << false << "Success";
    QTest::newRow("failed") << settled << -3 << int(UpdateAttempt::None) << "" << "" << false << "Error: Timeout.";
    QTest::newRow("interrupted") << int(UpdateAttempt::State::Interrupted) << 0 << int(UpdateAttempt::None) << "" << ""
                                 << false << "Interrupted";
}

void tst_HistoryView::batchReportAgain()
{
    QFETCH(int, state);
    QFETCH(int, status);
    QFETCH(int, verification);
    QFETCH(QString, readBack);
    QFETCH(QString, versionAfter);
    QFETCH(bool, verified);
    QFETCH(QString, resultText);

    QTemporaryDir dir;
    UpdateHistory history(dir.filePath(QStringLiteral("history.sqlite")));
    QCOMPARE(history.open(), UpdateHistory::OpenStatus::Opened);
    UpdateAttempt attempt = row("SN-1", "QX-551", "10.0.4.1", 0, UpdateAttempt::State(state), status);
    attempt.batch = QStringLiteral("the batch");
    attempt.verification = verification;
    attempt.firmwareAfter = readBack;
    if (verification != UpdateAttempt::None)
        attempt.verificationText = QStringLiteral("check text");
    UpdateAttempt other = row("SN-2", "QX-551", "10.0.4.2", 0, UpdateAttempt::State::Settled, 3);
    other.batch = QStringLiteral("another batch");
    QVERIFY(history.appendAttempts({ attempt, other }));

    HistoryFilter filter;
    filter.batch = QStringLiteral("the batch");
    const QList<UpdateReport::Line> lines = HistoryReport::reportLines(history.attempts(filter));
    const QJsonArray report = QJsonDocument::fromJson(UpdateReport::json(lines)).array();
    QCOMPARE(report.size(), 1);
    const QJsonObject line = report.at(0).toObject();
    QCOMPARE(line.value(QStringLiteral("serial")).toString(), QStringLiteral("SN-1"));
    QCOMPARE(line.value(QStringLiteral("address")).toString(), QStringLiteral("10.0.4.1"));
    QCOMPARE(line.value(QStringLiteral("firmware_before")).toString(), QStringLiteral("R1.000"));
    if (versionAfter.isEmpty())
        QVERIFY(line.value(QStringLiteral("firmware_after")).isNull());
    else
        QCOMPARE(line.value(QStringLiteral("firmware_after")).toString(), versionAfter);
    QCOMPARE(line.value(QStringLiteral("firmware_after_verified")).toBool(), verified);
    QCOMPARE(line.value(QStringLiteral("result")).toInt(), status);
    QCOMPARE(line.value(QStringLiteral("result_text")).toString(), resultText);
    QCOMPARE(line.value(QStringLiteral("started")).toString(), attempt.started.toString(Qt::ISODate));
    QCOMPARE(line.value(QStringLiteral("settled")).toString(),
             attempt.settled.isValid() ? attempt.settled.toString(Qt::ISODate) : QString());
    // The CSV form has the same rows as the window's report.
    QCOMPARE(UpdateReport::table(lines).size(), 2);
}

void tst_HistoryView::historyJsonCarriesTheReportKeys()
{
    const QList<UpdateAttempt> attempts = fixture();
    const QJsonArray history = QJsonDocument::fromJson(HistoryReport::json(attempts)).array();
    const QJsonArray report = QJsonDocument::fromJson(UpdateReport::json(HistoryReport::reportLines(attempts))).array();
    QCOMPARE(history.size(), attempts.size());
    for (int i = 0; i < history.size(); ++i) {
        const QJsonObject own = history.at(i).toObject();
        const QJsonObject shared = report.at(i).toObject();
        for (auto it = shared.begin(); it != shared.end(); ++it)
            QCOMPARE(own.value(it.key()), it.value());
        QCOMPARE(own.value(QStringLiteral("state")).toString(), HistoryReport::stateKey(attempts.at(i).state));
        QCOMPARE(own.value(QStringLiteral("batch")).toString(), attempts.at(i).batch);
        QCOMPARE(own.value(QStringLiteral("target_version")).toString(), QStringLiteral("R2.000"));
    }
}

void tst_HistoryView::interruptedNotice()
{
    QList<UpdateAttempt> interrupted;
    const QDateTime at = QDateTime(QDate(2026, 12, 10), QTime(14, 2), Qt::LocalTime);
    // Display texts that look like placeholders or markup stay what they are.
    const char *models[] = { "QX-551", "%1 <b>bold</b>", "PX-750" };
    for (int i = 0; i < 3; ++i) {
        UpdateAttempt attempt = row("SN", models[i], "10.0.4.1", 0, UpdateAttempt::State::Interrupted, 0);
        attempt.address = QStringLiteral("10.0.4.%1").arg(i + 1);
        attempt.serial = QStringLiteral("SN-%1").arg(i + 1);
        attempt.started = at.addSecs(-60 * (2 - i)).toUTC();
        interrupted.append(attempt);
    }
    const QString text = InterruptedUpdatesNotice::text(interrupted);
    QVERIFY2(text.startsWith(QStringLiteral("An update was interrupted on 3 displays on 2026-12-10 at 14:02 — check them before switching them off: ")),
             qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("10.0.4.1 (QX-551, serial SN-1, started 2026-12-10 14:00)")));
    QVERIFY(text.contains(QStringLiteral("10.0.4.2 (%1 <b>bold</b>, serial SN-2")));
    QVERIFY(text.contains(QStringLiteral("10.0.4.3 (PX-750")));
    QVERIFY(InterruptedUpdatesNotice::text({}).isEmpty());
    QVERIFY(InterruptedUpdatesNotice::text(interrupted.mid(0, 1)).contains(QStringLiteral("on 1 display on")));
}

void tst_HistoryView::interruptedMessageIsPlainText()
{
    UpdateAttempt attempt = row("SN-1", "<img src=x><b>QX</b>", "10.0.4.1", 0, UpdateAttempt::State::Interrupted, 0);
    Qt::TextFormat format = Qt::RichText;
    QString shown;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        format = box->textFormat();
        shown = box->text();
        box->accept();
    });
    UpdateHistoryDialog::showInterrupted(nullptr, { attempt });
    QCOMPARE(format, Qt::PlainText);
    QVERIFY(shown.contains(QStringLiteral("<img src=x><b>QX</b>")));
}

void tst_HistoryView::dialogFiltersAndClears()
{
    QTemporaryDir dir;
    UpdateHistory history(dir.filePath(QStringLiteral("history.sqlite")));
    QCOMPARE(history.open(), UpdateHistory::OpenStatus::Opened);
    QVERIFY(history.appendAttempts(fixture()));

    UpdateHistoryDialog dialog(history);
    dialog.show();
    auto *table = dialog.findChild<QTableView *>(QStringLiteral("history_tableView"));
    auto *filter = dialog.findChild<QLineEdit *>(QStringLiteral("filter_lineEdit"));
    auto *result = dialog.findChild<QComboBox *>(QStringLiteral("result_comboBox"));
    auto *count = dialog.findChild<QLabel *>(QStringLiteral("count_label"));
    auto *clear = dialog.findChild<QPushButton *>(QStringLiteral("clear_pushButton"));
    QVERIFY(table && filter && result && count && clear);
    QCOMPARE(table->model()->rowCount(), 6);
    // Newest first when it opens.
    QCOMPARE(table->model()->index(0, HistoryTableModel::SerialColumn).data().toString(), QStringLiteral("C2"));

    QTest::keyClicks(filter, QStringLiteral("10.0.4.1"));
    QCOMPARE(table->model()->rowCount(), 3);
    result->setCurrentIndex(result->findData(int(HistoryFilter::Result::Failed)));
    QCOMPARE(shownSerials(*table->model()), QStringList({ "C1" }));
    QVERIFY(count->text().contains(QLatin1String("1 of 6")));
    filter->clear();
    result->setCurrentIndex(0);

    // "No" keeps everything; "Yes" keeps only the update still running.
    const auto answer = [this](QMessageBox::StandardButton button) {
        QTimer::singleShot(0, this, [button] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                box->button(button)->click();
        });
    };
    answer(QMessageBox::No);
    clear->click();
    QCOMPARE(history.attempts().size(), 6);
    QCOMPARE(table->model()->rowCount(), 6);
    answer(QMessageBox::Yes);
    clear->click();
    QCOMPARE(shownSerials(*table->model()), QStringList({ "C2" }));
    QCOMPARE(history.attempts().size(), 1);
}

void tst_HistoryView::loaderFillsEveryRowOnce()
{
    QTemporaryDir dir;
    UpdateHistory history(dir.filePath(QStringLiteral("history.sqlite")));
    QCOMPARE(history.open(), UpdateHistory::OpenStatus::Opened);
    // The first rows, one whole page and a few more: every page boundary is crossed.
    const int total = HistoryViewLoader::FirstRows + HistoryViewLoader::PageRows + 5;
    QList<UpdateAttempt> attempts;
    for (int i = 0; i < total; ++i) {
        UpdateAttempt attempt = row("S", "QX-551", "10.0.4.1", 0, UpdateAttempt::State::Settled, 3);
        attempt.serial = QString::number(i);
        attempt.started = Day1.addSecs(i);
        attempts.append(attempt);
    }
    QVERIFY(history.appendAttempts(attempts));

    HistoryTableModel model;
    HistoryViewLoader loader(history, model);
    QSignalSpy finished(&loader, &HistoryViewLoader::finished);
    loader.start();
    // At once: the newest rows.
    QCOMPARE(model.rowCount(), HistoryViewLoader::FirstRows);
    QVERIFY(loader.isLoading());
    QCOMPARE(model.attempt(0).serial, QString::number(total - 1));
    QVERIFY(finished.wait(30000));
    QVERIFY(!loader.isLoading());
    QCOMPARE(model.rowCount(), total);
    QSet<QString> seen;
    for (const UpdateAttempt &attempt : model.attempts())
        seen.insert(attempt.serial);
    QCOMPARE(seen.size(), total);

    // A small history is there at once.
    QTemporaryDir smallDir;
    UpdateHistory small(smallDir.filePath(QStringLiteral("history.sqlite")));
    QCOMPARE(small.open(), UpdateHistory::OpenStatus::Opened);
    QVERIFY(small.appendAttempts(fixture()));
    HistoryViewLoader smallLoader(small, model);
    QSignalSpy smallFinished(&smallLoader, &HistoryViewLoader::finished);
    smallLoader.start();
    QCOMPARE(smallFinished.size(), 1);
    QCOMPARE(model.rowCount(), 6);
}

QTEST_MAIN(tst_HistoryView)
#include "tst_historyview.moc"
