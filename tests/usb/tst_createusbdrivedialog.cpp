#include "common/MountedVolumes.h"
#include "common/TestPalette.h"
#include "common/UsbDialogWatcher.h"
#include "common/UsbDriveFixture.h"
#include "platform/RemovableDriveList.h"
#include "theme/Theme.h"
#include "usb/CreateUSBDriveDialog.h"
#include "usbwriter/UsbDriveWriter.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStorageInfo>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <memory>

using TestFiles::readFile;
using TestFiles::writeFile;

namespace {

// Folders standing in for drives; the test may change the list while the dialog holds it.
class FolderDrives : public RemovableDriveList
{
public:
    explicit FolderDrives(std::shared_ptr<QList<RemovableDrive>> drives)
        : m_drives(std::move(drives))
    {
    }
    QList<RemovableDrive> drives() const override { return *m_drives; }

private:
    std::shared_ptr<QList<RemovableDrive>> m_drives;
};

constexpr qint64 Stick16GB = 16'008'609'792; // 14.9 GiB
constexpr qint64 Stick16GBLarge = 16'106'127'360; // 15.0 GiB

// Answers the next message box with the given button and remembers its text.
class BoxAnswer : public QObject
{
public:
    explicit BoxAnswer(QMessageBox::StandardButton answer)
    {
        connect(&m_timer, &QTimer::timeout, this, [this, answer] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                text = box->text();
                title = box->windowTitle();
                format = box->textFormat();
                defaultButton = box->standardButton(box->defaultButton());
                box->button(answer)->click();
            }
        });
        m_timer.start(10);
    }
    QString text;
    QString title;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;

private:
    QTimer m_timer;
};

} // namespace

class tst_CreateUSBDriveDialog : public QObject
{
    Q_OBJECT

    struct Harness
    {
        UsbDriveFixture f;
        std::shared_ptr<QList<RemovableDrive>> drives = std::make_shared<QList<RemovableDrive>>();
        std::unique_ptr<CreateUSBDriveDialog> dialog;

        void open(const FirmwareRelease &release)
        {
            dialog = std::make_unique<CreateUSBDriveDialog>(f.cache, release, std::make_unique<FolderDrives>(drives));
            dialog->setFlushToDevice(false);
            dialog->show();
        }
        template <typename T>
        T *child(const char *name) const { return dialog->findChild<T *>(QLatin1String(name)); }
        QComboBox *combo() const { return child<QComboBox>("drive_comboBox"); }
        QString status() const { return child<QLabel>("status_label")->text(); }
        QPushButton *copyButton() const { return child<QPushButton>("copy_files_pushButton"); }
    };

    static FirmwareRelease twoFileRelease(UsbDriveFixture &f)
    {
        FirmwareRelease release;
        release.updateViaUSB = 2;
        release.baseUSBFolderName = QStringLiteral("FW");
        f.addUnpacked(release, QStringLiteral("main.bin"), QByteArray(300000, 'm'));
        f.addUnpacked(release, QStringLiteral("panel.pac"), QByteArray(5000, 'p'));
        return release;
    }

private slots:
    void driveList();
    void noSuitableDrive_data();
    void noSuitableDrive();
    void copyOutcomes_data();
    void copyOutcomes();
    void refusedReleaseSaysSoAtOnce_data();
    void refusedReleaseSaysSoAtOnce();
    void oldFirmwareAsksFirst_data();
    void oldFirmwareAsksFirst();
    void releaseInformation();
    void hostileCatalogueTexts();
    void openedModallyByAFlow();
};

