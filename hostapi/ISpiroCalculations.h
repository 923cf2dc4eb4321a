// What the volume calculation offers the host beyond a channel calculation: switching the
// volume correction on or off, and computing its factor from a recorded range.
#pragma once

#include "IUnknown.h"

struct IAutoOrrelDoc;

// ECA93D06-AC74-4FBD-845E-0341F81D2EB9
inline constexpr _IID IID_ISpiroCalculations = {0xECA93D06, 0xAC74, 0x4FBD, {0x84, 0x5E, 0x03, 0x41, 0xF8, 0x1D, 0x2E, 0xB9}};

struct ISpiroCalculations : IUnknown {
    virtual HRESULT SetUseVolCorr(AutoBool use) = 0;                                       // slot 3
    // 0xFFFF when the correction is on, else 0.
    virtual HRESULT GetUseVolCorr(AutoBool* use) = 0;                                      // slot 4
    virtual HRESULT ClearVolumeCorrection(uint32_t flags) = 0;                             // slot 5
    // The correction factor from start..end of the document's flow, applied at once.
    virtual HRESULT ApplyVolumeCorrection(uint32_t flags, IAutoOrrelDoc* document, KVDPosition start,
                                          KVDPosition end) = 0;                            // slot 6
    // The flow channel integrated and the channel computed; -1 without settings.
    virtual HRESULT GetSpFlowCalcChan(int32_t* channel) = 0;                               // slot 7
    virtual HRESULT GetSpVolCalcChan(int32_t* channel) = 0;                                // slot 8
};
KVD_INTERFACE_ID(ISpiroCalculations, IID_ISpiroCalculations);
