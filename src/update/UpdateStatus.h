#pragma once

#include <QString>

// Status codes of an update session and of each of its firmware components: one family for both.
namespace UpdateStatus {
enum Code : int {
    Retrying = -5,
    RetryFailed = -4,
    Timeout = -3,
    UploadFailed = -2,
    CommunicationFailed = -1,
    Idle = 0,
    Queued = 1,
    Running = 2,
    Complete = 3,
    UpdateFailed = 4,
};
}

// The translated user text of a status code; unknown codes read "Status: <n>".
QString updateStatusText(int code);
