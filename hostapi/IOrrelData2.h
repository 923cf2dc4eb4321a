// The host's data object of a document, handed to every calculation enumerator at creation.
// The same object answers IRecordData, IOrrelSetCalcData and IKVDChannelInfo of that data.
#pragma once

#include "IUnknown.h"

struct IRecordData;
struct IOffLineData;
struct IUnitName;

// E9751DAA-4452-424D-8830-BE05D4FF113E
inline constexpr _IID IID_IOrrelData2 = {0xE9751DAA, 0x4452, 0x424D, {0x88, 0x30, 0xBE, 0x05, 0xD4, 0xFF, 0x11, 0x3E}};

struct IOrrelData2 : IUnknown {
    virtual HRESULT GetRecordData(IRecordData** records) = 0;                             // slot 3
    // The channel's unit in the record (record -2: the unit the channel has in most records).
    virtual HRESULT GetChannelUnit(int record, TChannelId channel, IUnitName** unit) = 0; // slot 4
    // The calculation on the channel as the host keeps it; KVD_S_FALSE and null when none.
    virtual HRESULT GetChannelCalculation(TChannelId channel, IOffLineData** calculation) = 0;  // slot 5
    // The tick offset at which a window over the record starts showing it.
    virtual HRESULT GetRecordWindowStart(KVDPosition position, int32_t* tick) = 0;        // slot 6
};
KVD_INTERFACE_ID(IOrrelData2, IID_IOrrelData2);
