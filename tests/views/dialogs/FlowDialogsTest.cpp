// The flow calculation dialog and the flow-head calibration, driven as a user would.
#include <gtest/gtest.h>

#include <cmath>

#include "DialogDocument.h"
#include "appkit/Alert.h"
#include "appkit/Application.h"
#include "appkit/UserDriver.h"
#include "spirometry/FlowHeads.h"
#include "spirometry/SpFlowSettings.h"
#include "spirometry/SpiroText.h"
#include "views/dialogs/CalcDialogs.h"

using namespace Spirometry;
using AppKit::Application;
using AppKit::UserDriver;
using DialogTest::DialogDocument;

namespace {

std::string HeadName(unsigned row)
{
    return KVD::ToU8String(FlowHeads().GetName(row));
}

std::string Text(const KVD::String& text)
{
    return KVD::ToU8String(text);
}

class FlowDialogs : public ::testing::Test {
protected:
    FlowDialogs() : doc(DialogTest::Breathing(1, 2.4, 0.0))
    {
        settings.mRawFlowChannel = DialogDocument::kRaw;
        settings.SetCalculationChannel(DialogDocument::kFlow);
        settings.SetFlowHead(3, 0.0);
        Application::Shared().ClearShown();
    }
    int ShowFlow() { return dialogs.ShowSpFlowCalcDialog(HWND{}, DialogDocument::kFlow, doc.Auto(), &settings, doc.Names()); }

    DialogDocument doc;
    SpFlowSettings settings;
    CalcDialogs dialogs;
};

TEST_F(FlowDialogs, ChoosingTheCustomHeadCalibratesAtOnceAndCancellingKeepsTheScale)
{
    bool calibrationShown = false;
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        EXPECT_EQ(user.SelectedTitle("headList"), HeadName(3));
        user.Choose("headList", Text(CachedText<SpirometryStr::IDS_SPIROMETRY_CUSTOM>()));
        // The calibration ran and was cancelled inside the choice.
        EXPECT_EQ(user.SelectedTag("headList"), 5);
        EXPECT_EQ(user.StringValue("formulaText"), "Flow = 40.1 × Signal");
        user.Click("OK");
    });
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        calibrationShown = true;
        EXPECT_EQ(user.StringValue("flowGain"), "40.1");
        user.Type("flowGain", "2");
        user.Click("Cancel");
    });
    EXPECT_EQ(ShowFlow(), kDialogAccepted);
    EXPECT_TRUE(calibrationShown);
    EXPECT_EQ(Application::Shared().ModalTitles(),
              (std::vector<std::string>{"Spirometry Flow", "Flow Head Calibration"}));
    EXPECT_EQ(settings.mHeadIndex, 5);
    EXPECT_TRUE(settings.mCustomHead);
    EXPECT_DOUBLE_EQ(settings.mHeadScale, 40.1);
}

TEST_F(FlowDialogs, CompensationBelongsToHeadTwoOnly)
{
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        EXPECT_FALSE(user.IsEnabled("compensateCheck"));
        user.Choose("headList", HeadName(2));
        EXPECT_TRUE(user.IsEnabled("compensateCheck"));
        user.Click("compensateCheck");
        EXPECT_EQ(user.StringValue("formulaText"), "Flow = 11.79 × (1 − 0.37 × |Signal|) × Signal");
        user.Choose("headList", HeadName(4));
        EXPECT_FALSE(user.IsEnabled("compensateCheck"));
        EXPECT_EQ(user.State("compensateCheck"), AppKit::Button::kOff);
        EXPECT_FALSE(settings.mNonLinearCompensation);  // written at once
        user.Choose("headList", HeadName(2));
        EXPECT_EQ(user.State("compensateCheck"), AppKit::Button::kOff);
        user.Click("compensateCheck");
        user.Click("driftCheck");
        user.Click("OK");
    });
    EXPECT_EQ(ShowFlow(), kDialogAccepted);
    EXPECT_EQ(settings.mHeadIndex, 2);
    EXPECT_DOUBLE_EQ(settings.mHeadScale, 11.79);
    EXPECT_TRUE(settings.mNonLinearCompensation);
    EXPECT_TRUE(settings.mDriftCorrection);
    EXPECT_FALSE(settings.mCustomHead);
}

TEST_F(FlowDialogs, ReopeningOnABuiltInHeadTakesTheTablesScale)
{
    settings.mHeadScale = 99.0;  // as a record stored with another table might hold it
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        EXPECT_EQ(user.StringValue("formulaText"), "Flow = 40.1 × Signal");
        EXPECT_TRUE(user.Snapshot(DialogTest::PicturePath("SpFlowCalcDialog")));
        user.Click("OK");
    });
    EXPECT_EQ(ShowFlow(), kDialogAccepted);
    EXPECT_DOUBLE_EQ(settings.mHeadScale, 40.1);
}

