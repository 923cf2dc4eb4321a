// A string object that is not our representation, as another component might hand one over.
#pragma once

#include <cstring>
#include <string>

#include "IKVDString.h"
#include "ResultCodes.h"

namespace test {

struct ForeignString final : IAutoKVDString {
    explicit ForeignString(const wchar_t* text, long charSize = sizeof(wchar_t)) : text(text), charSize(charSize) {}

    std::wstring text;
    long charSize;
    uint32_t refs = 1;
    bool deleteAtZero = false;

    uint32_t AddRef() override { return ++refs; }
    uint32_t Release() override
    {
        const uint32_t left = --refs;
        if (left == 0 && deleteAtZero)
            delete this;
        return left;
    }
    HRESULT QueryInterface(const _IID&, void** out) override { *out = nullptr; return KVD_E_NOINTERFACE; }
    HRESULT SetBStr(const wchar_t*) override { return KVD_E_NOTIMPL; }
    HRESULT GetBStr(IAutoKVDString**) override { return KVD_E_NOTIMPL; }
    HRESULT IsEmpty(AutoBool* out) override { *out = text.empty() ? kAutoTrue : kAutoFalse; return KVD_S_OK; }
    HRESULT GetLength(int* out) override { *out = static_cast<int>(text.size()); return KVD_S_OK; }
    HRESULT IsEqual(const IAutoKVDString*, AutoBool* out) override { *out = kAutoFalse; return KVD_S_OK; }
    HRESULT IsShared(AutoBool* out) override { *out = refs > 1 ? kAutoTrue : kAutoFalse; return KVD_S_OK; }
    int32_t IsStringRep() override { return 0; }
    HRESULT CopyBytesFromFirstChar(long bytes, unsigned char* out) override
    {
        const size_t needed = (text.size() + 1) * sizeof(wchar_t);
        if (static_cast<size_t>(bytes) < needed)
            return KVD_E_BADSTATE;
        std::memcpy(out, text.c_str(), needed);
        return KVD_S_OK;
    }
    HRESULT LengthAndCharSize(long* length, long* size) override
    {
        *length = static_cast<long>(text.size());
        *size = charSize;
        return KVD_S_OK;
    }
    HRESULT GetCapacity(long* out) override { *out = static_cast<long>(text.size()); return KVD_S_OK; }
    HRESULT CreateNewString(long, IAutoKVDString**) override { return KVD_E_NOTIMPL; }
    HRESULT SetVariant(VARIANT*) override { return KVD_E_NOTIMPL; }
};

}  // namespace test
