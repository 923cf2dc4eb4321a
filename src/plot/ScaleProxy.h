// One axis of a plot, as its persist task keeps it, shown to the host as a scale: the host's
// scale dialogs read the range and set or invert it through the task.
#pragma once

#include "IScaleProxy.h"
#include "foundation/UnknownImp.h"

namespace KVD {

class LumoPersistTask;

// Lives as long as the plot that owns it.
class ScaleProxy final : public StaticUnknown<IScaleProxy> {
public:
    // The task is not owned: the plot that owns this proxy owns the task.
    ScaleProxy(LumoPersistTask* task, ScaleConsts::ScaleDirection direction) : mTask(task), mDirection(direction) {}

    double GetEUnitsMin() const override;
    double GetEUnitsMax() const override;
    double GetUnitsLow() const override;
    double GetUnitsHigh() const override;
    ScaleConsts::ScaleDirection GetDirection() const override { return mDirection; }
    // Empty: the plot's axes carry no units of their own.
    HRESULT GetPrefixedUnitsName(IAutoKVDString** name) const override;
    uint32_t GetStyleFlags() const override { return 0; }
    // Every range, message untouched.
    AutoBool IsUnitsRangeOK(double, double, IAutoKVDString**) const override { return kAutoTrue; }
    // Applied as if the user had rescaled.
    HRESULT SetHighLowCheckLimits(double high, double low) override;
    // The ends swap; stored as they are.
    HRESULT Invert() override;

private:
    LumoPersistTask* mTask;
    ScaleConsts::ScaleDirection mDirection;
};

}  // namespace KVD
