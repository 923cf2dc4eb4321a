#include "foundation/draw/DrawFactories.h"

#include "foundation/draw/LayerDCImpl.h"
#include "graphics/Screen.h"

namespace OrrelDraw {

std::unique_ptr<TDC> gCreateBufferedDC(TDC& dc, TSize size) {
    return CreateLayerBackedDC(dc.GetGContext(), {double(size.cx), double(size.cy)});
}

std::unique_ptr<TDC> gCreateScreenBitmapDC(TSize size) {
    return CreateLayerBackedDC(&Gfx::MainScreenContext(), {double(size.cx), double(size.cy)});
}

std::unique_ptr<TFont> gCreateDefaultScaleLabelScreenFont() {
    return std::make_unique<TFont>();
}

int gGetAveWidthChar(TDC&) {
    return 5;
}

}  // namespace OrrelDraw
