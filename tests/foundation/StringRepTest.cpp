// The representation as a COM string object: interface map, answers and variant output.
#include <gtest/gtest.h>

#include "ForeignString.h"
#include "IKVDString.h"
#include "ResultCodes.h"
#include "foundation/KVDString.h"

namespace {

using KVD::String;

TEST(StringRep, QueryInterfaceAnswersItsThreeInterfaces)
{
    const String text(L"abc");
    IAutoKVDString* face = text.AsIAutoKVDString();
    for (const _IID* iid : {&IID_IUnknown, &IID_IKVDString, &IID_IAutoKVDString}) {
        void* out = nullptr;
        EXPECT_EQ(face->QueryInterface(*iid, &out), KVD_S_OK);
        EXPECT_EQ(out, static_cast<void*>(face));
        EXPECT_EQ(face->Release(), 1u);  // the answer carried a reference
    }
    void* out = &out;
    EXPECT_EQ(face->QueryInterface(IID_IPersist, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(face->QueryInterface(IID_IUnknown, nullptr), KVD_E_POINTER);
    EXPECT_EQ(face->AddRef(), 2u);
    EXPECT_EQ(face->Release(), 1u);
}

TEST(StringRep, AnswersLengthCapacityAndState)
{
    const String text(L"flow");
    auto* rep = static_cast<IKVDString*>(text.AsIAutoKVDString());
    AutoBool flag = 1;
    EXPECT_EQ(rep->IsEmpty(&flag), KVD_S_OK);
    EXPECT_EQ(flag, kAutoFalse);
    String().AsIAutoKVDString()->IsEmpty(&flag);
    EXPECT_EQ(flag, kAutoTrue);
    int length = 0;
    rep->GetLength(&length);
    EXPECT_EQ(length, 4);
    long chars = 0, size = 0;
    rep->LengthAndCharSize(&chars, &size);
    EXPECT_EQ(chars, 4);
    EXPECT_EQ(size, 4);
    long capacity = 0;
    rep->GetCapacity(&capacity);
    EXPECT_EQ(capacity, 7);
    EXPECT_EQ(rep->IsStringRep(), 9);
    IAutoKVDString* none = nullptr;  // unsupported: refused, the text unchanged
    EXPECT_EQ(text.AsIAutoKVDString()->SetBStr(L"x"), KVD_E_BADSTATE);
    EXPECT_EQ(text.AsIAutoKVDString()->GetBStr(&none), KVD_E_BADSTATE);
    EXPECT_EQ(rep->Length(), 4);
    EXPECT_EQ(rep->StrRefA(), nullptr);
    EXPECT_EQ(rep->StrRefW(), text.c_str());

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

TEST(StringRep, CreateNewStringMakesAnEmptyRepresentationWithOneReference)
{
    IAutoKVDString* made = nullptr;
    ASSERT_EQ(String(L"x").AsIAutoKVDString()->CreateNewString(3, &made), KVD_S_OK);
    long capacity = 0;
    made->GetCapacity(&capacity);
    EXPECT_EQ(capacity, 7);
    IAutoKVDString* large = nullptr;
    made->CreateNewString(20, &large);
    large->GetCapacity(&capacity);
    EXPECT_EQ(capacity, 20);
    EXPECT_EQ(large->Release(), 0u);
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
