#include "appkit/RunLoop.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace AppKit {

RunLoop& RunLoop::Main()
{
    static RunLoop loop;
    return loop;
}

int RunLoop::AddTimer(double interval, bool repeats, Callback callback, const std::string& mode)
{
    return AddTimer(interval, repeats, std::move(callback), std::vector<std::string>{mode});
}

int RunLoop::AddTimer(double interval, bool repeats, Callback callback, const std::vector<std::string>& modes)
{
    // A repeating timer of no interval would fire without end within one instant.
    if (repeats && !(interval >= kMinimumInterval))
        interval = kMinimumInterval;
    const int id = mNextId++;
    mTimers[id] = Timer{interval, repeats, std::move(callback), modes, Now() + interval};
    return id;
}

void RunLoop::RemoveTimer(int id) { mTimers.erase(id); }

bool RunLoop::HasTimer(int id) const { return mTimers.count(id) != 0; }

double RunLoop::Now() const
{
    if (mVirtual)
        return mVirtualNow;
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void RunLoop::UseVirtualClock(bool on)
{
    if (on == mVirtual)
        return;
    // Pending timers keep their distance from now across the switch.
    const double before = Now();
    mVirtual = on;
    const double shift = Now() - before;
    for (auto& entry : mTimers)
        entry.second.due += shift;
}

bool RunLoop::FireNext(double until)
{
    auto next = mTimers.end();
    for (auto it = mTimers.begin(); it != mTimers.end(); ++it) {
        const Timer& t = it->second;
        const bool inMode = std::find(t.modes.begin(), t.modes.end(), mMode) != t.modes.end() ||
                            std::find(t.modes.begin(), t.modes.end(), kCommonModes) != t.modes.end();
        if (inMode && t.due <= until &&
            (next == mTimers.end() || t.due < next->second.due))
            next = it;
    }
    if (next == mTimers.end())
        return false;
    const int id = next->first;
    Timer& timer = next->second;
    if (mVirtual)
        mVirtualNow = timer.due;
    Callback callback = timer.callback;  // the callback may remove its own timer
    if (timer.repeats)
        timer.due += timer.interval;
    else
        mTimers.erase(id);
    callback();
    return true;
}

void RunLoop::Advance(double seconds)
{
    const double until = mVirtualNow + seconds;
    while (FireNext(until))
        RunTurnHooks();
    mVirtualNow = until;
    RunTurnHooks();
}

void RunLoop::RunFor(double seconds)
{
    const double until = Now() + seconds;
    while (Now() < until) {
        const bool fired = FireNext(Now());
        RunTurnHooks();
        if (!fired)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

int RunLoop::AddTurnHook(Callback hook)
{
    const int id = mNextId++;
    mTurnHooks[id] = std::move(hook);
    return id;
}

void RunLoop::RemoveTurnHook(int id) { mTurnHooks.erase(id); }

void RunLoop::RunTurnHooks()
{
    // A hook that turns the loop itself (a page's call opening a modal session) must not run
    // the hooks again beneath it.
    if (mInTurn)
        return;
    struct Turning {
        bool& flag;
        explicit Turning(bool& f) : flag(f) { flag = true; }
        ~Turning() { flag = false; }
    } turning(mInTurn);
    const std::map<int, Callback> hooks = mTurnHooks;  // a hook may add or remove hooks
    for (const auto& entry : hooks)
        if (mTurnHooks.count(entry.first) != 0)
            entry.second();
}

}  // namespace AppKit
