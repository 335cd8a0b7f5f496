#pragma once

#include "control/PD_TCP_REPLY.h"
#include "update/SessionHost.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QString>

// The reply to a sequence's request, read by the session (body bounded in size).
struct WebReply
{
    int httpStatus = 0;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QString errorText;
    QByteArray body;
};

// One display platform's update sequence. The session ticks it, hands it each reply of its
// request, and asks it to rewind after a network error; everything it does goes through the host.
class UpdateSequence
{
public:
    enum class ErrorPolicy {
        FailAtOnce,         // a network error ends the session
        RetryAfterPause,    // up to three in a row are retried after a pause
        OwnHandling,        // the sequence judges every reply, errors included
    };

    explicit UpdateSequence(SessionHost &host) : m_host(host) {}
    virtual ~UpdateSequence() = default;

    // Called by the session's tick while it runs (the first time with the session not begun).
    virtual void tick() = 0;
    virtual void replyReceived(const WebReply &reply) = 0;
    virtual ErrorPolicy errorPolicy() const { return ErrorPolicy::FailAtOnce; }
    // After a retry pause: moves the step back to a request that may be sent again.
    virtual bool rewindAfterError() { return false; }
    virtual void waitFinished(SessionHost::WaitKind) {}
    virtual void uploadProgress(qint64 bytesSent, qint64 bytesTotal);
    virtual void uploadError(QNetworkReply::NetworkError, const QString &) {}
    virtual void controlReply(const PD_TCP_REPLY &) {}
    // The step time-out expired; true when the sequence takes over instead of ending the session.
    virtual bool stepTimedOut() { return false; }
    // True when the display has answered the same poll the same way for longer than the step
    // time-out: the session then ends as timed out although each poll was answered.
    virtual bool pollStalled() const { return false; }
    // True when the display accepted the update longer ago than the writing ceiling allows.
    virtual bool pastWritingCeiling() const { return false; }

protected:
    // False where the percentage counts something else than one request's bytes (the chunks).
    virtual bool reportsUploadPercent() const { return true; }

    SessionHost &m_host;
};
