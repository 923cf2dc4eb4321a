#include "foundation/storage/ElementEnumerator.h"

#include <algorithm>
#include <mutex>

#include "KVDStorageResults.h"
#include "foundation/storage/KVDStorage.h"
#include "foundation/storage/StorageAllocator.h"

namespace KVDStg {

ElementEnumerator::ElementEnumerator(KVDStorage* storage, std::vector<std::shared_ptr<Element>> elements)
    : mStorage(storage), mElements(std::move(elements))
{
}

ElementEnumerator::~ElementEnumerator() = default;

HRESULT ElementEnumerator::QueryInterface(const _IID&, void** out)
{
    if (out != nullptr)
        *out = nullptr;
    return KVD_E_NOINTERFACE;
}

HRESULT ElementEnumerator::Next(uint32_t count, STATSTG* records, uint32_t* fetched)
{
    if (fetched != nullptr)
        *fetched = 0;
    if (records == nullptr && count != 0)
        return KVD_E_POINTER;
    // Names may change under the file's lock while records are filled.
    std::lock_guard<std::recursive_mutex> lock(mStorage->Allocator().Mutex());
    uint32_t given = 0;
    for (; given < count && mCurrent < mElements.size(); ++given, ++mCurrent) {
        HRESULT hr = mElements[mCurrent]->MakeSTATSTG(records[given], 0);
        if (hr != KVD_S_OK) {
            if (fetched != nullptr)
                *fetched = given;
            return hr;
        }
    }
    if (fetched != nullptr)
        *fetched = given;
    return given == count ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT ElementEnumerator::Skip(uint32_t count)
{
    size_t left = mElements.size() - mCurrent;
    mCurrent += std::min<size_t>(count, left);
    return count <= left ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT ElementEnumerator::Reset() { return KVD_E_NOTIMPL; }

HRESULT ElementEnumerator::Clone(IEnumSTATSTG** out)
{
    if (out != nullptr)
        *out = nullptr;
    return KVD_E_NOTIMPL;
}

}  // namespace KVDStg
