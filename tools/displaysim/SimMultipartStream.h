#pragma once

#include "SimMultipartPart.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QList>

// Splits a multipart/form-data body into parts while it arrives, without
// keeping the body: a 64 MB upload costs a few kilobytes here. The body must
// be exactly: "--" boundary CRLF, per part header lines, an empty line, the
// content, CRLF "--" boundary, then CRLF and the next part or "--" CRLF.
class SimMultipartStream
{
public:
    explicit SimMultipartStream(const QByteArray &boundary);

    void feed(const QByteArray &bytes);
    // True when the whole body was well-formed (closing boundary and its CRLF
    // seen, nothing after them).
    bool finish();
    const QList<SimMultipartPart> &parts() const { return m_parts; }

    // The boundary of a Content-Type value ("multipart/form-data; boundary=x",
    // also with a comma or a quoted boundary); empty when there is none.
    static QByteArray boundaryOf(const QByteArray &contentType);

private:
    enum class State { Preamble, Headers, Content, AfterDelimiter, Closing, Done, Failed };

    void run();
    void startPart();
    void addContent(const QByteArray &bytes);
    void endPart();

    static constexpr int MaxHeaderBytes = 8192;
    static constexpr int MaxParts = 64;
    static constexpr int KeptContent = 4096;

    QByteArray m_boundary;
    QByteArray m_delimiter;         // CRLF "--" boundary
    QByteArray m_pending;
    State m_state = State::Preamble;
    QList<SimMultipartPart> m_parts;
    QCryptographicHash m_hash{ QCryptographicHash::Md5 };
};
