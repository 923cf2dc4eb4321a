// Categories under which the host finds the class objects of computed channels and of their
// settings records.
#pragma once

#include "KVDTypes.h"

// 5388E470-F2ED-11D2-809C-00A0C9E26433: calculation classes (ICalculationClass)
inline constexpr _IID CATID_CHANNELCALCULATIONS = {0x5388E470, 0xF2ED, 0x11D2, {0x80, 0x9C, 0x00, 0xA0, 0xC9, 0xE2, 0x64, 0x33}};
// E058F3B0-DCE3-11D3-80E8-00A0C9E26433: their settings classes (IPersistClassObject)
inline constexpr _IID CATID_CHANNELCALCULATIONSETTINGS = {0xE058F3B0, 0xDCE3, 0x11D3, {0x80, 0xE8, 0x00, 0xA0, 0xC9, 0xE2, 0x64, 0x33}};
