#include "download/BlockPool.h"

#include <atomic>

QByteArray BlockPool::take()
{
    for (qsizetype i = 0; i < m_blocks.size(); ++i) {
        // Detached: this list is its only holder, and nothing can take a new share of it.
        if (m_blocks.at(i).isDetached()) {
            // The last other holder read the bytes on its own thread before letting go; those
            // reads must be done before the caller writes new bytes over them.
            std::atomic_thread_fence(std::memory_order_acquire);
            QByteArray block = m_blocks.takeAt(i);
            block.resize(0); // the allocation stays
            return block;
        }
    }
    QByteArray block;
    block.reserve(m_blockSize);
    return block;
}

void BlockPool::handBack(QByteArray block)
{
    if (block.capacity() >= m_blockSize)
        m_blocks.append(std::move(block));
}
