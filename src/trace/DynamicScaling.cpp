#include "trace/DynamicScaling.h"

#include <utility>

namespace KVD {

DynamicScaling::DynamicScaling(Action action, int64_t interval) : mAction(std::move(action)), mInterval(interval) {}

void DynamicScaling::Start(int64_t now)
{
    mRunning = true;
    mLast = now;
}

void DynamicScaling::Stop()
{
    mRunning = false;
}

bool DynamicScaling::OnUpdate(int64_t now)
{
    if (!mRunning || now - mLast < mInterval)
        return false;
    mLast = now;
    ++mFits;
    if (mAction)
        mAction();
    return true;
}

}  // namespace KVD
