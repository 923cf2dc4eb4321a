// Timers of the run loop on the virtual clock.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "appkit/RunLoop.h"

namespace {

using AppKit::RunLoop;

class VirtualClock : public ::testing::Test {
protected:
    void SetUp() override { loop.UseVirtualClock(true); }
    void TearDown() override
    {
        for (int id : ids)
            loop.RemoveTimer(id);
        loop.SetMode(RunLoop::kDefaultMode);
        loop.UseVirtualClock(false);
    }
    int Add(double interval, bool repeats, const std::string& name, const std::string& mode = RunLoop::kDefaultMode)
    {
        ids.push_back(loop.AddTimer(interval, repeats, [this, name] { fired.push_back(name); }, mode));
        return ids.back();
    }
    RunLoop& loop = RunLoop::Main();
    std::vector<int> ids;
    std::vector<std::string> fired;
};

TEST_F(VirtualClock, TimersFireInDueOrderAndRepeat)
{
    Add(0.3, true, "a");
    Add(0.2, false, "b");
    Add(0.5, true, "c");
    loop.Advance(0.1);
    EXPECT_TRUE(fired.empty());
    loop.Advance(0.55);  // now 0.65
    EXPECT_EQ(fired, (std::vector<std::string>{"b", "a", "c", "a"}));
    fired.clear();
    loop.Advance(0.35);  // now 1.0: a at 0.9, c at 1.0
    EXPECT_EQ(fired, (std::vector<std::string>{"a", "c"}));
    EXPECT_FALSE(loop.HasTimer(ids[1]));  // the one-shot is gone
}

TEST_F(VirtualClock, ATimerRemovedWhileFiringFiresNoMore)
{
    int id = 0;
    id = loop.AddTimer(0.1, true, [&] {
        fired.push_back("once");
        loop.RemoveTimer(id);
    });
    loop.Advance(1.0);
    EXPECT_EQ(fired, (std::vector<std::string>{"once"}));
}

TEST_F(VirtualClock, ARepeatingTimerWithoutIntervalIsRaisedToTheMinimum)
{
    for (double interval : {0.0, -1.0, std::nan("")}) {
        SCOPED_TRACE(interval);
        fired.clear();
        const int id = Add(interval, true, "tick");
        loop.Advance(100 * RunLoop::kMinimumInterval);  // ends: the timer does not fire without end
        EXPECT_NEAR(double(fired.size()), 100, 1);
        loop.RemoveTimer(id);
    }
    Add(0, false, "once");  // a one-shot of no interval fires once, at once
    fired.clear();
    loop.Advance(0);
    EXPECT_EQ(fired, std::vector<std::string>{"once"});
}

TEST_F(VirtualClock, TimersFireOnlyInTheirModeOrInCommonModes)
{
    Add(0.1, false, "default");
    Add(0.1, false, "tracking", "tracking");
    Add(0.1, false, "common", RunLoop::kCommonModes);
    loop.SetMode("tracking");
    loop.Advance(0.2);
    EXPECT_EQ(fired, (std::vector<std::string>{"tracking", "common"}));
    loop.SetMode(RunLoop::kDefaultMode);
    loop.Advance(0.0);
    EXPECT_EQ(fired.back(), "default");
}

TEST_F(VirtualClock, ATimerOfSeveralModesFiresInEachOfThem)
{
    const std::vector<std::string> modes{RunLoop::kDefaultMode, RunLoop::kModalPanelMode};
    ids.push_back(loop.AddTimer(0.1, true, [this] { fired.push_back(loop.Mode()); }, modes));
    loop.Advance(0.1);
    loop.SetMode(RunLoop::kModalPanelMode);
    loop.Advance(0.1);
    loop.SetMode(RunLoop::kEventTrackingMode);
    loop.Advance(0.1);
    EXPECT_EQ(fired, (std::vector<std::string>{RunLoop::kDefaultMode, RunLoop::kModalPanelMode}));
}

// Turn hooks run after each timer and on every pass that fires none, in the order added; a
// hook removed by another does not run, and a hook that turns the loop is not re-entered.
TEST_F(VirtualClock, TurnHooksRunOnEveryTurn)
{
    std::vector<std::string> turns;
    int second = 0;
    const int first = loop.AddTurnHook([&] {
        turns.push_back("first");
        loop.Advance(0);  // nested turn: the hooks do not run beneath themselves
    });
    second = loop.AddTurnHook([&] { turns.push_back("second"); });
    Add(0.1, false, "a");
    Add(0.2, false, "b");
    loop.Advance(0.5);
    EXPECT_EQ(fired, (std::vector<std::string>{"a", "b"}));
    // After a, after b, and once for the rest of the interval.
    EXPECT_EQ(turns, (std::vector<std::string>{"first", "second", "first", "second", "first", "second"}));
    turns.clear();
    const int remover = loop.AddTurnHook([&] { loop.RemoveTurnHook(second); });
    loop.RemoveTurnHook(first);
    loop.Advance(0.1);
    EXPECT_EQ(turns, (std::vector<std::string>{"second"}));  // second ran before it was removed
    turns.clear();
    loop.Advance(0.1);
    EXPECT_TRUE(turns.empty());
    loop.RemoveTurnHook(remover);
}

}  // namespace