void tst_CreateUSBDriveDialog::driveList()
{
    Harness h;
    QVERIFY(h.f.isValid());
    FirmwareRelease release = twoFileRelease(h.f);
    release.updateViaUSB = 3; // FAT16 and FAT32
    *h.drives = { { "/media/x/EXSTICK", "EXSTICK", Stick16GB, "exFAT" },
                  { h.f.drive, "FATSTICK", Stick16GB, "FAT32" },
                  { "/media/x/OLD", "OLD", Stick16GBLarge, "fat16" },
                  { "/media/x/WIN", "WIN", Stick16GBLarge, "NTFS" } };
    h.open(release);

    QComboBox *combo = h.combo();
    QCOMPARE(combo->count(), 4);
    QCOMPARE(combo->itemText(0), QStringLiteral("/media/x/EXSTICK (EXSTICK) [14 GB exFAT]"));
    QCOMPARE(combo->itemText(1), QStringLiteral("%1 (FATSTICK) [14 GB FAT32]").arg(h.f.drive));
    QCOMPARE(combo->itemText(2), QStringLiteral("/media/x/OLD (OLD) [15 GB fat16]"));
    QCOMPARE(combo->itemText(3), QStringLiteral("/media/x/WIN (WIN) [15 GB NTFS]"));

    auto *model = qobject_cast<QStandardItemModel *>(combo->model());
    const QList<bool> enabled = { false, true, true, false };
    const QImage check = TestPalette::render(Theme::themedIcon(QStringLiteral("checkmark")));
    const QImage cross = TestPalette::render(Theme::themedIcon(QStringLiteral("delete-red")));
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(model->item(i)->isEnabled(), enabled.at(i));
        QCOMPARE(combo->itemData(i).toString().isEmpty(), !enabled.at(i));
        QCOMPARE(TestPalette::render(combo->itemIcon(i)), enabled.at(i) ? check : cross);
    }

    // The first entry is the exFAT stick: listed, but not one to copy to.
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(h.status(), QStringLiteral("Select a suitably formatted USB drive."));
    QVERIFY(!h.copyButton()->isEnabled());
    combo->setCurrentIndex(1);
    QCOMPARE(h.status(), QStringLiteral("Ready."));
    QVERIFY(h.copyButton()->isEnabled());

    // A stick plugged in later shows after Refresh.
    h.drives->append({ "/media/x/NEW", "NEW", qint64(512) << 20, "FAT32" });
    QTest::mouseClick(h.child<QPushButton>("refresh_pushButton"), Qt::LeftButton);
    QCOMPARE(combo->count(), 5);
    QCOMPARE(combo->itemText(4), QStringLiteral("/media/x/NEW (NEW) [512 MB FAT32]"));
}

void tst_CreateUSBDriveDialog::noSuitableDrive_data()
{
    QTest::addColumn<QStringList>("fileSystems"); // one drive each
    QTest::addColumn<QString>("status");

    QTest::newRow("no drive at all") << QStringList() << "No USB drive found";
    QTest::newRow("one exFAT drive") << QStringList { "exFAT" } << "No suitably formatted USB drives found.";
    QTest::newRow("exFAT and NTFS") << QStringList { "exFAT", "NTFS" } << "No suitably formatted USB drives found.";
}

void tst_CreateUSBDriveDialog::noSuitableDrive()
{
    QFETCH(QStringList, fileSystems);
    QFETCH(QString, status);

    Harness h;
    QVERIFY(h.f.isValid());
    for (const QString &fileSystem : fileSystems)
        h.drives->append({ QStringLiteral("/media/x/") + fileSystem, fileSystem, Stick16GB, fileSystem });
    h.open(twoFileRelease(h.f));
    QCOMPARE(h.combo()->count(), fileSystems.size());
    QCOMPARE(h.status(), status);
    QVERIFY(!h.copyButton()->isEnabled());
    QVERIFY(!h.child<QProgressBar>("progressBar")->isVisible());

    // Refresh says what is there now: the drives taken out, then one put back in.
    h.drives->clear();
    QTest::mouseClick(h.child<QPushButton>("refresh_pushButton"), Qt::LeftButton);
    QCOMPARE(h.combo()->count(), 0);
    QCOMPARE(h.status(), QStringLiteral("No USB drive found"));
    QVERIFY(!h.copyButton()->isEnabled());
    h.drives->append({ h.f.drive, "EXSTICK", Stick16GB, "exFAT" });
    QTest::mouseClick(h.child<QPushButton>("refresh_pushButton"), Qt::LeftButton);
    QCOMPARE(h.status(), QStringLiteral("No suitably formatted USB drives found."));
}

void tst_CreateUSBDriveDialog::copyOutcomes_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("text");

    QTest::newRow("0") << "ok" << 0 << "Copied firmware file(s) to USB drive.";
    QTest::newRow("1") << "file in the folder's place" << 1 << "Error: Unable to create the firmware folder on the USB drive.";
    QTest::newRow("-1") << "stick pulled" << -1 << "Error: Invalid drive selected.";
    QTest::newRow("-3") << "unreadable source" << -3 << "Error: Unable to copy file(s).";
    QTest::newRow("-4") << "upper-case checksum" << -4 << "Error: Copied file(s) failed verification.";
    QTest::newRow("-5") << "source missing" << -5 << "Error: Source file(s) missing.";
    QTest::newRow("-6") << "target undeletable" << -6 << "Error: Unable to delete existing files.";
    QTest::newRow("-7") << "too large" << -7 << "Error: Not enough free space on USB drive.";
}

