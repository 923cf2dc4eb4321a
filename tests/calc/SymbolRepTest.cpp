// Formula symbols and their representations: kinds, copy-on-write, settings texts, class ids.
#include <gtest/gtest.h>

#include "calc/ArithReps.h"
#include "calc/CalcEnumGuids.h"
#include "calc/ChannelRep.h"
#include "calc/Symbol.h"
#include "calc/WindowUnaryOp.h"
#include "calc/XArith.h"
#include "foundation/DynamicId.h"

namespace {

using namespace CalcParser;

uint32_t SubId(CAFId id)
{
    return id & 0xFFFF;
}

TEST(Symbol, DisplayNamesOfKinds)
{
    EXPECT_EQ(Symbol::TypeToString(kSymMinus), L"-");
    EXPECT_EQ(Symbol::TypeToString(kSymUnaryMinus), L"-");
    EXPECT_EQ(Symbol::TypeToString(kSymNumber), L"Number");
    EXPECT_EQ(Symbol::TypeToString(kSymMulByElement), L".*");
    for (int unknown : {22, 31, 34, 35, 36, 40, 44, -1})
        EXPECT_EQ(Symbol::TypeToString(static_cast<SymType>(unknown)), L"Unknown") << unknown;
}

TEST(Symbol, CopyOnWrite)
{
    Symbol original(kSymString, KVD::String(L"abc"));
    Symbol copy = original;
    EXPECT_EQ(copy.Get(), original.Get());
    copy.SetName(KVD::String(L"xyz"));
    EXPECT_NE(copy.Get(), original.Get());
    EXPECT_EQ(original.GetName(), L"abc");
    EXPECT_EQ(copy.GetName(), L"xyz");
}

TEST(Symbol, CopiedChannelKeepsItsFieldsAndPosition)
{
    Symbol channel(Symbol::CreateRepFromType(kSymChannel));
    channel.Set()->SetChannel(4);
    channel.Set()->SetSourceEnumDataTypes(0x01000000);
    channel.Set()->SetTextPosition(17);
    Symbol copy = channel;
    copy.Set()->SetChannel(9);
    EXPECT_EQ(channel.Get()->GetChannel(), 4);
    EXPECT_EQ(copy.Get()->GetChannel(), 9);
    EXPECT_EQ(copy.Get()->GetTextPosition(), 17);
    const TChannelId id = channel.Get()->GetChannelId();
    EXPECT_EQ(id.blockDataType, 0x40001000u);
    CalcEnums::CCalcEnumSourceInfo info{};
    EXPECT_EQ(copy.Get()->GetSourceInfo(&info), KVD_S_OK);
    EXPECT_EQ(info.channel.channel, 9);
    EXPECT_EQ(info.dataType, 0x01000000u);

    Symbol source(Symbol::CreateRepFromType(kSymSource));
    EXPECT_EQ(source.Get()->GetChannelId().blockDataType, 0u);
    EXPECT_EQ(source.Get()->GetChannel(), static_cast<int32_t>(0x80000000));
}

TEST(SymbolRep, ConstantsAndOtherRepsHaveNoChannel)
{
    Symbol number(kSymNumber, 2.5);
    EXPECT_EQ(number.Get()->GetChannel(), -1);
    const TChannelId none = number.Get()->GetChannelId();
    EXPECT_EQ(none.channel, static_cast<int32_t>(0x80000000));
    EXPECT_EQ(none.blockDataType, 0xC0000000u);
    CalcEnums::CCalcEnumSourceInfo info{{7, 7}, 7};
    EXPECT_EQ(number.Get()->GetSourceInfo(&info), KVD_E_BADSTATE);
    EXPECT_EQ(info.channel.channel, 7);  // untouched
}

TEST(SymbolRep, SettingsTexts)
{
    EXPECT_EQ(Symbol(kSymNumber, 0.1).Get()->GetSettings(), L"0.1");
    EXPECT_EQ(Symbol(kSymNumber, 1e-7).Get()->GetSettings(), L"1e-07");
    EXPECT_EQ(Symbol(kSymNumber, 1.0 / 3.0).Get()->GetSettings(), L"0.333333333333");
    EXPECT_EQ(Symbol(kSymNumber, 1e20).Get()->GetSettings(), L"1e+20");
    EXPECT_EQ(Symbol(kSymString, KVD::String(L"text")).Get()->GetSettings(), L"");

    EXPECT_EQ(UnaryOpArithRep(kSymUnaryMinus).GetSettings(), L"7");
    EXPECT_EQ(UnaryOpArithRep(kSymConstSub, 2.0, 0x80000000).GetSettings(), L"11\t2");
    EXPECT_EQ(UnaryOpArithRep(kSymDivConst, 3.0, 0x80000000).GetSettings(), L"12\t3");
    EXPECT_EQ(UnaryOpArithRep(kSymAddConst, 1.0, 0x02000000).GetSettings(), L"8\t1\t0");
    EXPECT_EQ(BinaryOpArithRep(kSymPlus).GetSettings(), L"23");
    EXPECT_EQ(BinaryOpArithByElementRep(kSymMulByElement).GetSettings(), L"37");
    EXPECT_EQ(WindowUnaryOp(0, 10).GetSettings(), L"0\t10");
    EXPECT_EQ(WindowUnaryOp(-1.5, 2.25).GetSettings(), L"-1.5\t2.25");
}

TEST(SymbolRep, ClassIdsOfTheArithmeticEnumerator)
{
    const uint16_t dyn = DynId::Ask(GUID_ArithEnumObj);
    ASSERT_NE(dyn, 0);  // the host stand-in gives every GUID a dynamic id
    EXPECT_EQ(Symbol(kSymNumber, 1.0).Get()->GetClassId(), (CAFId(dyn) << 16) | 2);
    EXPECT_EQ(SubId(UnaryOpArithRep(kSymUnaryMinus).GetClassId()), 1u);
    // One constant operand on an ordinary stream: sub-id 1; vectors have classes of their own.
    EXPECT_EQ(SubId(UnaryOpArithRep(kSymMulConst, 2.0, 0x80000000).GetClassId()), 1u);
    EXPECT_EQ(SubId(UnaryOpArithRep(kSymMulConst, 2.0, 0x01000000).GetClassId()), 19u);
    EXPECT_EQ(SubId(UnaryOpArithRep(kSymMulConst, 2.0, 0x02000000).GetClassId()), 20u);
    EXPECT_EQ(SubId(BinaryOpArithRep(kSymAtan2).GetClassId()), 0u);
    EXPECT_EQ(BinaryOpArithRep(kSymAtan2).GetClassId() >> 16, dyn);
    EXPECT_EQ(SubId(BinaryOpArithByElementRep(kSymPowByElement).GetClassId()), 13u);
    EXPECT_EQ(SubId(WindowUnaryOp(0, 1).GetClassId()), 8u);
    EXPECT_EQ(Symbol(Symbol::CreateRepFromType(kSymChannel)).Get()->GetClassId(), 0u);
    EXPECT_EQ(Symbol(Symbol::CreateRepFromType(kSymNumber)).Get()->GetSettings(), L"0");
}

TEST(SymbolRep, DataKindErrorsNameTheSymbolOrItsKind)
{
    // Without a name the kind's display name is the subject.
    try {
        UnaryOpArithRep(kSymAddConst, 1.0, 0x40000000);
        FAIL() << "no exception";
    } catch (const XArith& error) {
        EXPECT_EQ(error.Code(), KVD_E_BADSTATE);
        EXPECT_EQ(error.Message(), L"+: the data of the argument is of a kind this function cannot use.");
    }
    Symbol named(kSymFunction, KVD::String(L"Smooth"));
    named.Set()->SetTextPosition(12);
    try {
        named->ThrowSourceParamDataEnumTypeError(L"width", nullptr, 1);
    } catch (const XArith& error) {
        EXPECT_EQ(error.Position(), 12);
        EXPECT_EQ(error.Message(), L"Smooth: the data in 'width' is of a kind this function cannot use.");
    }
}

TEST(SymbolRep, CreationWithoutADynamicIdFailsAtOnce)
{
    Symbol text(kSymString, KVD::String(L"s"));
    IUnknown* out = reinterpret_cast<IUnknown*>(0x1);
    EXPECT_EQ(text.GetShared()->CreateCalcEnum(0, nullptr, &out, nullptr), KVD_E_BADSTATE);
    EXPECT_EQ(out, nullptr);
}

}  // namespace
