#include "trace/GuidelineInfo.h"

#include <cstring>

#include "ISettingsRegistrar.h"
#include "foundation/units/UnitPrefixScaling.h"
#include "framework/SRKey.h"
#include "trace/DrawUtils.h"

namespace OrrelDraw {

TColor kShadeColours[kGuidelineColourChoices] = {TColor(0, 0, 0, 0), TColor(0, 0, 0, 0), TColor(0, 0, 0, 0),
                                                 TColor(0, 0, 0, 0), TColor(0, 0, 0, 0), TColor(0, 0, 0, 0),
                                                 TColor(0, 0, 0, 0), TColor(0, 0, 0, 0)};
TColor kLineColours[kGuidelineColourChoices] = {TColor(0, 0, 0, 0), TColor(0, 0, 0, 0), TColor(0, 0, 0, 0),
                                                TColor(0, 0, 0, 0), TColor(0, 0, 0, 0), TColor(0, 0, 0, 0),
                                                TColor(0, 0, 0, 0), TColor(0, 0, 0, 0)};

const TColor GuidelineInfo::kDefaultLineColor(34935, 34935, 34935);
const TColor GuidelineInfo::kDefaultTopRegionColor(64770, 49470, 49470);
const TColor GuidelineInfo::kDefaultMidRegionColor(45135, 64770, 50235);
const TColor GuidelineInfo::kDefaultBottomRegionColor(64770, 49470, 49470);

namespace {

double InUnits(double value, const KVD::String& prefix)
{
    return prefix.empty() ? value : value / UnitPrefixScaling::sScaleUnitsToPrefixedUnits(prefix.c_str()[0]);
}

template <class Record>
bool ReadValue(const ISettingsRegistrar* registrar, const SRKey& key, Record& record)
{
    uint32_t size = 0;
    return key.GetKey() != nullptr &&
           registrar->GetValue(key.GetKey(), &record, uint32_t(sizeof record), &size) == KVD_S_OK &&
           size == sizeof record;
}

KVD::String Text(const char* bytes, size_t capacity)
{
    return KVD::ToKVDString(std::string(bytes, strnlen(bytes, capacity)));
}

void SetBit(uint32_t& flags, uint32_t bit, bool on)
{
    flags = on ? flags | bit : flags & ~bit;
}

}  // namespace

void GuidelineInfo::GetValuesInUnits(double* first, double* second) const
{
    if (first != nullptr)
        *first = InUnits(value1, prefix1);
    if (second != nullptr)
        *second = InUnits(value2, prefix2);
}

void GuidelineInfo::SetFromSettingsReg(const ISettingsRegistrar* registrar, int channel)
{
    if (registrar == nullptr)
        return;
    for (unsigned index = 1; index <= 2; ++index) {
        GuidelineLineRecord line{};
        if (ReadValue(registrar, SRKey(kGuidelineLineKey, unsigned(channel), index, nullptr), line)) {
            SetBit(flags, index == 1 ? kGuideline1On : kGuideline2On, line.on != 0);
            SetBit(flags, index == 1 ? kLine1Shown : kLine2Shown, line.lineShown != 0);
            (index == 1 ? lineColour1 : lineColour2) = ColourFromRgb(line.rgb);
        }
        GuidelineValueRecord value{};
        if (ReadValue(registrar, SRKey(kGuidelineValueKey, unsigned(channel), index, nullptr), value)) {
            (index == 1 ? value1 : value2) = value.value;
            (index == 1 ? units1 : units2) = Text(value.units, sizeof value.units);
            (index == 1 ? prefix1 : prefix2) = Text(value.prefix, sizeof value.prefix);
        }
    }
    GuidelineShadeRecord shade{};
    if (ReadValue(registrar, SRKey(kGuidelineShadeKey, unsigned(channel), nullptr), shade)) {
        SetBit(flags, kTopShaded, shade.top != 0);
        topColour = ColourFromRgb(shade.topRgb);
        SetBit(flags, kMiddleShaded, shade.middle != 0);
        midColour = ColourFromRgb(shade.middleRgb);
        SetBit(flags, kBottomShaded, shade.bottom != 0);
        bottomColour = ColourFromRgb(shade.bottomRgb);
    }
}

}  // namespace OrrelDraw
