#include "theme/Theme.h"
#include "table/displayListModel.h"
#include "update/UpdateStatusText.h"

#include <QApplication>
#include <QFont>
#include <QPixmap>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

using Edit = std::function<void(DisplayEntry &)>;
Q_DECLARE_METATYPE(Edit)

namespace {

const QString RightClickTip = QStringLiteral("Right-click to refresh Display Information or change Power State");

// Stand-ins for attached requests: the model only asks whether one is attached.
int requestMarker = 0;
TcpClient *const someControlRequest = reinterpret_cast<TcpClient *>(&requestMarker);
HttpClient *const someUpdateSession = reinterpret_cast<HttpClient *>(&requestMarker);

// A display that is on, reachable, and has newer firmware it can take over the LAN.
DisplayEntry lanRow(const Edit &edit = {})
{
    DisplayEntry entry;
    entry.powerState = 1;
    entry.address = QHostAddress(QStringLiteral("192.168.1.20"));
    entry.modelName = QStringLiteral("QX-551");
    entry.serialNumber = QStringLiteral("7Y00123");
    entry.currentFirmware = QStringLiteral("R1.000");
    entry.latestVersion = QStringLiteral("R2.000");
    entry.firmwareStatus = FirmwareStatus::NewForLan;
    entry.catalogueSeries = 3;
    entry.updateViaHTTP = 1;
    entry.requiresAppBuild = 250930;
    entry.powerSaveMode = 2;
    if (edit)
        edit(entry);
    return entry;
}

QImage iconImage(const QString &name)
{
    if (name.isEmpty())
        return {};
    return Theme::themedIcon(name).pixmap(displayListModel::IconSize, displayListModel::IconSize).toImage();
}

QImage cellIcon(const displayListModel &model, int row, int column)
{
    const QVariant value = model.cellData(row, column, Qt::DecorationRole);
    if (!value.isValid())
        return {};
    const QPixmap pixmap = value.value<QPixmap>();
    if (pixmap.size() != QSize(displayListModel::IconSize, displayListModel::IconSize))
        return QImage(1, 1, QImage::Format_Mono); // never equal to a real icon
    return pixmap.toImage();
}

}

class tst_displayListModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void statusColumn_data();
    void statusColumn();
    void availabilityColumn_data();
    void availabilityColumn();
    void actionColumn_data();
    void actionColumn();
    void progressText_data();
    void progressText();
    void progressTextFromRunningClock();
    void powerAndAddressColumns_data();
    void powerAndAddressColumns();
    void iconsFollowTheAppearance();
    void sortRole_data();
    void sortRole();
    void tooltipsAndFont();
    void headers();
    void extraSections();

    void checkBoxSetsSelectedOnce_data();
    void checkBoxSetsSelectedOnce();
    void otherRolesRefused();
    void rowAnnouncements();
    void noListMeansNoRows();
};

void tst_displayListModel::initTestCase()
{
    // Icons are compared as images: they must load and differ, or every comparison would pass.
    QVERIFY(!iconImage(QStringLiteral("info")).isNull());
    QVERIFY(!iconImage(QStringLiteral("warning")).isNull());
    QVERIFY(iconImage(QStringLiteral("info")) != iconImage(QStringLiteral("warning")));
}

