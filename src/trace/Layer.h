// The eight drawing layers of a child pane: per layer the x range still to draw, the range of
// the pane's sorted drawers that draw on it, its flags and opacity, and an off-screen buffer
// used only while the data pane draws on bitmaps.
#pragma once

#include <memory>

#include "foundation/draw/TDC.h"

namespace OrrelDraw {

namespace LayerFlag {
constexpr uint32_t kBuffered = 1u << 31;     // draws into its own bitmap
constexpr uint32_t kDirty = 1u << 30;
constexpr uint32_t kCopyAlways = 1u << 29;   // copied into layer 0 even when layer 0 is opaque
constexpr uint32_t kDrawn = 1u << 28;        // drawn in this pass
constexpr uint32_t kNotComposed = 1u << 27;  // a buffered layer that stays out of layer 0
}  // namespace LayerFlag

constexpr int kLayerCount = 8;

struct Layer {
    TRect* linkedRect = nullptr;  // scrolls with the layer when it is not opaque
    TRect dirty;                  // left == right: nothing to draw
    int first = -1;               // drawer range [first, end); -1 when none
    int end = -1;
    uint32_t flags = LayerFlag::kCopyAlways;
    uint32_t opacity = 255;
    std::shared_ptr<TDC> buffer;

    bool HasDrawers() const { return first != end; }
    bool IsDirtyEmpty() const { return dirty.left == dirty.right; }
    // The buffer, made of the area's size to suit dc and shifted so that area coordinates apply.
    TDC* GetBufferDC(TDC* dc, const TRect& area);
    void ClearBuffer() { buffer.reset(); }
    void OnSetPos(const TRect& area);
    // Copies the dirty x range of source's buffer into this layer's buffer.
    void TransferFrom(const TRect& area, Layer& source, int latestOffset);
    void ScrollX(const TRect& area, int pixels, bool moveBits);
    void InvalidateXRange(const TRect& area, int from, int to, bool markDirty);
    void ResetDirty();
};

struct TLayers {
    Layer layers[kLayerCount];
    TRect area;

    Layer& operator[](int i) { return layers[i]; }
    const Layer& operator[](int i) const { return layers[i]; }
    void InvalidateXRange(int from, int to, int firstLayer, int endLayer, bool markDirty);
    void ScrollX(int pixels, bool moveBits);
    // The union of every layer's dirty rectangle; false when none is dirty.
    bool GetUpdateRect(TRect* rect) const;
};

}  // namespace OrrelDraw
