#include "foundation/MemStreamBufBase.h"

#include <algorithm>

namespace KVD {

namespace {

constexpr unsigned long kMaxCapacity = 0x7FFFFFFF;

}  // namespace

bool MemStreamBufBase::EnsurePutArea()
{
    if (pbase() != nullptr)
        return true;
    unsigned long capacity = 0;
    unsigned long count = 0;
    wchar_t* block = MemStart(&capacity, &count);
    if (block == nullptr)
        return false;
    capacity = std::min(capacity, kMaxCapacity);
    count = std::min(count, capacity);
    setp(block, block + capacity);
    pbump(static_cast<int>(count));  // writing appends
    if (HasMode(std::ios_base::in))
        setg(block, block, pptr());
    return true;
}

bool MemStreamBufBase::Grow()
{
    wchar_t* old = pbase();
    const std::ptrdiff_t put = pptr() - old;
    const std::ptrdiff_t capacity = epptr() - old;
    const std::ptrdiff_t get = gptr() - eback();
    const std::ptrdiff_t getEnd = egptr() - eback();
    const bool hasGetArea = eback() != nullptr;
    const unsigned long doubled = static_cast<unsigned long>(capacity) * 2;
    unsigned long newCapacity = 0;
    wchar_t* block = MemResize(std::min(std::max(doubled, 1ul), kMaxCapacity), &newCapacity);
    if (block == nullptr)
        return false;
    newCapacity = std::min(newCapacity, kMaxCapacity);
    setp(block, block + newCapacity);
    pbump(static_cast<int>(put));
    if (hasGetArea)
        setg(block, block + get, block + getEnd);
    return true;
}

MemStreamBufBase::int_type MemStreamBufBase::overflow(int_type c)
{
    if (!HasMode(std::ios_base::out) || !EnsurePutArea())
        return traits_type::eof();
    if (pptr() == epptr() && !Grow())
        return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

MemStreamBufBase::pos_type MemStreamBufBase::SeekOutput(off_type off, std::ios_base::seekdir dir)
{
    if (!EnsurePutArea())
        return pos_type(off_type(-1));
    const off_type base = dir == std::ios_base::beg ? 0 : pptr() - pbase();
    const off_type target = base + off;
    if (target < 0 || target > epptr() - pbase())
        return pos_type(off_type(-1));
    setp(pbase(), epptr());
    pbump(static_cast<int>(target));
    if (!HasMode(std::ios_base::in))
        setg(pbase(), pptr(), std::max(egptr(), pptr()));
    return pos_type(target);
}

MemStreamBufBase::pos_type MemStreamBufBase::SeekInput(off_type off, std::ios_base::seekdir dir)
{
    if (eback() == nullptr && !(EnsurePutArea() && eback() != nullptr))
        return pos_type(off_type(-1));
    // What was written since the get area was set is readable too.
    wchar_t* end = std::max(egptr(), pptr());
    const off_type base = dir == std::ios_base::beg ? 0 : gptr() - eback();
    const off_type target = base + off;
    if (target < 0 || target > end - eback())
        return pos_type(off_type(-1));
    setg(eback(), eback() + target, end);
    return pos_type(target);
}

MemStreamBufBase::pos_type MemStreamBufBase::seekoff(off_type off, std::ios_base::seekdir dir,
                                                     std::ios_base::openmode which)
{
    const bool input = (which & std::ios_base::in) && HasMode(std::ios_base::in);
    const bool output = (which & std::ios_base::out) && HasMode(std::ios_base::out);
    if (dir == std::ios_base::end || (!input && !output) || (input && output && dir == std::ios_base::cur))
        return pos_type(off_type(-1));
    pos_type result = pos_type(off_type(-1));
    if (output) {
        result = SeekOutput(off, dir);
        if (result == pos_type(off_type(-1)))
            return result;
    }
    return input ? SeekInput(off, dir) : result;
}

MemStreamBufBase::pos_type MemStreamBufBase::seekpos(pos_type pos, std::ios_base::openmode which)
{
    return seekoff(off_type(pos), std::ios_base::beg, which);
}

}  // namespace KVD