TEST_F(FlowDialogs, CancelLeavesTheRecordsBytesAsTheyWere)
{
    settings.mDriftCorrection = true;
    const SpiroTest::ByteVector before = DialogTest::Stored(settings);
    UserDriver::AnswerNextModal([](UserDriver& user) {
        user.Click("driftCheck");
        user.Choose("srcList", "Volume");
        user.Choose("headList", HeadName(2));
        user.Click("compensateCheck");
        user.Click("Cancel");
    });
    EXPECT_EQ(ShowFlow(), kDialogCancelled);
    EXPECT_EQ(DialogTest::Stored(settings), before);
}

TEST_F(FlowDialogs, CalibrationFromAnInjectedVolume)
{
    doc.SelectTicks(0, 401);
    double shownVolume = 0;
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        EXPECT_TRUE(user.IsEnabled("injectedVolume"));
        EXPECT_EQ(user.StringValue("calStatus"), "");
        shownVolume = user.DoubleValue("injectedVolume");  // what the present gain makes of the data
        user.Type("injectedVolume", "3");
        user.Press(AppKit::Key::kTab);
        EXPECT_EQ(user.StringValue("flowGain"), "1.25");
        EXPECT_EQ(user.StringValue("injectedVolume"), "3");
        EXPECT_TRUE(user.Snapshot(DialogTest::PicturePath("SpFlowCalibrateDialog")));
        user.Click("OK");
    });
    settings.SetFlowHead(5, 1.0);
    EXPECT_EQ(dialogs.ShowSpFlowCalibrateDialog(HWND{}, doc.Auto(), &doc.doc.Data(), &settings), kDialogAccepted);
    EXPECT_NEAR(shownVolume, 2.4, 1e-3);
    EXPECT_EQ(settings.mHeadIndex, 5);
    EXPECT_TRUE(settings.mCustomHead);
    EXPECT_NEAR(settings.mHeadScale, 1.25, 1e-4);
}

TEST_F(FlowDialogs, ConfirmingUntouchedCalibrationWritesTheCustomHead)
{
    UserDriver::AnswerNextModal([](UserDriver& user) { user.Click("OK"); });
    EXPECT_EQ(dialogs.ShowSpFlowCalibrateDialog(HWND{}, doc.Auto(), &doc.doc.Data(), &settings), kDialogAccepted);
    EXPECT_EQ(settings.mHeadIndex, 5);
    EXPECT_TRUE(settings.mCustomHead);
    EXPECT_DOUBLE_EQ(settings.mHeadScale, 40.1);
}

TEST_F(FlowDialogs, ImpossibleCalibrationSaysWhyAndTakesATypedGain)
{
    // Nothing selected: no injected volume, only the gain.
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        EXPECT_FALSE(user.IsEnabled("injectedVolume"));
        EXPECT_EQ(user.StringValue("injectedVolume"), "");
        EXPECT_EQ(user.ToolTip("injectedVolumeError"), "");
        EXPECT_EQ(user.StringValue("calStatus"), Text(CachedText<SpirometryStr::IDS_NO_FLOW_SELECTION>()));
        user.Type("flowGain", "2.5");
        user.Click("OK");
    });
    EXPECT_EQ(dialogs.ShowSpFlowCalibrateDialog(HWND{}, doc.Auto(), &doc.doc.Data(), &settings), kDialogAccepted);
    EXPECT_DOUBLE_EQ(settings.mHeadScale, 2.5);
    EXPECT_EQ(settings.mHeadIndex, 5);

    // Nor can a source channel without data.
    settings.mRawFlowChannel = 7;
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        EXPECT_FALSE(user.IsEnabled("injectedVolume"));
        EXPECT_EQ(user.StringValue("calStatus"), Text(CachedText<SpirometryStr::IDS_RANGE_WARNING_2>()));
        user.Click("Cancel");
    });
    doc.SelectTicks(0, 401);
    EXPECT_EQ(dialogs.ShowSpFlowCalibrateDialog(HWND{}, doc.Auto(), &doc.doc.Data(), &settings), kDialogCancelled);
    EXPECT_DOUBLE_EQ(settings.mHeadScale, 2.5);
}

