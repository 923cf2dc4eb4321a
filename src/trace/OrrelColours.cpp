#include "trace/OrrelColours.h"

#include <cmath>

#include "IDisplaySettings.h"
#include "trace/DrawUtils.h"

namespace {

TColor C(uint16_t r, uint16_t g, uint16_t b)
{
    return TColor(uint16_t(r * 257), uint16_t(g * 257), uint16_t(b * 257), 1.0f);
}

// The grey of an 8-bit colour's lightness (luma, rounded).
TColor Grey(uint16_t r, uint16_t g, uint16_t b)
{
    const uint16_t y = uint16_t((299 * r + 587 * g + 114 * b + 500) / 1000);
    return C(y, y, y);
}

const TColor kBlack = C(0, 0, 0);

}  // namespace

const TColor OrrelColours::sExtendedColours[37] = {
    C(213, 0, 0),     C(234, 88, 0),    C(170, 128, 0),   C(168, 191, 0),   C(85, 170, 0),    C(14, 106, 0),
    C(0, 128, 32),    C(0, 170, 106),   C(0, 170, 170),   C(0, 147, 234),   C(0, 64, 255),    C(19, 0, 149),
    C(106, 0, 213),   C(168, 0, 191),   C(213, 0, 159),   C(234, 0, 88),    C(106, 106, 106), C(0, 0, 0),
    C(234, 85, 255),  C(255, 106, 218), C(255, 128, 175), C(255, 106, 106), C(255, 163, 106), C(255, 213, 85),
    C(237, 255, 106), C(170, 255, 85),  C(69, 255, 43),   C(64, 255, 112),  C(85, 255, 191),  C(64, 255, 255),
    C(106, 200, 255), C(106, 143, 255), C(125, 106, 255), C(181, 106, 255), C(181, 181, 181), C(138, 138, 138),
    C(85, 85, 85)};

// Deeper channel colours and darker graticule colours, for light backgrounds and projectors.
const TColor OrrelColours::sExtendedContrastColours[37] = {
    C(170, 0, 0),     C(191, 64, 0),    C(128, 96, 0),    C(112, 128, 0),   C(51, 128, 0),    C(0, 85, 0),
    C(0, 96, 16),     C(0, 128, 80),    C(0, 128, 128),   C(0, 102, 170),   C(0, 32, 213),    C(16, 0, 128),
    C(85, 0, 170),    C(128, 0, 149),   C(170, 0, 128),   C(191, 0, 64),    C(64, 64, 64),    C(0, 0, 0),
    C(191, 64, 213),  C(213, 64, 170),  C(213, 85, 128),  C(213, 64, 64),   C(213, 128, 64),  C(191, 160, 32),
    C(170, 191, 32),  C(106, 191, 32),  C(32, 191, 16),   C(32, 191, 80),   C(32, 191, 149),  C(32, 191, 191),
    C(64, 149, 213),  C(64, 96, 213),   C(96, 64, 213),   C(138, 64, 213),  C(128, 128, 128), C(96, 96, 96),
    C(51, 51, 51)};

const TColor OrrelColours::sExtendedBlackColours[37] = {
    kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack,
    kBlack, kBlack, kBlack, kBlack, kBlack, kBlack,
    Grey(234, 85, 255),  Grey(255, 106, 218), Grey(255, 128, 175), Grey(255, 106, 106), Grey(255, 163, 106),
    Grey(255, 213, 85),  Grey(237, 255, 106), Grey(170, 255, 85),  Grey(69, 255, 43),   Grey(64, 255, 112),
    Grey(85, 255, 191),  Grey(64, 255, 255),  Grey(106, 200, 255), Grey(106, 143, 255), Grey(125, 106, 255),
    Grey(181, 106, 255), Grey(181, 181, 181), Grey(138, 138, 138), Grey(85, 85, 85)};

const TColor* OrrelColours::sColours = OrrelColours::sExtendedColours;

void OrrelColours::SelectPalette(Palette palette)
{
    switch (palette) {
    case kContrastPalette:
        sColours = sExtendedContrastColours;
        break;
    case kBlackPalette:
        sColours = sExtendedBlackColours;
        break;
    default:
        sColours = sExtendedColours;
        break;
    }
}

const int OrrelColours::sDefaultColourOrder[18] = {0, 10, 5, 14, 11, 7, 2, 12, 6, 1, 9, 4, 15, 13, 8, 16, 3, 17};

TColor OrrelColours::ChannelColour(int channel)
{
    const int n = sMaxNumChannelColours;
    const int slot = ((channel % n) + n) % n + sChannelColourBase;
    const TColor c = sColours[sDefaultColourOrder[slot] % n + sChannelColourBase];
    return OrrelDraw::ColourFromRgb(OrrelDraw::RgbFromColour(c));
}

uint32_t OrrelColours::GetGraticuleColour(const IColourLibrary* library, unsigned short index)
{
    SelectPalette(kExtendedPalette);
    uint32_t rgb = 0;
    if (library != nullptr && library->GetLibraryColour(kColourGroupGraticule, index, &rgb) == KVD_S_OK)
        return rgb;
    return OrrelDraw::RgbFromColour(sColours[index % sMaxNumGratColours + sGratColourBase]);
}
