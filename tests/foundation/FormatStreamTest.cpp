// Message texts with numbered placeholders filled from inserted values.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "foundation/OFormatStream.h"

namespace {

using KVD::OFormatStringStream;
using KVD::String;

std::wstring Numbered(int from, int to, const wchar_t* before, int times = 1)
{
    std::wstring text;
    for (int i = from; i <= to; ++i)
        text += before + std::to_wstring(i * times) + L",";
    return text;
}

TEST(FormatStream, PlaceholdersAreFilledFromTheInsertedValues)
{
    const struct {
        const wchar_t* format;
        std::function<void(OFormatStringStream&)> insert;
        const wchar_t* expected;
    } cases[] = {
        {L"Channel %1", [](auto& f) { f << 3; }, L"Channel 3"},
        {L"%1%% full range", [](auto& f) { f << 50; }, L"50% full range"},
        {L"a%%b %1 c%%d", [](auto& f) { f << L"x"; }, L"a%b x c%d"},
        {L"%2 before %1", [](auto& f) { f << L"first" << String(L"second"); }, L"second before first"},
        {L"%1: '%2' must lie between %4 and %3.", [](auto& f) { f << L"Smooth" << L"width" << 1000.0 << 1.0 / 3; },
         L"Smooth: 'width' must lie between 0.333333 and 1000."},
        // Without placeholders the format is written at once as given; nothing is left to fill.
        {L"100%% sure, %0 and %-1 are text", [](auto& f) { f << 5; }, L"100%% sure, %0 and %-1 are text"},
        // Output waits for the highest placeholder: two values are not enough.
        {L"%3!", [](auto& f) { f << 1 << 2; }, L""},
        {L"%3!", [](auto& f) { f << 1 << 2 << 3 << 4; }, L"3!"},
        {L"%1 of %2", [](auto& f) { f << 1; }, L""},
        {L"%1\\2 Hz", [](auto& f) { f << 5; }, L"52 Hz"},  // a backslash after the digits ends it
        {L"[%1] and [%1]", [](auto& f) { f << L"x"; }, L"[] and [x]"},  // filled at its last place
        {L"%21 %1", [](auto& f) { for (int i = 1; i <= 21; ++i) f << i; }, L"%21 1"},
        {L"<%1>", [](auto& f) { f << "caf\xE9"; }, L"<caf?>"},  // eight-bit values widened as ASCII
    };
    for (const auto& c : cases) {
        OFormatStringStream format(c.format);
        c.insert(format);
        EXPECT_EQ(format.str(), c.expected) << c.format;
    }

    // Twenty placeholders at most: a twenty-first stays text.
    OFormatStringStream format(String((Numbered(1, 20, L"%") + L"%1.").c_str()));
    for (int i = 1; i <= 20; ++i)
        format << i * 10;
    EXPECT_EQ(format.str(), String((Numbered(1, 20, L"", 10) + L"%1.").c_str()));
}

TEST(FormatStream, WritesIntoAnyWideStreamBuffer)
{
    KVD::OStringStream target;
    target << L"Error: ";
    KVD::OFormatStream format(target.rdbuf(), L"%1 expects %2 arguments");
    format << L"mod" << 2;
    EXPECT_EQ(target.str(), L"Error: mod expects 2 arguments");
}

}  // namespace
