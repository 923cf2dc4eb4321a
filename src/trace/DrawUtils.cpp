#include "trace/DrawUtils.h"

#include <algorithm>
#include <cmath>

namespace OrrelDraw {
namespace {

// p = 10^floor(log10(value)), m = value / p + 0.5: the first step m stays at or below.
void RoundUpSteps(double* value, int* digit, const int* steps, int count, int last)
{
    const double p = std::pow(10.0, std::floor(std::log10(*value)));
    const double m = *value / p + 0.5;
    int chosen = last;
    for (int i = 0; i < count; ++i)
        if (m <= steps[i]) {
            chosen = steps[i];
            break;
        }
    *digit = chosen;
    *value = p * chosen;
}

uint16_t Widen(uint32_t component)
{
    return static_cast<uint16_t>(std::trunc(component / 255.0 * 65535.0));
}

}  // namespace

void RoundUp125(double* value, int* digit)
{
    static const int kSteps[] = {1, 2, 5};
    RoundUpSteps(value, digit, kSteps, 3, 10);
}

void RoundUp1_2_6_12(double* value, int* digit)
{
    static const int kSteps[] = {1, 2, 6, 12};
    RoundUpSteps(value, digit, kSteps, 4, 24);
}

// The scaling back by 255 rather than 257 is kept: black becomes 65025, not 65535, and the
// callers' edge cases rely on it.
TColor gAdjustColorForBackground(TColor colour, TColor background)
{
    const bool white = background.red == TColor::White.red && background.green == TColor::White.green &&
                       background.blue == TColor::White.blue;
    if (white || background.Rgb() != TColor::Black.Rgb())
        return colour;
    const int r = colour.red & 0xFF, g = colour.green & 0xFF, b = colour.blue & 0xFF;
    const int s = r + g + b;
    const int delta = int((765.0f - 2.0f * float(s)) / 255.0f / 3.0f * 255.0f);
    auto moved = [delta](int c) { return uint16_t(std::clamp(c + delta, 0, 255) * 255); };
    return TColor(moved(r), moved(g), moved(b), 1.0f);
}

const TColor kRecordHeaderColour(0, 0, 32640);

TColor ColourFromRgb(uint32_t rgb)
{
    return TColor(Widen(rgb & 0xFF), Widen(rgb >> 8 & 0xFF), Widen(rgb >> 16 & 0xFF), 1.0f);
}

uint32_t RgbFromColour(const TColor& colour)
{
    return uint32_t(colour.Rgb() & 0xFFFFFF);
}

}  // namespace OrrelDraw
