// A dialog built only from its layout and its controller, run modally and answered by the
// user driver: validation refusing OK with the helper's text, commit on confirmation, cancel,
// help, the number helper's coupling of field, slider and stepper, and the modal-panel mode.
#include <gtest/gtest.h>

#include <fstream>

#include "appkit/Alert.h"
#include "appkit/Application.h"
#include "appkit/KVDModalDialogController.h"
#include "appkit/KVDNumberEditHelper.h"
#include "appkit/RunLoop.h"
#include "appkit/UserDriver.h"

namespace {

using namespace AppKit;

struct IntervalSettings {
    int source = 0;
    double interval = 30;
    double factor = 1;
    bool expirationOnly = false;
};

class IntervalDialog : public KVDModalDialogController, public KVDNumberEditHelper::Delegate {
public:
    explicit IntervalDialog(IntervalSettings& settings) : mSettings(settings)
    {
        InitWithWindowNibName("IntervalDialog", SPIRO_TEST_DATA_DIR "/dialogs");
        DeclareOutlet("srcList", srcList);
        DeclareOutlet("intervalEdit", intervalEdit);
        DeclareOutlet("intervalErrorProvider", intervalErrorProvider);
        DeclareOutlet("factorEdit", factorEdit);
        DeclareOutlet("factorSlider", factorSlider);
        DeclareOutlet("factorStepper", factorStepper);
        DeclareOutlet("expirationCheck", expirationCheck);
    }
    void AwakeFromNib() override
    {
        srcList->RemoveAllItems();
        int tag = 0;
        for (const char* name : {"Flow", "Volume", "Pressure"})
            srcList->AddItem(name, tag++);
        intervalHelper = std::make_unique<KVDNumberEditHelper>(intervalEdit, intervalErrorProvider);
        intervalHelper->SetMinValue(0);
        intervalHelper->SetMaxValue(10000);
        intervalHelper->SetDelegate(this);
        AddValidationHelper(intervalHelper.get());
        factorHelper = std::make_unique<KVDNumberEditHelper>(factorEdit, factorSlider, factorStepper, nullptr);
        factorHelper->SetMinValue(0.01);
        factorHelper->SetMaxValue(10);
        factorHelper->SetDelegate(this);
        AddValidationHelper(factorHelper.get());
        auto formatter = std::make_shared<NumberFormatter>();
        formatter->SetMaximumFractionDigits(4);
        formatter->SetDecimalSeparator(".");
        intervalEdit->SetFormatter(formatter);
        factorEdit->SetFormatter(formatter);
        srcList->SelectItemWithTag(mSettings.source);
        intervalHelper->SetDoubleValue(mSettings.interval);
        factorHelper->SetDoubleValue(mSettings.factor);
        expirationCheck->SetState(mSettings.expirationOnly ? Button::kOn : Button::kOff);
    }
    void Commit() override
    {
        ++commits;
        mSettings.source = srcList->SelectedTag();
        mSettings.interval = intervalHelper->DoubleValue();
        mSettings.factor = factorHelper->DoubleValue();
        mSettings.expirationOnly = expirationCheck->GetState() == Button::kOn;
    }
    std::string HelpTopic() const override { return "spiro_minuteventcalc"; }
    void NumberEditHelperValueDidChange(KVDNumberEditHelper& helper) override
    {
        told.push_back(&helper == factorHelper.get() ? "factor" : "interval");
    }

    PopUpButton* srcList = nullptr;
    TextField* intervalEdit = nullptr;
    KVDErrorProvider* intervalErrorProvider = nullptr;
    TextField* factorEdit = nullptr;
    Slider* factorSlider = nullptr;
    Stepper* factorStepper = nullptr;
    Button* expirationCheck = nullptr;
    std::unique_ptr<KVDNumberEditHelper> intervalHelper, factorHelper;
    int commits = 0;
    std::vector<std::string> told;

private:
    IntervalSettings& mSettings;
};

TEST(ModalDialog, OkIsRefusedWhileANumberIsInvalidThenCommits)
{
    IntervalSettings settings;
    IntervalDialog dialog(settings);
    std::string refusal;
    bool stillOpen = false;
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        EXPECT_EQ(user.GetWindow().FirstResponder(), &user.Find("intervalEdit"));
        EXPECT_EQ(user.StringValue("intervalEdit"), "30");
        user.Type("intervalEdit", "20000");
        user.Click("OK");
        stillOpen = Application::Shared().ModalWindow() == &user.GetWindow();
        refusal = user.ToolTip("intervalErrorProvider");
        EXPECT_EQ(user.GetWindow().FirstResponder(), &user.Find("intervalEdit"));
        EXPECT_TRUE(user.Snapshot(::testing::TempDir() + "interval-dialog-refused.png"));
        user.Type("intervalEdit", "12.345678");
        EXPECT_TRUE(user.ToolTip("intervalErrorProvider").empty());  // valid again as typed
        user.Choose("srcList", "Volume");
        user.Click("Expirations only");
        user.Press(Key::kReturn);  // the default button
    });
    EXPECT_EQ(dialog.ShowDialog(), 1);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(refusal, "Please enter a number from 0 to 10000.");
    EXPECT_EQ(dialog.commits, 1);
    EXPECT_EQ(settings.source, 1);
    EXPECT_DOUBLE_EQ(settings.interval, 12.3457);  // four fraction digits once the edit ended
    EXPECT_TRUE(settings.expirationOnly);
    EXPECT_FALSE(dialog.GetWindow().IsVisible());
    // The snapshot shows the window with its title bar: 360 x (200 + 22), big-endian in IHDR.
    std::ifstream png(::testing::TempDir() + "interval-dialog-refused.png", std::ios::binary);
    unsigned char ihdr[8];
    png.seekg(16);
    png.read(reinterpret_cast<char*>(ihdr), 8);
    EXPECT_EQ((ihdr[2] << 8) | ihdr[3], 360);
    EXPECT_EQ((ihdr[6] << 8) | ihdr[7], 222);
}

