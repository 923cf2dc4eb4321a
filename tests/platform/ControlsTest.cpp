// Controls loaded from a layout and driven by events: text fields with their number
// formatter, sliders, steppers, radio matrices, split, scroll and tab views, images, and the
// autoresizing of views when their window changes size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <filesystem>
#include <fstream>
#include <map>

#include "appkit/Cursor.h"
#include "appkit/Menu.h"
#include "appkit/ImageView.h"
#include "appkit/Layout.h"
#include "appkit/Matrix.h"
#include "appkit/NotificationCenter.h"
#include "appkit/ScrollView.h"
#include "appkit/Slider.h"
#include "appkit/SplitView.h"
#include "appkit/TabView.h"
#include "appkit/TextField.h"
#include "appkit/UserDriver.h"
#include "cf/Locale.h"
#include "graphics/RecordingContext.h"

namespace {

using namespace AppKit;

TEST(NumberFormatter, WritesDecimalsWithoutGroupingRoundingHalfToEven)
{
    NumberFormatter f;
    f.SetMaximumFractionDigits(4);
    f.SetDecimalSeparator(".");
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {1.23456, "1.2346"}, {2.5, "2.5"}, {1234567.0, "1234567"}, {0.00005, "0.0001"},  // 0.00005 is a hair above
        {0.125, "0.125"}, {-0.00001, "0"}, {10000, "10000"}, {0.1, "0.1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(f.StringFromNumber(c.value), c.text) << c.value;
    f.SetMaximumFractionDigits(2);
    EXPECT_EQ(f.StringFromNumber(0.125), "0.12");  // exactly half: to even
    EXPECT_EQ(f.StringFromNumber(0.375), "0.38");
    f.SetDecimalSeparator(",");
    EXPECT_EQ(f.StringFromNumber(1.5), "1,5");
}

TEST(NumberFormatter, ReadsOnlyDecimalNumbers)
{
    NumberFormatter f;
    f.SetDecimalSeparator(",");
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"1,5", true, 1.5}, {" -2 ", true, -2}, {"1e3", true, 1000}, {"1.5", false, 0}, {"1.000,5", false, 0},
        {"", false, 0},     {"abc", false, 0},  {"0x10", false, 0},  {"inf", false, 0}, {"nan", false, 0},
        {"1,2,3", false, 0}, {"-", false, 0},
    };
    for (const Case& c : cases) {
        double value = 0;
        EXPECT_EQ(f.NumberFromString(c.text, &value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        }
    }
}

// Every finite double written out in full is read; a longer text is no number, so that a field
// read on every key does not cost the whole text each time.
TEST(NumberFormatter, ReadsEveryDoubleInFullButNoLongerText)
{
    NumberFormatter f;
    f.SetDecimalSeparator(".");
    char text[1200];
    const std::pair<double, int> doubles[] = {{-std::numeric_limits<double>::denorm_min(), 1074},
                                              {-std::numeric_limits<double>::max(), 0}};
    for (const auto& [expected, decimals] : doubles) {
        std::snprintf(text, sizeof text, "%.*f", decimals, expected);
        double value = 0;
        EXPECT_TRUE(f.NumberFromString(text, &value)) << std::strlen(text) << " characters";
        EXPECT_EQ(value, expected);
    }
    const std::string seven = std::string(NumberFormatter::kLongestNumber - 1, ' ') + "7";
    double value = 0;
    EXPECT_TRUE(f.NumberFromString(seven, &value));
    EXPECT_EQ(value, 7);
    EXPECT_FALSE(f.NumberFromString(" " + seven, &value));
    EXPECT_FALSE(f.NumberFromString(std::string(65536, '1'), &value));
}

TEST(NumberFormatter, FollowsTheCurrentLocaleUnlessSet)
{
    CF::LocaleFacts facts;
    facts.decimalSeparator = ",";
    CF::SetCurrentLocaleFacts(facts);
    NumberFormatter f;
    EXPECT_EQ(f.StringFromNumber(0.25), "0,25");
    CF::ResetCurrentLocaleFacts();
}

struct Owner : LayoutOwner {
    std::map<std::string, View*> outlets;
    std::vector<std::string> actions;
    bool RespondsTo(const std::string& s) const override { return s.back() == ':'; }
    bool Perform(const std::string& s, void*) override { return actions.push_back(s), true; }
    bool SetOutlet(const std::string& name, View* view) override { return outlets[name] = view, true; }
    template <class T>
    T& Get(const std::string& name)
    {
        auto* view = dynamic_cast<T*>(outlets.at(name));
        if (view == nullptr)
            throw std::runtime_error(name + " has another class");
        return *view;
    }
};

constexpr const char* kControls = R"xml(<window title="Controls" width="400" height="300">
  <textfield outlet="field" text="1.5" frame="10 10 100 22" nextKeyView="other"/>
  <textfield outlet="other" frame="120 10 100 22" nextKeyView="field"/>
  <slider outlet="slider" min="0" max="10" value="2.5" action="slid:" frame="10 40 110 20"/>
  <stepper outlet="stepper" min="0" max="1" increment="0.25" value="0.5" action="stepped:" frame="130 40 20 24"/>
  <matrix outlet="mode" action="modeChanged:" frame="10 70 200 40">
    <cell outlet="normal" title="Normal" tag="0" state="on" frame="0 0 100 18"/>
    <cell outlet="full" title="Full" tag="1" frame="0 20 100 18"/>
  </matrix>
  <button outlet="check" type="check" title="Drift" state="on" frame="220 70 100 18"/>
  <button outlet="source" type="onoff" title="Source" frame="220 90 60 18"/>
  <split outlet="split" vertical="true" autoresizing="18" frame="10 120 380 100">
    <view outlet="left" frame="0 0 100 100"/>
    <view outlet="right" frame="0 0 100 100"/>
  </split>
  <scroll outlet="scroll" frame="10 230 100 60">
    <view outlet="document" frame="0 0 85 600"/>
  </scroll>
  <tabs outlet="tabs" frame="120 230 200 60">
    <tab id="general" label="General"><label outlet="inTab" text="Hi" frame="0 0 50 20"/></tab>
    <tab id="advanced" label="Advanced"/>
  </tabs>
  <image outlet="picture" name="NoSuchImage" frame="330 230 20 20"/>
  <button outlet="pinned" title="Help" autoresizing="9" frame="300 260 80 24"/>
</window>)xml";

