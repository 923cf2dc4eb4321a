// The volume calculation dialog driven as a user would: the source, the correction controls
// and the ratio computed from the selected breathing.
#include <gtest/gtest.h>

#include "DialogDocument.h"
#include "appkit/Application.h"
#include "appkit/UserDriver.h"
#include "spirometry/CalibrateBase.h"
#include "spirometry/SpVolSettings.h"
#include "spirometry/SpiroText.h"
#include "views/dialogs/CalcDialogs.h"

using namespace Spirometry;
using AppKit::Application;
using AppKit::UserDriver;
using DialogTest::DialogDocument;

namespace {

// 1.0 in and 1.2 out per breath: with 150 mL of dead space the whole breaths balance at a
// ratio of 1.05 / 0.85.
constexpr double kWholeBreathsRatio = 1.05 / 0.85;

const std::vector<std::string> kCorrectionControls = {"correctionNormalBtn", "correctionFullBtn", "correctionMode",
                                                      "deadSpaceEdit",       "calcCorrectionEdit", "applyButton"};

class VolumeDialog : public ::testing::Test {
protected:
    VolumeDialog() : doc(DialogTest::Breathing(6, 1.0, 1.2))
    {
        settings.mFlowChannel = DialogDocument::kFlow;
        settings.SetCalculationChannel(DialogDocument::kVolume);
        Application::Shared().ClearShown();
    }
    int Show()
    {
        return dialogs.ShowSpVolumeCalcDialog(HWND{}, DialogDocument::kVolume, doc.Auto(), &settings, doc.Names());
    }
    void SelectAll() { doc.SelectTicks(0, 2401); }

    DialogDocument doc;
    SpVolSettings settings;
    CalcDialogs dialogs;
};

TEST_F(VolumeDialog, WithoutCorrectionOnlyTheChecksTheSourceAndTheStatusAreActive)
{
    SelectAll();
    UserDriver::AnswerNextModal([](UserDriver& user) {
        for (const std::string& name : kCorrectionControls)
            EXPECT_FALSE(user.IsEnabled(name)) << name;
        EXPECT_FALSE(user.IsEnabled("volumeCorrectionEdit"));
        for (const char* name : {"srcList", "applyCorrectionCheck", "resetVolumeCheck", "correctionStatus"})
            EXPECT_TRUE(user.IsEnabled(name)) << name;
        user.Click("applyCorrectionCheck");
        for (const std::string& name : kCorrectionControls)
            EXPECT_TRUE(user.IsEnabled(name)) << name;
        EXPECT_TRUE(user.IsEnabled("volumeCorrectionEdit"));
        user.Click("Cancel");
    });
    EXPECT_EQ(Show(), kDialogCancelled);
}

TEST_F(VolumeDialog, WithoutDataTheRatioFieldAloneStaysWithTheReason)
{
    settings.mApplyCorrection = true;
    UserDriver::AnswerNextModal([](UserDriver& user) {
        EXPECT_EQ(user.StringValue("correctionStatus"),
                  KVD::ToU8String(CachedText<SpirometryStr::IDS_NO_VOL_SELECTION>()));
        EXPECT_EQ(user.StringValue("calcCorrectionEdit"), "");
        for (const std::string& name : kCorrectionControls)
            EXPECT_FALSE(user.IsEnabled(name)) << name;
        EXPECT_TRUE(user.IsEnabled("volumeCorrectionEdit"));
        user.Type("volumeCorrectionEdit", "1.5");
        user.Click("OK");
    });
    EXPECT_EQ(Show(), kDialogAccepted);
    EXPECT_DOUBLE_EQ(settings.mVolumeRatio, 1.5);
}

TEST_F(VolumeDialog, MethodAndDeadSpaceRecomputeTheRatioAtOnceButAnInvalidDeadSpaceDoesNot)
{
    SelectAll();
    settings.mApplyCorrection = true;
    std::vector<std::string> shown;
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        EXPECT_EQ(user.StringValue("correctionStatus"), "");
        shown.push_back(user.StringValue("calcCorrectionEdit"));  // normal method, 400 mL
        user.Type("deadSpaceEdit", "150");  // each valid number as typed
        shown.push_back(user.StringValue("calcCorrectionEdit"));
        user.Click("correctionFullBtn");
        shown.push_back(user.StringValue("calcCorrectionEdit"));
        user.Type("deadSpaceEdit", "-5");  // no valid number on the way
        user.Click("correctionNormalBtn");
        shown.push_back(user.StringValue("calcCorrectionEdit"));
        EXPECT_EQ(user.ToolTip("deadSpaceError"), "Please enter a number from 0 to 10000.");
        user.Click("Cancel");
    });
    EXPECT_EQ(Show(), kDialogCancelled);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_NE(shown[0], "");
    EXPECT_NE(shown[1], shown[0]);
    EXPECT_NEAR(std::stod(shown[2]), kWholeBreathsRatio, 0.01);
    EXPECT_EQ(shown[3], shown[2]);
}

