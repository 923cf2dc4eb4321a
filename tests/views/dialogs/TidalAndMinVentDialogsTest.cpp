// The tidal-volume and minute-ventilation dialogs: nothing is written before the user
// confirms, and then every field is, with the formula the calculation runs.
#include <gtest/gtest.h>

#include <fstream>

#include "DialogDocument.h"
#include "FrameworkIds.h"
#include "appkit/Application.h"
#include "appkit/Layout.h"
#include "appkit/UserDriver.h"
#include "foundation/DynamicId.h"
#include "spirometry/SpMinVentSettings.h"
#include "spirometry/SpTidalVolSettings.h"
#include "support/TempFolder.h"
#include "views/dialogs/CalcDialogs.h"
#include "views/dialogs/SpTidalVolumeCalcDialog.h"

using namespace Spirometry;
using AppKit::Application;
using AppKit::UserDriver;
using DialogTest::DialogDocument;

namespace {

class SmallDialogs : public ::testing::Test {
protected:
    SmallDialogs() : doc(DialogTest::Breathing(2, 1.0, 1.0))
    {
        tidal.mFormula = L"$Src1";
        Application::Shared().ClearShown();
    }
    int ShowTidal() { return dialogs.ShowSpTidalVolumeCalcDialog(HWND{}, 3, doc.Auto(), &tidal, doc.Names()); }
    int ShowMinVent() { return dialogs.ShowSpMinVentCalcDialog(HWND{}, 3, doc.Auto(), &minVent, doc.Names()); }

    DialogDocument doc;
    SpTidalVolSettings tidal;
    SpMinVentSettings minVent;
    CalcDialogs dialogs;
};

TEST_F(SmallDialogs, CancellingLeavesTheRecordsAndTheFormulaAlone)
{
    const SpiroTest::ByteVector tidalBefore = DialogTest::Stored(tidal);
    const SpiroTest::ByteVector minVentBefore = DialogTest::Stored(minVent);
    UserDriver::AnswerNextModal([](UserDriver& user) {
        user.Choose("srcList", "Flow");
        user.Click("expirationCheck");
        user.Click("Cancel");
    });
    UserDriver::AnswerNextModal([](UserDriver& user) {
        user.Choose("srcList", "Flow");
        user.Type("intervalEdit", "30");
        user.Click("Cancel");
    });
    EXPECT_EQ(ShowTidal(), kDialogCancelled);
    EXPECT_EQ(ShowMinVent(), kDialogCancelled);
    EXPECT_EQ(DialogTest::Stored(tidal), tidalBefore);
    EXPECT_EQ(DialogTest::Stored(minVent), minVentBefore);
}

TEST_F(SmallDialogs, TidalVolumeCommitRebuildsTheFormula)
{
    UserDriver::AnswerNextModal([](UserDriver& user) {
        EXPECT_EQ(user.SelectedTag("srcList"), -1);  // no source yet
        user.Choose("srcList", "Flow");
        EXPECT_TRUE(user.Snapshot(DialogTest::PicturePath("SpTidalVolumeCalcDialog")));
        user.Click("?");
        user.Click("OK");
    });
    EXPECT_EQ(ShowTidal(), kDialogAccepted);
    EXPECT_EQ(tidal.mSourceChannel, DialogDocument::kFlow);
    EXPECT_FALSE(tidal.mExpiratoryOnly);
    EXPECT_EQ(tidal.mFormula, KVD::String(L"EventInterp(SpTidalVolume(Ch2,1),0)"));

    // Expirations only: the flag is taken, and the breaths are cut by the document's cycle
    // detection; a document without it leaves the formula as it was.
    UserDriver::AnswerNextModal([](UserDriver& user) {
        EXPECT_EQ(user.SelectedTitle("srcList"), "Flow");
        user.Choose("srcList", "Raw");
        user.Click("expirationCheck");
        user.Click("OK");
    });
    EXPECT_EQ(ShowTidal(), kDialogAccepted);
    EXPECT_EQ(tidal.mSourceChannel, DialogDocument::kRaw);
    EXPECT_TRUE(tidal.mExpiratoryOnly);
    EXPECT_EQ(tidal.mFormula, KVD::String(L"Eventinterp(SpTidVolExp(Ch1,CycleStarts(Ch1,0,0.5,0.5,8,0)))"));
    EXPECT_EQ(Application::Shared().HelpTopicsShown(), std::vector<std::string>{"spiro_tidalvolcalc"});

    doc.doc.Document().SetChildObject(TypeIdClass<&CMDocumentGUID, 0>::GetId(), nullptr);
    UserDriver::AnswerNextModal([](UserDriver& user) {
        user.Choose("srcList", "Flow");
        user.Click("OK");
    });
    EXPECT_EQ(ShowTidal(), kDialogAccepted);
    EXPECT_EQ(tidal.mSourceChannel, DialogDocument::kFlow);
    EXPECT_EQ(tidal.mFormula, KVD::String(L"Eventinterp(SpTidVolExp(Ch1,CycleStarts(Ch1,0,0.5,0.5,8,0)))"));
}

TEST_F(SmallDialogs, MinuteVentilationIntervalIsValidatedThenWritten)
{
    std::vector<std::string> refusals;
    UserDriver::AnswerNextModal([&](UserDriver& user) {
        EXPECT_EQ(user.StringValue("intervalEdit"), "60");
        // An interval of no length would leave the channel without a value: refused as well.
        for (const char* text : {"10000.5", "-1", "0", "x"}) {
            user.Type("intervalEdit", text);
            user.Click("OK");
            EXPECT_FALSE(Application::Shared().ModalSessionStopped()) << text;
            refusals.push_back(user.ToolTip("intervalErrorProvider"));
        }
        user.Choose("srcList", "Flow");
        user.Type("intervalEdit", "12.345678");
        EXPECT_TRUE(user.Snapshot(DialogTest::PicturePath("SpMinVentCalcDialog")));
        user.Click("?");
        user.Click("OK");
    });
    EXPECT_EQ(ShowMinVent(), kDialogAccepted);
    EXPECT_EQ(refusals, (std::vector<std::string>{"Please enter a number from 0.0001 to 10000.",
                                                  "Please enter a number from 0.0001 to 10000.",
                                                  "Please enter a number from 0.0001 to 10000.",
                                                  "Please enter a number."}));
    EXPECT_EQ(minVent.mSourceChannel, DialogDocument::kFlow);
    EXPECT_DOUBLE_EQ(minVent.mInterval, 12.3457);  // four fraction digits once the edit ended
    EXPECT_EQ(minVent.GetArithString(), KVD::String(L"-60.0 * decimatesec(Ch2*(1-threshold(Ch2,0)),12.3457)"));
    EXPECT_EQ(Application::Shared().HelpTopicsShown(), std::vector<std::string>{"spiro_minuteventcalc"});
}

TEST_F(SmallDialogs, ALayoutMustBindEveryOutlet)
{
    TestSupport::TempFolder folder;
    const std::string path = (folder.Path() / "SpTidalVolumeCalcDialog.xml").string();
    std::ofstream(path) << "<window title=\"Tidal\"><popup outlet=\"srcList\"/></window>";
    SpTidalVolumeCalcDialog dialog(&tidal, doc.Auto(), 3, doc.Names());
    try {
        AppKit::LoadLayout(path, dialog);
        ADD_FAILURE() << "a layout without the expiration check was taken";
    } catch (const AppKit::LayoutError& e) {
        EXPECT_NE(std::string(e.what()).find("missing outlet \"expirationCheck\""), std::string::npos) << e.what();
    }
}

}  // namespace
