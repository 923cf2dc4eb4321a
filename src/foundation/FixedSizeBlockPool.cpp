#include "foundation/FixedSizeBlockPool.h"

#include <algorithm>
#include <cstddef>
#include <new>

namespace {

unsigned RoundToPointers(unsigned size)
{
    const unsigned pointer = sizeof(void*);
    return std::max(1u, (size + pointer - 1) / pointer) * pointer;
}

}  // namespace

FixedSizeBlockPool::FixedSizeBlockPool(unsigned blockSize, unsigned blocksPerChunk)
    : mBlockSize(RoundToPointers(blockSize)), mBlocksPerChunk(std::max(1u, blocksPerChunk))
{
}

FixedSizeBlockPool::~FixedSizeBlockPool() { Flush(); }

void FixedSizeBlockPool::Grow()
{
    char* chunk = static_cast<char*>(::operator new(sizeof(Link) + std::size_t(mBlockSize) * mBlocksPerChunk));
    mChunks = new (chunk) Link{mChunks};
    char* blocks = chunk + sizeof(Link);
    Link* next = mFree;  // blocks still free stay behind the new ones
    for (unsigned i = mBlocksPerChunk; i > 0; --i)
        next = new (blocks + std::size_t(i - 1) * mBlockSize) Link{next};
    mFree = next;
}

void* FixedSizeBlockPool::Allocate()
{
    if (mFree == nullptr)
        Grow();
    Link* block = mFree;
    mFree = block->next;
    return block;
}

void FixedSizeBlockPool::Flush()
{
    while (mChunks != nullptr) {
        Link* chunk = mChunks;
        mChunks = chunk->next;
        ::operator delete(chunk);
    }
    mFree = nullptr;
}
