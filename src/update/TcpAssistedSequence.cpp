#include "update/TcpAssistedSequence.h"

#include "control/ControlItem.h"
#include "update/SessionState.h"
#include "update/UpdateStatus.h"
#include "update/UploadKey.h"
#include "update/WebRequestCatalogue.h"

#include <QMetaEnum>

namespace {

constexpr quint32 ReadPowerState = RequestFlag::PowerStatus | RequestFlag::ReadPowerSaveMode;
constexpr quint32 PowerOnAndNormal = RequestFlag::PowerOn | RequestFlag::PowerSaveModeNormal;

enum TcpStep {
    Begin = -1,
    ReadPower = 1,
    SetPower = 3,
    RequestUpload = 5,
    ReadHttpServer = 7,
    EnableHttpServer = 9,
    Upload = 11,
    RestoreHttpServer = 13,
    StartUpdate = 15,
    PollProgress = 17,
    Complete = 18,
    RestoreAfterFailure = 19,
};

} // namespace

void TcpAssistedSequence::sendControl(quint32 flags, int timeoutSecs, int waitStep, const char *text)
{
    SessionState &s = m_host.state();
    s.stepTimeoutSecs = timeoutSecs;
    m_host.restartClock();
    m_controlInFlight = true;
    m_host.sendControl(flags);
    s.tcpStep = waitStep;
    if (text)
        m_host.log(QLatin1String(text));
}

void TcpAssistedSequence::tick()
{
    SessionState &s = m_host.state();
    const int tcpTimeout = s.params.tcpStepTimeoutSecs;
    switch (s.tcpStep) {
    case Begin:
        s.stepTimeoutSecs = 0;
        m_startRetryCount = 0;
        s.currentComponent = 0;
        m_progressNear100 = false;
        s.tcpStep = s.params.needPowerPrep ? ReadPower : RequestUpload;
        break;
    case ReadPower:
        sendControl(ReadPowerState, tcpTimeout, ReadPower + 1, "Requesting Power state and Power Save Mode.");
        break;
    case SetPower:
        sendControl(PowerOnAndNormal, tcpTimeout, SetPower + 1,
                    "Requesting Set Power state On and Power Save Mode Normal.");
        break;
    case RequestUpload:
        m_uploadKeyValue = 0;
        s.lastBytesSent = 0;
        sendControl(RequestFlag::RequestUpload, tcpTimeout, RequestUpload + 1, "Requesting firmware upload.");
        break;
    case ReadHttpServer:
        sendControl(RequestFlag::ReadHttpServer, tcpTimeout, ReadHttpServer + 1,
                    "Requesting current HTTP Server enable state.");
        break;
    case EnableHttpServer:
        sendControl(RequestFlag::EnableHttpServer, tcpTimeout, EnableHttpServer + 1,
                    "Setting HTTP Server state to Enable.");
        break;
    case Upload:
        sendUpload();
        break;
    case RestoreHttpServer:
        sendControl(RequestFlag::DisableHttpServer, tcpTimeout, RestoreHttpServer + 1,
                    "Restoring HTTP Server state to Disabled.");
        break;
    case StartUpdate:
        sendControl(RequestFlag::StartUpdate, s.params.tcpStartTimeoutSecs, StartUpdate + 1,
                    "Requesting start firmware update.");
        break;
    case PollProgress:
        // Polled every tick, but a poll still out is not cut short by the next one.
        if (!m_controlInFlight) {
            m_controlInFlight = true;
            m_host.sendControl(RequestFlag::UpdateProgress);
        }
        break;
    case Complete:
        m_host.log(QStringLiteral("COMPLETE"));
        s.setStatus(UpdateStatus::Complete);
        return;
    case RestoreAfterFailure:
        sendControl(RequestFlag::DisableHttpServer, tcpTimeout, RestoreAfterFailure + 1,
                    "Firmware upload failed. Attempting restoring HTTP Server state to Disabled.");
        break;
    default:
        break;
    }
    if (s.sessionStatus == UpdateStatus::Running)
        s.setComponentStatus(s.currentComponent, UpdateStatus::Running);
}

void TcpAssistedSequence::sendUpload()
{
    SessionState &s = m_host.state();
    s.stepTimeoutSecs = s.params.stepTimeoutSecs;
    m_host.restartClock();
    s.uploading = true;
    s.componentPercent[0] = 0;
    m_uploadSettled = false;
    const QByteArray key = UploadKey::key(UploadKey::prefix(), m_uploadKeyValue);
    if (!m_host.send(WebRequestCatalogue::tcpAssistedUpload(s.componentFile[0], key))) {
        m_host.log(QStringLiteral("cannot open ") + s.componentFile[0]);
        s.uploading = false;
        m_uploadSettled = true;
        restoreThenEnd(UpdateStatus::UploadFailed, UpdateStatus::UploadFailed);
        return;
    }
    m_host.log(QStringLiteral("Starting firmware upload."));
    s.tcpStep = Upload + 1;
}

