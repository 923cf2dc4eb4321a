// The recorded data of a document (records of channels). Calculation variables receive it
// when they create their enumerators; the data document declares its operations here.
#pragma once

#include "IUnknown.h"

// A15DE062-11E3-4CE7-89E3-B40CF2A93C89
inline constexpr _IID IID_IRecordData = {0xA15DE062, 0x11E3, 0x4CE7, {0x89, 0xE3, 0xB4, 0x0C, 0xF2, 0xA9, 0x3C, 0x89}};

struct IRecordData : IUnknown {
};
KVD_INTERFACE_ID(IRecordData, IID_IRecordData);
