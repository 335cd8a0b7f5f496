#include "update/ChunkedSequence.h"

#include "update/SessionState.h"
#include "update/UpdateStatus.h"
#include "update/WebRequestCatalogue.h"

#include <QFile>

namespace Catalogue = WebRequestCatalogue;
using ReplyVerdicts::ChunkedUpdateResult;
using ReplyVerdicts::Verdict;
using Step = StepSequence::Step;

void ChunkedSequence::tick()
{
    SessionState &s = m_host.state();
    switch (s.step) {
    case Step::NotBegun:
        s.currentComponent = 0;
        s.stepTimeoutSecs = s.params.stepTimeoutSecs;
        Q_FALLTHROUGH();
    case Step::Standby:
        s.uploading = false;
        send(Catalogue::chunkedStandby(Catalogue::cacheBreaker()), Step::Standby + 1);
        m_host.log(QStringLiteral("started UPD_STANDBY_REQ"));
        break;
    case Step::UpdateState:
        send(Catalogue::chunkedUpdateState(Catalogue::cacheBreaker()), Step::UpdateState + 1);
        m_host.log(QStringLiteral("started UPD_UPDATE_STATE_REQ"));
        break;
    case Step::FileCheck:
        sendFileStep();
        break;
    case Step::FileCheckResult:
        s.uploading = false;
        send(Catalogue::chunkedFileCheckResult(Catalogue::cacheBreaker()), Step::FileCheckResult + 1);
        m_host.log(QStringLiteral("started UPD_FILE_CHECK_RESULT"));
        break;
    case Step::Update:
        s.currentComponent = s.firstEnabled();
        send(Catalogue::chunkedUpdate(Catalogue::cacheBreaker()), Step::Update + 1);
        m_host.log(QStringLiteral("started UPD_UPDATE_REQ"));
        break;
    case Step::ResultPoll:
        send(Catalogue::chunkedResultPoll(Catalogue::cacheBreaker()), Step::ResultPoll + 1);
        break;
    case Step::Finished:
        m_host.log(QStringLiteral("COMPLETE"));
        s.setStatus(UpdateStatus::Complete);
        return;
    default:
        break;
    }
    if (s.sessionStatus == UpdateStatus::Running)
        s.setComponentStatus(s.currentComponent, UpdateStatus::Running);
}

void ChunkedSequence::send(const WebRequest &request, int inFlightStep)
{
    m_host.send(request);
    m_host.state().step = inFlightStep;
}

void ChunkedSequence::sendFileStep()
{
    SessionState &s = m_host.state();
    if (s.uploadComponent < 0) {
        s.uploadComponent = s.firstEnabled();
        if (s.uploadComponent < 0) {
            s.sessionStatus = UpdateStatus::UploadFailed;
            return;
        }
        QFile file(s.componentFile[0]);
        if (!file.open(QIODevice::ReadOnly)) {
            s.setComponentStatus(s.uploadComponent, UpdateStatus::UploadFailed);
            s.sessionStatus = UpdateStatus::UploadFailed;
            return;
        }
        s.uploadSize = file.size();
        s.uploadOffset = 0;
        s.uploading = true;
        send(Catalogue::chunkedAnnounce(s.uploadSize, Catalogue::cacheBreaker()), Step::FileCheck + 1);
        m_host.log(QStringLiteral("started UPD_FILE_CHECK_REQ sent uploadsize=%1").arg(s.uploadSize));
        return;
    }

    // Each chunk is read where it lies in the file: twenty sessions never hold twenty packages.
    QFile file(s.componentFile[0]);
    QByteArray chunk;
    if (file.open(QIODevice::ReadOnly) && file.seek(s.uploadOffset))
        chunk = file.read(qMin<qint64>(Catalogue::ChunkBytes, s.uploadSize - s.uploadOffset));
    if (chunk.isEmpty()) {
        // The file went away or shrank since it was announced.
        m_host.log(QStringLiteral("cannot read the firmware file at offset %1").arg(s.uploadOffset));
        s.setComponentStatus(s.uploadComponent, UpdateStatus::UploadFailed);
        s.sessionStatus = UpdateStatus::UploadFailed;
        return;
    }
    s.uploadOffset += chunk.size();
    s.uploading = true;
    send(Catalogue::chunkedChunk(chunk, Catalogue::cacheBreaker()), Step::FileCheck + 1);
    m_host.log(QStringLiteral("started UPD_FILE_CHECK_REQ offset=%1 size=%2").arg(s.uploadOffset).arg(chunk.size()));
}

