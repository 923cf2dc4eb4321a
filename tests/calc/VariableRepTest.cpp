// Formula variables: the host variable each definition makes, the uses of one variable, the
// variables a definition collects, and the enumerators symbols have the host create.
#include <gtest/gtest.h>

#include <memory>

#include "FakeVariables.h"
#include "HostRegistration.h"
#include "calc/ArithReps.h"
#include "calc/CalcEnumGuids.h"
#include "calc/CalcVariablesImpl.h"
#include "calc/VariableRep.h"
#include "foundation/DynamicId.h"
#include "support/ComDoubles.h"
#include "support/FakeStreams.h"
#include "support/ScaleEnum.h"

namespace {

using namespace CalcParser;
using CalcTest::FakeVariable;
using CalcTest::HostRegistration;

// The host's class of number (N = 0) or expression (N = 1) variables.
template <unsigned N>
class FakeVariableClass final : public TestSupport::StaticClassObject<IKVDCalcVariableClass> {
public:
    FakeVariableClass() : StaticClassObject(&TypeIdClass<&GUID_CalcVariableObj, N>::GetId) {}
    HRESULT CreateVariable(uint32_t, IUnknown*, IAutoKVDString* name, uint32_t, IKVDCalcVariable** out) override
    {
        ++made;
        last = new FakeVariable(KVD::String(name).c_str());
        last->enumerator = enumerator;
        *out = last;
        return KVD_S_OK;
    }

