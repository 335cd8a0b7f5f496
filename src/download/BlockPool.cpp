#include "download/BlockPool.h"

#include <atomic>

std::shared_ptr<PoolBlock> BlockPool::take()
{
    for (qsizetype i = 0; i < m_blocks.size(); ++i) {
        // Held by this list alone: nobody else can take a new share of it.
        if (m_blocks.at(i).use_count() == 1) {
            // The last other holder read the bytes on its own thread before letting go; those
            // reads must be done before the caller writes new bytes over them.
            std::atomic_thread_fence(std::memory_order_acquire);
            std::shared_ptr<PoolBlock> block = m_blocks.takeAt(i);
            block->clear();
            return block;
        }
    }
    auto block = std::make_shared<PoolBlock>(m_blockSize);
    if (!block->isValid())
        return nullptr;
    return block;
}

void BlockPool::handBack(std::shared_ptr<PoolBlock> block)
{
    if (block && block->capacity() >= m_blockSize)
        m_blocks.append(std::move(block));
}
