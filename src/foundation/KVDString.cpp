#include "foundation/KVDString.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <istream>
#include <locale>
#include <new>
#include <ostream>

#include "ResultCodes.h"
#include "foundation/BoundedCopy.h"
#include "foundation/ElfHash.h"
#include "foundation/MacRoman.h"
#include "foundation/StringRep.h"
#include "foundation/TextConversion.h"
#include "foundation/WideCompare.h"

using KVDString::StringRep;

namespace KVD {

namespace {

constexpr uint32_t kEmptyCapacity = 9;

// Capacities are 32-bit; a text that would need more is an allocation failure.
uint32_t CheckedCapacity(uint64_t capacity)
{
    if (capacity > UINT32_MAX)
        throw std::bad_alloc();
    return static_cast<uint32_t>(std::max<uint64_t>(capacity, StringRep::kMinCapacity));
}

// Appends grow by half again the needed count, so that repeated appends stay linear.
uint32_t GrownCapacity(uint64_t count)
{
    return CheckedCapacity(static_cast<uint64_t>(static_cast<double>(count) * 1.5));
}

// A text length that leaves room for the NUL in a 32-bit count.
unsigned CheckedLength(size_t length)
{
    if (length >= UINT32_MAX)
        throw std::bad_alloc();
    return static_cast<unsigned>(length);
}

StringRep* EmptyRep()
{
    StringRep* rep = StringRep::Create(kEmptyCapacity);
    std::fill(rep->Chars(), rep->Chars() + kEmptyCapacity, L'\0');
    return rep;
}

// The shared empty representation, with a reference for the caller.
StringRep* SharedEmpty()
{
    StringRep* rep = String::InitDefault();
    rep->AddRef();
    return rep;
}

StringRep* NewRep(const wchar_t* text, size_t length)
{
    return StringRep::Create(text, static_cast<uint32_t>(length), CheckedCapacity(uint64_t(length) + 1));
}

StringRep* RepOfText(const wchar_t* text)
{
    if (text == nullptr || *text == L'\0')
        return SharedEmpty();
    const size_t length = std::wcslen(text);
    StringRep* rep = StringRep::Create(CheckedCapacity(uint64_t(length) + 1));
    wcscpy_s(rep->Chars(), rep->Capacity(), text);
    rep->SetCount(static_cast<uint32_t>(length + 1));
    return rep;
}

StringRep* RepOfText(const wchar_t* text, unsigned n)
{
    const size_t length = text != nullptr ? wcsnlen(text, n) : 0;
    if (length == 0)
        return SharedEmpty();
    StringRep* rep = StringRep::Create(CheckedCapacity(uint64_t(length) + 1));
    wcsncpy_s(rep->Chars(), rep->Capacity(), text, length);
    rep->SetCount(static_cast<uint32_t>(length + 1));
    return rep;
}

String MacRomanString(const char* text)
{
    const unsigned length = CheckedLength(std::strlen(text));
    String result;
    wchar_t* chars = result.Set(length);
    for (size_t i = 0; i < length; ++i)
        chars[i] = MacRomanToWide(static_cast<unsigned char>(text[i]));
    result.SetCount(length + 1);
    return result;
}

// Copies the text of a string object that is not our representation.
StringRep* CopyForeign(IAutoKVDString* text)
{
    long length = 0;
    long charSize = 0;
    if (text->LengthAndCharSize(&length, &charSize) != KVD_S_OK || length <= 0 || charSize != sizeof(wchar_t) ||
        uint64_t(length) >= UINT32_MAX)
        return nullptr;
    StringRep* rep = StringRep::Create(CheckedCapacity(uint64_t(length) + 1));
    const long bytes = (length + 1) * long(sizeof(wchar_t));
    if (text->CopyBytesFromFirstChar(bytes, reinterpret_cast<unsigned char*>(rep->Chars())) != KVD_S_OK) {
        rep->Release();
        return nullptr;
    }
    // The object's own NUL is not trusted.
    rep->SetCount(static_cast<uint32_t>(length + 1));
    return rep;
}

// Our representation of a string object, with a reference for the caller: shared when native,
// else a copy; the empty one for null or for an object whose text cannot be had.
StringRep* RepOf(IAutoKVDString* text)
{
    if (text == nullptr)
        return SharedEmpty();
    if (text->IsStringRep() == kNativeStringRepMarker) {
        auto* rep = static_cast<StringRep*>(static_cast<IKVDString*>(text));
        rep->AddRef();
        return rep;
    }
    StringRep* copy = CopyForeign(text);
    return copy != nullptr ? copy : SharedEmpty();
}

}  // namespace

StringRepSwapper::~StringRepSwapper()
{
    if (mRep != nullptr)
        mRep->Release();
}

void StringRepSwapper::Hold(StringRep* rep)
{
    if (mRep != nullptr)
        mRep->Release();
    mRep = rep;
}

StringRep* String::InitDefault()
{
    // The holder keeps the empty representation for the life of the process.
    static const String holder(EmptyRep(), kAdopt);
    return holder.Rep();
}

String::String(StringRep* rep, AdoptTag) : mText(rep->Chars()) {}

String::String() : mText(SharedEmpty()->Chars()) {}

String::String(const wchar_t* text) : mText(RepOfText(text)->Chars()) {}

String::String(const wchar_t* text, unsigned n) : mText(RepOfText(text, n)->Chars()) {}

String::String(unsigned count, wchar_t character) : String()
{
    // NULs would end the text before its count.
    if (count == 0 || character == L'\0')
        return;
    wchar_t* chars = Set(count);
    std::fill(chars, chars + count, character);
    SetCount(count + 1);
}

String::String(const std::wstring& text) : mText(NewRep(text.data(), text.size())->Chars()) {}

String::String(const std::string& utf8) : String(ToKVDString(utf8)) {}

String::String(const char* text, TConversionType type) : String()
{
    if (text == nullptr || *text == '\0')
        return;
    *this = type == kConversionMacRoman ? MacRomanString(text) : ToKVDString(text, std::strlen(text));
}

String::String(IAutoKVDString* text) : mText(RepOf(text)->Chars()) {}

String::String(const String& other) noexcept : mText(other.mText)
{
    Rep()->AddRef();
}

String::~String()
{
    Rep()->Release();
}

String& String::operator=(const String& other)
{
    other.Rep()->AddRef();
    Swap(other.Rep())->Release();
    return *this;
}

String& String::operator=(const wchar_t* text)
{
    String made(text);
    return *this = made;
}

String& String::operator=(IAutoKVDString* text)
{
    Adopt(RepOf(text));
    return *this;
}

void String::MakeValidStringRepAndRelease(IAutoKVDString* text)
{
    *this = text;
    if (text != nullptr)
        text->Release();
}

unsigned String::length() const { return Rep()->TextLength(); }

unsigned String::GetCount() const { return Rep()->Count(); }

unsigned String::GetCapacity() const { return Rep()->Capacity(); }

void String::SetAt(unsigned i, wchar_t character)
{
    if (i >= length())
        return;
    PrepareWrite();
    mText[i] = character;
}

IAutoKVDString* String::AsIAutoKVDString() const { return Rep(); }

void String::GetOut(IAutoKVDString** out) const
{
    if (out == nullptr)
        return;
    Rep()->AddRef();
    *out = Rep();
}

String& String::operator+=(const String& text)
{
    Append(text.mText, text.length());
    return *this;
}

String& String::operator+=(wchar_t character)
{
    if (character != L'\0')
        Append(&character, 1);
    return *this;
}

String& String::operator+=(const wchar_t* text)
{
    if (text != nullptr)
        Append(text, static_cast<unsigned>(std::wcslen(text)));
    return *this;
}

void String::Append(const wchar_t* text, unsigned n)
{
    if (n == 0)
        return;
    // text may lie in the block given up here: it is released only after the copy.
    StringRepSwapper given;
    const uint64_t count = uint64_t(GetCount()) + n;
    if (count > GetCapacity())
        given.Hold(Swap(StringRep::Create(mText, length(), GrownCapacity(count))));
    else
        PrepareWrite();
    std::memmove(mText + length(), text, size_t(n) * sizeof(wchar_t));
    Rep()->SetCount(static_cast<uint32_t>(count));
}

void String::Remove(unsigned start, unsigned end)
{
    const unsigned len = length();
    if (start >= end || start >= len)
        return;
    PrepareWrite();
    if (end >= len) {
        Rep()->SetCount(start + 1);
        return;
    }
    std::memmove(mText + start, mText + end, size_t(GetCount() - end) * sizeof(wchar_t));
    Rep()->SetCount(GetCount() - (end - start));
}

void String::replace(unsigned pos, unsigned n, const String& text)
{
    const unsigned len = length();
    if (pos >= len) {
        *this += text;
        return;
    }
    // Holding the text makes our block shared when text is this string, so it stays intact.
    const String inserted(text);
    const unsigned removed = std::min(len - pos, n);
    const uint64_t count = uint64_t(GetCount()) - removed + inserted.length();
    StringRepSwapper given;
    if (count > GetCapacity())
        given.Hold(Swap(StringRep::Create(mText, len, CheckedCapacity(count))));
    else
        PrepareWrite();
    std::memmove(mText + pos + inserted.length(), mText + pos + removed,
                 size_t(len - pos - removed) * sizeof(wchar_t));
    std::memcpy(mText + pos, inserted.mText, size_t(inserted.length()) * sizeof(wchar_t));
    Rep()->SetCount(static_cast<uint32_t>(count));
}

String String::substr(unsigned pos, unsigned n) const
{
    const unsigned len = length();
    if (pos >= len)
        return String();
    return String(mText + pos, std::min(n, len - pos));
}

wchar_t* String::Set(unsigned n)
{
    StringRep* rep = Rep();
    if (rep->Shared() || n >= rep->Capacity())
        Adopt(StringRep::Create(CheckedCapacity(uint64_t(n) + 1)));
    else
        rep->InvalidateCache();
    Rep()->SetCount(1);
    mText[n] = L'\0';
    return mText;
}

void String::CalcAndSetCount()
{
    PrepareWrite();
    // Bounded: a buffer written without a NUL is cut at its last slot.
    Rep()->SetCount(static_cast<uint32_t>(wcsnlen(mText, GetCapacity()) + 1));
}

wchar_t* String::Data()
{
    PrepareWrite();
    return mText;
}

void String::SetCount(unsigned count)
{
    PrepareWrite();
    Rep()->SetCount(count);
}

void String::SetSize(unsigned n)
{
    Adopt(StringRep::Create(CheckedCapacity(n)));
}

void String::Resize(unsigned n)
{
    if (!Rep()->Shared() && GetCapacity() == n)
        return;
    // Create cuts a text longer than the new capacity, so shrinking is safe.
    Adopt(StringRep::Create(mText, length(), CheckedCapacity(n)));
}

void String::DoCOW()
{
    Adopt(StringRep::Create(mText, length(), CheckedCapacity(GetCapacity())));
}

void String::ReadToken(std::wistream& in)
{
    Set(0);
    for (;;) {
        // The extractor writes at most width - 1 characters and a NUL into the free slots.
        const unsigned count = GetCount();
        in.width(GetCapacity() - count + 1);
        in >> (mText + count - 1);
        Rep()->SetCount(count + static_cast<uint32_t>(std::wcslen(mText + count - 1)));
        if (!in.good())
            return;
        const std::wistream::int_type next = in.peek();
        if (next == std::wistream::traits_type::eof() ||
            std::isspace(std::wistream::traits_type::to_char_type(next), in.getloc()))
            return;
        Resize(GetCapacity() * 2);
    }
}

bool String::CaseInsensitiveEqual(const String& other) const
{
    return GetCount() == other.GetCount() && _wcsnicmp(mText, other.mText, length()) == 0;
}

int String::CaseInsensitiveCompare(const String& other, bool) const
{
    return _wcsnicmp(mText, other.mText, std::max(length(), other.length()));
}

const char* String::UTF8()
{
    Detach();
    return Rep()->UTF8();
}

StringRep* String::Rep() const
{
    return StringRep::FromChars(mText);
}

StringRep* String::Swap(StringRep* rep)
{
    StringRep* previous = Rep();
    mText = rep->Chars();
    return previous;
}

void String::Adopt(StringRep* rep)
{
    Swap(rep)->Release();
}

void String::Detach()
{
    if (Rep()->Shared())
        Adopt(StringRep::Create(mText, length(), CheckedCapacity(GetCapacity())));
}

void String::PrepareWrite()
{
    Detach();
    Rep()->InvalidateCache();
}

String::Setter::~Setter()
{
    mTarget.MakeValidStringRepAndRelease(mOut);
}

bool operator==(const String& a, const String& b)
{
    return a.c_str() == b.c_str() || std::wcscmp(a.c_str(), b.c_str()) == 0;
}

bool operator==(const String& a, const wchar_t* b)
{
    return std::wcscmp(a.c_str(), b != nullptr ? b : L"") == 0;
}

bool operator==(const wchar_t* a, const String& b) { return b == a; }

bool operator!=(const String& a, const String& b) { return !(a == b); }

bool operator!=(const String& a, const wchar_t* b) { return !(a == b); }

bool operator!=(const wchar_t* a, const String& b) { return !(b == a); }

bool operator<(const String& a, const String& b)
{
    return std::wcscmp(a.c_str(), b.c_str()) < 0;
}

std::wostream& operator<<(std::wostream& out, const String& text)
{
    return out << text.c_str();
}

std::string ToU8String(const String& text)
{
    return ToU8String(text.c_str(), text.length());
}

String ToKVDString(const std::string& utf8)
{
    return ToKVDString(utf8.data(), utf8.size());
}

String ToKVDString(const char* utf8, unsigned long n)
{
    String result;
    if (n == 0)
        return result;
    // Decoded straight into the string: UTF-8 never has more characters than bytes.
    wchar_t* chars = result.Set(CheckedLength(n));
    result.SetCount(static_cast<unsigned>(KVDConvertUnicode(utf8, n, chars, n) + 1));
    return result;
}

bool IStreamGet(std::wistream& in, wchar_t& character)
{
    const std::wistream::int_type got = in.get();
    if (got != std::wistream::traits_type::eof())
        character = std::wistream::traits_type::to_char_type(got);
    if (in.rdstate() == std::ios_base::eofbit)
        in.clear();
    return !in.fail();
}

}  // namespace KVD

size_t std::hash<KVD::String>::operator()(const KVD::String& text) const
{
    return gElfHashStr(text.c_str(), 0);
}
