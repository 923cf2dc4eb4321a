// Colour arithmetic in HSV, for muting and adjusting trace colours.
#pragma once

#include <cstdint>

#include "foundation/draw/TColor.h"

namespace KVD {

class Colour {
public:
    // From packed 0x00BBGGRR; components are byte / 256, so 0xFF gives 255/256.
    explicit Colour(unsigned long rgb);

    void RGBtoHSV();
    void HSVtoRGB();
    // Takes amount of saturation away (a negative amount adds it) and moves the value towards
    // white by what went, or towards black by what came; amounts outside −1..1 count as 1.
    Colour& Mute(double amount);

    double GetRed() const { return mRed; }
    double GetGreen() const { return mGreen; }
    double GetBlue() const { return mBlue; }
    uint32_t GetTopByte() const { return mTopByte; }
    double GetHue() const { return mHue; }  // degrees, −1 for a grey
    double GetSaturation() const { return mSaturation; }
    double GetValue() const { return mValue; }

private:
    double mRed, mGreen, mBlue;
    uint32_t mTopByte;  // rgb & 0xFF000000 as given
    double mHue = -1, mSaturation = 0, mValue = 0;
};

// c muted through HSV (Colour::Mute); components scale by 255 × 255, alpha 1.0.
TColor MuteColour(TColor c, double amount);
// Moves every component of c by the same step towards (factor > 0) or away from maximum,
// the step being factor times the mean distance to it; clamped to 0..maximum, alpha 1.0.
TColor AdjustColour(TColor c, double factor, double maximum);

}  // namespace KVD
