// The header image of a compound file: the type header (signature, version, limits) and the
// root information with its two alternating copies of map position and root record.
#pragma once

#include <cstdint>

#include "ILockBytes.h"
#include "foundation/storage/Element.h"

namespace KVDStg {

class RootStorageInfo {
public:
    // A fresh image: signature, the given version and shift, selector 0, no map.
    void InitNew(uint32_t fileVersion, uint32_t shift);

    // Reads and checks the header of an existing file (the first 512 bytes).
    HRESULT ReadDiskInfo(ILockBytes& lockBytes);
    // The checks of an open, in order; the first failure decides.
    HRESULT CheckCompatibility() const;

    // Bytes [0, 148).
    void EncodeTypeHeader(uint8_t* out) const;
    // Bytes [152, 504).
    void EncodeRootInfo(uint8_t* out) const;

    bool CurrentLayout() const { return version >= kFirstCurrentLayoutVersion; }
    unsigned ValidCopy() const { return selector & 1; }

    char16_t signature[kSignatureUnits] = {};
    uint32_t version = 0;
    uint32_t headerSize = 0;
    uint32_t largestClusterSize = 0;
    uint32_t largestClusterCount = 0;
    uint32_t reserved = 0;
    uint32_t selector = 0;
    uint32_t clusterShift = 0;
    uint32_t mapCount[2] = {};
    int32_t mapCheck[2] = {};
    uint32_t mapStart[2] = {};
    Element root[2];
    HRESULT rootStatus[2] = {};

private:
    void DecodeTypeHeader(const uint8_t* in);
    void DecodeRootInfo(const uint8_t* in);
    void DecodeOlderRootInfo(const uint8_t* in);
    HRESULT CheckTypeHeader() const;
};

}  // namespace KVDStg
