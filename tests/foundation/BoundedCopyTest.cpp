// Bounded copies and their reports, the case-insensitive compare and the ELF hash.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "foundation/BoundedCopy.h"
#include "foundation/ElfHash.h"
#include "foundation/WideCompare.h"

namespace {

struct Report {
    std::string message;
    int error;
};
std::vector<Report> gReports;

void Record(const char* message, void*, int error)
{
    gReports.push_back({message != nullptr ? message : "", error});
}

// Collects the reports of one test instead of printing them.
class BoundedCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        gReports.clear();
        mPrevious = SetTextConstraintHandler(Record);
    }
    void TearDown() override { SetTextConstraintHandler(mPrevious); }

    void ExpectReport(const char* message, int error)
    {
        ASSERT_EQ(gReports.size(), 1u);
        EXPECT_EQ(gReports[0].message, message);
        EXPECT_EQ(gReports[0].error, error);
        gReports.clear();
    }

    TextConstraintHandler mPrevious = nullptr;
};

TEST_F(BoundedCopy, CopiesWithTheNulOrLeavesATooSmallDestinationEmpty)
{
    wchar_t dest[6] = L"zzzzz";
    EXPECT_EQ(wcscpy_s(dest, 6, L"abcde"), 0);
    EXPECT_STREQ(dest, L"abcde");
    EXPECT_TRUE(gReports.empty());
    EXPECT_EQ(wcscpy_s(dest, 3, L"abcde"), 406);
    EXPECT_EQ(dest[0], L'\0');
    ExpectReport("txtcpy_s: not enough space for src", 406);
}

TEST_F(BoundedCopy, RejectsBadArgumentsWithTheirCodeAndReport)
{
    wchar_t dest[4];
    wchar_t text[] = L"abc";
    const struct {
        std::function<int()> call;
        int code;
        const char* report;
    } cases[] = {
        {[&] { return wcscpy_s(nullptr, 4, L"a"); }, 400, "txtcpy_s: dest is null"},
        {[&] { return wcscpy_s(dest, 4, nullptr); }, 400, "txtcpy_s: src is null"},
        {[&] { return wcscpy_s(dest, 0, L"a"); }, 401, "txtcpy_s: dmax is 0"},
        {[&] { return wcscpy_s(dest, 0x4000001, L"a"); }, 403, "txtcpy_s: dmax exceeds max"},
        {[&] { return wcsncpy_s(nullptr, 4, L"a", 1); }, 400, "strncpy_s: dest is null"},
        {[&] { return wcsncpy_s(dest, 4, nullptr, 1); }, 400, "txtncpy_s: src is null"},
        {[&] { return wcsncpy_s(dest, 0, L"a", 1); }, 401, "txtncpy_s: dmax is 0"},
        {[&] { return wcsncpy_s(dest, 0x4000001, L"a", 1); }, 403, "txtncpy_s: dmax exceeds max"},
        {[&] { return wcsncpy_s(dest, 4, L"a", 0x4000001); }, 403, "txtncpy_s: slen exceeds max"},
        {[&] { return wcstolowercase_s(nullptr, 3); }, 400, "txttolowercase_s: dest is null"},
        {[&] { return wcstolowercase_s(text, 0); }, 401, "txttolowercase_s: dmax is 0"},
        {[&] { return wcstolowercase_s(text, 0x4000001); }, 403, "txttolowercase_s: dmax exceeds max"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.call(), c.code) << c.report;
        ExpectReport(c.report, c.code);
    }
}

TEST_F(BoundedCopy, DetectsOverlapInEitherDirection)
{
    wchar_t text[12] = L"abcdefghij";
    EXPECT_EQ(wcscpy_s(text + 2, 10, text), 404);  // the source runs into the destination
    EXPECT_EQ(text[2], L'\0');
    ExpectReport("txtcpy_s: overlapping objects", 404);

    wchar_t other[12] = L"abcdefghij";
    EXPECT_EQ(wcsncpy_s(other, 12, other + 3, 5), 404);  // the destination runs into the source
    EXPECT_EQ(other[0], L'\0');
    ExpectReport("txtncpy_s: overlapping objects", 404);
}

TEST_F(BoundedCopy, BoundedCopyTakesAtMostSlenAndTerminates)
{
    wchar_t dest[8];
    EXPECT_EQ(wcsncpy_s(dest, 8, L"abcdef", 3), 0);
    EXPECT_STREQ(dest, L"abc");
    EXPECT_EQ(wcsncpy_s(dest, 8, L"ab", 5), 0);
    EXPECT_STREQ(dest, L"ab");
    // slen characters and the NUL must fit.
    EXPECT_EQ(wcsncpy_s(dest, 3, L"abcdef", 3), 406);
    EXPECT_EQ(dest[0], L'\0');
    ExpectReport("txtncpy_s: not enough space for src", 406);
}

TEST_F(BoundedCopy, LowerCasesOnlyAsciiLetters)
{
    wchar_t text[] = L"AbZ-\u00C4@[";
    EXPECT_EQ(wcstolowercase_s(text, 8), 0);
    EXPECT_STREQ(text, L"abz-\u00C4@[");

    wchar_t unterminated[3] = {L'A', L'B', L'C'};
    EXPECT_EQ(wcstolowercase_s(unterminated, 3), 407);
    ExpectReport("txttolowercase_s: dest is unterminated", 407);
}

TEST_F(BoundedCopy, DefaultHandlerPrintsAndNullHandlerIsSilent)
{
    SetTextConstraintHandler(DefaultTextConstraintHandler);
    ::testing::internal::CaptureStderr();
    wchar_t dest[2];
    wcscpy_s(dest, 0, L"a");
    DefaultTextConstraintHandler(nullptr, nullptr, 400);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "%SAFE_LIB CONSTRAINT: txtcpy_s: dmax is 0, error code=401 \n"
              "%SAFE_LIB CONSTRAINT: Null message, error code=400 \n");

    SetTextConstraintHandler(nullptr);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(wcscpy_s(dest, 0, L"a"), 401);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST(WideCompare, ComparesIgnoringCaseUpToN)
{
    EXPECT_EQ(_wcsnicmp(L"ABC", L"abc", 3), 0);
    EXPECT_EQ(_wcsnicmp(L"ABC", L"abd", 3), -1);
    EXPECT_EQ(_wcsnicmp(L"abd", L"ABC", 3), 1);
    EXPECT_EQ(_wcsnicmp(L"abc", L"ab", 5), 1);     // c against the NUL
    EXPECT_EQ(_wcsnicmp(L"abcX", L"ABCY", 3), 0);  // differs only after n
    EXPECT_EQ(_wcsnicmp(L"ab", L"AB", 10), 0);     // a common NUL ends it
    EXPECT_EQ(_wcsnicmp(L"a", L"b", 0), 0);
    EXPECT_EQ(_wcsnicmp(L"a", L"b", -1), 0);
}

TEST(ElfHash, MatchesHandComputedValues)
{
    EXPECT_EQ(gElfHashStr(L"", 7), 7u);
    EXPECT_EQ(gElfHashStr(L"A", 0), 0x41u);
    EXPECT_EQ(gElfHashStr(L"AB", 0), 0x452u);
    // The seventh and eighth characters push bits into the top nibble, which is folded back.
    EXPECT_EQ(gElfHashStr(L"abcdefgh", 0), 0x089ABAA8u);
    EXPECT_EQ(gElfHashStr(L"abcdefgh", 5), 0x089AB7A8u);
}

}  // namespace
