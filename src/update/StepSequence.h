#pragma once

#include "records/SeriesCode.h"
#include "update/PollStallWatch.h"
#include "update/ReplyVerdicts.h"
#include "update/UpdateSequence.h"
#include "update/WritingClock.h"

#include <QByteArray>

// What the cgictrl and pjctrl stamped sequences share: numbered steps where an even step sends its
// request on the next tick and the odd one after it waits for the reply, the loops that read one
// reply for several components, network-error retries and the rewind after them.
class StepSequence : public UpdateSequence
{
public:
    enum Step {
        NotBegun = -1,
        Standby = 0,
        FileDelete = 2,
        UpdateState = 4,
        FileCheck = 6,
        FileCheckResult = 8,
        ModeChange = 10,
        Update = 12,
        ResultPoll = 14,
        Finished = 16,
    };

    StepSequence(SessionHost &host, const SeriesCode::SeriesRow &row) : UpdateSequence(host), m_row(row) {}

    ErrorPolicy errorPolicy() const override { return ErrorPolicy::RetryAfterPause; }
    bool rewindAfterError() override;
    bool pollStalled() const override;
    bool pastWritingCeiling() const override;

protected:
    enum class Settled { InProgress, AllSettled };

    // Sends the request and moves to the step's in-flight value, logging "started" + name.
    void sendStep(const WebRequest &request, int inFlightStep, const char *name);
    // Opens and sends the first file as the upload of the first enabled component.
    void sendUpload(const WebRequest &request, int inFlightStep);
    ReplyVerdicts::Verdict componentLoop(const QByteArray &body);
    Settled resultLoop(const QByteArray &body);
    // Handles the result poll's reply: the session's final status once every component settled.
    void handleResultPoll(const QByteArray &body);
    // The file check result: on failure the upload component and the session read "unable to upload".
    void failUpload();
    QByteArray stamp() const;
    int nextEnabledAfter(int index) const;

    // Called with every good reply; watches the poll steps for replies that never change.
    void watchPoll(const QByteArray &body);

    const SeriesCode::SeriesRow &m_row;
    PollStallWatch m_pollWatch;
    WritingClock m_writing;
};
