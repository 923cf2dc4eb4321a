// An interface array kept in ascending order. Less answers less(key, item) and less(item, key)
// for every key type searched for (an item is a key of its own); Equal answers equal(item,
// key). Several items may be neither less nor greater than one another; Equal picks among them.
#pragma once

#include "foundation/InterfaceArray.h"

template <class I, class Less, class Equal>
class SortedInterfaceArray : public InterfaceArrayBase<I> {
public:
    using InterfaceArrayBase<I>::InterfaceArrayBase;

    // Replaces the first item of p's range that Equal calls equal to p, else inserts p at the
    // end of its range; a reference is taken on p. Answers p's index (kNotFound for null:
    // a null item has no place in the order).
    unsigned SetItem(I* p)
    {
        if (p == nullptr)
            return CArrayVoidP::kNotFound;
        const unsigned first = LowerBound(p);
        const unsigned last = UpperBound(first, p);
        const unsigned match = FindIn(first, last, p);
        if (match != CArrayVoidP::kNotFound) {
            InterfaceArrayBase<I>::SetItem(match, p);
            return match;
        }
        p->AddRef();
        CArrayVoidP::Insert(last, static_cast<IUnknown*>(p));
        return last;
    }

    // Index of the first item of key's range that Equal calls equal to key, or kNotFound.
    template <class Key>
    unsigned Find(const Key& key) const
    {
        const unsigned first = LowerBound(key);
        return FindIn(first, UpperBound(first, key), key);
    }

private:
    // First index whose item is not less than key.
    template <class Key>
    unsigned LowerBound(const Key& key) const
    {
        unsigned low = 0;
        unsigned high = this->GetCount();
        while (low < high) {
            const unsigned mid = low + (high - low) / 2;
            if (Less()((*this)[mid], key))
                low = mid + 1;
            else
                high = mid;
        }
        return low;
    }

    // First index from low on whose item is greater than key.
    template <class Key>
    unsigned UpperBound(unsigned low, const Key& key) const
    {
        unsigned high = this->GetCount();
        while (low < high) {
            const unsigned mid = low + (high - low) / 2;
            if (Less()(key, (*this)[mid]))
                high = mid;
            else
                low = mid + 1;
        }
        return low;
    }

    template <class Key>
    unsigned FindIn(unsigned first, unsigned last, const Key& key) const
    {
        for (unsigned i = first; i < last; ++i) {
            if (Equal()((*this)[i], key))
                return i;
        }
        return CArrayVoidP::kNotFound;
    }
};
