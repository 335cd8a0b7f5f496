#pragma once

#include <QString>
#include <QtGlobal>

struct SessionState;
struct WebRequest;

// What a sequence may ask of the session that runs it: its fields, one request at a time, the step
// clock, the named waits, and the control channel. The session owns every timer and socket, so a
// sequence holds no resource that could outlive the session.
class SessionHost
{
public:
    enum class WaitKind { LegacyWriting, ChangeMode, UpdateExecute };

    virtual ~SessionHost() = default;

    virtual SessionState &state() = 0;
    // Sends the request (restarting the step clock); false when its file cannot be opened.
    virtual bool send(const WebRequest &request) = 0;
    virtual void abortRequest() = 0;
    virtual void restartClock() = 0;
    virtual qint64 clockElapsedMs() const = 0;
    virtual void startWait(WaitKind kind, int ms) = 0;
    // Ends the session: could not communicate with the display.
    virtual void fail() = 0;
    // Sends one control query with these request flags to the display on the control port.
    virtual void sendControl(quint32 flags) = 0;
    virtual void releaseControl() = 0;
    // One log line after "Display #" and the row number.
    virtual void log(const QString &text) const = 0;
    // " UTM=.. FW=.. US=.. USA5=.." of the error lines.
    virtual QString stepLabels() const = 0;
};
