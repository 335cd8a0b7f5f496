#pragma once

#include "update/UpdateSequence.h"

// The TCP-assisted sequence (series 11): prepares the display over the control channel, asks it
// for an upload (which yields the upload key), makes sure its web server is on for the upload and
// back off afterwards if we switched it on, starts the update and follows its progress.
class TcpAssistedSequence : public UpdateSequence
{
public:
    using UpdateSequence::UpdateSequence;

    ErrorPolicy errorPolicy() const override { return ErrorPolicy::OwnHandling; }
    void tick() override;
    void replyReceived(const WebReply &reply) override;
    void uploadError(QNetworkReply::NetworkError code, const QString &text) override;
    void controlReply(const PD_TCP_REPLY &reply) override;
    bool stepTimedOut() override;

    // Progress values of the display besides 0..100.
    static constexpr int ProgressNotRunning = 200;
    static constexpr int ProgressFailed = 208;

private:
    void sendControl(quint32 flags, int timeoutSecs, int waitStep, const char *text);
    void sendUpload();
    void failWith(int status);
    void progressReply(int value);
    void judgeUploadError(QNetworkReply::NetworkError code, const QString &text);
    // After a failed upload that found the web server off: switch it off again, then end with
    // the given statuses whether or not that worked.
    void restoreThenEnd(int sessionStatus, int componentStatus);

    quint16 m_uploadKeyValue = 0;
    bool m_httpServerEnabledByUs = false;
    int m_startRetryCount = 0;
    bool m_progressNear100 = false;
    bool m_controlInFlight = false;
    bool m_uploadSettled = false;
    // Statuses to end with once the restore after a failed upload has been answered; the rejected
    // upload of the original flow ends with -1 for both.
    int m_finalSessionStatus = -1;
    int m_finalComponentStatus = -1;
};
