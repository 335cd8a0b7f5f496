#include "update/StampedSequence.h"

#include "update/SessionState.h"
#include "update/UpdateStatus.h"
#include "update/WebRequestCatalogue.h"

#include <QFileInfo>

namespace Catalogue = WebRequestCatalogue;
using ReplyVerdicts::Verdict;

void StampedSequence::tick()
{
    SessionState &s = m_host.state();
    switch (s.step) {
    case NotBegun:
        s.currentComponent = 0;
        s.stepTimeoutSecs = s.params.stepTimeoutSecs;
        s.uploading = false;
        Q_FALLTHROUGH();
    case Standby:
        sendStep(Catalogue::stampedStandby(s.host, stamp()), Standby + 1, "UPD_STANDBY_REQ");
        break;
    case UpdateState:
        sendStep(Catalogue::stampedUpdateState(s.host, stamp()), UpdateState + 1, "UPD_UPDATE_STATE_REQ");
        break;
    case FileCheck: {
        s.uploading = true;
        s.uploadComponent = s.firstEnabled();
        const QString file = s.componentFile[0];
        sendUpload(Catalogue::stampedUpload(file, QFileInfo(file).size(), stamp()), FileCheck + 1);
        break;
    }
    case FileCheckResult:
        s.uploading = false;
        sendStep(Catalogue::stampedFileCheckResult(s.host, stamp()), FileCheckResult + 1, "UPD_FILE_CHECK_RESULT");
        break;
    case Update:
        s.currentComponent = s.firstEnabled();
        sendStep(Catalogue::stampedUpdate(s.host, Catalogue::componentList(s.componentEnabled), stamp()),
                 Update + 1, "UPD_UPDATE_REQ");
        break;
    case ResultPoll:
        sendStep(Catalogue::stampedResultPoll(s.host, stamp()), ResultPoll + 1, nullptr);
        break;
    default:
        break;
    }
}

void StampedSequence::replyReceived(const WebReply &reply)
{
    SessionState &s = m_host.state();
    const bool ok = ReplyVerdicts::isOkText(reply.body);
    watchPoll(reply.body);
    switch (s.step) {
    case Standby + 1:
        m_host.log(QStringLiteral("waiting"));
        m_host.startWait(SessionHost::WaitKind::ChangeMode, s.params.waitMs);
        break;
    case UpdateState + 1:
        switch (ReplyVerdicts::fileCheckVerdict(reply.body, -1)) {
        case Verdict::Ready:
            s.step = FileCheck;
            break;
        case Verdict::Failure:
            if (s.stateCheckRetries < MaxStateCheckRetries) {
                ++s.stateCheckRetries;
                s.step = UpdateState;
            } else {
                m_host.fail();
            }
            break;
        default:
            s.step = UpdateState;
            break;
        }
        break;
    case FileCheck + 1:
        if (ok) {
            m_host.log(QStringLiteral("File check received."));
            s.step = FileCheckResult;
        } else {
            m_host.fail();
        }
        break;
    case FileCheckResult + 1:
        switch (componentLoop(reply.body)) {
        case Verdict::Success:
            s.step = Update;
            break;
        case Verdict::Failure:
            failUpload();
            break;
        default:
            s.step = FileCheckResult;
            break;
        }
        break;
    case ModeChange + 1:
        ok ? void(s.step = Update) : m_host.fail();
        break;
    case Update + 1:
        if (ok) {
            m_host.log(QStringLiteral("finished UPD_UPDATE_REQ. Starting update progress wait."));
            m_host.startWait(SessionHost::WaitKind::UpdateExecute, s.params.waitMs);
        } else {
            m_host.fail();
        }
        break;
    case ResultPoll + 1:
        handleResultPoll(reply.body);
        break;
    default:
        m_host.fail();
        break;
    }
}

void StampedSequence::waitFinished(SessionHost::WaitKind kind)
{
    SessionState &s = m_host.state();
    if (kind == SessionHost::WaitKind::ChangeMode && s.step == Standby + 1) {
        s.step = UpdateState;
        m_host.log(QStringLiteral("Mode change wait finished"));
    } else if (kind == SessionHost::WaitKind::UpdateExecute && s.step == Update + 1) {
        s.step = ResultPoll;
        m_host.log(QStringLiteral("Update execute wait finished"));
        m_host.restartClock();
    }
}
