#pragma once

#include <QByteArray>

// Reply bodies in a content encoding, as a display's web server may send
// them: "gzip", "deflate" (zlib-wrapped, as HTTP means it) and "deflate-raw"
// (bare deflate data, sent as "deflate" the way some servers do).
namespace SimContentEncoding {

// The Content-Encoding header value to send for the given setting.
QByteArray headerValue(const QByteArray &encoding);
// The body encoded; other settings leave it untouched (a header that lies).
QByteArray encode(const QByteArray &body, const QByteArray &encoding);

}
