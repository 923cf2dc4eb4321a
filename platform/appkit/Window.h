// Windows and their controllers. A window holds one content view, delivers the user's input
// to its views (by hit testing, with the mouse captured from down to up), keeps the first
// responder and the key-view loop, and tells the owners of tracking areas when the mouse
// enters, leaves or moves over them. A controller loads its window from a layout and is told
// when the window moves, resizes or closes.
#pragma once

#include <functional>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "appkit/View.h"

namespace AppKit {

class WindowController;

class Window {
public:
    explicit Window(Rect frame = {}, std::string title = {});
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    const std::string& Title() const { return mTitle; }
    void SetTitle(const std::string& title) { mTitle = title; }
    const Rect& Frame() const { return mFrame; }
    // A point of the screen (top-down, the frame's coordinates) in window coordinates.
    Gfx::Point ConvertScreenToBase(const Gfx::Point& p) const { return {p.x - mFrame.x, p.y - mFrame.y}; }
    // Moves or resizes the window; the content view follows (and its subviews by their
    // autoresizing masks); the controller hears of it.
    void SetFrame(const Rect& frame);
    // The user drags the window's corner: the views hear of the live resize around it.
    void ResizeByUser(const Gfx::Size& size);

    View& ContentView() const { return *mContent; }
    void SetContentView(std::unique_ptr<View> content);

    WindowController* Controller() const { return mController; }
    void SetController(WindowController* controller) { mController = controller; }

    // The window's content drawn on a white ground, as PNG bytes, below a title bar when
    // asked; empty, with the reason in *failure, when a view in it could not draw what it
    // shows (a picture of a page that never drew is no picture).
    std::string RenderPng(bool withTitleBar = false, std::string* failure = nullptr) const;
    // The same picture as a PNG file; false when it cannot be drawn or written.
    bool RenderToPng(const std::string& path, bool withTitleBar = false) const;
    static constexpr double kTitleBarHeight = 22;

    bool IsVisible() const { return mVisible; }
    void Show() { mVisible = true; }
    // Hides the window for good; the controller hears of it first.
    void Close();

    // Delivers an event (location in window coordinates) as the user's input.
    void SendEvent(const Event& e);
    // Queues events as the user makes them, then delivers them in order; a view that tracks
    // the mouse itself takes the ones it wants from the queue meanwhile.
    void PostEvent(const Event& e) { mQueue.push_back(e); }
    void DispatchPostedEvents();
    // The first queued event of the mask's types, taken from the queue; none when no such
    // event waits. A mouse-up taken here ends the capture of the mouse.
    std::optional<Event> NextEventMatchingMask(unsigned mask);
    // Mouse-moved events reach the view under the mouse only when the window accepts them;
    // tracking areas that ask for them always hear of them.
    bool AcceptsMouseMovedEvents() const { return mAcceptsMouseMoved; }
    void SetAcceptsMouseMovedEvents(bool on) { mAcceptsMouseMoved = on; }
    // The view that has the mouse from its down to its up, or null.
    View* MouseCaptor() const { return mCaptor; }

    // The view that receives keys, or null (the window itself).
    View* FirstResponder() const { return mFirstResponder; }
    // False when the current responder refuses to resign or the view refuses to take over;
    // null makes the window itself first responder.
    bool MakeFirstResponder(View* view);
    // The view that takes the keys when the window is first shown; the first key view else.
    View* InitialFirstResponder() const { return mInitial; }
    void SetInitialFirstResponder(View* view) { mInitial = view; }
    // Tab and shift-tab: the next (previous) view of the loop that can become key view. The
    // loop follows the views' next-key-view links where they are set, and otherwise the
    // order of the views in the window (depth first).
    bool SelectNextKeyView();
    bool SelectPreviousKeyView();
    // The key views of the window in loop order, starting from the first.
    std::vector<View*> KeyViewLoop() const;
    // An enabled, shown button whose key equivalent is the event's characters is clicked.
    bool PerformKeyEquivalent(const Event& e);

private:
    friend class View;
    // Keys that no view answered: tab moves along the key-view loop.
    void KeyDownUnanswered(const Event& e);
    // The view (or one below it) is leaving the window: it stops being first responder,
    // captor and tracked.
    void ViewWillLeave(View& view);
    void TrackingAreaWillGo(View& view, int id);
    // Sends entered and exited events for the areas the mouse came into or left, and
    // moved events to the areas that ask for them.
    // Answers the views told of a move.
    std::vector<View*> UpdateTracking(const Event& e);
    View* KeyViewAfter(View* from, bool forward) const;

    struct Tracked {
        View* view;
        int id;
        TrackingArea area;
    };
    Rect mFrame;
    std::string mTitle;
    std::unique_ptr<View> mContent;
    WindowController* mController = nullptr;
    bool mVisible = false;
    bool mAcceptsMouseMoved = false;
    View* mCaptor = nullptr;
    View* mFirstResponder = nullptr;
    View* mInitial = nullptr;
    std::vector<Tracked> mInside;  // areas the mouse is in
    std::deque<Event> mQueue;
};

class WindowController : public Responder {
public:
    virtual ~WindowController() = default;
    virtual void WindowDidMoveOrResize(Window&) {}
    virtual void WindowWillClose(Window&) {}
};

}  // namespace AppKit
