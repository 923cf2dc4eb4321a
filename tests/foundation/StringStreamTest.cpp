// Wide streams that write straight into a KVD::String.
#include <gtest/gtest.h>

#include <istream>
#include <memory>

#include "foundation/AsciiEncoding.h"
#include "foundation/OStringStream.h"

namespace {

using KVD::OStringStream;
using KVD::String;
using KVD::StringStreamBuf;

TEST(StringStream, LaterOutputLeavesATakenTextAlone)
{
    OStringStream out;
    out << L"Flow " << 2.5;
    const String taken = out.str();
    EXPECT_EQ(taken, L"Flow 2.5");
    out << L" L/s";
    EXPECT_EQ(out.str(), L"Flow 2.5 L/s");
    EXPECT_EQ(taken, L"Flow 2.5");
}

TEST(StringStream, LongTextsGrowWithoutLoss)
{
    OStringStream out;
    std::wstring expected;
    for (int i = 0; i < 500; ++i) {
        out << i << L';';
        expected += std::to_wstring(i) + L";";
    }
    EXPECT_EQ(out.str(), expected.c_str());
    EXPECT_EQ(out.str().length(), expected.size());
}

TEST(StringStream, WritingAppendsToTheTextTheBufferStartsWithUntilCleared)
{
    StringStreamBuf buffer(String(L"Ch "));
    std::wostream out(&buffer);
    out << 3;
    buffer.DoSetStringCount();
    EXPECT_EQ(buffer.GetString(), L"Ch 3");
    buffer.clear();
    out << L"new";
    buffer.DoSetStringCount();
    EXPECT_EQ(buffer.GetString(), L"new");
}

TEST(StringStream, WhatIsWrittenCanBeReadBack)
{
    StringStreamBuf buffer;
    std::wostream out(&buffer);
    std::wistream in(&buffer);
    out << L"12 34";
    int a = 0;
    int b = 0;
    in >> a >> b;
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, 34);
    in.clear();
    in.seekg(1);
    wchar_t c = 0;
    in.get(c);
    EXPECT_EQ(c, L'2');
    EXPECT_TRUE(in.unget());
    in.get(c);
    EXPECT_EQ(c, L'2');
    EXPECT_FALSE(in.putback(L'9'));  // only the character that was there goes back
}

TEST(StringStream, SeeksStayInsideTheBlock)
{
    OStringStream out;
    out << L"abcdef";
    EXPECT_EQ(out.tellp(), std::streampos(6));
    out.seekp(2);
    out << L"XY";
    EXPECT_EQ(out.tellp(), std::streampos(4));
    out.seekp(100);  // past the capacity: refused
    EXPECT_TRUE(out.fail());
    out.clear();
    out.seekp(0, std::ios_base::end);  // relative to the end: refused
    EXPECT_TRUE(out.fail());
    out.clear();
    out.seekp(6);
    EXPECT_EQ(out.str(), L"abXYef");
    StringStreamBuf both;
    EXPECT_EQ(both.pubseekoff(0, std::ios_base::cur, std::ios_base::in | std::ios_base::out), std::streampos(-1));
}

TEST(AsciiEncoding, EightBitTextsKeepAsciiAndReplaceTheRest)
{
    OStringStream out;
    out << "caf\xE9 " << "ok";
    EXPECT_EQ(out.str(), L"caf? ok");

    wchar_t* kept = nullptr;
    KVD::CreateAsciiEncoding<const char, wchar_t>(&kept, "a\xE9", 2, L'\0');
    const std::unique_ptr<wchar_t[]> owned(kept);
    EXPECT_EQ(kept[0], L'a');
    EXPECT_EQ(kept[1], wchar_t(0xE9));  // no replacement: the byte itself
    EXPECT_EQ(kept[2], L'\0');
}

}  // namespace
