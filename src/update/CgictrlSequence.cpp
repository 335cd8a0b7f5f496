#include "update/CgictrlSequence.h"

#include "update/SessionState.h"
#include "update/UpdateStatus.h"
#include "update/WebRequestCatalogue.h"

#include <QFileInfo>

namespace Catalogue = WebRequestCatalogue;
using ReplyVerdicts::Verdict;

void CgictrlSequence::tick()
{
    SessionState &s = m_host.state();
    const QByteArray path(m_row.cgiPath);
    switch (s.step) {
    case NotBegun:
        s.currentComponent = 0;
        s.stepTimeoutSecs = s.params.stepTimeoutSecs;
        Q_FALLTHROUGH();
    case Standby:
        sendStep(Catalogue::cgictrlStandby(path, s.host, stamp()), Standby + 1, "UPD_STANDBY_REQ");
        break;
    case FileDelete:
        sendStep(Catalogue::cgictrlFileDelete(s.host, stamp()), FileDelete + 1, "UPD_FILE_DEL_REQ");
        break;
    case UpdateState:
        sendStep(Catalogue::cgictrlUpdateState(s.host, stamp()), UpdateState + 1, "UPD_UPDATE_STATE_REQ");
        break;
    case FileCheck: {
        s.uploading = true;
        s.uploadComponent = s.firstEnabled();
        const QString file = s.componentFile[0];
        sendUpload(Catalogue::cgictrlUpload(path, file, QFileInfo(file).size(), stamp()), FileCheck + 1);
        break;
    }
    case FileCheckResult:
        s.uploading = false;
        sendStep(Catalogue::cgictrlFileCheckResult(s.host, stamp()), FileCheckResult + 1, "UPD_FILE_CHECK_RESULT");
        break;
    case ModeChange:
        sendStep(Catalogue::cgictrlModeChange(s.host, stamp()), ModeChange + 1, "UPD_MODE_CHANGE_REQ");
        break;
    case Update:
        s.currentComponent = s.firstEnabled();
        sendStep(Catalogue::cgictrlUpdate(path, s.host, Catalogue::componentList(s.componentEnabled), stamp()),
                 Update + 1, "UPD_UPDATE_REQ");
        break;
    case ResultPoll:
        sendStep(Catalogue::cgictrlResultPoll(s.host, stamp()), ResultPoll + 1, nullptr);
        break;
    default:
        if (s.step % 2 != 0 && s.sessionStatus == UpdateStatus::Running)
            s.setStatus(UpdateStatus::Running);
        break;
    }
}

void CgictrlSequence::replyReceived(const WebReply &reply)
{
    SessionState &s = m_host.state();
    const bool ok = ReplyVerdicts::isOkText(reply.body);
    watchPoll(reply.body);
    switch (s.step) {
    case Standby + 1:
        ok ? void(s.step = FileDelete) : m_host.fail();
        break;
    case FileDelete + 1:
        ok ? void(s.step = UpdateState) : m_host.fail();
        break;
    case UpdateState + 1:
        switch (ReplyVerdicts::fileCheckVerdict(reply.body, -1)) {
        case Verdict::Ready:
            s.step = FileCheck;
            break;
        case Verdict::Failure:
            m_host.fail();
            break;
        default:
            // Files of an earlier attempt are still there: delete them and ask again.
            s.step = FileDelete;
            break;
        }
        break;
    case FileCheck + 1:
        ok ? void(s.step = FileCheckResult) : m_host.fail();
        break;
    case FileCheckResult + 1:
        switch (componentLoop(reply.body)) {
        case Verdict::Success:
            s.step = ModeChange;
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
        ok ? void(s.step = ResultPoll) : m_host.fail();
        break;
    case ResultPoll + 1:
        handleResultPoll(reply.body);
        break;
    default:
        m_host.fail();
        break;
    }
}
