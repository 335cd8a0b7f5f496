#pragma once

#include <QByteArray>
#include <memory>

// Decodes a reply body as it arrives, by the content encoding the display declared: none, gzip
// or deflate (the ones our requests offer). At most maxBytes of decoded body are ever held, so a
// small compressed reply that unpacks to gigabytes is refused at the cap, not after.
class ReplyDecoder
{
public:
    enum class Status { Ok, TooLarge, Corrupt, Unsupported };

    ReplyDecoder(const QByteArray &contentEncoding, qint64 maxBytes);
    ~ReplyDecoder();
    ReplyDecoder(const ReplyDecoder &) = delete;
    ReplyDecoder &operator=(const ReplyDecoder &) = delete;

    Status feed(const QByteArray &bytes);
    // The body has ended: a compressed stream cut short is corrupt.
    Status finish();

    Status status() const { return m_status; }
    // The decoded body so far; empty once the status is not Ok.
    const QByteArray &body() const { return m_body; }
    QByteArray encoding() const { return m_encoding; }

private:
    enum class Mode { Identity, Gzip, Deflate };
    struct Stream;

    Status fail(Status status);
    Status inflateSome(const QByteArray &bytes);

    QByteArray m_encoding;
    qint64 m_maxBytes;
    Mode m_mode = Mode::Identity;
    Status m_status = Status::Ok;
    QByteArray m_body;
    QByteArray m_pending;       // deflate: the first bytes, until its wrapper can be told
    bool m_ended = false;
    std::unique_ptr<Stream> m_stream;
};
