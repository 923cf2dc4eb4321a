#include "trace/Layer.h"

#include <algorithm>

#include "foundation/draw/DrawFactories.h"

namespace OrrelDraw {

TDC* Layer::GetBufferDC(TDC* dc, const TRect& area)
{
    if (buffer == nullptr && dc != nullptr) {
        buffer = gCreateBufferedDC(*dc, TSize(area.Width(), area.Height()));
        if (buffer != nullptr)
            buffer->SetViewportOrg(TPoint(-area.left, -area.top));
    }
    return buffer.get();
}

void Layer::OnSetPos(const TRect& area)
{
    dirty = area;
    buffer.reset();
}

void Layer::TransferFrom(const TRect& area, Layer& source, int)
{
    if (source.buffer == nullptr || source.IsDirtyEmpty())
        return;
    if (!(source.flags & LayerFlag::kCopyAlways) && opacity != 255)
        return;
    TDC* target = GetBufferDC(source.buffer.get(), area);
    if (target == nullptr)
        return;
    const TRect& r = source.dirty;
    target->BitBlt(r.left, area.top, r.Width(), area.Height(), *source.buffer, r.left - area.left, 0, 0);
}

void Layer::ResetDirty()
{
    dirty.right = dirty.left;
    flags &= ~LayerFlag::kDirty;
}

void Layer::InvalidateXRange(const TRect& area, int from, int to, bool markDirty)
{
    if (from != to) {
        if (IsDirtyEmpty()) {
            dirty.left = from;
            dirty.right = to;
        } else {
            dirty.left = std::min(dirty.left, from);
            dirty.right = std::max(dirty.right, to);
        }
        dirty.top = area.top;
        dirty.bottom = area.bottom;
    }
    if (markDirty) {
        flags |= LayerFlag::kDirty;
        flags &= ~LayerFlag::kDrawn;
    }
}

// Content moves by pixels; the strip it leaves is invalidated.
void Layer::ScrollX(const TRect& area, int pixels, bool moveBits)
{
    if (!HasDrawers() || pixels == 0)
        return;
    const int width = area.Width();
    const int shift = std::min(std::abs(pixels), width);
    if (moveBits && opacity == 255 && buffer != nullptr && shift < width) {
        if (pixels < 0)
            buffer->BitBlt(area.left, area.top, width - shift, area.Height(), *buffer, shift, 0, 0);
        else
            buffer->BitBlt(area.left + shift, area.top, width - shift, area.Height(), *buffer, 0, 0, 0);
    }
    auto move = [&](TRect& r) {
        if (r.left == r.right)
            return;
        r.left = std::clamp(r.left + pixels, area.left, area.right);
        r.right = std::clamp(r.right + pixels, area.left, area.right);
    };
    move(dirty);
    if (opacity != 255 && linkedRect != nullptr)
        move(*linkedRect);
    const bool mark = (flags & LayerFlag::kBuffered) != 0;
    if (pixels < 0)
        InvalidateXRange(area, area.left + width - shift, area.left + width, mark);
    else
        InvalidateXRange(area, area.left, area.left + shift, mark);
}

void TLayers::InvalidateXRange(int from, int to, int firstLayer, int endLayer, bool markDirty)
{
    int walk = firstLayer;
    if (markDirty || firstLayer >= kLayerCount) {
        layers[0].InvalidateXRange(area, from, to, true);
        walk = 1;
    }
    for (int i = walk; i < kLayerCount; ++i)
        layers[i].InvalidateXRange(area, from, to, i >= firstLayer && i < endLayer);
}

void TLayers::ScrollX(int pixels, bool moveBits)
{
    for (Layer& layer : layers)
        layer.ScrollX(area, pixels, moveBits);
}

bool TLayers::GetUpdateRect(TRect* rect) const
{
    bool any = false;
    TRect united;
    for (const Layer& layer : layers) {
        if (layer.IsDirtyEmpty())
            continue;
        if (!any)
            united = layer.dirty;
        else {
            united.left = std::min(united.left, layer.dirty.left);
            united.right = std::max(united.right, layer.dirty.right);
            united.top = std::min(united.top, layer.dirty.top);
            united.bottom = std::max(united.bottom, layer.dirty.bottom);
        }
        any = true;
    }
    if (rect != nullptr)
        *rect = any ? united : TRect(area.left, area.top, area.left, area.bottom);
    return any;
}

}  // namespace OrrelDraw
