#pragma once

#include "usbwriter/UsbCopyPlan.h"

#include <QObject>
#include <QString>


// Puts one release's firmware files on a drive and checks each copy by MD5: deletes old
// firmware files, makes the target folder, checks the free space, copies in 131072-byte blocks
// with progress, and verifies. Runs synchronously; between blocks it lets the event loop run
// (user input excluded) so a window stays painted. Shared by the USB drive dialog and the
// command line.
class UsbDriveWriter : public QObject
{
    Q_OBJECT

public:
    enum Result : int {
        TargetFolderFailed = 1,
        Copied = 0,
        InvalidDrive = -1,
        UnsafeName = UsbCopyPlan::UnsafeName,
        CopyFailed = -3,
        VerifyFailed = -4,
        SourceMissing = -5,
        DeleteFailed = -6,
        NotEnoughSpace = -7,
        DuplicateTarget = UsbCopyPlan::DuplicateTarget,
        TargetOffDrive = -9,   // the firmware folder on the drive is a link to a place off it
    };

    static constexpr qint64 BlockSize = 131072;

    UsbDriveWriter(int instance, const QString &sourceFolder, const UsbCopyPlan &plan,
                   QObject *parent = nullptr);

    // On by default: each file is pushed to the device before it is read back, so the check
    // sees what the stick holds rather than what the system still caches, and a stick pulled
    // after "Copied" holds the whole file.
    void setFlushToDevice(bool flush) { m_flushToDevice = flush; }

    // Writes the plan onto the volume at rootPath; returns a Result.
    int write(const QString &rootPath);

    // The user text for a result; the text of Copied is the success line.
    static QString resultText(int result);

signals:
    void progressChanged(int instance, int m_progressValue, int m_progressTotal, QString m_progressMessage);
    void statusChanged(int instance, int status);

private:
    int run(const QString &rootPath);
    bool copyFile(const QString &source, const QString &target, int progressStart);
    void report(int value, const QString &message);
    void pumpEvents();

    const int m_instance;
    const QString m_sourceFolder;
    const UsbCopyPlan m_plan;
    bool m_flushToDevice = true;
    int m_progressTotal = 1;
    QString m_message;
};
