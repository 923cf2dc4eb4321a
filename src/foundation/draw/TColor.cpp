#include "foundation/draw/TColor.h"

namespace {

// The float step keeps the rounding of the original packing: 0xFFFF gives 0xFF, 0x7FFF 0x7F.
unsigned long ToByte(uint16_t c) {
    return static_cast<unsigned long>(static_cast<int>(static_cast<float>(c / 65535.0) * 255) & 0xFF);
}

double Unit(uint16_t c) {
    return static_cast<float>(c / 65535.0);
}

}  // namespace

const TColor TColor::White(0xFFFF, 0xFFFF, 0xFFFF);
const TColor TColor::LtYellow(0xFFFF, 0xFFFF, 0);
const TColor TColor::Grey(0x7FFF, 0x7FFF, 0x7FFF);
const TColor TColor::LtGrey(0xBFFF, 0xBFFF, 0xBFFF);
const TColor TColor::AppleUISeparatorGrey(0xA665, 0xA665, 0xA665);
const TColor TColor::DarkGrey(0x3FFF, 0x3FFF, 0x3FFF);
const TColor TColor::Black(0, 0, 0);

unsigned long TColor::Rgb() const {
    return ToByte(red) | ToByte(green) << 8 | ToByte(blue) << 16;
}

Gfx::Color TColor::ToGfx() const {
    return {Unit(red), Unit(green), Unit(blue), alpha};
}
