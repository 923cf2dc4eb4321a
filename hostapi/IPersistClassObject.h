// Class objects of persisted objects (calculation settings): the host creates a record with its
// defaults, or one read from a stream, by the record's type id.
#pragma once

#include "IFramework.h"

struct IBinInStream;

// B1A701B8-5F92-4F2F-8970-68F5B1F84218
inline constexpr _IID IID_IPersistClassObject = {0xB1A701B8, 0x5F92, 0x4F2F, {0x89, 0x70, 0x68, 0xF5, 0xB1, 0xF8, 0x42, 0x18}};

struct IPersistClassObject : ICAFClassObject {
    // A new object with its defaults, asked for iid; out holds the only reference.
    virtual HRESULT CreateObject(IUnknown* outer, const _IID& iid, IUnknown** out) = 0;       // slot 7
    // A new object read from the stream; out receives it even when the read fails, and the
    // result is the read's.
    virtual HRESULT CreateStreamedObject(TCAFId id, IBinInStream* in, IUnknown** out) = 0;   // slot 8
};
KVD_INTERFACE_ID(IPersistClassObject, IID_IPersistClassObject);
