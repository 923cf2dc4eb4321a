// What a child pane needs of the data pane that owns it: invalidation and scrolling of its
// window, the bitmap and online state, and the data pane's faces towards drawers.
#pragma once

#include "IRecordDataPixMap.h"
#include "foundation/draw/TDC.h"
#include "trace/IDrawerDataPane.h"

namespace OrrelDraw {

class ChildPaneOwner {
public:
    virtual void InvalidateRect(const TRect* rect, bool erase) = 0;
    // Moves the window content of the rectangle by pixels.
    virtual void ScrollX(long long pixels, const TRect* rect) = 0;
    virtual bool AreDrawingOnBitmaps() const = 0;
    virtual bool IsOnlineAutoScrollX() const = 0;
    virtual int GetPaneBorderW() const = 0;
    // The circular write position of online bitmaps.
    virtual int GetLatestBmpOffset() const = 0;
    virtual void SetAllBitmapsDirtyAndInvalidate() = 0;
    virtual bool IsNonInteractiveMode() const = 0;
    // A request that every pane's bitmaps be marked dirty, taken (and cleared) by the next pane.
    virtual bool TakeAllBitmapsDirtyRequest() = 0;
    virtual bool IsOnlineRadarMode() const = 0;
    virtual bool InvalidateOnPrepare() const = 0;
    // The column at the data area's left edge and the data area's left in pixels.
    virtual int64_t GetLeftColumn() const = 0;
    virtual int GetDataLeft() const = 0;
    virtual bool ShowsRecordNumbers() const = 0;
    // The reference context while printing, or null.
    virtual TDC* GetReferenceContext() const = 0;
    virtual IDrawerDataPane* GetDrawerDataPane() = 0;
    virtual IRecordDataPixMap* GetRecordPixMap() const = 0;

protected:
    ~ChildPaneOwner() = default;
};

}  // namespace OrrelDraw
