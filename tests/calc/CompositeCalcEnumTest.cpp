// Formulas compiled and run end to end by the composite enumerator, through the host's own
// enumerator classes, over sample and event streams whose samples are known.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "CompositeCalcEnumClass.h"
#include "HostRegistration.h"
#include "IEnumEventEx.h"
#include "calc/CalcEnumClassBase2.h"
#include "calc/CalcEnumGuids.h"
#include "calc/CompositeCalcEnum.h"
#include "foundation/DynamicId.h"
#include "host/framework/Framework.h"
#include "support/FakeStreams.h"
#include "support/ListEvents.h"
#include "support/ScaleEnum.h"

namespace {

using CalcEnums::CompositeCalcEnum;
using CalcTest::FloatStream;
using CalcTest::ListEvents;

constexpr int32_t kNoTick = 0x7fffffff;

// A composite made through the host's class, compiled and wired.
class Formula {
public:
    Formula(const wchar_t* formula, std::vector<IUnknown*> sources, double sampling = 1.0)
    {
        ICalcEnumClass2* cls = nullptr;
        Host::Framework::Instance()->GetClassObject(TypeIdClass<&GUID_CompositeCalcEnumObj, 0>::GetId(),
                                                    IID_ICalcEnumClass2, reinterpret_cast<void**>(&cls));
        cls->Create(nullptr, &mCalc);
        cls->Release();
        mComposite = static_cast<CompositeCalcEnum*>(static_cast<ICalcEnum64*>(mCalc));
        BlockUpdateType update = 0;
        settingsCode = mComposite->SetSettingsSilent(KVD::String(formula).AsIAutoKVDString(), &update, message);
        sourcesCode = mCalc->SetSources(0, static_cast<long>(sources.size()), sources.data(), nullptr, sampling, 0);
        for (IUnknown* source : sources)
            source->Release();
    }
    ~Formula()
    {
        mCalc->ReleaseSources();
        mCalc->Release();
    }

    // n samples from position 0, in blocks; fewer when the data end.
    std::vector<float> Pull(uint32_t n, uint32_t block = 3)
    {
        IEnumFloatEx* stream = nullptr;
        EXPECT_EQ(mCalc->QueryInterface(IID_IEnumFloatEx, reinterpret_cast<void**>(&stream)), KVD_S_OK);
        std::vector<float> samples(n);
        uint32_t got = 0;
        if (stream != nullptr) {
            mCalc->SetInitialPosition(0);
            while (got < n) {
                uint32_t delivered = 0;
                const HRESULT hr = stream->Next(std::min(block, n - got), samples.data() + got, &delivered);
                got += delivered;
                if (hr != KVD_S_OK)
                    break;
            }
            stream->Release();
        }
        samples.resize(got);
        return samples;
    }

    CompositeCalcEnum* Composite() const { return mComposite; }

