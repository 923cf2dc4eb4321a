#include "trace/OrrelColours.h"

#include <cmath>

#include "IDisplaySettings.h"
#include "trace/DrawUtils.h"

namespace {

TColor C(uint16_t r, uint16_t g, uint16_t b)
{
    return TColor(uint16_t(r * 257), uint16_t(g * 257), uint16_t(b * 257), 1.0f);
}

}  // namespace

const TColor OrrelColours::sExtendedColours[37] = {
    C(213, 0, 0),     C(234, 88, 0),    C(170, 128, 0),   C(168, 191, 0),   C(85, 170, 0),    C(14, 106, 0),
    C(0, 128, 32),    C(0, 170, 106),   C(0, 170, 170),   C(0, 147, 234),   C(0, 64, 255),    C(19, 0, 149),
    C(106, 0, 213),   C(168, 0, 191),   C(213, 0, 159),   C(234, 0, 88),    C(106, 106, 106), C(0, 0, 0),
    C(234, 85, 255),  C(255, 106, 218), C(255, 128, 175), C(255, 106, 106), C(255, 163, 106), C(255, 213, 85),
    C(237, 255, 106), C(170, 255, 85),  C(69, 255, 43),   C(64, 255, 112),  C(85, 255, 191),  C(64, 255, 255),
    C(106, 200, 255), C(106, 143, 255), C(125, 106, 255), C(181, 106, 255), C(181, 181, 181), C(138, 138, 138),
    C(85, 85, 85)};

const TColor* OrrelColours::sColours = OrrelColours::sExtendedColours;

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
    sColours = sExtendedColours;
    uint32_t rgb = 0;
    if (library != nullptr && library->GetLibraryColour(kColourGroupGraticule, index, &rgb) == KVD_S_OK)
        return rgb;
    return OrrelDraw::RgbFromColour(sColours[index % sMaxNumGratColours + sGratColourBase]);
}
