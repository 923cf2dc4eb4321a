// Pens, brushes and fonts: what a drawing context draws lines, fills and text with.
#pragma once

#include "foundation/draw/TColor.h"
#include "foundation/draw/TRect.h"
#include "graphics/Context.h"

class TDC;

class TGdiBase {
public:
    virtual ~TGdiBase() = default;
    // Makes the object current in the context.
    virtual void SelectIntoCGContext(Gfx::Context* context) const = 0;
    virtual int GDIType() const = 0;
};

// Pen styles: dash patterns of the lines a pen draws.
enum TPenStyle { kPenSolid = 0, kPenDash = 1, kPenDot = 2, kPenDashDot = 3, kPenDashDotDot = 4 };

class TPen : public TGdiBase {
public:
    explicit TPen(const TColor& colour, int width = 1, int style = kPenSolid)
        : mColour(colour), mWidth(width), mStyle(style) {}

    // Stroke colour; width at least 1; square caps; the style's dashes from phase 0.
    void SelectIntoCGContext(Gfx::Context* context) const override;
    int GDIType() const override { return 0; }

    const TColor& GetColour() const { return mColour; }
    int GetWidth() const { return mWidth; }
    int GetStyle() const { return mStyle; }

private:
    TColor mColour;
    int mWidth;
    int mStyle;
};

class TBrush : public TGdiBase {
public:
    explicit TBrush(const TColor& colour) : mColour(colour) {}

    void SelectIntoCGContext(Gfx::Context* context) const override;  // fill colour
    int GDIType() const override { return 1; }

    const TColor& GetColour() const { return mColour; }

private:
    TColor mColour;
};

// Every text is drawn in the system's one face; a font gives its size in points (0: the
// context's standard size) and measures as the context draws it.
class TFont : public TGdiBase {
public:
    explicit TFont(double points = 0) : mPoints(points) {}

    void SelectIntoCGContext(Gfx::Context*) const override {}
    int GDIType() const override { return 2; }
    double PointSize() const { return mPoints; }

    TSize GetTextExtent(TDC& dc, const wchar_t* text) const;
    // Without a context: no width, the fixed height.
    TSize GetTextExtent(const wchar_t* text) const;

private:
    double mPoints;
};

// The fonts the trace display asks for by face and size: the one font all the same.
class OrrelFont : public TFont {
public:
    OrrelFont(TDC& dc, int height, int weight, bool italic, bool underline, const wchar_t* face);
};
