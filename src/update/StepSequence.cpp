#include "update/StepSequence.h"

#include "update/SessionState.h"
#include "update/UpdateStatus.h"
#include "update/WebRequest.h"
#include "update/WebRequestCatalogue.h"

#include <QFileInfo>
#include <QTime>

using ReplyVerdicts::ComponentResult;
using ReplyVerdicts::Verdict;

bool StepSequence::rewindAfterError()
{
    SessionState &s = m_host.state();
    switch (s.step) {
    case Standby + 1:
    case UpdateState + 1:
        s.step = UpdateState;
        return true;
    case FileCheck + 1:
    case FileCheckResult + 1:
        // A failed upload is not sent again: the display's file check tells what arrived.
        s.step = FileCheckResult;
        return true;
    case Update + 1:
        s.step = Update;
        return true;
    case ResultPoll + 1:
        s.step = ResultPoll;
        return true;
    default:
        return false;
    }
}

namespace {

// The steps of one polling loop share a number: the state check with the delete it alternates
// with, the file check result, the result poll. Other steps belong to no loop (0).
int pollLoop(int step)
{
    if (step >= StepSequence::FileDelete && step <= StepSequence::UpdateState + 1)
        return 1;
    if (step == StepSequence::FileCheckResult || step == StepSequence::FileCheckResult + 1)
        return 2;
    if (step == StepSequence::ResultPoll || step == StepSequence::ResultPoll + 1)
        return 3;
    return 0;
}

} // namespace

bool StepSequence::pastWritingCeiling() const
{
    return m_writing.pastCeiling(m_host.state().params.writingCeilingSecs);
}

bool StepSequence::pollStalled() const
{
    const SessionState &s = m_host.state();
    const int loop = pollLoop(s.step);
    // The display writes its firmware: the same percentage for a while is no stall.
    if (loop == pollLoop(ResultPoll))
        return pastWritingCeiling();
    return loop != 0 && loop == pollLoop(m_pollWatch.step()) && m_pollWatch.stalled(s.stepTimeoutSecs);
}

void StepSequence::watchPoll(const QByteArray &body)
{
    const int step = m_host.state().step;
    if (step == ResultPoll + 1)
        m_writing.accepted();
    if (step == UpdateState + 1 || step == FileCheckResult + 1 || step == ResultPoll + 1)
        m_pollWatch.replied(step, body);
    else if (step != FileDelete + 1)   // the state check alternates with the delete
        m_pollWatch.reset();
}

const StepRow *StepSequence::rowFor(int step) const
{
    for (std::size_t i = 0; i < m_stepCount; ++i) {
        if (m_steps[i].step == step)
            return &m_steps[i];
    }
    return nullptr;
}

void StepSequence::tick()
{
    SessionState &s = m_host.state();
    if (s.step == NotBegun) {
        s.currentComponent = 0;
        s.stepTimeoutSecs = s.params.stepTimeoutSecs;
        s.uploading = false;
        s.step = Standby;
    }
    if (s.step % 2 != 0) {
        if (m_inFlight == InFlight::MarksRunning && s.sessionStatus == UpdateStatus::Running)
            s.setStatus(UpdateStatus::Running);
        return;
    }
    if (const StepRow *row = rowFor(s.step))
        sendStep(*row);
}

void StepSequence::sendStep(const StepRow &row)
{
    SessionState &s = m_host.state();
    StepRequestInputs inputs;
    inputs.cgiPath = QByteArray(m_row.cgiPath);
    inputs.host = s.host;
    inputs.stamp = stamp();
    switch (row.step) {
    case FileCheck:
        s.uploading = true;
        s.uploadComponent = s.firstEnabled();
        inputs.filePath = s.componentFile[0];
        inputs.fileSize = QFileInfo(inputs.filePath).size();
        sendUpload(row, inputs);
        return;
    case FileCheckResult:
        s.uploading = false;
        break;
    case Update:
        s.currentComponent = s.firstEnabled();
        inputs.components = WebRequestCatalogue::componentList(s.componentEnabled);
        break;
    default:
        break;
    }
    m_host.send(row.request(inputs));
    s.step = row.step + 1;
    if (row.name)
        m_host.log(QStringLiteral("started ") + QLatin1String(row.name));
}

void StepSequence::sendUpload(const StepRow &row, const StepRequestInputs &inputs)
{
    SessionState &s = m_host.state();
    if (!m_host.send(row.request(inputs))) {
        s.sessionStatus = UpdateStatus::UploadFailed;
        s.setComponentStatus(s.uploadComponent, UpdateStatus::UploadFailed);
        s.uploading = false;
        m_host.log(QStringLiteral("cannot open ") + inputs.filePath);
        return;
    }
    s.step = row.step + 1;
    m_host.log(QStringLiteral("started ") + QLatin1String(row.name));
}

