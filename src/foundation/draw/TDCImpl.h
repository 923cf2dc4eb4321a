// The drawing layer over a Gfx::Context.
#pragma once

#include <vector>

#include "foundation/draw/TDC.h"

class TDCImpl : public TDC {
public:
    // Saves the context's state (restored by the destructor) and moves it by half a unit when
    // halfPixel is set.
    TDCImpl(Gfx::Context* context, bool halfPixel);
    ~TDCImpl() override;
    TDCImpl(const TDCImpl&) = delete;
    TDCImpl& operator=(const TDCImpl&) = delete;

    using TDC::LineTo;

    bool SaveDC() override;
    bool RestoreDC() override;
    double GetDeviceCaps(int index) const override;
    bool SelectObject(const TPen& pen) override;
    bool SelectObject(const TBrush& brush) override;
    bool SelectObject(const TFont& font) override;
    void* GetAttributeHDC() override { return nullptr; }
    void SetScalingFactor(double factor) override { mScaling = factor; }
    double GetScalingFactor() const override { return mScaling; }
    void SetTextColor(const TColor& colour) override;
    void SetBkColor(const TColor&) override {}
    TColor GetTextColor() const override { return TColor::Black; }
    TColor GetBkColor() const override { return TColor::White; }
    bool SetViewportOrg(const TPoint& origin, TPoint* old = nullptr) override;
    bool OffsetWindowOrg(const TPoint& delta, TPoint* old = nullptr) override;
    bool SetWindowOrg(const TPoint& origin) override;
    bool IntersectClipRect(const TRect& r) override;
    bool RectVisible(const TRect& r) const override;
    bool MoveTo(int x, int y) override;
    bool LineTo(int x, int y) override;
    bool Polyline(const TPoint* points, int count) override;
    bool PolyPolyline(const TPoint* points, const int* counts, int polylines) override;
    bool FrameRect(const TRect& r, const TBrush& brush) override;
    bool FrameRect(int left, int top, int right, int bottom, const TBrush& brush) override;
    bool FillRect(const TRect& r, const TBrush& brush) override;
    bool FillRect(int left, int top, int right, int bottom, const TBrush& brush) override;
    bool Rectangle(int left, int top, int right, int bottom) override;
    bool Ellipse(int left, int top, int right, int bottom) override;
    bool BitBlt(int x, int y, int width, int height, const TDC& source, int sx, int sy, unsigned int rop) override;
    bool BitBlt(TRect destination, const TDC& source, TPoint sourceOrigin, unsigned int rop) override;
    bool TextOut(int x, int y, const wchar_t* text, int length) override;
    bool TextOut(TPoint p, const wchar_t* text, int length) override;
    bool ExtTextOut(int x, int y, unsigned int options, const tagRECT* clip, const wchar_t* text, int length,
                    const int* widths) override;
    bool AttributedTextOut(const Gfx::Rect& where, const AttributedText& text) override;
    TSize GetTextExtent(const wchar_t* text, int length) override;
    void SetTextAlign(unsigned int alignment) override { mTextAlign = alignment; }
    unsigned int GetTextAlign() const override { return mTextAlign; }
    void FlipVertical(int height) override;
    int UnflipVertical() override;
    Gfx::Context* GetGContext() const override { return mContext; }
    bool DrawImage(const Gfx::Image& image, TPoint at) override;
    bool ClearRect(const TRect& r) override;
    bool IsDCFlipped() const override { return mFlipped; }
    void RestoreDefaultAntialiasing() override;

protected:
    // For a context set up by a subclass: nothing saved, no half-pixel offset.
    TDCImpl();
    void SetContext(Gfx::Context* context, bool flipped);
    // Whether user space grows downwards: a negative y scale.
    static bool IsFlipped(const Gfx::Context* context);
    bool DrawImageOriented(const Gfx::Image& image, TPoint at, bool flipped);

private:
    // The selected font's points (the standard 11 when it gives none), scaled.
    double FontSize() const { return (mFontPoints > 0 ? mFontPoints : 11) * mScaling; }
    // x moved left by the text's width or half of it, as the alignment asks.
    double AlignedLeft(double x, const std::string& utf8, double pointSize) const;
    // Draws text with its line box's top-left at (x, y) as the context is oriented.
    void DrawTextAt(double x, double y, const std::string& utf8, double pointSize, const TColor& colour);
    void UpdateFlipped();
    double TextWidth(const std::string& utf8, double pointSize) const;

    Gfx::Context* mContext = nullptr;
    bool mFlipped = false;
    TPoint mOrigin;
    int mFlipHeight = 0;
    bool mPathOpen = false;
    TPoint mPenPosition;  // where the next line starts, as in GDI
    unsigned int mTextAlign = 0;
    double mScaling = 1.0;
    TColor mTextColour = TColor::Black;
    double mFontPoints = 0;
    std::vector<double> mSavedFontPoints;  // one per SaveDC
    bool mHalfPixel = false;
    bool mSavedAtConstruction = false;
};
