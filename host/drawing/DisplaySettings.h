// The host's display settings of a data view: background, grid and headers of the display,
// per-channel trace colour, line type and pen width, and the colour library. Channels without
// a colour of their own take the library's channel colour of their number.
#pragma once

#include <map>

#include "IDisplaySettings.h"
#include "foundation/UnknownImp.h"

namespace Host {

class DisplaySettings final
    : public KVD::detail::CountedUnknown<IChannelDisplaySettings2, IKVDOrrelDisplaySettings, IColourLibrary> {
public:
    // New settings with one reference: white background, grey dotted grid, headers shown.
    static DisplaySettings* Create();
    // The same, asked about one channel: its trace colour is the one given, and the trace
    // colour asked without a channel is that channel's.
    static DisplaySettings* CreateForChannel(int32_t channel, uint32_t rgb);
    // The library's trace colour of a channel, 24-bit RGB with red in the low byte.
    static uint32_t LibraryChannelColour(int32_t channel);

    void SetBackground(uint32_t rgb) { mBackground = rgb; }
    void SetGrid(uint32_t rgb, bool show, uint32_t style);
    void SetShowHeaders(bool show) { mShowHeaders = show; }
    void SetChannel(int32_t channel, uint32_t rgb, uint32_t polyLineType, int32_t penWidth);

    // IChannelDisplaySettings2: the trace colour of the settings' channel (0 unless made for
    // one) when asked without a channel.
    HRESULT GetTraceColour(uint32_t* rgb) const override;
    HRESULT GetChannelTraceColour(int32_t channel, uint32_t* rgb) const override;
    HRESULT GetPolyLineType(int32_t channel, uint32_t* type) const override;
    HRESULT GetPenWidth(int32_t channel, int32_t* width) const override;
    HRESULT GetDisplayValue(int32_t channel, uint32_t* value) const override;
    // IKVDOrrelDisplaySettings
    HRESULT GetShowGrid(AutoBool* show) const override;
    HRESULT GetColour(int which, int part, uint32_t* rgb, int flags) const override;
    HRESULT GetGridStyle(uint32_t* style) const override;
    HRESULT GetShowHeaders(AutoBool* show) const override;
    // IColourLibrary
    HRESULT GetLibraryColour(uint32_t group, uint32_t index, uint32_t* rgb) const override;

private:
    DisplaySettings() = default;
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);

    struct Channel {
        uint32_t rgb;
        uint32_t type;
        int32_t penWidth;
    };
    uint32_t mBackground = 0xFFFFFF;
    uint32_t mGrid = 0xB5B5B5;
    bool mShowGrid = true;
    uint32_t mGridStyle = 0;
    bool mShowHeaders = true;
    std::map<int32_t, Channel> mChannels;
    int32_t mTraceChannel = 0;
};

}  // namespace Host
