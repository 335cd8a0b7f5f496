#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// One USB drive prepared with a release's files, and how the copy ended.
struct UsbDriveRecord
{
    qint64 id = -1;
    QDateTime time;              // UTC
    QString drive;               // the drive's root folder as the user chose it
    QString release;             // model and version of the release copied
    QStringList files;
    int result = 0;              // 0 copied and verified, else the failure's code
    QString resultText;
    QString frontEnd;
    QString userName;
};
