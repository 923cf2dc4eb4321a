// KVD::String: construction, copy-on-write sharing and detaching, editing, comparison,
// hashing, conversions and the out-parameter adaptor.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <thread>
#include <unordered_set>
#include <vector>

#include "foundation/ElfHash.h"
#include "foundation/KVDString.h"
#include "ForeignString.h"

namespace {

using KVD::String;

bool SharesWith(const String& a, const String& b) { return a.c_str() == b.c_str(); }

TEST(KVDString, EmptyStringsShareTheOneEmptyRepresentation)
{
    const String byDefault;
    const String fromEmpty(L"");
    const String fromNull(static_cast<const wchar_t*>(nullptr));
    const String fromEmptyUtf8("");
    EXPECT_TRUE(SharesWith(byDefault, fromEmpty));
    EXPECT_TRUE(SharesWith(byDefault, fromNull));
    EXPECT_TRUE(SharesWith(byDefault, fromEmptyUtf8));
    EXPECT_EQ(byDefault.GetCapacity(), 9u);
    EXPECT_EQ(byDefault.GetCount(), 1u);
    EXPECT_EQ(byDefault.length(), 0u);
}

TEST(KVDString, ConstructionSetsCountCapacityAndText)
{
    const String fromWString{std::wstring()};
    EXPECT_FALSE(SharesWith(fromWString, String()));
    EXPECT_EQ(fromWString.GetCount(), 1u);
    EXPECT_EQ(fromWString.GetCapacity(), 8u);

    const String one(L"x");
    EXPECT_EQ(one.GetCount(), 2u);
    EXPECT_EQ(one.GetCapacity(), 8u);
    const String twenty(L"abcdefghijklmnopqrst");
    EXPECT_EQ(twenty.GetCount(), 21u);
    EXPECT_EQ(twenty.GetCapacity(), 21u);

    EXPECT_EQ(String(L"abcdef", 3), L"abc");
    EXPECT_EQ(String(L"ab\0cd", 5), L"ab");
    EXPECT_TRUE(SharesWith(String(L"abc", 0), String()));

    const String dashes(4, L'-');
    EXPECT_EQ(dashes, L"----");
    EXPECT_EQ(dashes.GetCount(), 5u);
    EXPECT_TRUE(SharesWith(String(0, L'-'), String()));
    EXPECT_TRUE(String(3, L'\0').empty());

    // Eight-bit text is UTF-8 (cut at a byte that is not) or Mac Roman.
    EXPECT_EQ(String("Gr\xC3\xB6\xC3\x9F" "e"), L"Gr\u00F6\u00DFe");
    EXPECT_EQ(String(std::string("ab\xFF" "cd")), L"ab");
    EXPECT_EQ(String("\x80\xA5\xDB\xF0\x41", KVD::kConversionMacRoman), L"\u00C4\u2022\u20AC\uF8FFA");
}

TEST(KVDString, CopiesShareUntilOneWrites)
{
    String original(L"flow");
    String copy(original);
    EXPECT_TRUE(SharesWith(original, copy));
    copy += L" rate";
    EXPECT_FALSE(SharesWith(original, copy));
    EXPECT_EQ(original, L"flow");
    EXPECT_EQ(copy, L"flow rate");

    String assigned;
    assigned = original;
    EXPECT_TRUE(SharesWith(original, assigned));
    assigned.SetAt(0, L'F');
    EXPECT_EQ(original, L"flow");
    EXPECT_EQ(assigned, L"Flow");
}

TEST(KVDString, CopiesMadeAndWrittenOnOtherThreadsLeaveTheOriginal)
{
    const String original(L"shared text");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&original] {
            for (int i = 0; i < 2000; ++i) {
                String copy(original);
                if (i % 2 == 0)
                    copy += L'!';
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(original, L"shared text");
    AutoBool shared = kAutoTrue;
    original.AsIAutoKVDString()->IsShared(&shared);
    EXPECT_EQ(shared, kAutoFalse);  // every copy's reference came back
}

TEST(KVDString, AppendGrowsByHalfAgainTheNeededCount)
{
    String text(L"abcdefg");
    ASSERT_EQ(text.GetCapacity(), 8u);
    text += L'h';
    EXPECT_EQ(text.GetCapacity(), 13u);
    EXPECT_EQ(text, L"abcdefgh");
    text += L"ijkl";
    EXPECT_EQ(text.GetCapacity(), 13u);
    text += String(L"m");
    EXPECT_EQ(text.GetCapacity(), 21u);
    EXPECT_EQ(text, L"abcdefghijklm");
}

TEST(KVDString, AppendingItsOwnTextIsSafe)
{
    String text(L"abcdefg");
    text += text;
    EXPECT_EQ(text, L"abcdefgabcdefg");
    String tail(L"0123456");
    tail += tail.c_str() + 4;  // the text lies in the block that the append replaces
    EXPECT_EQ(tail, L"0123456456");
}

TEST(KVDString, RemoveAndSetAtStayInsideTheText)
{
    String text(L"abcdef");
    text.Remove(3, 3);
    EXPECT_EQ(text, L"abcdef");
    text.Remove(1, 3);
    EXPECT_EQ(text, L"adef");
    text.Remove(2, 99);
    EXPECT_EQ(text, L"ad");
    EXPECT_EQ(text.GetCount(), 3u);
    text.Remove(5, 9);
    EXPECT_EQ(text, L"ad");
    // SetAt writes only inside the text.
    text.SetAt(2, L'x');
    text.SetAt(7, L'x');
    EXPECT_EQ(text, L"ad");
    EXPECT_EQ(text.GetCount(), 3u);
}

TEST(KVDString, ReplaceAndSubstr)
{
    String text(L"volume");
    text.replace(6, 0, L" L");
    EXPECT_EQ(text, L"volume L");
    text.replace(0, 6, L"V");
    EXPECT_EQ(text, L"V L");
    text.replace(2, 5, L"litres per second");
    EXPECT_EQ(text, L"V litres per second");
    text.replace(0, 1, text);
    EXPECT_EQ(text, L"V litres per second litres per second");
    text.replace(99, 1, L"!");
    EXPECT_EQ(text.substr(text.length() - 3, 10), L"nd!");

    const String word(L"spirometry");
    EXPECT_EQ(word.substr(1, 3), L"pir");
    EXPECT_TRUE(SharesWith(word.substr(10, 2), String()));
    EXPECT_TRUE(SharesWith(word.substr(99, 2), String()));
}

TEST(KVDString, BufferWritesThroughSetAndCalcAndSetCount)
{
    String shared(L"keep");
    String text(shared);
    wchar_t* buffer = text.Set(20);
    EXPECT_GE(text.GetCapacity(), 21u);
    EXPECT_EQ(shared, L"keep");
    wcscpy(buffer, L"written");
    text.CalcAndSetCount();
    EXPECT_EQ(text, L"written");
    EXPECT_EQ(text.GetCount(), 8u);

    // A buffer written to its end without a NUL is cut at the last slot.
    String full;
    wchar_t* slots = full.Set(7);
    for (unsigned i = 0; i < full.GetCapacity(); ++i)
        slots[i] = L'z';
    full.CalcAndSetCount();
    EXPECT_EQ(full.GetCount(), full.GetCapacity());
    EXPECT_EQ(full, L"zzzzzzz");
}

TEST(KVDString, ResizeKeepsTextAndShrinkingIsSafe)
{
    String text(L"abcdefghijklmnopqrst");
    text.Resize(40);
    EXPECT_EQ(text.GetCapacity(), 40u);
    EXPECT_EQ(text, L"abcdefghijklmnopqrst");
    text.Resize(5);
    EXPECT_EQ(text.GetCapacity(), 8u);
    EXPECT_EQ(text.GetCount(), 8u);
    EXPECT_EQ(text, L"abcdefg");

    String other(L"xyz");
    String copy(other);
    copy.Resize(copy.GetCapacity());  // shared: a private block even at the same capacity
    EXPECT_FALSE(SharesWith(other, copy));
    EXPECT_EQ(copy, L"xyz");
}

TEST(KVDString, SetSizeSetCountAndDoCOW)
{
    String text(L"abc");
    text.SetSize(30);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(text.GetCapacity(), 30u);

    String original(L"abcdef");
    String copy(original);
    copy.DoCOW();
    EXPECT_FALSE(SharesWith(original, copy));
    EXPECT_EQ(copy, L"abcdef");
    wchar_t* data = copy.Data();
    data[6] = L'g';
    copy.SetCount(8);
    EXPECT_EQ(copy, L"abcdefg");
    copy.SetCount(1000);  // kept within the capacity
    EXPECT_EQ(copy.GetCount(), copy.GetCapacity());
    EXPECT_EQ(original, L"abcdef");
}

TEST(KVDString, ReadTokenReadsWholeWordsAndIStreamGetCharacters)
{
    std::wistringstream in(L"  req  an_argument_much_longer_than_the_first_capacity\tlast");
    String token;
    token.ReadToken(in);
    EXPECT_EQ(token, L"req");
    token.ReadToken(in);
    EXPECT_EQ(token, L"an_argument_much_longer_than_the_first_capacity");
    EXPECT_EQ(token.GetCount(), token.length() + 1);
    token.ReadToken(in);
    EXPECT_EQ(token, L"last");
    EXPECT_TRUE(in.eof());

    // IStreamGet reads characters and clears a plain end.
    in.clear();
    in.str(L"ab");
    wchar_t c = 0;
    EXPECT_TRUE(KVD::IStreamGet(in, c));
    EXPECT_EQ(c, L'a');
    EXPECT_TRUE(KVD::IStreamGet(in, c));
    EXPECT_EQ(c, L'b');
    EXPECT_FALSE(KVD::IStreamGet(in, c));
    EXPECT_EQ(c, L'b');
}

TEST(KVDString, ComparisonsAndCase)
{
    EXPECT_EQ(String(L"abc"), String(L"abc"));
    EXPECT_NE(String(L"abc"), String(L"abd"));
    EXPECT_TRUE(String(L"abc") < String(L"abd"));
    EXPECT_FALSE(String(L"abc") < String(L"abc"));
    EXPECT_TRUE(L"abc" == String(L"abc"));
    EXPECT_TRUE(String() == static_cast<const wchar_t*>(nullptr));

    EXPECT_TRUE(String(L"ABC").CaseInsensitiveEqual(String(L"abc")));
    EXPECT_FALSE(String(L"ABC").CaseInsensitiveEqual(String(L"abcd")));
    EXPECT_LT(String(L"abc").CaseInsensitiveCompare(String(L"abcd"), true), 0);
    EXPECT_GT(String(L"abcd").CaseInsensitiveCompare(String(L"ABC"), false), 0);
    EXPECT_EQ(String(L"Req").CaseInsensitiveCompare(String(L"rEQ"), false), 0);
}

TEST(KVDString, Utf8FormsTheirCacheAndHashes)
{
    EXPECT_EQ(KVD::ToU8String(String(L"\u00B5L")), "\xC2\xB5L");
    EXPECT_EQ(KVD::ToKVDString(std::string("\xC2\xB5L")), L"\u00B5L");
    EXPECT_TRUE(SharesWith(KVD::ToKVDString(std::string()), String()));

    String shared(L"\u00E9t\u00E9");
    String text(shared);
    EXPECT_STREQ(text.UTF8(), "\xC3\xA9t\xC3\xA9");
    EXPECT_FALSE(SharesWith(shared, text));  // the cache belongs to a block of its own
    text += L'!';
    EXPECT_STREQ(text.UTF8(), "\xC3\xA9t\xC3\xA9!");

    // Equal texts hash alike, as the ELF hash of their characters.
    const String a(L"SpFlow");
    String b(L"Sp");
    b += L"Flow";
    ASSERT_FALSE(SharesWith(a, b));
    const std::hash<String> hash;
    EXPECT_EQ(hash(a), hash(b));
    EXPECT_EQ(hash(a), gElfHashStr(L"SpFlow", 0));
    std::unordered_set<String> names = {a, b, String(L"SpVol")};
    EXPECT_EQ(names.size(), 2u);
}

TEST(KVDString, SharesNativeStringObjectsAndCopiesForeignOnes)
{
    const String native(L"native");
    const String shared(native.AsIAutoKVDString());
    EXPECT_TRUE(SharesWith(native, shared));

    test::ForeignString foreign(L"foreign");
    {
        const String copied(&foreign);
        EXPECT_EQ(copied, L"foreign");
        EXPECT_EQ(copied.GetCapacity(), 8u);
        EXPECT_EQ(foreign.refs, 1u);
    }
    test::ForeignString narrow(L"narrow", 2);  // characters of another size are not taken
    EXPECT_TRUE(String(&narrow).empty());

    String assigned(L"old");
    assigned = static_cast<IAutoKVDString*>(nullptr);
    EXPECT_TRUE(SharesWith(assigned, String()));
    assigned = &foreign;
    EXPECT_EQ(assigned, L"foreign");
}

TEST(KVDString, SetterAdoptsWhatTheCalleeReturns)
{
    const String source(L"from the host");
    std::function<void(IAutoKVDString**)> callee = [&source](IAutoKVDString** out) { source.GetOut(out); };

    String target(L"previous");
    callee(String::Setter(target));
    EXPECT_TRUE(SharesWith(target, source));  // adopted, not copied
    AutoBool shared = 0;
    source.AsIAutoKVDString()->IsShared(&shared);
    EXPECT_EQ(shared, kAutoTrue);

    auto* foreign = new test::ForeignString(L"foreign text");
    foreign->deleteAtZero = true;
    callee = [foreign](IAutoKVDString** out) { *out = foreign; };
    callee(String::Setter(target));  // copied, and the callee's reference released
    EXPECT_EQ(target, L"foreign text");

    callee = [](IAutoKVDString** out) { *out = nullptr; };
    callee(String::Setter(target));
    EXPECT_TRUE(SharesWith(target, String()));
}

TEST(KVDString, MakeValidStringRepAndReleaseConsumesTheReference)
{
    test::ForeignString foreign(L"abc");
    foreign.AddRef();
    String target;
    target.MakeValidStringRepAndRelease(&foreign);
    EXPECT_EQ(target, L"abc");
    EXPECT_EQ(foreign.refs, 1u);

    const String native(L"native");
    IAutoKVDString* handed = nullptr;
    native.GetOut(&handed);
    target.MakeValidStringRepAndRelease(handed);
    EXPECT_TRUE(SharesWith(target, native));
    AutoBool shared = 0;
    target.AsIAutoKVDString()->IsShared(&shared);
    EXPECT_EQ(shared, kAutoTrue);
    target = L"";
    native.AsIAutoKVDString()->IsShared(&shared);
    EXPECT_EQ(shared, kAutoFalse);
}

}  // namespace
