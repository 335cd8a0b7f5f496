#include "update/HttpClient.h"

#include "control/TcpClient.h"
#include "update/UpdateSequence.h"

HttpClient::HttpClient(QObject *parent)
    : QObject(parent)
{
}

HttpClient::~HttpClient() = default;

int HttpClient::setup(int displayIndex, const QString &host, const std::array<QString, 6> &componentFiles,
                      const std::array<bool, 6> &componentEnabled, const SessionParams &params)
{
    m_state = SessionState();
    m_state.displayIndex = displayIndex;
    m_state.host = host;
    m_state.componentFile = componentFiles;
    m_state.componentEnabled = componentEnabled;
    m_state.params = params;
    m_state.sessionStatus = 1;
    return 0;
}

void HttpClient::start() { m_state.sessionStatus = 2; }
int HttpClient::componentStatus(int index) const { return SessionState::hasComponent(index) ? m_state.componentStatus[index] : 0; }
int HttpClient::componentPercent(int index) const { return SessionState::hasComponent(index) ? m_state.componentPercent[index] : -1; }
bool HttpClient::isActive() const { return false; }
void HttpClient::FinishedHandle(QNetworkReply *) {}
void HttpClient::HttpTimerHandle() {}
void HttpClient::HttpWaitTimerHandle() {}
void HttpClient::HttpErrorCheckTimerHandle() {}
void HttpClient::FirmUpdateRowanH_ChangeModeWait() {}
void HttpClient::FirmUpdateRowanH_UpdateExecuteWait() {}
void HttpClient::FirmUpdateFuncWillowHTTPUploadProgress(qint64, qint64) {}
void HttpClient::FirmUpdateFuncWillowHTTPWrrorOccurred(QNetworkReply::NetworkError) {}
void HttpClient::tcpClientResults(PD_TCP_REPLY) {}
void HttpClient::replyDataArrived() {}
bool HttpClient::send(const WebRequest &) { return false; }
void HttpClient::abortRequest() {}
void HttpClient::startWait(WaitKind, int) {}
void HttpClient::fail() {}
void HttpClient::sendControl(quint32) {}
void HttpClient::releaseControl() {}
void HttpClient::log(const QString &) const {}
QString HttpClient::stepLabels() const { return {}; }
void HttpClient::settle() {}
void HttpClient::handleNetworkError(const QString &) {}
