// Pasteboard, alerts answered by a scripted user, menus, and layouts bound to their owner.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "appkit/Alert.h"
#include "appkit/Layout.h"
#include "appkit/Menu.h"
#include "appkit/Pasteboard.h"

namespace {

using namespace AppKit;

TEST(Pasteboard, HoldsTypedItemsUntilCleared)
{
    Pasteboard& pb = Pasteboard::General();
    const int before = pb.ChangeCount();
    EXPECT_EQ(pb.Clear(), before + 1);
    pb.Write(Pasteboard::kPdfType, std::string("%PDF-1.5\0x", 10));
    pb.Write(Pasteboard::kTextType, "breaths");
    EXPECT_EQ(pb.Read(Pasteboard::kPdfType).size(), 10u);
    EXPECT_EQ(pb.Types().size(), 2u);
    const std::string path = ::testing::TempDir() + "pasteboard.pdf";
    ASSERT_TRUE(pb.SaveTo(Pasteboard::kPdfType, path));
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), std::string("%PDF-1.5\0x", 10));
    pb.Clear();
    EXPECT_FALSE(pb.Has(Pasteboard::kTextType));
    EXPECT_FALSE(pb.SaveTo(Pasteboard::kTextType, path));
}

TEST(Alerts, TheScriptedUserChoosesEachButton)
{
    AlertPresenter& presenter = AlertPresenter::Shared();
    presenter.ClearShown();
    Alert alert;
    alert.messageText = "Save changes?";
    alert.AddButton("Yes");
    alert.AddButton("No");
    alert.AddButton("Cancel");
    presenter.Script({"No", "Cancel", "Yes"});
    EXPECT_EQ(alert.RunModal(), Alert::kFirstButton + 1);
    EXPECT_EQ(alert.RunModal(), Alert::kFirstButton + 2);
    EXPECT_EQ(alert.RunModal(), Alert::kFirstButton);
    presenter.SetResponder([](const Alert& a) { return a.Buttons().size() - 1; });
    EXPECT_EQ(alert.RunModal(), Alert::kFirstButton + 2);
    presenter.SetResponder(nullptr);
    Alert bare;
    EXPECT_EQ(bare.RunModal(), Alert::kFirstButton);
    ASSERT_EQ(presenter.Shown().size(), 5u);
    EXPECT_EQ(presenter.Shown()[0].messageText, "Save changes?");
    EXPECT_EQ(presenter.Shown()[4].Buttons(), std::vector<std::string>{"OK"});
}

TEST(AlertsDeathTest, AScriptedAnswerThatNamesNoButtonStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Alert alert;
    alert.messageText = "Replace the file?";
    alert.AddButton("Replace");
    alert.AddButton("Cancel");
    EXPECT_DEATH(
        {
            AlertPresenter::Shared().Script({"Keep"});
            alert.RunModal();
        },
        "scripted answer \"Keep\" is no button of the alert \"Replace the file.\" .\"Replace\", \"Cancel\".");
}

// A target that records the actions it receives.
struct Recorder : LayoutOwner {
    std::vector<std::string> performed;
    std::map<std::string, View*> outlets;
    std::vector<std::string> known{"printButton", "status", "breaths"};
    std::vector<std::string> required;
    bool RespondsTo(const std::string& s) const override { return s == "print:" || s == "copy:"; }
    bool Perform(const std::string& s, void*) override { performed.push_back(s); return true; }
    bool SetOutlet(const std::string& name, View* view) override
    {
        if (std::find(known.begin(), known.end(), name) == known.end())
            return false;
        outlets[name] = view;
        return true;
    }
    std::vector<std::string> RequiredOutlets() const override { return required; }
};

TEST(Menus, ItemsFoundByPathSendTheirActions)
{
    Recorder target;
    Menu bar("bar");
    auto spiro = std::make_shared<Menu>("Spirometry");
    MenuItem& top = bar.Add(std::make_unique<MenuItem>("Spirometry", "", ""));
    top.SetSubmenu(spiro);
    MenuItem& data = spiro->Add(std::make_unique<MenuItem>("Data View", "print:", "d"));
    data.SetTarget(&target);
    data.SetTag(100);
    spiro->Add(MenuItem::Separator());
    MenuItem& other = spiro->Add(std::make_unique<MenuItem>("Report View", "report:", ""));
    other.SetTarget(&target);

    EXPECT_EQ(bar.FindPath("Spirometry|Data View"), &data);
    EXPECT_EQ(bar.FindPath("Spirometry|Nothing"), nullptr);
    EXPECT_EQ(data.ParentItem(), &top);
    EXPECT_TRUE(data.Invoke());
    EXPECT_FALSE(other.Invoke());  // the target does not answer report:
    EXPECT_EQ(target.performed, std::vector<std::string>{"print:"});
    EXPECT_TRUE(spiro->ItemAt(1).IsSeparator());
    spiro->RemoveAt(1);
    EXPECT_EQ(spiro->ItemCount(), 2u);
}

