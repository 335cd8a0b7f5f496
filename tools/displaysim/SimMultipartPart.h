#pragma once

#include <QByteArray>
#include <QList>

// One part of a multipart/form-data body as it arrived.
struct SimMultipartPart
{
    QList<QByteArray> headerLines;  // raw, in order, without CRLF
    QByteArray name;                // from Content-Disposition
    QByteArray filename;            // from Content-Disposition; empty when absent
    bool hasFilename = false;
    qint64 size = 0;
    QByteArray md5;                 // lowercase hex MD5 of the content
    QByteArray content;             // the content when it is at most 4096 bytes
};
