// Every calculation dialog as the user sees it: no control lies over another or outside the
// window, every label, title and menu item fits its control, and every reason a status line
// may give fits it; a selection over two records gives its reason in both calibrations.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DialogDocument.h"
#include "SettingsDialogHost.h"
#include "SpiroDocumentHost.h"
#include "appkit/Matrix.h"
#include "appkit/TextField.h"
#include "appkit/UserDriver.h"
#include "host/commands/MenuModel.h"
#include "host/loader/ClassRegistration.h"
#include "graphics/Text.h"
#include "spirometry/SpFlowSettings.h"
#include "spirometry/SpMinVentSettings.h"
#include "spirometry/SpTidalVolSettings.h"
#include "spirometry/SpVolSettings.h"
#include "spirometry/SpiroDialogs.h"
#include "spirometry/SpiroText.h"
#include "views/dialogs/CalcDialogs.h"

using namespace Spirometry;
using AppKit::Button;
using AppKit::Rect;
using AppKit::UserDriver;
using AppKit::View;
using DialogTest::DialogDocument;

namespace {

// As the controls draw their texts: 12 points, 4 points in from the left.
constexpr double kFontSize = 12;
constexpr double kInset = 4;

double TextWidth(const std::string& text) { return Gfx::MeasureText(text, kFontSize).width + kInset; }

bool Overlap(const Rect& a, const Rect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// The room a control gives its text, and the texts it may show.
void ExpectTextsFit(const View& view, const std::string& where)
{
    const double width = view.Frame().width;
    if (auto* popUp = dynamic_cast<const AppKit::PopUpButton*>(&view)) {
        for (const std::string& item : popUp->Items())
            EXPECT_LE(TextWidth(item + "  \u25BE"), width) << where << ": item \"" << item << "\"";
    } else if (auto* button = dynamic_cast<const Button*>(&view)) {
        const bool boxed = button->GetType() == Button::Type::Switch || button->GetType() == Button::Type::Radio;
        const double room = boxed ? width - std::min(14.0, view.Frame().height) - 2 : width;
        if (button->Image().Name().empty()) {
            EXPECT_LE(TextWidth(button->Title()) - (boxed ? 0 : kInset), room)
                << where << ": \"" << button->Title() << "\"";
        }
    } else if (auto* label = dynamic_cast<const AppKit::Label*>(&view)) {
        EXPECT_LE(TextWidth(label->Text()), width) << where << ": \"" << label->Text() << "\"";
    } else if (auto* field = dynamic_cast<const AppKit::TextField*>(&view)) {
        EXPECT_LE(TextWidth(field->StringValue()), width) << where << ": \"" << field->StringValue() << "\"";
    }
}

void ExpectTidyLayout(UserDriver& user)
{
    const View& content = user.GetWindow().ContentView();
    const std::string title = user.GetWindow().Title();
    std::vector<const View*> shown;
    for (const auto& child : content.Subviews())
        if (!child->IsHidden())
            shown.push_back(child.get());
    for (size_t i = 0; i < shown.size(); ++i) {
        const Rect& f = shown[i]->Frame();
        const std::string where = title + " " + shown[i]->ClassName() + " at " + std::to_string(int(f.x)) + "," +
                                  std::to_string(int(f.y));
        EXPECT_TRUE(f.x >= 0 && f.y >= 0 && f.x + f.width <= content.Frame().width &&
                    f.y + f.height <= content.Frame().height)
            << where << " reaches out of the window";
        for (size_t j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(Overlap(f, shown[j]->Frame()))
                << where << " lies over " << shown[j]->ClassName() << " at " << int(shown[j]->Frame().x) << ","
                << int(shown[j]->Frame().y);
        ExpectTextsFit(*shown[i], where);
        if (auto* matrix = dynamic_cast<const AppKit::Matrix*>(shown[i]))
            for (const Button* cell : matrix->Cells())
                ExpectTextsFit(*cell, where + " cell");
    }
}

// Every reason a calibration may give the user.
const std::vector<std::string>& Reasons()
{
    static const std::vector<std::string> reasons = {
        KVD::ToU8String(CachedText<SpirometryStr::IDS_NO_FLOW_SELECTION>()),
        KVD::ToU8String(CachedText<SpirometryStr::IDS_NO_VOL_SELECTION>()),
        KVD::ToU8String(CachedText<SpirometryStr::IDS_CHANNEL_NOT_SET>()),
        KVD::ToU8String(CachedText<SpirometryStr::IDS_NO_VALID_SELECTION>()),
        KVD::ToU8String(CachedText<SpirometryStr::IDS_RANGE_WARNING_1>()),
        KVD::ToU8String(CachedText<SpirometryStr::IDS_RANGE_WARNING_2>()),
        KVD::ToU8String(CachedText<SpirometryStr::IDS_CALIBRATION_NO_RESULT>()),
        KVD::ToU8String(CachedText<SpirometryStr::IDS_NO_FLOW_IN_SELECTION>()),
    };
    return reasons;
}

void ExpectReasonsFit(UserDriver& user, const std::string& statusField)
{
    const double width = user.Find(statusField).Frame().width;
    for (const std::string& reason : Reasons())
        EXPECT_LE(TextWidth(reason), width) << statusField << ": \"" << reason << "\"";
}

class DialogLayout : public ::testing::Test {
protected:
    DialogLayout() : doc(DialogTest::Breathing(2, 1.0, 1.0)) { doc.SelectTicks(0, 401); }
    // Opens a dialog, looks at it, and cancels it.
    void Look(const std::function<int()>& show, const std::function<void(UserDriver&)>& look = {})
    {
        UserDriver::AnswerNextModal([&](UserDriver& user) {
            ExpectTidyLayout(user);
            if (look)
                look(user);
            user.Click("Cancel");
        });
        EXPECT_EQ(show(), kDialogCancelled);
    }

    DialogDocument doc;
    CalcDialogs dialogs;
};

TEST_F(DialogLayout, FlowAndCalibration)
{
    SpFlowSettings flow;
    flow.mRawFlowChannel = DialogDocument::kRaw;
    flow.SetCalculationChannel(DialogDocument::kFlow);
    // The longest formula: the head with its non-linear compensation.
    flow.SetFlowHead(2, 0.0);
    flow.mNonLinearCompensation = true;
    Look([&] { return dialogs.ShowSpFlowCalcDialog(HWND{}, DialogDocument::kFlow, doc.Auto(), &flow, doc.Names()); });
    Look([&] { return dialogs.ShowSpFlowCalibrateDialog(HWND{}, doc.Auto(), &doc.doc.Data(), &flow); },
         [](UserDriver& user) { ExpectReasonsFit(user, "calStatus"); });
}

TEST_F(DialogLayout, VolumeTidalVolumeAndMinuteVentilation)
{
    SpVolSettings volume;
    volume.mFlowChannel = DialogDocument::kFlow;
    volume.SetCalculationChannel(DialogDocument::kVolume);
    volume.mApplyCorrection = true;
    Look([&] {
        return dialogs.ShowSpVolumeCalcDialog(HWND{}, DialogDocument::kVolume, doc.Auto(), &volume, doc.Names());
    },
         [](UserDriver& user) { ExpectReasonsFit(user, "correctionStatus"); });
    SpTidalVolSettings tidal;
    Look([&] { return dialogs.ShowSpTidalVolumeCalcDialog(HWND{}, 3, doc.Auto(), &tidal, doc.Names()); });
    SpMinVentSettings minVent;
    Look([&] { return dialogs.ShowSpMinVentCalcDialog(HWND{}, 3, doc.Auto(), &minVent, doc.Names()); });
}

// A selection over two records: both calibrations say why they cannot be done.
TEST(DialogReasons, ASelectionOverTwoRecordsIsRefusedByBothCalibrations)
{
    auto recording = DialogTest::Breathing(1, 1.0, 1.0);
    Host::RecordBlock second = recording->Record(0);
    recording->AddRecord(std::move(second));
    DialogDocument doc(recording);
    doc.doc.Select(KVDPosition{100, 0}, KVDPosition{100, 1});
    CalcDialogs dialogs;
    const std::string reason = KVD::ToU8String(CachedText<SpirometryStr::IDS_RANGE_WARNING_1>());

    SpFlowSettings flow;
    flow.mRawFlowChannel = DialogDocument::kRaw;
    flow.SetCalculationChannel(DialogDocument::kFlow);
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        EXPECT_EQ(user.StringValue("calStatus"), reason);
        EXPECT_FALSE(user.IsEnabled("injectedVolume"));
        user.Click("Cancel");
    });
    EXPECT_EQ(dialogs.ShowSpFlowCalibrateDialog(HWND{}, doc.Auto(), &doc.doc.Data(), &flow), kDialogCancelled);

    SpVolSettings volume;
    volume.mFlowChannel = DialogDocument::kFlow;
    volume.SetCalculationChannel(DialogDocument::kVolume);
    volume.mApplyCorrection = true;
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        EXPECT_EQ(user.StringValue("correctionStatus"), reason);
        EXPECT_EQ(user.StringValue("calcCorrectionEdit"), "");
        EXPECT_FALSE(user.IsEnabled("applyButton"));
        user.Click("Cancel");
    });
    EXPECT_EQ(dialogs.ShowSpVolumeCalcDialog(HWND{}, DialogDocument::kVolume, doc.Auto(), &volume, doc.Names()),
              kDialogCancelled);
}

class SettingsDialogLayout : public DialogTest::SettingsDialogHost {};

TEST_F(SettingsDialogLayout, InEveryFlowUnit)
{
    UserDriver::AnswerNextModal([](UserDriver& user) {
        for (const char* unit : {"L/s", "mL/s", "\u00b5L/s"}) {
            user.Choose("flowUnitList", unit);
            ExpectTidyLayout(user);
        }
        // The threshold says what it is a multiple of.
        EXPECT_EQ(user.Find<AppKit::Label>("\u00d7 average breath volume").Frame().y,
                  user.Find("forcedEdit").Frame().y);
        user.Click("Cancel");
    });
    EXPECT_EQ(Host::MenuModel::Instance().Invoke("Spirometry|Settings"), KVD_S_OK);
}

}  // namespace
