#include "update/HttpClient.h"

#include "records/SeriesCode.h"
#include "control/TcpClient.h"
#include "update/FileBetweenDevice.h"
#include "update/ReplyDecoder.h"
#include "update/SequenceFactory.h"
#include "update/UpdateSequence.h"
#include "update/UpdateStatus.h"
#include "update/WebRequest.h"

#include <QDebug>
#include <QFile>
#include <QHostAddress>
#include <QHttpMultiPart>
#include <QMetaEnum>
#include <QNetworkProxy>
#include <QUrl>
#include <algorithm>

HttpClient::HttpClient(QObject *parent)
    : QObject(parent)
{
    m_manager.setProxy(QNetworkProxy::NoProxy);
    connect(&m_manager, &QNetworkAccessManager::finished, this, &HttpClient::FinishedHandle);
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
    m_manager.disconnect(this);
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
        || m_changeModeWaitTimer.isActive() || m_executeWaitTimer.isActive() || m_reply || m_tcpClient;
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
    if (m_sequence && sender() == m_reply)
        m_sequence->uploadProgress(bytesSent, bytesTotal);
}

void HttpClient::FirmUpdateFuncWillowHTTPWrrorOccurred(QNetworkReply::NetworkError code)
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (m_sequence && reply && reply == m_reply)
        m_sequence->uploadError(code, reply->errorString());
}

void HttpClient::tcpClientResults(PD_TCP_REPLY m_PD_TCP_REPLY)
{
    if (m_sequence && m_state.sessionStatus == UpdateStatus::Running)
        m_sequence->controlReply(m_PD_TCP_REPLY);
    if (m_state.sessionStatus != UpdateStatus::Running)
        settle();
}

void HttpClient::takeReplyBytes(QNetworkReply *reply)
{
    if (!m_decoder)
        m_decoder = std::make_unique<ReplyDecoder>(m_decodeReply ? reply->rawHeader("Content-Encoding") : QByteArray(),
                                                   MaxReplyBytes);
    const QByteArray raw = reply->read(MaxReplyBytes + 1 - m_replyRawBytes);
    m_replyRawBytes += raw.size();
    if (m_replyRawBytes > MaxReplyBytes) {
        m_replyFault = ReplyFault::TooLarge;
        return;
    }
    switch (m_decoder->feed(raw)) {
    case ReplyDecoder::Status::Ok:
        break;
    case ReplyDecoder::Status::TooLarge:
        m_replyFault = ReplyFault::TooLarge;
        break;
    case ReplyDecoder::Status::Corrupt:
    case ReplyDecoder::Status::Unsupported:
        m_replyFault = ReplyFault::Undecodable;
        break;
    }
}

void HttpClient::logReplyFault(ReplyFault fault, const QByteArray &encoding) const
{
    if (fault == ReplyFault::TooLarge) {
        const QString decoded = encoding.isEmpty() ? QString()
            : QStringLiteral(" once decoded from ") + QString::fromLatin1(encoding.left(40));
        log(QStringLiteral("reply larger than %1 KiB%2, not read: no display status reply is that big.")
                .arg(MaxReplyBytes / 1024)
                .arg(decoded)
            + stepLabels());
    } else if (fault == ReplyFault::Undecodable) {
        log(QStringLiteral("reply in content encoding \"%1\" cannot be decoded.")
                .arg(QString::fromLatin1(encoding.left(40)))
            + stepLabels());
    }
}

void HttpClient::replyDataArrived()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply || reply != m_reply || m_replyFault != ReplyFault::None)
        return;
    takeReplyBytes(reply);
    if (m_replyFault != ReplyFault::None) {
        // No status reply is this big or this broken: stop reading rather than hold whatever a
        // display sends. Cutting the reply short is our doing, not a network error of the display.
        disconnect(reply, &QNetworkReply::errorOccurred, this, &HttpClient::FirmUpdateFuncWillowHTTPWrrorOccurred);
        reply->abort();
    }
}

