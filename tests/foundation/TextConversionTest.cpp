// UTF-8, UTF-16 and wide conversions, with illegal, cut-off and surrogate sequences.
#include <gtest/gtest.h>

#include <string>

#include "foundation/TextConversion.h"

namespace {

std::string Utf8Of(const std::wstring& text, size_t capacity = 64)
{
    std::string out(capacity, '\0');
    out.resize(KVDConvertUnicode(text.data(), text.size(), &out[0], capacity));
    return out;
}

std::wstring WideOfUtf8(const std::string& bytes)
{
    return KVD::ToWString(bytes);
}

std::u16string Utf16Of(const std::wstring& text, size_t capacity = 64)
{
    std::u16string out(capacity, u'\0');
    out.resize(KVDConvertUnicode(text.data(), text.size(), &out[0], capacity));
    return out;
}

std::wstring WideOfUtf16(const std::u16string& units, size_t capacity = 64)
{
    std::wstring out(capacity, L'\0');
    out.resize(KVDConvertUnicode(units.data(), units.size(), &out[0], capacity));
    return out;
}

TEST(TextConversion, WideToUtf8)
{
    const struct {
        std::wstring wide;
        size_t capacity;
        std::string utf8;
    } cases[] = {
        {L"A\u00E9\u20AC\U0001F600", 64, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},  // one to four bytes
        {L"\u07FF\u0800\uFFFF\U0010FFFF", 64, "\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF4\x8F\xBF\xBF"},
        {std::wstring(1, wchar_t(0xD800)), 64, "\xED\xA0\x80"},  // a surrogate is kept
        {{L'a', wchar_t(0x110000), L'b'}, 64, "a\xEF\xBF\xBD" "b"},  // beyond U+10FFFF: U+FFFD, and on
        // It stops before a character that does not fit.
        {L"A\u20AC", 4, "A\xE2\x82\xAC"},
        {L"A\u20AC", 3, "A"},
        {L"\U0001F600", 3, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8Of(c.wide, c.capacity), c.utf8) << c.utf8;
}

// Legal sequences are decoded; an illegal one ends the text.
TEST(TextConversion, Utf8ToWide)
{
    const std::pair<std::string, std::wstring> cases[] = {
        {"A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", L"A\u00E9\u20AC\U0001F600"},
        {"\xF4\x8F\xBF\xBF", L"\U0010FFFF"},
        {"ab\xC0\xAF" "cd", L"ab"},          // overlong lead byte
        {"ab\xE0\x80\x80" "cd", L"ab"},      // overlong three-byte form
        {"ab\xED\xA0\x80" "cd", L"ab"},      // encoded surrogate
        {"ab\xF4\x90\x80\x80" "cd", L"ab"},  // above U+10FFFF
        {"ab\xF5\x80\x80\x80" "cd", L"ab"},  // lead byte F5
        {"ab\x80" "cd", L"ab"},              // lone continuation byte
        {"ab\xC3" "cd", L"ab"},              // missing continuation byte
        {"ab\xE2\x82", L"ab"},               // cut off by the end
    };
    for (const auto& [utf8, wide] : cases)
        EXPECT_EQ(WideOfUtf8(utf8), wide) << utf8;
}

TEST(TextConversion, Utf8ToWideStopsWhenTheTargetIsFull)
{
    wchar_t out[2];
    EXPECT_EQ(KVDConvertUnicode("abc", 3, out, 2), 2u);
    EXPECT_EQ(out[1], L'b');
}

TEST(TextConversion, Utf16ToWideCombinesPairsAndPassesUnpairedSurrogates)
{
    EXPECT_EQ(WideOfUtf16({0xD83D, 0xDE00, u'A'}), L"\U0001F600A");
    EXPECT_EQ(WideOfUtf16({0xDC00, u'A'}), (std::wstring{wchar_t(0xDC00), L'A'}));
    EXPECT_EQ(WideOfUtf16({0xD800, u'A'}), (std::wstring{wchar_t(0xD800), L'A'}));
    // A high surrogate at the very end waits for its partner and is not consumed.
    EXPECT_EQ(WideOfUtf16({u'A', 0xD800}), L"A");
    EXPECT_EQ(WideOfUtf16({u'A', u'B'}, 1), L"A");
}

TEST(TextConversion, WideToUtf16MakesPairsAndReplacesSurrogates)
{
    EXPECT_EQ(Utf16Of(L"A\U0001F600"), (std::u16string{u'A', 0xD83D, 0xDE00}));
    EXPECT_EQ(Utf16Of(L"\U0010FFFF"), (std::u16string{0xDBFF, 0xDFFF}));
    const std::wstring bad = {wchar_t(0xDFFF), wchar_t(0x110000)};
    EXPECT_EQ(Utf16Of(bad), (std::u16string{0xFFFD, 0xFFFD}));
    // A pair needs two units.
    EXPECT_EQ(Utf16Of(L"A\U0001F600", 2), u"A");
}

TEST(TextConversion, StringConversionsRoundTripShortAndLongTexts)
{
    const std::wstring shortText = L"Fl\u00FCss \u2248 1 L/s";
    EXPECT_EQ(KVD::ToU8String(shortText.data(), shortText.size()), "Fl\xC3\xBCss \xE2\x89\x88 1 L/s");
    EXPECT_EQ(KVD::ToWString(KVD::ToU8String(shortText.data(), shortText.size())), shortText);

    std::wstring longText;
    for (int i = 0; i < 300; ++i)
        longText += (i % 2) ? L'\u00E9' : L'x';
    const std::string utf8 = KVD::ToU8String(longText.data(), longText.size());
    EXPECT_EQ(utf8.size(), 450u);
    EXPECT_EQ(KVD::ToWString(utf8.data(), utf8.size()), longText);
}

}  // namespace
