// A data pane in its view, driven as a user would: scroll-bar clicks and knob drags, the zoom
// control's buttons and ratio menu, the wheel through its buffer, double and Control clicks,
// the cursor, timers by id and the zoom-changed notification.
#include <gtest/gtest.h>

#include "DataPaneFixture.h"
#include "InteractiveRecorder.h"
#include "appkit/Cursor.h"
#include "appkit/Menu.h"
#include "appkit/NotificationCenter.h"
#include "appkit/RunLoop.h"
#include "appkit/UserDriver.h"
#include "appkit/Window.h"
#include "trace/DataPaneView.h"
#include "trace/DataWinPane.h"
#include "trace/ScrollBarMac.h"
#include "trace/ZoomControlMac.h"

using namespace OrrelDraw;

namespace {

class DataPaneViews : public ::testing::Test {
protected:
    DataPaneViews()
        : data(TraceTest::MakeRecording({60000})),
          window(AppKit::Rect{0, 0, 700, 300}),
          view(SPIRO_DataPaneView::Create(window.ContentView())),
          pane(new DataWinPane(&view, nullptr, PaneFlag::kLeftScale, 0, 0, 0))
    {
        AppKit::RunLoop::Main().UseVirtualClock(true);
        pane->SetNumberOfChannelPanes(2);
        view.SetPreviewPane(pane);
        for (int i = 0; i < 2; ++i)
            pane->AddRecordDrawer(i, 0,
                                  KVD::COMPtr<IOrrelRecordDrawer>(new PolyLineTraceDrawer(
                                      0x1000, TChannelId{i, TraceTest::kUnits}, 1, nullptr, kNoChannel, 0, 0x201, 1)),
                                  0);
        pane->SetRecordData(0, data.data, nullptr);
        view.ResetSizeAndPos();
        pane->AddInteractiveObject(new TraceTest::LoggingObject("object", log), 0);
    }
    ~DataPaneViews() override
    {
        view.SetPreviewPane(nullptr);
        pane->OnCleanupWindow();
        AppKit::RunLoop::Main().UseVirtualClock(false);
    }

    ScrollBarMac& Bar() { return *static_cast<ScrollBarMac*>(pane->GetScrollBar()); }
    ZoomControlMac& Zoom() { return *static_cast<ZoomControlMac*>(pane->GetZoomControl()); }
    long Position() { return Bar().GetScrollPos(); }
    void TrackTo(long position)
    {
        Bar().SetScrollPos(position, false);
        pane->OnScrollX(ScrollCode::kTrack);
    }

