// A storage of a compound file: the root, which owns the file's allocator, or a child, which
// keeps its parent alive. One storage object at most is open on an element; opening it again
// hands out the same object, so that two objects never hold diverging copies of a directory.
#pragma once

#include <cstdint>
#include <memory>

#include "IKVDStorage.h"
#include "foundation/UnknownImp.h"
#include "foundation/storage/Element.h"

namespace KVDStg {

class ElementTable;
class StorageAllocator;

class KVDStorage : public KVD::CountedUnknown<KVD::Answers<IKVDStorage, IStorage>> {
public:
    // The root storage of a new file (create) or of the file on the lock bytes, with one
    // reference for the caller. Raises XKVD.
    static KVDStorage* CreateRoot(ILockBytes* lockBytes, bool create, uint32_t mode, uint32_t flags);

    // The last release commits and never throws.
    uint32_t Release() override;

    HRESULT CreateStream(const wchar_t* name, uint32_t mode, uint32_t reserved1, uint32_t reserved2,
                         IStream** out) override;
    HRESULT OpenStream(const wchar_t* name, void* reserved1, uint32_t mode, uint32_t reserved2, IStream** out) override;
    HRESULT CreateStorage(const wchar_t* name, uint32_t mode, uint32_t reserved1, uint32_t reserved2,
                          IStorage** out) override;
    HRESULT OpenStorage(const wchar_t* name, IStorage* priority, uint32_t mode, SNB exclude, uint32_t reserved,
                        IStorage** out) override;
    HRESULT CopyTo(uint32_t excludeCount, const _IID* excludeIids, SNB excludeNames, IStorage* dest) override;
    HRESULT MoveElementTo(const wchar_t* name, IStorage* dest, const wchar_t* newName, uint32_t flags) override;
    // Commits the open storages below this one first, innermost first, so that the file never
    // records clusters without the directories that use them.
    HRESULT Commit(uint32_t flags) override;
    // The root of a transacted file: back to the last commit. Objects opened before no longer
    // work (KVD_E_BADSTATE).
    HRESULT Revert() override;
    HRESULT EnumElements(uint32_t reserved1, void* reserved2, uint32_t reserved3, IEnumSTATSTG** out) override;
    HRESULT DestroyElement(const wchar_t* name) override;
    // Never replaces an element that has the new name.
    HRESULT RenameElement(const wchar_t* oldName, const wchar_t* newName) override;
    HRESULT SetElementTimes(const wchar_t* name, const uint64_t* ctime, const uint64_t* atime,
                            const uint64_t* mtime) override;
    HRESULT SetClass(const _IID& clsid) override;
    HRESULT SetStateBits(uint32_t bits, uint32_t mask) override;
    HRESULT Stat(STATSTG* statstg, uint32_t flag) override;

    HRESULT GetLockBytesId(uint32_t* id) override;
    HRESULT GetLockBytes(ILockBytes** out) override;

    // Root only: the lock bytes' IKVDLockBytes::OnCommitEnd.
    HRESULT OnCommitEnd(uint32_t flags);

    // For the storage's streams and enumerators (the caller holds the file's mutex where it
    // touches the file).
    StorageAllocator& Allocator() const { return mAllocator; }
    // False once the storage's element was destroyed or the file reverted.
    bool Usable() const;

private:
    KVDStorage(std::unique_ptr<StorageAllocator> allocator, bool create, uint32_t mode);
    KVDStorage(KVDStorage* parent, std::shared_ptr<Element> element, bool create, uint32_t mode);
    ~KVDStorage() override;

    HRESULT CommitLocked(uint32_t flags);
    HRESULT DestroyLocked(const std::shared_ptr<Element>& element);
    // Destroys every element of this storage.
    HRESULT DestroyAllLocked();
    // The storage object on a child storage element: the open one, or a new one.
    HRESULT OpenChild(const std::shared_ptr<Element>& element, uint32_t mode, KVDStorage** out);
    // True when storage is this storage or one below it (open storages hold their parents).
    bool ContainsOrIs(IStorage* storage) const;
    HRESULT CopyElement(const Element& element, IStorage* dest);
    // This storage's own record changed: the directory holding it must be written again.
    void OwnRecordChanged();
    HRESULT CheckWritable() const;
    // Before an element of that name and type is created: without kModeCreate one that exists
    // is an error, with it the old one is destroyed.
    HRESULT MakeRoom(const ElementName& key, uint32_t type, uint32_t mode);
    HRESULT FindToOpen(const wchar_t* name, uint32_t type, std::shared_ptr<Element>& element) const;

    std::unique_ptr<StorageAllocator> mOwnedAllocator;
    StorageAllocator& mAllocator;
    KVD::COMPtr<KVDStorage> mParent;
    std::shared_ptr<Element> mElement;
    std::unique_ptr<ElementTable> mTable;
    uint32_t mDepth;
    uint32_t mEpoch;
    // The table lost or gained a record; a changed record marks itself.
    bool mChanged = false;
};

}  // namespace KVDStg
