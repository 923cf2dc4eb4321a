// One axis of a plot as the host's scale dialogs see it: its units range, direction, units
// name and style, and the changes the host may make to it.
#pragma once

#include "foundation/KVDString.h"

namespace ScaleConsts {
enum ScaleDirection : int32_t { kHorizontal = 0, kVertical = 1 };
}

struct IScaleProxy {
    virtual ~IScaleProxy() = default;
    virtual double GetEUnitsMin() const = 0;
    virtual double GetEUnitsMax() const = 0;
    virtual double GetUnitsLow() const = 0;
    virtual double GetUnitsHigh() const = 0;
    virtual ScaleConsts::ScaleDirection GetDirection() const = 0;
    virtual KVD::String GetPrefixedUnitsName() const = 0;
    virtual uint32_t GetStyleFlags() const = 0;
    // Whether low to high is a range the axis takes; message says why not.
    virtual bool IsUnitsRangeOK(double low, double high, KVD::String* message) const = 0;
    virtual void SetHighLowCheckLimits(double high, double low) = 0;
    virtual void Invert() = 0;
};
