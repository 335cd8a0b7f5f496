// Renders the information panel as the main window shows it, in a QTextBrowser, for a few
// typical rows and both appearances, and saves each as a PNG for review.

#include "catalogue/FirmwareRelease.h"
#include "panel/DisplayInfoPanel.h"
#include "theme/Theme.h"
#include "update/UpdateStatusText.h"

#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QTextBrowser>
#include <cstdio>

namespace {

struct Shot
{
    QString name;
    bool rowSelected;
    DisplayEntry row;
    bool withRelease;
};

DisplayEntry baseRow()
{
    DisplayEntry row;
    row.address = QHostAddress(QStringLiteral("192.168.10.41"));
    row.updateAddress = QHostAddress(QStringLiteral("192.168.10.42"));
    row.modelName = QStringLiteral("PX-551");
    row.serialNumber = QStringLiteral("7A012345");
    row.macAddress = QStringLiteral("00-11-22-33-44-55");
    row.currentFirmware = QStringLiteral("R1.300");
    row.latestVersion = QStringLiteral("R1.402");
    row.componentVersion = { QStringLiteral("1.30"), QStringLiteral("2.04"), QStringLiteral("0.91"),
                             QStringLiteral("1.00"), QString(), QString() };
    row.componentCount = 2;
    row.powerState = 1;
    row.selected = true;
    row.catalogueSeries = 4;
    row.updateViaHTTP = 1;
    row.updateViaUSB = 1;
    row.updateDurationSecs = 900;
    row.manualPowerCycle = 1;
    return row;
}

FirmwareRelease release()
{
    FirmwareRelease release;
    release.powerLEDBinkCodeProgress = 2;
    release.powerLEDBinkCodeDone = 1;
    release.powerLEDBinkCodeError = 3;
    release.documentationList = {
        { QStringLiteral("User manual"), QStringLiteral("https://docs.example.invalid/px551/manual.pdf") },
        { QStringLiteral("Installation guide"), QStringLiteral("https://docs.example.invalid/px551/install.pdf") },
        { QStringLiteral("Control commands"), QStringLiteral("https://docs.example.invalid/px551/commands.pdf") },
        { QStringLiteral("Data sheet"), QStringLiteral("https://docs.example.invalid/px551/sheet.pdf") },
    };
    return release;
}

QList<Shot> shots()
{
    DisplayEntry newFirmware = baseRow();
    newFirmware.firmwareStatus = FirmwareStatus::NewForLan;
    newFirmware.changeLists = { QStringLiteral("Improved HDMI hot-plug detection|Fixed a scheduler that skipped "
                                               "the first entry after midnight"),
                                QStringLiteral("Added the <b>Japanese</b> on-screen menu") };

    DisplayEntry locked = baseRow();
    locked.firmwareStatus = FirmwareStatus::NewForLan;
    locked.lockStatus = 1;
    locked.commStatus = 2;

    DisplayEntry silent = baseRow();
    silent.selected = false;
    silent.powerState = -1;
    silent.commStatus = 1;
    silent.firmwareStatus = FirmwareStatus::NoVersionInfo;
    silent.currentFirmware.clear();
    silent.latestVersion.clear();
    silent.serialNumber.clear();

    return {
        { QStringLiteral("new-firmware"), true, newFirmware, true },
        { QStringLiteral("locked"), true, locked, true },
        { QStringLiteral("comm-error"), true, silent, false },
        { QStringLiteral("no-selection"), false, DisplayEntry(), false },
    };
}

QPalette darkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x2d, 0x2d, 0x2d));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x5a, 0xb4, 0xff));
    return palette;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(out.path()));
        return 1;
    }

    const QPalette light = app.palette();
    const FirmwareRelease catalogueRelease = release();
    int failures = 0;
    for (const bool dark : { false, true }) {
        QApplication::setPalette(dark ? darkPalette() : light);
        DisplayInfoPanel::WindowState state;
        state.searchAttempted = true;
        state.databaseLoaded = true;
        state.rowCount = 3;
        state.darkTheme = Theme::isDarkAppearance();
        state.colours = Theme::panelColours(state.darkTheme);
        const DisplayInfoPanel panel(state, Theme::themedIconPath, UpdateStatusText::text);

        for (const Shot &shot : shots()) {
            QTextBrowser browser;
            browser.setOpenExternalLinks(true);
            browser.resize(880, shot.rowSelected ? 980 : 520);
            browser.setHtml(panel.build(shot.rowSelected ? &shot.row : nullptr,
                                        shot.withRelease ? &catalogueRelease : nullptr));
            browser.show();
            QApplication::processEvents();
            const QString file = out.filePath(shot.name + (dark ? "-dark.png" : "-light.png"));
            if (!browser.grab().save(file)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                ++failures;
            } else {
                std::printf("%s\n", qPrintable(file));
            }
        }
    }
    return failures == 0 ? 0 : 1;
}