class Controls : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string path = LayoutPath(::testing::TempDir(), "Controls");
        std::ofstream(path) << kControls;
        window = LoadLayout(path, owner);
    }
    void Send(EventType type, const Gfx::Point& p, View* in = nullptr)
    {
        Event e;
        e.type = type;
        e.clickCount = 1;
        e.locationInWindow = in ? in->ConvertPointToWindow(p) : p;
        window->SendEvent(e);
    }
    void Click(View& view, const Gfx::Point& p)
    {
        Send(EventType::MouseDown, p, &view);
        Send(EventType::MouseUp, p, &view);
    }
    void Key(const std::string& chars, unsigned flags = 0)
    {
        Event e;
        e.type = EventType::KeyDown;
        e.characters = chars;
        e.modifierFlags = flags;
        window->SendEvent(e);
    }
    Owner owner;
    std::unique_ptr<Window> window;
};

TEST_F(Controls, ATextFieldIsEditedThroughTheFieldEditor)
{
    auto& field = owner.Get<TextField>("field");
    auto formatter = std::make_shared<NumberFormatter>();
    formatter->SetDecimalSeparator(".");
    formatter->SetMaximumFractionDigits(4);
    field.SetFormatter(formatter);
    field.SetAction("edited:");
    field.SetTarget(&owner);
    std::vector<std::string> heard;
    ObserverToken token(NotificationCenter::Default().AddObserver("", &field, [&](const Notification& n) { heard.push_back(n.name); }));
    EXPECT_DOUBLE_EQ(field.DoubleValue(), 1.5);
    Click(field, {5, 5});  // takes the keys
    EXPECT_EQ(window->FirstResponder(), &field);
    Key("a", kCommandKeyMask);
    for (const char* c : {"2", ".", "0", "3", "1", "2", "5", "6"})
        Key(c);
    Key(Key::kBackspace);
    EXPECT_EQ(field.StringValue(), "2.03125");
    Key(Key::kTab);  // leaves: reformatted, action sent, the next key view takes over
    EXPECT_EQ(field.StringValue(), "2.0312");  // exactly half at the fourth digit: to even
    EXPECT_EQ(window->FirstResponder(), &owner.Get<TextField>("other"));
    EXPECT_EQ(owner.actions, std::vector<std::string>{"edited:"});
    ASSERT_EQ(heard.size(), 11u);
    EXPECT_EQ(heard.front(), TextField::kTextDidBeginEditing);
    EXPECT_EQ(heard[1], TextField::kTextDidChange);
    EXPECT_EQ(heard.back(), TextField::kTextDidEndEditing);
    // Leaving without a change sends nothing; a text that is no number stays as typed.
    Key(Key::kTab);
    Key("x");
    Key(Key::kReturn);
    EXPECT_EQ(field.StringValue(), "x");
    EXPECT_FALSE(field.HoldsNumber());
    EXPECT_EQ(field.DoubleValue(), 0);
    EXPECT_EQ(owner.actions.size(), 2u);
}

