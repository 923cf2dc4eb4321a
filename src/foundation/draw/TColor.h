// Colour of the drawing layer: 16-bit red, green and blue with a float alpha.
#pragma once

#include <cstdint>

#include "graphics/Color.h"

struct TColor {
    uint16_t red = 0, green = 0, blue = 0;
    float alpha = 1.0f;

    TColor() = default;
    TColor(uint16_t r, uint16_t g, uint16_t b, float a = 1.0f) : red(r), green(g), blue(b), alpha(a) {}

    // Packed 0x00BBGGRR, red in the low byte, from the top of each component.
    unsigned long Rgb() const;
    // As the drawing context takes it: each component / 65535.
    Gfx::Color ToGfx() const;

    bool operator==(const TColor& o) const {
        return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
    }
    bool operator!=(const TColor& o) const { return !(*this == o); }

    static const TColor White;
    static const TColor LtYellow;
    static const TColor Grey;
    static const TColor LtGrey;
    static const TColor AppleUISeparatorGrey;
    static const TColor DarkGrey;
    static const TColor Black;
};
