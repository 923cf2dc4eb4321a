// The string object that crosses the boundary. A string handed across is an IAutoKVDString;
// when both sides use the native representation (IsStringRep answers kNativeStringRepMarker)
// the receiver shares it instead of copying the text.
#pragma once

#include "IUnknown.h"

// 3904AA0E-3E8D-11D1-997F-00C0DF492697
inline constexpr _IID IID_IAutoKVDString = {0x3904AA0E, 0x3E8D, 0x11D1, {0x99, 0x7F, 0x00, 0xC0, 0xDF, 0x49, 0x26, 0x97}};
// 2D3B7EC5-BF24-11CF-97E6-00C0DF492697
inline constexpr _IID IID_IKVDString = {0x2D3B7EC5, 0xBF24, 0x11CF, {0x97, 0xE6, 0x00, 0xC0, 0xDF, 0x49, 0x26, 0x97}};

// What IsStringRep answers for the native representation; any other value is a foreign object.
constexpr int32_t kNativeStringRepMarker = 9;

// The variant kind that holds an owned wide text (allocated with new wchar_t[]).
constexpr uint16_t kVariantWideText = 3075;

// A tagged value as the host passes it: a 16-bit kind, three reserved words, then the value.
struct VARIANT {
    uint16_t vt;
    uint16_t reserved1;
    uint16_t reserved2;
    uint16_t reserved3;
    union {
        wchar_t* wideText;   // kVariantWideText
        int64_t integer;
        double real;
    };
};
static_assert(sizeof(VARIANT) == 16, "a variant is 16 bytes");

// Frees the wide text a variant owns and leaves it empty.
inline void VariantClearWideText(VARIANT* variant)
{
    if (variant != nullptr && variant->vt == kVariantWideText) {
        delete[] variant->wideText;
        variant->wideText = nullptr;
        variant->vt = 0;
    }
}

struct IAutoKVDString : IUnknown {
    virtual HRESULT SetBStr(const wchar_t* text) = 0;                                // slot 3
    virtual HRESULT GetBStr(IAutoKVDString** out) = 0;                              // slot 4
    virtual HRESULT IsEmpty(AutoBool* out) = 0;                                     // slot 5
    virtual HRESULT GetLength(int* out) = 0;                                        // slot 6
    virtual HRESULT IsEqual(const IAutoKVDString* other, AutoBool* out) = 0;       // slot 7
    virtual HRESULT IsShared(AutoBool* out) = 0;                                    // slot 8
    virtual int32_t IsStringRep() = 0;                                              // slot 9
    // Copies the characters with their NUL (4 bytes each); fails when they need more than bytes.
    virtual HRESULT CopyBytesFromFirstChar(long bytes, unsigned char* out) = 0;     // slot 10
    virtual HRESULT LengthAndCharSize(long* length, long* charSize) = 0;            // slot 11
    virtual HRESULT GetCapacity(long* out) = 0;                                     // slot 12
    virtual HRESULT CreateNewString(long capacity, IAutoKVDString** out) = 0;       // slot 13
    virtual HRESULT SetVariant(VARIANT* out) = 0;                                   // slot 14
};

struct IKVDString : IAutoKVDString {
    virtual long Length() = 0;                                                      // slot 15
    virtual void Delete() = 0;                                                      // slot 16
    virtual const char* StrRefA() = 0;                                              // slot 17
    virtual const wchar_t* StrRefW() = 0;                                           // slot 18
};

KVD_INTERFACE_ID(IAutoKVDString, IID_IAutoKVDString);
KVD_INTERFACE_ID(IKVDString, IID_IKVDString);
