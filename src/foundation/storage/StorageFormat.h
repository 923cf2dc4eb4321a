// Fixed numbers of the compound-file format: header layout, versions, limits, mode bits.
#pragma once

#include <cstddef>
#include <cstdint>

namespace KVDStg {

// Header: the first cluster starts right after it.
constexpr uint32_t kHeaderSize = 512;
constexpr uint32_t kTypeHeaderSize = 148;       // signature, version and limit words
constexpr uint32_t kSelectorOffset = 148;
constexpr uint32_t kRootInfoOffset = 152;
constexpr uint32_t kRootInfoSize = 352;         // shift, per-copy map words, two root records
constexpr uint32_t kSignatureUnits = 64;
constexpr char16_t kSignature[] = u"Quorvantelsis Compound File";

// Versions: 22 and above use the current layout, 3 to 21 the older read-only one.
constexpr uint32_t kCurrentVersion = 29;
constexpr uint32_t kOlderCurrentVersion = 22;
constexpr uint32_t kFirstCurrentLayoutVersion = 22;
constexpr uint32_t kOldestVersion = 3;

// Limits written into every header and checked on open.
constexpr uint32_t kLargestClusterSize = 131072;
constexpr uint32_t kLargestClusterCount = 0x7FFFFFFF;
constexpr uint32_t kLargestClusterShift = 17;
// Smaller clusters hold too few map entries for the map to find room for itself as it grows.
constexpr uint32_t kSmallestClusterShift = 6;
constexpr uint32_t kDefaultClusterShift = 10;

// Directory records.
constexpr uint32_t kElementSize = 160;
constexpr uint32_t kOlderElementSize = 128;
constexpr uint32_t kDirectoryHeaderSize = 8;
constexpr uint32_t kMaxEntries = 1024;
constexpr uint32_t kNameUnits = 32;             // stored units, terminator included
constexpr uint32_t kMaxNameUnits = 31;
// Nesting deeper than this is refused: destroying and copying recurse through storages.
constexpr uint32_t kMaxStorageDepth = 128;

// Cluster words: bit 31 of a position's cluster marks the end of that cluster; bit 31 of a
// map entry's prev marks a free cluster.
constexpr uint32_t kClusterEndBit = 0x80000000;
constexpr uint32_t kFreeBit = 0x80000000;
constexpr uint32_t kClusterMask = 0x7FFFFFFF;

// Past this stream offset new clusters are taken at the end of the file, in sequence.
constexpr int64_t kGrowAtEndOffset = 0x500000;

// Open-mode bits (STGM).
constexpr uint32_t kModeWrite = 0x1;
constexpr uint32_t kModeReadWrite = 0x2;
constexpr uint32_t kModeCreate = 0x1000;
constexpr uint32_t kModeTransacted = 0x10000;
constexpr uint32_t kModeDeleteOnRelease = 0x04000000;

// Creator flags.
constexpr uint32_t kFlagShiftMask = 0xFF;
constexpr uint32_t kFlagDeleteFile = 0x10000000;
constexpr uint32_t kFlagOlderVersion = 0x20000000;

// Element types.
constexpr uint32_t kTypeStorage = 1;
constexpr uint32_t kTypeStream = 2;
constexpr uint32_t kTypeLockBytes = 3;

}  // namespace KVDStg
