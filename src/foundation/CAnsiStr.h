// An owned UTF-8 copy of a wide text, for calls that take 8-bit text (file paths).
#pragma once

namespace KVDString {

class CAnsiStr {
public:
    CAnsiStr() = default;
    explicit CAnsiStr(const wchar_t* text) { NativeToUTF8(text); }
    ~CAnsiStr() { delete[] mText; }
    CAnsiStr(const CAnsiStr&) = delete;
    CAnsiStr& operator=(const CAnsiStr&) = delete;

    // Replaces the held text by the UTF-8 form of text (none for null) and answers it.
    const char* NativeToUTF8(const wchar_t* text);
    // Null when no text is held.
    const char* c_str() const { return mText; }

private:
    char* mText = nullptr;
};

}  // namespace KVDString
