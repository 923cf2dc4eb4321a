// A bit set as a COM object, so that bit sets can be handed across the boundary. Bit i lives
// in word i / 32 at bit i % 32; every word past the stored ones has the value of the fill word.
#pragma once

#include "IUnknown.h"

// F7777605-9D4F-4F44-842C-9396598ED301
inline constexpr _IID IID_IKVDBitset = {0xF7777605, 0x9D4F, 0x4F44, {0x84, 0x2C, 0x93, 0x96, 0x59, 0x8E, 0xD3, 0x01}};

struct IKVDBitset : IUnknown {
    // 1 for the foundation's own representation, whose words a bit set may copy directly.
    virtual int32_t IsBitsetRep() = 0;                                         // slot 3
    // Frees the object; refused (0xF800400A) while references remain.
    virtual HRESULT Delete() = 0;                                              // slot 4
    virtual HRESULT GetSizeWords(int32_t* words) = 0;                          // slot 5
    // Writes the fill word and up to n stored words; S_FALSE when n was too small for all.
    virtual HRESULT CopyWords(int32_t n, uint32_t* words, int32_t* fill) = 0;  // slot 6
    // An independent copy with one reference.
    virtual HRESULT Clone(IKVDBitset** out) = 0;                               // slot 7
};
KVD_INTERFACE_ID(IKVDBitset, IID_IKVDBitset);
