#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// Reads the status line and header lines of an HTTP/1.x reply as they arrive. The whole head is
// bounded: a display that sends header lines without end, or one line that never ends, is refused
// at MaxBytes instead of being read until the step time-out. Interim 1xx heads are skipped and
// count towards the same bound.
class ReplyHeadReader
{
public:
    static constexpr int MaxBytes = 64 * 1024;

    enum class Status { NeedMore, Complete, TooLarge, Malformed };
    // Where the bound was crossed, for the log line that says why a reply was refused.
    enum class Overflow { None, StatusLine, HeaderLine, HeaderBlock };

    // Takes head bytes from the front of bytes; once the head is complete, what is left in bytes
    // is the start of the body.
    Status feed(QByteArray &bytes);

    Status status() const { return m_status; }
    Overflow overflow() const { return m_overflow; }
    int statusCode() const { return m_statusCode; }
    QByteArray reason() const { return m_reason; }
    bool isHttp11() const { return m_http11; }
    const QList<QPair<QByteArray, QByteArray>> &headers() const { return m_headers; }
    // The first value of a header, by name in any case; empty when absent.
    QByteArray header(const QByteArray &name) const;
    // Every value of a header, in order (repeated headers and comma lists are not joined).
    QList<QByteArray> headerValues(const QByteArray &name) const;

private:
    Status parse(const QByteArray &head);
    Status tooLarge();

    Status m_status = Status::NeedMore;
    Overflow m_overflow = Overflow::None;
    QByteArray m_head;          // bytes of the head in work
    int m_scanFrom = 0;         // where the search for the blank line goes on
    int m_interimBytes = 0;     // bytes of 1xx heads already skipped
    int m_statusCode = 0;
    QByteArray m_reason;
    bool m_http11 = false;
    QList<QPair<QByteArray, QByteArray>> m_headers;
};
