// Computed channels: the calculation classes a plug-in registers, the calculations they create
// on a channel of a host document, and the host's calculation-enumerator host that a calculation
// aggregates to install the enumerator which produces the channel's samples.
#pragma once

#include "CalcEnumSourceInfo.h"
#include "CalcEnumTypes.h"
#include "DataScaling.h"
#include "IOrrelDocument.h"
#include "ReservedSlots.h"
#include "WindowTypes.h"

struct ICalcEnum;
struct IPersistObject;
struct IUnitsConversion;
struct TTickToSample;

typedef uint32_t CalcInstanceAttributes;
typedef uint32_t CalcRecCreationFlags;

// 19776135-50F4-4302-B942-6DA611F1B1B2
inline constexpr _IID IID_IChannelCalc = {0x19776135, 0x50F4, 0x4302, {0xB9, 0x42, 0x6D, 0xA6, 0x11, 0xF1, 0xB1, 0xB2}};
// F4BF8CFA-DEE0-4AAA-ADFF-8CD5CA56AA48
inline constexpr _IID IID_ICalculation = {0xF4BF8CFA, 0xDEE0, 0x4AAA, {0xAD, 0xFF, 0x8C, 0xD5, 0xCA, 0x56, 0xAA, 0x48}};
// ACA05988-DF5F-49FD-8453-4B1818448921
inline constexpr _IID IID_ICalculationClass = {0xACA05988, 0xDF5F, 0x49FD, {0x84, 0x53, 0x4B, 0x18, 0x18, 0x44, 0x89, 0x21}};
// EBA87587-D71A-4CC8-AB69-8FC79BAFC29A
inline constexpr _IID IID_ICalcEnumHost = {0xEBA87587, 0xD71A, 0x4CC8, {0xAB, 0x69, 0x8F, 0xC7, 0x9B, 0xAF, 0xC2, 0x9A}};
// D62B68F0-8165-4CD4-9306-BD0E5A5E99F1
inline constexpr _IID IID_IOrrelSetCalcData = {0xD62B68F0, 0x8165, 0x4CD4, {0x93, 0x06, 0xBD, 0x0E, 0x5A, 0x5E, 0x99, 0xF1}};
// 21202815-EEC7-47DE-91AE-54B308EFC1EA
inline constexpr _IID IID_IOffLineData = {0x21202815, 0xEEC7, 0x47DE, {0x91, 0xAE, 0x54, 0xB3, 0x08, 0xEF, 0xC1, 0xEA}};


struct ICalculationClass;
struct ICalculation;
struct IOffLineData;

// Calculations of a document's channels.
struct IOrrelSetCalcData : IUnknown {
    // The calculation on the channel (key: 0xC000000000000000 or the channel), with a
    // reference; null and KVD_S_FALSE when the channel has none.
    virtual HRESULT GetCalculation(uint64_t channelKey, ICalculation** calculation) = 0;  // slot 3
    // Puts a calculation on the channel (null removes it).
    virtual HRESULT SetCalculation(TChannelId channel, ICalculation* calculation) = 0;    // slot 4
    // The channel's calculation changed its output: the host drops what it computed and pulls
    // again (update kind 0x40000000: everything).
    virtual HRESULT ChannelChanged(TChannelId channel, BlockUpdateType update, IOffLineData* calculation) = 0;  // slot 5
    // A units conversion for a computed channel stored with this scaling, in the unit named.
    virtual HRESULT CreateUnitsConversion(const DataScaling* scaling, IAutoKVDString* unit,
                                          IUnitsConversion** out) = 0;                    // slot 6
    KVD_RESERVED_SLOTS(7, 11)
    // The data the calculations run on, with a reference.
    virtual HRESULT GetData(IOrrelData2** data) = 0;                                      // slot 12
};

// A detached copy of a computed channel's data.
struct IOffLineData : IUnknown {
    virtual HRESULT GetChannel(TChannelId* channel) = 0;                                  // slot 3
};

// The plug-in's computed channel.
struct IChannelCalc : IUnknown {
    virtual HRESULT GetRecordCreationInfo(int record, TChannelId channel, IUnitsConversion** units,
                                          TTickToSample* map, int* n, CalcRecCreationFlags* flags) = 0;   // slot 3
    virtual HRESULT Configure(const IPersistObject* settings, AutoBool force) = 0;        // slot 4
    virtual HRESULT SetSettingsForAutoScale(uint32_t flags, const IPersistObject* settings) = 0;  // slot 5
    virtual HRESULT GetSettings(IPersistObject** settings) const = 0;                     // slot 6
    virtual HRESULT GetInstanceAttributes(CalcInstanceAttributes* attributes) const = 0;  // slot 7
    virtual HRESULT Clone(IOrrelSetCalcData* data, IOffLineData** out) const = 0;         // slot 8
    virtual HRESULT GetInfoString(uint32_t which, IAutoKVDString** out) const = 0;        // slot 9
    virtual HRESULT Deconfigure(uint32_t flags) = 0;                                      // slot 10
};

