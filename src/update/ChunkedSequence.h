#pragma once

#include "update/PollStallWatch.h"
#include "update/StepSequence.h"
#include "update/WritingClock.h"

// The pjctrl chunked sequence (series 9): form posts with a cache breaker, the file announced by
// its size and then sent in chunks of at most 512000 bytes, each read from the file at its offset,
// and JSON replies.
class ChunkedSequence : public UpdateSequence
{
public:
    using UpdateSequence::UpdateSequence;

    void tick() override;
    void replyReceived(const WebReply &reply) override;
    bool pollStalled() const override;
    bool pastWritingCeiling() const override;

protected:
    // The percentage counts the file's chunks sent, not the bytes of the chunk in flight.
    bool reportsUploadPercent() const override { return false; }

private:
    void sendFileStep();
    void send(const WebRequest &request, int inFlightStep);

    PollStallWatch m_pollWatch;
    WritingClock m_writing;
};
