#include "table/MySortFilterProxyModel.h"
#include "table/MyTableView.h"
#include "table/displayListModel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

namespace {

int sessionMarker = 0;
HttpClient *const someUpdateSession = reinterpret_cast<HttpClient *>(&sessionMarker);

// The offscreen platform warns about every popup it cannot raise or grab for; those lines bury the
// test's own output.
QtMessageHandler previousHandler = nullptr;
void quietPopupWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    previousHandler(type, context, message);
}

struct SeenMenu
{
    bool shown = false;
    QString title;
    QStringList texts;
    QList<bool> enabled;
    QList<bool> withIcon;
};

// Runs `open`, which may show a modal menu; while the menu is up, records it and chooses the
// item whose text is `choice` (or none), then closes it.
SeenMenu runMenu(const std::function<void()> &open, const QString &choice = QString())
{
    SeenMenu seen;
    QTimer::singleShot(0, qApp, [&seen, choice] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        seen.shown = true;
        seen.title = menu->title();
        QAction *chosen = nullptr;
        for (QAction *action : menu->actions()) {
            seen.texts << action->text();
            seen.enabled << action->isEnabled();
            seen.withIcon << !action->icon().isNull();
            if (action->text() == choice)
                chosen = action;
        }
        if (chosen)
            chosen->trigger();
        menu->close();
    });
    open();
    QCoreApplication::processEvents();
    return seen;
}

DisplayEntry entry(const QString &address, qint32 catalogueSeries = 3)
{
    DisplayEntry e;
    e.address = QHostAddress(address);
    e.modelName = QStringLiteral("QX-551");
    e.powerState = 1;
    e.catalogueSeries = catalogueSeries;
    return e;
}

}

class tst_MyTableView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { previousHandler = qInstallMessageHandler(quietPopupWarnings); }
    void init();
    void cleanup();

    void contextMenuActsOnSourceRow_data();
    void contextMenuActsOnSourceRow();
    void powerSaveItemsOnlyForTheirSeries_data();
    void powerSaveItemsOnlyForTheirSeries();
    void busyRowMenuDisabled();
    void rightClickBelowRowsOpensNothing();
    void powerMenuOnPowerColumnOnly();
    void checkBoxFromKeyboard_data();
    void checkBoxFromKeyboard();
    void sortKeepsCurrentRowInViewAndFitsColumns();
    void statusColumnShowsTheWholeText_data();
    void statusColumnShowsTheWholeText();
    void fitFollowsEveryChange_data();
    void fitFollowsEveryChange();

private:
    void rightClick(int viewRow, const QString &choice, SeenMenu *seen);
    QPoint cellCentre(int viewRow, int column) const;

    DisplayEntryList m_entries;
    displayListModel *m_model = nullptr;
    MySortFilterProxyModel *m_proxy = nullptr;
    MyTableView *m_view = nullptr;
};

void tst_MyTableView::init()
{
    // Detection order differs from address order, so the sorted view rows are not model rows.
    m_entries = { entry("10.0.0.30"), entry("10.0.0.2", 1), entry("9.0.0.1", 2), entry("10.0.0.4") };
    m_model = new displayListModel;
    m_model->setEntries(&m_entries);
    m_proxy = new MySortFilterProxyModel(m_model);
    m_proxy->setSourceModel(m_model);
    m_view = new MyTableView;
    m_view->setModel(m_proxy);
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(displayListModel::AddressColumn, Qt::AscendingOrder);
    m_view->resize(1400, 400);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
}

void tst_MyTableView::cleanup()
{
    delete m_view;
    delete m_model;
    m_view = nullptr;
    m_model = nullptr;
}

QPoint tst_MyTableView::cellCentre(int viewRow, int column) const
{
    return m_view->visualRect(m_proxy->index(viewRow, column)).center();
}

