#include "update/HttpClient.h"

#include "records/SeriesCode.h"
#include "control/TcpClient.h"
#include "update/ReplyHeadReader.h"
#include "update/SequenceFactory.h"
#include "update/UpdateSequence.h"
#include "update/UpdateStatus.h"
#include "update/WebRequest.h"

#include <QDebug>
#include <QHostAddress>

HttpClient::HttpClient(QObject *parent)
    : QObject(parent)
{
    m_connection.setMaxBodyBytes(MaxReplyBytes);
    connect(&m_connection, &WebConnection::finished, this, &HttpClient::FinishedHandle);
    connect(&m_connection, &WebConnection::uploadProgress, this, &HttpClient::FirmUpdateFuncWillowHTTPUploadProgress);
    connect(&m_connection, &WebConnection::errorOccurred, this, &HttpClient::FirmUpdateFuncWillowHTTPWrrorOccurred);
    connect(&m_httpTimer, &QTimer::timeout, this, &HttpClient::HttpTimerHandle);
    connect(&m_waitTimer, &QTimer::timeout, this, &HttpClient::HttpWaitTimerHandle);
    m_errorCheckTimer.setSingleShot(true);
    connect(&m_errorCheckTimer, &QTimer::timeout, this, &HttpClient::HttpErrorCheckTimerHandle);
    m_changeModeWaitTimer.setSingleShot(true);
    connect(&m_changeModeWaitTimer, &QTimer::timeout, this, &HttpClient::FirmUpdateRowanH_ChangeModeWait);
    m_executeWaitTimer.setSingleShot(true);
    connect(&m_executeWaitTimer, &QTimer::timeout, this, &HttpClient::FirmUpdateRowanH_UpdateExecuteWait);
}

HttpClient::~HttpClient()
{
    // The queue may delete a session at any time; nothing of it may call back afterwards.
    m_connection.disconnect(this);
    abortRequest();
    releaseControl();
}

int HttpClient::setup(int displayIndex, const QString &host, const std::array<QString, 6> &componentFiles,
                      const std::array<bool, 6> &componentEnabled, const SessionParams &params)
{
    settle();
    m_state = SessionState();
    m_state.displayIndex = displayIndex;
    m_state.host = host;
    m_state.params = params;
    m_state.componentFile = componentFiles;
    m_state.componentEnabled = componentEnabled;
    m_state.sessionStatus = UpdateStatus::Queued;
    m_begun = false;
    m_connection.setPeer(host, params.webPort);
    m_sequence = makeUpdateSequence(params.seriesCode, *this);
    if (!m_sequence) {
        m_state.sessionStatus = UpdateStatus::CommunicationFailed;
        log(QStringLiteral("no LAN update sequence for series %1.").arg(params.seriesCode));
        return -1;
    }
    return 0;
}

void HttpClient::start()
{
    if (!m_sequence)
        return;
    m_state.sessionStatus = UpdateStatus::Running;
    m_state.step = -1;
    m_state.tcpStep = -1;
    m_begun = false;
    // A release without components would otherwise send requests for a component that does not
    // exist and never settle.
    if (m_state.firstEnabled() < 0) {
        m_state.sessionStatus = UpdateStatus::UploadFailed;
        log(QStringLiteral("no firmware component to update."));
        return;
    }
    m_httpTimer.start(qMax(0, m_state.params.timerIntervalMs));
}

int HttpClient::componentStatus(int index) const
{
    return SessionState::hasComponent(index) ? m_state.componentStatus[index] : 0;
}

int HttpClient::componentPercent(int index) const
{
    return SessionState::hasComponent(index) ? m_state.componentPercent[index] : -1;
}

bool HttpClient::isActive() const
{
    return m_httpTimer.isActive() || m_waitTimer.isActive() || m_errorCheckTimer.isActive()
        || m_changeModeWaitTimer.isActive() || m_executeWaitTimer.isActive() || m_awaitingReply || m_tcpClient;
}