TEST_F(Controls, SlidersSteppersAndMatricesChangeTheirValues)
{
    auto& slider = owner.Get<Slider>("slider");
    EXPECT_DOUBLE_EQ(slider.DoubleValue(), 2.5);
    // The knob's centre spans 5..105 of the 110 wide track.
    Send(EventType::MouseDown, {5, 10}, &slider);
    Send(EventType::MouseDragged, {55, 10}, &slider);
    EXPECT_DOUBLE_EQ(slider.DoubleValue(), 5);
    Send(EventType::MouseDragged, {500, 10}, &slider);  // captured, kept in range
    Send(EventType::MouseUp, {500, 10}, &slider);
    EXPECT_DOUBLE_EQ(slider.DoubleValue(), 10);

    auto& stepper = owner.Get<Stepper>("stepper");
    Click(stepper, {5, 2});
    Click(stepper, {5, 2});
    Click(stepper, {5, 2});  // at the maximum already
    EXPECT_DOUBLE_EQ(stepper.DoubleValue(), 1);
    Click(stepper, {5, 20});
    EXPECT_DOUBLE_EQ(stepper.DoubleValue(), 0.75);

    auto& mode = owner.Get<Matrix>("mode");
    EXPECT_EQ(mode.SelectedTag(), 0);
    Click(owner.Get<Button>("full"), {5, 5});
    EXPECT_EQ(mode.SelectedTag(), 1);
    EXPECT_EQ(owner.Get<Button>("normal").GetState(), Button::kOff);
    owner.Get<Button>("normal").SetEnabled(false);
    Click(owner.Get<Button>("normal"), {5, 5});
    EXPECT_EQ(mode.SelectedCell(), &owner.Get<Button>("full"));

    auto& check = owner.Get<Button>("check");
    Click(check, {5, 5});
    auto& source = owner.Get<Button>("source");
    Click(source, {5, 5});
    EXPECT_EQ(check.GetState(), Button::kOff);
    EXPECT_EQ(source.GetState(), Button::kOn);
    EXPECT_EQ(owner.actions, (std::vector<std::string>{"slid:", "slid:", "slid:", "slid:", "stepped:", "stepped:",
                                                       "stepped:", "stepped:", "modeChanged:"}));
}

TEST_F(Controls, ASplitViewsDividerFollowsTheDragWithinItsDelegatesLimits)
{
    auto& split = owner.Get<SplitView>("split");
    View& left = owner.Get<View>("left");
    View& right = owner.Get<View>("right");
    // 380 wide less a 6 point divider, shared equally.
    EXPECT_DOUBLE_EQ(left.Frame().width, 187);
    EXPECT_DOUBLE_EQ(right.Frame().x, 193);
    SplitView::Delegate limits;
    limits.constrainMin = [](SplitView&, double, size_t) { return 50.0; };
    limits.constrainMax = [](SplitView&, double, size_t) { return 300.0; };
    limits.canCollapse = [&](SplitView&, View& pane) { return &pane == &right; };
    split.SetDelegate(limits);
    Send(EventType::MouseDown, {190, 50}, &split);
    Send(EventType::MouseDragged, {103, 50}, &split);
    EXPECT_DOUBLE_EQ(left.Frame().width, 100);
    EXPECT_DOUBLE_EQ(right.Frame().x, 106);
    EXPECT_DOUBLE_EQ(right.Frame().width, 274);
    Send(EventType::MouseDragged, {10, 50}, &split);  // the left pane may not collapse
    EXPECT_DOUBLE_EQ(left.Frame().width, 50);
    EXPECT_FALSE(split.IsSubviewCollapsed(left));
    Send(EventType::MouseDragged, {370, 50}, &split);  // past half the way beyond the limit
    Send(EventType::MouseUp, {370, 50}, &split);
    EXPECT_TRUE(split.IsSubviewCollapsed(right));
    EXPECT_DOUBLE_EQ(left.Frame().width, 374);
}

