#include "plot/PixPath.h"

#include <cmath>
#include <limits>

namespace KVD {
namespace {

constexpr double kPixelLimit = 1e6;
constexpr double kSamePixel = 0.1;  // nearer on both axes adds nothing to the line

}  // namespace

PixPath::PixPath(const Mapping& mapping, double lastX, double lastY, std::vector<double>& out)
    : mMap(mapping),
      mOut(out),
      mXLow(std::numeric_limits<double>::infinity()),
      mXHigh(-std::numeric_limits<double>::infinity()),
      mYLow(mXLow),
      mYHigh(mXHigh)
{
    if (std::isnan(lastX) || std::isnan(lastY))
        return;
    mLastPx = PixelX(lastX);
    mLastPy = PixelY(lastY);
    mInLine = !Breaks(mLastPx, mLastPy);
}

bool PixPath::Breaks(double px, double py)
{
    return !std::isfinite(px) || !std::isfinite(py) || std::fabs(px) > kPixelLimit || std::fabs(py) > kPixelLimit;
}

void PixPath::Add(const float* x, const float* y, uint32_t count)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (uint32_t k = 0; k < count; ++k) {
        const double vx = x[k], vy = y[k];
        if (std::isfinite(vx) && std::isfinite(vy)) {
            mXLow = std::fmin(mXLow, vx);
            mXHigh = std::fmax(mXHigh, vx);
            mYLow = std::fmin(mYLow, vy);
            mYHigh = std::fmax(mYHigh, vy);
        }
        // Written as the page writes it; this file is built without contracted multiply-adds.
        const double px = PixelX(vx), py = PixelY(vy);
        if (!std::isfinite(vy) || Breaks(px, py)) {
            mInLine = false;
            if (!mGapLast)
                mOut.insert(mOut.end(), {nan, nan});
            mGapLast = true;
            continue;
        }
        if (mInLine && std::fabs(mLastPx - px) < kSamePixel && std::fabs(mLastPy - py) < kSamePixel)
            continue;
        mOut.insert(mOut.end(), {vx, vy});
        mInLine = true;
        mGapLast = false;
        mLastPx = px;
        mLastPy = py;
    }
    mAdded += count;
}

}  // namespace KVD
