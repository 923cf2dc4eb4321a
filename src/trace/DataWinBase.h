// The window services of a data pane on the widget model: invalidation of its view, the
// zoom-changed notification, run-loop timers by id, and making the scroll bar and zoom control
// beside the view.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "appkit/View.h"
#include "trace/DataPaneControls.h"

namespace OrrelDraw {

class DataPane;
class DataWinBase;

// Posted with the view as object whenever the pane's zoom changes.
extern const char* const kZoomChangedNotification;

// The target of the window's timers: each timer carries its id in its user info.
class SPIRO_DataPaneTimerHandler {
public:
    using UserInfo = std::map<std::string, unsigned>;

    explicit SPIRO_DataPaneTimerHandler(DataWinBase& window) : mWindow(window) {}
    static const char* TimerIdKey() { return "timerId"; }
    // A timer fired: the window hears its id; user info without one is ignored.
    void EvTimer(const UserInfo& userInfo);

private:
    DataWinBase& mWindow;
};

class DataWinBase {
public:
    explicit DataWinBase(AppKit::View* view);
    virtual ~DataWinBase();
    DataWinBase(const DataWinBase&) = delete;
    DataWinBase& operator=(const DataWinBase&) = delete;

    virtual void Invalidate(bool erase);
    virtual void InvalidateRect(const TRect* rect, bool erase);
    virtual void ScrollX(long long pixels, const TRect* rect);
    virtual void OnZoomX(const TicksPerPix& ratio, const int* pivot, bool notify);
    // A repeating timer of the interval; an earlier timer of the id is killed first.
    virtual unsigned SetTimer(unsigned id, unsigned milliseconds);
    virtual bool KillTimer(unsigned id);
    virtual void EvTimer(unsigned id);
    ScrollBar* CreateScrollBar(DataPane* pane, uint32_t controlFlags);
    ZoomControl* CreateZoomControlX(DataPane* pane, uint32_t controlFlags);
    virtual void PositionWindow(int x, int y, int width, int height, bool redraw);
    virtual void UpdateWindow() {}
    // The view's frame as integers; empty without a view.
    TRect GetScalesBoundary() const;
    // A point of the screen in the view's coordinates (truncated); unchanged without a view in
    // a window.
    void ScreenToClient(TPoint& point) const;

    AppKit::View* GetView() const { return mView; }
    void SetView(AppKit::View* view) { mView = view; }
    size_t TimerCount() const { return mTimers.size(); }

private:
    AppKit::View* mView;  // not owned
    std::unique_ptr<SPIRO_DataPaneTimerHandler> mTimerHandler;
    std::map<unsigned, int> mTimers;  // id to run-loop timer
};

}  // namespace OrrelDraw