    TraceTest::TraceData data;
    AppKit::Window window;
    SPIRO_DataPaneView& view;
    KVD::COMPtr<DataWinPane> pane;
    std::vector<std::string> log;
};

TEST_F(DataPaneViews, TheViewSitsRightOfTheScalesAboveTheControls)
{
    const int left = pane->GetMaxScaleWidth(kScaleLeft);
    EXPECT_GT(left, 0);
    EXPECT_EQ(view.Frame().x, left);
    EXPECT_EQ(view.Frame().width, 700 - left);
    // Room under it for the zoom control, 21 high, the tallest of the pane's controls.
    EXPECT_EQ(view.Frame().height, 300 - 21);
    EXPECT_EQ(pane->GetRect().right, 700 - left);
    EXPECT_EQ(pane->GetRect().bottom, 300 - 21 - 2);
    const AppKit::Rect zoom = Zoom().Control().Frame();
    EXPECT_EQ(zoom.width, 92);
    EXPECT_EQ(zoom.x + zoom.width, left + 700 - left - 1);
    EXPECT_EQ(Bar().Scroller().Frame().x + Bar().Scroller().Frame().width, zoom.x);
    // The controls lie whole inside the superview, which would cut them.
    EXPECT_EQ(zoom.y, 300 - 21);
    EXPECT_EQ(zoom.y + zoom.height, 300);
    EXPECT_LE(Bar().Scroller().Frame().y + Bar().Scroller().Frame().height, 300);
}

TEST_F(DataPaneViews, ClicksOnTheScrollBarsArrowsAndTrackMoveByLinesAndPages)
{
    AppKit::UserDriver user(window);
    AppKit::Scroller& scroller = Bar().Scroller();
    const double w = scroller.Frame().width, h = scroller.Frame().height;
    TrackTo(1000);
    const int line = Bar().GetLineMagnitude(), page = Bar().GetPageMagnitude();
    ASSERT_EQ(Position(), 1000);
    user.Click(scroller, {w - 4, h / 2});
    EXPECT_EQ(Position(), 1000 + line);
    user.Click(scroller, {4, h / 2});
    EXPECT_EQ(Position(), 1000);
    user.Click(scroller, {w - AppKit::Scroller::kArrowLength - 2, h / 2});  // the track right of the knob
    EXPECT_EQ(Position(), 1000 + page);
    EXPECT_EQ(pane->GetRightEdgeVPix(), pane->DataWidth() + 1000 + page);
}

TEST_F(DataPaneViews, DraggingTheKnobTracksThePosition)
{
    AppKit::UserDriver user(window);
    AppKit::Scroller& scroller = Bar().Scroller();
    const AppKit::Rect knob = scroller.KnobRect();
    const double y = scroller.Frame().height / 2;
    user.Drag(scroller, {knob.x + knob.width / 2, y}, {knob.x + knob.width / 2 + 100, y});
    EXPECT_GT(Position(), 0);
    EXPECT_EQ(pane->GetRightEdgeVPix(), pane->DataWidth() + Position());
}

TEST_F(DataPaneViews, TheZoomButtonsStepAndPostTheZoomChangedNotification)
{
    int notices = 0;
    const AppKit::ObserverToken token(AppKit::NotificationCenter::Default().AddObserver(
        kZoomChangedNotification, &view, [&](const AppKit::Notification&) { ++notices; }));
    AppKit::UserDriver user(window);
    user.Click("expand");
    EXPECT_EQ(pane->GetTicksPerPix(), TicksPerPix(5, 1));
    EXPECT_EQ(Zoom().Control().DisplayText(), "5:1");
    user.Click("compress");
    user.Click("compress");
    EXPECT_EQ(pane->GetTicksPerPix(), TicksPerPix(20, 1));
    EXPECT_EQ(Zoom().Control().ratio->Title(), "20:1");
    EXPECT_EQ(notices, 3);
    EXPECT_EQ(user.ToolTip("compress"), "Compress horizontal scaling");
    EXPECT_EQ(user.ToolTip("ratio"), "Set horizontal scaling");
    EXPECT_EQ(user.ToolTip("expand"), "Expand horizontal scaling");
}

TEST_F(DataPaneViews, TheRatioMenuListsTheStepsUnderTheCurrentLabelAndZoomsToTheOneChosen)
{
    AppKit::UserDriver user(window);
    user.Choose("ratio", "2k:1");
    EXPECT_EQ(pane->GetTicksPerPix(), TicksPerPix(2000, 1));
    AppKit::Menu& menu = *Zoom().Control().ratio->ItemMenu();
    ASSERT_EQ(menu.ItemCount(), 22u);
    EXPECT_EQ(menu.ItemAt(0).Title(), "10:1");  // the label when the menu opened
    EXPECT_EQ(menu.ItemAt(1).Title(), "x10");
    EXPECT_TRUE(menu.ItemAt(7).IsOn());
    EXPECT_EQ(menu.ItemAt(14).Title(), "2k:1");
    user.Choose("ratio", "x2");
    EXPECT_EQ(pane->GetTicksPerPix(), TicksPerPix(1, 2));
}

TEST_F(DataPaneViews, TheZoomControlsSizeFollowsItsFlags)
{
    struct Case {
        uint32_t flags;
        TSize size;
    } cases[] = {{0, {92, 21}},
                 {kZoomAutoFitButton, {112, 21}},
                 {kZoomAutoFitButton | kZoomScrollToEndButton, {144, 21}},
                 {kControlTall, {92, 24}}};
    for (const Case& c : cases)
        EXPECT_EQ(ZoomControlMac::SizeForFlags(c.flags), c.size) << c.flags;
}

TEST_F(DataPaneViews, WheelStepsGoThroughABufferOfTenthsClearedSoonAfter)
{
    AppKit::UserDriver user(window);
    TrackTo(1000);
    const int line = Bar().GetLineMagnitude();
    // 0.35 upwards: three line steps to the left (the buffer's algorithm), 0.05 kept.
    user.Scroll(view, {200, 100}, 0.35);
    EXPECT_EQ(Position(), 1000 - 3 * line);
    EXPECT_NEAR(view.ScrollWheelBuffer(), 0.05, 1e-9);
    AppKit::RunLoop::Main().Advance(0.05);
    EXPECT_NEAR(view.ScrollWheelBuffer(), 0.05, 1e-9);
    AppKit::RunLoop::Main().Advance(0.06);
    EXPECT_EQ(view.ScrollWheelBuffer(), 0.0);
    user.Scroll(view, {200, 100}, -0.25);
    EXPECT_EQ(Position(), 1000 - line);
}

TEST_F(DataPaneViews, ClicksReachTheInteractiveObjectsAndControlClickIsARightClick)
{
    AppKit::UserDriver user(window);
    user.Click(view, {120, 40});
    user.DoubleClick(view, {130, 50});
    user.Click(view, {140, 60}, 1, AppKit::kControlKeyMask | AppKit::kShiftKeyMask);
    // The double click's first click is a click; its second press goes nowhere, its release is
    // the double click.
    const std::vector<std::string> expected = {"object:down",          "object:up@120,40",      "object:down",
                                               "object:up@130,50",     "object:double@130,50",  "object:rdown17@140,60",
                                               "object:rup@140,60"};
    std::vector<std::string> clicks;
    for (const auto& entry : log)
        if (entry.find("cursor") == std::string::npos && entry.find("move") == std::string::npos)
            clicks.push_back(entry);
    EXPECT_EQ(clicks, expected);
}

TEST_F(DataPaneViews, TheCrosshairShowsOverTheDataWhenNoObjectSetsTheCursor)
{
    AppKit::UserDriver user(window);
    AppKit::Cursor::Arrow().Set();
    user.MoveMouse(view, {200, 100});
    EXPECT_EQ(AppKit::Cursor::Current(), AppKit::Cursor::Crosshair());
}

TEST_F(DataPaneViews, TheDataAreaIsTrackedAndModifierChangesResendTheMouse)
{
    ASSERT_EQ(view.TrackingAreas().size(), 1u);
    const AppKit::TrackingArea& area = view.TrackingAreas()[0];
    EXPECT_EQ(area.rect.x, 1);
    EXPECT_EQ(area.rect.width, pane->GetRect().right - 2);
    EXPECT_EQ(area.options, 0x43u);
    AppKit::UserDriver user(window);
    user.MoveMouse(view, {150, 60});
    window.MakeFirstResponder(&view);
    user.ChangeModifiers(AppKit::kAlternateKeyMask | AppKit::kCommandKeyMask);
    std::vector<std::string> moves;
    for (const auto& entry : log)
        if (entry.find("move") != std::string::npos)
            moves.push_back(entry);
    // Option 128 and Command 256, at the mouse's last place.
    EXPECT_EQ(moves, (std::vector<std::string>{"object:move0@150,60", "object:move384@150,60"}));
}

TEST_F(DataPaneViews, TimersByIdRunOnTheRunLoopAndOneIdKeepsOneTimer)
{
    const size_t before = AppKit::RunLoop::Main().TimerCount();
    pane->SetTimer(7, 100);
    pane->SetTimer(7, 100);
    EXPECT_EQ(pane->TimerCount(), 1u);
    EXPECT_EQ(AppKit::RunLoop::Main().TimerCount(), before + 1);
    AppKit::RunLoop::Main().Advance(0.25);
    EXPECT_EQ(std::count(log.begin(), log.end(), "object:timer7"), 2);
    EXPECT_TRUE(pane->KillTimer(7));
    EXPECT_EQ(AppKit::RunLoop::Main().TimerCount(), before);
}

TEST(ScrollBarMacs, ARangeNoLongerThanItsPageSetsPositionZeroAndTheRangeMaskSetsBothEnds)
{
    AppKit::View parent(AppKit::Rect{0, 0, 300, 40});
    ScrollBarMac bar(nullptr, parent, 0);
    tagSCROLLINFO info;
    info.mask = ScrollMask::kDisableNoScroll | ScrollMask::kPage | ScrollMask::kPosition;
    info.min = 10;
    info.max = 110;
    info.page = 100;
    info.position = 50;
    bar.SetScrollInfo(&info, false);
    EXPECT_EQ(bar.Scroller().Value(), 0.0);
    EXPECT_EQ(bar.Scroller().KnobProportion(), 1.0);
    tagSCROLLINFO out;
    out.mask = ScrollMask::kDisableNoScroll | ScrollMask::kPage | ScrollMask::kPosition | ScrollMask::kTrackPosition;
    bar.GetScrollInfo(&out);
    EXPECT_EQ(out.min, 10);
    EXPECT_EQ(out.max, 110);
    EXPECT_EQ(out.page, 100u);
    EXPECT_EQ(out.position, 10);
    // Every position of a long range reads back as set.
    info.max = 6000;
    info.min = 0;
    info.page = 600;
    for (int position : {0, 1, 100, 2999, 5399, 5400}) {
        info.position = position;
        bar.SetScrollInfo(&info, false);
        EXPECT_EQ(bar.GetScrollPos(), position);
    }
    bar.SetEnabled(false);
    EXPECT_TRUE(bar.Scroller().IsHidden());
}

}  // namespace

