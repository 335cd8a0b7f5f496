#include "update/ChunkedBodyReader.h"

namespace {

constexpr qint64 MaxChunkSize = qint64(1) << 40;

// The chunk size of a size line ("1a2b;ext=x"); -1 when it is not one.
qint64 chunkSize(const QByteArray &line)
{
    const QByteArray digits = line.left(line.indexOf(';') < 0 ? line.size() : line.indexOf(';')).trimmed();
    if (digits.isEmpty() || digits.size() > 11)
        return -1;
    qint64 size = 0;
    for (const char c : digits) {
        int v = -1;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        if (v < 0)
            return -1;
        size = size * 16 + v;
    }
    return size <= MaxChunkSize ? size : -1;
}

} // namespace

bool ChunkedBodyReader::takeLine(QByteArray &in, QByteArray &line)
{
    const int end = in.indexOf('\n');
    if (end < 0) {
        m_line += in;
        in.clear();
        if (m_line.size() > MaxLineBytes)
            m_status = Status::Malformed;
        return false;
    }
    m_line += in.left(end);
    in.remove(0, end + 1);
    if (m_line.size() > MaxLineBytes) {
        m_status = Status::Malformed;
        return false;
    }
    line = m_line.endsWith('\r') ? m_line.chopped(1) : m_line;
    m_line.clear();
    return true;
}

ChunkedBodyReader::Status ChunkedBodyReader::feed(QByteArray &in, QByteArray &out)
{
    while (m_status == Status::NeedMore && !in.isEmpty()) {
        QByteArray line;
        switch (m_stage) {
        case Stage::Size:
            if (!takeLine(in, line))
                break;
            m_left = chunkSize(line);
            if (m_left < 0)
                m_status = Status::Malformed;
            else
                m_stage = m_left == 0 ? Stage::Trailer : Stage::Data;
            break;
        case Stage::Data: {
            const int take = int(qMin<qint64>(m_left, in.size()));
            out += in.left(take);
            in.remove(0, take);
            m_left -= take;
            if (m_left == 0)
                m_stage = Stage::DataEnd;
            break;
        }
        case Stage::DataEnd:
            if (!takeLine(in, line))
                break;
            if (!line.isEmpty())
                m_status = Status::Malformed;
            else
                m_stage = Stage::Size;
            break;
        case Stage::Trailer:
            if (!takeLine(in, line))
                break;
            m_trailerBytes += int(line.size()) + 2;
            if (line.isEmpty())
                m_status = Status::Done;
            else if (m_trailerBytes > MaxTrailerBytes)
                m_status = Status::Malformed;
            break;
        }
    }
    return m_status;
}
