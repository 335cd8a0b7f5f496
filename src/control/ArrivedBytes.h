#pragma once

#include <QByteArray>
#include <QIODevice>

// What has arrived on an unbuffered socket, read without asking it once more for nothing: readAll()
// reads on until the socket has no more, which costs one extra system call on every reply, and a
// sweep of thousands of displays reads a dozen short replies from each.
namespace ArrivedBytes {

inline QByteArray read(QIODevice *device, qint64 chunk)
{
    // The first read goes to the stack: most replies are a few dozen bytes, and a heap block of
    // the chunk's size, shrunk again after each of them, cost more than the reply itself.
    char first[4096];
    const qint64 firstChunk = qMin<qint64>(chunk, qint64(sizeof first));
    qint64 got = device->read(first, firstChunk);
    QByteArray data(first, qsizetype(qMax<qint64>(got, 0)));
    // A full chunk may mean more is waiting; anything less is all there was.
    bool more = got == firstChunk;
    while (more) {
        const qsizetype start = data.size();
        data.resize(start + chunk);
        got = device->read(data.data() + start, chunk);
        data.resize(start + qMax<qint64>(got, 0));
        more = got == chunk;
    }
    return data;
}

} // namespace ArrivedBytes
