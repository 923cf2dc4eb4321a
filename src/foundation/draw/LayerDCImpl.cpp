#include "foundation/draw/LayerDCImpl.h"

std::unique_ptr<TDC> CreateLayerBackedDC(Gfx::Context* context, const Gfx::Size& size) {
    return std::make_unique<LayerDCImpl>(context, size);
}

LayerDCImpl::LayerDCImpl(Gfx::Context* context, const Gfx::Size& size) {
    if (!context)
        return;
    mLayer = context->CreateLayer(size);
    Gfx::Context& layerContext = mLayer->GetContext();
    // Flipped as the context it suits, whatever the layer's own transform says: what is drawn
    // here top-down arrives the right way up when copied back.
    SetContext(&layerContext, IsFlipped(context));
    layerContext.SetAllowsAntialiasing(false);
    layerContext.SetAllowsFontSmoothing(true);
}

bool LayerDCImpl::DrawImage(const Gfx::Image& image, TPoint at) {
    return DrawImageOriented(image, at, false);
}

void LayerDCImpl::RestoreDefaultAntialiasing() {
    if (GetGContext())
        GetGContext()->SetAllowsAntialiasing(false);
}

// The destination is clipped to the target rectangle and the whole layer drawn so that its
// point (sx, sy) falls on (x, y).
void LayerDCImpl::DrawLayer(Gfx::Context* destination, int x, int y, int width, int height, int sx, int sy,
                            unsigned int) const {
    if (!mLayer || !destination)
        return;
    destination->SaveState();
    destination->ClipToRect({double(x), double(y), double(width), double(height)});
    destination->DrawLayer(*mLayer, {double(x - sx), double(y - sy)});
    destination->RestoreState();
}