void tst_displayListModel::statusColumn_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<bool>("legacySupport");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("icon");

    QTest::newRow("new firmware, nothing to say") << Edit() << false << QString() << QString();
    QTest::newRow("build 250930 is acceptable") << Edit([](DisplayEntry &e) { e.requiresAppBuild = 250930; })
                                               << false << QString() << QString();
    QTest::newRow("newer build needed") << Edit([](DisplayEntry &e) { e.requiresAppBuild = 250931; })
                                        << false << "Need newer application build 250931." << "info";
    QTest::newRow("newer build wins over every other text")
        << Edit([](DisplayEntry &e) {
               e.requiresAppBuild = 260101;
               e.selected = true;
               e.lockStatus = 1;
               e.commStatus = 1;
           })
        << false << "Need newer application build 260101." << "warning";
    QTest::newRow("newer build under a query") << Edit([](DisplayEntry &e) {
        e.requiresAppBuild = 260101;
        e.controlRequest = someControlRequest;
    }) << false << "Need newer application build 260101." << "refresh";
    QTest::newRow("locked and selected") << Edit([](DisplayEntry &e) {
        e.lockStatus = 1;
        e.selected = true;
    }) << false << "Error: Display is currently locked." << "warning";
    QTest::newRow("locked but not selected") << Edit([](DisplayEntry &e) { e.lockStatus = 1; })
                                             << false << QString() << QString();
    QTest::newRow("update address unreachable") << Edit([](DisplayEntry &e) {
        e.commStatus = 2;
        e.selected = true;
    }) << false << "Error: Firmware update IP address is unreachable." << "warning";
    QTest::newRow("update address unreachable, unticked") << Edit([](DisplayEntry &e) { e.commStatus = 2; })
                                                          << false << "Error: Firmware update IP address is unreachable."
                                                          << "warning";
    QTest::newRow("standby display hides its information") << Edit([](DisplayEntry &e) {
        e.powerState = 2;
        e.needPowerOnToReadInfo = 1;
        e.commStatus = 1;
    }) << false << "Power On required to report display information." << "info";
    // The text asks for standby or suspend, the icon only for "not on".
    QTest::newRow("unknown power, no versions") << Edit([](DisplayEntry &e) {
        e.powerState = -1;
        e.needPowerOnToReadInfo = 1;
        e.firmwareStatus = FirmwareStatus::NoVersionInfo;
    }) << false << QString() << "info";
    QTest::newRow("no communication") << Edit([](DisplayEntry &e) { e.commStatus = 1; })
                                      << false << "Unable to communicate with display." << "warning";
    QTest::newRow("must be on to update") << Edit([](DisplayEntry &e) {
        e.needPowerOnToUpdate = 1;
        e.powerState = 2;
        e.selected = true;
    }) << false << "Power state must be \"On\" to update firmware." << "warning";
    QTest::newRow("must be on, not selected") << Edit([](DisplayEntry &e) {
        e.needPowerOnToUpdate = 1;
        e.powerState = 2;
    }) << false << QString() << QString();
    QTest::newRow("power save will be switched off") << Edit([](DisplayEntry &e) {
        e.selected = true;
        e.catalogueSeries = 1;
        e.powerSaveMode = 1;
    }) << false << "Power Save Mode will be changed to \"Off\"" << "info";
    QTest::newRow("power save already off") << Edit([](DisplayEntry &e) {
        e.selected = true;
        e.catalogueSeries = 2;
        e.powerSaveMode = 2;
    }) << false << QString() << QString();
    // The release switches the display to "Normal" before its update: said before the user confirms.
    QTest::newRow("power save will be switched to normal") << Edit([](DisplayEntry &e) {
        e.selected = true;
        e.catalogueSeries = 11;
        e.needPowerSaveModeToNormal = 1;
        e.powerSaveModeVcp = 1;
    }) << false << "Power Save Mode will be changed to \"Normal\"" << "info";
    QTest::newRow("already normal") << Edit([](DisplayEntry &e) {
        e.selected = true;
        e.catalogueSeries = 11;
        e.needPowerSaveModeToNormal = 1;
        e.powerSaveModeVcp = 2;
    }) << false << QString() << QString();
    QTest::newRow("switched to normal, not selected") << Edit([](DisplayEntry &e) {
        e.catalogueSeries = 11;
        e.needPowerSaveModeToNormal = 1;
        e.powerSaveModeVcp = 1;
    }) << false << QString() << QString();
    QTest::newRow("switched to normal, queued") << Edit([](DisplayEntry &e) {
        e.selected = true;
        e.updateStatus = 1;
        e.needPowerSaveModeToNormal = 1;
        e.powerSaveModeVcp = 1;
    }) << false << "Queued" << "monitor pause";
    QTest::newRow("power save on another series") << Edit([](DisplayEntry &e) {
        e.selected = true;
        e.catalogueSeries = 3;
        e.powerSaveMode = 0;
    }) << false << QString() << QString();
    QTest::newRow("legacy, support off") << Edit([](DisplayEntry &e) {
        e.legacyModel = 1;
        e.firmwareStatus = FirmwareStatus::UpToDate;
    }) << false << "Firmware updates on legacy models is disabled. See Application settings." << QString();
    QTest::newRow("legacy, support on") << Edit([](DisplayEntry &e) { e.legacyModel = 1; })
                                        << true << QString() << QString();
    QTest::newRow("legacy, usb only") << Edit([](DisplayEntry &e) {
        e.legacyModel = 1;
        e.firmwareStatus = FirmwareStatus::NewForUsbOnly;
    }) << false << "Update via USB only" << "usb drive";
    QTest::newRow("legacy, not comparable") << Edit([](DisplayEntry &e) {
        e.legacyModel = 1;
        e.firmwareStatus = FirmwareStatus::NotComparable;
    }) << false << QString() << QString();
    QTest::newRow("last update succeeded") << Edit([](DisplayEntry &e) { e.resultStatus = 3; })
                                           << false << "Success" << "checkmark";
    QTest::newRow("succeeded, cycle the power") << Edit([](DisplayEntry &e) {
        e.resultStatus = 3;
        e.manualPowerCycle = 2;
    }) << false << "Success. Please manually cycle the display's AC power." << "checkmark and reset power";
    QTest::newRow("last update timed out") << Edit([](DisplayEntry &e) { e.resultStatus = -3; })
                                           << false << "Error: Timeout." << "monitor error";
    QTest::newRow("last upload retrying") << Edit([](DisplayEntry &e) { e.resultStatus = -5; })
                                          << false << "Upload failed. Retrying..." << "monitor error";
    QTest::newRow("last result unknown code") << Edit([](DisplayEntry &e) { e.resultStatus = 9; })
                                              << false << "Status: 9" << QString();
    QTest::newRow("queued") << Edit([](DisplayEntry &e) {
        e.updateStatus = 1;
        e.selected = true;
    }) << false << "Queued" << "monitor pause";
    QTest::newRow("queued, needs power, is on") << Edit([](DisplayEntry &e) {
        e.updateStatus = 1;
        e.needPowerOnToUpdate = 1;
        e.selected = true;
    }) << false << "Queued" << "monitor pause";
    QTest::newRow("running, applying") << Edit([](DisplayEntry &e) { e.updateStatus = 2; })
                                       << false << "Updating" << "monitor updating progress";
    QTest::newRow("running, uploading") << Edit([](DisplayEntry &e) {
        e.updateStatus = 2;
        e.uploading = true;
    }) << false << "Uploading" << "monitor download";
    QTest::newRow("session complete") << Edit([](DisplayEntry &e) { e.updateStatus = 3; })
                                      << false << "Complete." << "checkmark";
    QTest::newRow("session upload retry failed") << Edit([](DisplayEntry &e) { e.updateStatus = -4; })
                                                 << false << "Error: Upload retry failed." << "monitor error";
    QTest::newRow("session update failed") << Edit([](DisplayEntry &e) { e.updateStatus = 4; })
                                           << false << "Error: Update failed." << "monitor error";
    QTest::newRow("download failed") << Edit([](DisplayEntry &e) {
        e.selected = true;
        e.downloadState = 1;
    }) << false << QString() << "comm-error";
    QTest::newRow("a query in flight shows first") << Edit([](DisplayEntry &e) {
        e.firmwareStatus = FirmwareStatus::NewForUsbOnly;
        e.controlRequest = someControlRequest;
    }) << false << "Update via USB only" << "refresh";
}