    unsigned made = 0;
    FakeVariable* last = nullptr;   // the variable holds the only reference
    IUnknown* enumerator = nullptr;  // handed out by the variables made
};

struct VariableClasses : ::testing::Test {
    FakeVariableClass<0> numbers;
    FakeVariableClass<1> expressions;
    HostRegistration numberRegistration{&numbers};
    HostRegistration expressionRegistration{&expressions};
};

// A variable defined by a formula's assignment.
Symbol Defined(const wchar_t* name, std::initializer_list<Symbol> definition)
{
    auto* rep = new VariableRep(KVD::String(name));
    for (const Symbol& symbol : definition)
        rep->Definition().Add(symbol);
    return Symbol(rep);
}

VariableRep* AsVariable(const Symbol& symbol)
{
    return static_cast<VariableRep*>(symbol.GetShared());
}

TEST_F(VariableClasses, ANumberMakesANumberVariableHoldingIt)
{
    Symbol k = Defined(L"k", {Symbol(kSymNumber, 3.0)});
    IKVDCalcVariable* variable = k->GetVariable();
    ASSERT_NE(variable, nullptr);
    EXPECT_EQ(numbers.made, 1u);
    EXPECT_EQ(expressions.made, 0u);
    EXPECT_EQ(numbers.last->Value(), 3.0);
    EXPECT_EQ(CalcVariable::NameOf(variable), L"k");
    EXPECT_EQ(k->GetVariable(), variable);  // made once
    EXPECT_EQ(numbers.made, 1u);
    EXPECT_TRUE(k->IsVariableRep());
    EXPECT_EQ(k->GetType(), kSymVariable);
}

TEST_F(VariableClasses, AnExpressionMakesAnExpressionVariableHoldingItsDefinition)
{
    Symbol channel(Symbol::CreateRepFromType(kSymChannel));
    Symbol k = Defined(L"k", {channel, Symbol(kSymNumber, 2.0), Symbol(Symbol::CreateRepFromType(kSymMul))});
    ASSERT_NE(k->GetVariable(), nullptr);
    EXPECT_EQ(expressions.made, 1u);
    EXPECT_EQ(numbers.made, 0u);
    EXPECT_EQ(expressions.last->definition, &AsVariable(k)->Definition());
}

TEST_F(VariableClasses, EveryUseKeepsItsOwnEnumeratorIndex)
{
    Symbol k = Defined(L"k", {Symbol(kSymNumber, 1.5)});
    RPNArray rpn(8, 8);
    RepStack stack(8, 8);
    k.GetShared()->CheckOptimisePush(rpn, stack, 0);
    k.GetShared()->CheckOptimisePush(rpn, stack, 0);
    ASSERT_EQ(rpn.GetCount(), 2u);
    ASSERT_EQ(stack.GetCount(), 2u);
    EXPECT_NE(rpn[0].Get(), rpn[1].Get());
    EXPECT_EQ(stack[1], rpn[1].Get());

    CalcTest::FloatStream* values = CalcTest::FloatStream::Make({1.0f});
    numbers.enumerator = values;
    IUnknown* first = nullptr;
    IUnknown* second = nullptr;
    EXPECT_EQ(rpn[0].GetShared()->CreateCalcEnum(4, nullptr, &first, nullptr), KVD_S_OK);
    EXPECT_EQ(rpn[1].GetShared()->CreateCalcEnum(7, nullptr, &second, nullptr), KVD_S_OK);
    EXPECT_EQ(rpn[0]->GetEnumIndex(), 4);
    EXPECT_EQ(rpn[1]->GetEnumIndex(), 7);
    // One variable behind both uses, asked with the variable's name.
    EXPECT_EQ(numbers.made, 1u);
    EXPECT_EQ(rpn[0]->GetVariable(), rpn[1]->GetVariable());
    EXPECT_EQ(numbers.last->lastEnumName, L"k");
    EXPECT_EQ(first, static_cast<IUnknown*>(values));
    first->Release();
    second->Release();
    EXPECT_EQ(values->Release(), 0u);
    EXPECT_EQ(rpn[0]->GetSettings(), L"0");  // the value recorded at parse time
}

TEST_F(VariableClasses, ACopyMadeBeforeTheVariableSeesIt)
{
    Symbol k = Defined(L"k", {Symbol(kSymNumber, 1.0)});
    Symbol copy = k;
    copy.Set();  // now a rep of its own
    EXPECT_NE(copy.Get(), k.Get());
    EXPECT_EQ(copy->GetVariable(), k->GetVariable());
    EXPECT_EQ(numbers.made, 1u);
}

TEST_F(VariableClasses, ADefinitionCollectsTheVariablesItUses)
{
    FakeVariable* known = new FakeVariable(L"known");
    Symbol host(new VariableRep(known));
    known->Release();  // the rep holds it
    EXPECT_EQ(host->GetName(), L"known");
    Symbol a = Defined(L"a", {Symbol(kSymNumber, 1.0)});
    Symbol v = Defined(L"v", {a, host, Symbol(Symbol::CreateRepFromType(kSymPlus))});

    CalcVariable::VariableArray collected(8);
    v->AddVariablesTo(&collected);
    ASSERT_EQ(collected.GetCount(), 3u);
    EXPECT_EQ(CalcVariable::NameOf(collected[0]), L"a");
    EXPECT_EQ(collected[1], static_cast<IKVDCalcVariable*>(known));
    EXPECT_EQ(CalcVariable::NameOf(collected[2]), L"v");
    EXPECT_EQ(numbers.made, 1u);
    EXPECT_EQ(expressions.made, 1u);

    // Only referred to, without a host object: nothing to add and nothing made.
    Symbol unknown(new VariableRep(KVD::String(L"u")));
    CalcVariable::VariableArray none(8);
    unknown->AddVariablesTo(&none);
    EXPECT_EQ(none.GetCount(), 0u);
}

TEST(VariableRep, WithoutItsHostClassNothingIsMadeAndTheNextRequestTriesAgain)
{
    // The host stand-in registers a number class of its own: withdraw it for this test.
    IObjectFactory* factory = Host::Framework::Instance();
    const TCAFId numberClass = TypeIdClass<&GUID_CalcVariableObj, 0>::GetId();
    ICAFClassObject* hostNumbers = nullptr;
    factory->GetClassObject(numberClass, IID_ICAFClassObject, reinterpret_cast<void**>(&hostNumbers));
    factory->RevokeClassObject(numberClass);

    Symbol k = Defined(L"k", {Symbol(kSymNumber, 1.0)});
    IUnknown* out = reinterpret_cast<IUnknown*>(0x1);
    EXPECT_NE(k.GetShared()->CreateCalcEnum(0, nullptr, &out, nullptr), KVD_S_OK);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(k->GetVariable(), nullptr);

    FakeVariableClass<0> numbers;
    {
        HostRegistration registration(&numbers);
        EXPECT_NE(k->GetVariable(), nullptr);
        EXPECT_EQ(numbers.made, 1u);
    }
    if (hostNumbers != nullptr) {
        factory->RegisterClassObject(hostNumbers);
        hostNumbers->Release();
    }
}

TEST_F(VariableClasses, AnEnumeratorReceivesTheVariablesItsSymbolReads)
{
    HostRegistration scale(&CalcTest::ScaleEnum::ClassObject());
    Symbol gain = Defined(L"gain", {Symbol(kSymNumber, 2.0)});
    Symbol function(kSymFunction, KVD::String(L"f"));
    function.Set()->SetEnumOutputDataTypes(kEnumDataSamples, scale.TypeId());
    function.Set()->AddSrcVariable(gain);

    IUnknown* made = nullptr;
    ASSERT_EQ(function.GetShared()->CreateCalcEnum(5, nullptr, &made, nullptr), KVD_S_OK);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(function->GetEnumIndex(), 5);
    IKVDCalcVariables* variables = nullptr;
    ASSERT_EQ(made->QueryInterface(IID_IKVDCalcVariables, reinterpret_cast<void**>(&variables)), KVD_S_OK);
    IKVDCalcVariable* found = nullptr;
    EXPECT_EQ(variables->FindVariable(0, KVD::String(L"GAIN").AsIAutoKVDString(), &found), KVD_S_OK);
    EXPECT_EQ(found, gain->GetVariable());
    found->Release();
    variables->Release();
    EXPECT_EQ(made->Release(), 0u);
}

TEST_F(VariableClasses, AnAggregatedEnumeratorCountsThroughItsOuterObject)
{
    HostRegistration scale(&CalcTest::ScaleEnum::ClassObject());
    Symbol function(kSymFunction, KVD::String(L"f"));
    function.Set()->SetEnumOutputDataTypes(kEnumDataSamples, scale.TypeId());
    CalcTest::FakeObserver* outer = new CalcTest::FakeObserver;
    IUnknown* inner = nullptr;
    ASSERT_EQ(function.GetShared()->CreateCalcEnum(0, outer, &inner, nullptr), KVD_S_OK);
    ICalcEnum* calc = nullptr;
    ASSERT_EQ(inner->QueryInterface(IID_ICalcEnum, reinterpret_cast<void**>(&calc)), KVD_S_OK);
    EXPECT_EQ(outer->RefCount(), 2u);
    calc->Release();
    EXPECT_EQ(outer->RefCount(), 1u);
    EXPECT_EQ(inner->Release(), 0u);
    outer->Release();
}

}  // namespace
