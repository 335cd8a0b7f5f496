// Renders the small dialogs as a technician sees them, each saved as a PNG named after it and the
// palette: the About dialog, the settings dialog at the size it opens with (and filled in, with a
// refused server address), the log window, the update cautions, the targeted search dialog, the
// confirmation before a LAN update (at the size it opens with), the display table with long
// status texts and the update history with a few rows.

#include "app/AppPalette.h"
#include "app/AppTranslations.h"
#include "dialogs/About_Dialog.h"
#include "dialogs/AdvancedIPSearchDialog.h"
#include "dialogs/ConfirmWithScrollMsgAreaDialog.h"
#include "dialogs/OptionSetting.h"
#include "dialogs/UpdateHistoryDialog.h"
#include "dialogs/UpdateWarningMessageDialog.h"
#include "history/UpdateHistory.h"
#include "log/SV_Information_Dialog.h"
#include "queue/UpdateSummary.h"
#include "table/MySortFilterProxyModel.h"
#include "table/MyTableView.h"
#include "table/displayListModel.h"
#include "theme/Theme.h"
#include "update/UpdateStatusText.h"

#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// Rows of a small batch: plain, each of the three notes, and one the queue will refuse.
DisplayEntryList batchRows()
{
    DisplayEntryList rows;
    const auto add = [&rows](const QString &model, int series, int duration) -> DisplayEntry & {
        DisplayEntry e;
        e.selected = true;
        e.downloadState = 3;
        e.modelName = model;
        e.serialNumber = QStringLiteral("7Y%1").arg(rows.size() + 100231);
        e.address = QHostAddress(QStringLiteral("127.0.74.%1").arg(rows.size() + 1));
        e.catalogueSeries = series;
        e.currentFirmware = QStringLiteral("R1.000");
        e.latestVersion = QStringLiteral("R1.100");
        e.updateDurationSecs = duration;
        e.powerState = 1;
        rows.append(e);
        return rows.last();
    };
    add(QStringLiteral("QX-551"), 3, 300);
    add(QStringLiteral("QX-651"), 3, 300).manualPowerCycle = 2;
    add(QStringLiteral("PL-432"), 1, 240).powerSaveMode = 1;
    DisplayEntry &normal = add(QStringLiteral("WV-86"), 11, 420);
    normal.needPowerSaveModeToNormal = 1;
    normal.powerSaveModeVcp = 1;
    add(QStringLiteral("MB-32"), 7, 300).currentFirmware = QStringLiteral("R0.900");
    return rows;
}

bool save(QWidget &widget, const QString &folder, const QString &name)
{
    widget.show();
    QCoreApplication::processEvents();
    const QString dark = QGuiApplication::palette().color(QPalette::Window).lightness() < 128
            ? QStringLiteral("dark") : QStringLiteral("light");
    const QString path = QDir(folder).filePath(QStringLiteral("%1-%2-%3.png").arg(name, dark, QLocale::system().name()));
    const bool ok = widget.grab().save(path);
    std::printf("%s %dx%d %s\n", qPrintable(path), widget.width(), widget.height(), ok ? "" : "(not saved)");
    widget.hide();
    return ok;
}