namespace {

AppKit::Event MouseEvent(AppKit::EventType type, const AppKit::View& view, Gfx::Point at, unsigned modifiers)
{
    AppKit::Event e;
    e.type = type;
    e.locationInWindow = view.ConvertPointToWindow(at);
    e.modifierFlags = modifiers;
    e.clickCount = 1;
    return e;
}

TEST_F(DataPaneViews, AMarkerDragTakesItsDragsAndReleaseFromTheQueueLeavingOtherEvents)
{
    using AppKit::EventType;
    const unsigned shift = AppKit::kShiftKeyMask;
    // The user's events wait in the queue while the drag loop runs: two drags, a key and the
    // release, then a move after the drag.
    window.PostEvent(MouseEvent(EventType::MouseDragged, view, {110, 40}, shift));
    AppKit::Event key;
    key.type = EventType::KeyDown;
    key.characters = "a";
    window.PostEvent(key);
    window.PostEvent(MouseEvent(EventType::MouseDragged, view, {150.5, 41.4}, shift));
    window.PostEvent(MouseEvent(EventType::MouseUp, view, {160, 42}, 0));
    window.PostEvent(MouseEvent(EventType::MouseMoved, view, {170, 43}, 0));
    view.MarkerDragLoop(MouseEvent(EventType::MouseDown, view, {100, 40}, shift));
    EXPECT_EQ(log, (std::vector<std::string>{"object:down", "object:move16@110,40", "object:move16@151,41",
                                             "object:up@160,42"}));
    // The key and the later move are still there for the window to deliver.
    log.clear();
    EXPECT_FALSE(window.NextEventMatchingMask(AppKit::kLeftMouseDraggedMask | AppKit::kLeftMouseUpMask));
    EXPECT_TRUE(window.NextEventMatchingMask(AppKit::kKeyDownMask));
    EXPECT_TRUE(window.NextEventMatchingMask(AppKit::kMouseMovedMask));
    EXPECT_TRUE(log.empty());
}

}  // namespace