TEST(ModalDialog, TheAnswerSeesWhenItsSessionIsStopped)
{
    IntervalSettings settings;
    IntervalDialog dialog(settings);
    std::vector<bool> stopped;
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        stopped.push_back(Application::Shared().ModalSessionStopped());
        user.Type("intervalEdit", "-5");
        user.Click("OK");  // refused: the session goes on
        stopped.push_back(Application::Shared().ModalSessionStopped());
        user.Click("Cancel");
        stopped.push_back(Application::Shared().ModalSessionStopped());
    });
    EXPECT_EQ(dialog.ShowDialog(), 0);
    EXPECT_EQ(stopped, (std::vector<bool>{false, false, true}));
    EXPECT_FALSE(Application::Shared().ModalSessionStopped());
}

TEST(ModalDialog, CancelAndTheCloseBoxLeaveTheSettingsAlone)
{
    IntervalSettings settings;
    IntervalDialog dialog(settings);
    UserDriver::AnswerNextModal([](UserDriver& user) {
        user.Type("intervalEdit", "5");
        user.Press(Key::kEscape);
    });
    EXPECT_EQ(dialog.ShowDialog(), 0);
    UserDriver::AnswerNextModal([](UserDriver& user) { user.GetWindow().Close(); });
    EXPECT_EQ(dialog.ShowDialog(), 0);
    EXPECT_EQ(dialog.commits, 0);
    EXPECT_DOUBLE_EQ(settings.interval, 30);
}

TEST(ModalDialog, HelpOpensTheDialogsTopic)
{
    IntervalSettings settings;
    IntervalDialog dialog(settings);
    Application::Shared().ClearShown();
    UserDriver::AnswerNextModal([](UserDriver& user) {
        user.Click("?");
        user.Click("Cancel");
    });
    dialog.ShowDialog();
    EXPECT_EQ(Application::Shared().HelpTopicsShown(), std::vector<std::string>{"spiro_minuteventcalc"});
    EXPECT_EQ(Application::Shared().ModalTitles(), std::vector<std::string>{"Minute Ventilation"});
}

TEST(ModalDialog, EveryHelperShowsItsStateAndOneWithoutErrorProviderUsesAnAlert)
{
    IntervalSettings settings;
    IntervalDialog dialog(settings);
    AlertPresenter::Shared().ClearShown();
    std::string intervalError;
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        user.Type("intervalEdit", "-1");
        user.Type("factorEdit", "abc");
        user.Click("OK");
        intervalError = user.ToolTip("intervalErrorProvider");
        EXPECT_EQ(user.GetWindow().FirstResponder(), &user.Find("intervalEdit"));  // the first invalid field
        EXPECT_TRUE(AlertPresenter::Shared().Shown().empty());
        user.Type("intervalEdit", "5");
        user.Click("OK");  // now the factor is the first invalid one, and it has no error provider
        EXPECT_EQ(user.GetWindow().FirstResponder(), &user.Find("factorEdit"));
        user.Click("Cancel");
    });
    EXPECT_EQ(dialog.ShowDialog(), 0);
    EXPECT_EQ(intervalError, "Please enter a number from 0 to 10000.");
    ASSERT_EQ(AlertPresenter::Shared().Shown().size(), 1u);
    EXPECT_EQ(AlertPresenter::Shared().Shown()[0].messageText, "Please enter a number.");
}