void HttpClient::HttpTimerHandle()
{
    if (!m_sequence)
        return;
    if (!m_begun) {
        m_begun = true;
        m_clock.restart();
        m_sequence->tick();
        if (m_state.sessionStatus == UpdateStatus::Running)
            m_httpTimer.setInterval(qMax(1, m_state.params.tickMs));
        return;
    }
    if (m_state.sessionStatus != UpdateStatus::Running) {
        settle();
        return;
    }
    m_sequence->tick();
    const bool unanswered = m_clock.isValid() && m_clock.elapsed() / 1000 > m_state.stepTimeoutSecs;
    const bool timedOut = unanswered || m_sequence->pollStalled();
    if (m_state.sessionStatus == UpdateStatus::Running && timedOut && !m_sequence->stepTimedOut()) {
        m_state.answeringAtTimeout = !unanswered && m_sequence->pastWritingCeiling();
        m_state.setComponentStatus(m_state.currentComponent, UpdateStatus::CommunicationFailed);
        m_state.sessionStatus = UpdateStatus::Timeout;
        if (m_state.answeringAtTimeout)
            log(QStringLiteral("UPD_ERR_TIMEOUT") + stepLabels()
                + QStringLiteral(" The display was still answering after %1 s of writing its firmware:"
                                 " it may still be writing, do not switch it off.")
                      .arg(m_state.params.writingCeilingSecs));
        else
            log(QStringLiteral("UPD_ERR_TIMEOUT") + stepLabels());
    }
    if (m_state.sessionStatus != UpdateStatus::Running)
        settle();
}

void HttpClient::HttpWaitTimerHandle()
{
    m_waitTimer.stop();
    if (m_sequence && m_state.sessionStatus == UpdateStatus::Running)
        m_sequence->waitFinished(WaitKind::LegacyWriting);
    if (m_state.sessionStatus != UpdateStatus::Running)
        settle();
}

void HttpClient::HttpErrorCheckTimerHandle()
{
    m_errorCheckTimer.stop();
    if (!m_sequence || m_state.sessionStatus != UpdateStatus::Running)
        return;
    if (m_sequence->rewindAfterError()) {
        log(QStringLiteral("attempting retry") + stepLabels());
        return;
    }
    log(QStringLiteral(" Retry not handled. Max errors exceeded.") + stepLabels());
    fail();
}

void HttpClient::FirmUpdateRowanH_ChangeModeWait()
{
    if (m_sequence && m_state.sessionStatus == UpdateStatus::Running)
        m_sequence->waitFinished(WaitKind::ChangeMode);
}

void HttpClient::FirmUpdateRowanH_UpdateExecuteWait()
{
    if (m_sequence && m_state.sessionStatus == UpdateStatus::Running)
        m_sequence->waitFinished(WaitKind::UpdateExecute);
}

void HttpClient::FirmUpdateFuncWillowHTTPUploadProgress(qint64 bytesSent, qint64 bytesTotal)
{
    if (m_sequence && m_awaitingReply)
        m_sequence->uploadProgress(bytesSent, bytesTotal);
}

void HttpClient::FirmUpdateFuncWillowHTTPWrrorOccurred(QNetworkReply::NetworkError code)
{
    if (m_sequence && m_awaitingReply)
        m_sequence->uploadError(code, m_connection.errorString());
}

void HttpClient::tcpClientResults(PD_TCP_REPLY m_PD_TCP_REPLY)
{
    if (m_sequence && m_state.sessionStatus == UpdateStatus::Running)
        m_sequence->controlReply(m_PD_TCP_REPLY);
    if (m_state.sessionStatus != UpdateStatus::Running)
        settle();
}

void HttpClient::logReplyFault(const WebConnection::Reply &reply) const
{
    const QString encoding = QString::fromLatin1(reply.encoding.left(40));
    switch (reply.fault) {
    case WebConnection::Fault::None:
        break;
    case WebConnection::Fault::BodyTooLarge:
        log(QStringLiteral("reply larger than %1 KiB%2, not read: no display status reply is that big.")
                .arg(MaxReplyBytes / 1024)
                .arg(encoding.isEmpty() ? QString() : QStringLiteral(" once decoded from ") + encoding)
            + stepLabels());
        break;
    case WebConnection::Fault::Undecodable:
        log(QStringLiteral("reply in content encoding \"%1\" cannot be decoded.").arg(encoding) + stepLabels());
        break;
    case WebConnection::Fault::HeadTooLarge: {
        QString where = QStringLiteral("its header block is larger than %1 KiB");
        if (reply.overflow == ReplyHeadReader::Overflow::StatusLine)
            where = QStringLiteral("its status line does not end within %1 KiB");
        else if (reply.overflow == ReplyHeadReader::Overflow::HeaderLine)
            where = QStringLiteral("a header line does not end within its %1 KiB header block");
        log(QStringLiteral("reply refused: ") + where.arg(ReplyHeadReader::MaxBytes / 1024)
            + QStringLiteral("; no display sends such a reply.") + stepLabels());
        break;
    }
    }
}

