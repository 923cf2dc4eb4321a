#include "foundation/storage/StorageAllocator.h"

#include <algorithm>
#include <cstring>

#include "IStream.h"
#include "KVDStorageResults.h"
#include "foundation/KVDResultCodes.h"
#include "foundation/XKVD.h"
#include "foundation/storage/ByteOrder.h"
#include "foundation/storage/StorageValidator.h"

namespace KVDStg {

namespace {

// Lock bytes move at most this much in one call.
constexpr size_t kLargestTransfer = size_t(1) << 30;
// Offsets of the older layout are 31-bit.
constexpr uint64_t kOlderLayoutFileLimit = uint64_t(1) << 31;

[[noreturn]] void Raise(HRESULT hr) { throw XKVD(hr); }

[[noreturn]] void Raise(const wchar_t* message) { throw XKVD(KVD::String(message), KVD_E_STORAGEMESSAGE); }

bool Failed(HRESULT hr) { return hr != KVD_S_OK && hr != KVD_S_FALSE; }

const wchar_t kMapUnreadable[] = L"Error reading Cluster Map";

}  // namespace

StorageAllocator::StorageAllocator(ILockBytes* lockBytes, bool create, uint32_t flags, uint32_t mode)
    : mRoot(std::make_shared<Element>()), mLockBytes(lockBytes), mMode(mode),
      mWritable(create || (mode & (kModeWrite | kModeReadWrite)) != 0)
{
    mKVDLockBytes = KVD::com_cast(lockBytes);
    if (create)
        CreateNew(flags);
    else
        Load();
}

StorageAllocator::~StorageAllocator() = default;

bool StorageAllocator::ReadOnly() const { return !mWritable || !CurrentLayout(); }

void StorageAllocator::CreateNew(uint32_t flags)
{
    uint32_t shift = flags & kFlagShiftMask;
    if (shift == 0)
        shift = kDefaultClusterShift;
    if (shift < kSmallestClusterShift || shift > kLargestClusterShift)
        Raise(KVD_E_BADSTATE);
    mInfo.InitNew((flags & kFlagOlderVersion) != 0 ? kOlderCurrentVersion : kCurrentVersion, shift);
    mMap = ClusterMap(shift);
    if (!mMap.Create(mMap.EntriesPerCluster()))
        Raise(KVD_STG_E_NOSPACE);
    mInfo.mapCount[0] = mMap.Count();
    mInfo.mapCheck[0] = -static_cast<int32_t>(mMap.Count());
    *mRoot = Element(ElementName(u"KVDRootStorage"), kTypeStorage);
    mRootChanged = true;
}

void StorageAllocator::Load()
{
    HRESULT hr = mInfo.ReadDiskInfo(*mLockBytes);
    if (hr != KVD_S_OK)
        Raise(hr);
    if (!CurrentLayout() && Transacted())
        Raise(L"Error opening file: cannot modify a pre-Vxmb6.1.1 file in transacted mode.");
    mMap = ClusterMap(mInfo.clusterShift);
    unsigned valid = mInfo.ValidCopy();
    uint32_t count = mInfo.mapCount[valid];
    if (count % mMap.EntriesPerCluster() != 0)
        Raise(L"No. clusters in file not a multiple of no. of entries per Cluster");
    if (count == 0)
        Raise(KVD_E_NOTOEMFILE);
    if (mInfo.rootStatus[valid] != KVD_S_OK || !mInfo.root[valid].IsStorage())
        Raise(KVD_STG_E_CORRUPT);
    // The map lies in the file, so a count the file cannot hold is damage, not a reason to
    // allocate.
    if (static_cast<uint64_t>(count) * 8 > FileSize())
        Raise(kMapUnreadable);
    if (CurrentLayout())
        ReadMapOnly();
    else
        ReadOlderMap();
    if (mMap.Validate(FirstCluster(), CurrentLayout()) != KVD_S_OK)
        Raise(kMapUnreadable);
    mRoot = std::make_shared<Element>(mInfo.root[valid]);
    mDiskMapStart = CurrentLayout() ? mInfo.mapStart[valid] : 0;
    mDiskMapReleased = false;
    // What the last commit gave up is free once that commit is the valid one.
    if (CurrentLayout())
        mMap.FreeToFreeList();
    if (StorageValidator(*this).Run() != KVD_S_OK)
        Raise(KVD_STG_E_CORRUPT);
    mSpareRun = 0;
    mSpareLength = 0;
    if (!ReadOnly())
        ReserveSpareRun();
    mMap.SetChanged(false);
    mWriteCopy = Transacted() ? 1 - valid : valid;
    mFresh.clear();
    mRootChanged = false;
}

void StorageAllocator::ReadMapOnly()
{
    unsigned valid = mInfo.ValidCopy();
    uint32_t count = mInfo.mapCount[valid];
    uint32_t start = mInfo.mapStart[valid];
    if (start < FirstCluster() || start >= count)
        Raise(kMapUnreadable);
    std::vector<uint8_t> bytes(static_cast<size_t>(count) * 8);
    size_t got = 0;
    HRESULT hr = ReadAt(FileOffset(start), bytes.data(), bytes.size(), got);
    if (Failed(hr))
        Raise(hr);
    if (got < bytes.size())
        Raise(kMapUnreadable);
    mMap.Decode(bytes.data(), count);
}

void StorageAllocator::ReadOlderMap()
{
    // The map is an ordinary chain: each piece read tells where the next one lies.
    uint32_t count = mInfo.mapCount[0];
    std::vector<uint8_t> bytes(static_cast<size_t>(count) * 8);
    uint32_t cs = ClusterSize();
    size_t done = 0;
    for (uint32_t c = mInfo.mapStart[0]; done < bytes.size();) {
        if (c < FirstCluster() || c >= count)
            Raise(kMapUnreadable);
        size_t n = std::min<size_t>(cs, bytes.size() - done);
        size_t got = 0;
        HRESULT hr = ReadAt(FileOffset(c), bytes.data() + done, n, got);
        if (Failed(hr) || got < n)
            Raise(kMapUnreadable);
        done += n;
        // Each piece is a whole cluster, so the chain cannot come round within count steps
        // without the reads running out first.
        if (done < bytes.size()) {
            if ((static_cast<size_t>(c) + 1) * 8 > done)
                Raise(kMapUnreadable);
            c = GetU32(bytes.data() + static_cast<size_t>(c) * 8);
        }
    }
    mMap.Decode(bytes.data(), count);
}

uint64_t StorageAllocator::FileOffset(uint32_t c) const
{
    return static_cast<uint64_t>(c - FirstCluster()) * ClusterSize() + kHeaderSize;
}

uint64_t StorageAllocator::FileSize() const
{
    STATSTG stat = {};
    if (Failed(mLockBytes->Stat(&stat, STATFLAG_NONAME)))
        return 0;
    return stat.cbSize;
}

HRESULT StorageAllocator::ReadAt(uint64_t offset, uint8_t* buffer, size_t count, size_t& got)
{
    got = 0;
    if (!CurrentLayout() && offset + count > kOlderLayoutFileLimit)
        return KVD_STG_E_CORRUPT;
    while (got < count) {
        uint32_t piece = static_cast<uint32_t>(std::min(count - got, kLargestTransfer));
        uint32_t read = 0;
        HRESULT hr = mLockBytes->ReadAt(offset + got, buffer + got, piece, &read);
        if (Failed(hr))
            return hr;
        got += read;
        if (read < piece)
            break;
    }
    return KVD_S_OK;
}

HRESULT StorageAllocator::WriteAt(uint64_t offset, const uint8_t* buffer, size_t count)
{
    for (size_t done = 0; done < count;) {
        uint32_t piece = static_cast<uint32_t>(std::min(count - done, kLargestTransfer));
        uint32_t written = 0;
        HRESULT hr = mLockBytes->WriteAt(offset + done, buffer + done, piece, &written);
        if (Failed(hr))
            return hr;
        if (written < piece)
            return KVD_E_BADSTATE;
        done += piece;
    }
    return KVD_S_OK;
}

bool StorageAllocator::IsChainCluster(uint32_t c) const
{
    return c >= FirstCluster() && c < mMap.Count() && !mMap.IsFree(c);
}

bool StorageAllocator::NeedsCopy(uint32_t c) const
{
    return Transacted() && !(c < mFresh.size() && mFresh[c]);
}

void StorageAllocator::MarkFresh(uint32_t c)
{
    if (!Transacted())
        return;
    if (c >= mFresh.size())
        mFresh.resize(mMap.Count());
    mFresh[c] = true;
}

uint32_t StorageAllocator::ClusterAlloc(uint32_t near, bool growAtEnd)
{
    uint32_t count = mMap.Count();
    uint32_t c = 0;
    if (near != 0 && near + 1 < count) {
        if (mMap.IsFree(near + 1)) {
            c = near + 1;
        } else {
            uint32_t from = std::max(FirstCluster(), near >= 8 ? near - 8 : 0);
            for (uint32_t i = from; i < std::min(count, near + 8) && c == 0; ++i)
                c = mMap.IsFree(i) ? i : 0;
        }
    }
    if (c == 0 && growAtEnd && near + 1 == count && mMap.Grow())
        c = near + 1;
    if (c == 0) {
        if (mMap.FirstFree() == 0 && !mMap.Grow())
            return 0;
        c = mMap.FirstFree();
    }
    mMap.TakeFree(c);
    MarkFresh(c);
    return c;
}

KVDStreamPos StorageAllocator::MakePos(int64_t offset, uint32_t c) const
{
    bool atEnd = offset > 0 && offset % ClusterSize() == 0;
    return {offset, atEnd ? (c | kClusterEndBit) : c};
}

HRESULT StorageAllocator::ClusterRead(KVDStreamPos& pos, uint8_t* buffer, size_t count, size_t& done)
{
    uint32_t cs = ClusterSize();
    done = 0;
    while (done < count) {
        uint32_t c = pos.Cluster();
        size_t off = static_cast<size_t>(pos.offset % cs);
        if (pos.AtClusterEnd()) {
            c = mMap.Next(c);
            off = 0;
            if (c == 0)
                return KVD_S_FALSE;
        }
        if (!IsChainCluster(c))
            return KVD_STG_E_CORRUPT;
        // Consecutive clusters are read in one go.
        size_t available = cs - off;
        for (uint32_t last = c; done + available < count && available < kLargestTransfer && mMap.Next(last) == last + 1;
             ++last)
            available += cs;
        size_t n = std::min(available, count - done);
        size_t got = 0;
        HRESULT hr = ReadAt(FileOffset(c) + off, buffer + done, n, got);
        if (Failed(hr))
            return hr;
        // Clusters taken in this session and not yet written may lie beyond the file's end.
        std::memset(buffer + done + got, 0, n - got);
        done += n;
        pos = MakePos(pos.offset + static_cast<int64_t>(n), c + static_cast<uint32_t>((off + n - 1) / cs));
    }
    return KVD_S_OK;
}

HRESULT StorageAllocator::ClusterWrite(Element& element, KVDStreamPos& pos, const uint8_t* buffer, size_t count,
                                       size_t& done)
{
    uint32_t cs = ClusterSize();
    done = 0;
    while (done < count) {
        uint32_t c = pos.Cluster();
        size_t off = static_cast<size_t>(pos.offset % cs);
        if (pos.AtClusterEnd()) {
            uint32_t next = mMap.Next(c);
            if (next == 0) {
                next = ClusterAlloc(c, pos.offset > kGrowAtEndOffset);
                if (next == 0)
                    return KVD_STG_E_NOSPACE;
                mMap.Join(c, next);
            }
            c = next;
            off = 0;
        }
        if (!IsChainCluster(c))
            return KVD_STG_E_CORRUPT;
        int64_t clusterStart = pos.offset - static_cast<int64_t>(off);
        if (NeedsCopy(c)) {
            HRESULT hr = KVD_S_OK;
            c = CopyOnWrite(element, c, clusterStart, !Covers(element, clusterStart, off, count - done), hr);
            if (c == 0)
                return hr;
        }
        // Extend the piece over following clusters that are consecutive and may be written in
        // place, taking new ones at the chain's end. A committed cluster that the write covers
        // whole is replaced by a fresh one without copying its old bytes.
        size_t available = cs - off;
        for (uint32_t last = c; done + available < count && available < kLargestTransfer;) {
            uint32_t next = mMap.Next(last);
            int64_t nextStart = clusterStart + static_cast<int64_t>(available);
            if (next == 0) {
                next = ClusterAlloc(last, nextStart > kGrowAtEndOffset);
                if (next == 0)
                    break;
                mMap.Join(last, next);
            } else if (NeedsCopy(next)) {
                HRESULT hr = KVD_S_OK;
                if (!Covers(element, nextStart, 0, count - done - available) ||
                    (next = CopyOnWrite(element, next, nextStart, false, hr)) == 0)
                    break;
            }
            if (next != last + 1)
                break;
            last = next;
            available += cs;
        }
        size_t n = std::min(available, count - done);
        HRESULT hr = WriteAt(FileOffset(c) + off, buffer + done, n);
        if (Failed(hr))
            return hr;
        done += n;
        pos = MakePos(pos.offset + static_cast<int64_t>(n), c + static_cast<uint32_t>((off + n - 1) / cs));
    }
    return KVD_S_OK;
}

bool StorageAllocator::Covers(const Element& element, int64_t clusterStart, size_t off, size_t count) const
{
    int64_t inCluster = std::clamp<int64_t>(element.Size() - clusterStart, 0, ClusterSize());
    return off == 0 && static_cast<int64_t>(std::min<size_t>(count, ClusterSize())) >= inCluster;
}

uint32_t StorageAllocator::CopyOnWrite(Element& element, uint32_t c, int64_t clusterStart, bool keep, HRESULT& hr)
{
    // Committed bytes stay where they are until the commit ends: the cluster about to be
    // written is copied to a fresh one that takes its place in the chain.
    uint32_t cs = ClusterSize();
    size_t bytes = keep ? static_cast<size_t>(std::clamp<int64_t>(element.Size() - clusterStart, 0, cs)) : 0;
    mScratch.resize(cs);
    size_t got = 0;
    hr = ReadAt(FileOffset(c), mScratch.data(), bytes, got);
    if (Failed(hr))
        return 0;
    std::memset(mScratch.data() + got, 0, bytes - got);
    uint32_t prev = mMap.Prev(c);
    uint32_t copy = ClusterAlloc(prev != 0 ? prev : c, false);
    if (copy == 0) {
        hr = KVD_STG_E_NOSPACE;
        return 0;
    }
    hr = WriteAt(FileOffset(copy), mScratch.data(), bytes);
    if (Failed(hr)) {
        mMap.FreeStreamHead(copy);
        return 0;
    }
    mMap.Replace(c, copy);
    mMap.AddToToFreeListHead(c);
    if (element.start.cluster == c)
        element.start.cluster = copy;
    if (element.end.Cluster() == c)
        element.end.cluster = copy | (element.end.cluster & kClusterEndBit);
    element.changed = true;
    ++element.chainGeneration;
    hr = KVD_S_OK;
    return copy;
}

void StorageAllocator::ReleaseCluster(uint32_t c)
{
    if (Transacted()) {
        mMap.AddToToFreeListHead(c);
    } else {
        mMap.Join(mMap.Prev(c), mMap.Next(c));
        mMap.FreeStreamHead(c);
    }
}

HRESULT StorageAllocator::AllocHeadIfNeeded(Element& element)
{
    if (element.FirstCluster() != 0)
        return KVD_S_OK;
    uint32_t c = ClusterAlloc(0, false);
    if (c == 0)
        return KVD_STG_E_NOSPACE;
    element.start = {0, c};
    element.end = {0, c};
    element.changed = true;
    ++element.chainGeneration;
    return KVD_S_OK;
}

HRESULT StorageAllocator::ClusterSetSize(Element& element, int64_t size)
{
    uint64_t cs = ClusterSize();
    auto clusters = [cs](int64_t bytes) { return bytes <= 0 ? 1 : (static_cast<uint64_t>(bytes) + cs - 1) / cs; };
    uint64_t have = clusters(element.Size());
    uint64_t want = clusters(size);
    if (want > ClusterMap::kMaxEntryCount)
        return KVD_STG_E_CANTGROW;
    // Clusters keep the bytes of whatever held them last: of this stream before it was cut,
    // or of a destroyed one.
    if (size > element.Size()) {
        HRESULT hr = ZeroEndCluster(element, size);
        if (hr != KVD_S_OK)
            return hr;
    }
    uint32_t last = element.end.Cluster();
    uint64_t fileSize = want > have ? FileSize() : 0;
    std::vector<uint8_t> zeros;
    for (uint64_t k = have; k < want; ++k) {
        uint32_t next = ClusterAlloc(last, false);
        HRESULT hr = next != 0 ? ZeroTakenCluster(next, fileSize, zeros) : KVD_STG_E_CANTGROW;
        if (hr != KVD_S_OK) {
            if (next != 0)
                mMap.FreeStreamHead(next);
            element.end = MakePos(static_cast<int64_t>(k * cs), last);
            element.changed = true;
            return hr;
        }
        mMap.Join(last, next);
        last = next;
    }
    for (uint64_t k = have; k > want; --k) {
        uint32_t prev = mMap.Prev(last);
        if (prev == 0)
            return KVD_STG_E_CORRUPT;
        ReleaseCluster(last);
        last = prev;
    }
    if (want < have)
        ++element.chainGeneration;
    element.end = MakePos(size, last);
    element.changed = true;
    return KVD_S_OK;
}

HRESULT StorageAllocator::ZeroEndCluster(Element& element, int64_t size)
{
    KVDStreamPos pos = element.end;
    if (pos.AtClusterEnd())
        return KVD_S_OK;
    uint32_t cs = ClusterSize();
    size_t count = static_cast<size_t>(std::min<int64_t>(size - pos.offset, cs - pos.offset % cs));
    std::vector<uint8_t> zeros(count);
    size_t done = 0;
    // Through the write path: in transacted mode a committed cluster is copied first.
    HRESULT hr = ClusterWrite(element, pos, zeros.data(), count, done);
    return hr == KVD_S_OK && done != count ? KVD_E_BADSTATE : hr;
}

HRESULT StorageAllocator::ZeroTakenCluster(uint32_t c, uint64_t fileSize, std::vector<uint8_t>& zeros)
{
    if (fileSize != 0 && FileOffset(c) >= fileSize)
        return KVD_S_OK;
    zeros.resize(ClusterSize());
    return WriteAt(FileOffset(c), zeros.data(), zeros.size());
}

HRESULT StorageAllocator::ClusterSeek(const Element& element, KVDStreamPos& pos, int64_t offset) const
{
    if (offset == 0) {
        pos = element.start;
        return KVD_S_OK;
    }
    if (offset == element.Size()) {
        pos = element.end;
        return KVD_S_OK;
    }
    // Chain indexes: the walk starts from whichever of head, end and pos is nearest.
    uint64_t cs = ClusterSize();
    auto index = [cs](int64_t at) { return at <= 0 ? 0 : (static_cast<uint64_t>(at) - 1) / cs; };
    uint64_t target = index(offset);
    uint64_t endIndex = index(element.Size());
    uint64_t from = 0;
    uint32_t c = element.start.Cluster();
    if (endIndex - target < target - from) {
        from = endIndex;
        c = element.end.Cluster();
    }
    uint64_t posIndex = index(pos.offset);
    auto distance = [](uint64_t a, uint64_t b) { return a > b ? a - b : b - a; };
    if (pos.Cluster() != 0 && posIndex <= endIndex && distance(posIndex, target) < distance(from, target)) {
        from = posIndex;
        c = pos.Cluster();
    }
    for (; from < target && c != 0; ++from)
        c = mMap.Next(c);
    for (; from > target && c != 0; --from)
        c = mMap.Prev(c);
    if (c == 0)
        return KVD_STG_E_CORRUPT;
    pos = MakePos(offset, c);
    return KVD_S_OK;
}

const uint8_t* StorageAllocator::IsContiguous(const Element& element, uint64_t offset, uint32_t count) const
{
    const uint8_t* base = mKVDLockBytes != nullptr ? mKVDLockBytes->GetMemMappedAddress() : nullptr;
    uint64_t size = static_cast<uint64_t>(element.Size());
    if (base == nullptr || count == 0 || offset >= size || count > size - offset)
        return nullptr;
    // The position just past the first byte names the cluster that holds it.
    KVDStreamPos pos = element.start;
    if (ClusterSeek(element, pos, static_cast<int64_t>(offset) + 1) != KVD_S_OK)
        return nullptr;
    uint32_t cs = ClusterSize();
    uint32_t first = pos.Cluster();
    uint64_t more = (offset + count - 1) / cs - offset / cs;
    for (uint32_t c = first; more != 0; --more, ++c) {
        if (mMap.Next(c) != c + 1)
            return nullptr;
    }
    uint64_t at = FileOffset(first) + offset % cs;
    return at + count <= FileSize() ? base + at : nullptr;
}

HRESULT StorageAllocator::FreeChain(Element& element)
{
    uint32_t first = element.FirstCluster();
    if (first == 0)
        return KVD_S_OK;
    HRESULT hr = ClusterSetSize(element, 0);
    if (hr != KVD_S_OK)
        return hr;
    ReleaseCluster(first);
    element.start = {};
    element.end = {};
    element.changed = true;
    ++element.chainGeneration;
    return KVD_S_OK;
}

void StorageAllocator::TrimChain(Element& element)
{
    uint32_t last = element.end.Cluster();
    if (last == 0 || mMap.Next(last) == 0)
        return;
    while (mMap.Next(last) != 0)
        ReleaseCluster(mMap.Next(last));
    ++element.chainGeneration;
}

// The commit protocol. The map goes to a fresh run of clusters and the root record to the
// root copy being written, then the header names that copy. In transacted mode the copy
// being written is never the valid one and nothing the valid copy reaches has been
// overwritten (copy on write, the to-free list), so a crash at any point leaves the previous
// commit readable; the selector write, within the first sector, is the switch.
void StorageAllocator::Commit()
{
    if (!mMap.Changed() && !mRootChanged)
        return;
    if (ReadOnly())
        Raise(KVD_E_BADSTATE);
    unsigned copy = mWriteCopy;
    ReleaseDiskMapRun();
    uint32_t run = WriteMapOnly();
    try {
        mInfo.mapStart[copy] = run;
        mInfo.mapCount[copy] = mMap.Count();
        mInfo.mapCheck[copy] = -static_cast<int32_t>(mMap.Count());
        mInfo.root[copy] = *mRoot;
        uint8_t rootInfo[kRootInfoSize];
        mInfo.EncodeRootInfo(rootInfo);
        WriteHeaderBytes(kRootInfoOffset, rootInfo, kRootInfoSize);
        // The file reaches every cluster taken before the header names the new copy: a file
        // shorter than its clusters is refused as truncated.
        HRESULT hr = SetFileSize();
        if (hr == KVD_S_OK && Transacted())
            hr = mLockBytes->Flush();
        if (hr != KVD_S_OK)
            Raise(hr);
        uint8_t head[kRootInfoOffset];
        mInfo.EncodeTypeHeader(head);
        PutU32(head + kSelectorOffset, copy);
        WriteHeaderBytes(0, head, kRootInfoOffset);
        hr = mLockBytes->Flush();
        if (hr != KVD_S_OK)
            Raise(hr);
    } catch (...) {
        ReleaseRun(run);
        throw;
    }
    mInfo.selector = copy;
    if (Transacted())
        mWriteCopy = 1 - copy;
    mMap.FreeToFreeList();
    ReserveSpareRun();
    // Free clusters at the end go with the file; failing that, the file is only longer.
    SetFileSize();
    mMap.SetChanged(false);
    mRootChanged = false;
    mFresh.clear();
    mDiskMapStart = run;
    mDiskMapReleased = false;
}

HRESULT StorageAllocator::SetFileSize()
{
    // The spare run is free on disk: the next map written there lengthens the file again.
    uint32_t highest = mMap.HighestInUse(FirstCluster());
    if (mSpareRun != 0 && highest >= mSpareRun && highest < mSpareRun + mSpareLength)
        highest = mMap.HighestInUse(FirstCluster(), mSpareRun);
    return mLockBytes->SetSize(FileOffset(highest) + ClusterSize());
}

void StorageAllocator::Revert()
{
    Load();
    ++mEpoch;
}

void StorageAllocator::WriteHeaderBytes(uint64_t offset, const uint8_t* bytes, uint32_t count)
{
    HRESULT hr = WriteAt(offset, bytes, count);
    if (hr != KVD_S_OK)
        Raise(hr);
}

uint32_t StorageAllocator::WriteMapOnly()
{
    uint32_t run = TakeMapRun();
    std::vector<uint8_t> bytes(static_cast<size_t>(mMap.Count()) * 8);
    mMap.Encode(bytes.data());
    HRESULT hr = WriteAt(FileOffset(run), bytes.data(), bytes.size());
    if (hr != KVD_S_OK) {
        ReleaseRun(run);
        Raise(hr);
    }
    return run;
}

uint32_t StorageAllocator::TakeMapRun()
{
    uint32_t want = mMap.Count() / mMap.EntriesPerCluster();
    if (mSpareRun != 0 && mSpareLength == want) {
        uint32_t run = mSpareRun;
        for (uint32_t i = 1; i < want; ++i)
            mMap.Join(run + i - 1, run + i);
        mSpareRun = 0;
        mSpareLength = 0;
        return run;
    }
    // The map outgrew the spare run: it may still be part of a longer one.
    ReleaseSpareRun();
    // Growing the map to make room for it may need more room still; a second round settles it.
    for (;;) {
        uint32_t run = mMap.FindOrAllocateContiguousClusters(mMap.Count() / mMap.EntriesPerCluster(), true);
        if (run == 0)
            Raise(KVD_STG_E_NOSPACE);
        uint32_t want = mMap.Count() / mMap.EntriesPerCluster();
        if (!mMap.IsFreeRun(run, want))
            continue;
        for (uint32_t i = 0; i < want; ++i) {
            mMap.TakeFree(run + i);
            MarkFresh(run + i);
            if (i != 0)
                mMap.Join(run + i - 1, run + i);
        }
        return run;
    }
}

void StorageAllocator::ReserveSpareRun()
{
    uint32_t want = mMap.Count() / mMap.EntriesPerCluster();
    uint32_t found = 0;
    uint32_t run = mMap.FindContiguousClusters(want, found);
    if (found < want)
        return;
    for (uint32_t i = 0; i < want; ++i)
        mMap.TakeFree(run + i);
    mSpareRun = run;
    mSpareLength = want;
}

void StorageAllocator::ReleaseSpareRun()
{
    for (uint32_t i = 0; i < mSpareLength && mSpareRun != 0; ++i)
        mMap.FreeStreamHead(mSpareRun + i);
    mSpareRun = 0;
    mSpareLength = 0;
}

void StorageAllocator::ReleaseRun(uint32_t first)
{
    for (uint32_t c = first; c != 0;) {
        uint32_t next = mMap.Next(c);
        mMap.AddToToFreeListHead(c);
        c = next;
    }
}

void StorageAllocator::ReleaseDiskMapRun()
{
    // The valid copy's map stays intact until the commit that replaces it has ended: its run
    // waits on the to-free list.
    if (mDiskMapStart == 0 || mDiskMapReleased)
        return;
    ReleaseRun(mDiskMapStart);
    mDiskMapReleased = true;
}

}  // namespace KVDStg
