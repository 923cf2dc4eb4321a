// Framework messages: an id, flags and a packed parameter block, built by the host's standard
// message factory from what the sender fills in.
//
// Parameter block: a u32 signature with 4 bits per parameter (first parameter in the low
// nibble, at most 8, nibbles beyond the last 0), then the values back to back without alignment.
#pragma once

#include "IFramework.h"

struct ISettingsRegistrarKey;

// Type codes of the signature nibbles.
enum MsgParamCode : uint32_t {
    kMsgParam_UInt = 1,    // unsigned int or bool (0 false), 4 bytes
    kMsgParam_Int = 2,     // 4 bytes
    kMsgParam_Double = 3,  // 8 bytes
    kMsgParam_CAFId = 4,   // 4 bytes
    kMsgParam_String = 7,  // pointer to a NUL-terminated wide string, 8 bytes
    kMsgParam_Rect = 8,    // tagRECT, 16 bytes
};
constexpr unsigned kMsgMaxParams = 8;

// Bytes of one value of the type code, 0 for a code that is not one of the above.
constexpr uint32_t MsgParamSize(uint32_t code)
{
    switch (code) {
    case kMsgParam_UInt:
    case kMsgParam_Int:
    case kMsgParam_CAFId:
        return 4;
    case kMsgParam_Double:
    case kMsgParam_String:
        return 8;
    case kMsgParam_Rect:
        return 16;
    default:
        return 0;
    }
}

// EEF2FF71-73D1-4B96-A26E-8153D324490B
inline constexpr _IID IID_IMessage = {0xEEF2FF71, 0x73D1, 0x4B96, {0xA2, 0x6E, 0x81, 0x53, 0xD3, 0x24, 0x49, 0x0B}};
// 967DB021-52DA-40E6-AB86-D27498A24B31
inline constexpr _IID IID_IStandardMsgFactory = {0x967DB021, 0x52DA, 0x40E6, {0xAB, 0x86, 0xD2, 0x74, 0x98, 0xA2, 0x4B, 0x31}};

// Messages are passed around as const pointers: their own operations are const. The sender
// mark identifies the sending object only during delivery.
struct IMessage : IUnknown {
    virtual HRESULT GetId(TCAFId* id) const = 0;                                          // slot 3
    virtual HRESULT GetFlags(uint32_t* flags) const = 0;                                  // slot 4
    // The packed parameter block, owned by the message (null for no parameters).
    virtual HRESULT GetParamBlock(const void** block) const = 0;                          // slot 5
    virtual HRESULT GetViewId(uint64_t* viewId) const = 0;                                // slot 6
    // The settings key the message was sent with, with a reference; null when none.
    virtual HRESULT GetKey(ISettingsRegistrarKey** key) const = 0;                        // slot 7
    virtual HRESULT IsSender(const void* sender, AutoBool* isSender) const = 0;           // slot 8
    virtual HRESULT GetSender(const void** sender) const = 0;                             // slot 9
    virtual HRESULT SetSender(const void* sender) const = 0;                              // slot 10
};

// The host's standard message factory: a class object of fixed type id 0x80000007.
struct IStandardMsgFactory : ICAFClassObject {
    // Bytes of the parameter block (signature included); KVD_E_BADSTATE for a bad signature.
    virtual HRESULT GetParamBlockSize(const void* block, uint32_t* bytes) = 0;            // slot 7
    // A new message with the same id, flags, view id, key and parameters.
    virtual HRESULT CloneMessage(const IMessage* message, IMessage** out) = 0;            // slot 8
    // Copies the parameter block (string parameters by value) into a new message.
    virtual HRESULT CreateMessage(TCAFId id, uint32_t flags, uint64_t viewId, ISettingsRegistrarKey* key,
                                  const void* block, IMessage** out) = 0;                 // slot 9
};

KVD_INTERFACE_ID(IMessage, IID_IMessage);
KVD_INTERFACE_ID(IStandardMsgFactory, IID_IStandardMsgFactory);