void HttpClient::FinishedHandle(const WebConnection::Reply &reply)
{
    if (!m_awaitingReply || !m_sequence)
        return;
    m_awaitingReply = false;
    if (m_state.sessionStatus != UpdateStatus::Running)
        return;

    logReplyFault(reply);
    const UpdateSequence::ErrorPolicy policy = m_sequence->errorPolicy();
    if (reply.fault == WebConnection::Fault::HeadTooLarge) {
        // Not a network error to retry: the display answered, with something no display sends.
        // The TCP-assisted sequence still has the display's web server to restore, so it judges
        // the reply itself, as a refusal.
        if (policy == UpdateSequence::ErrorPolicy::OwnHandling)
            m_sequence->replyReceived(WebReply());
        else
            fail();
        if (m_state.sessionStatus != UpdateStatus::Running)
            settle();
        return;
    }
    // The sequence judges a faulty reply as an empty one, which no step takes for success.
    WebReply result;
    result.httpStatus = reply.httpStatus;
    result.error = reply.error;
    result.errorText = reply.errorText;
    result.body = reply.body;
    if (result.error != QNetworkReply::NoError && policy != UpdateSequence::ErrorPolicy::OwnHandling) {
        handleNetworkError(result.errorText);
        return;
    }
    if (policy != UpdateSequence::ErrorPolicy::OwnHandling)
        m_state.replyErrorCount = 0;
    m_sequence->replyReceived(result);
    if (m_state.sessionStatus != UpdateStatus::Running)
        settle();
}

void HttpClient::handleNetworkError(const QString &errorText)
{
    if (m_sequence->errorPolicy() == UpdateSequence::ErrorPolicy::RetryAfterPause) {
        if (m_state.replyErrorCount < 3) {
            log(QStringLiteral("reply error: ") + errorText + QStringLiteral(" Starting retry timer.") + stepLabels());
            m_errorCheckTimer.start(m_state.params.retryPauseMs);
            ++m_state.replyErrorCount;
            return;
        }
        log(QStringLiteral("reply error: ") + errorText + QStringLiteral("  Max errors exceeded.") + stepLabels());
    } else {
        log(QStringLiteral("reply error: ") + errorText + stepLabels());
    }
    fail();
}

bool HttpClient::send(const WebRequest &request)
{
    abortRequest();
    if (!m_connection.send(request))
        return false;
    m_awaitingReply = true;
    m_state.lastBytesSent = 0;
    m_clock.restart();
    return true;
}

void HttpClient::abortRequest()
{
    if (!m_awaitingReply)
        return;
    m_awaitingReply = false;
    m_connection.abort();
}

void HttpClient::startWait(WaitKind kind, int ms)
{
    switch (kind) {
    case WaitKind::LegacyWriting:
        m_waitTimer.start(ms);
        break;
    case WaitKind::ChangeMode:
        m_changeModeWaitTimer.start(ms);
        break;
    case WaitKind::UpdateExecute:
        m_executeWaitTimer.start(ms);
        break;
    }
}

void HttpClient::fail()
{
    m_state.sessionStatus = UpdateStatus::CommunicationFailed;
    m_state.setComponentStatus(m_state.currentComponent, UpdateStatus::CommunicationFailed);
    m_state.replyErrorCount = 0;
    settle();
}

void HttpClient::sendControl(quint32 flags)
{
    if (!m_tcpClient) {
        m_tcpClient = new TcpClient(this);
        connect(m_tcpClient, &TcpClient::device_results, this, &HttpClient::tcpClientResults);
    }
    m_tcpClient->setRequestFlags(flags);
    m_tcpClient->connectToDisplay(QHostAddress(m_state.host), m_state.params.controlPort,
                                  QHostAddress(QHostAddress::AnyIPv4));
}

void HttpClient::releaseControl()
{
    if (!m_tcpClient)
        return;
    m_tcpClient->disconnect(this);
    m_tcpClient->deleteLater();
    m_tcpClient = nullptr;
}

void HttpClient::log(const QString &text) const
{
    qInfo().noquote() << "Display #" << m_state.displayIndex + 1 << text;
}

QString HttpClient::stepLabels() const
{
    return QStringLiteral(" UTM=%1 FW=%2 US=%3 USA5=%4")
        .arg(m_state.stepTimeoutSecs)
        .arg(m_state.currentComponent + 1)
        .arg(m_state.sessionStatus)
        .arg(m_state.step);
}

// The session has ended: nothing of it keeps running, no timer, request, file or control query.
void HttpClient::settle()
{
    m_httpTimer.stop();
    m_waitTimer.stop();
    m_errorCheckTimer.stop();
    m_changeModeWaitTimer.stop();
    m_executeWaitTimer.stop();
    abortRequest();
    releaseControl();
    // A kept-alive connection would otherwise stay open until the queue deletes the session.
    m_connection.abort();
    m_state.uploading = false;
}