void tst_displayListModel::statusColumn()
{
    QFETCH(Edit, edit);
    QFETCH(bool, legacySupport);
    QFETCH(QString, text);
    QFETCH(QString, icon);

    DisplayEntryList entries { lanRow(edit) };
    displayListModel model;
    model.setEntries(&entries);
    model.setStatusTextLookup(&UpdateStatusText::text);
    model.setLegacySupport(legacySupport);

    const QModelIndex cell = model.index(0, displayListModel::StatusColumn);
    QCOMPARE(cell.data(Qt::DisplayRole).toString(), text);
    QCOMPARE(cell.data(Qt::ToolTipRole).toString(), text);
    QVERIFY2(cellIcon(model, 0, displayListModel::StatusColumn) == iconImage(icon), qPrintable(icon));
}

void tst_displayListModel::availabilityColumn_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("red");
    QTest::addColumn<bool>("downloadIcon");

    const auto status = [](qint32 code, bool selected = false, qint32 downloadState = 0) {
        return Edit([=](DisplayEntry &e) {
            e.firmwareStatus = code;
            e.selected = selected;
            e.downloadState = downloadState;
            e.downloadPercent = 42;
        });
    };

    QTest::newRow("0 not evaluated") << status(0) << "Unknown" << false << false;
    QTest::newRow("negative code") << status(-1) << "Unknown" << false << false;
    QTest::newRow("code above 6") << status(7) << "Unknown" << false << false;
    QTest::newRow("1 no version info") << status(1) << "Version info not available from the display" << false << false;
    QTest::newRow("2 none for model") << status(2) << "None available for this model" << false << false;
    QTest::newRow("3 not comparable") << status(3) << "Unable to compare versions" << false << false;
    QTest::newRow("4 unchecked") << status(4) << "Up-to-date" << false << false;
    QTest::newRow("4 checked") << status(4, true) << "Available" << false << false;
    QTest::newRow("4 checked, downloading") << status(4, true, 2) << "42% Downloading" << false << true;
    QTest::newRow("4 checked, downloaded") << status(4, true, 3) << "Downloaded" << false << false;
    QTest::newRow("4 checked, download error") << status(4, true, 1) << "Download error" << true << false;
    QTest::newRow("4 checked, unknown download state") << status(4, true, 5) << "New version R2.000 available" << false << false;
    QTest::newRow("5 usb only") << status(5, true, 2) << "New version R2.000 available" << false << false;
    QTest::newRow("6 new") << status(6) << "New version R2.000 available" << false << false;
    QTest::newRow("6 unchecked, downloading") << status(6, false, 2) << "42% Downloading" << false << false;
    QTest::newRow("6 checked, downloading") << status(6, true, 2) << "42% Downloading" << false << true;
    QTest::newRow("6 downloaded") << status(6, true, 3) << "New version R2.000 downloaded" << false << false;
    QTest::newRow("6 unchecked, download error") << status(6, false, 1) << "Download error" << false << false;
    QTest::newRow("6 checked, download error") << status(6, true, 1) << "Download error" << true << false;
    QTest::newRow("6 error, build too new") << Edit([](DisplayEntry &e) {
        e.selected = true;
        e.downloadState = 1;
        e.requiresAppBuild = 250931;
    }) << "Download error" << false << false;
    QTest::newRow("6 unknown download state") << status(6, true, 7) << "Row1, Column9" << false << false;
}

