#pragma once

#include <QByteArray>
#include <QString>

// Writes a report in one piece: a failed or interrupted write leaves any older file as it was.
class ReportFile
{
public:
    // Empty on success, else the user text of the failure.
    static QString write(const QString &path, const QByteArray &bytes);
};
