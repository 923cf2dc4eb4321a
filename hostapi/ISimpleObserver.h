// An observer that is told that something it watches has changed (a calculation variable).
#pragma once

#include "IUnknown.h"

// 997FCF02-896F-4407-9051-C3C1638ED20F
inline constexpr _IID IID_ISimpleObserver = {0x997FCF02, 0x896F, 0x4407, {0x90, 0x51, 0xC3, 0xC1, 0x63, 0x8E, 0xD2, 0x0F}};

struct ISimpleObserver : IUnknown {
    // subject: the object that changed.
    virtual HRESULT OnChanged(uint32_t flags, IUnknown* subject) = 0;  // slot 3
};
KVD_INTERFACE_ID(ISimpleObserver, IID_ISimpleObserver);