    HRESULT settingsCode = 0;
    HRESULT sourcesCode = 0;
    KVD::String message;

private:
    ICalcEnum* mCalc = nullptr;
    CompositeCalcEnum* mComposite = nullptr;
};

IUnknown* Samples(std::vector<float> values) { return FloatStream::Make(std::move(values)); }

const std::vector<float> kX = {-2.5f, -1.0f, 0.0f, 0.5f, 1.0f, 2.0f, 3.75f, 10.0f};
const std::vector<float> kY = {4.0f, 3.0f, 0.25f, -1.0f, 1.0f, 2.5f, 8.0f, 0.5f};

// Every stage of a formula rounds to float: each case says how its value is made.
using OneSource = std::function<double(double)>;

float F(double value) { return static_cast<float>(value); }

void ExpectSamples(const std::vector<float>& actual, const std::vector<float>& expected, const wchar_t* formula)
{
    ASSERT_EQ(actual.size(), expected.size()) << KVD::String(formula).UTF8();
    for (size_t i = 0; i < expected.size(); ++i) {
        if (std::isnan(expected[i]))
            EXPECT_TRUE(std::isnan(actual[i])) << KVD::String(formula).UTF8() << " at " << i;
        else
            EXPECT_EQ(actual[i], expected[i]) << KVD::String(formula).UTF8() << " at " << i;
    }
}

TEST(CompositeCalcEnum, RunsOperatorsConstantsFunctionsAndVariablesOverOneChannel)
{
    const struct {
        const wchar_t* formula;
        OneSource value;
    } cases[] = {
        {L"Ch1*2+1", [](double x) { return F(F(x * 2) + 1.0); }},
        {L"-Ch1", [](double x) { return -x; }},
        {L"2-Ch1", [](double x) { return 2 - x; }},
        {L"Ch1-2", [](double x) { return x - 2; }},
        {L"2/Ch1", [](double x) { return 2 / x; }},
        {L"Ch1/4", [](double x) { return x / 4; }},
        {L"Ch1^2", [](double x) { return x * x; }},
        {L"2^Ch1", [](double x) { return std::pow(2.0, x); }},
        {L"mod(Ch1,3)", [](double x) { return std::fmod(x, 3.0); }},
        {L"threshold(Ch1,1)", [](double x) { return x < 1 ? 0.0 : 1.0; }},
        {L"atan2(1,Ch1)", [](double x) { return std::atan2(1.0, x); }},
        {L"sqrt(abs(Ch1))", [](double x) { return std::sqrt(double(F(std::fabs(x)))); }},
        {L"sign(Ch1)+int(Ch1)", [](double x) { return F((x < 0 ? -1.0 : 1.0) + (x < 0 ? std::ceil(x) : std::floor(x))); }},
        {L"round(Ch1)", [](double x) { return std::floor(x + 0.5); }},
        {L"sin(Ch1)*cos(Ch1)", [](double x) { return double(F(std::sin(x))) * double(F(std::cos(x))); }},
        {L"window(Ch1, 0, 2)", [](double x) { return 0 <= x && x < 2 ? 1.0 : 0.0; }},
        {L"k = 2.5; Ch1*k", [](double x) { return x * 2.5; }},
        {L"a = 2; b = a*3+1; Ch1-b", [](double x) { return x - 7; }},
        {L"Ch1*0+t*0.5", [](double) { return 0.0; }},
        // The complex functions of a real value.
        {L"conj(Ch1)", [](double x) { return x; }},
        {L"real(Ch1)", [](double x) { return x; }},
        {L"imag(Ch1)", [](double) { return 0.0; }},
        {L"arg(Ch1)", [](double x) { return x < 0 ? 3.141592653589793 : 0.0; }},
        {L"norm(Ch1)", [](double x) { return x * x; }},
    };
    for (const auto& c : cases) {
        Formula formula(c.formula, {Samples(kX)});
        EXPECT_EQ(formula.settingsCode, KVD_S_OK) << KVD::String(c.formula).UTF8() << ": " << formula.message.UTF8();
        EXPECT_EQ(formula.sourcesCode, KVD_S_OK) << KVD::String(c.formula).UTF8();
        std::vector<float> expected;
        for (float x : kX)
            expected.push_back(F(c.value(x)));
        if (std::wstring(c.formula) == L"Ch1*0+t*0.5")
            for (size_t i = 0; i < expected.size(); ++i)
                expected[i] = F(0.5 * i);
        ExpectSamples(formula.Pull(100), expected, c.formula);
    }
}

TEST(CompositeCalcEnum, CombinesChannelsAndSharesAChannelUsedTwiceThroughTheSplitter)
{
    const struct {
        const wchar_t* formula;
        std::function<double(double, double)> value;
    } cases[] = {
        {L"Ch1*Ch2", [](double x, double y) { return x * y; }},
        {L"Ch1+Ch2/2", [](double x, double y) { return x + y / 2; }},
        {L"window(Ch1, Ch2, 3)", [](double x, double y) { return y <= x && x < 3 ? 1.0 : 0.0; }},
    };
    for (const auto& c : cases) {
        Formula formula(c.formula, {Samples(kX), Samples(kY)});
        std::vector<float> expected;
        for (size_t i = 0; i < kX.size(); ++i)
            expected.push_back(F(c.value(kX[i], kY[i])));
        ExpectSamples(formula.Pull(100), expected, c.formula);
    }

    // A calculation enumerator read twice: a splitter reads its source once for both uses.
    auto* recorded = FloatStream::Make(kX);
    ICalcEnum* scale = nullptr;
    CalcTest::ScaleEnum::ClassObject().Create(nullptr, &scale);
    IUnknown* scaleSources[] = {recorded};
    scale->SetSources(0, 1, scaleSources, nullptr, 1.0, 0);
    Formula formula(L"Ch1*Ch1-Ch1", {scale});
    std::vector<float> expected;
    for (float x : kX)
        expected.push_back(F(F(double(x) * x) - double(x)));
    ExpectSamples(formula.Pull(100), expected, L"Ch1*Ch1-Ch1");
    EXPECT_EQ(recorded->Log().samplesRead, kX.size());
    recorded->Release();
}

TEST(CompositeCalcEnum, RunsTheMinuteVentilationFormulaWithDecimatesec)
{
    // 150 samples of one second: two windows of 60 and one of 30 cut by the end.
    std::vector<float> flow(150);
    for (size_t i = 0; i < flow.size(); ++i)
        flow[i] = static_cast<float>(static_cast<int>(i % 11) - 6) * 0.5f;
    Formula formula(L"-60.0 * decimatesec(Ch2*(1-threshold(Ch2,0)),60)", {Samples(flow)});
    ASSERT_EQ(formula.settingsCode, KVD_S_OK) << formula.message.UTF8();
    std::vector<float> expected;
    for (size_t start = 0; start < flow.size(); start += 60) {
        const size_t end = std::min(flow.size(), start + 60);
        double sum = 0;
        for (size_t i = start; i < end; ++i)
            sum += flow[i] < 0 ? flow[i] : 0.0f;
        const float mean = F(sum / double(end - start));
        expected.insert(expected.end(), end - start, F(-60.0 * mean));
    }
    ExpectSamples(formula.Pull(1000, 4096), expected, L"minute ventilation");
}

TEST(CompositeCalcEnum, EventInterpHoldsOrJoinsTheEventsValues)
{
    const std::vector<ListEvents::Item> events = {{3, 1.5}, {7, -2.0}, {8, 4.0}};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Formula hold(L"Eventinterp(Ch1)", {new ListEvents(events)});
    ASSERT_EQ(hold.settingsCode, KVD_S_OK) << hold.message.UTF8();
    ExpectSamples(hold.Pull(10), {nan, nan, nan, 1.5f, 1.5f, 1.5f, 1.5f, -2.0f, 4.0f, 4.0f}, L"hold");

    Formula joined(L"EVENTINTERP(Ch1, 1)", {new ListEvents(events)});
    ExpectSamples(joined.Pull(10), {nan, nan, nan, 1.5f, 0.625f, -0.25f, -1.125f, -2.0f, 4.0f, 4.0f}, L"joined");
}

TEST(CompositeCalcEnum, EventInterpOverAPublishedEventDetector)
{
    // Upward crossings of 0.5 at ticks 2 (value 1) and 8 (value 2).
    const std::vector<float> signal = {-1, -1, 1, 1, 1, -1, -1, -1, 2, 2, -1, -1};
    Formula formula(L"EventInterp(crossings(Ch1, 0.5))", {Samples(signal)});
    ASSERT_EQ(formula.settingsCode, KVD_S_OK) << formula.message.UTF8();
    ASSERT_EQ(formula.sourcesCode, KVD_S_OK);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    ExpectSamples(formula.Pull(12, 5), {nan, nan, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2}, L"crossings");
}

TEST(CompositeCalcEnum, AFormulaThatCannotRunStreamsNaNAndSaysWhy)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // A function this host does not run: the message names it as not available here.
    Formula filter(L"lowpass(Ch1, 10)", {Samples(kX)});
    EXPECT_EQ(filter.settingsCode, KVD_E_BADSTATE);
    EXPECT_EQ(filter.message, L"The function <lowpass> is not available on this host.");
    ExpectSamples(filter.Pull(3), {nan, nan, nan}, L"lowpass");

