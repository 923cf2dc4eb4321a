// An object that stores itself in a binary record stream: calculation settings, unit names and
// whatever else the host keeps for the plug-in. GetObjId names the class that reads it back.
#pragma once

#include "IUnknown.h"

struct IBinInStream;
struct IBinOutStream;

// 3C4CC29E-B126-4C0B-90E3-FE85E19E1E69
inline constexpr _IID IID_IPersistObject = {0x3C4CC29E, 0xB126, 0x4C0B, {0x90, 0xE3, 0xFE, 0x85, 0xE1, 0x9E, 0x1E, 0x69}};

// Writing and naming leave the object as it is, so that const holders can store it.
struct IPersistObject : IUnknown {
    virtual HRESULT Read(IBinInStream* in) = 0;            // slot 3
    virtual HRESULT Write(IBinOutStream* out) const = 0;   // slot 4
    virtual HRESULT GetObjId(TCAFId* id) const = 0;        // slot 5
};
KVD_INTERFACE_ID(IPersistObject, IID_IPersistObject);
