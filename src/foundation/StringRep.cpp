#include "foundation/StringRep.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>

#include "ResultCodes.h"
#include "foundation/TextConversion.h"
#include "foundation/UnknownImp.h"

namespace KVDString {

namespace {

AutoBool ToAutoBool(bool value) { return value ? kAutoTrue : kAutoFalse; }

}  // namespace

void* StringRep::operator new(size_t header, uint32_t capacity)
{
    return ::operator new[](header + size_t(capacity) * sizeof(wchar_t));
}

void StringRep::operator delete(void* block) { ::operator delete[](block); }

void StringRep::operator delete(void* block, uint32_t) { ::operator delete[](block); }

StringRep::StringRep(uint32_t capacity) : StringRepBase(capacity)
{
    Chars()[0] = L'\0';
}

StringRep::~StringRep()
{
    delete[] mCachedUTF8;
}

StringRep* StringRep::Create(uint32_t capacity)
{
    return new (std::max(capacity, 1u)) StringRep(std::max(capacity, 1u));
}

StringRep* StringRep::Create(const wchar_t* text, uint32_t length, uint32_t capacity)
{
    StringRep* rep = Create(capacity);
    length = std::min(length, rep->mCapacity - 1);
    std::memcpy(rep->Chars(), text, size_t(length) * sizeof(wchar_t));
    rep->SetCount(length + 1);
    return rep;
}

void StringRep::SetCount(uint32_t count)
{
    mCount = std::clamp(count, 1u, mCapacity);
    Chars()[mCount - 1] = L'\0';
}

const char* StringRep::UTF8()
{
    if (mCacheState != kCacheValid) {
        delete[] mCachedUTF8;
        mCachedUTF8 = nullptr;
        mCachedUTF8 = KVD::NewUTF8Text(Chars());
        mCacheState = kCacheValid;
    }
    return mCachedUTF8;
}

uint32_t StringRep::AddRef()
{
    return mRefs.fetch_add(1) + 1;
}

uint32_t StringRep::Release()
{
    const uint32_t refs = mRefs.fetch_sub(1) - 1;
    if (refs == 0)
        Delete();
    return refs;
}

HRESULT StringRep::QueryInterface(const _IID& iid, void** out)
{
    return KVD::QueryEntries<KVD::Answers<IKVDString, IAutoKVDString>>(this, iid, out);
}

HRESULT StringRep::SetBStr(const wchar_t*) { return KVD_E_BADSTATE; }

HRESULT StringRep::GetBStr(IAutoKVDString**) { return KVD_E_BADSTATE; }

HRESULT StringRep::IsEmpty(AutoBool* out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = ToAutoBool(mCount < 2);
    return KVD_S_OK;
}

HRESULT StringRep::GetLength(int* out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = static_cast<int>(TextLength());
    return KVD_S_OK;
}

HRESULT StringRep::IsEqual(const IAutoKVDString* other, AutoBool* out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    auto* peer = const_cast<IAutoKVDString*>(other);
    if (peer == static_cast<IAutoKVDString*>(this)) {
        *out = kAutoTrue;
    } else if (peer == nullptr || peer->IsStringRep() != kNativeStringRepMarker) {
        *out = kAutoFalse;  // a foreign object's text is not compared
    } else {
        const auto* native = static_cast<StringRep*>(static_cast<IKVDString*>(peer));
        *out = ToAutoBool(std::wcscmp(Chars(), const_cast<StringRep*>(native)->Chars()) == 0);
    }
    return KVD_S_OK;
}

HRESULT StringRep::IsShared(AutoBool* out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = ToAutoBool(Shared());
    return KVD_S_OK;
}

int32_t StringRep::IsStringRep() { return kNativeStringRepMarker; }

HRESULT StringRep::CopyBytesFromFirstChar(long bytes, unsigned char* out)
{
    const size_t needed = size_t(mCount) * sizeof(wchar_t);
    if (out == nullptr)
        return KVD_E_POINTER;
    if (bytes < 0 || needed > static_cast<size_t>(bytes))
        return KVD_E_BADSTATE;
    std::memcpy(out, Chars(), needed);
    return KVD_S_OK;
}

HRESULT StringRep::LengthAndCharSize(long* length, long* charSize)
{
    if (length == nullptr || charSize == nullptr)
        return KVD_E_POINTER;
    *length = TextLength();
    *charSize = sizeof(wchar_t);
    return KVD_S_OK;
}

HRESULT StringRep::GetCapacity(long* out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = mCapacity - 1;
    return KVD_S_OK;
}

HRESULT StringRep::CreateNewString(long capacity, IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    if (capacity < 0 || capacity >= long(UINT32_MAX)) {
        *out = nullptr;
        return KVD_E_BADSTATE;
    }
    *out = Create(std::max(uint32_t(capacity) + 1, kMinCapacity));
    return KVD_S_OK;
}

HRESULT StringRep::SetVariant(VARIANT* out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    wchar_t* copy = new wchar_t[mCount];
    std::memcpy(copy, Chars(), size_t(mCount) * sizeof(wchar_t));
    VariantClearWideText(out);
    out->vt = kVariantWideText;
    out->wideText = copy;
    return KVD_S_OK;
}

long StringRep::Length() { return TextLength(); }

void StringRep::Delete() { delete this; }

const char* StringRep::StrRefA() { return nullptr; }

const wchar_t* StringRep::StrRefW() { return Chars(); }

}  // namespace KVDString
