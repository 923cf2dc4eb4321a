// One axis of a plot as the host's scale dialogs see it: its units range, direction, units
// name and style, and the changes the host may make to it.
#pragma once

#include "IUnknown.h"

struct IAutoKVDString;

namespace ScaleConsts {
enum ScaleDirection : int32_t { kHorizontal = 0, kVertical = 1 };
}

// BBC2C17E-4198-4D40-8551-EFB7AA4DDAA8
inline constexpr _IID IID_IScaleProxy = {0xBBC2C17E, 0x4198, 0x4D40, {0x85, 0x51, 0xEF, 0xB7, 0xAA, 0x4D, 0xDA, 0xA8}};

struct IScaleProxy : IUnknown {
    // The widest range the axis can take.
    virtual double GetEUnitsMin() const = 0;                                            // slot 3
    virtual double GetEUnitsMax() const = 0;                                            // slot 4
    // The range shown now.
    virtual double GetUnitsLow() const = 0;                                             // slot 5
    virtual double GetUnitsHigh() const = 0;                                            // slot 6
    virtual ScaleConsts::ScaleDirection GetDirection() const = 0;                       // slot 7
    // The axis' unit with its prefix, a new string for the caller.
    virtual HRESULT GetPrefixedUnitsName(IAutoKVDString** name) const = 0;              // slot 8
    virtual uint32_t GetStyleFlags() const = 0;                                         // slot 9
    // Whether low to high is a range the axis takes; *message, when given, may say why not.
    virtual AutoBool IsUnitsRangeOK(double low, double high, IAutoKVDString** message) const = 0;  // slot 10
    // Shows the range as if the user had set it.
    virtual HRESULT SetHighLowCheckLimits(double high, double low) = 0;                // slot 11
    // Swaps the range's ends.
    virtual HRESULT Invert() = 0;                                                       // slot 12
};
KVD_INTERFACE_ID(IScaleProxy, IID_IScaleProxy);
