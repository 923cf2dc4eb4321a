#include "foundation/storage/KVDStorage.h"

#include <mutex>
#include <vector>

#include "KVDStorageResults.h"
#include "foundation/KVDResultCodes.h"
#include "foundation/XKVD.h"
#include "foundation/storage/ElementEnumerator.h"
#include "foundation/storage/ElementTable.h"
#include "foundation/storage/KVDStream.h"
#include "foundation/storage/StorageAllocator.h"

namespace KVDStg {

namespace {

typedef std::lock_guard<std::recursive_mutex> Lock;

const uint32_t kCopySourceMode = 0x10;
const uint32_t kCopyStreamMode = 0x1011;
const uint32_t kCopyStorageMode = 0x11;

bool Failed(HRESULT hr) { return hr != KVD_S_OK && hr != KVD_S_FALSE; }

bool Excluded(const Element& element, SNB names)
{
    for (; names != nullptr && *names != nullptr; ++names) {
        if (element.NameMatches(Element::MakeName(*names)))
            return true;
    }
    return false;
}

}  // namespace

KVDStorage* KVDStorage::CreateRoot(ILockBytes* lockBytes, bool create, uint32_t mode, uint32_t flags)
{
    auto allocator = std::make_unique<StorageAllocator>(lockBytes, create, flags, mode);
    return KVD::COMPtr<KVDStorage>(new KVDStorage(std::move(allocator), create, mode)).Forget();
}

KVDStorage::KVDStorage(std::unique_ptr<StorageAllocator> allocator, bool create, uint32_t mode)
    : mOwnedAllocator(std::move(allocator)), mAllocator(*mOwnedAllocator), mParent(nullptr),
      mElement(mAllocator.Root()), mTable(std::make_unique<ElementTable>(mAllocator, mElement)), mDepth(0),
      mEpoch(mAllocator.Epoch())
{
    Lock lock(mAllocator.Mutex());
    mElement->mode = mode;
    if (!create && mTable->Read() != KVD_S_OK)
        throw XKVD(KVD::String(L"Error reading Root Storage Entry Table"), KVD_E_STORAGEMESSAGE);
    if (create) {
        // A new file is complete on disk from the start, not only after its first commit.
        mChanged = true;
        HRESULT hr = CommitLocked(0);
        if (hr != KVD_S_OK)
            throw XKVD(hr);
    }
}

KVDStorage::KVDStorage(KVDStorage* parent, std::shared_ptr<Element> element, bool create, uint32_t mode)
    : mAllocator(parent->mAllocator), mParent(parent), mElement(std::move(element)),
      mTable(std::make_unique<ElementTable>(mAllocator, mElement)), mDepth(parent->mDepth + 1),
      mEpoch(mAllocator.Epoch())
{
    Lock lock(mAllocator.Mutex());
    if (!create && mTable->Read() != KVD_S_OK)
        throw XKVD(KVD::String(L"Error reading Storage Entry Table"), KVD_E_STORAGEMESSAGE);
    mElement->mode = mode;
    mChanged = create;
    mElement->openStorage = this;
}

KVDStorage::~KVDStorage() = default;

uint32_t KVDStorage::Release()
{
    {
        // Under the lock, so that a storage found open on its element is never one whose last
        // reference is going.
        Lock lock(mAllocator.Mutex());
        uint32_t count = mRefCount.Decrement();
        if (count != 0)
            return count;
        try {
            if (Usable())
                CommitLocked(1);
        } catch (...) {
            // The last release has no caller to report to.
        }
        if (mElement->openStorage == this)
            mElement->openStorage = nullptr;
    }
    delete this;
    return 0;
}

bool KVDStorage::Usable() const { return !mElement->defunct && mEpoch == mAllocator.Epoch(); }

HRESULT KVDStorage::CheckWritable() const
{
    return Usable() && !mAllocator.ReadOnly() ? KVD_S_OK : KVD_E_BADSTATE;
}

HRESULT KVDStorage::CreateStream(const wchar_t* name, uint32_t mode, uint32_t, uint32_t, IStream** out)
{
    if (out == nullptr || name == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    Lock lock(mAllocator.Mutex());
    ElementName key = Element::MakeName(name);
    HRESULT hr = MakeRoom(key, kTypeStream, mode);
    if (hr != KVD_S_OK)
        return hr;
    try {
        auto element = std::make_shared<Element>(key, kTypeStream);
        element->mode = mode;
        element->changed = true;
        mTable->Add(element);
        mChanged = true;
        *out = KVD::MakeCounted<KVDStream>(this, element).Forget();
    } catch (...) {
        return KVD_STG_E_NOSPACE;
    }
    return KVD_S_OK;
}

HRESULT KVDStorage::MakeRoom(const ElementName& key, uint32_t type, uint32_t mode)
{
    HRESULT hr = CheckWritable();
    std::shared_ptr<Element> existing = hr == KVD_S_OK ? mTable->Find(key, type) : nullptr;
    if (existing == nullptr)
        return hr;
    return (mode & kModeCreate) != 0 ? DestroyLocked(existing) : KVD_STG_E_EXISTS;
}

HRESULT KVDStorage::FindToOpen(const wchar_t* name, uint32_t type, std::shared_ptr<Element>& element) const
{
    if (!Usable())
        return KVD_E_BADSTATE;
    element = mTable->Find(Element::MakeName(name), type);
    return element != nullptr ? KVD_S_OK : KVD_STG_E_NOTFOUND;
}

HRESULT KVDStorage::OpenStream(const wchar_t* name, void*, uint32_t mode, uint32_t, IStream** out)
{
    if (out == nullptr || name == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    Lock lock(mAllocator.Mutex());
    std::shared_ptr<Element> element;
    HRESULT hr = FindToOpen(name, kTypeStream, element);
    if (hr != KVD_S_OK)
        return hr;
    element->mode = mode;
    try {
        *out = KVD::MakeCounted<KVDStream>(this, element).Forget();
    } catch (...) {
        return KVD_STG_E_NOSPACE;
    }
    return KVD_S_OK;
}

HRESULT KVDStorage::CreateStorage(const wchar_t* name, uint32_t mode, uint32_t, uint32_t, IStorage** out)
{
    if (out == nullptr || name == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    Lock lock(mAllocator.Mutex());
    if (mDepth + 1 >= kMaxStorageDepth)
        return KVD_E_BADSTATE;
    ElementName key = Element::MakeName(name);
    HRESULT hr = MakeRoom(key, kTypeStorage, mode);
    if (hr != KVD_S_OK)
        return hr;
    auto element = std::make_shared<Element>(key, kTypeStorage);
    try {
        element->mode = mode;
        mTable->Add(element);
        *out = KVD::COMPtr<KVDStorage>(new KVDStorage(this, element, true, mode)).Forget();
        mChanged = true;
    } catch (...) {
        mTable->Remove(element.get());
        return KVD_E_BADSTATE;
    }
    return KVD_S_OK;
}

HRESULT KVDStorage::OpenStorage(const wchar_t* name, IStorage*, uint32_t mode, SNB, uint32_t, IStorage** out)
{
    if (out == nullptr || name == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    Lock lock(mAllocator.Mutex());
    std::shared_ptr<Element> element;
    // Files of the oldest version find a storage by its name alone: the first record of that
    // name is opened as a storage, whatever its type.
    const uint32_t type = mAllocator.Version() == kOldestVersion ? 0 : kTypeStorage;
    HRESULT hr = FindToOpen(name, type, element);
    if (hr != KVD_S_OK)
        return hr;
    KVDStorage* child = nullptr;
    hr = OpenChild(element, mode, &child);
    *out = child;
    return hr;
}

HRESULT KVDStorage::OpenChild(const std::shared_ptr<Element>& element, uint32_t mode, KVDStorage** out)
{
    if (element->openStorage != nullptr) {
        KVD::GiveOut(element->openStorage, out);
        return KVD_S_OK;
    }
    try {
        *out = KVD::COMPtr<KVDStorage>(new KVDStorage(this, element, false, mode)).Forget();
    } catch (...) {
        return KVD_STG_E_NOSPACE;
    }
    return KVD_S_OK;
}

HRESULT KVDStorage::CopyTo(uint32_t excludeCount, const _IID* excludeIids, SNB excludeNames, IStorage* dest)
{
    if (excludeCount != 0 || excludeIids != nullptr)
        return KVD_STG_E_NOEXCLUDE;
    if (dest == nullptr)
        return KVD_STG_E_INVALIDARG;
    Lock lock(mAllocator.Mutex());
    if (!Usable())
        return KVD_E_BADSTATE;
    // Each level would copy the copy just made below it, down to the nesting limit.
    if (ContainsOrIs(dest))
        return KVD_STG_E_INVALIDARG;
    // A copy of the list: a copy into an ancestor can reach this storage again and add to it.
    std::vector<std::shared_ptr<Element>> entries = mTable->Entries();
    for (const std::shared_ptr<Element>& element : entries) {
        if (Excluded(*element, excludeNames))
            continue;
        HRESULT hr = CopyElement(*element, dest);
        if (Failed(hr))
            return hr;
    }
    return KVD_S_OK;
}

bool KVDStorage::ContainsOrIs(IStorage* storage) const
{
    const KVD::COMPtr<IKVDStorage> ours = KVD::com_cast(storage);
    // Storages of this file are KVDStorage objects; another implementation lies in another file.
    for (const KVDStorage* s = dynamic_cast<KVDStorage*>(ours.get()); s != nullptr; s = s->mParent.get()) {
        if (s == this)
            return true;
    }
    return false;
}

HRESULT KVDStorage::CopyElement(const Element& element, IStorage* dest)
{
    std::wstring name = element.Name();
    if (element.IsStream()) {
        KVD::COMPtr<IStream> source;
        KVD::COMPtr<IStream> target;
        HRESULT hr = OpenStream(name.c_str(), nullptr, kCopySourceMode, 0, source.Set());
        if (hr == KVD_S_OK)
            hr = dest->CreateStream(name.c_str(), kCopyStreamMode, 0, 0, target.Set());
        if (hr == KVD_S_OK)
            hr = source->CopyTo(target, UINT64_MAX, nullptr, nullptr);
        return hr;
    }
    KVD::COMPtr<IStorage> source;
    KVD::COMPtr<IStorage> target;
    HRESULT hr = OpenStorage(name.c_str(), nullptr, kCopySourceMode, nullptr, 0, source.Set());
    if (hr == KVD_S_OK) {
        hr = dest->CreateStorage(name.c_str(), kCopyStorageMode, 0, 0, target.Set());
        if (hr == KVD_STG_E_EXISTS)
            hr = dest->OpenStorage(name.c_str(), nullptr, kCopyStorageMode, nullptr, 0, target.Set());
    }
    if (hr == KVD_S_OK)
        hr = target->SetClass(element.classId);
    if (hr == KVD_S_OK)
        hr = source->CopyTo(0, nullptr, nullptr, target);
    return hr;
}

HRESULT KVDStorage::MoveElementTo(const wchar_t*, IStorage*, const wchar_t*, uint32_t) { return KVD_E_NOTIMPL; }

HRESULT KVDStorage::Commit(uint32_t flags)
{
    Lock lock(mAllocator.Mutex());
    return CommitLocked(flags);
}

HRESULT KVDStorage::CommitLocked(uint32_t flags)
{
    if (!Usable())
        return KVD_E_BADSTATE;
    for (const std::shared_ptr<Element>& entry : mTable->Entries()) {
        if (entry->openStorage != nullptr) {
            HRESULT hr = entry->openStorage->CommitLocked(flags);
            if (hr != KVD_S_OK)
                return hr;
        }
    }
    if (mChanged || mTable->AnyChanged()) {
        HRESULT hr = mTable->Write();
        if (hr != KVD_S_OK)
            return hr;
        mChanged = false;
        OwnRecordChanged();
    }
    if (mParent != nullptr)
        return KVD_S_OK;
    try {
        mAllocator.Commit();
    } catch (const XKVD& x) {
        return x.GetCode() != KVD_S_OK && x.GetCode() != KVD_S_FALSE ? x.GetCode() : KVD_E_BADSTATE;
    } catch (...) {
        return KVD_STG_E_NOSPACE;
    }
    return OnCommitEnd(flags);
}

HRESULT KVDStorage::OnCommitEnd(uint32_t flags)
{
    if (mParent != nullptr || mAllocator.KVDLockBytes() == nullptr)
        return KVD_S_OK;
    return mAllocator.KVDLockBytes()->OnCommitEnd(flags);
}

void KVDStorage::OwnRecordChanged()
{
    // A child's record is in its parent's table, which notices; the root's is in the header.
    mElement->changed = true;
    if (mParent == nullptr)
        mAllocator.SetRootChanged();
}

HRESULT KVDStorage::Revert()
{
    Lock lock(mAllocator.Mutex());
    if (mParent != nullptr || !mAllocator.Transacted())
        return KVD_E_NOTIMPL;
    try {
        mAllocator.Revert();
        mElement = mAllocator.Root();
        mTable = std::make_unique<ElementTable>(mAllocator, mElement);
        mEpoch = mAllocator.Epoch();
        mChanged = false;
        return mTable->Read();
    } catch (const XKVD& x) {
        return x.GetCode();
    } catch (...) {
        return KVD_STG_E_NOSPACE;
    }
}

HRESULT KVDStorage::EnumElements(uint32_t, void*, uint32_t, IEnumSTATSTG** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    Lock lock(mAllocator.Mutex());
    if (!Usable())
        return KVD_E_BADSTATE;
    try {
        *out = KVD::MakeCounted<ElementEnumerator>(this, mTable->Entries()).Forget();
    } catch (...) {
        return KVD_STG_E_NOSPACE;
    }
    return KVD_S_OK;
}

HRESULT KVDStorage::DestroyElement(const wchar_t* name)
{
    if (name == nullptr)
        return KVD_E_POINTER;
    Lock lock(mAllocator.Mutex());
    HRESULT hr = CheckWritable();
    if (hr != KVD_S_OK)
        return hr;
    std::shared_ptr<Element> element = mTable->Find(Element::MakeName(name));
    return element != nullptr ? DestroyLocked(element) : KVD_STG_E_NOTFOUND;
}

HRESULT KVDStorage::DestroyLocked(const std::shared_ptr<Element>& element)
{
    if (element->IsStorage()) {
        KVD::COMPtr<KVDStorage> child;
        HRESULT hr = OpenChild(element, 0, child.Set());
        if (hr == KVD_S_OK)
            hr = child->DestroyAllLocked();
        // Defunct before its release, so that the release commits nothing.
        if (hr == KVD_S_OK)
            element->defunct = true;
        child.Clear();
        if (hr != KVD_S_OK)
            return hr;
    }
    HRESULT hr = mAllocator.FreeChain(*element);
    if (Failed(hr))
        return hr;
    element->defunct = true;
    ++element->chainGeneration;
    mTable->Remove(element.get());
    mElement->changed = true;
    mChanged = true;
    return KVD_S_OK;
}

HRESULT KVDStorage::DestroyAllLocked()
{
    std::vector<std::shared_ptr<Element>> entries = mTable->Entries();
    for (const std::shared_ptr<Element>& entry : entries) {
        HRESULT hr = DestroyLocked(entry);
        if (hr != KVD_S_OK)
            return hr;
    }
    return KVD_S_OK;
}

HRESULT KVDStorage::RenameElement(const wchar_t* oldName, const wchar_t* newName)
{
    if (oldName == nullptr || newName == nullptr)
        return KVD_E_POINTER;
    Lock lock(mAllocator.Mutex());
    HRESULT hr = CheckWritable();
    if (hr != KVD_S_OK)
        return hr;
    ElementName newKey = Element::MakeName(newName);
    std::shared_ptr<Element> source = mTable->Find(Element::MakeName(oldName));
    std::shared_ptr<Element> target = mTable->Find(newKey);
    // Only a change of case of the element itself may keep a name that is taken.
    if (target != nullptr && target != source)
        return KVD_STG_E_EXISTS;
    if (source == nullptr)
        return KVD_STG_E_NOTFOUND;
    mTable->Rename(source, newKey);
    source->changed = true;
    return KVD_S_OK;
}

HRESULT KVDStorage::SetElementTimes(const wchar_t* name, const uint64_t* ctime, const uint64_t* atime,
                                    const uint64_t* mtime)
{
    if (name == nullptr || ctime == nullptr || atime == nullptr || mtime == nullptr)
        return KVD_E_POINTER;
    Lock lock(mAllocator.Mutex());
    HRESULT hr = CheckWritable();
    if (hr != KVD_S_OK)
        return hr;
    std::shared_ptr<Element> element = mTable->Find(Element::MakeName(name));
    if (element == nullptr)
        return KVD_STG_E_NOTFOUND;
    element->creationTime = *ctime;
    element->accessTime = *atime;
    element->modificationTime = *mtime;
    element->changed = true;
    return KVD_S_OK;
}

HRESULT KVDStorage::SetClass(const _IID& clsid)
{
    Lock lock(mAllocator.Mutex());
    HRESULT hr = CheckWritable();
    if (hr != KVD_S_OK)
        return hr;
    mElement->classId = clsid;
    OwnRecordChanged();
    return KVD_S_OK;
}

HRESULT KVDStorage::SetStateBits(uint32_t, uint32_t) { return KVD_S_OK; }

HRESULT KVDStorage::Stat(STATSTG* statstg, uint32_t flag)
{
    if (statstg == nullptr)
        return KVD_E_POINTER;
    Lock lock(mAllocator.Mutex());
    if (mParent != nullptr)
        return mElement->MakeSTATSTG(*statstg, flag);
    HRESULT hr = mAllocator.LockBytes()->Stat(statstg, flag);
    statstg->type = kTypeStorage;
    return hr;
}

HRESULT KVDStorage::GetLockBytesId(uint32_t* id)
{
    if (id == nullptr)
        return KVD_E_POINTER;
    *id = 0;
    IKVDLockBytes* lockBytes = mAllocator.KVDLockBytes();
    return lockBytes != nullptr ? lockBytes->GetLockBytesId(id) : KVD_S_FALSE;
}

HRESULT KVDStorage::GetLockBytes(ILockBytes** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    KVD::GiveOut(mAllocator.LockBytes(), out);
    return *out != nullptr ? KVD_S_OK : KVD_S_FALSE;
}

}  // namespace KVDStg
