// Class object of a calculation enumerator: the class-object operations, its description,
// its settings dialog and the creation of instances.
#pragma once

#include "CalcEnumTypes.h"
#include "HWND.h"
#include "IFramework.h"

struct IAutoOrrelDoc;
struct IOrrelView;
struct IOrrelData2;
struct ICalcEnum;

// 1C85FD04-774D-42A5-8D4E-11B5E782506A
inline constexpr _IID IID_ICalcEnumClass2 = {0x1C85FD04, 0x774D, 0x42A5, {0x8D, 0x4E, 0x11, 0xB5, 0xE7, 0x82, 0x50, 0x6A}};
// The category of every calculation-enumerator class. 8FC37F03-9357-11D4-8112-00A0C9E26433
inline constexpr _IID CATID_CALCENUMS = {0x8FC37F03, 0x9357, 0x11D4, {0x81, 0x12, 0x00, 0xA0, 0xC9, 0xE2, 0x64, 0x33}};

// Slots 3 to 6 are the class-object operations of ICAFClassObject.
struct ICalcEnumClass2 : ICAFClassObject {
    virtual HRESULT GetName(IAutoKVDString** out) = 0;                          // slot 7
    virtual HRESULT GetDescription(IAutoKVDString** out) = 0;                   // slot 8
    virtual HRESULT GetAttributes(long* out) = 0;                              // slot 9
    virtual HRESULT SettingsDialog(HWND owner, IUnknown* context, IAutoOrrelDoc* doc, IOrrelView* view,
                                   TChannelId channel, const IAutoKVDString* settings,
                                   IAutoKVDString** newSettings) = 0;           // slot 10
    virtual HRESULT Create(IOrrelData2* data, ICalcEnum** out) = 0;             // slot 11
    // Creates an instance aggregated in outer; inner receives its non-delegating IUnknown.
    virtual HRESULT CreateEx(IUnknown* outer, IOrrelData2* data, IUnknown** inner) = 0;  // slot 12
};
KVD_INTERFACE_ID(ICalcEnumClass2, IID_ICalcEnumClass2);
