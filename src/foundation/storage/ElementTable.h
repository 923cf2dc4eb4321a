// The directory of one storage: its child records, read from and written to the storage's own
// chain (the directory stream: a count, its negation, then the records in table order).
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "foundation/storage/Element.h"
#include "foundation/storage/StreamCursor.h"

namespace KVDStg {

class StorageAllocator;

class ElementTable {
public:
    static constexpr size_t kLargestDirectory = kDirectoryHeaderSize + size_t(kMaxEntries) * kElementSize;

    ElementTable(StorageAllocator& allocator, std::shared_ptr<Element> own);

    // Replaces the entries by those stored in the directory stream.
    HRESULT Read();
    // Stores the entries; each record is no longer changed afterwards.
    HRESULT Write();
    // The records of a directory stream's bytes, in either layout.
    static HRESULT Parse(const std::vector<uint8_t>& bytes, bool olderLayout, std::vector<Element>& out);

    // The first record in table order whose name matches (and whose type matches, when type
    // is not 0).
    std::shared_ptr<Element> Find(const ElementName& name, uint32_t type = 0) const;
    const std::vector<std::shared_ptr<Element>>& Entries() const { return mEntries; }
    bool AnyChanged() const;
    // Raises XKVD when the table already holds the most entries a directory can.
    void Add(std::shared_ptr<Element> element);
    void Remove(const Element* element);
    void Rename(const std::shared_ptr<Element>& element, const ElementName& name);

private:
    void BuildIndex() const;
    void Index(const std::shared_ptr<Element>& element) const;
    void Unindex(const Element* element);
    size_t Position(const Element* element) const;

    StorageAllocator& mAllocator;
    StreamCursor mDirectory;
    std::vector<std::shared_ptr<Element>> mEntries;
    // The records by case-folded name, each list in table order, so that creating and
    // opening do not compare the name with every record. Built by the first lookup: a
    // directory read only to be listed needs none.
    mutable std::unordered_map<ElementName, std::vector<std::shared_ptr<Element>>> mIndex;
    mutable bool mIndexed = false;
};

}  // namespace KVDStg
