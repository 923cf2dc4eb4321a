// The recording hardware as a document reaches it: it samples into the sinks it was given.
#pragma once

#include "IUnknown.h"

struct IAutoKVDString;
struct IOrrelDataSink;

// 2D6F4EA1-DE72-4974-BF1C-0A920CBAE24A
inline constexpr _IID IID_IKVDDeviceManager = {0x2D6F4EA1, 0xDE72, 0x4974, {0xBF, 0x1C, 0x0A, 0x92, 0x0C, 0xBA, 0xE2, 0x4A}};

// A refusal whose message the device manager has already shown: the caller shows none.
constexpr HRESULT KVD_E_SAMPLING_SHOWN = static_cast<HRESULT>(0xF800800F);
// Sampling refused: the reason says why.
constexpr HRESULT KVD_E_SAMPLING_REFUSED = static_cast<HRESULT>(0xF8008020);

struct IKVDDeviceManager : IUnknown {
    // Stops sampling; the sinks hear the end of the record and the clean-up. Harmless when idle.
    virtual HRESULT Stop(uint32_t reserved) = 0;                                           // slot 3
    virtual HRESULT SetUp(uint32_t reserved, uint32_t flags) = 0;                          // slot 4
    virtual HRESULT Prepare(uint32_t reserved, uint32_t flags, int32_t monitorOnly) = 0;   // slot 5
    // Whether sampling could start now; when not, *reason (with a reference) says why.
    virtual HRESULT CanStart(uint32_t reserved, AutoBool* answer, IAutoKVDString** reason) = 0;  // slot 6
    // Starts sampling after `delay` seconds (0: at once); a refusal sets *reason.
    virtual HRESULT Start(double delay, uint32_t reserved, IAutoKVDString** reason) = 0;  // slot 7
    // The sinks that hear sampling; a sink added twice is held once.
    virtual HRESULT AddSink(uint32_t reserved, IOrrelDataSink* sink) = 0;                  // slot 8
    virtual HRESULT RemoveSink(uint32_t reserved, IOrrelDataSink* sink) = 0;               // slot 9
};
KVD_INTERFACE_ID(IKVDDeviceManager, IID_IKVDDeviceManager);