void tst_displayListModel::availabilityColumn()
{
    QFETCH(Edit, edit);
    QFETCH(QString, text);
    QFETCH(bool, red);
    QFETCH(bool, downloadIcon);

    DisplayEntryList entries { lanRow(edit) };
    displayListModel model;
    model.setEntries(&entries);

    const QModelIndex cell = model.index(0, displayListModel::AvailabilityColumn);
    QCOMPARE(cell.data().toString(), text);
    const QVariant background = cell.data(Qt::BackgroundRole);
    QCOMPARE(background.isValid(), red);
    if (red)
        QCOMPARE(background.value<QBrush>().color(), QColor(Qt::red));
    QVERIFY(cellIcon(model, 0, displayListModel::AvailabilityColumn)
            == iconImage(downloadIcon ? QStringLiteral("cloud download") : QString()));
    // The red cell is column 8's alone.
    QVERIFY(!model.index(0, displayListModel::StatusColumn).data(Qt::BackgroundRole).isValid());
}

void tst_displayListModel::actionColumn_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<bool>("legacySupport");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("checkState"); // -1: no check box
    QTest::addColumn<bool>("enabled");

    QTest::newRow("new for LAN") << Edit() << false << "Update" << int(Qt::Unchecked) << true;
    QTest::newRow("new for LAN, checked") << Edit([](DisplayEntry &e) { e.selected = true; })
                                          << false << "Update" << int(Qt::Checked) << true;
    QTest::newRow("not comparable") << Edit([](DisplayEntry &e) { e.firmwareStatus = 3; })
                                    << false << "Update" << int(Qt::Unchecked) << true;
    QTest::newRow("up to date") << Edit([](DisplayEntry &e) { e.firmwareStatus = 4; })
                                << false << "Overwrite" << int(Qt::Unchecked) << true;
    QTest::newRow("usb only") << Edit([](DisplayEntry &e) { e.firmwareStatus = 5; })
                              << false << QString() << -1 << true;
    QTest::newRow("none for model") << Edit([](DisplayEntry &e) { e.firmwareStatus = 2; })
                                    << false << QString() << -1 << true;
    QTest::newRow("no LAN update") << Edit([](DisplayEntry &e) { e.updateViaHTTP = 0; })
                                   << false << QString() << -1 << true;
    QTest::newRow("newer build needed") << Edit([](DisplayEntry &e) {
        e.requiresAppBuild = 250931;
        e.selected = true;
    }) << false << QString() << -1 << true;
    QTest::newRow("legacy, support off") << Edit([](DisplayEntry &e) { e.legacyModel = 1; })
                                         << false << "Update" << int(Qt::Unchecked) << false;
    QTest::newRow("legacy, support on") << Edit([](DisplayEntry &e) { e.legacyModel = 1; })
                                        << true << "Update" << int(Qt::Unchecked) << true;
    QTest::newRow("update session attached") << Edit([](DisplayEntry &e) {
        e.updateSession = someUpdateSession;
        e.selected = true;
    }) << true << "Update" << int(Qt::Checked) << false;
}

