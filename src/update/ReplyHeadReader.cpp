#include "update/ReplyHeadReader.h"

namespace {

// The blank line that ends a head, after either line ending; -1 when not there yet. Returns the
// index just past it.
int headEnd(const QByteArray &head, int from)
{
    for (int i = qMax(0, from); i < head.size(); ++i) {
        if (head.at(i) != '\n')
            continue;
        if (i + 1 < head.size() && head.at(i + 1) == '\n')
            return i + 2;
        if (i + 2 < head.size() && head.at(i + 1) == '\r' && head.at(i + 2) == '\n')
            return i + 3;
    }
    return -1;
}

QByteArray withoutCr(const QByteArray &line)
{
    return line.endsWith('\r') ? line.chopped(1) : line;
}

} // namespace

ReplyHeadReader::Status ReplyHeadReader::feed(QByteArray &bytes)
{
    while (m_status == Status::NeedMore && !bytes.isEmpty()) {
        // Never hold more than the bound (plus the few bytes that may finish the blank line).
        const int room = MaxBytes - m_interimBytes - int(m_head.size()) + 3;
        const int take = int(qMin<qint64>(bytes.size(), qMax(0, room)));
        m_head += bytes.left(take);
        bytes.remove(0, take);
        const int end = headEnd(m_head, m_scanFrom - 2);
        if (end < 0) {
            m_scanFrom = int(m_head.size());
            if (m_interimBytes + m_head.size() > MaxBytes)
                return tooLarge();
            continue;
        }
        if (m_interimBytes + end > MaxBytes)
            return tooLarge();
        // Body bytes that came with the head go back to the caller.
        bytes.prepend(m_head.mid(end));
        const QByteArray head = m_head.left(end);
        m_head.clear();
        m_scanFrom = 0;
        m_status = parse(head);
        if (m_status == Status::Complete && m_statusCode >= 100 && m_statusCode < 200 && m_statusCode != 101) {
            m_interimBytes += end;
            m_headers.clear();
            m_status = Status::NeedMore;
        }
    }
    return m_status;
}

ReplyHeadReader::Status ReplyHeadReader::tooLarge()
{
    const int lastBreak = m_head.lastIndexOf('\n');
    if (lastBreak < 0 && m_interimBytes == 0)
        m_overflow = Overflow::StatusLine;
    else if (m_head.size() - lastBreak > MaxBytes / 2)
        m_overflow = Overflow::HeaderLine;
    else
        m_overflow = Overflow::HeaderBlock;
    m_head.clear();
    m_status = Status::TooLarge;
    return m_status;
}

ReplyHeadReader::Status ReplyHeadReader::parse(const QByteArray &head)
{
    QList<QByteArray> lines = head.split('\n');
    while (!lines.isEmpty() && withoutCr(lines.last()).isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return Status::Malformed;
    const QByteArray statusLine = withoutCr(lines.takeFirst());
    // "HTTP/1.x SP 3DIGIT [SP reason]"
    if (!statusLine.startsWith("HTTP/1.") || statusLine.size() < 12 || statusLine.at(8) != ' ')
        return Status::Malformed;
    const QByteArray code = statusLine.mid(9, 3);
    if (statusLine.size() > 12 && statusLine.at(12) != ' ')
        return Status::Malformed;
    for (const char c : code) {
        if (c < '0' || c > '9')
            return Status::Malformed;
    }
    m_statusCode = code.toInt();
    if (m_statusCode < 100)
        return Status::Malformed;
    m_http11 = statusLine.at(7) != '0';
    m_reason = statusLine.mid(13).trimmed();
    m_headers.clear();
    for (const QByteArray &raw : std::as_const(lines)) {
        const QByteArray line = withoutCr(raw);
        if ((line.startsWith(' ') || line.startsWith('\t')) && !m_headers.isEmpty()) {
            // An old-style continuation line belongs to the header before it.
            m_headers.last().second += ' ' + line.trimmed();
            continue;
        }
        const int colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        m_headers.append({ line.left(colon).trimmed(), line.mid(colon + 1).trimmed() });
    }
    return Status::Complete;
}

QByteArray ReplyHeadReader::header(const QByteArray &name) const
{
    for (const auto &field : m_headers) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return field.second;
    }
    return {};
}

QList<QByteArray> ReplyHeadReader::headerValues(const QByteArray &name) const
{
    QList<QByteArray> values;
    for (const auto &field : m_headers) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            values.append(field.second);
    }
    return values;
}