    // A formula that does not compile.
    Formula broken(L"Ch1 +", {Samples(kX)});
    EXPECT_NE(broken.settingsCode, KVD_S_OK);
    EXPECT_FALSE(broken.message.empty());
    ExpectSamples(broken.Pull(2), {nan, nan}, L"Ch1 +");

    // Too few inputs to wire: the fallback still streams NaN.
    Formula unwired(L"Ch1*Ch2", {Samples(kX)});
    EXPECT_EQ(unwired.settingsCode, KVD_S_OK);
    EXPECT_EQ(unwired.sourcesCode, KVD_E_BADSTATE);
    ExpectSamples(unwired.Pull(2), {nan, nan}, L"Ch1*Ch2 with one input");
}

// A standard-function enumerator that refuses every settings text, as one refuses a function
// it does not compute.
class RefusingEnum : public CalcTest::ScaleEnum {
public:
    using ScaleEnum::ScaleEnum;
    HRESULT SetSettings(IAutoKVDString*, BlockUpdateType*) override { return KVD_E_BADSTATE; }
};

CalcEnums::CalcEnumClassBase2& RefusingStdFuncClass()
{
    static CalcEnums::CalcEnumClassBase2::Traits traits{L"Refusing", L"Refuses its settings",
                                                        &CalcParser::GUID_ArithEnumObj, 4};
    static CalcEnums::CalcEnumClass2<RefusingEnum> classObject(&traits);
    return classObject;
}

