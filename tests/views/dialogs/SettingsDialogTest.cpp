// The settings dialog driven as a user would, opened by the document's Settings command: the
// lists it offers, the noise clamp shown in the chosen unit and stored in litres per second,
// and a cancel that leaves the document's settings as they were.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DialogDocument.h"
#include "SettingsDialogHost.h"
#include "SpiroDocumentHost.h"
#include "appkit/UserDriver.h"
#include "host/commands/MenuModel.h"
#include "host/loader/ClassRegistration.h"
#include "spirometry/DlgCommon.h"
#include "spirometry/SpiroDialogs.h"
#include "views/dialogs/CalcDialogs.h"

using namespace Spirometry;
using AppKit::UserDriver;

namespace {

class SettingsDialog : public DialogTest::SettingsDialogHost {
protected:
    // The clamp as the document stores it, before the command opens the dialog.
    void StoreClamp(double level, bool enabled, int32_t prefix)
    {
        SpConfig config = doc->Config();
        ASSERT_TRUE(config.Assign(config.mForcedExpirationThreshold, config.mCycleDetectionFactor,
                                  config.mNonForcedInReport, config.mSpFlowCalcChan, config.mSpVolCalcChan, prefix,
                                  level, enabled));
        ASSERT_TRUE(doc->HmSpiroSettings2Change(config.mForcedExpirationThreshold, config.mCycleDetectionFactor,
                                                config.mNonForcedInReport, config.mSpFlowCalcChan,
                                                config.mSpVolCalcChan, prefix, level, enabled));
        ASSERT_EQ(doc->Config(), config);
    }
    void OpenSettings(std::function<void(UserDriver&)> answer)
    {
        UserDriver::AnswerNextModal(std::move(answer));
        EXPECT_EQ(Host::MenuModel::Instance().Invoke("Spirometry|Settings"), KVD_S_OK);
    }

};

std::vector<std::string> Titles(UserDriver& user, const std::string& popUp)
{
    return user.Find<AppKit::PopUpButton>(popUp).Items();
}

TEST_F(SettingsDialog, ShowsTheDocumentsSettingsAndTheOfferedUnits)
{
    StoreClamp(0.05, true, SpConfig::kNoPrefix);
    const SpConfig stored = doc->Config();
    const std::vector<ChannelAssoc> flows = DlgCommon::GetFlowChannelSet(doc);
    ASSERT_FALSE(flows.empty());
    OpenSettings([&](UserDriver& user) {
        EXPECT_EQ(Titles(user, "flowUnitList"), (std::vector<std::string>{"L/s", "mL/s", "\u00B5L/s"}));
        auto& units = user.Find<AppKit::PopUpButton>("flowUnitList");
        const std::vector<int> tags = {int(units.ItemAt(0)->Tag()), int(units.ItemAt(1)->Tag()),
                                       int(units.ItemAt(2)->Tag())};
        EXPECT_EQ(tags, (std::vector<int>{8, 7, 6}));
        EXPECT_EQ(user.SelectedTag("flowList"), stored.mSpFlowCalcChan);
        EXPECT_EQ(user.SelectedTitle("flowList"), KVD::ToU8String(flows.front().name));
        EXPECT_EQ(user.SelectedTag("volumeList"), stored.mSpVolCalcChan);
        EXPECT_EQ(user.SelectedTag("flowUnitList"), 8);
        EXPECT_EQ(user.StringValue("flowNoiseClampUnit"), "L/s");
        EXPECT_DOUBLE_EQ(user.DoubleValue("flowNoiseClampValue"), 0.05);
        EXPECT_TRUE(user.IsEnabled("flowNoiseClampValue"));
        EXPECT_DOUBLE_EQ(user.DoubleValue("detectionEdit"), stored.mCycleDetectionFactor);
        EXPECT_DOUBLE_EQ(user.DoubleValue("detectionSlider"), stored.mCycleDetectionFactor);
        EXPECT_DOUBLE_EQ(user.DoubleValue("forcedEdit"), stored.mForcedExpirationThreshold);
        EXPECT_EQ(user.State("includeBreathCheck") == 1, stored.mNonForcedInReport);
        EXPECT_TRUE(user.Snapshot(DialogTest::PicturePath("SettingsDialog")));
        user.Click("Cancel");
    });
}

// Level shown per unit, and what typing a level in that unit stores.
struct UnitCase {
    const char* unit;
    int32_t prefix;
    double shown;     // for a stored 0.05 L/s
    const char* typed;
    double stored;    // L/s
};

class SettingsDialogUnits : public SettingsDialog, public ::testing::WithParamInterface<UnitCase> {};

TEST_P(SettingsDialogUnits, TheLevelShowsInTheChosenUnitAndIsStoredInLitresPerSecond)
{
    const UnitCase c = GetParam();
    StoreClamp(0.05, true, SpConfig::kNoPrefix);
    OpenSettings([&](UserDriver& user) {
        user.Choose("flowUnitList", c.unit);
        EXPECT_EQ(user.StringValue("flowNoiseClampUnit"), c.unit);
        EXPECT_DOUBLE_EQ(user.DoubleValue("flowNoiseClampValue"), c.shown);
        user.Type("flowNoiseClampValue", c.typed);
        user.Click("OK");
    });
    EXPECT_EQ(doc->Config().mFlowUnitPrefix, c.prefix);
    EXPECT_DOUBLE_EQ(doc->Config().mFlowNoiseClamp.level, c.stored);
    EXPECT_TRUE(doc->Config().mFlowNoiseClamp.enabled);
}

INSTANTIATE_TEST_SUITE_P(Units, SettingsDialogUnits,
                         ::testing::Values(UnitCase{"mL/s", 7, 50, "20", 0.02},
                                           UnitCase{"\u00B5L/s", 6, 50000, "1500", 0.0015},
                                           UnitCase{"L/s", 8, 0.05, "0.25", 0.25}));

TEST_F(SettingsDialog, AUnitChangeAloneKeepsTheLevelInLitresPerSecond)
{
    StoreClamp(0.05, true, SpConfig::kNoPrefix);
    OpenSettings([](UserDriver& user) {
        user.Choose("flowUnitList", "\u00B5L/s");
        user.Click("OK");
    });
    EXPECT_EQ(doc->Config().mFlowUnitPrefix, SpConfig::kMicroPrefix);
    EXPECT_DOUBLE_EQ(doc->Config().mFlowNoiseClamp.level, 0.05);
}

TEST_F(SettingsDialog, ALevelTypedAfterTheUnitChangeIsReadInTheNewUnitAtOK)
{
    // Typed without ending the edit: OK reads it in the unit chosen last.
    StoreClamp(0.05, true, SpConfig::kMilliPrefix);
    OpenSettings([](UserDriver& user) {
        EXPECT_DOUBLE_EQ(user.DoubleValue("flowNoiseClampValue"), 50);
        user.Choose("flowUnitList", "L/s");
        user.Type("flowNoiseClampValue", "0.3");
        user.Click("OK");
    });
    EXPECT_DOUBLE_EQ(doc->Config().mFlowNoiseClamp.level, 0.3);
}

TEST_F(SettingsDialog, WithTheClampOffTheLevelIsDisabledYetStored)
{
    StoreClamp(0.05, false, SpConfig::kMilliPrefix);
    OpenSettings([](UserDriver& user) {
        EXPECT_FALSE(user.IsEnabled("flowNoiseClampValue"));
        user.Click("clampToFloor");
        EXPECT_TRUE(user.IsEnabled("flowNoiseClampValue"));
        user.Type("flowNoiseClampValue", "80");
        user.Click("clampToFloor");
        EXPECT_FALSE(user.IsEnabled("flowNoiseClampValue"));
        EXPECT_DOUBLE_EQ(user.DoubleValue("flowNoiseClampValue"), 80);
        user.Click("OK");
    });
    EXPECT_FALSE(doc->Config().mFlowNoiseClamp.enabled);
    EXPECT_DOUBLE_EQ(doc->Config().mFlowNoiseClamp.level, 0.08);
}

TEST_F(SettingsDialog, ALevelThatIsNoNumberLeavesTheStoredLevel)
{
    // The level is not validated: OK is taken, and the text that is no number is dropped.
    StoreClamp(0.05, true, SpConfig::kMilliPrefix);
    OpenSettings([](UserDriver& user) {
        user.Type("flowNoiseClampValue", "abc");
        user.Click("OK");
    });
    EXPECT_DOUBLE_EQ(doc->Config().mFlowNoiseClamp.level, 0.05);
    EXPECT_EQ(doc->Config().mFlowUnitPrefix, SpConfig::kMilliPrefix);
}

TEST_F(SettingsDialog, TheDetectionFactorIsTakenFromFieldStepperAndSliderWithinItsLimits)
{
    OpenSettings([](UserDriver& user) {
        user.Type("detectionEdit", "20");
        EXPECT_FALSE(user.ToolTip("detectionErrorProvider").empty());
        user.Click("OK");  // refused: the dialog stays
        user.Type("detectionEdit", "2.5");
        EXPECT_TRUE(user.ToolTip("detectionErrorProvider").empty());
        EXPECT_DOUBLE_EQ(user.DoubleValue("detectionSlider"), 2.5);
        EXPECT_DOUBLE_EQ(user.DoubleValue("detectionStepper"), 2.5);
        user.Type("forcedEdit", "3.5");
        user.Click("includeBreathCheck");
        user.Click("OK");
    });
    EXPECT_DOUBLE_EQ(doc->Config().mCycleDetectionFactor, 2.5);
    EXPECT_DOUBLE_EQ(doc->Config().mForcedExpirationThreshold, 3.5);
    EXPECT_TRUE(doc->Config().mNonForcedInReport);
    EXPECT_TRUE(doc->GetSettings().mDirty);
}

TEST_F(SettingsDialog, CancelLeavesTheDocumentsSettingsAndAnswersCancelled)
{
    StoreClamp(0.05, true, SpConfig::kNoPrefix);
    const SpConfig before = doc->Config();
    OpenSettings([](UserDriver& user) {
        user.Type("detectionEdit", "4");
        user.Choose("flowUnitList", "mL/s");
        user.Click("clampToFloor");
        user.Click("Cancel");
    });
    EXPECT_EQ(doc->Config(), before);

    // Called directly, the copy handed in holds the edits; the answer says to drop it.
    SpConfig copy = before;
    UserDriver::AnswerNextModal([](UserDriver& user) {
        user.Type("detectionEdit", "4");
        user.Click("Cancel");
    });
    EXPECT_EQ(ShowSpSettingsDialog(HWND{}, doc, &copy, DlgCommon::GetFlowChannelSet(doc),
                                   DlgCommon::GetVolumeChannelSet(doc)),
              kDialogCancelled);
    EXPECT_EQ(doc->Config(), before);
}

}  // namespace
