// Renders the small dialogs as a technician sees them, each saved as a PNG named after it and the
// palette: the About dialog, the settings dialog at the size it opens with, the log window, the
// update cautions, the targeted search dialog, the confirmation before a LAN update (at the size
// it opens with) and the display table with long status texts.

#include "app/AppPalette.h"
#include "app/AppTranslations.h"
#include "dialogs/About_Dialog.h"
#include "dialogs/AdvancedIPSearchDialog.h"
#include "dialogs/ConfirmWithScrollMsgAreaDialog.h"
#include "dialogs/OptionSetting.h"
#include "dialogs/UpdateWarningMessageDialog.h"
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
    return failed ? 1 : 0;
}
