#include "foundation/InterfaceArray.h"

#include <algorithm>

IUnknownArray::IUnknownArray(unsigned capacity, unsigned growBy, bool doubling)
    : CArrayVoidP(capacity, 0, growBy, true, doubling)
{
}

IUnknownArray::IUnknownArray(const IUnknownArray& other) : CArrayVoidP(other.GetCapacity(), 0, 0, true, true)
{
    for (unsigned i = 0; i < other.GetCount(); ++i) {
        IUnknown* item = other.GetUnknown(i);
        if (item != nullptr)
            item->AddRef();
        CArrayVoidP::Add(item);
    }
}

IUnknownArray::~IUnknownArray() { DeleteRange(0, GetCount()); }

// The slot is nulled before the release, so an item whose destruction reaches back into the
// array finds no stale pointer.
void IUnknownArray::DeleteRange(unsigned first, unsigned last)
{
    for (unsigned i = std::min(last, GetCount()); i > first; --i) {
        IUnknown* item = GetUnknown(i - 1);
        CArrayVoidP::operator[](i - 1) = nullptr;
        if (item != nullptr)
            item->Release();
    }
}

void IUnknownArray::Detach(unsigned i)
{
    if (i < GetCount())
        CArrayVoidP::Detach(i, i + 1, true);
}