// The host's face of a calculation (answered by the calculation-enumerator host object that
// the calculation aggregates).
struct ICalculation : IUnknown {
    virtual HRESULT GetCalculationClass(ICalculationClass** cls) = 0;                     // slot 3
    virtual HRESULT GetChannel(TChannelId* channel) = 0;                                  // slot 4
    virtual HRESULT GetSettings(IPersistObject** settings) = 0;                           // slot 5
    // Applies settings through the calculation's IChannelCalc::Configure.
    virtual HRESULT Configure(const IPersistObject* settings, AutoBool force) = 0;        // slot 6
};

struct ICalculationClass : ICAFClassObject {
    virtual HRESULT GetName(IAutoKVDString** name) = 0;                                   // slot 7
    virtual HRESULT GetDescription(IAutoKVDString** description) = 0;                     // slot 8
    virtual HRESULT GetAttributes(long* attributes) = 0;                                  // slot 9
    virtual HRESULT SettingsDialog(HWND parent, IUnknown* context, IAutoOrrelDoc* doc, IOrrelView* view,
                                   TChannelId channel, const IPersistObject* current,
                                   IPersistObject** result) = 0;                          // slot 10
    virtual HRESULT Create(TChannelId channel, IOrrelSetCalcData* data, ICalculation** out) = 0;  // slot 11
};

// The host object (type id of GUID_OrrelObjects, 17) that owns a computed channel's enumerator:
// it hands the enumerator its settings and sources and pulls samples from it.
struct ICalcEnumHost : IUnknown {
    // The sources the enumerator is connected to: count records of channel and data kind.
    virtual HRESULT SetSources(long count, const CalcEnums::CCalcEnumSourceInfo* sources, uint32_t flags) = 0;  // slot 3
    // The installed enumerator, with a reference; null and KVD_S_FALSE when none.
    virtual HRESULT GetCalcEnum(ICalcEnum** out) = 0;                                     // slot 4
    // The enumerator's settings text, handed to the installed enumerator at once and to one
    // installed later; *data, when data is given, is the data the enumerator runs on.
    virtual HRESULT SetSettingsText(IAutoKVDString* text, IOrrelData2** data) = 0;        // slot 5
    virtual HRESULT GetSettingsText(IAutoKVDString** text) = 0;                           // slot 6
    // Installs the enumerator (null uninstalls) for the channel; cls may be null.
    virtual HRESULT InstallCalcEnum(ICalculationClass* cls, TChannelId channel, IOrrelSetCalcData* data,
                                    ICalcEnum* calcEnum) = 0;                             // slot 7
    virtual HRESULT GetChannel(TChannelId* channel) = 0;                                  // slot 8
    virtual HRESULT SetDataScaling(const DataScaling* scaling) = 0;                       // slot 9
    // Runs the enumerator over start..end of the document's data (end tick 0x7FFFFFFF: to the
    // end of its record) and writes the least and greatest sample; flags 0x80000000: the range
    // also takes in 0.
    virtual HRESULT AutoScale(IAutoOrrelDoc* doc, KVDPosition start, KVDPosition end, float* top, float* bottom,
                              uint32_t flags) = 0;                                        // slot 10
    // The channel's samples of the record from tick start, through the installed enumerator.
    virtual HRESULT GetSamples(int record, uint32_t start, uint32_t count, float* out, uint32_t* delivered) = 0;  // slot 11
    virtual HRESULT GetDataScaling(DataScaling* scaling) = 0;                             // slot 12
    // Uninstalls the enumerator and drops the sources and settings.
    virtual HRESULT Reset() = 0;                                                          // slot 13
};

constexpr uint32_t kAutoScale_IncludeZero = 0x80000000;

KVD_INTERFACE_ID(IOrrelSetCalcData, IID_IOrrelSetCalcData);
KVD_INTERFACE_ID(IOffLineData, IID_IOffLineData);
KVD_INTERFACE_ID(IChannelCalc, IID_IChannelCalc);
KVD_INTERFACE_ID(ICalculation, IID_ICalculation);
KVD_INTERFACE_ID(ICalculationClass, IID_ICalculationClass);
KVD_INTERFACE_ID(ICalcEnumHost, IID_ICalcEnumHost);
