// The host's data document as the plug-in reaches it: the automation document, its data, record
// data and selection, the host's data view, and the document's display settings and parts.
#pragma once

#include "ICMDoc.h"
#include "IDisplaySettings.h"
#include "IDocument.h"
#include "IOrrelData2.h"
#include "IRecordData.h"
#include "ReservedSlots.h"

struct IAutoKVDString;
struct IRecordDataSelection;
struct IOrrelSetCalcData;

// 241EA5B2-4944-455D-9703-4AA49C48866F
inline constexpr _IID IID_IAutoOrrelDoc = {0x241EA5B2, 0x4944, 0x455D, {0x97, 0x03, 0x4A, 0xA4, 0x9C, 0x48, 0x86, 0x6F}};
// 9703BD8E-840D-4EF4-9ABA-20264C922A22
inline constexpr _IID IID_IRecordDataSelection = {0x9703BD8E, 0x840D, 0x4EF4, {0x9A, 0xBA, 0x20, 0x26, 0x4C, 0x92, 0x2A, 0x22}};
// 43233B4C-73B4-4EC8-8326-2BA4844A8683
inline constexpr _IID IID_IOrrelView = {0x43233B4C, 0x73B4, 0x4EC8, {0x83, 0x26, 0x2B, 0xA4, 0x84, 0x4A, 0x86, 0x83}};
// The user's selection in a data document.
struct IRecordDataSelection : IUnknown {
    virtual HRESULT SetRange(KVDPosition left, KVDPosition right) = 0;                    // slot 3
    virtual HRESULT Clear() = 0;                                                          // slot 4
    KVD_RESERVED_SLOTS(5, 6)
    virtual HRESULT GetRange(KVDPosition* left, KVDPosition* right) const = 0;            // slot 7
    KVD_RESERVED_SLOTS(8, 9)
    virtual HRESULT HasSelection(AutoBool* has) const = 0;                                // slot 10
};

// The host's own data view of a document.
struct IOrrelView : IUnknown {
    virtual HRESULT SetDisplayedRange(KVDPosition left, KVDPosition right) = 0;           // slot 3
    virtual HRESULT SetZoom(double ticksPerPixel) = 0;                                    // slot 4
    virtual HRESULT GetZoom(double* ticksPerPixel) const = 0;                             // slot 5
    KVD_RESERVED_SLOTS(6, 7)
    virtual HRESULT GetDisplayedRange(KVDPosition* left, KVDPosition* right) const = 0;   // slot 8
};

// The automation face of a host data document.
struct IAutoOrrelDoc : IUnknown {
    virtual HRESULT GetDocument(IDocument** document) = 0;                                // slot 3
    KVD_RESERVED_SLOTS(4, 4)
    virtual HRESULT GetChannelCount(int* count) = 0;                                      // slot 5
    // The number of channels among the first maxChannels that hold data; kinds: which channels.
    virtual HRESULT GetChannelCountEx(int* count, int maxChannels, int kinds) = 0;        // slot 6
    // The channel's trace colour as 24-bit RGB, red in the low byte.
    virtual HRESULT GetChannelColour(int channel, uint32_t* rgb) = 0;                     // slot 7
    virtual HRESULT GetComputedChannelCount(int flags, int* count) = 0;                   // slot 8
    // How positions are shown as times (the time display mode word).
    virtual HRESULT GetTimeDisplayMode(int32_t* mode) = 0;                                // slot 9
    // The position as a time text: format flags (the report passes 0x801E0000 with 0 on either
    // side), a style word (0x10000000, with 0x00800000 where the display mode's time origin is
    // 3) and the display mode.
    virtual HRESULT PositionToText(int32_t, uint32_t format, int32_t, KVDPosition position, uint32_t style,
                                   int32_t mode, IAutoKVDString** text) = 0;  // slot 10
    // Non-zero while the document is sampling live data.
    virtual HRESULT GetSamplingState(int32_t* sampling) = 0;                              // slot 11
    virtual HRESULT GetData(IOrrelData2** data) = 0;                                      // slot 12
    virtual HRESULT GetChannelDisplaySettings(int channel, IChannelDisplaySettings2** settings) = 0;  // slot 13
    KVD_RESERVED_SLOTS(14, 16)
    // The document's settings registrar, answered as IUnknown.
    virtual HRESULT GetSettingsRegistrar(IUnknown** registrar) = 0;                       // slot 17
    KVD_RESERVED_SLOTS(18, 49)
    virtual HRESULT GetRecordData(int flags, IRecordData** records) = 0;                  // slot 50
    KVD_RESERVED_SLOTS(51, 60)
    virtual HRESULT GetSelection(int flags, IRecordDataSelection** selection) = 0;        // slot 61
};

KVD_INTERFACE_ID(IRecordDataSelection, IID_IRecordDataSelection);
KVD_INTERFACE_ID(IOrrelView, IID_IOrrelView);
KVD_INTERFACE_ID(IAutoOrrelDoc, IID_IAutoOrrelDoc);