void tst_MyTableView::rightClick(int viewRow, const QString &choice, SeenMenu *seen)
{
    const QPoint point = viewRow >= 0 ? cellCentre(viewRow, 1) : QPoint(20, m_view->viewport()->height() - 5);
    *seen = runMenu([this, point] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, point, m_view->viewport()->mapToGlobal(point));
        QApplication::sendEvent(m_view->viewport(), &event);
    }, choice);
}

void tst_MyTableView::contextMenuActsOnSourceRow_data()
{
    QTest::addColumn<int>("viewRow");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QByteArray>("signal");
    QTest::addColumn<int>("sourceRow");

    // Sorted by address: view rows 9.0.0.1, 10.0.0.2, 10.0.0.4, 10.0.0.30 are model rows 2, 1, 3, 0.
    QTest::newRow("refresh, first view row") << 0 << "Refresh display information" << QByteArray(SIGNAL(refreshRow(int))) << 2;
    QTest::newRow("refresh, last view row") << 3 << "Refresh display information" << QByteArray(SIGNAL(refreshRow(int))) << 0;
    QTest::newRow("power on") << 2 << "Power On" << QByteArray(SIGNAL(requestPowerOn(int))) << 3;
    QTest::newRow("power off") << 1 << "Power Off" << QByteArray(SIGNAL(requestPowerOff(int))) << 1;
    QTest::newRow("auto power save") << 0 << "Set \"Power Save Mode\" to \"Auto Power Save\""
                                     << QByteArray(SIGNAL(requestSetPowerSaveToAutoPowerSave(int))) << 2;
    QTest::newRow("auto standby") << 1 << "Set \"Power Save Mode\" to \"Auto Standby\""
                                  << QByteArray(SIGNAL(requestSetPowerSaveToAutoStandby(int))) << 1;
}

void tst_MyTableView::contextMenuActsOnSourceRow()
{
    QFETCH(int, viewRow);
    QFETCH(QString, choice);
    QFETCH(QByteArray, signal);
    QFETCH(int, sourceRow);

    const QList<QByteArray> allSignals { SIGNAL(refreshRow(int)), SIGNAL(requestPowerOn(int)), SIGNAL(requestPowerOff(int)),
                                         SIGNAL(requestSetPowerSaveToAutoPowerSave(int)),
                                         SIGNAL(requestSetPowerSaveToAutoStandby(int)) };
    QList<QSignalSpy *> spies;
    for (const QByteArray &s : allSignals)
        spies << new QSignalSpy(m_view, s.constData());

    SeenMenu seen;
    rightClick(viewRow, choice, &seen);

    QVERIFY(seen.shown);
    QCOMPARE(seen.title, QStringLiteral("Context menu"));
    QCOMPARE(m_view->contextMenuTriggeredRow(), sourceRow);
    for (int i = 0; i < allSignals.size(); ++i) {
        if (allSignals.at(i) == signal) {
            QCOMPARE(spies.at(i)->count(), 1);
            QCOMPARE(spies.at(i)->at(0).at(0).toInt(), sourceRow);
        } else {
            QCOMPARE(spies.at(i)->count(), 0);
        }
    }
    qDeleteAll(spies);
}

void tst_MyTableView::powerSaveItemsOnlyForTheirSeries_data()
{
    QTest::addColumn<int>("viewRow");
    QTest::addColumn<QStringList>("texts");

    const QStringList basic { "Refresh display information", "Power On", "Power Off" };
    const QStringList withPowerSave = basic + QStringList { "Set \"Power Save Mode\" to \"Auto Power Save\"",
                                                            "Set \"Power Save Mode\" to \"Auto Standby\"" };
    QTest::newRow("series 2") << 0 << withPowerSave;
    QTest::newRow("series 1") << 1 << withPowerSave;
    QTest::newRow("series 3") << 2 << basic;
}

