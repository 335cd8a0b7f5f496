#pragma once

#include <QByteArray>
#include <QIODevice>

// What has arrived on an unbuffered socket, read without asking it once more for nothing: readAll()
// reads on until the socket has no more, which costs one extra system call on every reply, and a
// sweep of thousands of displays reads a dozen short replies from each.
namespace ArrivedBytes {

inline QByteArray read(QIODevice *device, qint64 chunk)
{
    QByteArray data;
    qint64 got = 0;
    do {
        const qsizetype start = data.size();
        data.resize(start + chunk);
        got = device->read(data.data() + start, chunk);
        data.resize(start + qMax<qint64>(got, 0));
        // A full chunk may mean more is waiting; anything less is all there was.
    } while (got == chunk);
    return data;
}

} // namespace ArrivedBytes
