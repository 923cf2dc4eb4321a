// What every data pane keeps beside its panes: the continuous auto-scaler it starts when
// sampling begins and stops when sampling ends. The scaler belongs to the pane's owner.
#pragma once

#include "trace/DynamicScaling.h"

namespace OrrelDraw {

class DataPaneBase {
public:
    // Null: no continuous auto-scaling.
    virtual void SetContinuousAutoScalerRef(KVD::DynamicScaling* scaler) { mAutoScaler = scaler; }
    KVD::DynamicScaling* GetContinuousAutoScaler() const { return mAutoScaler; }

protected:
    ~DataPaneBase() = default;

private:
    KVD::DynamicScaling* mAutoScaler = nullptr;  // not owned
};

}  // namespace OrrelDraw