bool ChunkedSequence::pastWritingCeiling() const
{
    return m_writing.pastCeiling(m_host.state().params.writingCeilingSecs);
}

bool ChunkedSequence::pollStalled() const
{
    // Only while the step is still the one whose replies did not change.
    const int step = m_host.state().step;
    // The display writes its firmware: the same percentage for a while is no stall, but the same
    // reply that names no component is (the watch only sees those).
    if ((step == Step::ResultPoll || step == Step::ResultPoll + 1)
        && pastWritingCeiling())
        return true;
    return (step == m_pollWatch.step() || step + 1 == m_pollWatch.step())
        && m_pollWatch.stalled(m_host.state().stepTimeoutSecs);
}

void ChunkedSequence::replyReceived(const WebReply &reply)
{
    SessionState &s = m_host.state();
    if (s.step == Step::ResultPoll + 1)
        m_writing.accepted();
    if (s.step == Step::FileCheckResult + 1 || s.step == Step::ResultPoll + 1)
        m_pollWatch.replied(s.step, reply.body);
    else
        m_pollWatch.reset();
    switch (s.step) {
    case Step::Standby + 1:
        s.step = Step::UpdateState;
        break;
    case Step::UpdateState + 1:
        s.step = Step::FileCheck;
        break;
    case Step::FileCheck + 1:
        if (s.uploadSize > 0)
            s.uploadPercent = int(s.uploadOffset * 100 / s.uploadSize);
        if (s.uploadOffset >= s.uploadSize) {
            s.uploadPercent = 100;
            s.step = Step::FileCheckResult;
        } else {
            s.step = Step::FileCheck;
        }
        break;
    case Step::FileCheckResult + 1: {
        const ReplyVerdicts::ChunkedFileCheck check =
            ReplyVerdicts::chunkedFileCheckVerdict(reply.body, s.componentEnabled, s.uploadComponent);
        for (int i = 0; i < SessionState::Slots; ++i) {
            if (check.failed[i])
                s.componentStatus[i] = UpdateStatus::UploadFailed;
        }
        s.uploadComponent = check.uploadComponent;
        if (check.verdict == Verdict::Success)
            s.step = Step::Update;
        else if (check.verdict == Verdict::InProgress)
            s.step = Step::FileCheckResult;
        else
            s.sessionStatus = UpdateStatus::UploadFailed;
        break;
    }
    case Step::Update + 1:
        s.step = Step::ResultPoll;
        break;
    case Step::ResultPoll + 1: {
        const ChunkedUpdateResult result = ReplyVerdicts::chunkedUpdateResultVerdict(reply.body);
        const int c = result.component;
        if (SessionState::hasComponent(c)) {
            m_pollWatch.reset();
            if (result.percent >= 0)
                s.componentPercent[c] = result.percent;
            if (result.current)
                s.currentComponent = c;
        }
        switch (result.state) {
        case ChunkedUpdateResult::State::Finished:
            s.step = Step::Finished;
            break;
        case ChunkedUpdateResult::State::InProgress:
            s.step = Step::ResultPoll;
            break;
        case ChunkedUpdateResult::State::Failure:
            s.setComponentStatus(c, UpdateStatus::CommunicationFailed);
            s.sessionStatus = UpdateStatus::CommunicationFailed;
            break;
        }
        break;
    }
    default:
        m_host.fail();
        break;
    }
}
