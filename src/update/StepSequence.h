#pragma once

#include "records/SeriesCode.h"
#include "update/PollStallWatch.h"
#include "update/ReplyVerdicts.h"
#include "update/StepRow.h"
#include "update/UpdateSequence.h"
#include "update/WritingClock.h"

#include <QByteArray>
#include <cstddef>

// The cgictrl and pjctrl stamped sequences: numbered steps where an even step sends its request on
// the next tick and the odd one after it waits for the reply. The sequence walks a table of rows
// (StepRow) that each sequence supplies; the loops that read one reply for several components,
// network-error retries and the rewind after them are the same for both.
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

    // Whether a tick with a request in flight writes "Running" into the session and its component.
    enum class InFlight { MarksRunning, Quiet };

    template <std::size_t N>
    StepSequence(SessionHost &host, const SeriesCode::SeriesRow &row, const StepRow (&steps)[N], InFlight inFlight)
        : UpdateSequence(host), m_row(row), m_steps(steps), m_stepCount(N), m_inFlight(inFlight)
    {
    }

    void tick() override;
    void replyReceived(const WebReply &reply) override;
    void waitFinished(SessionHost::WaitKind kind) override;
    ErrorPolicy errorPolicy() const override { return ErrorPolicy::RetryAfterPause; }
    bool rewindAfterError() override;
    bool pollStalled() const override;
    bool pastWritingCeiling() const override;

private:
    enum class Settled { InProgress, AllSettled };

    const StepRow *rowFor(int step) const;
    void sendStep(const StepRow &row);
    // Opens and sends the first file as the upload of the first enabled component.
    void sendUpload(const StepRow &row, const StepRequestInputs &inputs);
    // A good reply: its log line, then the next step or the wait that leads there.
    void moveOn(const StepRow &row);
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
    const StepRow *m_steps;
    std::size_t m_stepCount;
    InFlight m_inFlight;
    PollStallWatch m_pollWatch;
    WritingClock m_writing;
};
