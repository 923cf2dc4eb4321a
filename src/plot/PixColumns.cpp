#include "plot/PixColumns.h"

#include <cmath>

namespace KVD {
namespace {

constexpr double kPixelLimit = 1e6;

}  // namespace

PixColumns::PixColumns(const Mapping& mapping, double index, std::vector<double>& out)
    : mMap(mapping), mIndex(index), mOut(out)
{
}

void PixColumns::Add(const float* samples, uint32_t count)
{
    for (uint32_t k = 0; k < count; ++k, mIndex += 1.0) {
        const double v = samples[k];
        // Written as the page writes it; this file is built without contracted multiply-adds.
        const double x = mMap.xFirst + mIndex * mMap.xStep;
        const double px = mMap.xOrigin + (x - mMap.xOffset) * mMap.xScaling;
        if (!std::isfinite(v) || !std::isfinite(x) || !(px >= -kPixelLimit && px <= kPixelLimit)) {
            EndRun();
            Gap(mIndex);
            continue;
        }
        const double column = std::floor(px);
        if (mInRun && column == mColumn) {
            if (v < mMinV) {
                mMinV = v;
                mMinI = mIndex;
            } else if (v > mMaxV) {
                mMaxV = v;
                mMaxI = mIndex;
            }
            ++mCount;
            continue;
        }
        EndRun();
        mInRun = true;
        mColumn = column;
        mCount = 1;
        mFirstI = mMinI = mMaxI = mIndex;
        mMinV = mMaxV = v;
    }
    mAdded += count;
}

void PixColumns::EndRun()
{
    if (!mInRun)
        return;
    mInRun = false;
    mGapLast = false;
    if (mCount == 1) {
        mOut.insert(mOut.end(), {mFirstI, mMinV});
        return;
    }
    if (mMinI == mMaxI) {  // every sample of the run alike
        mOut.insert(mOut.end(), {mFirstI, mMinV, mFirstI + 1, mMinV});
        return;
    }
    if (mMinI < mMaxI)
        mOut.insert(mOut.end(), {mMinI, mMinV, mMaxI, mMaxV});
    else
        mOut.insert(mOut.end(), {mMaxI, mMaxV, mMinI, mMinV});
}

void PixColumns::Gap(double index)
{
    if (mGapLast)
        return;
    mGapLast = true;
    mOut.insert(mOut.end(), {index, std::nan("")});
}

int64_t PixColumns::Finish()
{
    EndRun();
    return mAdded;
}

}  // namespace KVD
