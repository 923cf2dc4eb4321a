#include "graphics/CairoLayer.h"

namespace Gfx {

CairoLayer::CairoLayer(cairo_surface_t* surface, const Size& size)
    : mSurface(surface), mSize(size), mContext(cairo_create(surface), size) {}

CairoLayer::~CairoLayer() {
    cairo_surface_destroy(mSurface);
}

}  // namespace Gfx
