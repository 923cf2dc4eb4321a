// The built-in symbol table, with the functions that the host and the test host publish.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "TestDocument.h"
#include "calc/FilterBase.h"
#include "calc/Integrators.h"
#include "calc/NumericParamsFuncClassSymbolRep.h"
#include "calc/Parser.h"
#include "calc/StdUnaryFunc.h"

namespace CalcTest {
namespace {

using CalcParser::NumericParamsFuncClassSymbolRep;
using CalcParser::Parser;
using CalcParser::Symbol;
using CalcParser::SymbolRep;

const wchar_t* const kLiteralKeys[] = {
    L"ch", L"channel", L"rch", L"$src", L"mod", L"atan2", L"threshold", L"window", L"sin", L"cos", L"tan",
    L"asin", L"acos", L"atan", L"log", L"ln", L"log10", L"exp", L"sign", L"sqrt", L"abs", L"degtorad",
    L"radtodeg", L"round", L"int", L"conj", L"arg", L"norm", L"real", L"imag", L"pi", L"sampletime", L"t",
    L"segrepcount", L"srcount", L"block", L"samplerate", L"fs", L"random", L"gaussian", L"smooth", L"shift",
    L"diff", L"differentiate", L"derivative", L"integrate", L"integrateabs", L"integratepos", L"integrateneg",
    L"integral", L"legacyintegrate", L"legacyintegrateabs", L"legacyintegratepos", L"legacyintegrateneg",
    L"train", L"sinewave", L"trianglewave", L"doublepulse", L"pulse", L"triangle", L"steppulse",
    L"biphasicpulse", L"ramp", L"lpf", L"hpf", L"notch", L"nbpf", L"bpf", L"bsf", L"lowpass", L"highpass",
    L"narrowbandpass", L"bandpass", L"bandstop", L"decimator", L"interp", L"resample", L"energy",
    L"mainsfilterex"};

class SymbolTable : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The first compilation builds the tables.
        Compiled compiled;
        Compile(L"1", compiled);
    }

    static const SymbolRep* Entry(const wchar_t* key)
    {
        const auto* entry = Parser::sNameToSymbol.FindAssoc(KVD::String(key));
        return entry != nullptr ? entry->value.Get() : nullptr;
    }

    static const NumericParamsFuncClassSymbolRep* Published(const wchar_t* key)
    {
        return dynamic_cast<const NumericParamsFuncClassSymbolRep*>(Entry(key));
    }
};

TEST_F(SymbolTable, HoldsTheSeventyNineBuiltInNames)
{
    std::set<std::wstring> builtIn;
    Parser::sNameToSymbol.ForEach([&](const KVD::String& key, const Symbol& value) {
        if (dynamic_cast<const NumericParamsFuncClassSymbolRep*>(value.Get()) == nullptr)
            builtIn.insert(key.c_str());
    });
    EXPECT_EQ(builtIn.size(), 79u);
    for (const wchar_t* key : kLiteralKeys)
        EXPECT_EQ(builtIn.count(key), 1u) << KVD::ToU8String(KVD::String(key));
    EXPECT_EQ(Entry(L"Integrate"), nullptr);  // keys are lower case
}