void tst_displayListModel::actionColumn()
{
    QFETCH(Edit, edit);
    QFETCH(bool, legacySupport);
    QFETCH(QString, text);
    QFETCH(int, checkState);
    QFETCH(bool, enabled);

    DisplayEntryList entries { lanRow(edit) };
    displayListModel model;
    model.setEntries(&entries);
    model.setStatusTextLookup(&UpdateStatusText::text);
    model.setLegacySupport(legacySupport);

    const QModelIndex cell = model.index(0, displayListModel::ActionColumn);
    QCOMPARE(cell.data().toString(), text);
    const QVariant state = cell.data(Qt::CheckStateRole);
    QCOMPARE(state.isValid() ? state.toInt() : -1, checkState);

    const Qt::ItemFlags flags = model.flags(cell);
    QVERIFY(flags.testFlag(Qt::ItemIsSelectable));
    QCOMPARE(flags.testFlag(Qt::ItemIsEnabled), enabled);
    QCOMPARE(flags.testFlag(Qt::ItemIsUserCheckable), checkState != -1);

    // The other columns stay usable whatever the row's state, and never carry a check box.
    for (int column = 1; column < displayListModel::ColumnCount; ++column) {
        QCOMPARE(model.flags(model.index(0, column)), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        QVERIFY(!model.index(0, column).data(Qt::CheckStateRole).isValid());
    }
}

void tst_displayListModel::progressText_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<QString>("text");

    const auto running = [](qint32 count, std::array<qint32, 6> progress, const Edit &more = {}) {
        return Edit([=](DisplayEntry &e) {
            e.updateStatus = 2;
            e.componentCount = count;
            e.componentProgress = progress;
            if (more)
                more(e);
        });
    };
    const std::array<qint32, 6> none { -1, -1, -1, -1, -1, -1 };

    QTest::newRow("first done, second at 40") << running(2, { 100, 40, -1, -1, -1, -1 }) << qint64(0)
                                              << "Updating 70% Completed: FW1";
    QTest::newRow("nothing reported yet") << running(1, none) << qint64(0) << "Updating 0%";
    QTest::newRow("only the counted components add up") << running(2, { 50, 50, 100, 100, 100, 100 }) << qint64(0)
                                                         << "Updating 50%";
    QTest::newRow("five and six count, are never named") << running(6, { 100, 100, 100, 100, 100, 100 }) << qint64(0)
                                                         << "Updating 100% Completed: FW1 FW2 FW3 FW4";
    QTest::newRow("remaining 03:55") << running(1, none, [](DisplayEntry &e) { e.updateDurationSecs = 300; })
                                     << qint64(65000) << "Updating 0% Estimated time remaining: 03:55";
    QTest::newRow("part seconds are dropped") << running(1, none, [](DisplayEntry &e) { e.updateDurationSecs = 300; })
                                              << qint64(65999) << "Updating 0% Estimated time remaining: 03:55";
    QTest::newRow("overrun by 5 s") << running(1, none, [](DisplayEntry &e) { e.updateDurationSecs = 300; })
                                    << qint64(305000) << "Updating 0% Estimated time remaining: 00:05";
    QTest::newRow("overrun by 125 s") << running(1, none, [](DisplayEntry &e) { e.updateDurationSecs = 300; })
                                      << qint64(425000) << "Updating 0% Estimated time remaining: -2:05";
    QTest::newRow("uploading, no upload figure")
        << running(3, { 100, 50, -1, -1, -1, -1 }, [](DisplayEntry &e) { e.uploading = true; })
        << qint64(0) << "Uploading 50% Completed: FW1";
    QTest::newRow("uploading with its own figure") << running(1, none, [](DisplayEntry &e) {
        e.uploading = true;
        e.uploadPercent = 30;
        e.updateDurationSecs = 120;
    }) << qint64(0) << "Uploading 30% Estimated time remaining: 02:00";
    QTest::newRow("multi-file model, completed and remaining")
        << running(2, { 100, 0, -1, -1, -1, -1 }, [](DisplayEntry &e) { e.updateDurationSecs = 600; })
        << qint64(60000) << "Updating 50% Completed: FW1 Estimated time remaining: 09:00";
    QTest::newRow("no components, applying") << running(0, none) << qint64(0) << "Updating";
    QTest::newRow("no components, uploading") << running(0, none, [](DisplayEntry &e) { e.uploading = true; })
                                              << qint64(0) << "Uploading";
    QTest::newRow("negative component count") << running(-3, none) << qint64(0) << "Updating";
    QTest::newRow("absurd component count") << running(1000000, { 100, 100, 100, 100, 100, 100 }) << qint64(0)
                                            << "Updating 100% Completed: FW1 FW2 FW3 FW4";
}

