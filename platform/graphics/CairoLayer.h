// An off-screen layer over a Cairo surface made to suit the context that asked for it.
#pragma once

#include <cairo.h>

#include "graphics/CairoContext.h"

namespace Gfx {

class CairoLayer final : public Layer {
public:
    // Takes over the surface.
    CairoLayer(cairo_surface_t* surface, const Size& size);
    ~CairoLayer() override;
    CairoLayer(const CairoLayer&) = delete;
    CairoLayer& operator=(const CairoLayer&) = delete;

    Context& GetContext() override { return mContext; }
    Size GetSize() const override { return mSize; }
    cairo_surface_t* Surface() const { return mSurface; }

private:
    cairo_surface_t* mSurface;
    Size mSize;
    CairoContext mContext;
};

}  // namespace Gfx
