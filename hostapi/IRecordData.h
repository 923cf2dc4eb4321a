// The recorded data of a document: records of channels sampled at a tick rate, each channel
// stored as 16-bit values with a units conversion. Positions name a tick within a record.
// A channel is named by its TChannelId: the channel number and, in the second word, the data
// flags of the request (0x1001 or 0x80001001 its raw recorded data, 0x40001000 or 0xC0001000
// its data, 0xC0002000 its data in prefixed units; without bit 12 or 13 a recorded channel is
// read in its stored values). Callers pass the flags the caller was given, unchanged.
#pragma once

#include "IUnknown.h"
#include "ReservedSlots.h"

struct DataScaling;
struct IAutoKVDString;
struct IEnumEventEx;
struct IEnumFloatEx;
struct IEnumShortEx;
struct IPolyLineEnumEx;
struct IRecordDataPixMap;
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
    // The unit of the data the flags name, with a reference.
    virtual HRESULT GetUnitName(uint32_t flags, IUnitName** unit) const = 0;               // slot 5
    virtual HRESULT GetUnits(uint32_t flags, IUnitsConversion** units) const = 0;          // slot 6
    // Whether the channel is computed by a calculation rather than recorded.
    virtual HRESULT IsComputed(AutoBool* computed) const = 0;                              // slot 7
};
KVD_INTERFACE_ID(IRecordChannel, IID_IRecordChannel);

struct IRecordData : IUnknown {
    virtual HRESULT GetRecordCount(int* count) const = 0;                                 // slot 3
    // The number of ticks (samples) of the record.
    virtual HRESULT GetRecordTicks(int record, uint32_t* ticks) const = 0;                // slot 4
    // Seconds per tick of the record; also the sampling value handed to enumerators with
    // streams of the record.
    virtual HRESULT GetSecsPerTick(int record, double* secs) const = 0;                   // slot 5
    // A stream of the channel's samples from start up to (not including) endTick of start's
    // record (kRecordEndTick: the end of the record), positioned at start's tick.
    virtual HRESULT GetFloatStream(TChannelId channel, KVDPosition start, uint32_t endTick,
                                   IEnumFloatEx** out) const = 0;                         // slot 6
    // The unit of the channel's samples in the record.
    virtual HRESULT GetChannelUnitName(int record, TChannelId channel, IUnitName** name) const = 0;  // slot 7
    // The conversion of the channel's stored values to its unit in the record; null and
    // KVD_S_FALSE when the channel has none.
    virtual HRESULT GetUnitsConversion(int record, TChannelId channel, IUnitsConversion** units) const = 0;  // slot 8
    // Whether the record holds data of the channel of the kind its second word names.
    virtual HRESULT HasChannelData(int record, TChannelId channel, AutoBool* has) const = 0;  // slot 9
    // The position just past the last tick of the record.
    virtual HRESULT GetRecordEnd(int record, KVDPosition* end) const = 0;                 // slot 10
    // The channel's title, with a reference.
    virtual HRESULT GetChannelTitle(TChannelId channel, IAutoKVDString** title) const = 0;  // slot 11
    // The channel's stored 16-bit values from start up to endTick; computed channels have none.
    virtual HRESULT GetShortStream(TChannelId channel, KVDPosition start, uint32_t endTick,
                                   IEnumShortEx** out) const = 0;                         // slot 12
    // Seconds from the start of the first record to each position, in one call.
    virtual HRESULT GetPositionTimes(uint32_t count, const KVDPosition* positions, double* seconds) const = 0;  // slot 13
    // The channel as the record holds it; KVD_S_FALSE and null when the record lacks it.
    virtual HRESULT GetChannelObject(int record, TChannelId channel, IRecordChannel** out) const = 0;  // slot 14
    // One sample at a position.
    virtual HRESULT GetSample(TChannelId channel, KVDPosition position, float* value) const = 0;  // slot 15
    // The greatest and least sample from `from` up to `to` (in from's record).
    virtual HRESULT GetRange(TChannelId channel, KVDPosition from, KVDPosition to, double* maximum,
                             double* minimum) const = 0;                                  // slot 16
    // The 16-bit storage of the channel in the record: a value is (stored + offset) x scale.
    virtual HRESULT GetDataScaling(int record, TChannelId channel, double* scale, double* offset) const = 0;  // slot 17
    // Replaces a tick of 0x7FFFFFFF (the end of the record) by the record's tick count.
    virtual HRESULT ResolvePosition(uint32_t flags, KVDPosition* position) const = 0;     // slot 18
    // The index of the channel's sample at the position within its record.
    virtual HRESULT GetSampleIndex(TChannelId channel, KVDPosition position, int64_t* index) const = 0;  // slot 19
    // An event stream of an event channel from start up to endTick; kind 0x40000000: events.
    virtual HRESULT GetEventStream(TChannelId channel, uint32_t kind, KVDPosition start, uint32_t endTick,
                                   IEnumEventEx** out) const = 0;                         // slot 20
    // A pixel map laying out the records for a display (number: which display asks).
    virtual HRESULT CreatePixMap(uint32_t number, IRecordDataPixMap** out) const = 0;      // slot 21
    // A poly-line enumerator of the channel in the record from column startPixel, with the
    // pixel map's pair (ticks per pixel) and the value-to-pixel scaling (y = (v + offset) x scale).
    virtual HRESULT CreatePolyLineEnum(uint32_t flags, int32_t channel, const int64_t* pair, int64_t maxTick,
                                       int64_t startPixel, int32_t record, const DataScaling* scaling,
                                       uint32_t polyLineType, IPolyLineEnumEx** out) const = 0;  // slot 22
    KVD_RESERVED_SLOTS(23, 56)
    // Whether left..right is a range of positions that lie in the data, left not after right.
    virtual HRESULT IsValidRange(KVDPosition left, KVDPosition right, AutoBool* valid) const = 0;  // slot 57
    KVD_RESERVED_SLOTS(58, 60)
    // The position as a tick count from the start of the first record.
    virtual HRESULT GetAbsoluteTick(KVDPosition position, int64_t* ticks) const = 0;      // slot 61
};
KVD_INTERFACE_ID(IRecordData, IID_IRecordData);