void tst_displayListModel::progressText()
{
    QFETCH(Edit, edit);
    QFETCH(qint64, elapsedMs);
    QFETCH(QString, text);

    QCOMPARE(displayListModel::progressText(lanRow(edit), elapsedMs), text);
}

void tst_displayListModel::progressTextFromRunningClock()
{
    DisplayEntryList entries { lanRow([](DisplayEntry &e) {
        e.updateStatus = 2;
        e.componentCount = 2;
        e.componentProgress = { 100, 40, -1, -1, -1, -1 };
        e.updateDurationSecs = 300;
        e.updateTimer.start();
    }) };
    displayListModel model;
    model.setEntries(&entries);

    const QString text = model.index(0, displayListModel::StatusColumn).data().toString();
    QVERIFY2(text == QLatin1String("Updating 70% Completed: FW1 Estimated time remaining: 05:00")
                 || text == QLatin1String("Updating 70% Completed: FW1 Estimated time remaining: 04:59"),
             qPrintable(text));

    // A session that has not started its clock counts as just begun.
    entries[0].updateTimer.invalidate();
    QCOMPARE(model.index(0, displayListModel::StatusColumn).data().toString(),
             QStringLiteral("Updating 70% Completed: FW1 Estimated time remaining: 05:00"));
}

void tst_displayListModel::powerAndAddressColumns_data()
{
    QTest::addColumn<int>("powerState");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QVariant>("powerText");
    QTest::addColumn<QString>("powerIcon");
    QTest::addColumn<QString>("addressText");

    QTest::newRow("on, IPv4") << 1 << "10.0.0.2" << QVariant(QStringLiteral("Power On")) << "power-on" << "10.0.0.2";
    QTest::newRow("standby, mapped IPv4") << 2 << "::ffff:10.1.2.3" << QVariant(QStringLiteral("Standby"))
                                          << "power-off" << "10.1.2.3";
    QTest::newRow("suspend, IPv6") << 3 << "fe80::1" << QVariant(QStringLiteral("Suspend")) << "power-off" << "fe80::1";
    QTest::newRow("unknown, no address") << -1 << QString() << QVariant(QStringLiteral("Unknown")) << "power-unknown" << QString();
    QTest::newRow("out of range power") << 4 << "255.255.255.255" << QVariant(QStringLiteral("Unknown")) << "power-unknown"
                                        << "255.255.255.255";
}

void tst_displayListModel::sortRole_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("IPv4 as its number") << "10.0.0.2" << int(displayListModel::AddressColumn)
                                        << QVariant::fromValue<quint32>(0x0A000002);
    QTest::newRow("mapped IPv4 as its number") << "::ffff:192.168.1.20" << int(displayListModel::AddressColumn)
                                               << QVariant::fromValue<quint32>(0xC0A80114);
    QTest::newRow("highest IPv4") << "255.255.255.255" << int(displayListModel::AddressColumn)
                                  << QVariant::fromValue<quint32>(0xFFFFFFFF);
    QTest::newRow("IPv6 as its text") << "fe80::1" << int(displayListModel::AddressColumn)
                                      << QVariant(QStringLiteral("fe80::1"));
    QTest::newRow("other columns as their text") << "10.0.0.2" << int(displayListModel::ModelNameColumn)
                                                 << QVariant(QStringLiteral("QX-551"));
}

void tst_displayListModel::sortRole()
{
    QFETCH(QString, address);
    QFETCH(int, column);
    QFETCH(QVariant, value);

    DisplayEntryList entries { lanRow([&](DisplayEntry &e) { e.address = QHostAddress(address); }) };
    displayListModel model;
    model.setEntries(&entries);
    const QVariant got = model.index(0, column).data(displayListModel::SortRole);
    QCOMPARE(got.userType(), value.userType());
    QCOMPARE(got, value);
}

void tst_displayListModel::powerAndAddressColumns()
{
    QFETCH(int, powerState);
    QFETCH(QString, address);
    QFETCH(QVariant, powerText);
    QFETCH(QString, powerIcon);
    QFETCH(QString, addressText);

    DisplayEntryList entries { lanRow([&](DisplayEntry &e) {
        e.powerState = powerState;
        e.address = QHostAddress(address);
    }) };
    displayListModel model;
    model.setEntries(&entries);

    QCOMPARE(model.index(0, displayListModel::PowerStateColumn).data(), powerText);
    QVERIFY(cellIcon(model, 0, displayListModel::PowerStateColumn) == iconImage(powerIcon));
    QCOMPARE(model.index(0, displayListModel::AddressColumn).data().toString(), addressText);
}

