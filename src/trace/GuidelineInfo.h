// The two guidelines of a channel, read from the host's settings: their values and units, line
// colours, the shading of the regions above, between and below them, and which are shown.
#pragma once

#include <cstdint>

#include "foundation/KVDString.h"
#include "foundation/draw/TColor.h"

struct ISettingsRegistrar;

namespace OrrelDraw {

// Settings keys (with the channel and, for the first two, the guideline's index 1 or 2).
constexpr uint32_t kGuidelineLineKey = 0x800C0084;
constexpr uint32_t kGuidelineShadeKey = 0x800C0085;
constexpr uint32_t kGuidelineValueKey = 0x800C0086;

// The stored values under those keys; colours are 24-bit RGB, red in the low byte.
struct GuidelineLineRecord {
    uint8_t on;
    uint8_t lineShown;
    uint8_t reserved[2];
    uint32_t rgb;
};
struct GuidelineValueRecord {
    double value;
    char units[24];   // UTF-8, NUL-terminated
    char prefix[8];
};
struct GuidelineShadeRecord {
    uint8_t top, middle, bottom, reserved;
    uint32_t topRgb, middleRgb, bottomRgb;
};

// The colour choices for guideline shading and lines: eight each, empty (clear) at start-up
// until something fills them.
constexpr int kGuidelineColourChoices = 8;
extern TColor kShadeColours[kGuidelineColourChoices];
extern TColor kLineColours[kGuidelineColourChoices];

struct GuidelineInfo {
    enum : uint32_t {
        kLine1Shown = 1u << 0,
        kLine2Shown = 1u << 1,
        kTopShaded = 1u << 2,
        kBottomShaded = 1u << 3,
        kMiddleShaded = 1u << 4,
        kGuideline1On = 1u << 5,
        kGuideline2On = 1u << 6,
    };
    static const TColor kDefaultLineColor;
    static const TColor kDefaultTopRegionColor;
    static const TColor kDefaultMidRegionColor;
    static const TColor kDefaultBottomRegionColor;

    double value1 = 0.0;
    double value2 = 0.0;
    KVD::String units1, prefix1, units2, prefix2;
    TColor lineColour1 = kDefaultLineColor;
    TColor lineColour2 = kDefaultLineColor;
    TColor topColour = kDefaultTopRegionColor;
    TColor midColour = kDefaultMidRegionColor;
    TColor bottomColour = kDefaultBottomRegionColor;
    uint32_t flags = 0;

    // Each value in its guideline's prefixed units.
    void GetValuesInUnits(double* first, double* second) const;
    // Reads the channel's keys; a key that cannot be read leaves its fields.
    void SetFromSettingsReg(const ISettingsRegistrar* registrar, int channel);
};

}  // namespace OrrelDraw
