// The continuous auto-scaler of a data pane: while it runs (from the start of sampling to its
// end) it fits the vertical scales to the data coming in, at most once per interval, so that a
// trace that drifts does not leave its pane.
#pragma once

#include <cstdint>
#include <functional>

namespace KVD {

class DynamicScaling {
public:
    using Action = std::function<void()>;

    // action fits the scales; interval in milliseconds of the pane's clock.
    explicit DynamicScaling(Action action, int64_t interval = 1000);

    void Start(int64_t now);
    void Stop();
    bool IsRunning() const { return mRunning; }
    // Fits the scales when running and an interval has passed since the start or the last fit;
    // true when it did.
    bool OnUpdate(int64_t now);
    int FitCount() const { return mFits; }

private:
    Action mAction;
    int64_t mInterval;
    int64_t mLast = 0;
    int mFits = 0;
    bool mRunning = false;
};

}  // namespace KVD
