// Contexts and fonts the trace display makes for itself. The caller owns what they return.
#pragma once

#include <memory>

#include "foundation/draw/TDC.h"

namespace OrrelDraw {

// An off-screen context of the given size suited to dc's context.
std::unique_ptr<TDC> gCreateBufferedDC(TDC& dc, TSize size);
// An off-screen context of the given size suited to the main screen.
std::unique_ptr<TDC> gCreateScreenBitmapDC(TSize size);
std::unique_ptr<TFont> gCreateDefaultScaleLabelScreenFont();
// The average character width the layout of labels reckons with.
int gGetAveWidthChar(TDC& dc);

}  // namespace OrrelDraw
