#include "usb/CreateUSBDriveDialog.h"
#include "ui_CreateUSBDriveDialog.h"

#include "platform/SystemRemovableDriveList.h"
#include "theme/Theme.h"
#include "usbwriter/UsbDriveSuitability.h"
#include "usbwriter/UsbDriveWriter.h"
#include "usbwriter/UsbReleaseTexts.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardItemModel>

CreateUSBDriveDialog::CreateUSBDriveDialog(const QString &cacheFolder, const FirmwareRelease &release, QWidget *parent)
    : CreateUSBDriveDialog(cacheFolder, release, std::make_unique<SystemRemovableDriveList>(), parent)
{
}

CreateUSBDriveDialog::CreateUSBDriveDialog(const QString &cacheFolder, const FirmwareRelease &release,
                                           std::unique_ptr<const RemovableDriveList> drives, QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::CreateUSBDriveDialog)
    , m_cacheFolder(cacheFolder)
    , m_release(release)
    , m_plan(UsbCopyPlan::fromRelease(release))
    , m_drives(std::move(drives))
{
    m_ui->setupUi(this);
    m_ui->progressBar->setMaximum(1);
    m_ui->progressBar->setValue(0);
    m_ui->progressBar->hide();
    m_ui->status_label->clear();

    const int info = m_ui->tabWidget->indexOf(m_ui->info_tab);
    m_ui->tabWidget->setTabIcon(info, Theme::themedIcon(QStringLiteral("info")));
    m_ui->tabWidget->setTabIcon(m_ui->tabWidget->indexOf(m_ui->revision_tab), Theme::themedIcon(QStringLiteral("version history")));
    m_ui->tabWidget->setTabIcon(m_ui->tabWidget->indexOf(m_ui->instructions_tab), Theme::themedIcon(QStringLiteral("copy to usb")));
    m_ui->refresh_pushButton->setIcon(Theme::themedIcon(QStringLiteral("refresh")));
    m_ui->copy_files_pushButton->setIcon(Theme::themedIcon(QStringLiteral("usb drive")));
    setWindowIcon(Theme::themedIcon(QStringLiteral("usb drive")));

    showRelease();
    buildDriveList();
    update_ui();
}

CreateUSBDriveDialog::~CreateUSBDriveDialog()
{
    delete m_ui;
}

void CreateUSBDriveDialog::showRelease()
{
    m_ui->display_models_label->setText(UsbReleaseTexts::models(m_release));
    const QString documentation = UsbReleaseTexts::documentationHtml(m_release);
    m_ui->product_information_label->setText(documentation);
    m_ui->product_information_label->setVisible(!documentation.isEmpty());
    m_ui->product_information_sub_label->setVisible(!documentation.isEmpty());
    m_ui->drive_space_label->setText(UsbReleaseTexts::spaceNeeded(m_plan.listedBytes()));
    m_ui->usage_restrictions_label->setText(UsbReleaseTexts::usageRestrictions(m_release));
    m_ui->firmware_version_label->setText(m_release.changes.version);
    m_ui->firmware_revision_label->setText(m_release.changes.revision);
    m_ui->date_released_label->setText(m_release.releaseDate);
    m_ui->revision_history_textBrowser->setHtml(UsbReleaseTexts::revisionHistoryHtml(m_release));
    m_ui->update_instructions_textBrowser->setHtml(UsbReleaseTexts::instructionsHtml(m_release.updateviaUSBInstructions));
    m_ui->supported_usb_formats_label->setText(UsbReleaseTexts::supportedFormats(m_release.updateViaUSB));
}

void CreateUSBDriveDialog::buildDriveList()
{
    m_ui->drive_comboBox->clear();
    m_suitableDrive = false;
    const QList<RemovableDrive> drives = m_drives ? m_drives->drives() : QList<RemovableDrive>();
    for (const RemovableDrive &drive : drives) {
        const bool suitable = UsbDriveSuitability::isSuitable(drive.fileSystemType, m_release.updateViaUSB);
        const QString text = UsbDriveSuitability::entryText(drive);
        if (suitable) {
            m_ui->drive_comboBox->addItem(Theme::themedIcon(QStringLiteral("checkmark")), text, drive.rootPath);
            m_suitableDrive = true;
        } else {
            m_ui->drive_comboBox->addItem(Theme::themedIcon(QStringLiteral("delete-red")), text, QString());
            // Greyed out and not selectable, so an unreadable stick cannot be chosen.
            if (auto *model = qobject_cast<QStandardItemModel *>(m_ui->drive_comboBox->model()))
                model->item(m_ui->drive_comboBox->count() - 1)->setEnabled(false);
        }
    }
}

QString CreateUSBDriveDialog::selectedRoot() const
{
    return m_ui->drive_comboBox->currentData().toString();
}