namespace {

TEST_F(DataPaneViews, TheViewAndControlsGoByTheirClassNamesAndActThroughTheirHandlers)
{
    EXPECT_EQ(std::string(view.ClassName()), "SPIRO_DataPaneView");
    EXPECT_EQ(std::string(Zoom().Control().ClassName()), "SPIRO_KVDZoomControl");
    EXPECT_EQ(Bar().Scroller().Target(), &Bar().ActionHandler());
    EXPECT_EQ(Zoom().Control().compress->Target(), &Zoom().ActionHandler());
    EXPECT_EQ(Zoom().Control().ratio->Target(), &Zoom().ActionHandler());
    EXPECT_FALSE(Zoom().ActionHandler().Perform("zoomSideways:", nullptr));
    // The end of a knob drag reaches the pane as a track.
    TrackTo(1000);
    Bar().SetScrollPos(1500, false);
    ASSERT_TRUE(Bar().ActionHandler().RespondsTo("trackingEnded:"));
    ASSERT_TRUE(Bar().ActionHandler().Perform("trackingEnded:", nullptr));
    EXPECT_EQ(pane->GetRightEdgeVPix(), pane->DataWidth() + 1500);
}

TEST_F(DataPaneViews, ATimersUserInfoCarriesItsIdToThePane)
{
    EXPECT_STREQ(SPIRO_DataPaneTimerHandler::TimerIdKey(), "timerId");
    SPIRO_DataPaneTimerHandler handler(*pane);
    handler.EvTimer({{"timerId", 12}});
    handler.EvTimer({{"timer", 13}});
    EXPECT_EQ(std::count(log.begin(), log.end(), "object:timer12"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "object:timer13"), 0);
}

TEST_F(DataPaneViews, AScreenPointComesIntoTheViewThroughTheWindow)
{
    window.SetFrame(AppKit::Rect{200, 100, 700, 300});
    const int x0 = int(view.Frame().x);
    TPoint p(200 + x0 + 35, 100 + 40);
    pane->ScreenToClient(p);
    EXPECT_EQ(p, TPoint(35, 40));
    // A view outside any window leaves the point as it is.
    KVD::COMPtr<DataWinPane> loose(new DataWinPane(nullptr, nullptr, 0, 0, 0, 0));
    TPoint q(5, 6);
    loose->ScreenToClient(q);
    EXPECT_EQ(q, TPoint(5, 6));
}

}  // namespace


