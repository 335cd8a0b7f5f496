#pragma once

#include "SimHttpRequest.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QObject>
#include <QPointer>

#include <memory>

class QTcpSocket;
class QTimer;
class SimDisplay;
class SimMultipartStream;
struct SimHttpResponse;

// Reads the HTTP requests of one connection and writes their replies. Bodies
// are streamed: hashed and split into multipart parts as they arrive, kept
// whole only when small, so many large uploads at once cost little memory.
// Lives as a child of its socket.
class SimHttpConnection : public QObject
{
    Q_OBJECT

public:
    SimHttpConnection(QTcpSocket *socket, SimDisplay *display);
    ~SimHttpConnection() override;

    static QByteArray reason(int status);
    static constexpr int ThrottleTickMs = 50;

private:
    void readAvailable();
    void throttleTick();
    bool startRequest(); // false when no whole head is there yet or the connection was closed
    void takeBody(const QByteArray &bytes);
    void finishRequest();
    void send(const SimHttpResponse &response, bool keepAlive);
    void sendError(int status);
    // Writes a head that never ends and leaves the connection open.
    void holdOpen(const QByteArray &out, int delayMs);

    QTcpSocket *m_socket;
    QPointer<SimDisplay> m_display; // gone first when the display is destroyed
    QByteArray m_buffer;            // bytes of heads not yet read
    bool m_inBody = false;
    bool m_keepAlive = false;
    SimHttpRequest m_request;
    qint64 m_bodyLeft = 0;
    qint64 m_dropAfter = -1;        // fault: close once this many body bytes arrived
    qint64 m_rate = 0;              // fault: body bytes per second; 0 = as fast as they come
    qint64 m_budget = 0;            // bytes the throttle lets through now
    QTimer *m_throttle;
    QCryptographicHash m_hash{ QCryptographicHash::Md5 };
    std::unique_ptr<SimMultipartStream> m_multipart;
};
