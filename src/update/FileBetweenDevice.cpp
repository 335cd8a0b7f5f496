#include "update/FileBetweenDevice.h"

#include <cstring>

FileBetweenDevice::FileBetweenDevice(QByteArray head, const QString &filePath, QByteArray tail, QObject *parent)
    : QIODevice(parent)
    , m_head(std::move(head))
    , m_file(filePath)
    , m_tail(std::move(tail))
{
}

bool FileBetweenDevice::open(OpenMode mode)
{
    if ((mode & WriteOnly) || !m_file.open(QIODevice::ReadOnly))
        return false;
    m_fileSize = m_file.size();
    return QIODevice::open(QIODevice::ReadOnly);
}

void FileBetweenDevice::close()
{
    m_file.close();
    QIODevice::close();
}

qint64 FileBetweenDevice::size() const
{
    return m_head.size() + m_fileSize + m_tail.size();
}

bool FileBetweenDevice::seek(qint64 pos)
{
    if (pos < 0 || pos > size())
        return false;
    return QIODevice::seek(pos);
}

qint64 FileBetweenDevice::readData(char *data, qint64 maxSize)
{
    qint64 done = 0;
    qint64 at = pos();
    while (done < maxSize && at < size()) {
        qint64 got = 0;
        if (at < m_head.size()) {
            got = qMin<qint64>(maxSize - done, m_head.size() - at);
            std::memcpy(data + done, m_head.constData() + at, size_t(got));
        } else if (at < m_head.size() + m_fileSize) {
            const qint64 inFile = at - m_head.size();
            const qint64 want = qMin(maxSize - done, m_fileSize - inFile);
            if (m_file.pos() != inFile && !m_file.seek(inFile))
                return done > 0 ? done : -1;
            got = m_file.read(data + done, want);
            if (got <= 0)
                return done > 0 ? done : -1;
        } else {
            const qint64 inTail = at - m_head.size() - m_fileSize;
            got = qMin<qint64>(maxSize - done, m_tail.size() - inTail);
            std::memcpy(data + done, m_tail.constData() + inTail, size_t(got));
        }
        done += got;
        at += got;
    }
    return done;
}
