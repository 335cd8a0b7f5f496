#pragma once

#include "catalogue/FirmwareRelease.h"
#include "usbwriter/UsbCopyPlan.h"

#include <QDialog>
#include <QString>

#include <memory>

class RemovableDriveList;

namespace Ui {
class CreateUSBDriveDialog;
}

// Prepares a removable drive with the firmware of one release: shows what the release is,
// lists the removable drives, and copies and verifies the release's files from the firmware
// cache folder. Opened modally once the release's files are downloaded and verified.
class CreateUSBDriveDialog : public QDialog
{
    Q_OBJECT

public:
    // The drives come from the system.
    CreateUSBDriveDialog(const QString &cacheFolder, const FirmwareRelease &release, QWidget *parent = nullptr);
    // The drives come from the list given (tests hand in folders standing in for drives).
    CreateUSBDriveDialog(const QString &cacheFolder, const FirmwareRelease &release,
                         std::unique_ptr<const RemovableDriveList> drives, QWidget *parent = nullptr);
    ~CreateUSBDriveDialog() override;

    // Lets a test or a caller skip the push to the device (the copy is still verified).
    void setFlushToDevice(bool flush) { m_flushToDevice = flush; }

    // What the dialog was opened with, for the caller's log and for tests of the flows that open it.
    const FirmwareRelease &release() const { return m_release; }
    QString cacheFolder() const { return m_cacheFolder; }

    // The result of the last copy, or 0 before any.
    int lastResult() const { return m_lastResult; }

signals:
    // A copy ended (UsbDriveWriter's result) on the drive at root with these files.
    void driveWritten(const QString &root, const QStringList &files, int result);

public slots:
    void reject() override;
    void progressChanged(int instance, int m_progressValue, int m_progressTotal, QString m_progressMessage);
    void update_ui();

private slots:
    void on_copy_files_pushButton_clicked();
    void on_drive_comboBox_currentIndexChanged(int index);
    void on_close_pushButton_clicked();
    void on_refresh_pushButton_clicked();

private:
    void showRelease();
    void buildDriveList();
    QString selectedRoot() const;
    bool confirmDeletion(const QString &root);
    void showError(const QString &text);

    Ui::CreateUSBDriveDialog *m_ui;
    const QString m_cacheFolder;
    const FirmwareRelease m_release;
    const UsbCopyPlan m_plan;
    std::unique_ptr<const RemovableDriveList> m_drives;
    bool m_suitableDrive = false;
    bool m_flushToDevice = true;
    int m_lastResult = 0;
    bool m_copying = false;
};
