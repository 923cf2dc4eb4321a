// The recorded data of a document: records of channels sampled at a tick rate, each channel
// stored as 16-bit values with a units conversion. Positions name a tick within a record.
// Most operations take the caller's request word first (for instance 0xC0000000, 0x40001000,
// 0x1001 for a channel's raw recorded data, 0xC0002000 for the data in display units); the host
// reads what it needs of it and callers pass it unchanged.
#pragma once

#include "ReservedSlots.h"

struct IAutoKVDString;
struct IEnumEventEx;
struct IEnumFloatEx;
struct IEnumShortEx;
struct IUnitName;
struct IUnitsConversion;

// A15DE062-11E3-4CE7-89E3-B40CF2A93C89
inline constexpr _IID IID_IRecordData = {0xA15DE062, 0x11E3, 0x4CE7, {0x89, 0xE3, 0xB4, 0x0C, 0xF2, 0xA9, 0x3C, 0x89}};
// AF9D22D2-1664-4D1F-AAEB-67E3E601E17D
inline constexpr _IID IID_IRecordChannel = {0xAF9D22D2, 0x1664, 0x4D1F, {0xAA, 0xEB, 0x67, 0xE3, 0xE6, 0x01, 0xE1, 0x7D}};

// End tick of a stream that runs to the end of its record.
constexpr uint32_t kRecordEndTick = 0x7FFFFFFF;

// A channel as one record holds it. Records whose channel has the same set-up (title, unit,
// scaling, calculation) hand out the same object, so callers compare set-ups by identity.
struct IRecordChannel : IUnknown {
    virtual HRESULT GetChannel(int32_t* channel) const = 0;                                // slot 3
    virtual HRESULT GetTitle(IAutoKVDString** title) const = 0;                            // slot 4
    virtual HRESULT GetUnitName(uint32_t request, IAutoKVDString** name) const = 0;        // slot 5
    virtual HRESULT GetUnits(uint32_t request, IUnitsConversion** units) const = 0;       // slot 6
    // Whether the channel is computed by a calculation rather than recorded.
    virtual HRESULT IsComputed(AutoBool* computed) const = 0;                              // slot 7
};
KVD_INTERFACE_ID(IRecordChannel, IID_IRecordChannel);

struct IRecordData : IUnknown {
    virtual HRESULT GetRecordCount(int32_t* count) const = 0;                              // slot 3
    // The number of ticks (samples) of the record.
    virtual HRESULT GetRecordTicks(uint32_t request, int32_t record, uint32_t* ticks) const = 0;  // slot 4
    // Seconds per tick of the record; also the sampling value handed to enumerators with
    // streams of the record.
    virtual HRESULT GetSecsPerTick(uint32_t request, int32_t record, double* secs) const = 0;     // slot 5
    // A stream of the channel's samples from start up to (not including) endTick of start's
    // record (kRecordEndTick: the end of the record), positioned at start's tick.
    virtual HRESULT CreateFloatStream(uint32_t request, int32_t channel, KVDPosition start, uint32_t endTick,
                                      uint32_t reserved, IEnumFloatEx** out) const = 0;  // slot 6
    // The same as 16-bit raw samples; computed channels have none.
    virtual HRESULT CreateShortStream(uint32_t request, int32_t channel, KVDPosition start, uint32_t endTick,
                                      uint32_t reserved, IEnumShortEx** out) const = 0;  // slot 7
    // Seconds from the start of the first record to each position, in one call.
    virtual HRESULT GetPositionTimes(uint32_t count, const KVDPosition* positions, double* seconds) const = 0;  // slot 8
    // The channel as the record holds it; KVD_S_FALSE and null when the record lacks it.
    virtual HRESULT GetChannelObject(uint32_t request, int32_t record, int32_t channel,
                                     IRecordChannel** out) const = 0;                     // slot 9
    // The position just past the last tick of the record.
    virtual HRESULT GetRecordEnd(int32_t record, KVDPosition* end) const = 0;              // slot 10
    virtual HRESULT HasChannelData(uint32_t request, int32_t record, int32_t channel, AutoBool* has) const = 0;  // slot 11
    // One sample at a position, in the channel's units.
    virtual HRESULT GetSample(uint32_t request, int32_t channel, KVDPosition position, float* value) const = 0;  // slot 12
    // The greatest and least sample from `from` up to `to` (both in one record).
    virtual HRESULT GetRange(uint32_t request, int32_t channel, KVDPosition from, KVDPosition to, double* maximum,
                             double* minimum) const = 0;                                  // slot 13
    // The channel's units conversion in the record, with a reference.
    virtual HRESULT GetUnitsConversion(uint32_t request, int32_t record, int32_t channel,
                                       IUnitsConversion** out) const = 0;                 // slot 14
    // The 16-bit storage of the channel in the record: a value is (raw + offset) x scale.
    virtual HRESULT GetDataScaling(uint32_t request, int32_t record, int32_t channel, double* scale,
                                   double* offset) const = 0;                             // slot 15
    virtual HRESULT GetUnitName(uint32_t request, int32_t record, int32_t channel, IAutoKVDString** name) const = 0;  // slot 16
    // The channel's title; kind is a second request word (0xC0000000: any kind of channel).
    virtual HRESULT GetChannelTitle(uint32_t request, int32_t channel, uint32_t kind, IAutoKVDString** title) const = 0;  // slot 17
    // Replaces a tick of 0x7FFFFFFF (the end of the record) by the record's tick count.
    virtual HRESULT ResolvePosition(uint32_t request, KVDPosition* position) const = 0;    // slot 18
    // The index of the channel's sample at the position within its record.
    virtual HRESULT GetSampleIndex(uint32_t request, int32_t channel, KVDPosition position, int64_t* index) const = 0;  // slot 19
    // An event stream of an event channel from start up to endTick; kind 0x40000000: events.
    virtual HRESULT CreateEventStream(uint32_t request, int32_t channel, uint32_t kind, KVDPosition start,
                                      uint32_t endTick, uint32_t reserved, IEnumEventEx** out) const = 0;  // slot 20
    // The channel's unit as a unit-name object (prefix and name).
    virtual HRESULT GetUnit(uint32_t request, int32_t record, int32_t channel, IUnitName** unit) const = 0;  // slot 21
    KVD_RESERVED_SLOTS(22, 56)
    // Whether left..right is a range of positions that lie in the data, left not after right.
    virtual HRESULT IsValidRange(KVDPosition left, KVDPosition right, AutoBool* valid) const = 0;  // slot 57
    KVD_RESERVED_SLOTS(58, 60)
    // The position as a tick count from the start of the first record.
    virtual HRESULT GetAbsoluteTick(KVDPosition position, int64_t* ticks) const = 0;      // slot 61
};
KVD_INTERFACE_ID(IRecordData, IID_IRecordData);
