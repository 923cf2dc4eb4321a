// A wide stream buffer over a growable block of characters that a subclass supplies: writing
// appends to what the block already holds and doubles the block when it is full.
#pragma once

#include <streambuf>

namespace KVD {

class MemStreamBufBase : public std::wstreambuf {
public:
    explicit MemStreamBufBase(std::ios_base::openmode mode) : mMode(mode) {}

protected:
    // The block, its capacity and the characters it already holds.
    virtual wchar_t* MemStart(unsigned long* capacity, unsigned long* count) = 0;
    // Grows the block to newCapacity (keeping what was written); null when it cannot.
    virtual wchar_t* MemResize(unsigned long newCapacity, unsigned long* capacity) = 0;

    int_type overflow(int_type c) override;
    // Positions are character indexes in the block; a seek never grows it, and seeks relative
    // to the end are refused.
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

    bool HasMode(std::ios_base::openmode mode) const { return (mMode & mode) != 0; }
    // The put area, opened on the block when there is none yet; false when there is no block.
    bool EnsurePutArea();

private:
    bool Grow();
    pos_type SeekOutput(off_type off, std::ios_base::seekdir dir);
    pos_type SeekInput(off_type off, std::ios_base::seekdir dir);

    std::ios_base::openmode mMode;
};

}  // namespace KVD
