#pragma once

#include <QCoreApplication>
#include <QString>

// The user text of an update status code. Sessions and their components share one code family:
// -5 .. -1 errors, 0 idle, 1 queued, 2 running, 3 complete, 4 update failed.
class UpdateStatusText
{
    Q_DECLARE_TR_FUNCTIONS(UpdateStatusText)

public:
    static QString text(qint32 code);
};
