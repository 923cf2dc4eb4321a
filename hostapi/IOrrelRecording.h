// The recording face of a host data document: whether it can record at all, how many devices
// it has, and the device manager that samples for it.
#pragma once

#include "IUnknown.h"

struct IKVDDeviceManager;

// 528AD0C9-C95B-4D22-996D-1EAA0A5B56FA
inline constexpr _IID IID_IOrrelRecording = {0x528AD0C9, 0xC95B, 0x4D22, {0x99, 0x6D, 0x1E, 0xAA, 0x0A, 0x5B, 0x56, 0xFA}};

struct IOrrelRecording : IUnknown {
    // kAutoTrue when the document only reads recorded data and cannot sample.
    virtual HRESULT IsReadOnly(uint32_t reserved, AutoBool* readOnly) = 0;              // slot 3
    virtual HRESULT GetDeviceCount(uint32_t reserved, int32_t* count) = 0;              // slot 4
    // The device manager, with a reference; null and KVD_S_FALSE without a device.
    virtual HRESULT GetDeviceManager(IKVDDeviceManager** manager) = 0;                  // slot 5
};
KVD_INTERFACE_ID(IOrrelRecording, IID_IOrrelRecording);
