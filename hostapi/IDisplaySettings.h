// How the host wants traces shown: the display settings of a channel and of the display, the
// colour library of named colour groups, and the event-draw classes that colour the events of
// a stream. Colours are 24-bit RGB, red in the low byte.
#pragma once

#include "IUnknown.h"
#include "ResultCodes.h"

// 14BA4A7A-1C0C-48C5-81C3-C18B4DCA258E
inline constexpr _IID IID_IKVDOrrelDisplaySettings = {0x14BA4A7A, 0x1C0C, 0x48C5, {0x81, 0xC3, 0xC1, 0x8B, 0x4D, 0xCA, 0x25, 0x8E}};
// 97BE3EB0-CB3E-4E09-AD62-DC0641F151E0
inline constexpr _IID IID_IChannelDisplaySettings2 = {0x97BE3EB0, 0xCB3E, 0x4E09, {0xAD, 0x62, 0xDC, 0x06, 0x41, 0xF1, 0x51, 0xE0}};

// 23F0952F-2C36-4080-8DBC-B27ABDBB8F1B
inline constexpr _IID IID_IColourLibrary = {0x23F0952F, 0x2C36, 0x4080, {0x8D, 0xBC, 0xB2, 0x7A, 0xBD, 0xBB, 0x8F, 0x1B}};
// 62450E37-30C7-40DA-BC6D-1130F40236C8
inline constexpr _IID IID_IPODEventDrawClass = {0x62450E37, 0x30C7, 0x40DA, {0xBC, 0x6D, 0x11, 0x30, 0xF4, 0x02, 0x36, 0xC8}};

// Display settings of a channel, and of every channel of the display by number.
struct IChannelDisplaySettings2 : IUnknown {
    virtual HRESULT GetTraceColour(uint32_t* rgb) const = 0;                              // slot 3
    virtual HRESULT GetChannelTraceColour(int32_t channel, uint32_t* rgb) const = 0;      // slot 4
    // 0 a poly-line, 1 a poly-line drawn lighter for sweeps shown behind the current one.
    virtual HRESULT GetPolyLineType(int32_t channel, uint32_t* type) const = 0;           // slot 5
    virtual HRESULT GetPenWidth(int32_t channel, int32_t* width) const = 0;               // slot 6
    // The value a data pane keeps for the channel's pane.
    virtual HRESULT GetDisplayValue(int32_t channel, uint32_t* value) const = 0;          // slot 7
};

// Colours of GetColour (which, part 0).
constexpr int kDisplayColourGraticule = 0;
constexpr int kDisplayColourBackground = 1;

struct IKVDOrrelDisplaySettings : IUnknown {
    virtual HRESULT GetShowGrid(AutoBool* show) const = 0;                                // slot 3
    // A colour of the settings as 24-bit RGB, red in the low byte; which 0, part 0: the graticule.
    virtual HRESULT GetColour(int which, int part, uint32_t* rgb, int flags) const = 0;   // slot 4
    // 0 dotted grid lines, any other value dash-dot-dot.
    virtual HRESULT GetGridStyle(uint32_t* style) const = 0;                              // slot 5
    virtual HRESULT GetShowHeaders(AutoBool* show) const = 0;                             // slot 6
};

KVD_INTERFACE_ID(IChannelDisplaySettings2, IID_IChannelDisplaySettings2);
KVD_INTERFACE_ID(IKVDOrrelDisplaySettings, IID_IKVDOrrelDisplaySettings);

// Colour groups of the library.
constexpr uint32_t kColourGroupChannels = 0;
constexpr uint32_t kColourGroupGraticule = 18;

struct IColourLibrary : IUnknown {
    virtual HRESULT GetLibraryColour(uint32_t group, uint32_t index, uint32_t* rgb) const = 0;  // slot 3
};
KVD_INTERFACE_ID(IColourLibrary, IID_IColourLibrary);

// The class object, named by a stream's event type, that colours the stream's events.
struct IPODEventDrawClass : IUnknown {
    // event points at one record of the stream.
    virtual HRESULT GetEventColour(const uint8_t* event, uint32_t* rgb) = 0;               // slot 3
};
KVD_INTERFACE_ID(IPODEventDrawClass, IID_IPODEventDrawClass);