TEST_F(Controls, AWindowResizeMovesAndStretchesViewsByTheirMasks)
{
    auto& split = owner.Get<SplitView>("split");
    View& pinned = owner.Get<View>("pinned");
    const Rect before = owner.Get<View>("right").Frame();
    window->SetFrame({0, 0, 500, 400});
    // Width and height sizable (18): the split view takes all of the change.
    EXPECT_DOUBLE_EQ(split.Frame().width, 480);
    EXPECT_DOUBLE_EQ(split.Frame().height, 200);
    // Its last pane takes the split view's change.
    EXPECT_DOUBLE_EQ(owner.Get<View>("right").Frame().width, before.width + 100);
    EXPECT_DOUBLE_EQ(owner.Get<View>("left").Frame().width, 187);
    // Left and top margins flexible (9): the button keeps its distance to the right and bottom.
    EXPECT_DOUBLE_EQ(pinned.Frame().x, 400);
    EXPECT_DOUBLE_EQ(pinned.Frame().y, 360);
    EXPECT_DOUBLE_EQ(pinned.Frame().width, 80);
    // Not sizable (0): nothing moves.
    EXPECT_DOUBLE_EQ(owner.Get<View>("slider").Frame().x, 10);
}

TEST_F(Controls, AScrollViewFollowsTheWheelAndItsScroller)
{
    auto& scroll = owner.Get<ScrollView>("scroll");
    Scroller& bar = scroll.VerticalScroller();
    EXPECT_DOUBLE_EQ(bar.KnobProportion(), 60.0 / 600);
    Event wheel;
    wheel.type = EventType::ScrollWheel;
    wheel.deltaY = -3;  // down three lines
    wheel.locationInWindow = scroll.ConvertPointToWindow({20, 20});
    window->SendEvent(wheel);
    EXPECT_DOUBLE_EQ(scroll.ScrollOrigin().y, 30);
    EXPECT_DOUBLE_EQ(bar.Value(), 30.0 / 540);
    Send(EventType::MouseDown, {5, 45}, &bar);  // below the knob, above the arrow: a page down
    Send(EventType::MouseUp, {5, 45}, &bar);
    EXPECT_EQ(bar.HitPart(), Scroller::Part::IncrementPage);
    EXPECT_DOUBLE_EQ(scroll.ScrollOrigin().y, 90);
    scroll.ScrollToPoint({0, 10000});
    EXPECT_DOUBLE_EQ(scroll.ScrollOrigin().y, 540);
    EXPECT_DOUBLE_EQ(bar.Value(), 1);
}

TEST_F(Controls, ATabViewShowsTheChosenTabOnly)
{
    auto& tabs = owner.Get<TabView>("tabs");
    EXPECT_EQ(tabs.IndexOfSelectedTab(), 0);
    EXPECT_FALSE(owner.Get<View>("inTab").IsHiddenOrHasHiddenAncestor());
    int told = 0;
    ObserverToken token(NotificationCenter::Default().AddObserver(TabView::kDidSelectTab, &tabs, [&](const Notification&) { ++told; }));
    const Rect second = tabs.TabRect(1);
    Click(tabs, {second.x + 5, 5});
    EXPECT_EQ(tabs.IndexOfSelectedTab(), 1);
    EXPECT_TRUE(owner.Get<View>("inTab").IsHiddenOrHasHiddenAncestor());
    EXPECT_TRUE(tabs.SelectTabWithIdentifier("general"));
    EXPECT_EQ(told, 2);
}

TEST_F(Controls, AMissingImageShowsAPlaceholder)
{
    auto& picture = owner.Get<ImageView>("picture");
    EXPECT_TRUE(picture.GetImage().IsPlaceholder());
    EXPECT_EQ(picture.GetImage().Name(), "NoSuchImage");
    EXPECT_DOUBLE_EQ(picture.GetImage().Size().width, 16);
    EXPECT_TRUE(window->RenderToPng(::testing::TempDir() + "controls.png", true));  // for a person to look at
}

TEST(NotificationCentre, ObserversHearTheirNameAndObject)
{
    NotificationCenter& centre = NotificationCenter::Default();
    int a = 0, b = 0;
    std::vector<std::string> any;
    const int x = 1, y = 2;
    ObserverToken ta(centre.AddObserver("Zoom", &x, [&](const Notification&) { ++a; }));
    ObserverToken tb(centre.AddObserver("Zoom", nullptr, [&](const Notification&) { ++b; }));
    ObserverToken tc(centre.AddObserver("", &y, [&](const Notification& n) { any.push_back(n.name); }));
    centre.Post("Zoom", &x);
    centre.Post("Zoom", &y);
    centre.Post("Scroll", &y);
    centre.Post("Scroll", &x);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(any, (std::vector<std::string>{"Zoom", "Scroll"}));
    const size_t before = centre.ObserverCount();
    tb.Reset();
    EXPECT_EQ(centre.ObserverCount(), before - 1);
}

