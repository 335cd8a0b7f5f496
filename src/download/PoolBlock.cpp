#include "download/PoolBlock.h"

#include "platform/Platform.h"

PoolBlock::PoolBlock(qsizetype capacity)
    : m_data(static_cast<char *>(Platform::allocateLargeBlock(capacity))),
      m_capacity(m_data ? capacity : 0)
{
}

PoolBlock::~PoolBlock()
{
    Platform::releaseLargeBlock(m_data, m_capacity);
}