// Icons are kept once loaded; a change between light and dark appearance must still show.
void tst_displayListModel::iconsFollowTheAppearance()
{
    DisplayEntryList entries { lanRow([](DisplayEntry &e) { e.powerState = 1; }) };
    displayListModel model;
    model.setEntries(&entries);
    const QPalette original = QApplication::palette();
    const QImage light = iconImage(QStringLiteral("power-on"));
    QVERIFY(cellIcon(model, 0, displayListModel::PowerStateColumn) == light);

    QPalette darkPalette = original;
    darkPalette.setColor(QPalette::Window, Qt::black);
    QApplication::setPalette(darkPalette);
    const QImage dark = iconImage(QStringLiteral("power-on"));
    QVERIFY(dark != light);
    QVERIFY(cellIcon(model, 0, displayListModel::PowerStateColumn) == dark);

    QApplication::setPalette(original);
    QVERIFY(cellIcon(model, 0, displayListModel::PowerStateColumn) == light);
}

void tst_displayListModel::tooltipsAndFont()
{
    DisplayEntryList entries { lanRow(), lanRow([](DisplayEntry &e) { e.firmwareStatus = 4; }) };
    displayListModel model;
    model.setEntries(&entries);

    for (int column = 0; column < displayListModel::StatusColumn; ++column) {
        QCOMPARE(model.index(0, column).data(Qt::ToolTipRole).toString(), RightClickTip);
        const QVariant bold = model.index(0, column).data(Qt::FontRole);
        QVERIFY(bold.isValid());
        QCOMPARE(bold.value<QFont>().weight(), QFont::Bold);
        QVERIFY(!model.index(1, column).data(Qt::FontRole).isValid());
    }
    QVERIFY(model.index(0, displayListModel::StatusColumn).data(Qt::FontRole).isValid());
    QCOMPARE(model.cellData(0, displayListModel::IdSection, Qt::ToolTipRole).toString(), RightClickTip);
    QVERIFY(!model.index(0, 1).data(Qt::DecorationRole).isValid());
    QVERIFY(!model.index(0, 1).data(Qt::EditRole).isValid());
}

void tst_displayListModel::headers()
{
    displayListModel model;
    const QStringList titles { "Action", "Model Name", "Serial Number", "Asset Tag", "IP Address", "MAC Address",
                               "Power State", "Current Firmware", "Firmware Availability", "Status", "Series",
                               "Firmware 1", "Firmware 2", "Firmware 3", "Firmware 4", "Json series" };
    for (int section = 0; section < titles.size(); ++section)
        QCOMPARE(model.headerData(section, Qt::Horizontal).toString(), titles.at(section));
    QVERIFY(!model.headerData(16, Qt::Horizontal).isValid());
    QCOMPARE(model.headerData(17, Qt::Horizontal).toString(), QStringLiteral("ID"));
    QVERIFY(!model.headerData(18, Qt::Horizontal).isValid());
    QCOMPARE(model.headerData(0, Qt::Vertical).toInt(), 1);
    QCOMPARE(model.headerData(41, Qt::Vertical).toInt(), 42);
    QVERIFY(!model.headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
    QCOMPARE(model.columnCount(), 10);
}

void tst_displayListModel::extraSections()
{
    DisplayEntryList entries { lanRow([](DisplayEntry &e) {
        e.displaySeries = 7;
        e.catalogueSeries = 9;
        e.componentVersion = { "V1", "V2", "V3", "V4", "V5", "V6" };
        e.componentProgress = { 10, 20, 30, 40, 50, 60 };
        e.address = QHostAddress(QStringLiteral("::ffff:10.1.2.3"));
    }) };
    displayListModel model;
    model.setEntries(&entries);

    QCOMPARE(model.cellData(0, 10, Qt::DisplayRole).toInt(), 7);
    QCOMPARE(model.cellData(0, 11, Qt::DisplayRole).toString(), QStringLiteral("V1"));
    QCOMPARE(model.cellData(0, 14, Qt::DisplayRole).toString(), QStringLiteral("V4"));
    QCOMPARE(model.cellData(0, 15, Qt::DisplayRole).toInt(), 9);
    QCOMPARE(model.cellData(0, 16, Qt::DisplayRole).toString(), QStringLiteral("Row1, Column17"));
    QCOMPARE(model.cellData(0, 17, Qt::DisplayRole).toString(), QStringLiteral("::ffff:10.1.2.3"));
    QCOMPARE(model.cellData(0, 18, Qt::DisplayRole).toString(), QStringLiteral("Row1, Column19"));

    entries[0].updateStatus = 2;
    QCOMPARE(model.cellData(0, 11, Qt::DisplayRole).toInt(), 10);
    QCOMPARE(model.cellData(0, 14, Qt::DisplayRole).toInt(), 40);

    QVERIFY(!model.cellData(1, 1, Qt::DisplayRole).isValid());
    QVERIFY(!model.cellData(-1, 1, Qt::DisplayRole).isValid());
}

void tst_displayListModel::checkBoxSetsSelectedOnce_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("selected");

    QTest::newRow("checked as int") << QVariant(int(Qt::Checked)) << true;
    QTest::newRow("checked as enum") << QVariant::fromValue(Qt::Checked) << true;
    QTest::newRow("unchecked") << QVariant(int(Qt::Unchecked)) << false;
    QTest::newRow("partially checked") << QVariant(int(Qt::PartiallyChecked)) << false;
}

