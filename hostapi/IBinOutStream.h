// The writing side of the binary record format, as record writers receive it.
#pragma once

#include "IUnknown.h"

struct IAutoKVDString;
struct IPersistObject;

// 9F263F98-20E6-4828-BD55-540CE255A4EB
inline constexpr _IID IID_IBinOutStream = {0x9F263F98, 0x20E6, 0x4828, {0xBD, 0x55, 0x54, 0x0C, 0xE2, 0x55, 0xA4, 0xEB}};

// Every operation does nothing once the stream is bad, and answers 0 while the stream stays
// good, 0xF800400A once it is bad.
struct IBinOutStream : IUnknown {
    virtual HRESULT StreamState() = 0;                                            // slot 3
    virtual HRESULT TellPos(unsigned* position) = 0;                              // slot 4
    virtual HRESULT SeekPos(unsigned position) = 0;                               // slot 5
    virtual HRESULT Reset() = 0;                                                  // slot 6
    virtual HRESULT WriteByte(unsigned char value) = 0;                           // slot 7
    virtual HRESULT WriteWord16(unsigned short value) = 0;                        // slot 8
    virtual HRESULT WriteWord32(unsigned value) = 0;                              // slot 9
    virtual HRESULT WriteFloat(float value) = 0;                                  // slot 10
    virtual HRESULT WriteDouble(double value) = 0;                                // slot 11
    virtual HRESULT WriteBytes(const void* buffer, unsigned count) = 0;           // slot 12
    virtual HRESULT WriteDynId(unsigned short id) = 0;                            // slot 13
    virtual HRESULT WriteCAFId(TCAFId id) = 0;                                    // slot 14
    virtual HRESULT WriteObject(IPersistObject* object) = 0;                      // slot 15
    virtual HRESULT WriteSharedObject(IPersistObject* object) = 0;                // slot 16
    virtual HRESULT QueryWriteObject(IUnknown* object) = 0;                       // slot 17
    virtual HRESULT QueryWriteSharedObject(IUnknown* object) = 0;                 // slot 18
    virtual HRESULT WriteKVDString(IAutoKVDString* text) = 0;                     // slot 19
    virtual HRESULT WriteUInt64(unsigned long long value) = 0;                    // slot 20
};

KVD_INTERFACE_ID(IBinOutStream, IID_IBinOutStream);
