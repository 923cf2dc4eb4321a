// The colour palettes of traces and graticules: 18 channel colours followed by 19 graticule
// colours, each 8-bit value stored × 257. Besides the default (extended) palette there is one
// of stronger contrast and one for black-and-white output (black traces, grey graticules of the
// default ones' lightness); one of them is selected at a time.
#pragma once

#include <cstdint>

#include "foundation/draw/TColor.h"

struct IColourLibrary;

class OrrelColours {
public:
    enum Palette { kExtendedPalette, kContrastPalette, kBlackPalette };

    static const TColor sExtendedColours[37];
    static const TColor sExtendedContrastColours[37];
    static const TColor sExtendedBlackColours[37];
    static const TColor* sColours;  // the selected table
    static const int sDefaultColourOrder[18];
    static const int sMaxNumColours = 37;
    static const int sMaxNumChannelColours = 18;
    static const int sMaxNumGratColours = 19;
    static const int sChannelColourBase = 0;
    static const int sGratColourBase = 18;
    static const int sGratDefaultColour = 29;

    // Makes the palette's table the one colours are taken from.
    static void SelectPalette(Palette palette);
    // The default trace colour of a channel number.
    static TColor ChannelColour(int channel);
    // The 24-bit RGB of graticule colour index: from the library when given, else the table.
    static uint32_t GetGraticuleColour(const IColourLibrary* library, unsigned short index);
};