TEST_F(FlowDialogs, ASelectionWithoutFlowSaysWhyAndNoVolumeMakesAGain)
{
    // One sample integrates to nothing: no volume can be shown nor typed.
    doc.SelectTicks(100, 101);
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        EXPECT_FALSE(user.IsEnabled("injectedVolume"));
        EXPECT_EQ(user.StringValue("injectedVolume"), "");
        EXPECT_EQ(user.StringValue("calStatus"), Text(CachedText<SpirometryStr::IDS_NO_FLOW_IN_SELECTION>()));
        EXPECT_EQ(user.StringValue("flowGain"), "40.1");
        user.Click("Cancel");
    });
    EXPECT_EQ(dialogs.ShowSpFlowCalibrateDialog(HWND{}, doc.Auto(), &doc.doc.Data(), &settings), kDialogCancelled);

    // Over real flow a volume of 0 makes no gain: the gain stays, the volume shown is its own.
    doc.SelectTicks(0, 401);
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        user.Type("injectedVolume", "0");
        user.Press(AppKit::Key::kTab);
        EXPECT_EQ(user.StringValue("flowGain"), "40.1");
        EXPECT_EQ(user.StringValue("calStatus"), Text(CachedText<SpirometryStr::IDS_CALIBRATION_NO_RESULT>()));
        EXPECT_NEAR(user.DoubleValue("injectedVolume"), 40.1 * 2.4, 1e-2);
        user.Type("flowGain", "2");
        user.Press(AppKit::Key::kTab);
        EXPECT_EQ(user.StringValue("calStatus"), "");
        user.Click("OK");
    });
    EXPECT_EQ(dialogs.ShowSpFlowCalibrateDialog(HWND{}, doc.Auto(), &doc.doc.Data(), &settings), kDialogAccepted);
    EXPECT_DOUBLE_EQ(settings.mHeadScale, 2.0);
}

TEST_F(FlowDialogs, OutOfRangeNumbersBlockOkWithTheHelpersText)
{
    doc.SelectTicks(0, 401);
    struct Case {
        const char* field;
        const char* text;
        const char* error;
        const char* message;
    } cases[] = {
        {"flowGain", "200", "flowGainError", "Please enter a number from 0.01 to 100."},
        {"flowGain", "0", "flowGainError", "Please enter a number from 0.01 to 100."},
        {"injectedVolume", "10001", "injectedVolumeError", "Please enter a number from 0 to 10000."},
        {"injectedVolume", "-1", "injectedVolumeError", "Please enter a number from 0 to 10000."},
    };
    for (const Case& c : cases) {
        const SpiroTest::ByteVector before = DialogTest::Stored(settings);
        bool stillOpen = false;
        std::string said;
        UserDriver::AnswerNextModal([&](UserDriver& user) {
            user.Type(c.field, c.text);
            user.Click("OK");
            stillOpen = Application::Shared().ModalWindow() == &user.GetWindow() &&
                        !Application::Shared().ModalSessionStopped();
            said = user.ToolTip(c.error);
            user.Click("Cancel");
        });
        EXPECT_EQ(dialogs.ShowSpFlowCalibrateDialog(HWND{}, doc.Auto(), &doc.doc.Data(), &settings), kDialogCancelled);
        EXPECT_TRUE(stillOpen) << c.field << " " << c.text;
        EXPECT_EQ(said, c.message) << c.field << " " << c.text;
        EXPECT_EQ(DialogTest::Stored(settings), before) << c.field << " " << c.text;
    }
}

TEST_F(FlowDialogs, HelpTopics)
{
    UserDriver::AnswerNextModal([](UserDriver& user) {
        user.Click("infoButton");
        user.Click("Cancel");
    });
    UserDriver::AnswerNextModal([](UserDriver& user) {
        user.Click("?");
        user.Click("Cancel");
    });
    ShowFlow();
    dialogs.ShowSpFlowCalibrateDialog(HWND{}, doc.Auto(), &doc.doc.Data(), &settings);
    EXPECT_EQ(Application::Shared().HelpTopicsShown(), (std::vector<std::string>{"spiro_flowcalc", "spiro_flowheadcalib"}));
}

TEST_F(FlowDialogs, CommitReRunsTheFlowCalculation)
{
    // Through the host: the flow channel's settings dialog, calibrated to 3 L over the data.
    InstallSpiroDialogs(&dialogs);
    doc.SelectTicks(0, 401);
    const std::vector<float> raw = doc.Samples(DialogDocument::kRaw);
    ASSERT_EQ(doc.Samples(DialogDocument::kFlow), raw);  // gain 1 so far
    UserDriver::AnswerNextModal([](UserDriver& user) {
        user.Click("driftCheck");
        user.Click("driftCheck");
        user.Click("calButton");
        user.Click("OK");
    });
    UserDriver::AnswerNextModal([](UserDriver& user) {
        user.Type("injectedVolume", "3");
        user.Click("OK");
    });
    EXPECT_EQ(doc.EditThroughDialog(DialogDocument::kFlow), KVD_S_OK);
    InstallSpiroDialogs(nullptr);
    const std::vector<float> flow = doc.Samples(DialogDocument::kFlow);
    ASSERT_EQ(flow.size(), raw.size());
    for (size_t i = 0; i < raw.size(); i += 50)
        EXPECT_NEAR(flow[i], raw[i] * 1.25, 1e-3) << i;
}

}  // namespace