std::string WriteLayout(const std::string& name, const std::string& xml)
{
    const std::string path = LayoutPath(::testing::TempDir(), name);
    std::ofstream(path) << xml;
    return path;
}

TEST(Layouts, LoadControlsBindOutletsAndActions)
{
    const auto path = WriteLayout("Good", R"xml(<window title="Report" x="5" y="6" width="640" height="480">
  <button outlet="printButton" title="Print" action="print:" frame="10 440 80 24" tag="7"/>
  <label outlet="status" text="Ready" frame="100 440 300 24" enabled="false"/>
  <view id="box" frame="0 0 620 420">
    <table outlet="breaths" frame="10 10 600 400">
      <column id="index" title="#" width="40"/>
      <column id="vt" title="V_T (L)"/>
    </table>
  </view>
</window>)xml");
    Recorder owner;
    owner.required = {"printButton"};
    auto window = LoadLayout(path, owner);
    EXPECT_EQ(window->Title(), "Report");
    EXPECT_EQ(window->Frame(), (Rect{5, 6, 640, 480}));
    auto* button = dynamic_cast<Button*>(owner.outlets.at("printButton"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->Title(), "Print");
    EXPECT_EQ(button->Tag(), 7);
    EXPECT_TRUE(button->PerformClick());
    EXPECT_EQ(owner.performed, std::vector<std::string>{"print:"});
    auto* label = dynamic_cast<Label*>(owner.outlets.at("status"));
    EXPECT_FALSE(label->IsEnabled());
    auto* table = dynamic_cast<TableView*>(owner.outlets.at("breaths"));
    ASSERT_EQ(table->Columns().size(), 2u);
    EXPECT_EQ(table->Columns()[1].title, "V_T (L)");
    EXPECT_EQ(table->Superview(), window->ContentView().FindView("box"));
    EXPECT_EQ(table->GetWindow(), window.get());
}

TEST(Layouts, BadLayoutsAreLoadErrorsNamingTheFault)
{
    struct Case {
        const char* xml;
        const char* expected;
    } cases[] = {
        {"<window><button outlet=\"nope\"/></window>", "<button>: unknown outlet \"nope\""},
        {"<window><button action=\"explode:\"/></window>", "<button>: the owner does not answer the action \"explode:\""},
        {"<window><dial/></window>", "unknown element <dial>"},
        {"<window><view><item title=\"x\"/></view></window>", "<item> outside its <popup>"},
        {"<window><slider max=\"1,5\"/></window>", "<slider>: max \"1,5\" is not a number"},
        {"<window><button type=\"toggle\"/></window>", "<button>: unknown type \"toggle\""},
        {"<window><textfield editable=\"yes\"/></window>", "<textfield>: editable \"yes\" is neither true nor false"},
        {"<window><textfield nextKeyView=\"ghost\"/></window>", "nextKeyView \"ghost\" names no view"},
        {"<window><scroll><view/><view/></scroll></window>", "<scroll> holds one document view"},
        {"<window><label frame=\"1 2 three 4\"/></window>", "frame \"1 2 three 4\""},
        {"<window><button", "line"},
        {"<panel/>", "exactly one <window>"},
        {"<window/>", "missing outlet \"printButton\""},
    };
    int n = 0;
    for (const Case& c : cases) {
        const auto path = WriteLayout("Bad" + std::to_string(n++), c.xml);
        Recorder owner;
        owner.required = {"printButton"};
        try {
            LoadLayout(path, owner);
            ADD_FAILURE() << "loaded " << c.xml;
        } catch (const LayoutError& e) {
            const std::string what = e.what();
            EXPECT_NE(what.find(path), std::string::npos) << what;
            EXPECT_NE(what.find(c.expected), std::string::npos) << what;
        }
    }
}

}  // namespace
