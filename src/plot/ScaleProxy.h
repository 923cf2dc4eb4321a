// One axis of a plot, as its persist task keeps it, shown to the host as a scale: the host's
// scale dialogs read the range and set or invert it through the task.
#pragma once

#include "plot/IScaleProxy.h"

namespace KVD {

class LumoPersistTask;

class ScaleProxy final : public IScaleProxy {
public:
    // The task is not owned: the plot that owns this proxy owns the task.
    ScaleProxy(LumoPersistTask* task, ScaleConsts::ScaleDirection direction) : mTask(task), mDirection(direction) {}

    double GetEUnitsMin() const override;
    double GetEUnitsMax() const override;
    double GetUnitsLow() const override;
    double GetUnitsHigh() const override;
    ScaleConsts::ScaleDirection GetDirection() const override { return mDirection; }
    KVD::String GetPrefixedUnitsName() const override { return KVD::String(); }
    uint32_t GetStyleFlags() const override { return 0; }
    bool IsUnitsRangeOK(double, double, KVD::String*) const override { return true; }
    // Applied as if the user had rescaled.
    void SetHighLowCheckLimits(double high, double low) override;
    // The ends swap; stored as they are.
    void Invert() override;

private:
    LumoPersistTask* mTask;
    ScaleConsts::ScaleDirection mDirection;
};

}  // namespace KVD
