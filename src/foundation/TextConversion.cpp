#include "foundation/TextConversion.h"

#include <cstdint>
#include <cwchar>
#include <memory>

// The routines follow the Unicode consortium's reference conversions in lenient mode. Their
// result code only tells why the conversion ended; the callers here need only the output.
namespace {

constexpr uint32_t kReplacementChar = 0xFFFD;
constexpr uint32_t kMaxBmp = 0xFFFF;
constexpr uint32_t kMaxLegalUtf32 = 0x10FFFF;
constexpr uint32_t kHighSurrogateStart = 0xD800;
constexpr uint32_t kHighSurrogateEnd = 0xDBFF;
constexpr uint32_t kLowSurrogateStart = 0xDC00;
constexpr uint32_t kLowSurrogateEnd = 0xDFFF;
constexpr int kHalfShift = 10;
constexpr uint32_t kHalfBase = 0x10000;
constexpr uint32_t kHalfMask = 0x3FF;

bool IsSurrogate(uint32_t ch) { return ch >= kHighSurrogateStart && ch <= kLowSurrogateEnd; }

// Continuation bytes that follow each lead byte (values for F8-FF only make them illegal).
int TrailingBytes(uint8_t lead)
{
    if (lead < 0xC0)
        return 0;
    if (lead < 0xE0)
        return 1;
    if (lead < 0xF0)
        return 2;
    if (lead < 0xF8)
        return 3;
    return lead < 0xFC ? 4 : 5;
}

// Subtracted after summing the shifted bytes, to remove the lead and continuation markers.
constexpr uint32_t kOffsetsFromUtf8[6] = {0x00000000, 0x00003080, 0x000E2080, 0x03C82080, 0xFA082080, 0x82082080};
constexpr uint8_t kFirstByteMark[5] = {0x00, 0x00, 0xC0, 0xE0, 0xF0};

// The reference legality test of one sequence of the given length: it rejects overlong forms,
// encoded surrogates and values above U+10FFFF.
bool IsLegalUtf8(const uint8_t* source, int length)
{
    if (length < 1 || length > 4)
        return false;
    for (int i = 1; i < length; ++i)
        if (source[i] < 0x80 || source[i] > 0xBF)
            return false;
    const uint8_t lead = source[0];
    if (length >= 2) {
        const uint8_t second = source[1];
        switch (lead) {
        case 0xE0: if (second < 0xA0) return false; break;
        case 0xED: if (second > 0x9F) return false; break;
        case 0xF0: if (second < 0x90) return false; break;
        case 0xF4: if (second > 0x8F) return false; break;
        default: break;
        }
    }
    if (lead >= 0x80 && lead < 0xC2)
        return false;
    return lead <= 0xF4;
}

int Utf8Length(uint32_t ch)
{
    if (ch < 0x80)
        return 1;
    if (ch < 0x800)
        return 2;
    if (ch < 0x10000)
        return 3;
    return 4;
}

// Stack scratch for short texts, heap for long ones.
template <class T, size_t StackUnits>
class Scratch {
public:
    explicit Scratch(size_t units)
    {
        if (units > StackUnits) {
            mHeap.reset(new T[units]);
            mData = mHeap.get();
        }
    }
    T* data() { return mData; }

private:
    T mStack[StackUnits];
    std::unique_ptr<T[]> mHeap;
    T* mData = mStack;
};

}  // namespace

size_t KVDConvertUnicode(const wchar_t* source, size_t sourceLength, char* target, size_t targetCapacity)
{
    size_t written = 0;
    for (size_t i = 0; i < sourceLength; ++i) {
        uint32_t ch = static_cast<uint32_t>(source[i]);
        if (ch > kMaxLegalUtf32)
            ch = kReplacementChar;  // surrogate values, by contrast, are encoded as they are
        const int length = Utf8Length(ch);
        if (written + length > targetCapacity)
            break;
        char* out = target + written;
        for (int k = length - 1; k > 0; --k) {
            out[k] = static_cast<char>((ch & 0x3F) | 0x80);
            ch >>= 6;
        }
        out[0] = static_cast<char>(ch | kFirstByteMark[length]);
        written += length;
    }
    return written;
}

size_t KVDConvertUnicode(const char* source, size_t sourceLength, wchar_t* target, size_t targetCapacity)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(source);
    size_t written = 0;
    size_t i = 0;
    while (i < sourceLength && written < targetCapacity) {
        const int extra = TrailingBytes(bytes[i]);
        if (static_cast<size_t>(extra) >= sourceLength - i)
            break;  // cut off by the end of the input
        if (!IsLegalUtf8(bytes + i, extra + 1))
            break;
        uint32_t ch = 0;
        for (int k = 0; k <= extra; ++k)
            ch = (ch << 6) + bytes[i + k];
        ch -= kOffsetsFromUtf8[extra];
        target[written++] = static_cast<wchar_t>(ch);
        i += extra + 1;
    }
    return written;
}

size_t KVDConvertUnicode(const char16_t* source, size_t sourceLength, wchar_t* target, size_t targetCapacity)
{
    size_t written = 0;
    size_t i = 0;
    while (i < sourceLength && written < targetCapacity) {
        uint32_t ch = source[i];
        if (ch >= kHighSurrogateStart && ch <= kHighSurrogateEnd) {
            if (i + 1 == sourceLength)
                break;  // the pair's second half has not come; the high half is not consumed
            const uint32_t low = source[i + 1];
            if (low >= kLowSurrogateStart && low <= kLowSurrogateEnd) {
                ch = ((ch - kHighSurrogateStart) << kHalfShift) + (low - kLowSurrogateStart) + kHalfBase;
                ++i;
            }
        }
        target[written++] = static_cast<wchar_t>(ch);
        ++i;
    }
    return written;
}

size_t KVDConvertUnicode(const wchar_t* source, size_t sourceLength, char16_t* target, size_t targetCapacity)
{
    size_t written = 0;
    for (size_t i = 0; i < sourceLength && written < targetCapacity; ++i) {
        uint32_t ch = static_cast<uint32_t>(source[i]);
        if (ch <= kMaxBmp || ch > kMaxLegalUtf32) {
            if (ch > kMaxLegalUtf32 || IsSurrogate(ch))
                ch = kReplacementChar;
            target[written++] = static_cast<char16_t>(ch);
            continue;
        }
        if (written + 1 >= targetCapacity)
            break;  // the pair does not fit
        ch -= kHalfBase;
        target[written++] = static_cast<char16_t>((ch >> kHalfShift) + kHighSurrogateStart);
        target[written++] = static_cast<char16_t>((ch & kHalfMask) + kLowSurrogateStart);
    }
    return written;
}

namespace KVD {

std::string ToU8String(const wchar_t* text, unsigned long n)
{
    Scratch<char, 255> scratch(4 * n);
    return std::string(scratch.data(), KVDConvertUnicode(text, n, scratch.data(), 4 * n));
}

std::wstring ToWString(const std::string& text)
{
    return ToWString(text.data(), text.size());
}

std::wstring ToWString(const char* text, unsigned long n)
{
    // A UTF-8 text never has more characters than bytes.
    Scratch<wchar_t, 255> scratch(n);
    return std::wstring(scratch.data(), KVDConvertUnicode(text, n, scratch.data(), n));
}

char* NewUTF8Text(const wchar_t* text)
{
    if (text == nullptr)
        return nullptr;
    // Four bytes cover any character; the NUL is converted with the text.
    const size_t length = std::wcslen(text) + 1;
    char* utf8 = new char[4 * length];
    KVDConvertUnicode(text, length, utf8, 4 * length);
    return utf8;
}

}  // namespace KVD
