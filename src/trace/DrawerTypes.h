// Plain types of the trace drawing library: where a drawing pass stands in a record, the tick
// plan of the time grid, the record times, and the flag words that drawers, child panes and the
// data pane pass each other.
#pragma once

#include <cstdint>

#include "CalcEnumTypes.h"
#include "DataScaling.h"
#include "KVDTypes.h"

typedef uint32_t OrrelDrawPosFlags;
typedef uint32_t OrrelDrawerDrawFlags;
typedef uint32_t OrrelDrawerFlags;
typedef uint32_t OrrelDrawerInfoOutFlags;
typedef uint32_t TOrrelDrawNeedsUpdateFlags;
typedef uint32_t PixMapUpdateOutFlags;
typedef uint32_t RecDrawScalingModeFlags;
typedef uint32_t TraceDrawFlags;
typedef uint32_t BlockDataType;
typedef uint32_t PolyLineType;
typedef int32_t DrawerOrderConsts;

// Scale sides.
enum OrrelDrawerScaleConsts : int32_t { kScaleLeft = 1, kScaleRight = 2 };

// Draw flags of a pass.
namespace DrawFlag {
constexpr OrrelDrawerDrawFlags kRecordBoundaryOff = 1u << 18;  // no record boundary line
constexpr OrrelDrawerDrawFlags kEraseFirst = 1u << 19;
constexpr OrrelDrawerDrawFlags kNoCompose = 1u << 20;          // buffered layers stay in their buffers
constexpr OrrelDrawerDrawFlags kSkipMarkers = 1u << 21;        // drawers with info bit 30 sit out
constexpr OrrelDrawerDrawFlags kWholePane = 1u << 24;
constexpr OrrelDrawerDrawFlags kThroughLayer0 = 1u << 26;
constexpr OrrelDrawerDrawFlags kFreshStart = 1u << 27;         // drop kept enumerators first
constexpr OrrelDrawerDrawFlags kOnline = 1u << 31;             // keep enumerators for the next block
}  // namespace DrawFlag

// Events a drawer hears through OnEvent, with what the data points at.
namespace DrawerEvent {
// The record (block) and scaling mode the next units queries are about: a UnitsContext.
constexpr unsigned kUnitsContext = 0x80000001u;
}  // namespace DrawerEvent

struct UnitsContext {
    int block;
    RecDrawScalingModeFlags mode;
};

// Drawer info flags (GetInfo).
namespace DrawerInfo {
constexpr uint32_t kMarker = 1u << 30;         // skipped when the pass skips markers
constexpr uint32_t kNeedsClip = 1u << 29;      // skipped when the clip is empty
constexpr uint32_t kBackground = 1u << 31;
}  // namespace DrawerInfo

// Where a drawing pass stands: the record pixel at which the pane's drawing starts (negative
// when the record starts inside the drawn range) and the record drawn.
struct TPixPosition {
    int64_t pixel;
    int32_t record;
};

// The tick plan of the time grid, as the time labeler worked it out for the pass.
namespace OrrelDraw {
struct CGraticuleInfo;
}
typedef OrrelDraw::CGraticuleInfo GraticuleInfo;

// The times of a record: t0 its start, t1 the date of its start, t2 and t3 the origin's
// start and date, t4 the seconds the time origin lies after the start; and the display mode.
struct KVDDataTimeInfo {
    double t[5];
    uint32_t timeDisplayMode;
};

// The layer value rule: index × 256 + order within the layer.
constexpr int32_t LayerIndexOf(long layerValue) { return int32_t(layerValue >> 8); }

// The no-channel id as a TChannelId.
constexpr TChannelId kNoChannel = {int32_t(0x80000000), 0xC0000000};
