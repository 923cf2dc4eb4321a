// Values the plug-in reads from the host's documents and views: a data document's
// cyclic-measurements part, the range and zoom the host's data view shows, and a channel's
// graticule colour.
#pragma once

#include "IOrrelDocument.h"
#include "foundation/COMPtr.h"
#include "foundation/draw/TColor.h"

namespace CMShared {

// The document's cyclic-measurements part; null when it has none.
KVD::COMPtr<ICMDoc> GetICMDoc(IAutoOrrelDoc* doc);

}  // namespace CMShared

namespace OrrelClient {

// The range to show: the selection, else what the host's data view shows, else all of record
// 0; and the zoom in ticks per pixel for it.
void gGetViewDataDisplayInfo(IAutoOrrelDoc* doc, int& record, KVDPosition& left, KVDPosition& right, double& zoom);

// The zoom step (ticks per pixel) for showing a width of ticks on 400 pixels.
double ZoomForTicks(int64_t ticks);

}  // namespace OrrelClient

namespace OrrelDraw {

// The graticule colour of the display settings; white when they do not say.
TColor GetGraticuleColour(const IChannelDisplaySettings2* settings);

}  // namespace OrrelDraw
