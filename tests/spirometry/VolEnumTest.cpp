#include <gtest/gtest.h>

#include <cmath>

#include "HostDoubles.h"
#include "foundation/units/UnitEntry.h"
#include "spirometry/SpVolEnum.h"
#include "support/LeakyIntegrator.h"

using Spirometry::SpVolEnum;
using CalcTest::FakeData;

namespace {

constexpr double kPi = 3.14159265358979323846;
const wchar_t kNewText[] = L"-2147483648\t1\t405\t1.05\t0\t";

// A volume enumerator over host data (random access) or none (streaming), fed a settings
// text and a flow source in a unit.
class VolEnum {
public:
    explicit VolEnum(IOrrelData2* data) : mEnum(new SpVolEnum(nullptr, data)) {}
    ~VolEnum() { mEnum->Release(); }

    VolEnum& Settings(const KVD::String& text)
    {
        mEnum->SetSettings(text.AsIAutoKVDString(), nullptr);
        return *this;
    }
    HRESULT Sources(std::vector<float> flow, const wchar_t* unit = L"L/s", double secondsPerSample = 0.01)
    {
        auto* source = SpiroTest::MakeFloatStream(std::make_shared<const std::vector<float>>(std::move(flow)));
        KVD::COMPtr<IUnitName> name;
        if (unit != nullptr)
            name = new KVD::UnitEntry(KVD::UnitInfo(0, kUnitPrefixNone, unit));
        IUnknown* sources[] = {source};
        IUnitName* units[] = {name.get()};
        const HRESULT hr = mEnum->SetSources(0, 1, sources, name ? units : nullptr, secondsPerSample, 0);
        source->Release();
        return hr;
    }
    std::vector<float> Pull(uint32_t n)
    {
        std::vector<float> out(n);
        uint32_t got = 0;
        mEnum->Next(n, out.data(), &got);
        out.resize(got);
        return out;
    }
    SpVolEnum* operator->() { return mEnum; }

private:
    SpVolEnum* mEnum;
};

std::vector<float> Constant(size_t n, float value)
{
    return std::vector<float>(n, value);
}

std::vector<float> Concat(std::vector<float> a, const std::vector<float>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(VolEnum, IntegratesKnownFlows)
{
    FakeData data;
    VolEnum constant(&data);
    constant.Settings(L"").Sources(Constant(1000, 0.5f));
    const std::vector<float> v = constant.Pull(1000);
    for (size_t i : {0, 99, 999})
        EXPECT_NEAR(v[i], 0.005 * (i + 1), 1e-6) << i;

    // Flow samples that are the exact mean flow of each sample interval of A sin(2 pi t / T):
    // the running sum is then the analytic volume A T / (2 pi) (1 - cos(2 pi t / T)).
    const double a = 1.7, period = 3.0, dt = 0.001;
    const size_t n = 40000;
    auto volume = [&](double t) { return a * period / (2 * kPi) * (1 - std::cos(2 * kPi * t / period)); };
    std::vector<float> flow(n);
    for (size_t i = 0; i < n; ++i)
        flow[i] = float((volume((i + 1) * dt) - volume(i * dt)) / dt);
    VolEnum sine(&data);
    sine.Settings(L"").Sources(flow, L"L/s", dt);
    const std::vector<float> out = sine.Pull(uint32_t(n));
    ASSERT_EQ(out.size(), n);
    double worst = 0.0;
    for (size_t i = 0; i < n; ++i)
        worst = std::max(worst, std::fabs(out[i] - volume((i + 1) * dt)));
    EXPECT_LT(worst, 2e-5);  // float samples over 40000 steps
}

TEST(VolEnum, ExpiredVolumeBeyondTheDeadSpaceIsCorrected)
{
    // 1 L expired at 1 L/s in 100 samples: 0.40 L pass whole, the rest is divided by 1.05. The
    // dead space is 405 mL in the source's own volume unit: L, mL or uL.
    const struct {
        const wchar_t* unit;
        double perLitre;
    } units[] = {{L"L/s", 1.0}, {L"mL/s", 1e3}, {L"\u00B5L/s", 1e6}, {L"L/sec", 1.0}};
    for (const auto& u : units) {
        FakeData data;
        VolEnum e(&data);
        e.Settings(kNewText).Sources(Constant(100, float(-1.0 * u.perLitre)), u.unit);
        EXPECT_TRUE(e->ApplyCorrection());
        const std::vector<float> v = e.Pull(100);
        EXPECT_NEAR(v[39], -0.40 * u.perLitre, 1e-5 * u.perLitre) << u.unit;
        EXPECT_NEAR(v[99], (-0.40 - 0.60 / 1.05) * u.perLitre, 1e-5 * u.perLitre) << u.unit;
    }

    // Inspiration lowers the accumulator again: the next expiration passes whole at first.
    FakeData data;
    VolEnum e(&data);
    e.Settings(kNewText).Sources(Concat(Concat(Constant(100, -1.0f), Constant(100, 1.0f)), Constant(10, -1.0f)));
    const std::vector<float> v = e.Pull(210);
    EXPECT_NEAR(v[209] - v[199], -0.10, 1e-6);
}

TEST(VolEnum, SettingsTextsAndUnits)
{
    const struct {
        const char* what;
        KVD::String text;
        const wchar_t* unit;
        bool correction, legacy, nan;
        double ratio;
    } cases[] = {
        {"new text over a flow", kNewText, L"L/s", true, false, false, 1.05},
        {"new text over volts", kNewText, L"V", true, false, true, 1.05},
        {"new text without a unit", kNewText, nullptr, true, false, false, 1.05},
        {"old text over volts", L"1\t405\t1.05\t0", L"V", true, true, false, 1.05},
        {"3 characters", L"abc", L"V", true, true, false, 1.0},
        {"5 characters are read", L"0 1 2", L"L/s", false, true, false, 2.0},
        {"ratio too small", L"-2147483648\t1\t405\t0.005\t0\t", L"L/s", false, false, false, 1.0},
        {"ratio too large", L"-2147483648\t1\t405\t11\t0\t", L"L/s", false, false, false, 1.0},
        {"no source token, unreadable", L"1 x 1.05 1", L"mV", true, true, false, 1.0},
    };
    for (const auto& c : cases) {
        FakeData data;
        VolEnum e(&data);
        e.Settings(c.text).Sources(Constant(3, 1.0f), c.unit);
        EXPECT_EQ(e->ApplyCorrection(), c.correction) << c.what;
        EXPECT_EQ(e->LegacyText(), c.legacy) << c.what;
        EXPECT_EQ(e->VolumeRatio(), c.ratio) << c.what;
        const std::vector<float> v = e.Pull(3);
        ASSERT_EQ(v.size(), 3u) << c.what;
        EXPECT_EQ(std::isnan(v[2]), c.nan) << c.what;
        if (!c.nan) {
            EXPECT_NEAR(v[2], 0.03, 1e-6) << c.what;
        }
    }
    FakeData data;
    VolEnum none(&data);
    EXPECT_EQ(none->SetSources(0, 0, nullptr, nullptr, 0.01, 0), KVD_E_BADSTATE);
}

TEST(VolEnum, ResetsAtANewBreathOnlyOnceTheVolumeFell)
{
    // In 1 L, out 0.5 L (below 90 % of the top) or 0.05 L (above it), then in again.
    for (size_t outSamples : {50u, 5u}) {
        FakeData data;
        VolEnum e(&data);
        e.Settings(L"-2147483648\t0\t0\t1\t1\t").Sources(
            Concat(Concat(Constant(100, 1.0f), Constant(outSamples, -1.0f)), Constant(10, 1.0f)), L"L/s");
        EXPECT_TRUE(e->ResetVolume());
        const std::vector<float> v = e.Pull(uint32_t(110 + outSamples));
        const double before = 1.0 - 0.01 * outSamples;
        const double expected = outSamples == 50 ? 0.10 : before + 0.10;
        EXPECT_NEAR(v.back(), expected, 1e-5) << outSamples;
    }
}

TEST(VolEnum, RandomAccessEqualsAStraightRun)
{
    std::vector<float> flow(70000);
    for (size_t i = 0; i < flow.size(); ++i)
        flow[i] = float(std::sin(i * 0.0021) - 0.3 * std::cos(i * 0.00037));
    FakeData data;
    VolEnum straight(&data);
    straight.Settings(kNewText).Sources(flow);
    const std::vector<float> all = straight.Pull(70000);

    VolEnum e(&data);
    e.Settings(kNewText).Sources(flow);
    for (int32_t position : {40000, 123, 69990, 16000, 0, 55555}) {
        ASSERT_EQ(e->SetInitialPosition(position), KVD_S_OK);
        const std::vector<float> part = e.Pull(10);
        for (size_t i = 0; i < part.size(); ++i)
            EXPECT_EQ(part[i], all[position + i]) << position;
    }
    int32_t skipped = 0;
    e->SkipEx(-30000, &skipped);
    EXPECT_EQ(skipped, -30000);
    EXPECT_EQ(e.Pull(1)[0], all[55565 - 30000]);
}

TEST(VolEnum, LargeAndSmallRequestsGiveTheSameVolumes)
{
    // Breathing with correction and reset: one request of the whole, taken from the source in
    // bulk, against requests of 7 samples, taken through the reader's buffer.
    std::vector<float> flow(5000);
    for (size_t i = 0; i < flow.size(); ++i)
        flow[i] = static_cast<float>(0.8 * std::sin(2 * kPi * i / 700.0) - 0.05);
    for (const wchar_t* text : {L"-2147483648\t1\t150\t1.05\t1\t", L"-2147483648\t0\t150\t1.05\t0\t"}) {
        FakeData data;
        VolEnum whole(&data), pieces(&data);
        whole.Settings(text).Sources(flow);
        pieces.Settings(text).Sources(flow);
        const std::vector<float> once = whole.Pull(5000);
        std::vector<float> bit;
        for (std::vector<float> got; (got = pieces.Pull(7)).size() > 0;)
            bit.insert(bit.end(), got.begin(), got.end());
        EXPECT_EQ(once.size(), 5000u);
        EXPECT_EQ(once, bit);
    }
}
