#pragma once

#include <QDateTime>
#include <QString>

// Which update attempts a history query returns; every empty field lets everything through.
struct HistoryFilter
{
    enum class Result { Any, Succeeded, Failed, Interrupted, Pending };

    QDateTime since;             // started at or after
    QDateTime until;             // started before
    QString serial;              // exact
    QString address;             // exact
    QString batch;
    QString text;                // part of the address, serial number or model, any case
    Result result = Result::Any;
    int limit = 0;               // 0: no limit; else the newest rows
    // Pages of the history view: rows written before the given id, newest written first.
    bool newestFirst = false;
    qint64 belowId = 0;          // 0: no bound
};
