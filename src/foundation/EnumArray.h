// An enumerator over a copy of an interface array: the items (one reference each) and a cursor.
// Handed out where a caller asks for a list of objects, such as the names of variables.
#pragma once

#include <algorithm>
#include <cstdint>

#include "ResultCodes.h"
#include "foundation/EnumTraits.h"
#include "foundation/InterfaceArray.h"
#include "foundation/UnknownImp.h"

namespace InterfaceEnum {

template <class IEnum, class I, class Traits = KVD::EnumXXXTraits>
class EnumArray : public SimpleUnknownImp1<IEnum, 0l> {
public:
    // Takes a reference on each item of items.
    explicit EnumArray(const IUnknownArray& items, uint32_t cursor = 0) : mItems(items), mCursor(cursor) {}

    // A new enumerator over the items, with one reference for out.
    static HRESULT Create(const IUnknownArray& items, IEnum** out)
    {
        if (out == nullptr)
            return KVD_E_POINTER;
        *out = KVD::MakeCounted<EnumArray>(items).Forget();
        return KVD_S_OK;
    }

    // Up to n items from the cursor, each with a reference; delivered may be null only when
    // n is 1. 0xF8004001 when fewer than n came.
    HRESULT Next(uint32_t n, I** out, uint32_t* delivered) override
    {
        if (out == nullptr || (n != 1 && delivered == nullptr))
            return KVD_E_POINTER;
        const uint32_t end = uint32_t(std::min<uint64_t>(uint64_t(mCursor) + n, mItems.GetCount()));
        uint32_t count = 0;
        HRESULT hr = KVD_S_OK;
        while (mCursor < end) {
            I* item = ItemAt(mCursor++);
            out[count] = item;
            if (item == nullptr) {
                hr = KVD_E_POINTER;
                break;
            }
            Traits::AddRef(item);
            ++count;
        }
        if (delivered != nullptr)
            *delivered = count;
        if (hr != KVD_S_OK)
            return hr;
        return count == n ? KVD_S_OK : KVD_S_FALSE;
    }

    HRESULT Skip(uint32_t n) override
    {
        const uint32_t end = uint32_t(std::min<uint64_t>(uint64_t(mCursor) + n, mItems.GetCount()));
        const uint32_t skipped = end - std::min(mCursor, end);
        mCursor = std::max(mCursor, end);
        return skipped == n ? KVD_S_OK : KVD_S_FALSE;
    }

    HRESULT Reset() override
    {
        mCursor = 0;
        return KVD_S_OK;
    }

    // A new enumerator with a copy of the items and the same cursor.
    HRESULT Clone(IEnum** out) override
    {
        if (out == nullptr)
            return KVD_E_POINTER;
        *out = KVD::MakeCounted<EnumArray>(mItems, mCursor).Forget();
        return KVD_S_OK;
    }

private:
    I* ItemAt(uint32_t i) const { return static_cast<I*>(mItems.GetUnknown(i)); }

    IUnknownArray mItems;
    uint32_t mCursor;
};

}  // namespace InterfaceEnum