void tst_CreateUSBDriveDialog::copyOutcomes()
{
    SKIP_WITHOUT_MOUNTED_VOLUMES();
    QFETCH(QString, situation);
    QFETCH(int, result);
    QFETCH(QString, text);

    Harness h;
    QVERIFY(h.f.isValid());
    FirmwareRelease release = twoFileRelease(h.f);
    QString root = h.f.drive;
    if (situation == "file in the folder's place") {
        QVERIFY(writeFile(h.f.drive + "/FW", "x"));
    } else if (situation == "stick pulled") {
        root = h.f.dir.filePath("pulled");
        QVERIFY(QDir().mkpath(root));
    } else if (situation == "unreadable source") {
        QVERIFY(QFile::remove(h.f.cache + "/panel.pac") && QDir().mkpath(h.f.cache + "/panel.pac"));
    } else if (situation == "upper-case checksum") {
        release.unpackedFileInfo[0].fileChecksum = release.unpackedFileInfo[0].fileChecksum.toUpper();
    } else if (situation == "source missing") {
        QVERIFY(QFile::remove(h.f.cache + "/main.bin"));
    } else if (situation == "target undeletable") {
        QVERIFY(writeFile(h.f.drive + "/FW/main.bin/x", "x"));
    } else if (situation == "too large") {
        QFile big(h.f.cache + "/panel.pac");
        QVERIFY(big.open(QIODevice::ReadWrite) && big.resize(QStorageInfo(h.f.drive).bytesAvailable() + (qint64(1) << 30)));
    }
    *h.drives = { { root, "STICK", Stick16GB, "FAT32" } };
    h.open(release);
    if (situation == "stick pulled")
        QVERIFY(QDir(root).removeRecursively());

    QVERIFY(h.copyButton()->isEnabled());
    QTest::mouseClick(h.copyButton(), Qt::LeftButton);
    QCOMPARE(h.dialog->lastResult(), result);

    auto *progress = h.child<QProgressBar>("progressBar");
    QCOMPARE(progress->isVisible(), result == 0);
    const QString status = h.status();
    if (result == 0) {
        QCOMPARE(status, text);
        QCOMPARE(progress->value(), 400);
        QCOMPARE(progress->maximum(), 400);
        QCOMPARE(h.f.onDrive("FW/main.bin"), QByteArray(300000, 'm'));
    } else {
        QVERIFY2(status.startsWith(QLatin1String("<img src=\":/resources/warning.svg\" width=\"16\" height=\"16\"><font color=\"red\"> ")),
                 qPrintable(status));
        QVERIFY2(status.endsWith(text.toHtmlEscaped() + "</font>"), qPrintable(status));
    }
    QCOMPARE(readFile(h.f.beside + "/keep.bin"), QByteArray("must survive"));
    // The dialog stays open for another try.
    QVERIFY(h.dialog->isVisible());
    QCOMPARE(h.copyButton()->isEnabled(), true);
}

void tst_CreateUSBDriveDialog::refusedReleaseSaysSoAtOnce_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("text");
    QTest::newRow("-2: folder beside the root") << "../beside" << ""
        << "Error: The firmware release names a folder or file that is not a plain name on the USB drive. "
           "Nothing was copied.";
    QTest::newRow("-2: absolute folder") << "/tmp" << ""
        << "Error: The firmware release names a folder or file that is not a plain name on the USB drive. "
           "Nothing was copied.";
    QTest::newRow("-8: one name for two files") << "FW" << "FWUPDATE.BIN"
        << "Error: The firmware release would copy several files to the same name on the USB drive. "
           "Nothing was copied.";
}

void tst_CreateUSBDriveDialog::refusedReleaseSaysSoAtOnce()
{
    QFETCH(QString, folder);
    QFETCH(QString, destination);
    QFETCH(QString, text);

    Harness h;
    QVERIFY(h.f.isValid());
    FirmwareRelease release = twoFileRelease(h.f);
    release.baseUSBFolderName = folder;
    release.destinationUSBFileName = destination;
    QVERIFY(writeFile(h.f.drive + "/old.bin", "old"));
    QVERIFY(writeFile(h.f.beside + "/old.bin", "old beside"));
    *h.drives = { { h.f.drive, "STICK", Stick16GB, "FAT32" } };
    h.open(release);

    // Told when the dialog opens, not after a copy that cannot be right.
    QVERIFY(h.status().endsWith(text.toHtmlEscaped() + "</font>"));
    QVERIFY(h.status().contains(QLatin1String("warning.svg")));
    QVERIFY(!h.copyButton()->isEnabled());
    h.combo()->setCurrentIndex(0);
    QTest::mouseClick(h.child<QPushButton>("refresh_pushButton"), Qt::LeftButton);
    QVERIFY(!h.copyButton()->isEnabled());
    QMetaObject::invokeMethod(h.dialog.get(), "on_copy_files_pushButton_clicked");
    QCOMPARE(h.f.onDrive("old.bin"), QByteArray("old"));
    QCOMPARE(readFile(h.f.beside + "/old.bin"), QByteArray("old beside"));
    QCOMPARE(readFile(h.f.beside + "/keep.bin"), QByteArray("must survive"));
}

