// The process's one run loop: repeating or one-shot timers identified by number, fired in
// run-loop modes, on the real clock or on a virtual clock that tests advance by hand.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace AppKit {

class RunLoop {
public:
    using Callback = std::function<void()>;
    static constexpr const char* kDefaultMode = "default";
    static constexpr const char* kCommonModes = "common";  // a timer that fires in every mode
    static constexpr const char* kModalPanelMode = "modal-panel";
    static constexpr const char* kEventTrackingMode = "event-tracking";
    // The shortest interval of a repeating timer, in seconds: shorter ones are raised to it.
    static constexpr double kMinimumInterval = 1e-4;

    static RunLoop& Main();

    // A timer that first fires `interval` seconds from now, then every `interval` seconds when
    // it repeats (at least kMinimumInterval). Returns its number (never 0).
    int AddTimer(double interval, bool repeats, Callback callback, const std::string& mode = kDefaultMode);
    // A timer that fires in each of these modes.
    int AddTimer(double interval, bool repeats, Callback callback, const std::vector<std::string>& modes);
    // Stops a timer; removing one that is gone (or is firing now) is harmless.
    void RemoveTimer(int id);
    bool HasTimer(int id) const;
    size_t TimerCount() const { return mTimers.size(); }

    const std::string& Mode() const { return mMode; }
    void SetMode(const std::string& mode) { mMode = mode; }

    // Seconds on the loop's clock.
    double Now() const;
    // Switches between the real clock and a virtual one that stands still until advanced.
    void UseVirtualClock(bool on);
    bool IsVirtualClock() const { return mVirtual; }
    // Moves the virtual clock on, firing every due timer in due-time order (then by number).
    void Advance(double seconds);
    // Runs the real clock for that long, firing timers as they fall due.
    void RunFor(double seconds);

    // Work that layers above want done on every turn of the loop (after each timer fired, and
    // on each idle pass), such as serving calls that pages made meanwhile. Returns its number
    // (never 0); hooks run in the order they were added.
    int AddTurnHook(Callback hook);
    void RemoveTurnHook(int id);
    // One turn's hooks, for loops that wait on their own (modal sessions).
    void RunTurnHooks();

private:
    struct Timer {
        double interval;
        bool repeats;
        Callback callback;
        std::vector<std::string> modes;
        double due;
    };
    RunLoop() = default;
    // Fires the earliest timer due at or before `until` in the current mode; false when none.
    bool FireNext(double until);

    std::map<int, Timer> mTimers;
    std::map<int, Callback> mTurnHooks;
    int mNextId = 1;
    bool mInTurn = false;
    std::string mMode = kDefaultMode;
    bool mVirtual = false;
    double mVirtualNow = 0;
};

}  // namespace AppKit
