// Arrays of interface pointers that hold one reference per item. Removing items releases
// them, whatever the owns flag says.
#pragma once

#include "IUnknown.h"
#include "foundation/ArrayVoidP.h"

class IUnknownArray : public CArrayVoidP {
public:
    explicit IUnknownArray(unsigned capacity = 0, unsigned growBy = 0, bool doubling = true);
    // Same capacity and items (each with a reference of its own); grows by doubling.
    IUnknownArray(const IUnknownArray& other);
    ~IUnknownArray() override;

    // Releases the non-null items of [first, last), from the last down, and nulls their slots.
    void DeleteRange(unsigned first, unsigned last) override;

    using CArrayVoidP::Detach;
    // Releases item i and closes the gap; nothing when i is past the count.
    void Detach(unsigned i);

    IUnknown* GetUnknown(unsigned i) const { return static_cast<IUnknown*>((*this)[i]); }
};

// Typed access; items are stored as their IUnknown so that the array can release them.
template <class I>
class InterfaceArrayBase : public IUnknownArray {
public:
    using IUnknownArray::IUnknownArray;

    // Appends p (null allowed) with a reference.
    void Add(I* p)
    {
        if (p != nullptr)
            p->AddRef();
        CArrayVoidP::Add(static_cast<IUnknown*>(p));
    }
    void push_back(I* p) { Add(p); }

    // Appends a null item and answers its slot, to be filled as an out-parameter before the
    // array grows again.
    I** Add()
    {
        CArrayVoidP::Add(nullptr);
        return reinterpret_cast<I**>(&CArrayVoidP::operator[](GetCount() - 1));
    }

    // Replaces item i (a reference taken on p, the old one released); nothing past the count.
    void SetItem(unsigned i, I* p)
    {
        if (i >= GetCount())
            return;
        if (p != nullptr)
            p->AddRef();
        IUnknown* old = GetUnknown(i);
        CArrayVoidP::operator[](i) = static_cast<IUnknown*>(p);
        if (old != nullptr)
            old->Release();
    }

    I* operator[](unsigned i) const { return static_cast<I*>(GetUnknown(i)); }
};

template <class I>
class InterfaceArray : public InterfaceArrayBase<I> {
public:
    using InterfaceArrayBase<I>::InterfaceArrayBase;
};
