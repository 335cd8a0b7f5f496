#pragma once

#include "control/PD_TCP_REPLY.h"
#include "update/SessionHost.h"
#include "update/SessionParams.h"
#include "update/SessionState.h"
#include "update/WebConnection.h"

#include <QElapsedTimer>
#include <QNetworkReply>
#include <QObject>
#include <QTimer>
#include <array>
#include <memory>

class TcpClient;
class UpdateSequence;

// The LAN firmware update of one display. It runs the request sequence of the display's series one
// request at a time, bounds each step by a time-out and network errors by a few retries, and keeps
// a status and percentage per firmware component. It emits nothing: the queue reads its state.
class HttpClient : public QObject, private SessionHost
{
    Q_OBJECT

public:
    static constexpr int ComponentSlots = SessionState::Slots;
    // Reply bodies are small status texts; anything bigger is not from a healthy display.
    static constexpr qint64 MaxReplyBytes = 256 * 1024;

    explicit HttpClient(QObject *parent = nullptr);
    ~HttpClient() override;

    // 0, or -1 when the series has no LAN update sequence (sessionStatus is then -1 and a log line says why)
    int setup(int displayIndex, const QString &host, const std::array<QString, 6> &componentFiles,
              const std::array<bool, 6> &componentEnabled, const SessionParams &params);
    void start();

    bool uploading() const { return m_state.uploading; }
    int uploadPercent() const { return m_state.uploadPercent; }
    int sessionStatus() const { return m_state.sessionStatus; }
    int componentStatus(int index) const;
    int componentPercent(int index) const;

    // Further readers, for tests and the command-line front end.
    int step() const { return m_state.step; }
    int tcpStep() const { return m_state.tcpStep; }
    int currentComponent() const { return m_state.currentComponent; }
    // True while anything of the session still runs: a timer, a request or a control query.
    bool isActive() const;
    // The session timed out at its writing ceiling although the display still answered: it may
    // still be writing its firmware and must not be switched off.
    bool answeringAtTimeout() const { return m_state.answeringAtTimeout; }

public slots:
    void FinishedHandle(const WebConnection::Reply &reply);
    void HttpTimerHandle();
    void HttpWaitTimerHandle();
    void HttpErrorCheckTimerHandle();
    void FirmUpdateRowanH_ChangeModeWait();
    void FirmUpdateRowanH_UpdateExecuteWait();
    void FirmUpdateFuncWillowHTTPUploadProgress(qint64 bytesSent, qint64 bytesTotal);
    void FirmUpdateFuncWillowHTTPWrrorOccurred(QNetworkReply::NetworkError code);
    void tcpClientResults(PD_TCP_REPLY m_PD_TCP_REPLY);

private:
    // SessionHost
    SessionState &state() override { return m_state; }
    bool send(const WebRequest &request) override;
    void abortRequest() override;
    void restartClock() override { m_clock.restart(); }
    qint64 clockElapsedMs() const override { return m_clock.isValid() ? m_clock.elapsed() : 0; }
    void startWait(WaitKind kind, int ms) override;
    void fail() override;
    void sendControl(quint32 flags) override;
    void releaseControl() override;
    void log(const QString &text) const override;
    QString stepLabels() const override;

    void settle();
    void handleNetworkError(const QString &errorText);
    void logReplyFault(const WebConnection::Reply &reply) const;

    SessionState m_state;
    std::unique_ptr<UpdateSequence> m_sequence;
    WebConnection m_connection;
    QTimer m_httpTimer;
    QTimer m_waitTimer;
    QTimer m_errorCheckTimer;
    QTimer m_changeModeWaitTimer;
    QTimer m_executeWaitTimer;
    QElapsedTimer m_clock;
    bool m_awaitingReply = false;   // a request of ours is in flight on m_connection
    bool m_begun = false;
    TcpClient *m_tcpClient = nullptr;
};
