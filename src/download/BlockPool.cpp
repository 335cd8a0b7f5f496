#include "download/BlockPool.h"

QByteArray BlockPool::take()
{
    for (qsizetype i = 0; i < m_blocks.size(); ++i) {
        // Detached: this list is its only holder, and nothing can take a new share of it.
        if (m_blocks.at(i).isDetached()) {
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
