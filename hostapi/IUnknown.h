// The root of every interface. Interfaces are structs of pure virtual functions in slot order,
// with no virtual destructor and no overloaded names, so that slots are fixed.
#pragma once

#include "InterfaceId.h"
#include "KVDTypes.h"

// 00000000-0000-0000-C000-000000000046
inline constexpr _IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// 0000010C-0000-0000-C000-000000000046
inline constexpr _IID IID_IPersist = {0x0000010C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IUnknown {
    virtual uint32_t AddRef() = 0;                                       // slot 0
    virtual uint32_t Release() = 0;                                      // slot 1
    virtual HRESULT QueryInterface(const _IID& iid, void** out) = 0;     // slot 2
};
KVD_INTERFACE_ID(IUnknown, IID_IUnknown);