TEST_F(VolumeDialog, ASelectionTooShortForWholeBreathsSaysSo)
{
    doc.SelectTicks(100, 101);
    settings.mApplyCorrection = true;
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        EXPECT_EQ(user.StringValue("correctionStatus"), "");
        user.Click("correctionFullBtn");
        EXPECT_EQ(user.StringValue("calcCorrectionEdit"), "1");
        EXPECT_EQ(user.StringValue("correctionStatus"),
                  KVD::ToU8String(CachedText<SpirometryStr::IDS_CALIBRATION_NO_RESULT>()));
        // The straight-line fit finds nothing to correct, which is no fault.
        user.Click("correctionNormalBtn");
        EXPECT_EQ(user.StringValue("correctionStatus"), "");
        user.Click("Cancel");
    });
    EXPECT_EQ(Show(), kDialogCancelled);
}

TEST_F(VolumeDialog, ApplyCopiesTheComputedRatioWithoutCheckingItsLimits)
{
    SelectAll();
    settings.mApplyCorrection = true;
    settings.mDeadSpace = 150.0;
    settings.mCorrectionMethod = kVolumeCorrectionWholeBreaths;
    std::string refusal;
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        user.Click("Apply");
        EXPECT_EQ(user.StringValue("volumeCorrectionEdit"), user.StringValue("calcCorrectionEdit"));
        user.Type("calcCorrectionEdit", "12");
        user.Click("Apply");
        EXPECT_EQ(user.StringValue("volumeCorrectionEdit"), "12");
        user.Click("OK");
        refusal = user.ToolTip("volumeCorrectionError");
        user.Type("volumeCorrectionEdit", "0.005");
        user.Click("OK");
        EXPECT_EQ(user.ToolTip("volumeCorrectionError"), refusal);
        user.Click("Cancel");
    });
    EXPECT_EQ(Show(), kDialogCancelled);
    EXPECT_EQ(refusal, "Please enter a number from 0.01 to 10.");
}

TEST_F(VolumeDialog, AStoredSourceStaysWhenNoItemIsSelected)
{
    settings.mFlowChannel = 9;  // beyond the channels listed
    UserDriver::AnswerNextModal([](UserDriver& user) {
        EXPECT_EQ(user.SelectedTag("srcList"), -1);
        user.Click("resetVolumeCheck");
        user.Click("OK");
    });
    EXPECT_EQ(Show(), kDialogAccepted);
    EXPECT_EQ(settings.mFlowChannel, 9);
    EXPECT_TRUE(settings.mResetVolume);
}

