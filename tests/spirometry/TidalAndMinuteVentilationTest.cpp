// The tidal-volume and minute-ventilation calculations: their stored records and formulas, and
// the channels the host computes with them over steady breathing.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "BreathSignals.h"
#include "DetectorClasses.h"
#include "HostDoubles.h"
#include "FrameworkIds.h"
#include "IChannelCalc.h"
#include "RecordBytes.h"
#include "appkit/Alert.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "host/document/DataDocument.h"
#include "spirometry/SpMinVentCalculation.h"
#include "spirometry/SpTidalVolCalculation.h"
#include "spirometry/SpiroDialogs.h"
#include "spirometry/SpiroIds.h"

namespace {

using namespace Spirometry;
using SpiroTest::Bytes;
using SpiroTest::BreathSignal;
using SpiroTest::ByteVector;

// The record up to the formula: version, channel, flag, bottom, top.
ByteVector TidalRecord(int32_t version, int32_t channel, int32_t expiratory, float bottom, float top)
{
    Bytes b;
    b.i32(version).i32(channel);
    if (version >= 2)
        b.i32(expiratory);
    return b.f32(bottom).f32(top);
}

TEST(TidalVolumeSettings, StoredRecords)
{
    SpTidalVolSettings s;
    s.SetCalculationChannel(2);  // a record made for channel 2 reads channel 2
    EXPECT_EQ(s.mSourceChannel, 2);
    EXPECT_EQ(s.GetArithString(), KVD::String(L"$Src1"));
    s.mExpiratoryOnly = true;
    s.mRangeBottom = -1.0f;
    s.mRangeTop = 3.0f;
    const ByteVector written = SpiroTest::WriteRecord(s);
    const ByteVector head = TidalRecord(3, 2, 1, -1.0f, 3.0f);
    ASSERT_GT(written.size(), head.size());
    EXPECT_EQ(ByteVector(written.begin(), written.begin() + head.size()), head);
    SpTidalVolSettings back;
    ASSERT_EQ(SpiroTest::ReadRecord(back, written), KVD_S_OK);
    EXPECT_TRUE(back.mExpiratoryOnly);
    EXPECT_EQ(back.mFormula, KVD::String(L"$Src1"));
    EXPECT_TRUE(back.IsEqual(&s));

    // Older records carry no formula: it is made over "SpTidalVolume", not expiratory only.
    for (int32_t version : {1, 2}) {
        SpTidalVolSettings old;
        EXPECT_EQ(SpiroTest::ReadRecord(old, TidalRecord(version, 1, 1, 0.0f, 2.0f)), KVD_S_OK);
        EXPECT_FALSE(old.mExpiratoryOnly);
        EXPECT_EQ(old.mFormula, KVD::String(L"EventInterp(SpTidalVolume(Ch2,1),0)"));
        EXPECT_EQ(old.mRangeTop, 2.0f);
    }
    SpTidalVolSettings newer;
    EXPECT_EQ(SpiroTest::ReadRecord(newer, TidalRecord(4, 1, 0, 0.0f, 2.0f)), KVD_E_NEWERVERSION);

    // The formula follows the channel; an expiratory-only flow has its cycles found by the
    // document's cycle detection, and cannot be measured in a document without one.
    Host::DataDocument doc(std::make_shared<Host::Recording>(
        "flow", 100.0, std::vector<Host::ChannelFormat>{{"Flow", "L/s", 1e-3, 0.0}}));
    SpTidalVolSettings update;
    update.mSourceChannel = 4;
    EXPECT_FALSE(update.UpdateArithString(nullptr));
    EXPECT_EQ(update.mFormula, KVD::String(L"$Src1"));
    EXPECT_TRUE(update.UpdateArithString(doc.AutoDocument()));
    EXPECT_EQ(update.mFormula, KVD::String(L"EventInterp(SpTidalVolume(Ch5,1),0)"));
    update.mExpiratoryOnly = true;
    update.mSourceChannel = 0;
    EXPECT_TRUE(update.UpdateArithString(doc.AutoDocument()));
    EXPECT_EQ(update.mFormula, KVD::String(L"Eventinterp(SpTidVolExp(Ch1,CycleStarts(Ch1,0,0.5,0.5,8,0)))"));
    update.mSourceChannel = 2;
    doc.Document().SetChildObject(TypeIdClass<&CMDocumentGUID, 0>::GetId(), nullptr);
    EXPECT_FALSE(update.UpdateArithString(doc.AutoDocument()));
    EXPECT_EQ(update.mFormula, KVD::String(L"Eventinterp(SpTidVolExp(Ch1,CycleStarts(Ch1,0,0.5,0.5,8,0)))"));
    update.mExpiratoryOnly = false;
    EXPECT_TRUE(update.UpdateArithString(doc.AutoDocument()));
    EXPECT_EQ(update.mFormula, KVD::String(L"EventInterp(SpTidalVolume(Ch3,1),0)"));
}

// Accepts the tidal-volume dialog with the flow made expiratory only.
class ExpiratoryOnlyDialogs final : public SpiroDialogs {
public:
    int ShowSpSettingsDialog(HWND, SpiroDocument*, SpConfig*, const std::vector<ChannelAssoc>&,
                             const std::vector<ChannelAssoc>&) override
    {
        return kDialogCancelled;
    }
    int ShowSpFlowCalcDialog(HWND, int, IAutoOrrelDoc*, SpFlowSettings*, const std::vector<KVD::String>&) override
    {
        return kDialogCancelled;
    }
    int ShowSpFlowCalibrateDialog(HWND, IAutoOrrelDoc*, IRecordData*, SpFlowSettings*) override
    {
        return kDialogCancelled;
    }
    int ShowSpVolumeCalcDialog(HWND, int, IAutoOrrelDoc*, SpVolSettings*, const std::vector<KVD::String>&) override
    {
        return kDialogCancelled;
    }
    int ShowSpTidalVolumeCalcDialog(HWND, int, IAutoOrrelDoc* doc, SpTidalVolSettings* settings,
                                    const std::vector<KVD::String>&) override
    {
        settings->mExpiratoryOnly = true;
        settings->UpdateArithString(doc);
        return kDialogAccepted;
    }
};

TEST(TidalVolumeSettings, ExpiratoryOnlyIsRefusedWithAReason)
{
    ExpiratoryOnlyDialogs dialogs;
    InstallSpiroDialogs(&dialogs);
    AppKit::AlertPresenter::Shared().ClearShown();
    IPersistObject* result = reinterpret_cast<IPersistObject*>(1);
    const HRESULT hr = SpTidalVolCalculation::sSettingsDialog(nullptr, HWND{}, nullptr, nullptr, nullptr,
                                                              TChannelId{1, 0}, nullptr, &result);
    InstallSpiroDialogs(nullptr);
    EXPECT_EQ(hr, KVD_S_FALSE);
    EXPECT_EQ(result, nullptr);
    ASSERT_EQ(AppKit::AlertPresenter::Shared().Shown().size(), 1u);
    EXPECT_NE(AppKit::AlertPresenter::Shared().Shown()[0].messageText.find("expiratory-only"), std::string::npos);
}

// In a document without cyclic measurements the dialog's choice is refused, saying what is
// missing, and the calculation keeps the settings it has.
TEST(TidalVolumeSettings, ExpiratoryOnlyWithoutCyclicMeasurementsKeepsTheSettings)
{
    Host::DataDocument doc(std::make_shared<Host::Recording>(
        "flow", 100.0, std::vector<Host::ChannelFormat>{{"Flow", "L/s", 1e-3, 0.0}}));
    doc.Document().SetChildObject(TypeIdClass<&CMDocumentGUID, 0>::GetId(), nullptr);
    SpTidalVolSettings current;
    current.mSourceChannel = 0;
    current.mRangeTop = 2.0f;
    ASSERT_TRUE(current.UpdateArithString(doc.AutoDocument()));
    const ByteVector stored = SpiroTest::WriteRecord(current);

    ExpiratoryOnlyDialogs dialogs;
    InstallSpiroDialogs(&dialogs);
    AppKit::AlertPresenter::Shared().ClearShown();
    IPersistObject* result = reinterpret_cast<IPersistObject*>(1);
    const HRESULT hr = SpTidalVolCalculation::sSettingsDialog(nullptr, HWND{}, nullptr, doc.AutoDocument(), nullptr,
                                                              TChannelId{1, 0}, &current, &result);
    InstallSpiroDialogs(nullptr);
    EXPECT_EQ(hr, KVD_S_FALSE);
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(SpiroTest::WriteRecord(current), stored);
    ASSERT_EQ(AppKit::AlertPresenter::Shared().Shown().size(), 1u);
    EXPECT_NE(AppKit::AlertPresenter::Shared().Shown()[0].messageText.find("no cyclic-measurements part"),
              std::string::npos);
    doc.Close();
}

TEST(MinuteVentilationSettings, StoredRecordAndFormula)
{
    SpMinVentSettings s;
    s.SetCalculationChannel(1);
    EXPECT_EQ(s.GetArithString(), KVD::String(L"-60.0 * decimatesec(Ch2*(1-threshold(Ch2,0)),60)"));
    s.mInterval = 0.5;
    EXPECT_EQ(s.GetArithString(), KVD::String(L"-60.0 * decimatesec(Ch2*(1-threshold(Ch2,0)),0.5)"));
    s.mInterval = 120.0;
    EXPECT_EQ(s.GetArithString(), KVD::String(L"-60.0 * decimatesec(Ch2*(1-threshold(Ch2,0)),120)"));
    const ByteVector record = Bytes().i32(1).i32(1).f64(120.0).f32(0.0f).f32(10.0f);
    EXPECT_EQ(SpiroTest::WriteRecord(s), record);
    SpMinVentSettings back;
    EXPECT_EQ(SpiroTest::ReadRecord(back, record), KVD_S_OK);
    EXPECT_TRUE(back.IsEqual(&s));
    EXPECT_EQ(SpiroTest::ReadRecord(back, Bytes().i32(2).i32(1).f64(120.0).f32(0.0f).f32(10.0f)),
              KVD_E_NEWERVERSION);
}

// Steady breathing on a recorded flow channel in L/s at 100 Hz, and the calculation on an
// added channel.
class OnHostChannel : public ::testing::Test {
protected:
    static constexpr int kTi = 151, kTe = 249;  // 4 s a breath: 15 a minute

