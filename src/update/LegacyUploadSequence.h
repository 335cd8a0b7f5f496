#pragma once

#include "records/SeriesCode.h"
#include "update/UpdateSequence.h"

// The legacy multi-file upload (series 1-2): each enabled component's file is uploaded on its own,
// in the series' upload order, with a time-out per upload slot and up to three tries per file.
class LegacyUploadSequence : public UpdateSequence
{
public:
    static constexpr int MaxTries = 3;

    LegacyUploadSequence(SessionHost &host, const SeriesCode::SeriesRow &row) : UpdateSequence(host), m_row(row) {}

    void tick() override;
    void replyReceived(const WebReply &reply) override;
    void waitFinished(SessionHost::WaitKind kind) override;

private:
    void nextUpload();
    void componentWritten();

    const SeriesCode::SeriesRow &m_row;
    bool m_begun = false;
};
