// Growable array of pointers to objects of class T, which it deletes (through T's virtual
// destructor) when it owns them.
#pragma once

#include <algorithm>

#include "foundation/ArrayVoidP.h"

template <class T>
struct CIArray_CallDelete {
    void operator()(T* p) const { delete p; }
};

// For arrays that only refer to their items.
template <class T>
struct CIArray_NeverCallDeleteAtRuntime {
    void operator()(T*) const {}
};

template <class T, class Deleter = CIArray_CallDelete<T>>
class CIArray : public CArrayVoidP {
public:
    explicit CIArray(bool ownsItems = true, unsigned capacity = 0, unsigned growBy = kDefaultGrowBy, bool doubling = true)
        : CArrayVoidP(capacity, 0, growBy, ownsItems, doubling)
    {
    }
    ~CIArray() override { DeleteRange(0, GetCount()); }

    // When the array owns its items: deletes the non-null items of [first, min(last, count)),
    // from the last down, and nulls their slots.
    void DeleteRange(unsigned first, unsigned last) override
    {
        if (!OwnsItems())
            return;
        for (unsigned i = std::min(last, GetCount()); i > first; --i) {
            T* item = (*this)[i - 1];
            CArrayVoidP::operator[](i - 1) = nullptr;
            if (item != nullptr)
                Deleter()(item);
        }
    }

    // Removes count items from first, deleting them when the array owns them.
    void RemoveRange(unsigned first, unsigned count)
    {
        Detach(first, first + std::min(count, kNotFound - first), true);
    }

    // Stores p at index i, growing the array to reach it; an owned item that p replaces is
    // deleted.
    void StoreAt(unsigned i, T* p)
    {
        void*& slot = SetOrAdd(i);
        T* old = static_cast<T*>(slot);
        slot = p;
        if (OwnsItems() && old != nullptr && old != p)
            Deleter()(old);
    }

    void Add(T* p) { CArrayVoidP::Add(p); }
    void push_back(T* p) { Add(p); }
    bool Insert(unsigned i, T* p) { return CArrayVoidP::Insert(i, p); }
    unsigned Find(const T* p) const { return CArrayVoidP::Find(p); }

    T* operator[](unsigned i) const { return static_cast<T*>(CArrayVoidP::operator[](i)); }
};