void TcpAssistedSequence::failWith(int status)
{
    m_host.state().setStatus(status);
}

void TcpAssistedSequence::restoreThenEnd(int sessionStatus, int componentStatus)
{
    SessionState &s = m_host.state();
    m_finalSessionStatus = sessionStatus;
    m_finalComponentStatus = componentStatus;
    if (m_httpServerEnabledByUs) {
        // We switched the display's web server on; a failed upload must not leave it that way.
        m_httpServerEnabledByUs = false;
        s.tcpStep = RestoreAfterFailure;
        return;
    }
    s.sessionStatus = sessionStatus;
    s.setComponentStatus(s.currentComponent, componentStatus);
}

void TcpAssistedSequence::replyReceived(const WebReply &reply)
{
    SessionState &s = m_host.state();
    if (s.tcpStep != Upload + 1 || m_uploadSettled)
        return;
    m_uploadSettled = true;
    s.uploading = false;
    if (reply.error != QNetworkReply::NoError) {
        // Normally uploadError has judged it already; this covers an error that came without it.
        judgeUploadError(reply.error, reply.errorText);
        return;
    }
    if (reply.httpStatus == 200) {
        m_host.log(QStringLiteral("Firmware upload successful."));
        s.tcpStep = m_httpServerEnabledByUs ? RestoreHttpServer : StartUpdate;
        return;
    }
    m_host.log(QStringLiteral("Error: Firmware upload rejected: %1").arg(reply.httpStatus));
    restoreThenEnd(UpdateStatus::CommunicationFailed, UpdateStatus::CommunicationFailed);
}

void TcpAssistedSequence::uploadError(QNetworkReply::NetworkError code, const QString &text)
{
    SessionState &s = m_host.state();
    if (s.tcpStep != Upload + 1 || s.sessionStatus != UpdateStatus::Running || m_uploadSettled)
        return;
    m_uploadSettled = true;
    judgeUploadError(code, text);
}

void TcpAssistedSequence::judgeUploadError(QNetworkReply::NetworkError code, const QString &text)
{
    SessionState &s = m_host.state();
    s.uploading = false;
    const char *name = QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(code);
    m_host.log(QStringLiteral("Firmware upload failed. Error code %1 (%2) during HTTP firmware upload.")
                   .arg(QLatin1String(name ? name : "UnknownNetworkError"), text));
    if (code == QNetworkReply::AuthenticationRequiredError)
        m_host.log(QStringLiteral("Log into the display's HTTP page with your password and temporarily disable "
                                  "the HTTP password on the display."));
    restoreThenEnd(UpdateStatus::UpdateFailed, UpdateStatus::CommunicationFailed);
}

bool TcpAssistedSequence::stepTimedOut()
{
    SessionState &s = m_host.state();
    if (s.tcpStep != Upload + 1 || !m_httpServerEnabledByUs)
        return false;
    m_host.log(QStringLiteral("UPD_ERR_TIMEOUT") + m_host.stepLabels());
    m_uploadSettled = true;
    s.uploading = false;
    m_host.abortRequest();
    restoreThenEnd(UpdateStatus::Timeout, UpdateStatus::CommunicationFailed);
    return true;
}