void StepSequence::replyReceived(const WebReply &reply)
{
    SessionState &s = m_host.state();
    watchPoll(reply.body);
    const StepRow *row = s.step % 2 != 0 ? rowFor(s.step - 1) : nullptr;
    if (!row) {
        m_host.fail();
        return;
    }
    switch (row->test) {
    case StepRow::Test::Ok:
        if (ReplyVerdicts::isOkText(reply.body))
            moveOn(*row);
        else
            m_host.fail();
        break;
    case StepRow::Test::NotExamined:
        moveOn(*row);
        break;
    case StepRow::Test::StateCheck:
        switch (ReplyVerdicts::fileCheckVerdict(reply.body, -1)) {
        case Verdict::Ready:
            moveOn(*row);
            break;
        case Verdict::Failure:
            if (s.stateCheckRetries < row->failureRetries) {
                ++s.stateCheckRetries;
                s.step = row->again;
            } else {
                m_host.fail();
            }
            break;
        default:
            s.step = row->again;
            break;
        }
        break;
    case StepRow::Test::ComponentLoop:
        switch (componentLoop(reply.body)) {
        case Verdict::Success:
            moveOn(*row);
            break;
        case Verdict::Failure:
            failUpload();
            break;
        default:
            s.step = row->again;
            break;
        }
        break;
    case StepRow::Test::ResultLoop:
        handleResultPoll(reply.body);
        break;
    }
}

void StepSequence::moveOn(const StepRow &row)
{
    SessionState &s = m_host.state();
    if (row.goodReplyLog)
        m_host.log(QLatin1String(row.goodReplyLog));
    switch (row.wait) {
    case StepRow::Wait::None:
        s.step = row.next;
        break;
    case StepRow::Wait::ChangeMode:
        m_host.startWait(SessionHost::WaitKind::ChangeMode, s.params.waitMs);
        break;
    case StepRow::Wait::UpdateExecute:
        m_host.startWait(SessionHost::WaitKind::UpdateExecute, s.params.waitMs);
        break;
    }
}

void StepSequence::waitFinished(SessionHost::WaitKind kind)
{
    SessionState &s = m_host.state();
    const StepRow *row = s.step % 2 != 0 ? rowFor(s.step - 1) : nullptr;
    const bool changeMode = kind == SessionHost::WaitKind::ChangeMode;
    if (!row || row->wait != (changeMode ? StepRow::Wait::ChangeMode : StepRow::Wait::UpdateExecute))
        return;
    s.step = row->next;
    if (changeMode) {
        m_host.log(QStringLiteral("Mode change wait finished"));
    } else {
        m_host.log(QStringLiteral("Update execute wait finished"));
        // The result poll's time-out counts from the end of the wait, not from the update request.
        m_host.restartClock();
    }
}

int StepSequence::nextEnabledAfter(int index) const
{
    const SessionState &s = m_host.state();
    for (int i = index + 1; i < SessionState::Slots; ++i) {
        if (s.componentEnabled[i])
            return i;
    }
    return -1;
}

Verdict StepSequence::componentLoop(const QByteArray &body)
{
    SessionState &s = m_host.state();
    if (!SessionState::hasComponent(s.uploadComponent))
        return Verdict::Failure;
    for (;;) {
        const Verdict verdict = ReplyVerdicts::fileCheckVerdict(body, s.uploadComponent);
        if (verdict != Verdict::Success)
            return verdict;
        const int next = nextEnabledAfter(s.uploadComponent);
        if (next < 0)
            return Verdict::Success;
        s.uploadComponent = next;
    }
}

StepSequence::Settled StepSequence::resultLoop(const QByteArray &body)
{
    SessionState &s = m_host.state();
    for (;;) {
        const int c = s.currentComponent;
        if (!SessionState::hasComponent(c))
            return Settled::AllSettled;
        const ComponentResult result = ReplyVerdicts::updateResultVerdict(body, c);
        switch (result.state) {
        case ComponentResult::State::InProgress:
            s.componentPercent[c] = result.percent;
            return Settled::InProgress;
        case ComponentResult::State::Done:
            s.componentStatus[c] = UpdateStatus::Complete;
            s.componentPercent[c] = 100;
            s.componentEnabled[c] = false;
            break;
        case ComponentResult::State::Failed:
            s.componentStatus[c] = UpdateStatus::RetryFailed;
            s.componentEnabled[c] = false;
            break;
        }
        const int next = nextEnabledAfter(c);
        if (next < 0)
            return Settled::AllSettled;
        s.currentComponent = next;
    }
}

void StepSequence::handleResultPoll(const QByteArray &body)
{
    SessionState &s = m_host.state();
    if (resultLoop(body) == Settled::InProgress) {
        s.setComponentStatus(s.currentComponent, UpdateStatus::Running);
        s.step = ResultPoll;
        return;
    }
    s.step = Finished;
    bool anyFailed = false;
    for (const int status : s.componentStatus)
        anyFailed = anyFailed || status == UpdateStatus::RetryFailed;
    s.sessionStatus = anyFailed ? UpdateStatus::UpdateFailed : UpdateStatus::Complete;
}

void StepSequence::failUpload()
{
    SessionState &s = m_host.state();
    s.sessionStatus = UpdateStatus::UploadFailed;
    s.setComponentStatus(s.uploadComponent, UpdateStatus::UploadFailed);
}

QByteArray StepSequence::stamp() const
{
    return WebRequestCatalogue::timeStamp(QTime::currentTime());
}