void tst_MyTableView::powerSaveItemsOnlyForTheirSeries()
{
    QFETCH(int, viewRow);
    QFETCH(QStringList, texts);

    SeenMenu seen;
    rightClick(viewRow, QString(), &seen);
    QCOMPARE(seen.texts, texts);
    QCOMPARE(seen.enabled, QList<bool>(texts.size(), true));
    // The first three carry icons, the power-save items none.
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(seen.withIcon.at(i), i < 3);
}

void tst_MyTableView::busyRowMenuDisabled()
{
    m_entries[1].updateSession = someUpdateSession; // view row 1
    QSignalSpy refresh(m_view, &MyTableView::refreshRow);

    SeenMenu seen;
    rightClick(1, QStringLiteral("Refresh display information"), &seen);
    QCOMPARE(seen.texts.size(), 5);
    QCOMPARE(seen.enabled, QList<bool>(5, false));
    QCOMPARE(refresh.count(), 0);

    seen = runMenu([this] { QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, cellCentre(1, 6)); });
    QCOMPARE(seen.enabled, QList<bool>(2, false));
}

void tst_MyTableView::rightClickBelowRowsOpensNothing()
{
    SeenMenu seen;
    rightClick(0, QString(), &seen);
    QCOMPARE(m_view->contextMenuTriggeredRow(), 2);

    rightClick(-1, QString(), &seen);
    QVERIFY(!seen.shown);
    QCOMPARE(m_view->contextMenuTriggeredRow(), -1);
}

void tst_MyTableView::powerMenuOnPowerColumnOnly()
{
    QSignalSpy powerOff(m_view, &MyTableView::requestPowerOff);

    SeenMenu seen = runMenu([this] { QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, cellCentre(2, 6)); },
                            QStringLiteral("Power Off"));
    QVERIFY(seen.shown);
    QCOMPARE(seen.title, QStringLiteral("Context menu"));
    QCOMPARE(seen.texts, (QStringList { "Power On", "Power Off" }));
    QCOMPARE(seen.withIcon, (QList<bool> { true, true }));
    QCOMPARE(powerOff.count(), 1);
    QCOMPARE(powerOff.at(0).at(0).toInt(), 3);
    QCOMPARE(m_view->currentIndex().row(), 2); // the click also selected the row

    seen = runMenu([this] { QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, cellCentre(0, 5)); });
    QVERIFY(!seen.shown);
    QCOMPARE(m_view->currentIndex().row(), 0);

    seen = runMenu([this] { QTest::mouseClick(m_view->viewport(), Qt::RightButton, {}, cellCentre(0, 6)); });
    QVERIFY(!seen.shown);
    QCOMPARE(powerOff.count(), 1);
}

void tst_MyTableView::checkBoxFromKeyboard_data()
{
    QTest::addColumn<bool>("withSession");
    QTest::addColumn<bool>("legacyModel");
    QTest::addColumn<bool>("toggles");
    QTest::addColumn<int>("column");

    QTest::newRow("idle row") << false << false << true << int(displayListModel::ActionColumn);
    QTest::newRow("row under update") << true << false << false << int(displayListModel::ActionColumn);
    QTest::newRow("legacy row, support off") << false << true << false << int(displayListModel::ActionColumn);
    // Space ticks the current row from whichever cell is current.
    QTest::newRow("idle row, model cell") << false << false << true << int(displayListModel::ModelNameColumn);
    QTest::newRow("idle row, status cell") << false << false << true << int(displayListModel::StatusColumn);
    QTest::newRow("row under update, address cell") << true << false << false << int(displayListModel::AddressColumn);
    QTest::newRow("legacy row, power cell") << false << true << false << int(displayListModel::PowerStateColumn);
}

