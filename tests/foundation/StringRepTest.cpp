// The representation as a COM string object: interface map, answers and variant output.
#include <gtest/gtest.h>

#include "ForeignString.h"
#include "IKVDString.h"
#include "ResultCodes.h"
#include "foundation/KVDString.h"

namespace {

using KVD::String;

TEST(StringRep, QueryInterfaceAnswersItsThreeInterfacesWithAReference)
{
    const String text(L"abc");
    IAutoKVDString* face = text.AsIAutoKVDString();
    for (const _IID* iid : {&IID_IUnknown, &IID_IKVDString, &IID_IAutoKVDString}) {
        void* out = nullptr;
        EXPECT_EQ(face->QueryInterface(*iid, &out), KVD_S_OK);
        EXPECT_EQ(out, static_cast<void*>(face));
        EXPECT_EQ(face->Release(), 1u);
    }
    void* out = &out;
    EXPECT_EQ(face->QueryInterface(IID_IPersist, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(face->QueryInterface(IID_IUnknown, nullptr), KVD_E_POINTER);
}

TEST(StringRep, RefusesWhatItCannotDoAndSaysWhenItIsShared)
{
    const String text(L"flow");
    auto* rep = static_cast<IKVDString*>(text.AsIAutoKVDString());
    IAutoKVDString* none = nullptr;  // unsupported: refused, the text unchanged
    EXPECT_EQ(rep->SetBStr(L"x"), KVD_E_BADSTATE);
    EXPECT_EQ(rep->GetBStr(&none), KVD_E_BADSTATE);
    EXPECT_EQ(text, L"flow");
    int length = 0;  // counts without the NUL; a wide character is four bytes here
    rep->GetLength(&length);
    long chars = 0, size = 0;
    rep->LengthAndCharSize(&chars, &size);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(chars, 4);
    EXPECT_EQ(size, 4);

    AutoBool flag = kAutoTrue;
    rep->IsShared(&flag);
    EXPECT_EQ(flag, kAutoFalse);
    const String copy(text);
    rep->IsShared(&flag);
    EXPECT_EQ(flag, kAutoTrue);
}

TEST(StringRep, CopyBytesNeedsRoomForTheNul)
{
    const String text(L"ab");
    wchar_t out[4] = {L'x', L'x', L'x', L'x'};
    auto* bytes = reinterpret_cast<unsigned char*>(out);
    EXPECT_EQ(text.AsIAutoKVDString()->CopyBytesFromFirstChar(11, bytes), KVD_E_BADSTATE);
    EXPECT_EQ(out[0], L'x');
    EXPECT_EQ(text.AsIAutoKVDString()->CopyBytesFromFirstChar(12, bytes), KVD_S_OK);
    EXPECT_STREQ(out, L"ab");
    EXPECT_EQ(out[3], L'x');
}

TEST(StringRep, CreateNewStringMakesARepresentationWithOneReference)
{
    IAutoKVDString* made = nullptr;
    ASSERT_EQ(String(L"x").AsIAutoKVDString()->CreateNewString(20, &made), KVD_S_OK);
    long capacity = 0;
    made->GetCapacity(&capacity);
    EXPECT_EQ(capacity, 20);
    EXPECT_EQ(made->Release(), 0u);
}

TEST(StringRep, SetVariantStoresAnOwnedCopy)
{
    VARIANT variant = {};
    ASSERT_EQ(String(L"first").AsIAutoKVDString()->SetVariant(&variant), KVD_S_OK);
    EXPECT_EQ(variant.vt, 3075);
    EXPECT_STREQ(variant.wideText, L"first");
    // The old text is freed (the leak checker sees it otherwise).
    ASSERT_EQ(String(L"second").AsIAutoKVDString()->SetVariant(&variant), KVD_S_OK);
    EXPECT_STREQ(variant.wideText, L"second");
    VariantClearWideText(&variant);
    EXPECT_EQ(variant.vt, 0);
}

TEST(StringRep, IsEqualComparesNativeTextsOnly)
{
    const String a(L"same");
    const String b(L"same");
    const String c(L"other");
    test::ForeignString foreign(L"same");
    AutoBool equal = 0;
    const std::pair<IAutoKVDString*, AutoBool> cases[] = {{a.AsIAutoKVDString(), kAutoTrue},
                                                          {b.AsIAutoKVDString(), kAutoTrue},
                                                          {c.AsIAutoKVDString(), kAutoFalse},
                                                          {&foreign, kAutoFalse}};
    for (const auto& [other, expected] : cases) {
        a.AsIAutoKVDString()->IsEqual(other, &equal);
        EXPECT_EQ(equal, expected);
    }
}

}  // namespace
