#include "foundation/storage/ElementTable.h"

#include <algorithm>

#include "KVDStorageResults.h"
#include "foundation/KVDResultCodes.h"
#include "foundation/XKVD.h"
#include "foundation/storage/ByteOrder.h"
#include "foundation/storage/StorageAllocator.h"

namespace KVDStg {

ElementTable::ElementTable(StorageAllocator& allocator, std::shared_ptr<Element> own)
    : mAllocator(allocator), mDirectory(allocator, std::move(own))
{
}

HRESULT ElementTable::Parse(const std::vector<uint8_t>& bytes, bool olderLayout, std::vector<Element>& out)
{
    out.clear();
    size_t count = 0;
    size_t offset = 0;
    size_t recordSize = olderLayout ? kOlderElementSize : kElementSize;
    if (olderLayout) {
        count = bytes.size() / kOlderElementSize;
        if (count > kMaxEntries)
            return KVD_STG_E_NOSPACE;
    } else if (!bytes.empty()) {
        if (bytes.size() < kDirectoryHeaderSize)
            return KVD_E_BADSTATE;
        uint32_t stored = GetU32(bytes.data());
        if (stored + GetU32(bytes.data() + 4) != 0)
            return KVD_STG_E_BADCOUNT;
        if (stored > kMaxEntries)
            return KVD_STG_E_NOSPACE;
        count = stored;
        offset = kDirectoryHeaderSize;
    }
    if (bytes.size() < offset + count * recordSize)
        return KVD_E_BADSTATE;
    // Bytes beyond the records are no directory this system writes.
    if (bytes.size() != offset + count * recordSize)
        return KVD_STG_E_CORRUPT;
    out.resize(count);
    for (size_t i = 0; i < count; ++i) {
        HRESULT hr = out[i].Decode(bytes.data() + offset + i * recordSize, olderLayout);
        if (hr != KVD_S_OK)
            return hr;
    }
    return KVD_S_OK;
}

HRESULT ElementTable::Read()
{
    mEntries.clear();
    mIndex.clear();
    mIndexed = false;
    int64_t size = mDirectory.GetElement()->Size();
    if (size < 0 || static_cast<uint64_t>(size) > kLargestDirectory)
        return KVD_STG_E_CORRUPT;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    size_t done = 0;
    HRESULT hr = mDirectory.SeekTo(0);
    if (hr == KVD_S_OK)
        hr = mDirectory.Read(bytes.data(), bytes.size(), done);
    if (hr != KVD_S_OK)
        return hr;
    if (done != bytes.size())
        return KVD_E_BADSTATE;
    std::vector<Element> records;
    hr = Parse(bytes, !mAllocator.CurrentLayout(), records);
    if (hr != KVD_S_OK)
        return hr;
    for (Element& record : records)
        mEntries.push_back(std::make_shared<Element>(record));
    return KVD_S_OK;
}

HRESULT ElementTable::Write()
{
    std::vector<uint8_t> bytes(kDirectoryHeaderSize + mEntries.size() * kElementSize);
    PutU32(bytes.data(), static_cast<uint32_t>(mEntries.size()));
    PutU32(bytes.data() + 4, 0u - static_cast<uint32_t>(mEntries.size()));
    for (size_t i = 0; i < mEntries.size(); ++i)
        mEntries[i]->Encode(bytes.data() + kDirectoryHeaderSize + i * kElementSize);
    HRESULT hr = mDirectory.SetSize(0);
    if (hr == KVD_S_OK)
        hr = mDirectory.SeekTo(0);
    size_t done = 0;
    if (hr == KVD_S_OK)
        hr = mDirectory.Write(bytes.data(), bytes.size(), done);
    if (hr == KVD_S_OK && done != bytes.size())
        hr = KVD_E_BADSTATE;
    if (hr != KVD_S_OK)
        return hr;
    for (const std::shared_ptr<Element>& entry : mEntries)
        entry->changed = false;
    return KVD_S_OK;
}

bool ElementTable::AnyChanged() const
{
    return std::any_of(mEntries.begin(), mEntries.end(),
                       [](const std::shared_ptr<Element>& entry) { return entry->changed; });
}

std::shared_ptr<Element> ElementTable::Find(const ElementName& name, uint32_t type) const
{
    if (!mIndexed)
        BuildIndex();
    auto same = mIndex.find(Element::FoldedName(name));
    if (same == mIndex.end())
        return nullptr;
    for (const std::shared_ptr<Element>& entry : same->second) {
        if (type == 0 || entry->type == type)
            return entry;
    }
    return nullptr;
}

void ElementTable::Add(std::shared_ptr<Element> element)
{
    if (mEntries.size() >= kMaxEntries)
        throw XKVD(KVD::String(L"ElementTable::Resize : too many entries"), KVD_E_STORAGEMESSAGE);
    mEntries.push_back(std::move(element));
    Index(mEntries.back());
}

void ElementTable::Remove(const Element* element)
{
    Unindex(element);
    mEntries.erase(std::remove_if(mEntries.begin(), mEntries.end(),
                                  [element](const std::shared_ptr<Element>& entry) { return entry.get() == element; }),
                   mEntries.end());
}

void ElementTable::Rename(const std::shared_ptr<Element>& element, const ElementName& name)
{
    Unindex(element.get());
    element->SetName(name);
    if (!mIndexed)
        return;
    // Other records of the new name may stand before or after it in the table.
    std::vector<std::shared_ptr<Element>>& same = mIndex[element->Key()];
    size_t position = Position(element.get());
    auto later = std::find_if(same.begin(), same.end(), [&](const std::shared_ptr<Element>& other) {
        return Position(other.get()) > position;
    });
    same.insert(later, element);
}

void ElementTable::BuildIndex() const
{
    mIndexed = true;
    for (const std::shared_ptr<Element>& entry : mEntries)
        Index(entry);
}

void ElementTable::Index(const std::shared_ptr<Element>& element) const
{
    if (mIndexed)
        mIndex[element->Key()].push_back(element);
}

void ElementTable::Unindex(const Element* element)
{
    if (!mIndexed)
        return;
    auto same = mIndex.find(element->Key());
    if (same == mIndex.end())
        return;
    std::vector<std::shared_ptr<Element>>& list = same->second;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [element](const std::shared_ptr<Element>& entry) { return entry.get() == element; }),
               list.end());
    if (list.empty())
        mIndex.erase(same);
}

size_t ElementTable::Position(const Element* element) const
{
    auto at = std::find_if(mEntries.begin(), mEntries.end(),
                           [element](const std::shared_ptr<Element>& entry) { return entry.get() == element; });
    return static_cast<size_t>(at - mEntries.begin());
}

}  // namespace KVDStg
