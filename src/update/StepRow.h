#pragma once

#include "update/WebRequest.h"

#include <QByteArray>
#include <QString>

// What the request of one step is built from, taken when the step's request goes out.
struct StepRequestInputs
{
    QByteArray cgiPath;
    QString host;
    QByteArray stamp;
    QString filePath;
    qint64 fileSize = 0;
    QByteArray components;      // enabled component numbers, "1,3"
};

// One step of the cgictrl or the pjctrl stamped sequence: the request it sends, how the
// reply is judged and where a reply leads. The two sequences differ only in their rows; the
// sequence that walks them is written once (StepSequence).
struct StepRow
{
    enum class Test {
        Ok,             // the OK text; anything else fails the session
        NotExamined,
        StateCheck,     // before any upload: ready moves on, in progress asks again
        ComponentLoop,  // the file check of each uploaded component
        ResultLoop,     // the update result of each component, ending with the session's status
    };
    enum class Wait { None, ChangeMode, UpdateExecute };

    int step;                   // the even step value that sends the request
    const char *name;           // logged as "started <name>"; nullptr: no line
    WebRequest (*request)(const StepRequestInputs &);
    Test test;
    int next;                   // after a good reply (or after the wait it starts)
    int again;                  // while the display is not done yet (the checks); -1 none
    int failureRetries;         // state check failures asked again before the session fails
    const char *goodReplyLog;   // logged after a good reply; nullptr: no line
    Wait wait;                  // a good reply starts this wait instead of moving on at once
};
