// What the data view's overlays draw over the plots: breath boundaries and shading, the zero
// line, PEF and PIF on the flow plot, FEV1, one second and FVC on the volume plot. The same
// drawing serves the screen and the printed page; only the mapping of seconds and values to
// pixels, read from the plot page, differs.
#pragma once

#include "KVDTypes.h"
#include "foundation/draw/TDC.h"

namespace Spirometry {

class SpiroDocument;
struct Breath;

// value = pixel x factor + offset.
struct UserScaling {
    double factor = 1.0;
    double offset = 0.0;
};

class SpiroGraph {
public:
    static const TColor VeryLightGreyColor, LightGreyColor, GreyColor, DarkGreyColor;
    static const TPen LightGreyPen, GreyPen, GreenPen, BluePen, BlackPen, RedPen;
    // The least distance between two breath lines of one kind, in the drawing context's units
    // (the pen is one unit wide: a pixel on screen, a point in print and in the copy). Closer
    // lines are left out.
    static constexpr int kLineGap = 4;

    explicit SpiroGraph(SpiroDocument* document) : mDocument(document) {}
    virtual ~SpiroGraph() = default;
    SpiroGraph(const SpiroGraph&) = delete;
    SpiroGraph& operator=(const SpiroGraph&) = delete;

    // The pixel of a value from the top of the data area, and of a position from its left.
    virtual double ValueToPix(double value) const = 0;
    virtual int XPFor(const KVDPosition& position) const = 0;
    // Boundaries and shading of every breath, then the zero line; crowded boundaries thinned
    // to kLineGap.
    virtual void DrawUnderData(TDC& dc, const TRect& rect, const TRect& clip);
    virtual void DrawOverData(TDC&, const TRect&, const TRect&) {}

    void DrawData(TDC& dc, const TRect& rect, const TRect& clip);
    // Text at this multiple of the drawing layer's standard size: a printed page draws the
    // plots smaller or larger than the screen, and the marks' labels keep their proportion.
    void SetTextScale(double scale) { mTextScale = scale; }
    // A vertical line from yA to yB with a gap for a label in the middle, arrowheads at both ends.
    static void ArrowsAndVerticalLine(TDC& dc, int x, int yA, int yB, int gap);
    static void ArrowsAndHorizontalLine(TDC& dc, int y, int xA, int xB);

    // Landmarks 0 to 6: start, end, FEV/FVC start and end, PIF, PEF, the flow reversal.
    static KVDPosition Landmark(const Breath& breath, int index);
    double TicksPerPixel() const { return mTicksPerPixel; }

protected:
    // The sample of the flow (or volume) channel; 0 where the position lies outside its record.
    float FlowAt(const KVDPosition& position) const;
    float VolumeAt(const KVDPosition& position) const;

    SpiroDocument* mDocument;  // not owned
    double mTicksPerPixel = 0.0;
    double mTextScale = 1.0;
};

class SpiroGraphMac : public SpiroGraph {
public:
    using SpiroGraph::SpiroGraph;

    void SetScalingX(const UserScaling& scaling) { mX = scaling; }
    void SetScalingY(const UserScaling& scaling) { mY = scaling; }
    const UserScaling& ScalingX() const { return mX; }
    const UserScaling& ScalingY() const { return mY; }

    double PixToTime(double px) const { return px * mX.factor + mX.offset; }
    // The sample position at the pixel, counted from the breath span's start.
    KVDPosition PixToPos(double px) const;
    int XPFor(const KVDPosition& position) const override;
    double PosToPix(const KVDPosition& position) const { return XPFor(position); }
    double ValueToPix(double value) const override { return (value - mY.offset) / mY.factor; }
    double DataToPix(double value) const { return ValueToPix(value); }

private:
    UserScaling mX, mY;
};

template <class Base>
class SpiroFlowGraph : public Base {
public:
    using Base::Base;
    // The boundaries, and a line at each breath's flow reversal, thinned as the boundaries.
    void DrawUnderData(TDC& dc, const TRect& rect, const TRect& clip) override;
    // PEF (and PIF, unless excluded) of the forced and excluded breaths.
    void DrawOverData(TDC& dc, const TRect& rect, const TRect& clip) override;
};

template <class Base>
class SpiroVolumeGraph : public Base {
public:
    using Base::Base;
    void DrawOverData(TDC& dc, const TRect& rect, const TRect& clip) override;
    // FEV over the given seconds from the expiration's time zero, and FVC, of the forced and
    // excluded breaths.
    virtual void DoDrawOverData(TDC& dc, const TRect& rect, const TRect& clip, float seconds, bool labels,
                                const wchar_t* secondsText);
};

using SpiroFlowGraphMac = SpiroFlowGraph<SpiroGraphMac>;
using SpiroVolumeGraphMac = SpiroVolumeGraph<SpiroGraphMac>;

extern template class SpiroFlowGraph<SpiroGraphMac>;
extern template class SpiroVolumeGraph<SpiroGraphMac>;

}  // namespace Spirometry
