// The tidal-volume enumerator: its formula compiled for the unit of the one source it gets (the
// values it gives are checked with the calculation, through the host).

#include <gtest/gtest.h>

#include "BreathSignals.h"
#include "DetectorClasses.h"
#include "foundation/units/UnitEntry.h"
#include "spirometry/TidalVolEnum.h"

namespace {

using Spirometry::TidalVolEnum;

constexpr wchar_t kFormula[] = L"EventInterp(SpTidalVolume(Ch1,1),0)";

KVD::COMPtr<IUnitName> Unit(const wchar_t* name)
{
    return KVD::COMPtr<IUnitName>(new KVD::UnitEntry(KVD::UnitInfo(0, kUnitPrefixNone, KVD::String(name))));
}

TEST(TidalVolEnum, TakesOneSourceAndCompilesOnlyThen)
{
    TidalVolEnum* calc = new TidalVolEnum(nullptr, nullptr);
    calc->SetSettings(KVD::String(L"not a formula (").AsIAutoKVDString(), nullptr);
    calc->SetSettings(KVD::String(kFormula).AsIAutoKVDString(), nullptr);
    EXPECT_EQ(calc->RPN().GetCount(), 0u);  // nothing compiled yet
    SpiroTest::Streams streams;
    IUnknown* two[] = {streams.Of({1.0f}), streams.Of({1.0f})};
    EXPECT_EQ(calc->SetSources(0, 2, two, nullptr, 0.001, 0), KVD_E_BADSTATE);
    EXPECT_EQ(calc->RPN().GetCount(), 0u);
    for (const wchar_t* unit : {L"L/s", L"L/minute", L"min", L"/min"}) {
        IUnknown* one[] = {streams.Of({1.0f, -1.0f})};
        const KVD::COMPtr<IUnitName> u = Unit(unit);
        IUnitName* units[] = {u.get()};
        EXPECT_EQ(calc->SetSources(0, 1, one, units, 0.001, 0), KVD_S_OK) << unit;
        calc->ReleaseSources();
        KVD::String compiled;
        calc->CompositeCalcEnum::GetSettings(KVD::String::Setter(compiled));
        const std::wstring expected = std::wstring(kFormula) + (std::wstring(unit) == L"/min" ? L"/60.0" : L"");
        EXPECT_EQ(compiled, KVD::String(expected)) << unit;
    }
    calc->Release();
}

}  // namespace
