// Renders the USB drive dialog (information, instructions, a finished copy, an error) and the
// model search dialog with its variant boxes, in both appearances, and saves each as a PNG.

#include "platform/RemovableDriveList.h"
#include "usb/CreateUSBDriveDialog.h"
#include "usb/search_model_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

namespace {

class FolderDrives : public RemovableDriveList
{
public:
    explicit FolderDrives(QList<RemovableDrive> drives) : m_drives(std::move(drives)) {}
    QList<RemovableDrive> drives() const override { return m_drives; }

private:
    QList<RemovableDrive> m_drives;
};

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2d, 0x2d, 0x2d));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    p.setColor(QPalette::AlternateBase, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x5a, 0xb4, 0xff));
    p.setColor(QPalette::PlaceholderText, QColor(0x9a, 0x9a, 0x9a));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    return p;
}

FirmwareRelease sampleRelease(const QString &cache)
{
    FirmwareRelease release;
    release.releaseDate = QStringLiteral("2025-06-30");
    release.changes = { QStringLiteral("R1.402"), QStringLiteral("1.4.2"),
                        QStringLiteral("Improved HDMI hot-plug detection|Fixed a scheduler that skipped the first "
                                       "entry after midnight|Added the <b>Japanese</b> on-screen menu") };
    release.previousVersionChangeList = { { QStringLiteral("R1.300"), QStringLiteral("R1.300"),
                                            QStringLiteral("First release for the PX series") } };
    release.models = { QStringLiteral("PX-551"), QStringLiteral("PX-651"), QStringLiteral("PX-751"),
                       QStringLiteral("PX-861 (outdoor)") };
    release.documentationList = {
        { QStringLiteral("User manual"), QStringLiteral("https://docs.example.invalid/px/manual.pdf") },
        { QStringLiteral("Firmware update guide"), QStringLiteral("https://docs.example.invalid/px/update.pdf") },
    };
    release.needSNMatchPosition = 3;
    release.needSNMatchDetailedDescription = QStringLiteral("Only for displays whose serial number has an A or B "
                                                           "as its third character.");
    release.updateviaUSBInstructions = QStringLiteral(
        "^Keep the display connected to AC power during the whole update.|Insert the USB drive into the display's "
        "USB port marked <b>SERVICE</b>.|Open the on-screen menu and choose <i>Firmware update</i>.|Wait until the "
        "power LED stops flashing, then remove the drive.");
    release.updateViaUSB = 3;
    release.baseUSBFolderName = QStringLiteral("PXFW");
    const QByteArray data(3 * 1024 * 1024 + 12345, 'f');
    QFile file(cache + QStringLiteral("/PX-551_R1.402.bin"));
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
    release.downloadLoc = QStringLiteral("http://127.0.0.1/firmwareupdates/PX-551_R1.402.bin");
    release.fileSize = data.size();
    release.fileChecksum = QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
    return release;
}

FirmwareDatabase sampleCatalogue()
{
    auto release = [](const QString &model, const QString &sn, const QString &region) {
        return QJsonObject { { "models", QJsonArray { model } }, { "updateViaUSB", 3 },
                             { "needSNMatchPosition", sn.isEmpty() ? 0 : 1 }, { "needSNMatchListingText", sn },
                             { "needRegionSelectListingText", region },
                             { "downloadLoc", "http://127.0.0.1/firmwareupdates/x.zip" } };
    };
    const QJsonObject root { { "info", QJsonObject { { "databaseVersion", 1 } } },
                             { "firmware", QJsonArray { release("PX-551", {}, {}),
                                                        release("MX-4320", "Serial number starts with 7", "Europe"),
                                                        release("MX-4320", "Serial number starts with 8", "Europe"),
                                                        release("MX-4320", "Serial number starts with 7", "North America") } } };
    FirmwareDatabase db;
    db.parse(QJsonDocument(root).toJson(), QLocale::English);
    return db;
}

int save(QWidget &widget, const QDir &out, const QString &name)
{
    widget.show();
    QApplication::processEvents();
    const QString file = out.filePath(name);
    if (!widget.grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return 1;
    }
    std::printf("%s\n", qPrintable(file));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    QTemporaryDir work;
    if ((!out.exists() && !QDir().mkpath(out.path())) || !work.isValid()) {
        std::fprintf(stderr, "cannot create the output or work folder\n");
        return 1;
    }
    const QString cache = work.filePath(QStringLiteral("cache"));
    const QString stick = work.filePath(QStringLiteral("stick"));
    QDir().mkpath(cache);
    QDir().mkpath(stick);
    const FirmwareRelease release = sampleRelease(cache);
    const FirmwareDatabase db = sampleCatalogue();
    const QList<RemovableDrive> drives = { { stick, QStringLiteral("FW STICK"), 16'008'609'792, QStringLiteral("FAT32") },
                                           { QStringLiteral("/media/tech/CAMERA"), QStringLiteral("CAMERA"),
                                             64'023'000'000, QStringLiteral("exFAT") } };

    const QPalette light = app.palette();
    int failures = 0;
    for (const bool dark : { false, true }) {
        QApplication::setPalette(dark ? darkPalette() : light);
        const QString suffix = dark ? QStringLiteral("-dark.png") : QStringLiteral("-light.png");

        for (int tab : { 0, 1, 2 }) {
            CreateUSBDriveDialog dialog(cache, release, std::make_unique<FolderDrives>(drives));
            dialog.findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(tab);
            static const char *names[] = { "usb-information", "usb-history", "usb-instructions" };
            failures += save(dialog, out, QLatin1String(names[tab]) + suffix);
        }
        {
            CreateUSBDriveDialog dialog(cache, release, std::make_unique<FolderDrives>(drives));
            dialog.setFlushToDevice(false);
            dialog.show();
            dialog.findChild<QPushButton *>(QStringLiteral("copy_files_pushButton"))->click();
            failures += save(dialog, out, QStringLiteral("usb-copied") + suffix);
        }
        {
            FirmwareRelease missing = release;
            missing.downloadLoc = QStringLiteral("http://127.0.0.1/firmwareupdates/absent.bin");
            CreateUSBDriveDialog dialog(cache, missing, std::make_unique<FolderDrives>(drives));
            dialog.show();
            dialog.findChild<QPushButton *>(QStringLiteral("copy_files_pushButton"))->click();
            failures += save(dialog, out, QStringLiteral("usb-error") + suffix);
        }
        {
            search_model_dialog dialog(db);
            dialog.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(QStringLiteral("MX-4320"));
            failures += save(dialog, out, QStringLiteral("model-search-region") + suffix);
            dialog.findChild<QComboBox *>(QStringLiteral("select_region_variant_comboBox"))->setCurrentIndex(0);
            dialog.findChild<QComboBox *>(QStringLiteral("select_model_variant_comboBox"))->setCurrentIndex(1);
            failures += save(dialog, out, QStringLiteral("model-search-chosen") + suffix);
        }
        {
            search_model_dialog dialog(db);
            failures += save(dialog, out, QStringLiteral("model-search-empty") + suffix);
        }
    }
    return failures == 0 ? 0 : 1;
}