    void SetUp() override
    {
        breathing.dt = 0.01;
        breathing.Quiet(7);
        for (int i = 0; i < 12; ++i)
            breathing.Breath({kTi, kTe, 0.6f, 0.6f * kTi / kTe});
        breathing.Closing(kTi, 0.6f);
        breathing.Quiet(20);
        breathing.Integrate();
        auto recording =
            std::make_shared<Host::Recording>("steady", 100.0, std::vector<Host::ChannelFormat>{kFlowFormat});
        Host::RecordBlock block;
        block.ticks = static_cast<uint32_t>(breathing.flow.size());
        block.samples.resize(1);
        for (float f : breathing.flow)
            block.samples[0].push_back(kFlowFormat.Raw(f));
        recording->AddRecord(std::move(block));
        doc = std::make_unique<Host::DataDocument>(recording);
        channel = doc->AddChannel("Computed", "");
        SpiroTest::RegisterClassObjects();
    }
    void TearDown() override { doc->Close(); }

    template <class Calculation>
    KVD::COMPtr<ICalculation> PutOn(const typename Calculation::Settings& settings)
    {
        KVD::COMPtr<ICalculationClass> cls;
        ObjectFactoryAccessor::Get()->GetClassObject(Calculation::sTraits.GetTypeId(), IID_ICalculationClass,
                                                     cls.Set());
        KVD::COMPtr<ICalculation> calculation;
        cls->Create(TChannelId{channel, 0}, &doc->Data(), calculation.Set());
        EXPECT_EQ(calculation->Configure(&settings, kAutoTrue), KVD_S_OK);
        doc->Data().SetCalculation(TChannelId{channel, 0}, calculation);
        return calculation;
    }

