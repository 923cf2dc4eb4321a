// The representation behind KVD::String: one heap block holding a header and the characters,
// reference counted and at the same time the COM string object handed across the boundary.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "IKVDString.h"

namespace KVDString {

// The header fields; their order is the layout every module that shares strings relies on.
class StringRepBase : public IKVDString {
protected:
    explicit StringRepBase(uint32_t capacity) : mCapacity(capacity) {}
    virtual ~StringRepBase() = default;

    char* mCachedUTF8 = nullptr;   // made on demand; valid only while mCacheState is kCacheValid
    uint32_t mCacheState = 0;
    std::atomic<uint32_t> mRefs{1};
    uint32_t mCapacity;            // character slots, the NUL's included
    uint32_t mCount = 1;           // characters with the NUL
};

class StringRep final : public StringRepBase {
public:
    static constexpr uint32_t kCacheInvalid = 0;
    static constexpr uint32_t kCacheValid = 2;
    // Representations made by the string operations never have fewer slots.
    static constexpr uint32_t kMinCapacity = 8;

    // A new empty representation with one reference.
    static StringRep* Create(uint32_t capacity);
    // A new representation with one reference holding length characters of text (which needs no
    // NUL) and room for capacity characters; the text is cut to fit.
    static StringRep* Create(const wchar_t* text, uint32_t length, uint32_t capacity);
    // The representation whose characters start at text.
    static StringRep* FromChars(const wchar_t* text)
    {
        return reinterpret_cast<StringRep*>(reinterpret_cast<char*>(const_cast<wchar_t*>(text)) - sizeof(StringRep));
    }

    wchar_t* Chars() { return reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(this) + sizeof(StringRep)); }
    uint32_t Count() const { return mCount; }
    uint32_t Capacity() const { return mCapacity; }
    uint32_t TextLength() const { return mCount - 1; }
    bool Shared() const { return mRefs.load() > 1; }
    // Count with the NUL, at most the capacity; the NUL is written.
    void SetCount(uint32_t count);
    // Every write to an exclusive representation starts here.
    void InvalidateCache() { mCacheState = kCacheInvalid; }
    // The text as UTF-8, converted on first use after a write.
    const char* UTF8();

    // IUnknown
    uint32_t AddRef() override;
    uint32_t Release() override;
    HRESULT QueryInterface(const _IID& iid, void** out) override;
    // IAutoKVDString
    HRESULT SetBStr(const wchar_t* text) override;
    HRESULT GetBStr(IAutoKVDString** out) override;
    HRESULT IsEmpty(AutoBool* out) override;
    HRESULT GetLength(int* out) override;
    HRESULT IsEqual(const IAutoKVDString* other, AutoBool* out) override;
    HRESULT IsShared(AutoBool* out) override;
    int32_t IsStringRep() override;
    HRESULT CopyBytesFromFirstChar(long bytes, unsigned char* out) override;
    HRESULT LengthAndCharSize(long* length, long* charSize) override;
    HRESULT GetCapacity(long* out) override;
    HRESULT CreateNewString(long capacity, IAutoKVDString** out) override;
    HRESULT SetVariant(VARIANT* out) override;
    // IKVDString
    long Length() override;
    void Delete() override;
    const char* StrRefA() override;
    const wchar_t* StrRefW() override;

    // The block is one array-new allocation of the header and the character slots.
    static void* operator new(size_t header, uint32_t capacity);
    static void operator delete(void* block);
    static void operator delete(void* block, uint32_t capacity);

private:
    explicit StringRep(uint32_t capacity);
    ~StringRep() override;
};

static_assert(sizeof(StringRep) % alignof(wchar_t) == 0, "the characters follow the header");

}  // namespace KVDString