void tst_MyTableView::checkBoxFromKeyboard()
{
    QFETCH(bool, withSession);
    QFETCH(bool, legacyModel);
    QFETCH(bool, toggles);
    QFETCH(int, column);

    DisplayEntry &row = m_entries[3]; // view row 2
    row.firmwareStatus = FirmwareStatus::NewForLan;
    row.updateViaHTTP = 1;
    row.legacyModel = legacyModel ? 1 : 0;
    if (withSession)
        row.updateSession = someUpdateSession;
    m_model->rowChanged(3);
    QSignalSpy needUpdate(m_model, &displayListModel::need_update_ui);

    m_view->setFocus();
    m_view->setCurrentIndex(m_proxy->index(2, column));
    const QModelIndex current = m_view->currentIndex();
    QTest::keyClick(m_view, Qt::Key_Space);

    QCOMPARE(row.selected, toggles);
    QCOMPARE(needUpdate.count(), toggles ? 1 : 0);
    QCOMPARE(m_proxy->index(2, displayListModel::ActionColumn).data(Qt::CheckStateRole).toInt(),
             int(toggles ? Qt::Checked : Qt::Unchecked));
    // Once more: the tick comes off again, and the current cell stays where it was.
    QTest::keyClick(m_view, Qt::Key_Space);
    QVERIFY(!row.selected);
    QCOMPARE(m_view->currentIndex(), current);
}

// A new sort order moves the current row far away: the view follows it, and the columns are fitted
// to the rows now in view (the window measures only those), bold long names included.
void tst_MyTableView::sortKeepsCurrentRowInViewAndFitsColumns()
{
    const QString longName = QStringLiteral("B-long MultiSync ME651 MPi4E Extended");
    m_entries.clear();
    for (int i = 0; i < 200; ++i) {
        DisplayEntry row = entry(QStringLiteral("10.0.0.%1").arg(i + 1));
        row.modelName = i == 0 ? QStringLiteral("A-short") : QStringLiteral("Q-%1").arg(i, 3, 10, QLatin1Char('0'));
        if (i == 150) {
            row.modelName = longName;
            row.firmwareStatus = FirmwareStatus::NewForLan; // shown in bold
        }
        m_entries.append(row);
    }
    m_model->resetAll();
    m_view->horizontalHeader()->setResizeContentsPrecision(0);
    m_view->sortByColumn(displayListModel::AddressColumn, Qt::AscendingOrder);
    QCoreApplication::processEvents();
    m_view->setCurrentIndex(m_proxy->index(0, displayListModel::ModelNameColumn));
    m_view->scrollToTop();
    m_view->resizeColumnToContents(displayListModel::ModelNameColumn);
    QFont bold = m_view->font();
    bold.setWeight(QFont::Bold);
    const int longWidth = QFontMetrics(bold).horizontalAdvance(longName);
    QVERIFY(m_view->columnWidth(displayListModel::ModelNameColumn) < longWidth);
    const auto currentInView = [this] {
        return m_view->viewport()->rect().contains(m_view->visualRect(m_view->currentIndex()));
    };

    // The current row goes from the top to the bottom.
    m_view->horizontalHeader()->setSortIndicator(displayListModel::AddressColumn, Qt::DescendingOrder);
    QCOMPARE(m_view->currentIndex().row(), 199);
    QCOMPARE(m_view->currentIndex().data().toString(), QStringLiteral("A-short"));
    QTRY_VERIFY(currentInView());

    // By name: the current row comes first and the long bold name just below it, fitted.
    m_view->horizontalHeader()->setSortIndicator(displayListModel::ModelNameColumn, Qt::AscendingOrder);
    QCOMPARE(m_view->currentIndex().row(), 0);
    QTRY_VERIFY(currentInView());
    QTRY_VERIFY(m_view->columnWidth(displayListModel::ModelNameColumn) >= longWidth);
}

void tst_MyTableView::statusColumnShowsTheWholeText_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<bool>("storedStretch"); // a header state saved with the last section stretched

    const QString longNote = QStringLiteral("Not queued: the firmware has 9 files, more than the 6 a LAN update "
                                            "can send. Updating 50% Completed: FW1 Estimated time remaining: 09:00");
    QTest::newRow("short text fills to the edge") << QStringLiteral("Ready") << false;
    QTest::newRow("long text is not cut") << longNote << false;
    QTest::newRow("long text, stretched header restored") << longNote << true;
}