TEST_F(SymbolTable, NamesThatShareOrSplitPrototypes)
{
    EXPECT_EQ(Entry(L"t"), Entry(L"sampletime"));
    EXPECT_EQ(Entry(L"fs"), Entry(L"samplerate"));
    EXPECT_EQ(Entry(L"ch"), Entry(L"channel"));
    EXPECT_EQ(Entry(L"lpf"), Entry(L"lowpass"));
    EXPECT_NE(Entry(L"log"), Entry(L"ln"));
    const auto* log = dynamic_cast<const CalcParser::StdUnaryFunc*>(Entry(L"log"));
    const auto* ln = dynamic_cast<const CalcParser::StdUnaryFunc*>(Entry(L"ln"));
    const auto* log10 = dynamic_cast<const CalcParser::StdUnaryFunc*>(Entry(L"log10"));
    ASSERT_TRUE(log && ln && log10);
    EXPECT_EQ(log->GetFunction(), CalcParser::kFuncLog);
    EXPECT_EQ(ln->GetFunction(), CalcParser::kFuncLog);
    EXPECT_EQ(log10->GetFunction(), CalcParser::kFuncLog10);
    // "notch" is inserted twice; the first stays.
    const auto* notch = dynamic_cast<const CalcParser::FilterBase*>(Entry(L"notch"));
    ASSERT_NE(notch, nullptr);
    EXPECT_EQ(notch->GetFilterType(), RateEnums::kNotch);
    const auto* integral = dynamic_cast<const CalcParser::IntegrateBase*>(Entry(L"integral"));
    ASSERT_NE(integral, nullptr);
    EXPECT_EQ(KVD::ToU8String(integral->GetName()), "Integrate");
    const SymbolRep* decimator = Entry(L"decimator");
    EXPECT_EQ(decimator->GetFuncFlags(), 0x10000000u);
    EXPECT_EQ(Entry(L"interp")->GetFuncFlags(), 0x10000000u);
    EXPECT_EQ(Entry(L"resample")->GetFuncFlags(), 0x10000000u);
    EXPECT_EQ(Entry(L"lowpass")->GetFuncFlags(), 0u);
    EXPECT_EQ(Entry(L"pi")->GetValue(), 3.141592653589793);
}

TEST_F(SymbolTable, PublishedFunctionsUnderTheirNamesAndAliases)
{
    const NumericParamsFuncClassSymbolRep* decimate = Published(L"decimatesec");
    ASSERT_NE(decimate, nullptr);
    EXPECT_EQ(KVD::ToU8String(decimate->GetName()), "DecimateSec");  // the name as reported
    EXPECT_EQ(decimate->GetAliasIndex(), -1);
    EXPECT_EQ(Published(L"decimatesecs"), decimate);
    EXPECT_NE(Published(L"eventinterp"), nullptr);
    EXPECT_NE(Published(L"speeflow"), nullptr);
    EXPECT_EQ(decimate->GetNRequiredSources(), -1);
}

// With flag bit 31 each alias has a description of its own; without, aliases share the
// function's.
TEST_F(SymbolTable, AliasesWithAndWithoutDescriptionsOfTheirOwn)
{
    const NumericParamsFuncClassSymbolRep* twin = Published(L"twin");
    const NumericParamsFuncClassSymbolRep* twinA = Published(L"twina");
    const NumericParamsFuncClassSymbolRep* twinB = Published(L"twinb");
    ASSERT_TRUE(twin && twinA && twinB);
    EXPECT_EQ(twin->GetAliasIndex(), -1);
    EXPECT_EQ(twinA->GetAliasIndex(), 0);
    EXPECT_EQ(twinB->GetAliasIndex(), 1);
    EXPECT_EQ(KVD::ToU8String(twin->GetAlias(1)), "TwinB");
    EXPECT_EQ(Published(L"shareda"), Published(L"shared"));
    EXPECT_EQ(Published(L"sharedb"), Published(L"shared"));
}

TEST_F(SymbolTable, BuiltInNamesWinAndUnreadableFunctionsAreSkipped)
{
    EXPECT_EQ(Published(L"smooth"), nullptr);
    EXPECT_EQ(KVD::ToU8String(Entry(L"smooth")->GetName()), "Smooth");
    EXPECT_EQ(Entry(L"broken"), nullptr);
    EXPECT_EQ(Entry(L"brokenalias"), nullptr);
}

// The extended description tells how many sources a call must give at least.
TEST_F(SymbolTable, RequiredSourcesComeFromTheExtendedDescription)
{
    const NumericParamsFuncClassSymbolRep* some = Published(L"somesources");
    ASSERT_NE(some, nullptr);
    EXPECT_EQ(some->GetNSources(), 2);
    EXPECT_EQ(some->GetNRequiredSources(), 1);
}

}  // namespace
}  // namespace CalcTest
