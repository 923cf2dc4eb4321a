#include <gtest/gtest.h>

#include <cmath>

#include "HostDoubles.h"
#include "host/document/DataDocument.h"
#include "spirometry/SpFlowEnum.h"
#include "spirometry/SpFlowSettings.h"
#include "support/LeakyIntegrator.h"

using Spirometry::SpFlowEnum;
using CalcTest::FakeData;

namespace {

// A flow enumerator over host data, fed a settings text and a source of samples.
class FlowEnum {
public:
    explicit FlowEnum(IOrrelData2* data) : mEnum(new SpFlowEnum(nullptr, data)) {}
    ~FlowEnum() { mEnum->Release(); }

    FlowEnum& Settings(const KVD::String& text)
    {
        mEnum->SetSettings(text.AsIAutoKVDString(), nullptr);
        return *this;
    }
    HRESULT Sources(std::vector<float> samples, int32_t record = 0, CalcEnumFlags flags = 0)
    {
        auto* source = SpiroTest::MakeFloatStream(std::make_shared<const std::vector<float>>(std::move(samples)));
        IUnknown* sources[] = {source};
        const HRESULT hr = mEnum->SetSources(record, 1, sources, nullptr, 0.001, flags);
        source->Release();
        return hr;
    }
    std::vector<float> Pull(uint32_t n, HRESULT* result = nullptr)
    {
        std::vector<float> out(n);
        uint32_t got = 0;
        const HRESULT hr = mEnum->Next(n, out.data(), &got);
        if (result != nullptr)
            *result = hr;
        out.resize(got);
        return out;
    }
    SpFlowEnum* operator->() { return mEnum; }

private:
    SpFlowEnum* mEnum;
};

KVD::String CalcText(int head, double scale, bool compensation, bool drift = false, long raw = 2, long own = 4,
                     Spirometry::NoiseFloorClamping clamp = {})
{
    Spirometry::SpFlowSettings s;
    s.mHeadIndex = head;
    s.mCustomHead = head == 5;
    s.mHeadScale = scale;
    s.mNonLinearCompensation = compensation;
    s.mDriftCorrection = drift;
    s.mRawFlowChannel = raw;
    s.mOwnChannel = own;
    s.mClamp = clamp;
    return s.GetSettingStr();
}

// A record whose first ten samples are `head`, last ten `tail` and the rest `middle`.
std::vector<float> Record(size_t n, float head, float middle, float tail)
{
    std::vector<float> r(n, middle);
    std::fill_n(r.begin(), 10, head);
    std::fill_n(r.end() - 10, 10, tail);
    return r;
}

}  // namespace

TEST(FlowEnum, SettingsTextsGiveTheirFormulas)
{
    const struct {
        const char* what;
        KVD::String text;
        std::vector<float> in;
        std::vector<float> out;
        double scale, coefficient;
        bool compensation;
    } cases[] = {
        {"formula, linear", L"0 2 0.5 1.0", {2.0f, -4.0f}, {1.0f, -2.0f}, 0.5, 1.0, false},
        {"formula, compensated", L"0 2 0.5 1.5", {1.0f, -1.0f}, {-0.25f, 0.25f}, 0.5, 1.5, true},
        {"head 2 compensated", CalcText(2, 0.0, true), {2.0f}, {float(11.79 * (1 - 0.74) * 2)}, 11.79, 0.37, true},
        {"head 3 ignores the text's scale", CalcText(3, 12.0, false), {1.0f}, {40.1f}, 40.1, 1.0, false},
        {"head 1 never compensates", CalcText(1, 0.0, false), {3.0f}, {float(3.0 * 0.72)}, 0.72, 1.0, false},
        {"custom head", CalcText(5, 2.5, false), {4.0f}, {10.0f}, 2.5, 1.0, false},
        {"too short: the defaults", L"12", {1.0f}, {40.1f}, 40.1, 1.0, false},
        {"unreadable numbers", L"-2147483648\tx\t5\t1\t7", {1.0f}, {40.1f}, 40.1, 1.0, false},
    };
    FakeData data;
    for (const auto& c : cases) {
        FlowEnum e(&data);
        e.Settings(c.text).Sources(c.in);
        EXPECT_EQ(e.Pull(uint32_t(c.in.size())), c.out) << c.what;
        EXPECT_DOUBLE_EQ(e->GetParsed().headScale, c.scale) << c.what;
        EXPECT_DOUBLE_EQ(e->GetParsed().coefficient, c.coefficient) << c.what;
        EXPECT_EQ(e->GetParsed().nonLinearCompensation, c.compensation) << c.what;
    }
    FlowEnum formula(&data);
    formula.Settings(L"1 2 0.5 1.0");
    EXPECT_EQ(formula->GetParsed().rawFlowChannel, 2);
    EXPECT_EQ(formula->GetParsed().ownChannel, 2);
    EXPECT_TRUE(formula->GetParsed().driftCorrection);
    EXPECT_TRUE(formula->GetParsed().customHead);
}

