#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QString>

// Whole-file helpers for fixtures: a test states the bytes it wants on disk and reads back
// what the code under test left there.
namespace TestFiles {

// Writes the bytes, creating missing parent folders; false when anything fails or falls short.
inline bool writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// The whole content, or empty when the file cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Bytes no compression or coincidence makes special, the same for the same seed.
inline QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray data(size, Qt::Uninitialized);
    const qsizetype words = size / qsizetype(sizeof(quint32));
    generator.fillRange(reinterpret_cast<quint32 *>(data.data()), words);
    for (qsizetype i = words * qsizetype(sizeof(quint32)); i < size; ++i)
        data[i] = char(generator.generate());
    return data;
}

}
