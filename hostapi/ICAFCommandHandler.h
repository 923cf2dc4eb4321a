// Commands from the host's menus: the handler that carries them out and the enabler through
// which it says whether, and under which text, a command is offered.
#pragma once

#include "IUnknown.h"
#include "WindowTypes.h"

struct IAutoKVDString;

// Kind of a command event (OnCAFCommandEvent); the response-table kinds 6 and 7.
typedef uint32_t CAFEventType;

// D18BD5DE-3E77-40D6-BDDF-E2A6AD4C925E
inline constexpr _IID IID_ICAFCommandHandler = {0xD18BD5DE, 0x3E77, 0x40D6, {0xBD, 0xDF, 0xE2, 0xA6, 0xAD, 0x4C, 0x92, 0x5E}};
// 86864B81-DC70-47BA-99FC-C727367028AA
inline constexpr _IID IID_ICAFCommandEnabler = {0x86864B81, 0xDC70, 0x47BA, {0x99, 0xFC, 0xC7, 0x27, 0x36, 0x70, 0x28, 0xAA}};

struct ICAFCommandEnabler : IUnknown {
    virtual HRESULT SetText(IAutoKVDString* text) = 0;   // slot 3: the menu text
    virtual HRESULT Enable(AutoBool enabled) = 0;        // slot 4
    virtual HRESULT SetCheck(AutoBool checked) = 0;      // slot 5
    virtual HRESULT GetCommandId(TCAFId* id) = 0;        // slot 6
};

// Results: 0 handled; KVD_S_FALSE not handled here, the host asks the next handler.
struct ICAFCommandHandler : IUnknown {
    virtual HRESULT Command(TCAFId id) = 0;                                               // slot 3
    virtual HRESULT CommandEnable(TCAFId id, ICAFCommandEnabler* enabler) = 0;            // slot 4
    virtual HRESULT OnCAFCommandEvent(TCAFId id, CAFEventType type, NSMenu* menu, int n) = 0;  // slot 5
};

KVD_INTERFACE_ID(ICAFCommandEnabler, IID_ICAFCommandEnabler);
KVD_INTERFACE_ID(ICAFCommandHandler, IID_ICAFCommandHandler);
