// The engine under one compound file: the header image, the cluster map in memory, the root
// record, the lock bytes and the file's one recursive mutex. It hands out and takes back
// clusters, moves bytes along cluster chains and commits the map and a root copy so that, in
// transacted mode, the file always keeps one complete root copy on disk.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "IKVDLockBytes.h"
#include "foundation/COMPtr.h"
#include "foundation/storage/ClusterMap.h"
#include "foundation/storage/Element.h"
#include "foundation/storage/RootStorageInfo.h"

namespace KVDStg {

class StorageAllocator {
public:
    // Makes a new, empty file on the lock bytes (create) or opens and checks the one there.
    // Raises XKVD. flags: the creator flags (cluster shift, older version); mode: STGM bits.
    StorageAllocator(ILockBytes* lockBytes, bool create, uint32_t flags, uint32_t mode);
    ~StorageAllocator();
    StorageAllocator(const StorageAllocator&) = delete;
    StorageAllocator& operator=(const StorageAllocator&) = delete;

    std::recursive_mutex& Mutex() { return mMutex; }
    const std::shared_ptr<Element>& Root() const { return mRoot; }
    ILockBytes* LockBytes() const { return mLockBytes; }
    IKVDLockBytes* KVDLockBytes() const { return mKVDLockBytes; }

    uint32_t Version() const { return mInfo.version; }
    bool CurrentLayout() const { return mInfo.CurrentLayout(); }
    uint32_t Mode() const { return mMode; }
    bool Transacted() const { return (mMode & kModeTransacted) != 0; }
    // Files of the older layout are read only, as are files opened without write access.
    bool ReadOnly() const;
    uint32_t ClusterSize() const { return mMap.ClusterSize(); }
    // Bumped by Revert: objects made before it no longer belong to the file.
    uint32_t Epoch() const { return mEpoch; }
    const ClusterMap& Map() const { return mMap; }
    const RootStorageInfo& Info() const { return mInfo; }
    uint32_t FirstCluster() const { return CurrentLayout() ? 2 : 1; }
    uint64_t FileOffset(uint32_t c) const;
    uint64_t FileSize() const;

    void SetRootChanged() { mRootChanged = true; }

    // A free cluster near the given one, taken off the free list and left unlinked; with
    // growAtEnd, past the map's end when near is its last cluster. 0 when there is none.
    uint32_t ClusterAlloc(uint32_t near, bool growAtEnd);

    // The canonical position for an offset whose chain cluster is c (see KVDStreamPos).
    KVDStreamPos MakePos(int64_t offset, uint32_t c) const;
    // Reads up to count bytes along the chain from pos; done receives the bytes moved.
    // KVD_S_FALSE when the chain ends first.
    HRESULT ClusterRead(KVDStreamPos& pos, uint8_t* buffer, size_t count, size_t& done);
    // Writes count bytes along the element's chain from pos, lengthening the chain as needed
    // and, in transacted mode, copying committed clusters before they are written.
    HRESULT ClusterWrite(Element& element, KVDStreamPos& pos, const uint8_t* buffer, size_t count, size_t& done);
    // Lengthens or shortens the element's chain to hold size bytes and records the new end.
    // Bytes gained read as zeros, whatever the clusters held before.
    HRESULT ClusterSetSize(Element& element, int64_t size);
    // Moves pos to offset, which lies within the element's size, along the shortest walk.
    HRESULT ClusterSeek(const Element& element, KVDStreamPos& pos, int64_t offset) const;
    // Where count bytes of the element at offset lie in the lock bytes' mapped memory, when
    // they are mapped and lie in consecutive clusters; null otherwise.
    const uint8_t* IsContiguous(const Element& element, uint64_t offset, uint32_t count) const;
    // Gives the element a first cluster when it has none.
    HRESULT AllocHeadIfNeeded(Element& element);
    // Gives up the element's whole chain (the element is being destroyed or emptied).
    HRESULT FreeChain(Element& element);
    // Cuts the chain after the element's end cluster (after a failed write).
    void TrimChain(Element& element);

    // Writes the map, the root copy and the header (see the commit protocol in the .cpp).
    // Raises XKVD when a write fails.
    void Commit();
    // Transacted files: drops every change since the last commit and reads the file again.
    void Revert();

private:
    void CreateNew(uint32_t flags);
    // Reads header and map and checks the whole file; raises XKVD.
    void Load();
    void ReadMapOnly();
    void ReadOlderMap();
    // Places the map in a fresh run and writes it; answers the run.
    uint32_t WriteMapOnly();
    uint32_t TakeMapRun();
    // Holds back a free run the map's size from the allocations between commits, so that
    // small allocations cannot break up every run and push each map to the file's end.
    void ReserveSpareRun();
    void ReleaseSpareRun();
    void ReleaseRun(uint32_t first);
    void ReleaseDiskMapRun();
    // Cuts or lengthens the file to end with its highest cluster not free.
    HRESULT SetFileSize();
    void WriteHeaderBytes(uint64_t offset, const uint8_t* bytes, uint32_t count);
    bool IsChainCluster(uint32_t c) const;
    bool NeedsCopy(uint32_t c) const;
    void MarkFresh(uint32_t c);
    // Gives up one cluster: to the to-free list in transacted mode, else the free list.
    void ReleaseCluster(uint32_t c);
    // Replaces committed cluster c by a fresh one, copying its bytes when keep is set.
    uint32_t CopyOnWrite(Element& element, uint32_t c, int64_t clusterStart, bool keep, HRESULT& hr);
    // Zeros from the element's end to size or to the end of its last cluster, whichever comes first.
    HRESULT ZeroEndCluster(Element& element, int64_t size);
    // Zeros a cluster just taken for a chain unless it lies beyond the file's end (fileSize;
    // 0 when unknown), where nothing was ever written.
    HRESULT ZeroTakenCluster(uint32_t c, uint64_t fileSize, std::vector<uint8_t>& zeros);
    // True when count bytes written from off cover all that the cluster holds of the stream.
    bool Covers(const Element& element, int64_t clusterStart, size_t off, size_t count) const;
    // got receives the bytes read; fewer than count with success: the file ended.
    HRESULT ReadAt(uint64_t offset, uint8_t* buffer, size_t count, size_t& got);
    HRESULT WriteAt(uint64_t offset, const uint8_t* buffer, size_t count);

    RootStorageInfo mInfo;
    ClusterMap mMap;
    std::shared_ptr<Element> mRoot;
    KVD::COMPtr<ILockBytes> mLockBytes;
    KVD::COMPtr<IKVDLockBytes> mKVDLockBytes;
    uint32_t mMode;
    bool mWritable;
    bool mRootChanged = false;
    // The copy the next commit writes.
    unsigned mWriteCopy = 0;
    // The run that holds the map the valid root copy names, and whether it is already on the
    // to-free list (it is given up by the commit that replaces it).
    uint32_t mDiskMapStart = 0;
    bool mDiskMapReleased = false;
    // The run held for the next map: taken, but in no chain. On disk it is free or waits on
    // the to-free list, so a file closed without another commit loses nothing.
    uint32_t mSpareRun = 0;
    uint32_t mSpareLength = 0;
    // Clusters taken since the last commit: they hold no committed data and are written in place.
    std::vector<bool> mFresh;
    std::vector<uint8_t> mScratch;
    uint32_t mEpoch = 0;
    std::recursive_mutex mMutex;
};

}  // namespace KVDStg