TEST(NamedImages, ComeFromTheBundlesPngFiles)
{
    // A bundle folder with one 4 x 2 image in a subfolder of its resources.
    const std::string bundle = ::testing::TempDir() + "ImageTest.bundle";
    std::filesystem::create_directories(bundle + "/Resources/images");
    Gfx::Image pixels(4, 2);
    pixels.SetPixel(0, 0, 0xFFFF0000);
    ASSERT_TRUE(pixels.WritePNG(bundle + "/Resources/images/Marker.png"));
    NamedImage::AddSearchFolder(bundle);
    for (const char* name : {"Marker", "Marker.png"}) {
        const NamedImage image = NamedImage::Find(name);
        ASSERT_FALSE(image.IsPlaceholder()) << name;
        EXPECT_DOUBLE_EQ(image.Size().width, 4);
        EXPECT_EQ(image.Image()->Pixel(0, 0), 0xFFFF0000u);
    }
    const Cursor cursor = Cursor::Named("Marker");
    ASSERT_NE(cursor.Image(), nullptr);
    EXPECT_FALSE(cursor.Image()->IsPlaceholder());
    EXPECT_DOUBLE_EQ(cursor.HotSpot().x, 2);
    EXPECT_EQ(Cursor::Crosshair().Image(), nullptr);  // the system's own
    // A button shows its image; a missing one shows the crossed box.
    Button button(Rect{0, 0, 23, 23});
    button.SetImage(NamedImage::Find("Marker"));
    Gfx::RecordingContext c({23, 23});
    button.DrawSelf(c);
    const auto drew = [&](const std::string& what) {
        return std::any_of(c.Calls().begin(), c.Calls().end(), [&](const std::string& call) { return call.rfind(what, 0) == 0; });
    };
    EXPECT_TRUE(drew("DrawImage(4x2"));
    c.ClearCalls();
    button.SetImage(NamedImage::Find("ViewTraceOverlay_16x16"));
    button.DrawSelf(c);
    EXPECT_FALSE(drew("DrawImage"));
    EXPECT_TRUE(drew("StrokeRect"));
}

TEST(PopUpButton, APullDownShowsItsTitleAndHandsOutItsChoice)
{
    Owner owner;
    PopUpButton pullDown(Rect{0, 0, 80, 20});
    pullDown.SetPullsDown(true);
    pullDown.SetTitle("2k:1");
    EXPECT_EQ(pullDown.IndexOfSelectedItem(), -1);  // nothing chosen yet
    pullDown.AddItem("1:1", 1133);
    pullDown.AddItem("2:1", 1134);
    pullDown.SetTarget(&owner);
    pullDown.SetAction("ratio:");
    EXPECT_TRUE(pullDown.PickItemAt(1));
    EXPECT_EQ(pullDown.SelectedTag(), 1134);
    EXPECT_EQ(pullDown.Title(), "2k:1");  // the title stays what the program set
    pullDown.RemoveAllItems();
    EXPECT_EQ(pullDown.SelectedTag(), -1);
    EXPECT_EQ(pullDown.ItemCount(), 0u);
    // Filled by its owner each time it shows, with the shown title on top.
    Window window(Rect{0, 0, 100, 40});
    auto& shown = static_cast<PopUpButton&>(window.ContentView().AddSubview(std::make_unique<PopUpButton>(Rect{0, 0, 80, 20})));
    shown.SetPullsDown(true);
    shown.SetTitle("2k:1");
    shown.ItemMenu()->SetNeedsUpdate([&](Menu& menu) {
        while (menu.ItemCount() > 0)
            menu.RemoveAt(0);
        menu.Add(std::make_unique<MenuItem>(shown.Title(), "", ""));
        menu.Add(std::make_unique<MenuItem>("5:1", "", "")).SetTag(1135);
    });
    UserDriver user(window);
    user.Choose("2k:1", "5:1");
    user.Choose("2k:1", "5:1");  // filled anew, not doubled
    EXPECT_EQ(shown.ItemCount(), 2u);
    EXPECT_EQ(shown.SelectedTag(), 1135);
}

}  // namespace
