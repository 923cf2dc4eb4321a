// The tidal-volume enumerator: its formula compiled for the unit of the one source it gets, and
// run through the host's event interpolation over synthetic breathing.

#include <gtest/gtest.h>

#include "BreathSignals.h"
#include "DetectorClasses.h"
#include "IEnumFloatEx.h"
#include "foundation/units/UnitEntry.h"
#include "spirometry/TidalVolEnum.h"

namespace {

using Spirometry::TidalVolEnum;
using SpiroTest::BreathSignal;

constexpr wchar_t kFormula[] = L"EventInterp(SpTidalVolume(Ch1,1),0)";

KVD::COMPtr<IUnitName> Unit(const wchar_t* name)
{
    return KVD::COMPtr<IUnitName>(new KVD::UnitEntry(KVD::UnitInfo(0, kUnitPrefixNone, KVD::String(name))));
}

// The enumerator over a flow of the given unit, pulled whole.
struct TidalRun {
    TidalRun(const BreathSignal& s, const wchar_t* unit)
    {
        BlockUpdateType update = 0;
        calc->SetSettings(KVD::String(kFormula).AsIAutoKVDString(), &update);
        EXPECT_EQ(update, kUpdateAll);
        SpiroTest::Streams streams;
        IUnknown* sources[] = {streams.Of(s.flow)};
        const KVD::COMPtr<IUnitName> units = Unit(unit);
        IUnitName* unitArray[] = {units.get()};
        code = calc->SetSources(0, 1, sources, unitArray, s.dt, 0);
        calc->SetInitialPosition(0);
        KVD::COMPtr<IEnumFloatEx> stream = KVD::com_cast(static_cast<ICalcEnum*>(calc));
        samples.resize(s.flow.size());
        uint32_t got = 0;
        if (stream != nullptr)
            stream->Next(static_cast<uint32_t>(samples.size()), samples.data(), &got);
        samples.resize(got);
    }
    ~TidalRun() { calc->Release(); }

    TidalVolEnum* calc = new TidalVolEnum(nullptr, nullptr);
    HRESULT code;
    std::vector<float> samples;
};

TEST(TidalVolEnum, HoldsEachBreathsVolumeFromItsStart)
{
    BreathSignal s;
    s.Quiet(100);
    for (int i = 0; i < 4; ++i)
        s.Breath({401 + 50 * i, 601, 0.5f + 0.1f * i, 0.3f + 0.05f * i});
    s.Closing();
    s.Quiet(50);
    s.Integrate();

    const TidalRun perSecond(s, L"L/s");
    const TidalRun perMinute(s, L"mL/min");
    ASSERT_EQ(perSecond.code, KVD_S_OK);
    ASSERT_EQ(perSecond.samples.size(), s.flow.size());
    ASSERT_EQ(perMinute.samples.size(), s.flow.size());
    for (size_t k = 0; k + 1 < s.breaths.size(); ++k) {
        SCOPED_TRACE(k);
        for (int32_t tick : {s.breaths[k].start, s.breaths[k + 1].start - 1}) {
            EXPECT_FLOAT_EQ(perSecond.samples[tick], static_cast<float>(s.breaths[k].expired));
            EXPECT_FLOAT_EQ(perMinute.samples[tick], static_cast<float>(s.breaths[k].expired / 60.0));
        }
    }
    // The settings keep the formula as it was set, whatever the unit made of it.
    KVD::String text;
    perMinute.calc->GetSettings(KVD::String::Setter(text));
    EXPECT_EQ(text, KVD::String(kFormula));
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
