// KVD::String, the system's text: one pointer to the wide characters of a reference-counted
// representation that copies share and that is copied only when one of them writes. The
// representation is itself a COM string object, so strings cross the boundary without copying.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "IKVDString.h"

class NSBundle;
struct KVDXMLStringKey;
struct KVDXMLStringGroupKey;

namespace KVDString {
class StringRep;
}

namespace KVD {

// How an 8-bit text is decoded.
enum TConversionType {
    kConversionUTF8 = 0,
    kConversionMacRoman = 1,
};

class String {
public:
    class Setter;

    // The shared empty representation, made on first use.
    static KVDString::StringRep* InitDefault();

    String();
    String(const wchar_t* text);
    // The text up to its first NUL, but at most n characters.
    String(const wchar_t* text, unsigned n);
    // count times the character.
    String(unsigned count, wchar_t character);
    // Always a representation of its own, even for an empty text.
    String(const std::wstring& text);
    String(const std::string& utf8);
    String(const char* text, TConversionType type = kConversionUTF8);
    // Shares a native representation; copies the text of a foreign string object.
    String(IAutoKVDString* text);
    // The text of a string-table key, or of entry index of a group (StringResources.h).
    String(NSBundle* bundle, const KVDXMLStringKey& key, bool replaceTokens);
    String(NSBundle* bundle, const KVDXMLStringGroupKey& group, int index, bool replaceTokens);
    // Copies share the representation; a copy never fails.
    String(const String& other) noexcept;
    ~String();

    String& operator=(const String& other);
    String& operator=(const wchar_t* text);
    String& operator=(IAutoKVDString* text);
    // Takes text as the assignment does, then releases it once: the caller's reference is consumed.
    void MakeValidStringRepAndRelease(IAutoKVDString* text);

    const wchar_t* c_str() const { return mText; }
    unsigned length() const;
    bool empty() const { return length() == 0; }
    // Characters with the terminating NUL: 1 for an empty text.
    unsigned GetCount() const;
    // Character slots, the NUL's included.
    unsigned GetCapacity() const;
    wchar_t operator[](unsigned i) const { return mText[i]; }
    // Writes only inside the text.
    void SetAt(unsigned i, wchar_t character);

    // The string's face as a string object, borrowed (no reference added).
    IAutoKVDString* AsIAutoKVDString() const;
    // Hands the string object out with a reference for the caller.
    void GetOut(IAutoKVDString** out) const;

    String& operator+=(const String& text);
    String& operator+=(wchar_t character);
    String& operator+=(const wchar_t* text);
    // Removes the characters [start, end); from start on when end is at or past the end.
    void Remove(unsigned start, unsigned end);
    // Replaces up to n characters at pos with text; pos at (or past) the end appends.
    void replace(unsigned pos, unsigned n, const String& text);
    String substr(unsigned pos, unsigned n) const;

    // Buffer access for code that writes the characters itself: Set(n) gives room for n
    // characters (the contents are dropped); the caller writes them and calls CalcAndSetCount.
    wchar_t* Set(unsigned n);
    void CalcAndSetCount();
    // An exclusive buffer whose text is kept; the caller publishes what it wrote with SetCount.
    wchar_t* Data();
    // Count with the NUL, kept within the capacity; the NUL is written at count - 1.
    void SetCount(unsigned count);
    // Drops the text and makes an empty representation of at least n slots.
    void SetSize(unsigned n);
    // Moves the text to a representation of n slots (at least 8); a shorter capacity cuts it.
    void Resize(unsigned n);
    // Replaces the representation by a private copy.
    void DoCOW();

    // Reads one whitespace-delimited token, however long.
    void ReadToken(std::wistream& in);

    bool CaseInsensitiveEqual(const String& other) const;
    // Three-way comparison without regard to case; the flag does not change the result.
    int CaseInsensitiveCompare(const String& other, bool flag) const;

    // The text as UTF-8, kept in the representation until the next write.
    const char* UTF8();

private:
    enum AdoptTag { kAdopt };
    // Takes over the reference held on rep.
    String(KVDString::StringRep* rep, AdoptTag);

    KVDString::StringRep* Rep() const;
    // Installs rep (whose reference this string takes over) and answers the previous one,
    // whose reference the caller now holds.
    KVDString::StringRep* Swap(KVDString::StringRep* rep);
    void Adopt(KVDString::StringRep* rep);
    // Gives up a shared representation for a private copy.
    void Detach();
    // Detach, and invalidate what is derived from the text: every write starts here.
    void PrepareWrite();
    void Append(const wchar_t* text, unsigned n);

    wchar_t* mText;
};

// Releases a representation when it goes, so that text borrowed from a representation that a
// string has just given up stays readable until the operation is done.
class StringRepSwapper {
public:
    explicit StringRepSwapper(KVDString::StringRep* rep = nullptr) : mRep(rep) {}
    ~StringRepSwapper();
    StringRepSwapper(const StringRepSwapper&) = delete;
    StringRepSwapper& operator=(const StringRepSwapper&) = delete;
    void Hold(KVDString::StringRep* rep);

private:
    KVDString::StringRep* mRep;
};

// Adapts a string to an IAutoKVDString** out-parameter: when the setter goes, the string takes
// the object the callee returned (a native representation without copying), or becomes empty.
class String::Setter {
public:
    explicit Setter(String& target) : mTarget(target) {}
    ~Setter();
    Setter(const Setter&) = delete;
    Setter& operator=(const Setter&) = delete;
    operator IAutoKVDString**() { return &mOut; }

private:
    String& mTarget;
    IAutoKVDString* mOut = nullptr;
};

bool operator==(const String& a, const String& b);
bool operator==(const String& a, const wchar_t* b);
bool operator==(const wchar_t* a, const String& b);
bool operator!=(const String& a, const String& b);
bool operator!=(const String& a, const wchar_t* b);
bool operator!=(const wchar_t* a, const String& b);
bool operator<(const String& a, const String& b);

std::wostream& operator<<(std::wostream& out, const String& text);

std::string ToU8String(const String& text);
String ToKVDString(const std::string& utf8);
String ToKVDString(const char* utf8, unsigned long n);

// Reads one character; a stream left only at its end is made good again. False when the read
// failed.
bool IStreamGet(std::wistream& in, wchar_t& character);

}  // namespace KVD

namespace std {
template <>
struct hash<KVD::String> {
    size_t operator()(const KVD::String& text) const;
};
}  // namespace std
