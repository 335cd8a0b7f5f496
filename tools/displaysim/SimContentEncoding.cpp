#include "SimContentEncoding.h"

#include <zlib.h>

QByteArray SimContentEncoding::headerValue(const QByteArray &encoding)
{
    return encoding == "deflate-raw" ? QByteArray("deflate") : encoding;
}

QByteArray SimContentEncoding::encode(const QByteArray &body, const QByteArray &encoding)
{
    int windowBits = 0;
    if (encoding == "gzip")
        windowBits = 16 + MAX_WBITS;
    else if (encoding == "deflate")
        windowBits = MAX_WBITS;
    else if (encoding == "deflate-raw")
        windowBits = -MAX_WBITS;
    else
        return body;
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return body;
    QByteArray out(int(deflateBound(&z, uLong(body.size()))), Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(body.constData()));
    z.avail_in = uInt(body.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.truncate(int(z.total_out));
    deflateEnd(&z);
    return out;
}