void tst_CreateUSBDriveDialog::oldFirmwareAsksFirst_data()
{
    QTest::addColumn<bool>("proceed");
    QTest::newRow("cancel keeps everything") << false;
    QTest::newRow("yes replaces the old firmware") << true;
}

void tst_CreateUSBDriveDialog::oldFirmwareAsksFirst()
{
    SKIP_WITHOUT_MOUNTED_VOLUMES();
    QFETCH(bool, proceed);
    Harness h;
    QVERIFY(h.f.isValid());
    QVERIFY(writeFile(h.f.drive + "/OLD.BIN", "old firmware"));
    *h.drives = { { h.f.drive, "STICK", Stick16GB, "FAT32" } };
    h.open(twoFileRelease(h.f));

    BoxAnswer answer(proceed ? QMessageBox::Yes : QMessageBox::Cancel);
    QTest::mouseClick(h.copyButton(), Qt::LeftButton);
    QCOMPARE(answer.text, QStringLiteral("Existing firmware files on drive %1 will be deleted. Proceed?")
                              .arg(QDir::toNativeSeparators(h.f.drive)));
    QCOMPARE(answer.title, h.dialog->windowTitle());
    QCOMPARE(answer.defaultButton, QMessageBox::Cancel);
    QCOMPARE(answer.format, Qt::PlainText);
    QCOMPARE(QFile::exists(h.f.drive + "/OLD.BIN"), !proceed);
    QCOMPARE(QFile::exists(h.f.drive + "/FW/main.bin"), proceed);
    QCOMPARE(h.status(), proceed ? QStringLiteral("Copied firmware file(s) to USB drive.") : QString());
}

