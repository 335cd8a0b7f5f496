#pragma once

#include <QByteArray>
#include <QtGlobal>

// One block of a download's bytes: filled in place from the reply, written to the file at once,
// then hashed from the same memory. Its memory comes from the system in large pages where it
// offers them (see Platform::allocateLargeBlock), which a QByteArray's allocation cannot ask for.
class PoolBlock
{
public:
    explicit PoolBlock(qsizetype capacity);
    ~PoolBlock();
    Q_DISABLE_COPY_MOVE(PoolBlock)

    // False when the system had no memory for it; such a block has no room at all.
    bool isValid() const { return m_data != nullptr; }
    qsizetype capacity() const { return m_capacity; }
    qsizetype size() const { return m_size; }
    qsizetype room() const { return m_capacity - m_size; }
    bool isFull() const { return m_size == m_capacity; }

    // Where the next bytes go; grow() then counts what was put there.
    char *end() { return m_data + m_size; }
    void grow(qsizetype bytes) { m_size = qBound<qsizetype>(0, m_size + bytes, m_capacity); }
    void clear() { m_size = 0; }

    const char *constData() const { return m_data; }
    // The filled bytes, not copied: valid while the block lives and is not refilled, so whoever
    // keeps the view must keep the block too.
    QByteArray view() const { return QByteArray::fromRawData(m_data, m_size); }

private:
    char *m_data;
    const qsizetype m_capacity;
    qsizetype m_size = 0;
};