TEST(CompositeCalcEnum, ASubEnumeratorThatRefusesItsSettingsFailsTheFormula)
{
    const CalcTest::HostRegistration refusing(&RefusingStdFuncClass());
    Formula formula(L"sin(Ch1)*2", {Samples(kX)});
    EXPECT_EQ(formula.settingsCode, KVD_E_BADSTATE);
    EXPECT_EQ(formula.message, L"Failed to create Calculation Enumerator <sin>.");
    const float nan = std::numeric_limits<float>::quiet_NaN();
    ExpectSamples(formula.Pull(2), {nan, nan}, L"sin(Ch1)*2 refused");
}

// A composite whose operator lost an operand after compiling.
class Truncated : public CompositeCalcEnum {
public:
    Truncated() : CompositeCalcEnum(nullptr, nullptr) {}
    void DropFirstSymbol() { EditRPN().Erase(0, 1); }
};

TEST(CompositeCalcEnum, TooFewOperandsFailWithTheCodeAndTheNaNFallback)
{
    auto* composite = new Truncated;
    BlockUpdateType update = 0;
    ASSERT_EQ(composite->SetSettings(KVD::String(L"Ch1*Ch2").AsIAutoKVDString(), &update), KVD_S_OK);
    composite->DropFirstSymbol();
    IUnknown* sources[] = {Samples(kX), Samples(kY)};
    EXPECT_EQ(composite->SetSources(0, 2, sources, nullptr, 1.0, 0), KVD_E_BADSTATE);
    for (IUnknown* source : sources)
        source->Release();
    IEnumFloatEx* stream = nullptr;
    ASSERT_EQ(composite->QueryInterface(IID_IEnumFloatEx, reinterpret_cast<void**>(&stream)), KVD_S_OK);
    float sample = 0.0f;
    uint32_t delivered = 0;
    stream->Next(1, &sample, &delivered);
    EXPECT_EQ(delivered, 1u);
    EXPECT_TRUE(std::isnan(sample));
    stream->Release();
    composite->ReleaseSources();
    composite->Release();
}

}  // namespace
