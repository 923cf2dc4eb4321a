// The directory record of a compound file: one storage or stream with its name, its cluster
// chain (start and end positions), times, class id and type, plus what the open file keeps
// about it in memory.
#pragma once

#include <cstdint>
#include <string>

#include "KVDTypes.h"

struct STATSTG;
#include "foundation/storage/StorageFormat.h"

namespace KVDStg {

class KVDStorage;

// A byte position in a cluster chain. Canonical form: offset 0 names the first cluster; an
// offset that is a non-zero multiple of the cluster size names the cluster it ends, with
// kClusterEndBit set; any other offset names the cluster holding that byte.
struct KVDStreamPos {
    int64_t offset = 0;
    uint32_t cluster = 0;

    uint32_t Cluster() const { return cluster & kClusterMask; }
    bool AtClusterEnd() const { return (cluster & kClusterEndBit) != 0; }
};

// A name as stored: UTF-16, at most 31 units. Lookups cut the argument the same way, so that
// whatever name created an element also finds it.
typedef std::u16string ElementName;

class Element {
public:
    Element() = default;
    Element(const ElementName& name, uint32_t type);

    static ElementName MakeName(const wchar_t* text);
    // A unit with the file's case folding: bit 5 ignored, for letters only, and only where
    // it is what tells the cases apart (ASCII and Latin-1 letters, Greek alpha to omicron,
    // Cyrillic A to Pe). Any other unit, the terminator included, stands for itself.
    static char16_t FoldCase(char16_t unit);
    static ElementName FoldedName(const ElementName& name);
    // The stored name case folded: equal keys, matching names.
    ElementName Key() const;
    // True when the stored name equals key unit by unit, case folded.
    bool NameMatches(const ElementName& key) const;
    std::wstring Name() const;
    void SetName(const ElementName& name);

    int64_t Size() const { return end.offset; }
    uint32_t FirstCluster() const { return start.Cluster(); }
    bool IsStorage() const { return type == kTypeStorage; }
    bool IsStream() const { return type == kTypeStream; }

    // The record as Stat reports it: name (allocated with malloc, left out with STATFLAG_NONAME),
    // type, mode, size of a stream and class id; the times are left 0.
    HRESULT MakeSTATSTG(STATSTG& stat, uint32_t flag) const;

    // The 160 bytes of the current layout.
    void Encode(uint8_t* out) const;
    // A record of the current layout (160 bytes) or of the older one (128 bytes); anything a
    // record cannot hold gives KVD_STG_E_CORRUPT.
    HRESULT Decode(const uint8_t* bytes, bool olderLayout);

    // Stored.
    char16_t name[kNameUnits] = {};
    KVDStreamPos start;
    KVDStreamPos end;
    uint64_t modificationTime = 0;
    uint64_t creationTime = 0;
    uint64_t accessTime = 0;
    _IID classId = {};
    uint32_t stateBits = 0;
    uint32_t type = 0;

    // In memory only.
    uint32_t mode = 0;
    bool changed = false;
    // Set when the element is destroyed or the file reverted: objects still holding it fail.
    bool defunct = false;
    // Bumped whenever clusters leave or replace part of the chain, so that other streams on
    // the element find their positions again instead of following a stale cluster.
    uint32_t chainGeneration = 0;
    // The one storage object open on this element, if any (the storage clears it).
    KVDStorage* openStorage = nullptr;
};

}  // namespace KVDStg