TEST_F(VolumeDialog, ARecordWithoutSourceShowsTheFlowChannel)
{
    SpVolSettings unset;
    const SpiroTest::ByteVector before = DialogTest::Stored(unset);
    UserDriver::AnswerNextModal([](UserDriver& user) {
        EXPECT_EQ(user.SelectedTitle("srcList"), "Flow");
        user.Click("Cancel");
    });
    EXPECT_EQ(dialogs.ShowSpVolumeCalcDialog(HWND{}, DialogDocument::kVolume, doc.Auto(), &unset, doc.Names()),
              kDialogCancelled);
    EXPECT_EQ(DialogTest::Stored(unset), before);
    UserDriver::AnswerNextModal([](UserDriver& user) { user.Click("OK"); });
    EXPECT_EQ(dialogs.ShowSpVolumeCalcDialog(HWND{}, DialogDocument::kVolume, doc.Auto(), &unset, doc.Names()),
              kDialogAccepted);
    EXPECT_EQ(unset.mFlowChannel, DialogDocument::kFlow);
}

TEST_F(VolumeDialog, CancelLeavesTheRecordsBytesAsTheyWere)
{
    SelectAll();
    const SpiroTest::ByteVector before = DialogTest::Stored(settings);
    UserDriver::AnswerNextModal([](UserDriver& user) {
        user.Click("applyCorrectionCheck");
        user.Click("correctionFullBtn");
        user.Type("deadSpaceEdit", "150");
        user.Click("Apply");
        user.Choose("srcList", "Raw");  // a source change writes the record at once
        user.Click("Cancel");
    });
    EXPECT_EQ(Show(), kDialogCancelled);
    EXPECT_EQ(DialogTest::Stored(settings), before);
}

TEST_F(VolumeDialog, CommitWritesEveryField)
{
    SelectAll();
    UserDriver::AnswerNextModal([](UserDriver& user) {
        user.Choose("srcList", "Raw");
        user.Click("applyCorrectionCheck");
        user.Click("resetVolumeCheck");
        user.Click("correctionFullBtn");
        user.Type("deadSpaceEdit", "250");
        user.Type("volumeCorrectionEdit", "1.125");
        EXPECT_TRUE(user.Snapshot(DialogTest::PicturePath("SpVolumeCalcDialog")));
        user.Click("?");
        user.Click("OK");
    });
    EXPECT_EQ(Show(), kDialogAccepted);
    EXPECT_EQ(settings.mFlowChannel, DialogDocument::kRaw);
    EXPECT_TRUE(settings.mApplyCorrection);
    EXPECT_TRUE(settings.mResetVolume);
    EXPECT_EQ(settings.mCorrectionMethod, kVolumeCorrectionWholeBreaths);
    EXPECT_DOUBLE_EQ(settings.mDeadSpace, 250.0);
    EXPECT_DOUBLE_EQ(settings.mVolumeRatio, 1.125);
    EXPECT_EQ(Application::Shared().HelpTopicsShown(), std::vector<std::string>{"spiro_volumecalc"});
}

TEST_F(VolumeDialog, CommitReRunsTheVolumeCalculation)
{
    // Through the host: the volume channel's settings dialog, corrected by the computed ratio;
    // then every whole breath ends where it began.
    SelectAll();
    EXPECT_NEAR(doc.Samples(DialogDocument::kVolume)[1599], -0.2 * 4, 0.01);
    InstallSpiroDialogs(&dialogs);
    UserDriver::AnswerNextModal([](UserDriver& user) {
        user.Click("applyCorrectionCheck");
        user.Click("correctionFullBtn");
        user.Type("deadSpaceEdit", "150");
        user.Click("Apply");
        user.Click("OK");
    });
    EXPECT_EQ(doc.EditThroughDialog(DialogDocument::kVolume), KVD_S_OK);
    InstallSpiroDialogs(nullptr);
    const std::vector<float> corrected = doc.Samples(DialogDocument::kVolume);
    ASSERT_GE(corrected.size(), 1600u);
    EXPECT_NEAR(corrected[1599] - corrected[399], 0.0, 0.02);
}

}  // namespace
