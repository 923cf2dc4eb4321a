// Free-list allocator of equal-size blocks, taken from chunks of many blocks each. Blocks are
// not handed back one by one: they return to the heap with Flush or the pool's destruction.
#pragma once

class FixedSizeBlockPool {
public:
    // Block sizes are rounded up to whole pointers, so that a free block can hold its link and
    // every block is pointer-aligned; a chunk holds at least one block.
    FixedSizeBlockPool(unsigned blockSize, unsigned blocksPerChunk);
    ~FixedSizeBlockPool();
    FixedSizeBlockPool(const FixedSizeBlockPool&) = delete;
    FixedSizeBlockPool& operator=(const FixedSizeBlockPool&) = delete;

    // A block, from a new chunk when the free list is empty.
    void* Allocate();
    // Adds one chunk and puts its blocks, in address order, at the head of the free list.
    void Grow();
    // Frees every chunk; every block handed out is gone.
    void Flush();

    unsigned GetBlockSize() const { return mBlockSize; }
    unsigned GetBlocksPerChunk() const { return mBlocksPerChunk; }

private:
    struct Link {
        Link* next;
    };

    unsigned mBlockSize;
    unsigned mBlocksPerChunk;
    Link* mFree = nullptr;
    Link* mChunks = nullptr;
};
