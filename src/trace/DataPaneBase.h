// What every data pane keeps beside its panes and its record: the flags it was made with, the
// horizontal geometry its child panes share, the time labeler, the panes waiting for an
// auto-scale, the pending needs-update bits, the data area and the scales beside it, the stored
// layout, and the continuous auto-scaler it starts when sampling begins and stops when sampling
// ends (the scaler belongs to the pane's owner).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "IScale.h"
#include "foundation/Bitset.h"
#include "foundation/draw/TRect.h"
#include "trace/DataPaneControls.h"
#include "trace/DynamicScaling.h"
#include "trace/TimeLabeler.h"

namespace OrrelDraw {

class DataPaneBase {
public:
    // Null: no continuous auto-scaling.
    virtual void SetContinuousAutoScalerRef(KVD::DynamicScaling* scaler) { mAutoScaler = scaler; }
    KVD::DynamicScaling* GetContinuousAutoScaler() const { return mAutoScaler; }

protected:
    DataPaneBase(int scaleRequest, uint32_t paneFlags, DragScaleStyle style, uint32_t controlFlags,
                 uint32_t needsUpdateFlags, uint32_t miscFlags)
        : mScaleRequest(scaleRequest),
          mPaneFlags(paneFlags),
          mStyle(style),
          mControlFlags(controlFlags),
          mNeedsUpdateFlags(needsUpdateFlags),
          mMiscFlags(miscFlags)
    {
    }
    ~DataPaneBase() = default;

    int mScaleRequest;
    uint32_t mPaneFlags;  // bit 27: online auto-scroll stays off when sampling starts
    DragScaleStyle mStyle;
    uint32_t mControlFlags;  // handed to the zoom control
    uint32_t mNeedsUpdateFlags;
    uint32_t mMiscFlags;
    TicksPerPix mTicksPerPix{10, 1};
    TimeLabeler mLabeler;
    KVD::Bitset mLeftAutoScale, mRightAutoScale;  // one bit per channel pane
    uint32_t mPendingNeeds = 0;
    uint32_t mDisplayMode = 0;  // 1: no wheel zoom, no unit refresh on scrolling, no jump to the newest
    TRect mRect;                // the data area, device pixels
    TRect mScalesBoundary;
    int mLeftScaleWidth = 0, mRightScaleWidth = 0;  // points
    std::shared_ptr<std::vector<int>> mTops, mHeights;
    int64_t mRightEdge = 0;  // the record pixel at the data area's right edge
    int64_t mSamplingStartPixels = 0;
    int mLatestBmpOffset = 0;
    int mPixelsPerUnit = 1;  // of the scroll bar
    uint32_t mBackground = 0xFFFFFF;
    double mScreenPixelRatio = 1.0;

private:
    KVD::DynamicScaling* mAutoScaler = nullptr;  // not owned
};

}  // namespace OrrelDraw
