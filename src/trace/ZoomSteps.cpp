#include "trace/ZoomSteps.h"

#include <algorithm>
#include <cstdio>

namespace OrrelDraw {

namespace {

const double kLookupTable[kZoomStepCount] = {0.1,  0.2,  0.5,  1,     2,     5,     10,    20,     50,     100,   200,
                                             500,  1000, 2000, 5000,  10000, 20000, 50000, 100000, 200000, 500000};

KVD::String ThreeDigits(double v, const char* prefix, const char* suffix)
{
    char text[64];
    std::snprintf(text, sizeof text, "%s%.3g%s", prefix, v, suffix);
    KVD::String out;
    for (const char* c = text; *c != 0; ++c)
        out += wchar_t(*c);
    return out;
}

}  // namespace

TicksPerPix ZoomStepRatio(int index)
{
    const double v = kLookupTable[std::clamp(index, 0, kZoomStepCount - 1)];
    // The steps below one are tenths; the rest whole numbers.
    TicksPerPix ratio = v < 1 ? TicksPerPix((long long)(v * 10 + 0.5), 10) : TicksPerPix((long long)v, 1);
    return ratio.normalize();
}

KVD::String CompressionLabel(const TicksPerPix& ratio)
{
    const double v = ratio.denominator() == 0 ? 0.0 : double(ratio.numerator()) / double(ratio.denominator());
    if (v > 999.999)
        return ThreeDigits(v / 1000, "", "k:1");
    if (v >= 1)
        return ThreeDigits(v, "", ":1");
    if (v == 0)
        return KVD::String(L"x?");
    return ThreeDigits(1 / v, "x", "");
}

}  // namespace OrrelDraw