void tst_CreateUSBDriveDialog::releaseInformation()
{
    Harness h;
    QVERIFY(h.f.isValid());
    FirmwareRelease release = twoFileRelease(h.f);
    release.changes = { QStringLiteral("R1.402"), QStringLiteral("1.4.2"), QStringLiteral("Fix A|Fix B") };
    release.releaseDate = QStringLiteral("2025-06-30");
    release.models = { QStringLiteral("PX-551"), QStringLiteral("PX-651") };
    release.updateviaUSBInstructions = QStringLiteral("^Before you start.|Insert the drive.|Press MENU.");
    release.updateViaUSB = 6;
    h.open(release);

    QCOMPARE(h.dialog->windowTitle(), QStringLiteral("Create Firmware USB Drive"));
    QCOMPARE(h.child<QLabel>("firmware_version_label")->text(), QStringLiteral("1.4.2"));
    QCOMPARE(h.child<QLabel>("firmware_revision_label")->text(), QStringLiteral("R1.402"));
    QCOMPARE(h.child<QLabel>("date_released_label")->text(), QStringLiteral("2025-06-30"));
    QCOMPARE(h.child<QLabel>("display_models_label")->text(), QStringLiteral("PX-551, PX-651"));
    QCOMPARE(h.child<QLabel>("supported_usb_formats_label")->text(), QStringLiteral("FAT32, NTFS"));
    QCOMPARE(h.child<QLabel>("drive_space_label")->text(), QStringLiteral("312 kB"));
    QCOMPARE(h.child<QLabel>("usage_restrictions_label")->text(), QStringLiteral("None"));
    QVERIFY(!h.child<QLabel>("product_information_label")->isVisible());
    QVERIFY(!h.child<QLabel>("product_information_sub_label")->isVisible());
    QCOMPARE(h.child<QTextBrowser>("update_instructions_textBrowser")->toPlainText(),
             QStringLiteral("Before you start.\n\nStep 1\nInsert the drive.\n\nStep 2\nPress MENU.\n"));
    QCOMPARE(h.child<QTextBrowser>("revision_history_textBrowser")->toPlainText(),
             QStringLiteral("Revision R1.402 (version 1.4.2):\n1. Fix A\n2. Fix B"));
    auto *tabs = h.child<QTabWidget>("tabWidget");
    QCOMPARE(tabs->tabText(0), QStringLiteral("Firmware Information"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Revision History"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("USB update instructions"));
    QCOMPARE(TestPalette::render(h.dialog->windowIcon()), TestPalette::render(Theme::themedIcon("usb drive")));
}

void tst_CreateUSBDriveDialog::hostileCatalogueTexts()
{
    SKIP_WITHOUT_MOUNTED_VOLUMES();
    Harness h;
    QVERIFY(h.f.isValid());
    FirmwareRelease release = twoFileRelease(h.f);
    release.releaseDate = QStringLiteral("<img src=\"/etc/hostname\">2025");
    release.models = { QStringLiteral("<b>PX</b>") };
    release.documentationList = { { QStringLiteral("<i>Manual</i>"), QStringLiteral("file:///etc/passwd") },
                                  { QStringLiteral("Guide"), QStringLiteral("https://docs.example.invalid/g.pdf") } };
    release.updateviaUSBInstructions = QStringLiteral("Open <a href=\"file:///etc\">this</a> and <img src=\"/etc/x.png\">go.");
    release.unpackedFileInfo[0].fileName = QStringLiteral("x&lt;b&gt;.bin");
    QVERIFY(QFile::rename(h.f.cache + "/main.bin", h.f.cache + "/x&lt;b&gt;.bin"));
    *h.drives = { { h.f.drive, "<b>STICK</b>", Stick16GB, "FAT32" } };
    h.open(release);

    // Plain catalogue texts stay plain.
    for (const char *name : { "date_released_label", "display_models_label", "firmware_version_label",
                              "usage_restrictions_label" })
        QCOMPARE(h.child<QLabel>(name)->textFormat(), Qt::PlainText);
    const QString links = h.child<QLabel>("product_information_label")->text();
    QCOMPARE(links, QStringLiteral("&lt;i&gt;Manual&lt;/i&gt;<br><a href=\"https://docs.example.invalid/g.pdf\">Guide</a>"));
    const QString instructions = h.child<QTextBrowser>("update_instructions_textBrowser")->toHtml();
    QVERIFY(!instructions.contains(QLatin1String("file:")));
    QVERIFY(!instructions.contains(QLatin1String("/etc/x.png")));
    QVERIFY(h.child<QTextBrowser>("update_instructions_textBrowser")->toPlainText().contains(QLatin1String("Open this and go.")));

    // The file name reaches the status label as the text it is: neither markup nor escaped twice.
    QList<QString> statuses;
    connect(h.child<QProgressBar>("progressBar"), &QProgressBar::valueChanged, this, [&] {
        if (h.child<QLabel>("status_label")->textFormat() == Qt::PlainText)
            statuses << h.status();
    });
    QTest::mouseClick(h.copyButton(), Qt::LeftButton);
    QCOMPARE(h.dialog->lastResult(), 0);
    QVERIFY2(statuses.contains(QStringLiteral("Copying 'x&lt;b&gt;.bin'")), qPrintable(statuses.join(" | ")));
}

void tst_CreateUSBDriveDialog::openedModallyByAFlow()
{
    SKIP_WITHOUT_MOUNTED_VOLUMES();
    // As the window opens it: exec() over the cache folder; the watcher copies onto the stick.
    Harness h;
    QVERIFY(h.f.isValid());
    const FirmwareRelease release = twoFileRelease(h.f);
    *h.drives = { { h.f.drive, "STICK", Stick16GB, "FAT32" } };
    int copied = -100;
    UsbDialogWatcher watcher([&copied](CreateUSBDriveDialog *dialog) {
        dialog->setFlushToDevice(false);
        dialog->findChild<QPushButton *>("copy_files_pushButton")->click();
        copied = dialog->lastResult();
    });
    CreateUSBDriveDialog dialog(h.f.cache, release, std::make_unique<FolderDrives>(h.drives));
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(watcher.openings.size(), 1);
    QCOMPARE(watcher.openings.first().cacheFiles, QStringList({ "main.bin", "panel.pac" }));
    QCOMPARE(copied, 0);
    QCOMPARE(h.f.onDrive("FW/panel.pac"), QByteArray(5000, 'p'));
}

QTEST_MAIN(tst_CreateUSBDriveDialog)
#include "tst_createusbdrivedialog.moc"
