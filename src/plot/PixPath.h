// The points of a long XY line reduced on the host to those its drawing keeps, so the page gets
// a few to each pixel instead of every one. The rule is the page's own (scatter.js), computed
// with the same double arithmetic: point (x, y) lies at pixel (xOrigin + (x - xOffset) *
// xScaling, yOrigin + (y - yOffset) * yScaling); one whose pixel is not finite or lies more
// than 1e6 pixels out ends the line, and one within a tenth of a pixel of the last point kept
// on both axes adds nothing to it.
//
// What is kept, as (x, y) pairs: every point the drawing keeps, and one (NaN, NaN) pair for
// each gap. Beside them, the range of each axis over the points whose x and y are both finite,
// as the page's autoscale takes it. The page's drawing over the kept pairs draws exactly what it
// draws over all the points.
#pragma once

#include <cstdint>
#include <vector>

namespace KVD {

class PixPath {
public:
    struct Mapping {
        double xOrigin, xOffset, xScaling;  // the x scale's pixel mapping
        double yOrigin, yOffset, yScaling;  // the y scale's
    };

    // Pairs go to `out`. The line goes on from the point (lastX, lastY) kept before, or starts
    // anew when either is NaN.
    PixPath(const Mapping& mapping, double lastX, double lastY, std::vector<double>& out);

    // The next points, in order.
    void Add(const float* x, const float* y, uint32_t count);
    // The number of points added.
    int64_t Count() const { return mAdded; }
    // The range of the finite points of an axis; low above high while there is none.
    double XLow() const { return mXLow; }
    double XHigh() const { return mXHigh; }
    double YLow() const { return mYLow; }
    double YHigh() const { return mYHigh; }

private:
    // Whether the point at pixel (px, py) ends the line.
    static bool Breaks(double px, double py);
    double PixelX(double x) const { return mMap.xOrigin + (x - mMap.xOffset) * mMap.xScaling; }
    double PixelY(double y) const { return mMap.yOrigin + (y - mMap.yOffset) * mMap.yScaling; }

    Mapping mMap;
    std::vector<double>& mOut;
    int64_t mAdded = 0;
    bool mInLine = false;   // a point is kept since the last gap
    bool mGapLast = false;  // the last pair written is a gap
    double mLastPx = 0, mLastPy = 0;
    double mXLow, mXHigh, mYLow, mYHigh;
};

}  // namespace KVD