void TcpAssistedSequence::controlReply(const PD_TCP_REPLY &reply)
{
    SessionState &s = m_host.state();
    m_controlInFlight = false;
    const bool good = reply.status == 0;
    switch (s.tcpStep) {
    case ReadPower + 1:
        if (!good) {
            m_host.log(QStringLiteral("Error: Requesting Power state and Power Save Mode didn't reply."));
            failWith(UpdateStatus::UpdateFailed);
            break;
        }
        m_host.log(QStringLiteral("Read power_state=%1 Read PowerSaveModeVCP=%2").arg(reply.powerMode).arg(reply.powerSaveModeVcp));
        s.tcpStep = reply.powerSaveModeVcp == 2 ? RequestUpload : SetPower;
        break;
    case SetPower + 1:
        if (!good) {
            m_host.log(QStringLiteral("Error: Set Power state On and Power Save Mode Normal."));
            failWith(UpdateStatus::UpdateFailed);
            break;
        }
        m_host.log(QStringLiteral("Set power_state=%1 Set PowerSaveModeVCP=%2").arg(reply.powerMode).arg(reply.powerSaveModeVcp));
        s.tcpStep = RequestUpload;
        break;
    case RequestUpload + 1:
        if (!good) {
            m_host.log(QStringLiteral("Error: Request to start firmware update didn't reply."));
            failWith(UpdateStatus::UpdateFailed);
            break;
        }
        m_uploadKeyValue = quint16(reply.value1307 & 0xFFFF);
        s.tcpStep = ReadHttpServer;
        break;
    case ReadHttpServer + 1:
        if (!good) {
            m_host.log(QStringLiteral("HTTP Server enable is not supported."));
            s.tcpStep = Upload;
            break;
        }
        m_httpServerEnabledByUs = false;
        if (reply.value11F0 == 2) {
            m_host.log(QStringLiteral("HTTP Server is already enabled."));
            s.tcpStep = Upload;
        } else {
            m_host.log(QStringLiteral("HTTP Server is not enabled."));
            s.tcpStep = EnableHttpServer;
        }
        break;
    case EnableHttpServer + 1:
        if (!good) {
            m_host.log(QStringLiteral("Error: Request to enable HTTP Server didn't reply."));
            failWith(UpdateStatus::UpdateFailed);
            break;
        }
        m_host.log(QStringLiteral("HTTP Server is now enabled."));
        m_httpServerEnabledByUs = true;
        s.tcpStep = Upload;
        break;
    case RestoreHttpServer + 1:
        if (!good) {
            m_host.log(QStringLiteral("Error: Request to restore HTTP Server to disabled state was rejected."));
            failWith(UpdateStatus::UpdateFailed);
            break;
        }
        m_host.log(QStringLiteral("HTTP Server restored to disabled state."));
        m_httpServerEnabledByUs = false;
        s.tcpStep = StartUpdate;
        break;
    case StartUpdate + 1:
        if (!good) {
            m_host.log(QStringLiteral("Error: Request to start firmware update was rejected."));
            failWith(UpdateStatus::UpdateFailed);
            break;
        }
        m_host.log(QStringLiteral("Start firmware update received."));
        s.stepTimeoutSecs = s.params.tcpStartTimeoutSecs;
        m_host.restartClock();
        s.tcpStep = PollProgress;
        break;
    case RestoreAfterFailure + 1:
        if (good)
            m_host.log(QStringLiteral("Firmware upload failed. HTTP Server was restored to disabled state."));
        else
            m_host.log(QStringLiteral("Warning: Request to restore HTTP Server to disabled state failed. "
                                      "Please disable this manually if necessary."));
        // A rejected upload ends with -1 once the server is back off, and with 4 when it may still be
        // on; after a network error or a time-out the upload's own status stands either way.
        if (!good && m_finalSessionStatus == UpdateStatus::CommunicationFailed)
            m_finalSessionStatus = m_finalComponentStatus = UpdateStatus::UpdateFailed;
        s.sessionStatus = m_finalSessionStatus;
        s.setComponentStatus(s.currentComponent, m_finalComponentStatus);
        break;
    case PollProgress:
        if (!good) {
            m_host.log(QStringLiteral("Warning: Firmware update progress update error."));
            break;
        }
        progressReply(reply.value1306);
        break;
    default:
        break;
    }
}

void TcpAssistedSequence::progressReply(int value)
{
    SessionState &s = m_host.state();
    if (value == ProgressNotRunning) {
        if (m_progressNear100) {
            s.tcpStep = Complete;
            s.setStatus(UpdateStatus::Complete);
            m_host.log(QStringLiteral("COMPLETE"));
            return;
        }
        if (m_host.clockElapsedMs() < s.params.updateStartWaitMs) {
            m_host.log(QStringLiteral("Waiting for firmware update to start."));
        } else if (m_startRetryCount == 0) {
            m_host.log(QStringLiteral("Error: Firmware update did not start within timeout. Retrying."));
            ++m_startRetryCount;
            s.tcpStep = StartUpdate;
        } else {
            m_host.log(QStringLiteral("Error: Firmware update did not start within timeout."));
            failWith(UpdateStatus::UpdateFailed);
        }
        return;
    }
    if (value == ProgressFailed) {
        m_host.log(QStringLiteral("Error: Display reported firmware update failed."));
        failWith(UpdateStatus::UpdateFailed);
        return;
    }
    if (value >= 0 && value <= 100) {
        if (value > s.componentPercent[0])
            m_host.restartClock();
        s.componentPercent[0] = value;
        if (value > 95)
            m_progressNear100 = true;
        if (value == 100) {
            s.tcpStep = Complete;
            s.setStatus(UpdateStatus::Complete);
            m_host.log(QStringLiteral("COMPLETE"));
        }
    }
}
