// Growable array of constructed values: elements are copy-constructed in, moved when the
// storage grows, and destroyed from the last down.
#pragma once

#include <algorithm>
#include <memory>
#include <utility>

// Capacity, count and the growth rule that every element type shares.
class CArrayCtorBase {
public:
    static constexpr unsigned kDefaultMinCapacity = 8;

    virtual ~CArrayCtorBase() = default;
    // New storage of n elements; elements past n are destroyed first.
    virtual void Resize(unsigned n) = 0;

    unsigned GetCount() const { return mCount; }
    unsigned GetCapacity() const { return mCapacity; }
    bool IsEmpty() const { return mCount == 0; }

protected:
    CArrayCtorBase(unsigned minCapacity) : mMinCapacity(minCapacity != 0 ? minCapacity : kDefaultMinCapacity) {}

    // The capacity when one more element must fit.
    unsigned GrowthWhenFull() const { return std::max(2 * mCapacity, mMinCapacity); }
    // The capacity for n elements: twice the capacity, or the first multiple of the step
    // above n, whichever is larger.
    unsigned GrowthFor(unsigned n) const { return std::max(2 * mCapacity, (n / mMinCapacity + 1) * mMinCapacity); }

    unsigned mCapacity = 0;
    unsigned mCount = 0;
    unsigned mMinCapacity;
};

// The two boolean arguments are kept so that instances read as elsewhere in the system; they
// do not change the operations.
template <class T, bool B1 = true, bool B2 = true>
class CArrayCtor : public CArrayCtorBase {
public:
    explicit CArrayCtor(unsigned capacity = 0, unsigned minCapacity = kDefaultMinCapacity) : CArrayCtorBase(minCapacity)
    {
        Resize(capacity);
    }
    CArrayCtor(const CArrayCtor& other) : CArrayCtor(other.mCount, other.mMinCapacity)
    {
        for (const T& element : other)
            Add(element);
    }
    CArrayCtor& operator=(const CArrayCtor& other)
    {
        if (this != &other) {
            CArrayCtor copy(other);
            Swap(copy);
        }
        return *this;
    }
    ~CArrayCtor() override
    {
        Clear();
        Free();
    }

    void Resize(unsigned n) override
    {
        if (n < mCount)
            DestroyFrom(n);
        T* elements = n != 0 ? std::allocator<T>().allocate(n) : nullptr;
        // No storage means no elements (they were destroyed above): nothing to move, and no
        // null pointer handed to memmove.
        if (elements != nullptr) {
            std::uninitialized_move(mElements, mElements + mCount, elements);
            std::destroy(mElements, mElements + mCount);
        }
        Free();
        mElements = elements;
        mCapacity = n;
    }

    // Appends a copy of x; x may be an element of this array.
    void Add(const T& x)
    {
        if (mCount < mCapacity) {
            new (mElements + mCount) T(x);
        } else {
            T copy(x);
            Resize(GrowthWhenFull());
            new (mElements + mCount) T(std::move(copy));
        }
        ++mCount;
    }
    void push_back(const T& x) { Add(x); }

    // Raises the count to n with value-initialised elements.
    void Init(unsigned n)
    {
        if (n <= mCount)
            return;
        if (n > mCapacity)
            Resize(GrowthFor(n));
        std::uninitialized_value_construct(mElements + mCount, mElements + n);
        mCount = n;
    }

    // Removes the elements of [first, min(last, count)); the later ones move down.
    void Erase(unsigned first, unsigned last)
    {
        last = std::min(last, mCount);
        if (last <= first)
            return;
        std::move(mElements + last, mElements + mCount, mElements + first);
        DestroyFrom(mCount - (last - first));
    }

    void Clear() { DestroyFrom(0); }

    T& operator[](unsigned i) { return mElements[i]; }
    const T& operator[](unsigned i) const { return mElements[i]; }
    T* begin() { return mElements; }
    T* end() { return mElements + mCount; }
    const T* begin() const { return mElements; }
    const T* end() const { return mElements + mCount; }

private:
    // Destroys the elements from the last down to index n.
    void DestroyFrom(unsigned n)
    {
        while (mCount > n)
            mElements[--mCount].~T();
    }

    void Free()
    {
        if (mElements != nullptr)
            std::allocator<T>().deallocate(mElements, mCapacity);
        mElements = nullptr;
    }

    void Swap(CArrayCtor& other)
    {
        std::swap(mElements, other.mElements);
        std::swap(mCapacity, other.mCapacity);
        std::swap(mCount, other.mCount);
        std::swap(mMinCapacity, other.mMinCapacity);
    }

    T* mElements = nullptr;
};

// A value array whose Init value-initialises new elements (as every CArrayCtor does).
template <class T>
using CArrayCtorInit = CArrayCtor<T, true, true>;
