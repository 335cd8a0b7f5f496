#pragma once

#include "update/SessionParams.h"

#include <QString>
#include <array>

// The fields of one update session that its sequence reads and moves on. Component arrays are
// indexed 0..5; every index taken from a reply or a loop is checked with hasComponent first.
struct SessionState
{
    static constexpr int Slots = 6;

    int displayIndex = 0;
    QString host;
    SessionParams params;

    std::array<QString, Slots> componentFile;
    std::array<bool, Slots> componentEnabled{};
    std::array<int, Slots> componentPercent{ -1, -1, -1, -1, -1, -1 };
    std::array<int, Slots> componentStatus{};
    std::array<int, Slots> componentUploadRetries{};

    int sessionStatus = 0;
    int step = -1;
    int tcpStep = -1;
    int stepTimeoutSecs = 0;
    int currentComponent = -1;
    int uploadComponent = -1;
    int uploadPercent = -1;
    bool uploading = false;
    int replyErrorCount = 0;
    qint64 uploadOffset = 0;
    qint64 uploadSize = 0;            // size of the file the chunked sequence sends
    int stateCheckRetries = 0;
    qint64 lastBytesSent = 0;         // upload progress seen so far, to tell progress from a stall
    bool answeringAtTimeout = false;  // timed out at the writing ceiling while the display still answered

    static bool hasComponent(int index) { return index >= 0 && index < Slots; }

    int firstEnabled() const
    {
        for (int i = 0; i < Slots; ++i) {
            if (componentEnabled[i])
                return i;
        }
        return -1;
    }

    // Sets the session status and, when there is one, the status of the component in work.
    void setStatus(int status)
    {
        sessionStatus = status;
        setComponentStatus(currentComponent, status);
    }

    void setComponentStatus(int index, int status)
    {
        if (hasComponent(index))
            componentStatus[index] = status;
    }
};
