#pragma once

#include "download/PoolBlock.h"

#include <QList>

#include <memory>

// Blocks that gather a download's bytes for one write each and are then shared with the hashing
// lane. A block handed back is taken again once every other holder has let go of it, so a
// download of any size cycles through the same few blocks: fresh memory must be mapped, faulted
// in and zero-filled by the system, and on a virtual machine that costs more than the copy into
// a warm block.
class BlockPool
{
public:
    explicit BlockPool(qsizetype blockSize) : m_blockSize(blockSize) {}

    // An empty block of the block size, held by the caller alone: a handed-back block nobody
    // else holds, or a new one. Null when the system has no memory for a new one.
    std::shared_ptr<PoolBlock> take();
    // Keeps a block for later, whoever else still holds it.
    void handBack(std::shared_ptr<PoolBlock> block);
    // Lets go of every block handed back.
    void clear() { m_blocks.clear(); }
    qsizetype blocksHeld() const { return m_blocks.size(); }

private:
    const qsizetype m_blockSize;
    QList<std::shared_ptr<PoolBlock>> m_blocks;
};
