// Every entry in the settings dialog survives any other control's change: what the user
// entered in one control, then a change of another, and OK stores the entry.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "DialogDocument.h"
#include "SettingsDialogHost.h"
#include "appkit/UserDriver.h"
#include "host/commands/MenuModel.h"
#include "spirometry/SpFlowSettings.h"
#include "spirometry/SpVolSettings.h"
#include "spirometry/SpiroIds.h"

using namespace Spirometry;
using AppKit::UserDriver;

namespace {

// The channels added beside the host's flow (1) and volume (2).
constexpr int kOtherFlow = 3;
constexpr int kOtherVolume = 4;

// One thing the user does in one control, and whether the settings stored at OK hold it.
struct Entry {
    const char* name;
    const char* setting;  // entries on the same setting (a field and its stepper) are not paired
    std::function<void(UserDriver&)> make;
    std::function<bool(const SpConfig&)> held;
};

// A field typed into and left with tab, as a user moves on to the next control.
void Set(UserDriver& user, const std::string& field, const std::string& text)
{
    user.Type(field, text);
    user.Press(AppKit::Key::kTab);
}

// A click on the upper half of a stepper, which steps up.
void StepUp(UserDriver& user, const std::string& stepper)
{
    AppKit::View& view = user.Find(stepper);
    user.Click(view, Gfx::Point{view.Frame().width / 2, 2});
}

// The settings stored before the dialog opens: L/s, the clamp on at 0.05 L/s, the defaults
// (detection 1, forced threshold 2, non-forced breaths left out) and the first channels.
const std::vector<Entry>& Entries()
{
    static const std::vector<Entry> entries = {
        {"FlowChannel", "flow", [](UserDriver& u) { u.Choose("flowList", "Pneumotach"); },
         [](const SpConfig& c) { return c.mSpFlowCalcChan == kOtherFlow; }},
        {"VolumeChannel", "volume", [](UserDriver& u) { u.Choose("volumeList", "Spirometer"); },
         [](const SpConfig& c) { return c.mSpVolCalcChan == kOtherVolume; }},
        {"FlowUnit", "unit", [](UserDriver& u) { u.Choose("flowUnitList", "mL/s"); },
         [](const SpConfig& c) { return c.mFlowUnitPrefix == SpConfig::kMilliPrefix; }},
        {"DetectionField", "detection", [](UserDriver& u) { Set(u, "detectionEdit", "2.5"); },
         [](const SpConfig& c) { return c.mCycleDetectionFactor == 2.5; }},
        {"DetectionStepper", "detection", [](UserDriver& u) { StepUp(u, "detectionStepper"); },
         [](const SpConfig& c) { return std::abs(c.mCycleDetectionFactor - 1.1) < 1e-9; }},
        {"ForcedField", "forced", [](UserDriver& u) { Set(u, "forcedEdit", "1.5"); },
         [](const SpConfig& c) { return c.mForcedExpirationThreshold == 1.5; }},
        {"ForcedStepper", "forced", [](UserDriver& u) { StepUp(u, "forcedStepper"); },
         [](const SpConfig& c) { return std::abs(c.mForcedExpirationThreshold - 2.1) < 1e-9; }},
        {"IncludeTick", "include", [](UserDriver& u) { u.Click("includeBreathCheck"); },
         [](const SpConfig& c) { return c.mNonForcedInReport; }},
        {"ClampTick", "clamp", [](UserDriver& u) { u.Click("clampToFloor"); },
         [](const SpConfig& c) { return !c.mFlowNoiseClamp.enabled; }},
        // Typed in L/s: held in litres per second whatever unit is chosen afterwards.
        {"ClampLevel", "level", [](UserDriver& u) { Set(u, "flowNoiseClampValue", "0.3"); },
         [](const SpConfig& c) { return std::abs(c.mFlowNoiseClamp.level - 0.3) < 1e-12; }},
    };
    return entries;
}

struct Order {
    size_t entry;
    size_t change;
};

std::vector<Order> Orders()
{
    const std::vector<Entry>& entries = Entries();
    std::vector<Order> orders;
    for (size_t e = 0; e < entries.size(); ++e)
        for (size_t c = 0; c < entries.size(); ++c) {
            const std::string entered = entries[e].setting;
            const bool sameSetting = entered == entries[c].setting;
            // With the clamp off its level field takes no typing.
            const bool disabled = entered == "clamp" && std::string(entries[c].setting) == "level";
            if (!sameSetting && !disabled)
                orders.push_back(Order{e, c});
        }
    return orders;
}

class SettingsDialogEntries : public DialogTest::SettingsDialogHost, public ::testing::WithParamInterface<Order> {
protected:
    void SetUp() override
    {
        DialogTest::SettingsDialogHost::SetUp();
        // A second flow and volume channel to choose.
        ASSERT_EQ(mData->AddChannel("Pneumotach", "L/s"), kOtherFlow);
        ASSERT_EQ(mData->AddChannel("Spirometer", "L"), kOtherVolume);
        SpFlowSettings flow;
        flow.mRawFlowChannel = 0;
        flow.SetFlowHead(5, 1.0);
        DialogTest::PutOn(*mData, SpFlowCalcTypeId(), kOtherFlow, flow);
        SpVolSettings volume;
        volume.mFlowChannel = kOtherFlow;
        DialogTest::PutOn(*mData, DialogTest::VolumeCalcTypeId(), kOtherVolume, volume);
        SelectRecord(0);
        ASSERT_TRUE(doc->HmSpiroSettings2Change(2.0, 1.0, false, mFlow, mVolume, SpConfig::kNoPrefix, 0.05, true));
    }
};

TEST_P(SettingsDialogEntries, AnEntryHoldsThroughAnotherControlsChange)
{
    const Entry& entry = Entries()[GetParam().entry];
    const Entry& change = Entries()[GetParam().change];
    ASSERT_FALSE(entry.held(doc->Config()));
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        entry.make(user);
        change.make(user);
        user.Click("OK");
    });
    EXPECT_EQ(Host::MenuModel::Instance().Invoke("Spirometry|Settings"), KVD_S_OK);
    EXPECT_TRUE(entry.held(doc->Config())) << entry.name << " then " << change.name;
}

INSTANTIATE_TEST_SUITE_P(Orders, SettingsDialogEntries, ::testing::ValuesIn(Orders()),
                         [](const ::testing::TestParamInfo<Order>& info) {
                             return std::string(Entries()[info.param.entry].name) + "Then" +
                                    Entries()[info.param.change].name;
                         });

}  // namespace