void tst_displayListModel::checkBoxSetsSelectedOnce()
{
    QFETCH(QVariant, value);
    QFETCH(bool, selected);

    DisplayEntryList entries { lanRow(), lanRow([](DisplayEntry &e) { e.selected = !e.selected; }) };
    entries[1].selected = !selected;
    displayListModel model;
    model.setEntries(&entries);
    QSignalSpy needUpdate(&model, &displayListModel::need_update_ui);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    QVERIFY(model.setData(model.index(1, displayListModel::ActionColumn), value, Qt::CheckStateRole));

    QCOMPARE(entries[1].selected, selected);
    QCOMPARE(entries[0].selected, false);
    QCOMPARE(needUpdate.count(), 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(1, 0));
    QCOMPARE(changed.at(0).at(1).toModelIndex(), model.index(1, displayListModel::ColumnCount - 1));
}

void tst_displayListModel::otherRolesRefused()
{
    DisplayEntryList entries { lanRow() };
    displayListModel model;
    model.setEntries(&entries);
    QSignalSpy needUpdate(&model, &displayListModel::need_update_ui);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    const QModelIndex cell = model.index(0, displayListModel::ActionColumn);
    QVERIFY(!model.setData(cell, int(Qt::Checked), Qt::EditRole));
    QVERIFY(!model.setData(cell, int(Qt::Checked), Qt::DisplayRole));
    QVERIFY(!model.setData(model.index(0, 1), QStringLiteral("renamed"), Qt::EditRole));
    QVERIFY(!model.setData(QModelIndex(), int(Qt::Checked), Qt::CheckStateRole));

    QVERIFY(!entries[0].selected);
    QCOMPARE(entries[0].modelName, QStringLiteral("QX-551"));
    QCOMPARE(needUpdate.count(), 0);
    QCOMPARE(changed.count(), 0);
}

void tst_displayListModel::rowAnnouncements()
{
    DisplayEntryList entries { lanRow(), lanRow() };
    displayListModel model;
    model.setEntries(&entries);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    model.rowChanged(1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(1, 0));
    QCOMPARE(changed.at(0).at(1).toModelIndex(), model.index(1, 9));
    QCOMPARE(changed.at(0).at(2).value<QList<int>>(), QList<int> { Qt::DisplayRole });

    model.rowChanged(-1);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).toModelIndex(), model.index(0, 0));
    QCOMPARE(changed.at(1).at(1).toModelIndex(), model.index(1, 9));

    // A row that is gone by the time its change arrives is ignored.
    model.rowChanged(2);
    QCOMPARE(changed.count(), 2);

    entries.append(lanRow());
    model.addRow(int(entries.size()));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 2);
    QCOMPARE(inserted.at(0).at(2).toInt(), 2);
    QCOMPARE(model.rowCount(), 3);

    QVERIFY(model.insertRows(0, 0));
    QCOMPARE(inserted.count(), 1);

    entries.clear();
    model.resetAll();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.rowCount(), 0);
    model.rowChanged(-1);
    QCOMPARE(changed.count(), 2);
}

void tst_displayListModel::noListMeansNoRows()
{
    displayListModel model;
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.cellData(0, 1, Qt::DisplayRole).isValid());
    QVERIFY(!model.isRowIdle(0));
    QVERIFY(!model.hasPowerSaveSettings(0));
    model.rowChanged(-1);
    model.rowChanged(0);
}

QTEST_MAIN(tst_displayListModel)
#include "tst_displaylistmodel.moc"
