// Objects from outside the library that take part in a data pane's life: told of set-up,
// layout, paint, scrolling, sampling, timers and mouse input; they may take the cursor, veto a
// mouse or paint action for the others, and keep their own state in the pane's record.
#pragma once

#include "IBinInStream.h"
#include "IBinOutStream.h"
#include "IDisplaySettings.h"
#include "IRecordDataPixMap.h"
#include "IUnknown.h"
#include "foundation/draw/TDC.h"
#include "foundation/units/LabelTime.h"
#include "trace/DrawerTypes.h"

// 3C1E7A52-90B4-4F2D-A6C8-5E0D1B7F2A94
inline constexpr _IID IID_IKVDInteractiveCpp = {0x3C1E7A52, 0x90B4, 0x4F2D, {0xA6, 0xC8, 0x5E, 0x0D, 0x1B, 0x7F, 0x2A, 0x94}};
// 8D27F1C3-4B5A-4E61-9C0F-7A3B2E6D5C18
inline constexpr _IID IID_IKVDInteractiveMenu = {0x8D27F1C3, 0x4B5A, 0x4E61, {0x9C, 0x0F, 0x7A, 0x3B, 0x2E, 0x6D, 0x5C, 0x18}};

namespace OrrelDraw {

// Actions an object may veto for the others.
enum IOFActionType : int { kActionLeftButtonDown = 1, kActionMouseMove = 2, kActionPaint = 3 };

typedef uint32_t OnScrollFlags;

struct IKVDInteractiveCpp : IUnknown {
    virtual void SetRecordDataPixMap(IRecordDataPixMap* map) = 0;
    virtual void OnSetupDone() = 0;
    virtual void SetNumberOfChannelPanes(int count) = 0;
    virtual void SetChannelPanePosition(int pane, const TRect& rect) = 0;
    virtual void OnSize(const TRect& rect, bool* handled) = 0;
    virtual int OnDisplayInfoChanged(const IChannelDisplaySettings2* settings, IUnknown* source, int flags) = 0;
    virtual void OnLButtonDown(unsigned flags, const TPoint& point) = 0;
    virtual void OnLButtonUp(unsigned flags, const TPoint& point) = 0;
    virtual void OnRButtonDown(unsigned flags, const TPoint& point) = 0;
    virtual void OnRButtonUp(unsigned flags, const TPoint& point) = 0;
    virtual void OnMouseMove(unsigned flags, const TPoint& point) = 0;
    virtual void OnLButtonDblClk(unsigned flags, const TPoint& point, bool* handled) = 0;
    virtual void OnMouseLeave() = 0;
    virtual bool OnSetCursor(void* window, int hit, int message, bool* passOn) = 0;
    virtual void OnTimer(unsigned id) = 0;
    virtual void OnDrawEvent(TCAFId id, unsigned value, void* data) = 0;
    virtual void OnBeforePaint() = 0;
    virtual void OnPaint(TDC& dc, const TRect& rect) = 0;
    virtual void OnBeforeScroll() = 0;
    virtual void OnScroll(long long pixels, OnScrollFlags flags) = 0;
    virtual void OnScrollBarUpdated() = 0;
    virtual void OnPeriodicUpdate() = 0;
    virtual void PrepareForSampling(unsigned block) = 0;
    virtual void CleanUpAfterSampling() = 0;
    virtual void OnScalingChanged() = 0;
    virtual void Revert(uint32_t flags) = 0;
    virtual void SetTimeDisplayMode(unsigned record, TimeDisplayMode mode) = 0;
    virtual void Read(IBinInStream* stream) = 0;
    virtual void Write(IBinOutStream* stream) const = 0;
    virtual bool IsActionPermitted(IOFActionType action) const = 0;
    // Objects with equal identities act as one when one of them vetoes an action.
    virtual uintptr_t Identity() const = 0;
};

// An object that also offers menu items.
struct IKVDInteractiveMenu : IUnknown {
    virtual int MenuItemCount() const = 0;
};

}  // namespace OrrelDraw

KVD_INTERFACE_ID(OrrelDraw::IKVDInteractiveCpp, IID_IKVDInteractiveCpp);
KVD_INTERFACE_ID(OrrelDraw::IKVDInteractiveMenu, IID_IKVDInteractiveMenu);
