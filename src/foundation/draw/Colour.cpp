#include "foundation/draw/Colour.h"

#include <algorithm>
#include <cmath>

namespace KVD {
namespace {

double Clamp01(double v) {
    return std::min(1.0, std::max(0.0, v));
}

uint16_t Scaled(double component) {
    return static_cast<uint16_t>(static_cast<int>(component * 255 * 255));
}

uint16_t Adjusted(uint16_t component, int step, int maximum) {
    return static_cast<uint16_t>(std::min(maximum, std::max(0, component + step)));
}

}  // namespace

Colour::Colour(unsigned long rgb)
    : mRed((rgb & 0xFF) / 256.0), mGreen(((rgb >> 8) & 0xFF) / 256.0), mBlue(((rgb >> 16) & 0xFF) / 256.0),
      mTopByte(static_cast<uint32_t>(rgb & 0xFF000000)) {
    RGBtoHSV();
}

void Colour::RGBtoHSV() {
    double max = std::max({mRed, mGreen, mBlue}), min = std::min({mRed, mGreen, mBlue});
    mValue = max;
    if (max == 0) {
        mHue = -1;
        mSaturation = 0;
        return;
    }
    double delta = max - min;
    mSaturation = delta / max;
    if (delta == 0)
        mHue = 0;
    else if (mRed == max)
        mHue = (mGreen - mBlue) / delta;
    else if (mGreen == max)
        mHue = (mBlue - mRed) / delta + 2;
    else
        mHue = (mRed - mGreen) / delta + 4;
    mHue *= 60;
    if (mHue < 0)
        mHue += 360;
}

void Colour::HSVtoRGB() {
    if (mSaturation == 0) {
        mRed = mGreen = mBlue = mValue;
        return;
    }
    double h = mHue / 60, i = std::floor(h), f = h - i;
    double v = mValue, p = v * (1 - mSaturation), q = v * (1 - mSaturation * f), t = v * (1 - mSaturation * (1 - f));
    switch (static_cast<int>(i)) {
    case 0: mRed = v, mGreen = t, mBlue = p; break;
    case 1: mRed = q, mGreen = v, mBlue = p; break;
    case 2: mRed = p, mGreen = v, mBlue = t; break;
    case 3: mRed = p, mGreen = q, mBlue = v; break;
    case 4: mRed = t, mGreen = p, mBlue = v; break;
    default: mRed = v, mGreen = p, mBlue = q; break;
    }
}

Colour& Colour::Mute(double amount) {
    if (amount > 1 || amount < -1)
        amount = 1;
    double saturation = Clamp01(mSaturation - amount);
    double rest = (mSaturation - saturation) + amount;
    if (std::fabs(rest) > 0.01) {
        mValue += rest > 0 ? (1 - mValue) * rest : mValue * rest;
        mValue = Clamp01(mValue);
    }
    mSaturation = saturation;
    HSVtoRGB();
    return *this;
}

TColor MuteColour(TColor c, double amount) {
    Colour muted(c.Rgb());
    muted.Mute(amount);
    return TColor(Scaled(muted.GetRed()), Scaled(muted.GetGreen()), Scaled(muted.GetBlue()), 1.0f);
}

TColor AdjustColour(TColor c, double factor, double maximum) {
    int m = static_cast<int>(maximum);
    int step = static_cast<int>((3 * maximum - c.red - c.green - c.blue) * factor / 3);
    return TColor(Adjusted(c.red, step, m), Adjusted(c.green, step, m), Adjusted(c.blue, step, m), 1.0f);
}

}  // namespace KVD
