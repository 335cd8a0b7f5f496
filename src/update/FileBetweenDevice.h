#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>

// A read-only device that yields a head, a file's bytes and a tail, so an upload body is sent
// straight from the file instead of being assembled in memory. Its size is fixed when it opens;
// a file that shrinks meanwhile ends the read with an error rather than with a short body.
class FileBetweenDevice : public QIODevice
{
    Q_OBJECT

public:
    FileBetweenDevice(QByteArray head, const QString &filePath, QByteArray tail, QObject *parent = nullptr);

    // Opens the file for reading; false when it cannot be opened.
    bool open(OpenMode mode) override;
    void close() override;
    bool isSequential() const override { return false; }
    qint64 size() const override;
    bool seek(qint64 pos) override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_head;
    QFile m_file;
    QByteArray m_tail;
    qint64 m_fileSize = 0;
};