void HttpClient::FinishedHandle(QNetworkReply *reply)
{
    if (!reply)
        return;
    reply->deleteLater();
    if (reply != m_reply || !m_sequence)
        return;
    m_reply = nullptr;

    // A fault found while the reply came in made us cut it off; one found at its end counts
    // unless the display's own error says more.
    const bool cutOffByUs = m_replyFault != ReplyFault::None;
    if (!cutOffByUs) {
        takeReplyBytes(reply);
        if (m_replyFault == ReplyFault::None && m_decoder && m_decoder->finish() != ReplyDecoder::Status::Ok)
            m_replyFault = ReplyFault::Undecodable;
        if (reply->error() != QNetworkReply::NoError)
            m_replyFault = ReplyFault::None;
    }
    const ReplyFault fault = m_replyFault;
    const QByteArray encoding = m_decoder ? m_decoder->encoding() : QByteArray();
    WebReply result;
    if (fault == ReplyFault::None && m_decoder)
        result.body = m_decoder->body();
    result.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.error = fault != ReplyFault::None ? QNetworkReply::NoError : reply->error();
    result.errorText = reply->errorString();
    m_decoder.reset();
    m_replyFault = ReplyFault::None;

    if (m_state.sessionStatus != UpdateStatus::Running)
        return;

    // The sequence judges the reply as an empty one, which no step takes for success.
    if (fault != ReplyFault::None)
        logReplyFault(fault, encoding);
    const UpdateSequence::ErrorPolicy policy = m_sequence->errorPolicy();
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
    const bool ipv6 = m_state.host.contains(QLatin1Char(':'));
    QUrl base(QStringLiteral("http://") + (ipv6 ? QLatin1Char('[') + m_state.host + QLatin1Char(']') : m_state.host));
    base.setPort(m_state.params.webPort == 80 ? -1 : m_state.params.webPort);
    // The catalogue's target goes out as it is: its queries have no "&" between items on purpose.
    const QUrl url = QUrl::fromEncoded(base.toEncoded(QUrl::RemovePath) + request.target);

    QNetworkRequest httpRequest(url);
    httpRequest.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    httpRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    for (const auto &header : request.headers)
        httpRequest.setRawHeader(header.first, header.second);
    if (!request.contentType.isEmpty())
        httpRequest.setHeader(QNetworkRequest::ContentTypeHeader, request.contentType);

    QNetworkReply *reply = nullptr;
    switch (request.bodyKind) {
    case WebRequest::Body::None:
        reply = m_manager.get(httpRequest);
        break;
    case WebRequest::Body::Bytes:
        reply = m_manager.post(httpRequest, request.body);
        break;
    case WebRequest::Body::FileBetween: {
        auto *device = new FileBetweenDevice(request.head, request.filePath, request.tail);
        if (!device->open(QIODevice::ReadOnly)) {
            delete device;
            return false;
        }
        // The Content-Length the catalogue computed must be what goes out, or the body is cut.
        httpRequest.setRawHeader("Content-Length", QByteArray::number(device->size()));
        reply = m_manager.post(httpRequest, device);
        device->setParent(reply);
        break;
    }
    case WebRequest::Body::LibraryMultipart: {
        auto *file = new QFile(request.filePath);
        if (!file->open(QIODevice::ReadOnly)) {
            delete file;
            return false;
        }
        auto *multipart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
        QHttpPart part;
        part.setRawHeader("Content-Disposition", request.partDisposition);
        part.setBodyDevice(file);
        file->setParent(multipart);
        multipart->append(part);
        reply = m_manager.post(httpRequest, multipart);
        multipart->setParent(reply);
        break;
    }
    }

    m_reply = reply;
    m_decodeReply = std::any_of(request.headers.cbegin(), request.headers.cend(),
                                [](const auto &header) { return header.first.toLower() == "accept-encoding"; });
    m_decoder.reset();
    m_replyRawBytes = 0;
    m_replyFault = ReplyFault::None;
    m_state.lastBytesSent = 0;
    connect(reply, &QNetworkReply::readyRead, this, &HttpClient::replyDataArrived);
    connect(reply, &QNetworkReply::uploadProgress, this, &HttpClient::FirmUpdateFuncWillowHTTPUploadProgress);
    connect(reply, &QNetworkReply::errorOccurred, this, &HttpClient::FirmUpdateFuncWillowHTTPWrrorOccurred);
    m_clock.restart();
    return true;
}

void HttpClient::abortRequest()
{
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
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
    // Kept-alive connections would otherwise stay open until the queue deletes the session.
    m_manager.clearConnectionCache();
    m_state.uploading = false;
}
