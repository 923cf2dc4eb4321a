#include "foundation/ArrayVoidP.h"

#include <algorithm>
#include <cstring>

CArrayVoidP::CArrayVoidP(unsigned capacity, unsigned initialCount, unsigned growBy, bool ownsItems, bool doubling)
    : mCapacity(capacity),
      mSlots(capacity != 0 ? new void*[capacity]() : nullptr),
      mCount(0),
      mGrowBy(growBy != 0 ? growBy : kDefaultGrowBy),
      mOwnsItems(ownsItems),
      mDoubling(doubling)
{
    Init(initialCount);
}

// Variants dispose of their items in their own destructors, while DeleteRange is still theirs.
CArrayVoidP::~CArrayVoidP() { delete[] mSlots; }

void CArrayVoidP::Resize(unsigned n)
{
    if (n < mCount) {
        DeleteRange(n, mCount);
        mCount = n;
    }
    void** slots = n != 0 ? new void*[n]() : nullptr;
    std::copy(mSlots, mSlots + mCount, slots);
    delete[] mSlots;
    mSlots = slots;
    mCapacity = n;
}

unsigned CArrayVoidP::GrowthForInit(unsigned n) const
{
    const unsigned steps = (n / mGrowBy + 1) * mGrowBy;
    return mDoubling ? std::max(2 * mCapacity, steps) : steps;
}

unsigned CArrayVoidP::GrowthWhenFull() const
{
    return mDoubling ? std::max(2 * mCapacity, mGrowBy) : mCapacity + mGrowBy;
}

unsigned CArrayVoidP::GrowthForIndex(unsigned i) const
{
    return mDoubling ? std::max(2 * mCapacity, mGrowBy + i) : mGrowBy + i;
}

void CArrayVoidP::GrowTo(unsigned newCapacity)
{
    if (newCapacity > mCapacity)
        Resize(newCapacity);
}

void CArrayVoidP::NullSlots(unsigned first, unsigned last)
{
    std::fill(mSlots + first, mSlots + last, nullptr);
}

void CArrayVoidP::Init(unsigned n)
{
    if (n <= mCount)
        return;
    if (n > mCapacity)
        GrowTo(GrowthForInit(n));
    NullSlots(mCount, n);
    mCount = n;
}

void CArrayVoidP::SetCount(unsigned n)
{
    if (n > mCount) {
        Init(n);
        return;
    }
    if (n == mCount)
        return;
    DeleteRange(n, mCount);
    NullSlots(n, mCount);
    mCount = n;
    if (mCapacity / 4 > n && mCapacity / 2 >= mGrowBy)
        Resize(mCapacity / 2);
}

void CArrayVoidP::Grow()
{
    if (mCount >= mCapacity)
        GrowTo(GrowthWhenFull());
}

bool CArrayVoidP::Insert(unsigned i, void* p)
{
    if (i > mCount)
        return false;
    Grow();
    std::copy_backward(mSlots + i, mSlots + mCount, mSlots + mCount + 1);
    mSlots[i] = p;
    ++mCount;
    return true;
}

void CArrayVoidP::Add(void* p)
{
    Grow();
    mSlots[mCount++] = p;
}

bool CArrayVoidP::Detach(unsigned first, unsigned last, bool remove)
{
    last = std::min(last, mCount);
    if (last <= first)
        return false;
    if (mOwnsItems && remove)
        DeleteRange(first, last);
    std::copy(mSlots + last, mSlots + mCount, mSlots + first);
    const unsigned newCount = mCount - (last - first);
    NullSlots(newCount, mCount);
    mCount = newCount;
    return true;
}

void*& CArrayVoidP::SetOrAdd(unsigned i)
{
    if (i >= mCapacity)
        GrowTo(GrowthForIndex(i));
    if (i >= mCount) {
        NullSlots(mCount, i + 1);
        mCount = i + 1;
    }
    return mSlots[i];
}

unsigned CArrayVoidP::Find(const void* p) const
{
    const auto found = std::find(mSlots, mSlots + mCount, p);
    return found == mSlots + mCount ? kNotFound : unsigned(found - mSlots);
}
