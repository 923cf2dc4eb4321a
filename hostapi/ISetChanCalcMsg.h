// The host's set-channel-calculation message: a plug-in fills it with a calculation type, a
// channel and the calculation's new settings, stores it in the settings registrar and sends it
// to its document; the host then configures the channel's calculation with the settings, which
// recomputes the channel. The same object answers IMessage and IPersistObject.
#pragma once

#include "IUnknown.h"

struct IPersistObject;

// C1F5164B-2073-4D76-852E-05620C26DBE6: the host's message objects (type ids by index)
inline constexpr _IID GUID_OrrelMsgObjs = {0xC1F5164B, 0x2073, 0x4D76, {0x85, 0x2E, 0x05, 0x62, 0x0C, 0x26, 0xDB, 0xE6}};
// B5FEBFAB-3069-40E2-B27E-016A6304D015: registrar category of stored channel-calculation messages
inline constexpr _IID SRCAT_ChannelCalcSettingsMsg = {0xB5FEBFAB, 0x3069, 0x40E2, {0xB2, 0x7E, 0x01, 0x6A, 0x63, 0x04, 0xD0, 0x15}};
// DCFA235D-4FE9-44FC-8F0C-51D53277959B
inline constexpr _IID IID_ISetChanCalcMsg = {0xDCFA235D, 0x4FE9, 0x44FC, {0x8F, 0x0C, 0x51, 0xD5, 0x32, 0x77, 0x95, 0x9B}};

// Index of the message's class in GUID_OrrelMsgObjs.
constexpr unsigned kOrrelMsgObj_SetChanCalc = 11;

struct ISetChanCalcMsg : IUnknown {
    // The calculation class's type id, the channel and the settings (a reference is kept).
    virtual HRESULT SetChannelCalculation(TCAFId calcTypeId, int32_t channel, IPersistObject* settings) = 0;  // slot 3
    virtual HRESULT GetChannelCalculation(TCAFId* calcTypeId, int32_t* channel,
                                          IPersistObject** settings) const = 0;                            // slot 4
};
KVD_INTERFACE_ID(ISetChanCalcMsg, IID_ISetChanCalcMsg);
