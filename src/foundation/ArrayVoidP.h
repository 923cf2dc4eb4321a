// Growable array of raw pointers. What removing an item means (nothing, delete, Release) is
// the variant's DeleteRange; whether the array owns its items at all is the owns flag.
#pragma once

#include <cstdint>

class CArrayVoidP {
public:
    static constexpr unsigned kNotFound = 0xFFFFFFFF;
    static constexpr unsigned kDefaultGrowBy = 8;

    // A growth step of 0 becomes 8.
    CArrayVoidP(unsigned capacity, unsigned initialCount, unsigned growBy, bool ownsItems, bool doubling);
    virtual ~CArrayVoidP();
    CArrayVoidP(const CArrayVoidP&) = delete;
    CArrayVoidP& operator=(const CArrayVoidP&) = delete;

    // New slots of n; the first min(count, n) items are kept. Items that no longer fit are
    // disposed of first, so the count never exceeds the capacity.
    virtual void Resize(unsigned n);
    // Disposes of the items in [first, last) and nulls their slots; the count is unchanged.
    virtual void DeleteRange(unsigned first, unsigned last) = 0;

    // Raises the count to n with null slots.
    void Init(unsigned n);
    // Raises or lowers the count; lowering disposes of the items past n and halves the slots
    // when fewer than a quarter would be used.
    void SetCount(unsigned n);
    // Inserts p before item i (i == count appends); false when i is past the count.
    bool Insert(unsigned i, void* p);
    // Appends p.
    void Add(void* p);
    // Grows the slots when the count has reached the capacity.
    void Grow();
    // Removes the items in [first, min(last, count)), disposing of them when remove is set and
    // the array owns its items; false when the range is empty.
    bool Detach(unsigned first, unsigned last, bool remove);
    // Slot i, growing the array (null slots) to reach it.
    void*& SetOrAdd(unsigned i);
    // Index of p, or kNotFound.
    unsigned Find(const void* p) const;

    unsigned GetCount() const { return mCount; }
    unsigned GetCapacity() const { return mCapacity; }
    unsigned GetGrowBy() const { return mGrowBy; }
    bool OwnsItems() const { return mOwnsItems; }
    void*& operator[](unsigned i) { return mSlots[i]; }
    void* operator[](unsigned i) const { return mSlots[i]; }
    void* const* begin() const { return mSlots; }
    void* const* end() const { return mSlots + mCount; }

protected:
    void** Slots() const { return mSlots; }

private:
    // Grows the slots to newCapacity (never shrinks them).
    void GrowTo(unsigned newCapacity);
    unsigned GrowthForInit(unsigned n) const;
    unsigned GrowthWhenFull() const;
    unsigned GrowthForIndex(unsigned i) const;
    void NullSlots(unsigned first, unsigned last);

    unsigned mCapacity;
    void** mSlots;
    unsigned mCount;
    unsigned mGrowBy;
    bool mOwnsItems;
    bool mDoubling;
};
