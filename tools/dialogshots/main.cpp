// Renders the small dialogs as a technician sees them, each saved as a PNG named after it and the
// palette: the About dialog, the settings dialog at the size it opens with (and filled in, with a
// refused server address), the log window, the update cautions and the targeted search dialog.

#include "app/AppPalette.h"
#include "app/AppTranslations.h"
#include "dialogs/About_Dialog.h"
#include "dialogs/AdvancedIPSearchDialog.h"
#include "dialogs/OptionSetting.h"
#include "dialogs/UpdateWarningMessageDialog.h"
#include "log/SV_Information_Dialog.h"

#include <QApplication>
#include <QDir>
#include <QPalette>
#include <cstdio>

namespace {

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
    return failed ? 1 : 0;
}
