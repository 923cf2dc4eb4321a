#include "host/drawing/DisplaySettings.h"

namespace Host {
namespace {

// RGB with red in the low byte.
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | g << 8 | b << 16; }

const uint32_t kChannelColours[] = {Rgb(213, 0, 0),   Rgb(0, 64, 255),  Rgb(14, 106, 0),  Rgb(168, 0, 191),
                                    Rgb(234, 88, 0),  Rgb(0, 147, 234), Rgb(106, 106, 106)};
const uint32_t kGraticuleColours[] = {Rgb(181, 181, 181), Rgb(138, 138, 138), Rgb(85, 85, 85)};

template <class T>
bool Out(T* p)
{
    return p != nullptr;
}

}  // namespace

DisplaySettings* DisplaySettings::Create()
{
    return KVD::MakeCounted<DisplaySettings>().Forget();
}

uint32_t DisplaySettings::LibraryChannelColour(int32_t channel)
{
    const int32_t count = int32_t(sizeof kChannelColours / sizeof kChannelColours[0]);
    return kChannelColours[((channel % count) + count) % count];
}

DisplaySettings* DisplaySettings::CreateForChannel(int32_t channel, uint32_t rgb)
{
    DisplaySettings* settings = Create();
    settings->mTraceChannel = channel;
    settings->SetChannel(channel, rgb & 0xFFFFFF, 0, 1);
    return settings;
}

void DisplaySettings::SetGrid(uint32_t rgb, bool show, uint32_t style)
{
    mGrid = rgb;
    mShowGrid = show;
    mGridStyle = style;
}

void DisplaySettings::SetChannel(int32_t channel, uint32_t rgb, uint32_t type, int32_t penWidth)
{
    mChannels[channel] = {rgb, type, penWidth};
}

HRESULT DisplaySettings::GetTraceColour(uint32_t* rgb) const
{
    return GetChannelTraceColour(mTraceChannel, rgb);
}

HRESULT DisplaySettings::GetChannelTraceColour(int32_t channel, uint32_t* rgb) const
{
    if (!Out(rgb))
        return KVD_E_POINTER;
    const auto it = mChannels.find(channel);
    if (it != mChannels.end()) {
        *rgb = it->second.rgb;
        return KVD_S_OK;
    }
    return GetLibraryColour(kColourGroupChannels, uint32_t(channel < 0 ? 0 : channel), rgb);
}

HRESULT DisplaySettings::GetPolyLineType(int32_t channel, uint32_t* type) const
{
    if (!Out(type))
        return KVD_E_POINTER;
    const auto it = mChannels.find(channel);
    *type = it == mChannels.end() ? 0 : it->second.type;
    return KVD_S_OK;
}

HRESULT DisplaySettings::GetPenWidth(int32_t channel, int32_t* width) const
{
    if (!Out(width))
        return KVD_E_POINTER;
    const auto it = mChannels.find(channel);
    *width = it == mChannels.end() ? 1 : it->second.penWidth;
    return KVD_S_OK;
}

HRESULT DisplaySettings::GetDisplayValue(int32_t channel, uint32_t* value) const
{
    if (!Out(value))
        return KVD_E_POINTER;
    *value = mChannels.count(channel) != 0 ? 1 : 0;
    return KVD_S_OK;
}

HRESULT DisplaySettings::GetColour(int which, int part, uint32_t* rgb, int) const
{
    if (!Out(rgb))
        return KVD_E_POINTER;
    if (part != 0 || (which != kDisplayColourGraticule && which != kDisplayColourBackground))
        return KVD_E_BADSTATE;
    *rgb = which == kDisplayColourGraticule ? mGrid : mBackground;
    return KVD_S_OK;
}

HRESULT DisplaySettings::GetShowGrid(AutoBool* show) const
{
    if (!Out(show))
        return KVD_E_POINTER;
    *show = mShowGrid ? kAutoTrue : kAutoFalse;
    return KVD_S_OK;
}

HRESULT DisplaySettings::GetGridStyle(uint32_t* style) const
{
    if (!Out(style))
        return KVD_E_POINTER;
    *style = mGridStyle;
    return KVD_S_OK;
}

HRESULT DisplaySettings::GetShowHeaders(AutoBool* show) const
{
    if (!Out(show))
        return KVD_E_POINTER;
    *show = mShowHeaders ? kAutoTrue : kAutoFalse;
    return KVD_S_OK;
}

HRESULT DisplaySettings::GetLibraryColour(uint32_t group, uint32_t index, uint32_t* rgb) const
{
    if (!Out(rgb))
        return KVD_E_POINTER;
    if (group == kColourGroupChannels)
        *rgb = LibraryChannelColour(int32_t(index % (sizeof kChannelColours / sizeof kChannelColours[0])));
    else if (group == kColourGroupGraticule)
        *rgb = kGraticuleColours[index % (sizeof kGraticuleColours / sizeof kGraticuleColours[0])];
    else
        return KVD_E_BADSTATE;
    return KVD_S_OK;
}

}  // namespace Host
