// The colour library of named colour groups and the event-draw classes that colour the events
// of a stream, beside the display settings of IOrrelDocument.h. Colours are 24-bit RGB, red in
// the low byte.
#pragma once

#include "IOrrelDocument.h"

// 23F0952F-2C36-4080-8DBC-B27ABDBB8F1B
inline constexpr _IID IID_IColourLibrary = {0x23F0952F, 0x2C36, 0x4080, {0x8D, 0xBC, 0xB2, 0x7A, 0xBD, 0xBB, 0x8F, 0x1B}};
// 62450E37-30C7-40DA-BC6D-1130F40236C8
inline constexpr _IID IID_IPODEventDrawClass = {0x62450E37, 0x30C7, 0x40DA, {0xBC, 0x6D, 0x11, 0x30, 0xF4, 0x02, 0x36, 0xC8}};

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
