// The recorded data of a document: records of channels sampled at a tick rate. Positions name
// a tick within a record. Calculation variables receive it when they create their enumerators.
#pragma once

#include "ReservedSlots.h"

struct IAutoKVDString;
struct IEnumFloatEx;
struct IUnitName;
struct IUnitsConversion;

// A15DE062-11E3-4CE7-89E3-B40CF2A93C89
inline constexpr _IID IID_IRecordData = {0xA15DE062, 0x11E3, 0x4CE7, {0x89, 0xE3, 0xB4, 0x0C, 0xF2, 0xA9, 0x3C, 0x89}};

struct IRecordData : IUnknown {
    virtual HRESULT GetRecordCount(int* count) const = 0;                                 // slot 3
    virtual HRESULT GetRecordTicks(int record, uint32_t* ticks) const = 0;                // slot 4
    virtual HRESULT GetSecsPerTick(int record, double* secs) const = 0;                   // slot 5
    // A stream of the channel's samples from start up to (not including) endTick of start's record.
    virtual HRESULT GetFloatStream(TChannelId channel, KVDPosition start, uint32_t endTick,
                                   IEnumFloatEx** out) const = 0;                         // slot 6
    // The unit of the channel's samples in the record; the channel's second word carries the
    // data flags (0x1001 raw recorded data, 0x40001000 or 0xC0001000 the channel's data).
    virtual HRESULT GetChannelUnitName(int record, TChannelId channel, IUnitName** name) const = 0;  // slot 7
    // The conversion of the channel's stored values to its unit in the record (data flags in
    // the channel's second word); null and KVD_S_FALSE when the channel has none.
    virtual HRESULT GetUnitsConversion(int record, TChannelId channel, IUnitsConversion** units) const = 0;  // slot 8
    // Whether the record holds data of the channel of the kind its second word names.
    virtual HRESULT HasChannelData(int record, TChannelId channel, AutoBool* has) const = 0;  // slot 9
    // The position just past the last tick of the record.
    virtual HRESULT GetRecordEnd(int record, KVDPosition* end) const = 0;                 // slot 10
    // The channel's title (flags in the second word), with a reference.
    virtual HRESULT GetChannelTitle(TChannelId channel, IAutoKVDString** title) const = 0;  // slot 11
    KVD_RESERVED_SLOTS(12, 56)
    // Whether left..right is a range of positions that lie in the data, left not after right.
    virtual HRESULT IsValidRange(KVDPosition left, KVDPosition right, AutoBool* valid) const = 0;  // slot 57
    KVD_RESERVED_SLOTS(58, 60)
    // The position as a tick count from the start of the first record.
    virtual HRESULT GetAbsoluteTick(KVDPosition position, int64_t* ticks) const = 0;      // slot 61
};
KVD_INTERFACE_ID(IRecordData, IID_IRecordData);
