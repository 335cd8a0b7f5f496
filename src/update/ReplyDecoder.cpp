#include "update/ReplyDecoder.h"

#include <zlib.h>

struct ReplyDecoder::Stream
{
    z_stream z{};
    bool open = false;

    ~Stream()
    {
        if (open)
            inflateEnd(&z);
    }
};

ReplyDecoder::ReplyDecoder(const QByteArray &contentEncoding, qint64 maxBytes)
    : m_encoding(contentEncoding.trimmed().toLower())
    , m_maxBytes(maxBytes)
{
    if (m_encoding.isEmpty() || m_encoding == "identity")
        m_mode = Mode::Identity;
    else if (m_encoding == "gzip" || m_encoding == "x-gzip")
        m_mode = Mode::Gzip;
    else if (m_encoding == "deflate")
        m_mode = Mode::Deflate;
    else
        m_status = Status::Unsupported;
}

ReplyDecoder::~ReplyDecoder() = default;

ReplyDecoder::Status ReplyDecoder::fail(Status status)
{
    m_status = status;
    m_body.clear();
    m_pending.clear();
    m_stream.reset();
    return status;
}

ReplyDecoder::Status ReplyDecoder::feed(const QByteArray &bytes)
{
    if (m_status != Status::Ok || bytes.isEmpty())
        return m_status;
    if (m_mode == Mode::Identity) {
        if (m_body.size() + bytes.size() > m_maxBytes)
            return fail(Status::TooLarge);
        m_body += bytes;
        return m_status;
    }
    if (m_ended)
        return m_status;    // whatever follows the end of the stream is not part of the body
    if (!m_stream) {
        // "deflate" is meant as a zlib stream, yet some servers send the bare deflate data; the
        // first two bytes tell the two apart.
        m_pending += bytes;
        if (m_mode == Mode::Deflate && m_pending.size() < 2)
            return m_status;
        int windowBits = 16 + MAX_WBITS;
        if (m_mode == Mode::Deflate) {
            const uchar b0 = uchar(m_pending.at(0));
            const uchar b1 = uchar(m_pending.at(1));
            const bool zlibWrapped = (b0 & 0x0f) == Z_DEFLATED && (b0 * 256 + b1) % 31 == 0;
            windowBits = zlibWrapped ? MAX_WBITS : -MAX_WBITS;
        }
        m_stream = std::make_unique<Stream>();
        if (inflateInit2(&m_stream->z, windowBits) != Z_OK)
            return fail(Status::Corrupt);
        m_stream->open = true;
        const QByteArray first = m_pending;
        m_pending.clear();
        return inflateSome(first);
    }
    return inflateSome(bytes);
}

ReplyDecoder::Status ReplyDecoder::inflateSome(const QByteArray &bytes)
{
    z_stream &z = m_stream->z;
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    z.avail_in = uInt(bytes.size());
    char out[16 * 1024];
    for (;;) {
        z.next_out = reinterpret_cast<Bytef *>(out);
        z.avail_out = sizeof out;
        const int rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
            return fail(Status::Corrupt);
        const qint64 produced = qint64(sizeof out - z.avail_out);
        if (m_body.size() + produced > m_maxBytes)
            return fail(Status::TooLarge);
        m_body.append(out, int(produced));
        if (rc == Z_STREAM_END) {
            m_ended = true;
            break;
        }
        // Room left over: zlib took every input byte and gave out all it could.
        if (z.avail_out != 0)
            break;
    }
    return m_status;
}

ReplyDecoder::Status ReplyDecoder::finish()
{
    if (m_status != Status::Ok || m_mode == Mode::Identity)
        return m_status;
    // An empty body is empty whatever its declared encoding.
    if (!m_stream && m_pending.isEmpty())
        return m_status;
    if (!m_stream || !m_ended)
        return fail(Status::Corrupt);
    return m_status;
}