#include "trace/PreviewControlMac.h"
#include "trace/PreviewDataPane.h"

namespace {

TEST(PreviewControls, TheDocumentsButtonStartsHighlightedWithPauseEnabledOrMonitoringWithoutIt)
{
    AppKit::View parent(AppKit::Rect{0, 0, 300, 40});
    auto button = [](PreviewControlMac& control, const char* id) -> AppKit::Button& {
        return static_cast<AppKit::Button&>(*control.Control().FindView(id));
    };
    {
        PreviewControlMac control(nullptr, parent, 0);
        EXPECT_EQ(std::string(control.Control().ClassName()), "SPIRO_KVDPreviewControl");
        EXPECT_TRUE(button(control, "orrelView").IsHighlighted());
        EXPECT_FALSE(button(control, "orrelView").IsHidden());
        EXPECT_TRUE(button(control, "pause").IsEnabled());
        EXPECT_EQ(button(control, "monitor").Target(), &control.ActionHandler());
        EXPECT_EQ(button(control, "monitor").Action(), "startPreviewBtnClicked:");
        control.SetEnabled(false);
        EXPECT_FALSE(button(control, "monitor").IsEnabled());
        EXPECT_FALSE(button(control, "pause").IsEnabled());
    }
    PreviewControlMac monitoring(nullptr, parent, kControlStartMonitoring);
    EXPECT_TRUE(button(monitoring, "orrelView").IsHidden());
    EXPECT_TRUE(button(monitoring, "monitor").IsHighlighted());
    EXPECT_FALSE(button(monitoring, "orrelView").IsHighlighted());
    EXPECT_FALSE(monitoring.ActionHandler().Perform("resume:", nullptr));
}

}  // namespace