void CreateUSBDriveDialog::update_ui()
{
    // A release whose names are refused can be read about, but not copied anywhere.
    if (m_plan.status() != UsbCopyPlan::Ready) {
        showError(UsbDriveWriter::resultText(m_plan.status()));
        m_ui->copy_files_pushButton->setEnabled(false);
        return;
    }
    // "Not suitably formatted" sends the technician to reformat a stick that is not even there.
    if (m_ui->drive_comboBox->count() == 0)
        m_ui->status_label->setText(tr("No USB drive found"));
    else if (!m_suitableDrive)
        m_ui->status_label->setText(tr("No suitably formatted USB drives found."));
    else if (!selectedRoot().isEmpty())
        m_ui->status_label->setText(tr("Ready."));
    else
        m_ui->status_label->setText(tr("Select a suitably formatted USB drive."));
    m_ui->copy_files_pushButton->setEnabled(!selectedRoot().isEmpty());
}

void CreateUSBDriveDialog::progressChanged(int, int m_progressValue, int m_progressTotal, QString m_progressMessage)
{
    m_ui->progressBar->setMaximum(m_progressTotal);
    m_ui->progressBar->setValue(m_progressValue);
    // File names come from the catalogue: the label shows them as plain text, as they are.
    m_ui->status_label->setTextFormat(Qt::PlainText);
    m_ui->status_label->setText(m_progressMessage);
    m_ui->progressBar->repaint();
    m_ui->status_label->repaint();
}

bool CreateUSBDriveDialog::confirmDeletion(const QString &root)
{
    const QStringList filters = { QStringLiteral("*.hex"), QStringLiteral("*.bin"), QStringLiteral("*.pac"),
                                  QStringLiteral("*.jbc") };
    if (QDir(root).entryList(filters, QDir::Files | QDir::Hidden | QDir::System).isEmpty())
        return true;
    QMessageBox box(QMessageBox::Warning, windowTitle(),
                    tr("Existing firmware files on drive %1 will be deleted. Proceed?", "1=drive name")
                        .arg(QDir::toNativeSeparators(root)),
                    QMessageBox::Yes | QMessageBox::Cancel, this);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Yes;
}

void CreateUSBDriveDialog::showError(const QString &text)
{
    m_ui->status_label->setTextFormat(Qt::RichText);
    m_ui->status_label->setText(
        tr("<img src=\":/resources/warning.svg\" width=\"16\" height=\"16\"><font color=\"red\"> ",
           "formatting for error message")
        + text.toHtmlEscaped() + QStringLiteral("</font>"));
}

void CreateUSBDriveDialog::on_copy_files_pushButton_clicked()
{
    m_ui->status_label->clear();
    const QString root = selectedRoot();
    if (root.isEmpty() || m_plan.status() != UsbCopyPlan::Ready)
        return;
    if (!confirmDeletion(root))
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_ui->progressBar->setValue(0);
    m_ui->progressBar->show();
    UsbDriveWriter writer(0, m_cacheFolder, m_plan);
    writer.setFlushToDevice(m_flushToDevice);
    connect(&writer, &UsbDriveWriter::progressChanged, this, &CreateUSBDriveDialog::progressChanged);
    // While the copy pumps the event loop, the buttons must not start a second one.
    m_ui->copy_files_pushButton->setEnabled(false);
    m_ui->close_pushButton->setEnabled(false);
    m_ui->refresh_pushButton->setEnabled(false);
    m_ui->drive_comboBox->setEnabled(false);
    m_copying = true;
    m_lastResult = writer.write(root);
    m_copying = false;
    m_ui->close_pushButton->setEnabled(true);
    m_ui->refresh_pushButton->setEnabled(true);
    m_ui->drive_comboBox->setEnabled(true);
    m_ui->copy_files_pushButton->setEnabled(!selectedRoot().isEmpty() && m_plan.status() == UsbCopyPlan::Ready);
    QApplication::restoreOverrideCursor();

    if (m_lastResult == UsbDriveWriter::Copied) {
        m_ui->status_label->setText(UsbDriveWriter::resultText(m_lastResult).toHtmlEscaped());
        return;
    }
    m_ui->progressBar->hide();
    showError(UsbDriveWriter::resultText(m_lastResult));
}

void CreateUSBDriveDialog::on_drive_comboBox_currentIndexChanged(int)
{
    m_ui->progressBar->hide();
    update_ui();
}

void CreateUSBDriveDialog::reject()
{
    // The copy lets the event loop run; a close from the window system must wait for its end.
    if (!m_copying)
        QDialog::reject();
}

void CreateUSBDriveDialog::on_close_pushButton_clicked()
{
    reject();
}

void CreateUSBDriveDialog::on_refresh_pushButton_clicked()
{
    buildDriveList();
    update_ui();
}
