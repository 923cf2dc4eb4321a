// The two controls a data pane steers along its bottom edge, made by the platform layer: the
// horizontal scroll bar and the zoom control with its ratio menu.
#pragma once

#include <cstdint>

#include "foundation/draw/TRect.h"
#include "foundation/KVDString.h"
#include "foundation/numeric/Rational.h"

namespace OrrelDraw {

using TicksPerPix = KVDRationalImp::rational<long long>;

// Control-create flag: taller controls.
constexpr uint32_t kControlTall = 1u << 26;

// Scroll record masks.
namespace ScrollMask {
constexpr uint32_t kRange = 1;        // minimum and maximum (with kDisableNoScroll)
constexpr uint32_t kPage = 2;
constexpr uint32_t kPosition = 4;
constexpr uint32_t kDisableNoScroll = 8;  // also carries minimum and maximum
constexpr uint32_t kTrackPosition = 16;
}  // namespace ScrollMask

struct tagSCROLLINFO {
    uint32_t size = 28;
    uint32_t mask = 0;
    int min = 0;
    int max = 0;
    unsigned page = 0;
    int position = 0;
    int trackPosition = 0;
};

// Scroll codes of OnScrollX.
namespace ScrollCode {
constexpr unsigned kLast = 0, kEndScroll = 1, kLineRight = 2, kLineLeft = 3, kPageRight = 4, kPageLeft = 5,
                   kUnchanged = 6, kTrack = 7, kFirst = 8;
}  // namespace ScrollCode

class ScrollBar {
public:
    virtual ~ScrollBar() = default;
    virtual void SetPosition(const TRect& rect) = 0;
    virtual bool IsEnabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual long GetScrollPos() const = 0;
    virtual void SetScrollPos(long position, bool redraw) = 0;
    virtual void GetScrollInfo(tagSCROLLINFO* info) const = 0;
    virtual void SetScrollInfo(tagSCROLLINFO* info, bool redraw) = 0;
    virtual int GetLineMagnitude() const = 0;
    virtual int GetPageMagnitude() const = 0;
    virtual void SetLineMagnitude(int magnitude) = 0;
    virtual void SetPageMagnitude(int magnitude) = 0;
    virtual void Invalidate() = 0;
};

class ZoomControl {
public:
    virtual ~ZoomControl() = default;
    virtual void SetPosition(const TRect& rect) = 0;
    virtual bool IsEnabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // The label of a ratio: "2k:1", "5:1", "x2".
    virtual KVD::String CalcCompressionDisplay(const TicksPerPix& ratio) const = 0;
    virtual void SetCompressionDisplay(const TicksPerPix& ratio) = 0;
    virtual void GetSize(TSize* size) const = 0;
    virtual void SetOnlineAutoScrollControl(bool on) = 0;
    virtual void UpdateScrollButtonFlashingState(bool on) = 0;
    // The ticks per pixel of a ratio-menu item.
    virtual TicksPerPix CommandIdToCompression(int id) const = 0;
    virtual void Invalidate() = 0;
};

}  // namespace OrrelDraw
