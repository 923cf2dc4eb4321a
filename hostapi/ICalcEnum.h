// Configuration face of every calculation enumerator. The calling order every enumerator
// supports: create, optionally SetCalcVariables, SetSettings, SetSources, GetOutputInfo,
// SetInitialPosition, then Next/SkipEx; on a data change IsUpdateNeeded and ClearCachedData
// or ReindexCachedData; finally ReleaseSources and Release.
#pragma once

#include "CalcEnumTypes.h"
#include "IUnknown.h"

struct IAutoKVDString;
struct ICalcEnumClass2;
struct IUnitName;

// 8D778BE1-948B-4847-AD97-7110696F2719
inline constexpr _IID IID_ICalcEnum = {0x8D778BE1, 0x948B, 0x4847, {0xAD, 0x97, 0x71, 0x10, 0x69, 0x6F, 0x27, 0x19}};
// 65206F11-D73E-43FC-8D2F-FA5467D06DAD
inline constexpr _IID IID_ICalcEnum64 = {0x65206F11, 0xD73E, 0x43FC, {0x8D, 0x2F, 0xFA, 0x54, 0x67, 0xD0, 0x6D, 0xAD}};

struct ICalcEnum : IUnknown {
    // The id of the enumerator's class, asked of its class object.
    virtual HRESULT GetTypeId(TCAFId* id) = 0;                                        // slot 3
    // The class object that created it, with a reference.
    virtual HRESULT GetClassObject(ICalcEnumClass2** cls) = 0;                        // slot 4
    // The settings text (for the composite a formula); update receives the change it causes.
    virtual HRESULT SetSettings(IAutoKVDString* text, BlockUpdateType* update) = 0;   // slot 5
    // The settings text with a reference; null for an enumerator without settings.
    virtual HRESULT GetSettings(IAutoKVDString** text) = 0;                           // slot 6
    // A new enumerator with the same class object, data and settings for another consumer.
    virtual HRESULT CloneSlave(IUnknown* outer, ICalcEnum** out) = 0;                 // slot 7
    // Connects count inputs of data record `record`; units is null or one unit per source.
    // 0xF800400A when no usable source came, 0xF8004001 when there was nothing to connect.
    virtual HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units,
                               double sampling, CalcEnumFlags flags) = 0;             // slot 8
    // Positions the output before the first Next.
    virtual HRESULT SetInitialPosition(int32_t position) = 0;                         // slot 9
    virtual HRESULT ReleaseSources() = 0;                                             // slot 10
    // Whether a data change of kind `change` requires recomputation.
    virtual HRESULT IsUpdateNeeded(long record, BlockUpdateType change, BlockUpdateType* needed) = 0;  // slot 11
    virtual HRESULT ClearCachedData(BlockUpdateType change, KVDPosition from, KVDPosition to,
                                    int32_t firstRecord, int32_t endRecord) = 0;      // slot 12
    virtual HRESULT ReindexCachedData(uint32_t flags, int32_t from, int32_t to) = 0;  // slot 13
    // The output's sampling value and unit; sampling holds the input's value on entry.
    virtual HRESULT GetOutputInfo(double* sampling, IUnitName** unit) = 0;            // slot 14
    virtual HRESULT GetInstanceAttributes(CalcInstanceAttributes* attributes) = 0;    // slot 15
    virtual HRESULT GetRecordChannelType(RecordChannelTypes* type) = 0;               // slot 16
    virtual HRESULT GetTickToSample(TTickToSample* map) = 0;                          // slot 17
};
KVD_INTERFACE_ID(ICalcEnum, IID_ICalcEnum);

struct ICalcEnum64 : ICalcEnum {
    virtual HRESULT SetInitialPosition64(int64_t position) = 0;                       // slot 18
};
KVD_INTERFACE_ID(ICalcEnum64, IID_ICalcEnum64);