// A morning's batch of four displays and an earlier one cut short, as the history keeps them.
void fillHistory(UpdateHistory &history)
{
    const QDateTime batchStart = QDateTime::currentDateTimeUtc().addSecs(-3 * 3600);
    struct Row
    {
        const char *address, *model, *serial, *before, *after;
        UpdateAttempt::State state;
        int status, verification;
        const char *text;
        int minutes;
    };
    const Row rows[] = {
        { "127.0.74.1", "QX-551", "4A01233", "R1.100", "R2.000", UpdateAttempt::State::Settled, 3, 0,
          "Success. Verified: version R2.000", 0 },
        { "127.0.74.2", "QX-551", "4A01234", "R1.100", "R2.000", UpdateAttempt::State::Settled, 3, 1,
          "Success, but the display reports version R1.100", 1 },
        { "127.0.74.3", "PX-750", "7B00410", "3.010", "", UpdateAttempt::State::Settled, -3, -1, "", 2 },
        { "127.0.74.4", "PX-750", "7B00411", "3.010", "3.200", UpdateAttempt::State::Settled, 3, 0,
          "Success. Verified: version 3.200", 3 },
        { "127.0.75.9", "MX-430", "2C99817", "5.2", "", UpdateAttempt::State::Interrupted, 2, -1, "", -1440 },
    };
    QList<UpdateAttempt> attempts;
    for (const Row &row : rows) {
        UpdateAttempt attempt;
        attempt.batch = row.minutes < 0 ? QStringLiteral("earlier") : QStringLiteral("morning");
        attempt.started = batchStart.addSecs(row.minutes * 60);
        attempt.address = QString::fromLatin1(row.address);
        attempt.model = QString::fromLatin1(row.model);
        attempt.serial = QString::fromLatin1(row.serial);
        attempt.firmwareBefore = QString::fromLatin1(row.before);
        attempt.targetVersion = row.state == UpdateAttempt::State::Interrupted ? QStringLiteral("5.4") : QString::fromLatin1(row.after).isEmpty() ? QStringLiteral("3.200") : QString::fromLatin1(row.after);
        attempt.firmwareAfter = row.verification >= 0 ? QString::fromLatin1(row.verification == 1 ? row.before : row.after) : QString();
        attempt.state = row.state;
        attempt.status = row.status;
        attempt.statusText = row.status == 3 ? QStringLiteral("Success") : QStringLiteral("Error: Timeout.");
        attempt.verification = row.verification;
        attempt.verificationText = QString::fromLatin1(row.text);
        if (row.state == UpdateAttempt::State::Settled)
            attempt.settled = attempt.started.addSecs(420);
        attempt.packageName = QStringLiteral("%1_fw.zip").arg(attempt.model);
        attempt.frontEnd = row.minutes == 3 ? QStringLiteral("quillonctl") : QStringLiteral("window");
        attempt.userName = QStringLiteral("tech");
        attempts.append(attempt);
    }
    history.appendAttempts(attempts);
}

}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: dialogshots <output folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    AppPalette::applyFromEnvironment();
    AppTranslations translations;
    translations.install();

    int failed = 0;
    About_Dialog about(nullptr, QStringLiteral("Firmware database version: 42<br>"), QString());
    failed += !save(about, folder, QStringLiteral("about"));
    OptionSetting settings(true, false, 5, nullptr);
    failed += !save(settings, folder, QStringLiteral("settings"));
    // Filled in: the rollout on, a server address refused, and the variable that overrides it.
    OptionSetting filled(true, false, 20, nullptr);
    RolloutPolicy rollout;
    rollout.firstPerModel = true;
    rollout.maxFailures = 3;
    filled.setRolloutPolicy(rollout);
    filled.setFirmwareServerUrl(QStringLiteral("mirror.example/firmwareupdates/"),
                                QStringLiteral("http://127.0.0.1:8123/firmwareupdates/"));
    filled.show();
    filled.accept();
    failed += !save(filled, folder, QStringLiteral("settings-filled"));
    SV_Information_Dialog log;
    log.append(QStringLiteral("2026.12.10:141500 | Firmware catalogue URL: http://127.0.0.1:8123/firmwareupdates/pd_firmware_releases.json"));
    log.append(QStringLiteral("2026.12.10:141503 | UDP found model: \"QX-551\" IP address: 127.0.74.1"));
    failed += !save(log, folder, QStringLiteral("log"));
    UpdateWarningMessageDialog cautions;
    failed += !save(cautions, folder, QStringLiteral("cautions"));
    AdvancedIPSearchDialog targets;
    targets.setText(QStringLiteral("127.0.74.1 - 30\n192.0.2.*"));
    failed += !save(targets, folder, QStringLiteral("targeted"));

    const DisplayEntryList rows = batchRows();
    UpdateSummary::Options options;
    options.headerColour = QGuiApplication::palette().color(QPalette::Base).name(QColor::HexRgb);
    options.note1IconPath = Theme::themedIconPath(QStringLiteral("reset power"));
    const UpdateSummary::Texts texts = UpdateSummary::build(rows, options);
    ConfirmWithScrollMsgAreaDialog summary(nullptr, QStringLiteral("Quillon"), texts.header, texts.table, texts.message);
    failed += !save(summary, folder, QStringLiteral("summary"));

    // The status column as the window shows it: a multi-file update under way, the notes before
    // confirming, and a refused row's text.
    DisplayEntryList tableRows = rows;
    tableRows[0].updateStatus = 2;
    tableRows[0].componentCount = 2;
    tableRows[0].componentProgress = { 100, 0, -1, -1, -1, -1 };
    tableRows[1].selected = false;
    tableRows[1].updateNote = QCoreApplication::translate(
            "QueueRefusal", "Not queued: the firmware has %1 files, more than the %2 a LAN update can send.")
                                      .arg(9)
                                      .arg(6);
    displayListModel model;
    model.setEntries(&tableRows);
    model.setStatusTextLookup(&UpdateStatusText::text);
    MySortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    MyTableView table;
    table.setModel(&proxy);
    table.setColumnHidden(displayListModel::AssetTagColumn, true);
    table.setColumnHidden(displayListModel::MacAddressColumn, true);
    table.resize(1100, 260);
    table.show();
    QCoreApplication::processEvents();
    table.fitColumnsToContents();
    table.scrollTo(proxy.index(0, displayListModel::StatusColumn));
    failed += !save(table, folder, QStringLiteral("table-status"));
    QTemporaryDir historyFolder;
    UpdateHistory history(historyFolder.filePath(QStringLiteral("history.sqlite")));
    history.open();
    fillHistory(history);
    UpdateHistoryDialog historyDialog(history);
    historyDialog.resize(1180, 360);
    failed += !save(historyDialog, folder, QStringLiteral("history"));
    return failed ? 1 : 0;
}
