#pragma once

#include <QByteArray>
#include <QList>

// What one display learnt from its update clients, in arrival order.
struct SimUpdateCapture
{
    QList<QByteArray> apiKeys;      // X-Api-Key of every "/upload" request ("" when absent)
    QList<qint64> announcedSizes;   // chunked dialect: "filesize=" values
    QList<qint64> chunkSizes;       // chunked dialect: body size of every chunk
    QList<QList<int>> updateRequests; // components of every update request ("T=1,3" gives {1,3})
    // The last package received whole: file name as sent, size and MD5
    // (of the multipart file part, or of the chunks joined).
    QByteArray packageName;
    qint64 packageSize = -1;
    QByteArray packageMd5;
    int packages = 0;               // packages received whole
};
