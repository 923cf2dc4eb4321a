// Objects that the host saves with a document as persisted parts: the host asks for the class
// id, whether anything changed, and hands a byte stream to load from or save to.
#pragma once

#include "IStream.h"

// 7FD52380-4E07-101B-AE2D-08002B2EB7AD
inline constexpr _IID IID_IPersistStreamInit = {0x7FD52380, 0x4E07, 0x101B, {0xAE, 0x2D, 0x08, 0x00, 0x2B, 0x2E, 0xB7, 0xAD}};

struct IPersist : IUnknown {
    virtual HRESULT GetClassID(CLSID* id) = 0;                             // slot 3
};

struct IPersistStreamInit : IPersist {
    // 0 when there are unsaved changes, KVD_S_FALSE when there are none.
    virtual HRESULT IsDirty() = 0;                                         // slot 4
    virtual HRESULT Load(IStream* stream) = 0;                             // slot 5
    // clearDirty: the saved state is now the document's.
    virtual HRESULT Save(IStream* stream, bool clearDirty) = 0;            // slot 6
    virtual HRESULT GetSizeMax(uint64_t* size) = 0;                        // slot 7
    virtual HRESULT InitNew() = 0;                                         // slot 8
};

KVD_INTERFACE_ID(IPersist, IID_IPersist);
KVD_INTERFACE_ID(IPersistStreamInit, IID_IPersistStreamInit);