TEST(ModalDialog, TheNumberHelperKeepsFieldSliderAndStepperInStep)
{
    IntervalSettings settings;
    IntervalDialog dialog(settings);
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        user.Type("factorEdit", "2.5");
        EXPECT_DOUBLE_EQ(user.DoubleValue("factorSlider"), 2.5);
        EXPECT_DOUBLE_EQ(user.DoubleValue("factorStepper"), 2.5);
        Stepper& stepper = user.Find<Stepper>("factorStepper");
        user.Click(stepper, {8, 2});  // the upper half: one increment up
        EXPECT_EQ(user.StringValue("factorEdit"), "3");
        // Slider 120 wide: its knob's centre runs from 5 to 115.
        user.Drag(user.Find("factorSlider"), {5, 10}, {60, 10});
        EXPECT_EQ(user.StringValue("factorEdit"), "5");
        user.Type("factorEdit", "20");  // out of range: the delegate hears nothing
        user.Click("Cancel");
    });
    dialog.ShowDialog();
    // "2", "2." and "2.5" typed; the stepper; the slider's press, four drag steps and release;
    // "2" on the way to "20".
    EXPECT_EQ(dialog.told.size(), 3u + 1 + 6 + 1);
    EXPECT_EQ(dialog.told.front(), "factor");
}

TEST(ModalDialog, OnlyModalPanelTimersFireWhileTheDialogRuns)
{
    RunLoop& loop = RunLoop::Main();
    loop.UseVirtualClock(true);
    std::vector<std::string> fired;
    const int plain = loop.AddTimer(0.1, false, [&] { fired.push_back("default"); });
    const int panel = loop.AddTimer(0.1, false, [&] { fired.push_back("modal"); }, RunLoop::kModalPanelMode);
    IntervalSettings settings;
    IntervalDialog dialog(settings);
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        EXPECT_EQ(loop.Mode(), RunLoop::kModalPanelMode);
        loop.Advance(0.5);
        user.Click("Cancel");
    });
    dialog.ShowDialog();
    EXPECT_EQ(fired, std::vector<std::string>{"modal"});
    EXPECT_EQ(loop.Mode(), RunLoop::kDefaultMode);
    loop.Advance(0);
    EXPECT_EQ(fired.back(), "default");
    loop.RemoveTimer(plain);
    loop.RemoveTimer(panel);
    loop.UseVirtualClock(false);
}

TEST(ModalDialog, NobodyToAnswerDismissesTheDialog)
{
    IntervalSettings settings;
    IntervalDialog dialog(settings);
    ASSERT_EQ(Application::Shared().ScriptedAnswersLeft(), 0u);
    EXPECT_EQ(dialog.ShowDialog(), 0);
    EXPECT_EQ(dialog.commits, 0);
}

TEST(ModalDialogDeathTest, AnAnswerThatLeavesTheDialogOpenStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    IntervalSettings settings;
    IntervalDialog dialog(settings);
    EXPECT_DEATH(
        {
            UserDriver::AnswerNextModal([](UserDriver& user) { user.Type("intervalEdit", "1"); });
            dialog.ShowDialog();
        },
        "the user left the modal window \"Minute Ventilation\" open");
}

TEST(UserDriver, NamesTheControlItCannotUse)
{
    IntervalSettings settings;
    IntervalDialog dialog(settings);
    UserDriver user(dialog.GetWindow());
    struct Case {
        std::function<void()> act;
        const char* message;
    } cases[] = {
        {[&] { user.Click("Print"); }, "window \"Minute Ventilation\": \"Print\" names no control"},
        {[&] { user.Choose("srcList", "Temperature"); }, "\"srcList\" has no item \"Temperature\""},
        {[&] { user.Type("srcList", "x"); }, "\"srcList\" is no editable text field"},
        {[&] { user.DoubleValue("expirationCheck"); }, "\"expirationCheck\" shows no number"},
    };
    for (const Case& c : cases) {
        try {
            c.act();
            ADD_FAILURE() << c.message;
        } catch (const UserDriverError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
    dialog.srcList->SetEnabled(false);
    EXPECT_THROW(user.Choose("srcList", "Flow"), UserDriverError);
}

TEST(ModalDialog, ASheetIsAnsweredLikeADialog)
{
    Window parent(Rect{0, 0, 400, 300}, "Report");
    IntervalSettings settings;
    IntervalDialog dialog(settings);
    int answered = -5;
    UserDriver::AnswerNextModal([](UserDriver& user) { user.Click("OK"); });
    Application::Shared().BeginSheet(dialog.GetWindow(), parent, [&](int code) { answered = code; });
    EXPECT_EQ(answered, Application::kModalResponseOK);
    EXPECT_EQ(dialog.commits, 1);
}

}  // namespace
