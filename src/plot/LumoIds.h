// Ids of the plot engine's events (what a plot's page reports, posted on the proxy's subject)
// and of its messages (plot state the host stores with the document and replays).
#pragma once

#include "IUnknown.h"
#include "foundation/DynamicId.h"

// C7E74F70-39A4-41B7-BF8C-D21727C2F819
inline constexpr _IID LumoVexoriumLibGUID = {0xC7E74F70, 0x39A4, 0x41B7, {0xBF, 0x8C, 0xD2, 0x17, 0x27, 0xC2, 0xF8, 0x19}};
// E39B5F99-7BEF-4DAC-B2E2-579F58F1FC0E
inline constexpr _IID LumoLibMessageGUID = {0xE39B5F99, 0x7BEF, 0x4DAC, {0xB2, 0xE2, 0x57, 0x9F, 0x58, 0xF1, 0xFC, 0x0E}};

namespace KVD {

// Event numbers. Each event's data is an array of 64-bit slots (IObserver): texts are
// `const wchar_t*` valid during the notification only, value lists `const double*`.
enum LumoEvent : unsigned {
    kLumoVLinesDragged = 0,     // id, values, count
    kLumoCompileMarkup = 1,     // success
    kLumoBadPlotterProperty = 2,  // plotter id, property, type name, default markup
    kLumoSetSVG = 3,            // plot id, kind, SVG text
    kLumoBoxResized = 4,        // id, values, count
    kLumoXScalingChanged = 5,   // plot id, values, count of values less one, auto-scaled
    kLumoYScalingChanged = 6,   // as 5
    kLumoZoomLevelChanged = 8,  // id, values, count
    kLumoMouseClick = 9,        // data id, label, select
    kLumoRegionPosChanged = 10,  // region id, x percent, y percent
    kLumoRegionTextChanged = 11,  // region id, text
    kLumoUpdate = 12,           // update kind (posted by plot views)
};

template <unsigned N>
using LumoEventId = EventIdClass<&LumoVexoriumLibGUID, N>;

// Message numbers, all sent with flags 32.
enum LumoMessage : unsigned {
    kLumoSetRangeX = 0,
    kLumoSetRangeY = 1,
    kLumoSetRegionPos = 2,
    kLumoSetRegionText = 3,
    kLumoSetRangeXEx = 4,
    kLumoSetRangeYEx = 5,
};

template <unsigned N>
using LumoMsgId = MsgIdClass<&LumoLibMessageGUID, N>;

}  // namespace KVD
