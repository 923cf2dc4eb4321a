// An off-screen drawing context over a layer, copied into other contexts by BitBlt (the
// bitmap buffering of the trace display).
#pragma once

#include <memory>

#include "foundation/draw/TDCImpl.h"

class LayerDCImpl : public TDCImpl {
public:
    // A layer of the given size suited to context (none: draws nothing), flipped as it is.
    LayerDCImpl(Gfx::Context* context, const Gfx::Size& size);

    bool DrawImage(const Gfx::Image& image, TPoint at) override;
    void RestoreDefaultAntialiasing() override;

    // Copies the part of the layer at (sx, sy) to (x, y, width, height) of the destination.
    void DrawLayer(Gfx::Context* destination, int x, int y, int width, int height, int sx, int sy,
                   unsigned int rop) const;

private:
    std::unique_ptr<Gfx::Layer> mLayer;
};
