// The reading side of the binary record format, as record readers receive it.
#pragma once

#include "IUnknown.h"

struct IAutoKVDString;

// 293CFBDA-E8D6-4745-932E-E9EAE5396400
inline constexpr _IID IID_IBinInStream = {0x293CFBDA, 0xE8D6, 0x4745, {0x93, 0x2E, 0xE9, 0xEA, 0xE5, 0x39, 0x64, 0x00}};

// Every operation does nothing once the stream is bad, and answers 0 while the stream stays
// good, 0xF800400A once it is bad.
struct IBinInStream : IUnknown {
    virtual HRESULT StreamState() = 0;                                            // slot 3
    virtual HRESULT TellPos(unsigned* position) = 0;                              // slot 4
    virtual HRESULT Reset() = 0;                                                  // slot 5
    virtual HRESULT ReadByte(unsigned char* value) = 0;                           // slot 6
    virtual HRESULT ReadWord16(unsigned short* value) = 0;                        // slot 7
    virtual HRESULT ReadWord32(unsigned* value) = 0;                              // slot 8
    virtual HRESULT ReadFloat(float* value) = 0;                                  // slot 9
    virtual HRESULT ReadDouble(double* value) = 0;                                // slot 10
    virtual HRESULT ReadBytes(void* buffer, unsigned count) = 0;                  // slot 11
    virtual HRESULT ReadDynId(unsigned short* id) = 0;                            // slot 12
    virtual HRESULT ReadCAFId(TCAFId* id) = 0;                                    // slot 13
    virtual HRESULT ReadObject(IUnknown** out) = 0;                               // slot 14
    virtual HRESULT ReadObjectAndQuery(const _IID& iid, void** out) = 0;          // slot 15
    virtual HRESULT ReadSharedObject(IUnknown** out) = 0;                         // slot 16
    virtual HRESULT ReadSharedObjectAndQuery(const _IID& iid, void** out) = 0;    // slot 17
    virtual HRESULT ReadKVDString(IAutoKVDString** out) = 0;                      // slot 18
    virtual HRESULT GetVersion(unsigned* version) = 0;                            // slot 19
    virtual HRESULT ReadInt16(short* value) = 0;                                  // slot 20
    virtual HRESULT ReadInt32(int* value) = 0;                                    // slot 21
    virtual HRESULT ReadInt64(long long* value) = 0;                              // slot 22
    virtual HRESULT ReadUInt64(unsigned long long* value) = 0;                    // slot 23
};

KVD_INTERFACE_ID(IBinInStream, IID_IBinInStream);
