#include "foundation/storage/RootStorageInfo.h"

#include <cstring>

#include "KVDStorageResults.h"
#include "ResultCodes.h"
#include "foundation/storage/ByteOrder.h"

namespace KVDStg {

namespace {

// Where the older layout keeps its root information.
constexpr uint32_t kOlderRootInfoOffset = 256;
constexpr uint32_t kOlderMapStartOffset = 404;
constexpr uint32_t kOlderHeaderEnd = 408;
constexpr uint32_t kCurrentHeaderEnd = kRootInfoOffset + kRootInfoSize;

}  // namespace

void RootStorageInfo::InitNew(uint32_t fileVersion, uint32_t shift)
{
    *this = RootStorageInfo();
    for (size_t i = 0; kSignature[i] != 0 && i + 1 < kSignatureUnits; ++i)
        signature[i] = kSignature[i];
    version = fileVersion;
    headerSize = kHeaderSize;
    largestClusterSize = kLargestClusterSize;
    largestClusterCount = kLargestClusterCount;
    clusterShift = shift;
}

HRESULT RootStorageInfo::ReadDiskInfo(ILockBytes& lockBytes)
{
    uint8_t bytes[kHeaderSize] = {};
    uint32_t read = 0;
    HRESULT hr = lockBytes.ReadAt(0, bytes, kHeaderSize, &read);
    if ((hr != KVD_S_OK && hr != KVD_S_FALSE) || read < kTypeHeaderSize)
        return KVD_STG_E_BADHEADER;
    DecodeTypeHeader(bytes);
    hr = CheckTypeHeader();
    if (hr != KVD_S_OK)
        return hr;
    if (read < (CurrentLayout() ? kCurrentHeaderEnd : kOlderHeaderEnd))
        return KVD_STG_E_CORRUPT;
    if (CurrentLayout())
        DecodeRootInfo(bytes);
    else
        DecodeOlderRootInfo(bytes);
    return CheckCompatibility();
}

HRESULT RootStorageInfo::CheckTypeHeader() const
{
    for (size_t i = 0; i < kSignatureUnits; ++i) {
        if (((signature[i] ^ kSignature[i]) & 0xFFDF) != 0)
            return KVD_STG_E_NOTSTORAGE;
        if (kSignature[i] == 0)
            break;
    }
    if (version < kOldestVersion)
        return KVD_STG_E_BADHEADER;
    if (version > kCurrentVersion)
        return KVD_STG_E_NEWER;
    if (headerSize != kHeaderSize || largestClusterSize > kLargestClusterSize ||
        largestClusterCount > kLargestClusterCount || reserved != 0)
        return KVD_STG_E_BADHEADER;
    return KVD_S_OK;
}

HRESULT RootStorageInfo::CheckCompatibility() const
{
    HRESULT hr = CheckTypeHeader();
    if (hr != KVD_S_OK)
        return hr;
    if (clusterShift > kLargestClusterShift || clusterShift < kSmallestClusterShift)
        return KVD_STG_E_BADHEADER;
    unsigned valid = ValidCopy();
    if (static_cast<int32_t>(mapCount[valid]) < 0 || mapCount[valid] + static_cast<uint32_t>(mapCheck[valid]) != 0)
        return KVD_STG_E_BADHEADER;
    return KVD_S_OK;
}

void RootStorageInfo::EncodeTypeHeader(uint8_t* out) const
{
    std::memset(out, 0, kTypeHeaderSize);
    for (size_t i = 0; i < kSignatureUnits; ++i)
        PutU16(out + 2 * i, signature[i]);
    PutU32(out + 128, version);
    PutU32(out + 132, headerSize);
    PutU32(out + 136, largestClusterSize);
    PutU32(out + 140, largestClusterCount);
    PutU32(out + 144, reserved);
}

void RootStorageInfo::DecodeTypeHeader(const uint8_t* in)
{
    for (size_t i = 0; i < kSignatureUnits; ++i)
        signature[i] = GetU16(in + 2 * i);
    version = GetU32(in + 128);
    headerSize = GetU32(in + 132);
    largestClusterSize = GetU32(in + 136);
    largestClusterCount = GetU32(in + 140);
    reserved = GetU32(in + 144);
}

void RootStorageInfo::EncodeRootInfo(uint8_t* out) const
{
    // out is header byte 152; the offsets below are those of the header minus 152.
    std::memset(out, 0, kRootInfoSize);
    PutU32(out + 0, clusterShift);
    for (unsigned copy = 0; copy < 2; ++copy) {
        PutU32(out + 4 + 4 * copy, mapCount[copy]);
        PutU32(out + 12 + 4 * copy, static_cast<uint32_t>(mapCheck[copy]));
        PutU32(out + 20 + 4 * copy, mapStart[copy]);
        root[copy].Encode(out + 32 + kElementSize * copy);
    }
}

void RootStorageInfo::DecodeRootInfo(const uint8_t* bytes)
{
    selector = GetU32(bytes + kSelectorOffset);
    const uint8_t* in = bytes + kRootInfoOffset;
    clusterShift = GetU32(in);
    for (unsigned copy = 0; copy < 2; ++copy) {
        mapCount[copy] = GetU32(in + 4 + 4 * copy);
        mapCheck[copy] = static_cast<int32_t>(GetU32(in + 12 + 4 * copy));
        mapStart[copy] = GetU32(in + 20 + 4 * copy);
        rootStatus[copy] = root[copy].Decode(in + 32 + kElementSize * copy, false);
    }
}

void RootStorageInfo::DecodeOlderRootInfo(const uint8_t* bytes)
{
    const uint8_t* in = bytes + kOlderRootInfoOffset;
    selector = 0;
    clusterShift = GetU32(in);
    mapCount[0] = GetU32(in + 4);
    mapCheck[0] = static_cast<int32_t>(0u - mapCount[0]);
    rootStatus[0] = root[0].Decode(in + 8, true);
    mapStart[0] = GetU32(bytes + kOlderMapStartOffset);
}

}  // namespace KVDStg