    std::vector<float> Computed()
    {
        KVD::COMPtr<IEnumFloatEx> stream;
        doc->Data().GetFloatStream(TChannelId{channel, 0xC0001000u}, KVDPosition{0, 0}, kRecordEndTick,
                                   stream.Set());
        std::vector<float> out(breathing.flow.size());
        uint32_t got = 0;
        stream->Next(static_cast<uint32_t>(out.size()), out.data(), &got);
        out.resize(got);
        return out;
    }

    // The flow as the host serves it, rounded to its stored steps.
    double Expired(const SpiroTest::KnownBreath& b) const
    {
        double volume = 0.0;
        for (int32_t i = b.start; i < b.end; ++i) {
            const double f = kFlowFormat.Physical(kFlowFormat.Raw(breathing.flow[i]));
            if (f < 0)
                volume -= f * breathing.dt;
        }
        return volume;
    }

    const Host::ChannelFormat kFlowFormat{"Flow", "L/s", 1e-4, 0.0};
    BreathSignal breathing;
    std::unique_ptr<Host::DataDocument> doc;
    int channel = 0;
};

TEST_F(OnHostChannel, TidalVolumeOfEachBreathIsItsExpiredVolume)
{
    SpTidalVolSettings settings;
    settings.mSourceChannel = 0;
    settings.mRangeTop = 1.0f;
    settings.UpdateArithString(doc->AutoDocument());
    const KVD::COMPtr<ICalculation> calculation = PutOn<SpTidalVolCalculation>(settings);
    const std::vector<float> tidal = Computed();
    ASSERT_EQ(tidal.size(), breathing.flow.size());
    const double step = 1.0 / 64000;  // the channel's stored step over its range
    for (size_t k = 0; k + 1 < breathing.breaths.size(); ++k) {
        const SpiroTest::KnownBreath& b = breathing.breaths[k];
        EXPECT_NEAR(tidal[b.start], Expired(b), step) << k;
        EXPECT_NEAR(tidal[b.end - 1], Expired(b), step) << k;
    }
    // Unchanged settings, or a changed formula alone, change nothing.
    EXPECT_EQ(calculation->Configure(&settings, kAutoFalse), KVD_S_FALSE);
    settings.mFormula = L"Ch1";
    EXPECT_EQ(calculation->Configure(&settings, kAutoFalse), KVD_S_FALSE);
}

// Expiratory only: the breaths are cut where the host's cycle detection finds the flow rising
// through zero, and each shows the volume expired in it.
TEST_F(OnHostChannel, ExpiratoryTidalVolumeOfEachBreathIsItsExpiredVolume)
{
    SpTidalVolSettings settings;
    settings.mSourceChannel = 0;
    settings.mRangeTop = 1.0f;
    settings.mExpiratoryOnly = true;
    ASSERT_TRUE(settings.UpdateArithString(doc->AutoDocument()));
    const KVD::COMPtr<ICalculation> calculation = PutOn<SpTidalVolCalculation>(settings);
    const std::vector<float> tidal = Computed();
    ASSERT_EQ(tidal.size(), breathing.flow.size());
    // The detection's moving mean of eight samples finds a start up to two samples before the
    // first inspiring one: the samples it moves between breaths hold at most 0.1 mL each.
    // Before the first start: six or seven of the quiet samples at -0.01 L/s.
    EXPECT_GE(tidal[0], 5.9e-4);
    EXPECT_LE(tidal[0], 7.1e-4);
    for (size_t k = 0; k + 1 < breathing.breaths.size(); ++k) {
        const SpiroTest::KnownBreath& b = breathing.breaths[k];
        EXPECT_NEAR(tidal[b.start + 1], Expired(b), 2e-4) << k;
        EXPECT_NEAR(tidal[b.end - 3], Expired(b), 2e-4) << k;
    }
}

TEST_F(OnHostChannel, MinuteVentilationOfASteadyPatternIsTidalVolumeTimesFrequency)
{
    SpMinVentSettings settings;
    settings.mSourceChannel = 0;
    settings.mInterval = 12.0;  // three whole breaths
    const KVD::COMPtr<ICalculation> calculation = PutOn<SpMinVentCalculation>(settings);
    const std::vector<float> ventilation = Computed();
    ASSERT_EQ(ventilation.size(), breathing.flow.size());
    const double perMinute = Expired(breathing.breaths[3]) * 15.0;
    // The intervals from the second on hold three whole breaths each (their ends fall 7
    // samples before a breath's start in equal breaths).
    for (int32_t interval = 1; interval <= 3; ++interval)
        EXPECT_NEAR(ventilation[interval * 1200 + 600], perMinute, perMinute * 0.005) << interval;
}

TEST(FormulaCalculations, ChannelUnitsFollowTheFlowsUnit)
{
    struct Case {
        const wchar_t* flow;
        const wchar_t* tidal;
        const wchar_t* ventilation;
    } cases[] = {
        {L"mL/s", L"mL", L"mL/min"}, {L"L/min", L"L", L"L/min"}, {L"V", L"V", L"V"}, {L"L/s/min", L"L/s", L"L/s/min"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SpTidalVolCalculation::VolumeUnit(c.flow), KVD::String(c.tidal)) << c.flow;
        EXPECT_EQ(SpMinVentCalculation::PerMinuteUnit(c.flow), KVD::String(c.ventilation)) << c.flow;
    }
}

}  // namespace
