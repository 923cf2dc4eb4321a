// The menu wrapper and the message boxes, over the appkit stand-in.
#include <gtest/gtest.h>

#include "appkit/Alert.h"
#include "foundation/cocoa/MessageBox.h"
#include "foundation/cocoa/TMenu.h"

namespace {

struct Target : AppKit::Responder {
    bool RespondsTo(const std::string&) const override { return true; }
    bool Perform(const std::string&, void*) override { return true; }
};

TEST(TMenu, AppendsSeparatorsItemsAndSubmenusAtTheEnd)
{
    TMenu menu(std::make_shared<AppKit::Menu>("context"));
    for (int i = 0; i < 5; ++i)
        menu.AppendMenu(0, i, L"item");
    EXPECT_TRUE(menu.InsertMenu(3, 0, 100, L"Copy", ""));
    ASSERT_EQ(menu.GetMenuItemCount(), 6);
    EXPECT_EQ(menu.Menu().ItemAt(5).Tag(), 100);  // appended, whatever the position

    menu.AppendMenu(TMenu::kSeparator, 0, nullptr);
    EXPECT_TRUE(menu.Menu().ItemAt(6).IsSeparator());
    menu.AppendMenu(TMenu::kSeparator | TMenu::kChecked, 7, L"ignored");  // the separator wins
    EXPECT_TRUE(menu.Menu().ItemAt(7).IsSeparator());
    EXPECT_TRUE(menu.AppendMenu(0, 9, nullptr));  // no text: nothing appended
    EXPECT_EQ(menu.GetMenuItemCount(), 8);
    menu.AppendMenu(TMenu::kChecked, 11, L"Flow \u00b5L");
    EXPECT_TRUE(menu.Menu().ItemAt(8).IsOn());
    EXPECT_EQ(menu.Menu().ItemAt(8).Title(), "Flow \xc2\xb5L");
    EXPECT_TRUE(menu.DeleteMenu(0, 0));
    EXPECT_FALSE(menu.DeleteMenu(50, 0));
    EXPECT_EQ(menu.GetMenuItemCount(), 8);
}

TEST(TMenu, SubmenuItemsInheritTheTargetAndActionOfTheirParentItem)
{
    Target target;
    TMenu top(std::make_shared<AppKit::Menu>("top"));
    TMenu sub(std::make_shared<AppKit::Menu>("sub"));
    top.AppendMenu(0, 1, L"Parent");
    AppKit::MenuItem& parent = top.Menu().ItemAt(0);
    parent.SetTarget(&target);
    parent.SetAction("menuCommand:");
    top.AppendMenu(TMenu::kSubmenu, sub.Handle(), L"More");
    AppKit::MenuItem& more = top.Menu().ItemAt(1);
    ASSERT_EQ(more.Submenu().get(), &sub.Menu());
    sub.AppendMenu(0, 42, L"Zoom");
    // "Zoom" hangs under "More", which has no target of its own.
    EXPECT_EQ(sub.Menu().ItemAt(0).Target(), nullptr);
    more.SetTarget(&target);
    more.SetAction("menuCommand:");
    sub.AppendMenu(0, 43, L"Pan");
    EXPECT_EQ(sub.Menu().ItemAt(1).Target(), &target);
    EXPECT_EQ(sub.Menu().ItemAt(1).Action(), "menuCommand:");
    EXPECT_EQ(sub.Menu().ItemAt(1).Tag(), 43);
}

// The scripted user presses each button in turn; the result codes are those of the box.
TEST(MessageBox, EachButtonAnswersItsResult)
{
    struct Case {
        unsigned flags;
        const char* button;
        int result;
    } cases[] = {
        {KVD::kMbOk, "OK", KVD::kIdOk},
        {0, "OK", KVD::kIdOk},
        {0x22, "Ignore", KVD::kIdIgnore},  // bit 2 wins over bit 32
        {KVD::kMbAbortRetryIgnore, "Abort", KVD::kIdAbort},
        {KVD::kMbAbortRetryIgnore, "Retry", KVD::kIdRetry},
        {KVD::kMbCancelTryContinue, "Cancel", KVD::kIdCancel},
        {KVD::kMbCancelTryContinue, "Try Again", KVD::kIdTryAgain},
        {KVD::kMbCancelTryContinue, "Continue", KVD::kIdContinue},
        {KVD::kMbOkCancel, "Cancel", KVD::kIdCancel},
        {KVD::kMbRetryCancel, "Retry", KVD::kIdRetry},
        {KVD::kMbYesNo, "No", KVD::kIdNo},
        {KVD::kMbYesNoCancel, "Yes", KVD::kIdYes},
        {KVD::kMbYesNoCancel, "Cancel", KVD::kIdCancel},
        {0x100, "OK", KVD::kIdOk},  // only bits above 64: the panel's own single button
    };
    AppKit::AlertPresenter& presenter = AppKit::AlertPresenter::Shared();
    for (const Case& c : cases) {
        presenter.ClearShown();
        presenter.Script({c.button});
        EXPECT_EQ(KVD::CAFMessageBox(HWND{}, L"Save the report?", L"caption", c.flags), c.result)
            << c.flags << " " << c.button;
        ASSERT_EQ(presenter.Shown().size(), 1u);
        EXPECT_EQ(presenter.Shown()[0].messageText, "Save the report?");
        EXPECT_TRUE(presenter.Shown()[0].informativeText.empty());
    }
    presenter.ClearShown();
    presenter.Script({"No"});
    KVD::CAFMessageBox(HWND{}, L"?", nullptr, KVD::kMbYesNoCancel);
    EXPECT_EQ(presenter.Shown()[0].Buttons(), (std::vector<std::string>{"Yes", "No", "Cancel"}));
}

TEST(StandardDialog, CarriesItsTextsAndSeverity)
{
    KVD::StandardDialog dialog(L"Export failed", L"The disk is full.");
    dialog.SetSeverity(KVD::StandardDialog::kCritical);
    AppKit::AlertPresenter::Shared().ClearShown();
    EXPECT_EQ(dialog.RunDialog(), AppKit::Alert::kFirstButton);
    const AppKit::Alert& shown = AppKit::AlertPresenter::Shared().Shown().at(0);
    EXPECT_EQ(shown.messageText, "Export failed");
    EXPECT_EQ(shown.informativeText, "The disk is full.");
    EXPECT_EQ(shown.style, AppKit::Alert::Style::Critical);
}

}  // namespace