// The status column is the last one: it reaches the window's edge, and a text longer than that
// widens it (the table scrolls sideways) instead of ending in "...". Its tool tip stays the text.
void tst_MyTableView::statusColumnShowsTheWholeText()
{
    QFETCH(QString, note);
    QFETCH(bool, storedStretch);

    m_entries[0].updateNote = note;
    m_model->resetAll();
    const int status = displayListModel::StatusColumn;
    QHeaderView *header = m_view->horizontalHeader();
    m_view->fitColumnsToContents();
    // A window whose edge cuts the long text in the middle: the columns before the status column
    // fit, and half of the long text would.
    const int textWidth = m_view->fontMetrics().horizontalAdvance(note);
    const int frame = m_view->width() - m_view->viewport()->width();
    m_view->resize(header->sectionPosition(status) + m_view->fontMetrics().horizontalAdvance(QStringLiteral("x")) * 60 + frame,
                   300);
    QCoreApplication::processEvents();
    header->setStretchLastSection(storedStretch);
    m_view->fitColumnsToContents();

    const int row = m_proxy->mapFromSource(m_model->index(0, status)).row();
    const QModelIndex cell = m_proxy->index(row, status);
    QCOMPARE(cell.data().toString(), note);
    QCOMPARE(cell.data(Qt::ToolTipRole).toString(), note);
    QVERIFY(!header->stretchLastSection());
    QVERIFY2(m_view->columnWidth(status) >= textWidth,
             qPrintable(QStringLiteral("%1 < %2").arg(m_view->columnWidth(status)).arg(textWidth)));
    QVERIFY(header->sectionPosition(status) + m_view->columnWidth(status) >= m_view->viewport()->width());

    // A wider window: the column follows to the new edge.
    m_view->resize(2400, 300);
    QCoreApplication::processEvents();
    QVERIFY(header->sectionPosition(status) + m_view->columnWidth(status) >= m_view->viewport()->width());
    QVERIFY(m_view->columnWidth(status) >= textWidth);
}

void tst_MyTableView::fitFollowsEveryChange_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("a row's text grows") << 0;
    QTest::newRow("a column resized by hand") << 1;
    QTest::newRow("a hidden column shown again") << 2;
    QTest::newRow("rows added") << 3;
}

// A fit that finds nothing changed since the last one keeps the widths; any change that can move
// them gets a fit of its own.
void tst_MyTableView::fitFollowsEveryChange()
{
    QFETCH(int, change);
    const int column = displayListModel::ModelNameColumn;
    m_view->fitColumnsToContents();
    const int fitted = m_view->columnWidth(column);
    const QString longName = QStringLiteral("QX-%1").arg(QString(80, QLatin1Char('W')));
    const int longWidth = m_view->fontMetrics().horizontalAdvance(longName);
    QVERIFY(longWidth > fitted);

    switch (change) {
    case 0:
        m_entries[1].modelName = longName;
        m_model->rowChanged(1);
        break;
    case 1:
        m_view->setColumnWidth(column, fitted + 200);
        break;
    case 2:
        m_view->setColumnHidden(column, true);
        m_view->fitColumnsToContents();
        m_entries[1].modelName = longName;
        m_view->setColumnHidden(column, false);
        m_view->setColumnWidth(column, 5);
        break;
    case 3:
        m_entries.append(entry("10.0.0.1", 3));
        m_entries.last().modelName = longName;
        m_model->addRow(int(m_entries.size()));
        break;
    }
    m_view->fitColumnsToContents();
    if (change == 1) {
        QCOMPARE(m_view->columnWidth(column), fitted);
    } else {
        QVERIFY2(m_view->columnWidth(column) >= longWidth,
                 qPrintable(QStringLiteral("%1 < %2").arg(m_view->columnWidth(column)).arg(longWidth)));
    }
}

QTEST_MAIN(tst_MyTableView)
#include "tst_mytableview.moc"
