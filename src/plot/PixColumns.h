// The samples of a wide time plot reduced to what its pixel columns show, on the host, so the
// page gets a few values per column instead of every sample. The rule is the page's own
// reduction (draw.js, column_reduce) computed with the same double arithmetic: sample i lies at
// x = xFirst + i * xStep and in column floor(xOrigin + (x - xOffset) * xScaling); a NaN or
// infinite sample, or one more than 1e6 pixels out, ends the line.
//
// What is kept, as (index, value) pairs: of each run of samples in one column without a gap,
// its only sample, or its minimum and maximum (the first of each, in the order they came; a
// flat run keeps its first two samples); and one (index, NaN) pair for each gap. The page's
// reduction over the kept pairs draws exactly what it draws over all the samples.
#pragma once

#include <cstdint>
#include <vector>

namespace KVD {

class PixColumns {
public:
    struct Mapping {
        double xFirst, xStep;                // the plot's x of sample index 0, and its step
        double xOrigin, xOffset, xScaling;   // the x scale's pixel mapping
    };

    // Pairs go to `out` (index, value, index, value, ...); the first sample has index `index`.
    PixColumns(const Mapping& mapping, double index, std::vector<double>& out);

    // The next samples, in order.
    void Add(const float* samples, uint32_t count);
    // Ends the last run; returns the number of samples added.
    int64_t Finish();

private:
    void EndRun();
    void Gap(double index);

    Mapping mMap;
    double mIndex;  // of the next sample
    std::vector<double>& mOut;
    int64_t mAdded = 0;
    bool mInRun = false;
    bool mGapLast = false;  // the last pair written is a gap
    double mColumn = 0;
    int64_t mCount = 0;
    double mFirstI = 0, mMinI = 0, mMaxI = 0;
    double mMinV = 0, mMaxV = 0;
};

}  // namespace KVD
