// The device context of the drawing layer: GDI-style drawing with integer coordinates, pens,
// brushes and one font, over a Gfx::Context. Operations return true when they did what was
// asked or had nothing to draw on.
#pragma once

#include <memory>
#include <string>

#include "foundation/draw/TColor.h"
#include "foundation/draw/TGdiObjects.h"
#include "foundation/draw/TRect.h"
#include "graphics/Context.h"

// Text alignment values (SetTextAlign).
enum : unsigned int { kTextAlignRight = 2, kTextAlignCentre = 6, kTextAlignBottom = 8 };

// A text with the attributes it is drawn with.
struct AttributedText {
    std::wstring text;
    double pointSize = 11;
    TColor colour = TColor::Black;
};

class TDC {
public:
    virtual ~TDC() = default;

    virtual bool SaveDC() = 0;
    virtual bool RestoreDC() = 0;
    virtual double GetDeviceCaps(int index) const = 0;
    virtual bool SelectObject(const TPen& pen) = 0;
    virtual bool SelectObject(const TBrush& brush) = 0;
    virtual bool SelectObject(const TFont& font) = 0;
    virtual void* GetAttributeHDC() = 0;
    virtual void SetScalingFactor(double factor) = 0;
    virtual double GetScalingFactor() const = 0;
    virtual void SetTextColor(const TColor& colour) = 0;
    virtual void SetBkColor(const TColor& colour) = 0;
    virtual TColor GetTextColor() const = 0;
    virtual TColor GetBkColor() const = 0;
    virtual bool SetViewportOrg(const TPoint& origin, TPoint* old = nullptr) = 0;
    virtual bool OffsetWindowOrg(const TPoint& delta, TPoint* old = nullptr) = 0;
    virtual bool SetWindowOrg(const TPoint& origin) = 0;
    virtual bool IntersectClipRect(const TRect& r) = 0;
    virtual bool RectVisible(const TRect& r) const = 0;
    virtual bool MoveTo(int x, int y) = 0;
    virtual bool LineTo(int x, int y) = 0;
    virtual bool Polyline(const TPoint* points, int count) = 0;
    virtual bool PolyPolyline(const TPoint* points, const int* counts, int polylines) = 0;
    virtual bool FrameRect(const TRect& r, const TBrush& brush) = 0;
    virtual bool FrameRect(int left, int top, int right, int bottom, const TBrush& brush) = 0;
    virtual bool FillRect(const TRect& r, const TBrush& brush) = 0;
    virtual bool FillRect(int left, int top, int right, int bottom, const TBrush& brush) = 0;
    virtual bool Rectangle(int left, int top, int right, int bottom) = 0;
    virtual bool Ellipse(int left, int top, int right, int bottom) = 0;
    // The source must be an off-screen (layer-backed) context; the raster operation is ignored.
    virtual bool BitBlt(int x, int y, int width, int height, const TDC& source, int sx, int sy,
                        unsigned int rop) = 0;
    virtual bool BitBlt(TRect destination, const TDC& source, TPoint sourceOrigin, unsigned int rop) = 0;
    // length < 0: up to the terminator.
    virtual bool TextOut(int x, int y, const wchar_t* text, int length) = 0;
    virtual bool TextOut(TPoint p, const wchar_t* text, int length) = 0;
    virtual bool ExtTextOut(int x, int y, unsigned int options, const tagRECT* clip, const wchar_t* text,
                            int length, const int* widths) = 0;
    virtual bool AttributedTextOut(const Gfx::Rect& where, const AttributedText& text) = 0;
    virtual TSize GetTextExtent(const wchar_t* text, int length) = 0;
    virtual void SetTextAlign(unsigned int alignment) = 0;
    virtual unsigned int GetTextAlign() const = 0;
    // Turns user space upside down within height h; UnflipVertical undoes it and returns h.
    virtual void FlipVertical(int height) = 0;
    virtual int UnflipVertical() = 0;
    virtual Gfx::Context* GetGContext() const = 0;
    virtual bool DrawImage(const Gfx::Image& image, TPoint at) = 0;
    virtual bool ClearRect(const TRect& r) = 0;
    virtual bool IsDCFlipped() const = 0;
    virtual void RestoreDefaultAntialiasing() = 0;

    bool LineTo(const TPoint& p) { return LineTo(p.x, p.y); }
};

// A context drawing into the given one (none: draws nothing), moved by half a unit when
// halfPixel is set so that 1-unit lines on whole coordinates cover whole pixels.
std::unique_ptr<TDC> CreateTDC(Gfx::Context* context, bool halfPixel);
// An off-screen context of the given size, suited to the given context, that BitBlt copies.
std::unique_ptr<TDC> CreateLayerBackedDC(Gfx::Context* context, const Gfx::Size& size);

namespace KVD {

// Saves the context's state on first use (Save) and restores it when it goes.
class TDCRestorer {
public:
    explicit TDCRestorer(TDC* dc, bool enabled = true) : mDC(dc), mEnabled(enabled && dc) {}
    ~TDCRestorer() {
        if (mEnabled && mSaved)
            mDC->RestoreDC();
    }
    TDCRestorer(const TDCRestorer&) = delete;
    TDCRestorer& operator=(const TDCRestorer&) = delete;

    void Save() {
        if (mEnabled && !mSaved)
            mSaved = mDC->SaveDC();
    }

private:
    TDC* mDC;
    bool mEnabled;
    bool mSaved = false;
};

}  // namespace KVD
