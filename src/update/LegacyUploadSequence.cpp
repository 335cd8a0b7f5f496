#include "update/LegacyUploadSequence.h"

#include "update/ReplyVerdicts.h"
#include "update/SessionState.h"
#include "update/UpdateStatus.h"
#include "update/WebRequestCatalogue.h"

#include <QFileInfo>

// Driven by replies alone: the tick only starts the first upload.
void LegacyUploadSequence::tick()
{
    if (m_begun)
        return;
    m_begun = true;
    nextUpload();
}

void LegacyUploadSequence::nextUpload()
{
    SessionState &s = m_host.state();
    s.currentComponent = 0;
    for (int slot = 0; slot < SessionState::Slots; ++slot) {
        const int c = m_row.uploadOrder[slot];
        if (!SessionState::hasComponent(c) || !s.componentEnabled[c])
            continue;
        s.componentEnabled[c] = false;
        s.currentComponent = c;
        const QString path = s.componentFile[c];
        s.stepTimeoutSecs = s.params.legacyTimeoutSecs > 0 ? s.params.legacyTimeoutSecs : m_row.legacyTimeoutSecs[slot];
        if (!m_host.send(WebRequestCatalogue::legacyUpload(path, QFileInfo(path).size()))) {
            m_host.log(QStringLiteral("cannot open ") + path);
            s.setStatus(UpdateStatus::UploadFailed);
            return;
        }
        m_host.log(QStringLiteral("Uploading FW#%1 file: %2").arg(c + 1).arg(path));
        s.uploading = true;
        s.componentPercent[c] = 0;
        s.setStatus(UpdateStatus::Running);
        return;
    }
    s.uploading = false;
    s.sessionStatus = UpdateStatus::Complete;
}

void LegacyUploadSequence::componentWritten()
{
    SessionState &s = m_host.state();
    s.setComponentStatus(s.currentComponent, UpdateStatus::Complete);
    if (SessionState::hasComponent(s.currentComponent))
        s.componentPercent[s.currentComponent] = 100;
    nextUpload();
}

void LegacyUploadSequence::replyReceived(const WebReply &reply)
{
    SessionState &s = m_host.state();
    const ReplyVerdicts::LegacyUpload result = ReplyVerdicts::legacyUploadVerdict(reply.body);
    m_host.log(QStringLiteral("Reply result: %1").arg(ReplyVerdicts::legacyUploadLogCode(result)));
    const int c = s.currentComponent;
    switch (result) {
    case ReplyVerdicts::LegacyUpload::Written:
        componentWritten();
        break;
    case ReplyVerdicts::LegacyUpload::Writing:
        m_host.startWait(SessionHost::WaitKind::LegacyWriting, s.params.legacyWritingWaitMs);
        break;
    case ReplyVerdicts::LegacyUpload::Failed:
        if (!SessionState::hasComponent(c)) {
            m_host.fail();
        } else if (s.componentUploadRetries[c] >= MaxTries - 1) {
            s.setStatus(UpdateStatus::RetryFailed);
        } else {
            s.setStatus(UpdateStatus::Retrying);
            ++s.componentUploadRetries[c];
            s.componentEnabled[c] = true;
            nextUpload();
        }
        break;
    }
}

void LegacyUploadSequence::waitFinished(SessionHost::WaitKind kind)
{
    if (kind == SessionHost::WaitKind::LegacyWriting)
        componentWritten();
}
