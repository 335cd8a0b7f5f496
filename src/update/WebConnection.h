#pragma once

#include "update/ReplyHeadReader.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QString>
#include <memory>

class ChunkedBodyReader;
class QIODevice;
class QTcpSocket;
class ReplyDecoder;
struct WebRequest;

// The HTTP/1.1 client an update session talks to its display with: one request at a time on one
// socket, kept open between requests while the display keeps it alive. It sends exactly the
// headers the request names, in their order; it adds only what HTTP/1.1 cannot do without and the
// request leaves out: Host first, then Content-Type and Content-Length last. An upload body is
// streamed from its file. A reply is read with its head bounded (ReplyHeadReader) and its body,
// by Content-Length, chunks or the connection's end, bounded before and after decoding.
// Redirects are handed over as they are, never followed.
class WebConnection : public QObject
{
    Q_OBJECT

public:
    enum class Fault {
        None,
        BodyTooLarge,       // the body passed the cap, raw or decoded; the rest was not read
        Undecodable,        // a content encoding we cannot undo, or a corrupt compressed body
        HeadTooLarge,       // the head passed ReplyHeadReader::MaxBytes; see overflow
    };

    struct Reply
    {
        int httpStatus = 0;
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
        QString errorText;
        QByteArray body;                    // decoded; empty with a fault
        Fault fault = Fault::None;
        ReplyHeadReader::Overflow overflow = ReplyHeadReader::Overflow::None;
        QByteArray encoding;                // the reply's Content-Encoding
    };

    // How often a request is sent again when a connection closes before any byte of its reply:
    // a kept-alive connection the display has just dropped is no reason to fail a step.
    static constexpr int MaxResends = 2;

    explicit WebConnection(QObject *parent = nullptr);
    ~WebConnection() override;

    // The display's web server; a change drops a kept connection.
    void setPeer(const QString &host, quint16 port);
    void setMaxBodyBytes(qint64 bytes) { m_maxBodyBytes = bytes; }

    // Sends the request, ending one still in flight; false (nothing sent) when its file cannot be
    // opened. Every request sent ends in exactly one finished(), unless aborted first.
    bool send(const WebRequest &request);
    // Ends the request in flight without a report and closes the connection.
    void abort();
    bool inFlight() const { return m_stage != Stage::Idle; }
    // The text of the last request's error, for the errorOccurred() receiver.
    QString errorString() const { return m_errorText; }
    bool connected() const { return m_socket != nullptr; }
    // Connections opened since this object was made (a kept one counts once).
    int connectionsOpened() const { return m_connectionsOpened; }

signals:
    // Body bytes handed to the network so far, of bytesTotal.
    void uploadProgress(qint64 bytesSent, qint64 bytesTotal);
    // A failed request reports its error here before finished(), as the network library did.
    void errorOccurred(QNetworkReply::NetworkError code);
    void finished(const WebConnection::Reply &reply);

private:
    enum class Stage { Idle, Connecting, Head, Body };
    enum class Framing { Length, Chunked, UntilClose, None };

    void openConnection();
    void dropSocket();
    void writeRequest();
    void pumpBody();
    void bytesWritten(qint64 bytes);
    void readAvailable();
    bool readHead(QByteArray &bytes);
    void readBody(QByteArray &bytes);
    bool takeBodyBytes(const QByteArray &raw);
    void peerClosed();
    void socketError();
    void complete();
    void failWith(QNetworkReply::NetworkError code, const QString &text);
    void finishWith(Reply reply, bool keepConnection);
    QByteArray requestHead(const WebRequest &request, qint64 bodySize) const;
    QByteArray hostHeader() const;

    QString m_host;
    quint16 m_port = 80;
    qint64 m_maxBodyBytes = 256 * 1024;
    QTcpSocket *m_socket = nullptr;
    bool m_socketReusable = false;   // the last reply left the connection open for another request
    int m_connectionsOpened = 0;

    Stage m_stage = Stage::Idle;
    quint32 m_generation = 0;        // moves on whenever a request ends, to spot re-entry
    QByteArray m_head;               // the request head, kept for a resend
    QByteArray m_bodyBytes;          // a body given in memory
    std::unique_ptr<QIODevice> m_bodyDevice;   // or one streamed from a file
    qint64 m_bodySize = 0;
    qint64 m_queued = 0;             // request bytes handed to the socket
    qint64 m_written = 0;            // request bytes the socket has written
    int m_resends = 0;
    QString m_errorText;

    ReplyHeadReader m_replyHead;
    Framing m_framing = Framing::None;
    qint64 m_bodyLeft = 0;           // with Framing::Length
    qint64 m_rawBodyBytes = 0;
    bool m_replyStarted = false;     // a byte of the reply has arrived
    bool m_leftover = false;         // bytes came after the reply's end
    std::unique_ptr<ChunkedBodyReader> m_chunks;
    std::unique_ptr<ReplyDecoder> m_decoder;
    Fault m_fault = Fault::None;
};

Q_DECLARE_METATYPE(WebConnection::Reply)