TEST(FlowEnum, NoiseFloorClampsSmallMagnitudes)
{
    FakeData data;
    FlowEnum e(&data);
    // The float nearest 0.1 lies above the level 0.1; the one below it does not.
    const float below = std::nextafter(0.1f, 0.0f);
    e.Settings(CalcText(5, 1.0, false, false, 2, 4, {0.1, true})).Sources({0.05f, -0.1f, -0.09f, 0.2f, below, 0.1f});
    EXPECT_EQ(e.Pull(6), (std::vector<float>{0.0f, -0.1f, 0.0f, 0.2f, 0.0f, 0.1f}));
}

TEST(FlowEnum, DriftFromTheRecordEndsIsRemoved)
{
    // The raw channel's full range is 32000 x 0.001 = 32: its ends are quiet below 0.8.
    Host::DataDocument doc(SpiroTest::MakeRecording(
        100.0, {{{"Raw", "V", 0.001, 0.0}, {Record(1000, 0.2f, 5.0f, 0.4f), Record(1000, 0.1f, 0.0f, 0.1f)}}}));
    FlowEnum e(&doc.Data());
    e.Settings(CalcText(5, 1.0, false, true, 0, 0)).Sources(std::vector<float>(1000, 1.0f));
    EXPECT_FLOAT_EQ(e->DriftOffset(), 0.2f);
    EXPECT_FLOAT_EQ(e->DriftSlope(), 0.0002f);
    const std::vector<float> out = e.Pull(1000);
    EXPECT_NEAR(out[500], 1.0f - 0.3f, 1e-6);
    EXPECT_NEAR(out[0], 0.8f, 1e-6);

    // The same record again keeps the estimate; another record is estimated anew.
    e.Sources(std::vector<float>(10, 1.0f));
    EXPECT_FLOAT_EQ(e->DriftOffset(), 0.2f);
    e.Sources(std::vector<float>(10, 1.0f), 1);
    EXPECT_FLOAT_EQ(e->DriftOffset(), 0.1f);
    EXPECT_FLOAT_EQ(e->DriftSlope(), 0.0f);

    // Bit 31 of the source flags switches drift removal off.
    e.Sources(std::vector<float>(10, 1.0f), 0, 0x80000000u);
    EXPECT_EQ(e.Pull(3), (std::vector<float>{1.0f, 1.0f, 1.0f}));
    doc.Close();
}

TEST(FlowEnum, NoDriftWithoutQuietEndsOrEnoughSamples)
{
    const struct {
        const char* what;
        std::vector<float> record;
    } cases[] = {
        {"20 samples", std::vector<float>(20, 0.3f)},
        {"loud start", Record(1000, 0.8f, 0.0f, 0.1f)},
        {"loud end", Record(1000, 0.1f, 0.0f, -0.9f)},
    };
    for (const auto& c : cases) {
        Host::DataDocument doc(SpiroTest::MakeRecording(100.0, {{{"Raw", "V", 0.001, 0.0}, {c.record}}}));
        FlowEnum e(&doc.Data());
        e.Settings(CalcText(5, 1.0, false, true, 0, 2)).Sources(c.record);
        EXPECT_EQ(e->DriftOffset(), 0.0) << c.what;
        EXPECT_EQ(e->DriftSlope(), 0.0) << c.what;
        doc.Close();
    }
}

TEST(FlowEnum, ClonesAndShortDeliveries)
{
    FakeData data;
    FlowEnum e(&data);
    e.Settings(CalcText(5, 2.0, false)).Sources({1, 2, 3, 4, 5});
    e.Pull(2);
    IEnumExBase* clone = nullptr;
    ASSERT_EQ(e->Clone(&clone), KVD_S_OK);
    std::vector<float> fromClone(3);
    uint32_t got = 0;
    static_cast<IEnumFloatEx*>(clone)->Next(3, fromClone.data(), &got);
    clone->Release();
    EXPECT_EQ(fromClone, (std::vector<float>{6, 8, 10}));

    HRESULT hr = KVD_S_OK;
    EXPECT_EQ(e.Pull(5, &hr), (std::vector<float>{6, 8, 10}));
    EXPECT_EQ(hr, KVD_S_FALSE);  // the source's code for stopping short
}
