// Events of 16 bytes (the header alone) from a list, read the way an event enumerator is.
#pragma once

#include <cstring>
#include <vector>

#include "IEnumEventEx.h"
#include "ResultCodes.h"
#include "support/ComDoubles.h"

namespace CalcTest {

class ListEvents final : public TestSupport::HeapDouble<IEnumEventEx> {
public:
    struct Item {
        int32_t tick;
        double value;
    };
    explicit ListEvents(std::vector<Item> items) : mItems(std::move(items)) {}

    HRESULT Next(uint32_t bytes, int32_t endTick, uint8_t* buffer, uint32_t* count, int32_t* position) override
    {
        *count = 0;
        while (mIndex < mItems.size() && mItems[mIndex].tick < endTick && (*count + 1) * 16 <= bytes) {
            const Item& item = mItems[mIndex++];
            const float fraction = 0.0f;
            std::memcpy(buffer + *count * 16, &item.tick, 4);
            std::memcpy(buffer + *count * 16 + 4, &fraction, 4);
            std::memcpy(buffer + *count * 16 + 8, &item.value, 8);
            ++*count;
        }
        *position = mIndex < mItems.size() ? mItems[mIndex].tick : 0x7fffffff;
        return *position == 0x7fffffff ? KVD_S_FALSE : KVD_S_OK;
    }
    HRESULT Find(EventFindTypes, int32_t from, int32_t, int32_t) override
    {
        mIndex = 0;
        while (mIndex < mItems.size() && mItems[mIndex].tick < from)
            ++mIndex;
        return KVD_S_OK;
    }
    HRESULT GetPosition(int32_t* position) override
    {
        *position = mIndex < mItems.size() ? mItems[mIndex].tick : 0x7fffffff;
        return KVD_S_OK;
    }
    HRESULT SkipIndex(int32_t, int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT Clone(IEnumEventEx** out) override { *out = new ListEvents(mItems); return KVD_S_OK; }
    HRESULT GetSizeofEvents(int32_t* size) override { *size = 16; return KVD_S_OK; }
    HRESULT GetTypeofEvents(TCAFId* type) override { *type = 0; return KVD_S_OK; }
    HRESULT GetIndex(int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT GetTickToSample(TTickToSample* map) override { *map = {1, 0}; return KVD_S_OK; }

private:
    std::vector<Item> mItems;
    size_t mIndex = 0;
};

}  // namespace CalcTest