#include "appkit/Pasteboard.h"
#include "foundation/cocoa/CocoaUtilities.h"

namespace {

TEST(CopyToPasteboard, PutsThePdfOfTheViewAndTheTextBesideIt)
{
    AppKit::View view(AppKit::Rect{0, 0, 120, 80});
    AppKit::Pasteboard& pb = AppKit::Pasteboard::General();
    pb.Write(AppKit::Pasteboard::kTextType, "stale");
    CopyToPasteboard(&view, nullptr);
    EXPECT_EQ(pb.Read(AppKit::Pasteboard::kPdfType).substr(0, 5), "%PDF-");
    EXPECT_NE(pb.Read(AppKit::Pasteboard::kPdfType).find("/MediaBox [ 0 0 120 80 ]"), std::string::npos);
    EXPECT_FALSE(pb.Has(AppKit::Pasteboard::kTextType));  // cleared, and no text given

    const KVD::String text(L"V_T 0.5 L");
    CopyToPasteboard(&view, &text);
    EXPECT_EQ(pb.Read(AppKit::Pasteboard::kTextType), "V_T 0.5 L");

    CopyToPasteboard(nullptr, nullptr);  // a null view copies an empty page
    EXPECT_EQ(pb.Read(AppKit::Pasteboard::kPdfType).substr(0, 5), "%PDF-");
}

TEST(ControlCategories, DisabledLabelsTakeTheDisabledTextColour)
{
    AppKit::Label label;
    KVD::SetTextLabelEnabled(label, false);
    EXPECT_FALSE(label.IsEnabled());
    EXPECT_EQ(label.TextColor().red, AppKit::Label::kDisabledControlTextColor.red);
    KVD::SetTextLabelEnabled(label, true);
    EXPECT_EQ(label.TextColor().red, AppKit::Label::kControlTextColor.red);

    AppKit::Scroller scroller;
    KVD::SetPositionAndKnobProportion(scroller, 0.25f, 0.5f);
    EXPECT_DOUBLE_EQ(scroller.Value(), 0.25);
    EXPECT_DOUBLE_EQ(scroller.KnobProportion(), 0.5);
}

}  // namespace
