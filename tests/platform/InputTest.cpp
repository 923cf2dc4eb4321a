// Input through the widget model: hit testing in flipped and unflipped views, the mouse
// captured from down to up, tracking areas, the key-view loop, key equivalents, cursors and
// menus answered by the scripted user.
#include <gtest/gtest.h>

#include "appkit/Alert.h"
#include "appkit/Cursor.h"
#include "appkit/Menu.h"
#include "appkit/UserDriver.h"
#include "appkit/Window.h"

namespace {

using namespace AppKit;

// Logs what reaches it, with the location in its own coordinates.
class Probe : public View {
public:
    Probe(Rect frame, std::string name, std::vector<std::string>& log, bool flipped = true, bool keys = false)
        : View(frame), mName(std::move(name)), mLog(log), mFlipped(flipped), mKeys(keys)
    {
    }
    bool IsFlipped() const override { return mFlipped; }
    bool AcceptsFirstResponder() const override { return mKeys; }
    void MouseDown(const Event& e) override { Log("down", e); }
    void MouseDragged(const Event& e) override { Log("drag", e); }
    void MouseUp(const Event& e) override { Log("up", e); }
    void MouseMoved(const Event& e) override { Log("moved", e); }
    void MouseEntered(const Event& e) override { Log("entered", e); }
    void MouseExited(const Event& e) override { Log("exited", e); }
    // Keys it does not take go on, as they should.
    void KeyDown(const Event& e) override
    {
        if (e.characters == Key::kTab)
            View::KeyDown(e);
        else
            mLog.push_back(mName + " key " + e.characters);
    }

private:
    void Log(const std::string& what, const Event& e)
    {
        const Gfx::Point p = ConvertPointFromWindow(e.locationInWindow);
        mLog.push_back(mName + " " + what + " " + std::to_string(int(p.x)) + "," + std::to_string(int(p.y)));
    }
    std::string mName;
    std::vector<std::string>& mLog;
    bool mFlipped;
    bool mKeys;
};

Event Mouse(EventType type, double x, double y, int clicks = 1)
{
    Event e;
    e.type = type;
    e.locationInWindow = {x, y};
    e.clickCount = clicks;
    return e;
}

Event KeyEvent(const std::string& characters, unsigned flags = 0)
{
    Event e;
    e.type = EventType::KeyDown;
    e.characters = characters;
    e.modifierFlags = flags;
    return e;
}

TEST(Input, HitTestingFollowsFlippedAndUnflippedFrames)
{
    std::vector<std::string> log;
    Window window(Rect{0, 0, 200, 200});
    // An unflipped box places its children from its bottom edge.
    View& box = window.ContentView().AddSubview(std::make_unique<Probe>(Rect{20, 20, 100, 100}, "box", log, false));
    View& low = box.AddSubview(std::make_unique<Probe>(Rect{10, 10, 30, 20}, "low", log));
    View& high = box.AddSubview(std::make_unique<Probe>(Rect{10, 70, 30, 20}, "high", log));
    struct Case {
        double x, y;
        View* hit;
    } cases[] = {
        {35, 105, &low},   // 10 up from the box's bottom (120): window y 90..110
        {35, 45, &high},   // 70 up: window y 30..50
        {35, 70, &box},
        {150, 150, &window.ContentView()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(window.ContentView().HitTest({c.x, c.y}), c.hit) << c.x << "," << c.y;
    // Points convert both ways; an unflipped view counts y from its bottom.
    const Gfx::Point inBox = box.ConvertPointFromWindow({30, 110});
    EXPECT_DOUBLE_EQ(inBox.x, 10);
    EXPECT_DOUBLE_EQ(inBox.y, 10);
    const Gfx::Point back = low.ConvertPointToWindow({0, 0});
    EXPECT_DOUBLE_EQ(back.x, 30);
    EXPECT_DOUBLE_EQ(back.y, 90);
    high.SetHidden(true);
    EXPECT_EQ(window.ContentView().HitTest({35, 45}), &box);
}

TEST(Input, TheMouseStaysWithTheViewItWentDownIn)
{
    std::vector<std::string> log;
    Window window(Rect{0, 0, 200, 100});
    window.ContentView().AddSubview(std::make_unique<Probe>(Rect{0, 0, 100, 100}, "left", log));
    window.ContentView().AddSubview(std::make_unique<Probe>(Rect{100, 0, 100, 100}, "right", log));
    window.SendEvent(Mouse(EventType::MouseDown, 50, 50));
    window.SendEvent(Mouse(EventType::MouseDragged, 150, 60));
    window.SendEvent(Mouse(EventType::MouseUp, 160, 70));
    window.SendEvent(Mouse(EventType::MouseDown, 160, 70));
    EXPECT_EQ(log, (std::vector<std::string>{"left down 50,50", "left drag 150,60", "left up 160,70",
                                             "right down 60,70"}));
    EXPECT_NE(window.MouseCaptor(), nullptr);
    window.SendEvent(Mouse(EventType::MouseUp, 160, 70));
    EXPECT_EQ(window.MouseCaptor(), nullptr);
}

TEST(Input, TrackingAreasHearOfEnteringMovingAndLeaving)
{
    std::vector<std::string> log;
    Window window(Rect{0, 0, 200, 100});
    auto& pane = window.ContentView().AddSubview(std::make_unique<Probe>(Rect{50, 0, 100, 100}, "pane", log));
    const int id = pane.AddTrackingArea(
        {{10, 10, 50, 50}, TrackingArea::kMouseEnteredAndExited | TrackingArea::kMouseMoved | TrackingArea::kActiveInActiveApp});
    window.SendEvent(Mouse(EventType::MouseMoved, 55, 20));  // in the pane, outside the area
    window.SendEvent(Mouse(EventType::MouseMoved, 70, 20));
    window.SendEvent(Mouse(EventType::MouseMoved, 80, 30));
    window.SendEvent(Mouse(EventType::MouseMoved, 140, 30));
    EXPECT_EQ(log, (std::vector<std::string>{"pane entered 20,20", "pane moved 20,20", "pane moved 30,30",
                                             "pane exited 90,30"}));
    log.clear();
    window.SendEvent(Mouse(EventType::MouseMoved, 70, 20));
    pane.RemoveTrackingArea(id);
    window.SendEvent(Mouse(EventType::MouseMoved, 140, 30));
    EXPECT_EQ(log, (std::vector<std::string>{"pane entered 20,20", "pane moved 20,20"}));
}

TEST(Input, TabFollowsTheKeyViewLoopAndSkipsHiddenViews)
{
    std::vector<std::string> log;
    Window window(Rect{0, 0, 300, 100});
    View& content = window.ContentView();
    View& a = content.AddSubview(std::make_unique<Probe>(Rect{0, 0, 50, 20}, "a", log, true, true));
    View& b = content.AddSubview(std::make_unique<Probe>(Rect{60, 0, 50, 20}, "b", log, true, true));
    View& c = content.AddSubview(std::make_unique<Probe>(Rect{120, 0, 50, 20}, "c", log, true, true));
    content.AddSubview(std::make_unique<Probe>(Rect{180, 0, 50, 20}, "label", log));  // takes no keys
    EXPECT_EQ(window.KeyViewLoop(), (std::vector<View*>{&a, &b, &c}));
    window.SendEvent(KeyEvent(Key::kTab));
    EXPECT_EQ(window.FirstResponder(), &a);
    window.SendEvent(KeyEvent(Key::kTab));
    EXPECT_EQ(window.FirstResponder(), &b);
    window.SendEvent(KeyEvent("x"));
    window.SendEvent(KeyEvent(Key::kTab, kShiftKeyMask));
    EXPECT_EQ(window.FirstResponder(), &a);
    // Links set by hand win over the order of the views: a, c, b.
    a.SetNextKeyView(&c);
    c.SetNextKeyView(&b);
    b.SetNextKeyView(&a);
    EXPECT_EQ(window.KeyViewLoop(), (std::vector<View*>{&a, &c, &b}));
    c.SetHidden(true);
    window.SendEvent(KeyEvent(Key::kTab));
    EXPECT_EQ(window.FirstResponder(), &b);
    EXPECT_EQ(log, std::vector<std::string>{"b key x"});
    // A click makes a view that takes keys the first responder.
    window.SendEvent(Mouse(EventType::MouseDown, 10, 10));
    EXPECT_EQ(window.FirstResponder(), &a);
}

struct Target : Responder {
    std::vector<std::string> performed;
    bool RespondsTo(const std::string&) const override { return true; }
    bool Perform(const std::string& s, void* sender) override
    {
        performed.push_back(s + (sender ? "" : " (no sender)"));
        return true;
    }
};

TEST(Input, ReturnAndEscapeClickTheButtonsThatHaveThem)
{
    Target target;
    Window window(Rect{0, 0, 200, 50});
    auto ok = std::make_unique<Button>(Rect{0, 0, 80, 24});
    ok->SetKeyEquivalent(Key::kReturn);
    ok->SetTarget(&target);
    ok->SetAction("ok:");
    Button& okButton = static_cast<Button&>(window.ContentView().AddSubview(std::move(ok)));
    auto cancel = std::make_unique<Button>(Rect{100, 0, 80, 24});
    cancel->SetKeyEquivalent(Key::kEscape);
    cancel->SetTarget(&target);
    cancel->SetAction("cancel:");
    window.ContentView().AddSubview(std::move(cancel));
    window.SendEvent(KeyEvent(Key::kReturn));
    window.SendEvent(KeyEvent(Key::kEscape));
    okButton.SetEnabled(false);
    window.SendEvent(KeyEvent(Key::kReturn));
    EXPECT_EQ(target.performed, (std::vector<std::string>{"ok:", "cancel:"}));
}

TEST(Input, AButtonClicksOnlyWhenReleasedInside)
{
    Target target;
    Window window(Rect{0, 0, 200, 50});
    auto check = std::make_unique<Button>(Rect{0, 0, 80, 24});
    check->SetType(Button::Type::Switch);
    check->SetTarget(&target);
    check->SetAction("toggle:");
    Button& box = static_cast<Button&>(window.ContentView().AddSubview(std::move(check)));
    window.SendEvent(Mouse(EventType::MouseDown, 10, 10));
    window.SendEvent(Mouse(EventType::MouseUp, 10, 10));
    EXPECT_EQ(box.GetState(), Button::kOn);
    window.SendEvent(Mouse(EventType::MouseDown, 10, 10));
    window.SendEvent(Mouse(EventType::MouseUp, 150, 10));  // dragged off: no click
    EXPECT_EQ(box.GetState(), Button::kOn);
    EXPECT_EQ(target.performed, std::vector<std::string>{"toggle:"});
}

TEST(Input, CursorsAreSetPushedAndPopped)
{
    Cursor::Arrow().Set();
    Cursor::Crosshair().Push();
    EXPECT_EQ(Cursor::Current(), Cursor::Crosshair());
    Cursor::Named("ZoomIn").Push();
    EXPECT_EQ(Cursor::Current().Name(), "ZoomIn");
    Cursor::Pop();
    Cursor::Pop();
    EXPECT_EQ(Cursor::Current(), Cursor::Arrow());
    Cursor::Pop();  // nothing pushed: no change
    EXPECT_EQ(Cursor::Current(), Cursor::Arrow());
    EXPECT_EQ(Cursor::StackDepth(), 0u);
    EXPECT_EQ(Cursor::Named("crosshair").HotSpot().x, 8);
}

TEST(Input, PopUpAndContextMenusAreAnsweredByTheScriptedUser)
{
    Target target;
    Window window(Rect{0, 0, 200, 100});
    auto popUp = std::make_unique<PopUpButton>(Rect{0, 0, 120, 22});
    popUp->AddItem("L/s", 8);
    popUp->AddItem("mL/s", 7);
    popUp->AddItem("\u00B5L/s", 6);
    popUp->SetTarget(&target);
    popUp->SetAction("unit:");
    auto& units = static_cast<PopUpButton&>(window.ContentView().AddSubview(std::move(popUp)));
    auto menu = std::make_shared<Menu>();
    auto& copy = menu->Add(std::make_unique<MenuItem>("Copy", "copy:", "c"));
    copy.SetTarget(&target);
    window.ContentView().SetMenu(menu);

    AlertPresenter& user = AlertPresenter::Shared();
    user.ClearShown();
    user.Script({"mL/s", "Copy", ""});
    window.SendEvent(Mouse(EventType::MouseDown, 10, 10));
    window.SendEvent(Mouse(EventType::MouseUp, 10, 10));
    EXPECT_EQ(units.SelectedTag(), 7);
    window.SendEvent(Mouse(EventType::RightMouseDown, 150, 50));
    window.SendEvent(Mouse(EventType::MouseDown, 10, 10));  // dismissed: no change
    EXPECT_EQ(units.SelectedTag(), 7);
    EXPECT_EQ(target.performed, (std::vector<std::string>{"unit:", "copy:"}));
    ASSERT_EQ(user.MenusShown().size(), 3u);
    EXPECT_EQ(user.MenusShown()[0], (std::vector<std::string>{"L/s", "mL/s", "\u00B5L/s"}));
    EXPECT_FALSE(units.SelectItemWithTag(99));
    EXPECT_EQ(units.SelectedTag(), -1);
    EXPECT_EQ(units.IndexOfSelectedItem(), -1);
}

TEST(InputDeathTest, AScriptedMenuChoiceThatNamesNoItemStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Menu menu;
    menu.Add(std::make_unique<MenuItem>("Copy", "copy:", ""));
    EXPECT_DEATH(
        {
            AlertPresenter::Shared().Script({"Paste"});
            AlertPresenter::Shared().ChooseFromMenu(menu);
        },
        "scripted answer \"Paste\" is no item of the menu .\"Copy\".");
}

// Tracks a drag in a loop of its own from the mouse-down, as a marker drag does.
class DragLoop : public View {
public:
    using View::View;
    void MouseDown(const Event& e) override
    {
        log.push_back("down x" + std::to_string(e.clickCount));
        while (auto next = GetWindow()->NextEventMatchingMask(kLeftMouseDraggedMask | kLeftMouseUpMask)) {
            const Gfx::Point p = ConvertPointFromWindow(next->locationInWindow);
            log.push_back((next->type == EventType::MouseUp ? "up " : "drag ") + std::to_string(int(p.x)));
            if (next->type == EventType::MouseUp)
                break;
        }
    }
    void MouseUp(const Event&) override { log.push_back("up outside the loop"); }
    void FlagsChanged(const Event& e) override { log.push_back("flags " + std::to_string(e.modifierFlags)); }
    bool AcceptsFirstResponder() const override { return true; }
    std::vector<std::string> log;
};

TEST(Input, AViewMayTrackADragInALoopOfItsOwn)
{
    Window window(Rect{0, 0, 200, 100});
    auto& view = static_cast<DragLoop&>(window.ContentView().AddSubview(std::make_unique<DragLoop>(Rect{10, 0, 100, 100})));
    UserDriver user(window);
    user.Drag(view, {0, 50}, {90, 50}, 3);
    EXPECT_EQ(view.log, (std::vector<std::string>{"down x1", "drag 30", "drag 60", "drag 90", "up 90"}));
    EXPECT_EQ(window.MouseCaptor(), nullptr);
    view.log.clear();
    user.DoubleClick(view, {5, 5});
    user.ChangeModifiers(kShiftKeyMask | kCommandKeyMask);
    EXPECT_EQ(view.log, (std::vector<std::string>{"down x1", "up 5", "down x2", "up 5",
                                                  "flags " + std::to_string(kShiftKeyMask | kCommandKeyMask)}));
}

// Counts what it hears of its window.
class WindowWatcher : public View {
public:
    using View::View;
    void ViewDidMoveToWindow() override { heard.push_back("window"); }
    void ViewWillStartLiveResize() override { heard.push_back("start " + std::to_string(int(Frame().width))); }
    void ViewDidEndLiveResize() override { heard.push_back("end " + std::to_string(int(Frame().width))); }
    std::vector<std::string> heard;
};

TEST(Input, ViewsHearOfTheirWindowAndOfLiveResizes)
{
    Window window(Rect{0, 0, 200, 100});
    auto detached = std::make_unique<View>(Rect{0, 0, 100, 100});
    auto& watcher = static_cast<WindowWatcher&>(detached->AddSubview(std::make_unique<WindowWatcher>(Rect{0, 0, 50, 50})));
    watcher.SetAutoresizingMask(View::kWidthSizable);
    EXPECT_TRUE(watcher.heard.empty());  // no window yet
    View& holder = window.ContentView().AddSubview(std::move(detached));
    holder.SetAutoresizingMask(View::kWidthSizable);
    window.ResizeByUser({300, 100});
    EXPECT_EQ(watcher.heard, (std::vector<std::string>{"window", "start 50", "end 150"}));
}

}  // namespace
