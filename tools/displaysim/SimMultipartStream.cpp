#include "SimMultipartStream.h"

#include <QRegularExpression>

SimMultipartStream::SimMultipartStream(const QByteArray &boundary)
    : m_boundary(boundary)
    , m_delimiter("\r\n--" + boundary)
{
    if (boundary.isEmpty() || boundary.size() > 200)
        m_state = State::Failed;
}

QByteArray SimMultipartStream::boundaryOf(const QByteArray &contentType)
{
    if (!contentType.trimmed().toLower().startsWith("multipart/form-data"))
        return {};
    static const QRegularExpression re(QStringLiteral("boundary=(\"([^\"]*)\"|([^;,\\s]*))"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(contentType));
    if (!m.hasMatch())
        return {};
    return (m.captured(2).isEmpty() ? m.captured(3) : m.captured(2)).toLatin1();
}

void SimMultipartStream::feed(const QByteArray &bytes)
{
    if (m_state == State::Failed)
        return;
    m_pending += bytes;
    run();
}

bool SimMultipartStream::finish()
{
    run();
    return m_state == State::Done && m_pending.isEmpty();
}

void SimMultipartStream::run()
{
    for (;;) {
        switch (m_state) {
        case State::Preamble: {
            const QByteArray first = "--" + m_boundary + "\r\n";
            if (m_pending.size() < first.size()) {
                if (!first.startsWith(m_pending))
                    m_state = State::Failed;
                return;
            }
            if (!m_pending.startsWith(first)) {
                m_state = State::Failed;
                return;
            }
            m_pending.remove(0, first.size());
            startPart();
            break;
        }
        case State::Headers: {
            const int end = m_pending.indexOf("\r\n\r\n");
            if (m_pending.startsWith("\r\n")) { // a part without header lines
                m_pending.remove(0, 2);
                m_state = State::Content;
                break;
            }
            if (end < 0) {
                if (m_pending.size() > MaxHeaderBytes)
                    m_state = State::Failed;
                return;
            }
            SimMultipartPart &part = m_parts.last();
            part.headerLines = m_pending.left(end).split('\n');
            for (QByteArray &line : part.headerLines) {
                if (line.endsWith('\r'))
                    line.chop(1);
                if (!line.toLower().startsWith("content-disposition:"))
                    continue;
                static const QRegularExpression name(QStringLiteral("[;\\s]name=\"([^\"]*)\""));
                static const QRegularExpression file(QStringLiteral("[;\\s]filename=\"([^\"]*)\""));
                const QString text = QString::fromUtf8(line);
                part.name = name.match(text).captured(1).toUtf8();
                const QRegularExpressionMatch f = file.match(text);
                part.hasFilename = f.hasMatch();
                part.filename = f.captured(1).toUtf8();
            }
            m_pending.remove(0, end + 4);
            m_state = State::Content;
            break;
        }
        case State::Content: {
            const int at = m_pending.indexOf(m_delimiter);
            if (at < 0) {
                // Keep what could be the start of the delimiter.
                const int keep = qMin(int(m_pending.size()), int(m_delimiter.size()) - 1);
                addContent(m_pending.left(m_pending.size() - keep));
                m_pending.remove(0, m_pending.size() - keep);
                return;
            }
            addContent(m_pending.left(at));
            m_pending.remove(0, at + m_delimiter.size());
            endPart();
            m_state = State::AfterDelimiter;
            break;
        }
        case State::AfterDelimiter:
            if (m_pending.size() < 2)
                return;
            if (m_pending.startsWith("\r\n")) {
                m_pending.remove(0, 2);
                if (m_parts.size() >= MaxParts) {
                    m_state = State::Failed;
                    return;
                }
                startPart();
            } else if (m_pending.startsWith("--")) {
                m_pending.remove(0, 2);
                m_state = State::Closing;
            } else {
                m_state = State::Failed;
                return;
            }
            break;
        case State::Closing:
            if (m_pending.size() < 2)
                return;
            if (!m_pending.startsWith("\r\n")) {
                m_state = State::Failed;
                return;
            }
            m_pending.remove(0, 2);
            m_state = State::Done;
            return;
        case State::Done:
            // Anything after the closing boundary's CRLF makes the body malformed.
            if (!m_pending.isEmpty())
                m_state = State::Failed;
            return;
        case State::Failed:
            return;
        }
    }
}

void SimMultipartStream::startPart()
{
    m_parts.append(SimMultipartPart());
    m_hash.reset();
    m_state = State::Headers;
}

void SimMultipartStream::addContent(const QByteArray &bytes)
{
    SimMultipartPart &part = m_parts.last();
    m_hash.addData(bytes);
    if (part.size + bytes.size() <= KeptContent)
        part.content += bytes;
    part.size += bytes.size();
}

void SimMultipartStream::endPart()
{
    SimMultipartPart &part = m_parts.last();
    part.md5 = m_hash.result().toHex();
    if (part.size > KeptContent)
        part.content.clear();
}
