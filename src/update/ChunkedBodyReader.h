#pragma once

#include <QByteArray>

// Undoes the chunked transfer coding of a reply body as it arrives. Size lines and trailers are
// bounded, so a display cannot hold us reading one line; the data itself is bounded by the caller.
class ChunkedBodyReader
{
public:
    static constexpr int MaxLineBytes = 1024;
    static constexpr int MaxTrailerBytes = 64 * 1024;

    enum class Status { NeedMore, Done, Malformed };

    // Takes bytes from the front of in and appends the body's data to out. Once Done, what is
    // left in in follows the body.
    Status feed(QByteArray &in, QByteArray &out);
    Status status() const { return m_status; }

private:
    enum class Stage { Size, Data, DataEnd, Trailer };

    // A line from the front of in, without its line end; false while it has not ended.
    bool takeLine(QByteArray &in, QByteArray &line);

    Stage m_stage = Stage::Size;
    Status m_status = Status::NeedMore;
    QByteArray m_line;
    qint64 m_left = 0;
    int m_trailerBytes = 0;
};
