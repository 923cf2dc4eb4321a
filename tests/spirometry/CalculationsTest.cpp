// The flow and volume calculations put on channels of a host data document: the host pulls
// their samples through the installed enumerators.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "HostDoubles.h"
#include "IChannelCalc.h"
#include "ISetCalcFromString.h"
#include "ISpiroCalculations.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "host/document/DataDocument.h"
#include "spirometry/CalibrateBase.h"
#include "spirometry/DlgCommon.h"
#include "spirometry/SpFlow.h"
#include "spirometry/SpVol.h"
#include "spirometry/SpiroDialogs.h"
#include "spirometry/SpiroIds.h"

using namespace Spirometry;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kVoltsPerStep = 0.0001;

// One raw channel in volts at 100 Hz: breaths of 2 s inspiring `in` litres and 2 s expiring
// `out` litres, at 1 V per L/s.
std::shared_ptr<Host::Recording> Breathing(int breaths, double in, double out, const char* unit = "V")
{
    auto rec = std::make_shared<Host::Recording>("breathing.csv", 100.0,
                                                 std::vector<Host::ChannelFormat>{{"Raw", unit, kVoltsPerStep, 0.0}});
    Host::RecordBlock block{uint32_t(breaths * 400 + 1), {{}}};
    for (int b = 0; b < breaths; ++b) {
        for (int half = 0; half < 2; ++half) {
            const double amplitude = (half == 0 ? in : -out) * kPi / 4.0;
            for (int i = 0; i < 200; ++i)
                block.samples[0].push_back(rec->Channel(0).Raw(amplitude * std::sin(kPi * (i + 0.5) / 200)));
        }
    }
    block.samples[0].push_back(0);
    rec->AddRecord(std::move(block));
    return rec;
}

KVD::COMPtr<ICalculation> PutOn(Host::DataDocument& doc, TCAFId cls, int channel, const IPersistObject* settings)
{
    SpiroTest::RegisterClassObjects();
    KVD::COMPtr<ICalculationClass> calcClass;
    ObjectFactoryAccessor::Get()->GetClassObject(cls, IID_ICalculationClass, calcClass.Set());
    KVD::COMPtr<ICalculation> calculation;
    EXPECT_EQ(calcClass->Create(TChannelId{channel, 0}, &doc.Data(), calculation.Set()), KVD_S_OK);
    EXPECT_EQ(calculation->Configure(settings, kAutoTrue), KVD_S_OK);
    EXPECT_EQ(doc.Data().SetCalculation(TChannelId{channel, 0}, calculation), KVD_S_OK);
    return calculation;
}

std::vector<float> Samples(Host::DataDocument& doc, int channel)
{
    KVD::COMPtr<IEnumFloatEx> stream;
    IRecordData& records = doc.Data();
    records.GetFloatStream(TChannelId{channel, 0xC0001000u}, KVDPosition{0, 0}, kRecordEndTick, stream.Set());
    std::vector<float> out(100000);
    uint32_t delivered = 0;
    if (stream != nullptr)
        stream->Next(uint32_t(out.size()), out.data(), &delivered);
    out.resize(delivered);
    return out;
}

template <class Calculation>
Calculation& Implementation(ICalculation* calculation)
{
    KVD::COMPtr<IChannelCalc> channelCalc(KVD::com_cast(calculation));
    return *dynamic_cast<Calculation*>(channelCalc.get());
}

TCAFId VolumeCalcTypeId()
{
    return (TCAFId(DynId::Ask(SpiroCalcGUID)) << 16) | kSpVolCalcSubId;
}

// Accepts every dialog after changing what a user would change.
class AcceptingDialogs final : public SpiroDialogs {
public:
    int ShowSpSettingsDialog(HWND, SpiroDocument*, SpConfig*, const std::vector<ChannelAssoc>&,
                             const std::vector<ChannelAssoc>&) override
    {
        return kDialogAccepted;
    }
    int ShowSpFlowCalcDialog(HWND, int channel, IAutoOrrelDoc*, SpFlowSettings* settings,
                             const std::vector<KVD::String>& names) override
    {
        shownNames = names;
        shownChannel = channel;
        settings->mRawFlowChannel = 0;
        settings->SetFlowHead(5, 2.0);
        return kDialogAccepted;
    }
    int ShowSpFlowCalibrateDialog(HWND, IAutoOrrelDoc*, IRecordData*, SpFlowSettings*) override
    {
        return kDialogAccepted;
    }
    int ShowSpVolumeCalcDialog(HWND, int, IAutoOrrelDoc*, SpVolSettings*, const std::vector<KVD::String>&) override
    {
        return kDialogAccepted;
    }

    std::vector<KVD::String> shownNames;
    int shownChannel = -1;
};

}  // namespace

TEST(Calculations, FlowAndVolumeComputedThroughTheHost)
{
    Host::DataDocument doc(Breathing(2, 1.0, 1.0));
    const int flowChannel = doc.AddChannel("Flow", "L/s");
    const int volumeChannel = doc.AddChannel("Volume", "L");

    SpFlowSettings flowSettings;
    flowSettings.mRawFlowChannel = 0;
    flowSettings.SetFlowHead(3, 0.0);
    KVD::COMPtr<ICalculation> flow = PutOn(doc, SpFlowCalcTypeId(), flowChannel, &flowSettings);
    SpVolSettings volumeSettings;
    volumeSettings.mFlowChannel = flowChannel;
    KVD::COMPtr<ICalculation> volume = PutOn(doc, VolumeCalcTypeId(), volumeChannel, &volumeSettings);

    // Flow: the raw volts times head 3's 40.1; volume: its running sum over 10 ms samples.
    const std::vector<float> raw = Samples(doc, 0);
    const std::vector<float> flowOut = Samples(doc, flowChannel);
    const std::vector<float> volumeOut = Samples(doc, volumeChannel);
    ASSERT_EQ(flowOut.size(), raw.size());
    ASSERT_EQ(volumeOut.size(), raw.size());
    double sum = 0.0;
    for (size_t i = 0; i < raw.size(); ++i) {
        ASSERT_EQ(flowOut[i], float(double(raw[i]) * 40.1)) << i;
        sum += double(flowOut[i]) * 0.01;
        ASSERT_NEAR(volumeOut[i], sum, 1e-4) << i;
    }
    EXPECT_NEAR(volumeOut[399], 0.0, 0.01 * 40.1);  // one whole breath in and out

    // The same settings again change nothing; the flow's units follow its head and range.
    EXPECT_EQ(flow->Configure(&flowSettings, kAutoFalse), KVD_S_FALSE);
    SpFlow& flowCalc = Implementation<SpFlow>(flow);
    EXPECT_EQ(flowCalc.CurrentSettings().mOwnChannel, flowChannel);
    KVD::COMPtr<IUnitsConversion> units;
    flowCalc.GetUnits(0, 0, units.Set(), nullptr);
    EXPECT_NE(units, nullptr);
    EXPECT_DOUBLE_EQ(flowCalc.GetStep(), 40.0 / 64000.0);
    const double fullRange = 32767 * kVoltsPerStep * 40.1;
    EXPECT_FLOAT_EQ(flowCalc.DisplayTop(), float(fullRange * flowCalc.SourceScaling().scale +
                                                 flowCalc.SourceScaling().offset * flowCalc.SourceScaling().scale));
    EXPECT_DOUBLE_EQ(flowCalc.CurrentSettings().mFlowFullRange, fullRange);

    KVD::COMPtr<ISpiroCalculations> spiro(KVD::com_cast(volume.get()));
    ASSERT_NE(spiro, nullptr);
    int32_t channel = -1;
    spiro->GetSpFlowCalcChan(&channel);
    EXPECT_EQ(channel, flowChannel);
    spiro->GetSpVolCalcChan(&channel);
    EXPECT_EQ(channel, volumeChannel);
    AutoBool use = kAutoTrue;
    spiro->GetUseVolCorr(&use);
    EXPECT_EQ(use, kAutoFalse);

    // Calibration knows the flow channel by its calculation.
    CalibrateBase calibration(doc.AutoDocument(), &doc.Data());
    EXPECT_TRUE(calibration.DetectFlowChannel(flowChannel));
    EXPECT_FALSE(calibration.DetectFlowChannel(volumeChannel));
    EXPECT_FALSE(calibration.DetectFlowChannel(0));
    doc.Close();
}

TEST(Calculations, FlowScalingFollowsTheRawChannelsPrefix)
{
    // Range 20 to -20 is 0.000625 per step; a raw channel in mV makes it a thousandth of that.
    for (const char* unit : {"V", "mV"}) {
        Host::DataDocument doc(Breathing(1, 1.0, 1.0, unit));
        const int flowChannel = doc.AddChannel("Flow", "L/s");
        SpFlowSettings settings;
        settings.mRawFlowChannel = 0;
        KVD::COMPtr<ICalculation> flow = PutOn(doc, SpFlowCalcTypeId(), flowChannel, &settings);
        SpFlow& calc = Implementation<SpFlow>(flow);
        calc.GetUnits(0, 0, nullptr, nullptr);
        EXPECT_DOUBLE_EQ(calc.GetStep(), 40.0 / 64000.0 * (unit[0] == 'm' ? 0.001 : 1.0)) << unit;
        EXPECT_EQ(calc.CurrentSettings().mRawPrefixExponent, unit[0] == 'm' ? -3 : 0) << unit;
        doc.Close();
    }
}

TEST(Calculations, VolumeCorrectionCalibratedFromRecordedBreathing)
{
    // 1.0 L in, 1.2 L out per breath with 150 mL dead space: the factor 1.05 / 0.85, after
    // which every whole breath ends where it began.
    Host::DataDocument doc(Breathing(6, 1.0, 1.2));
    const int flowChannel = doc.AddChannel("Flow", "L/s");
    const int volumeChannel = doc.AddChannel("Volume", "L");
    SpFlowSettings flowSettings;
    flowSettings.mRawFlowChannel = 0;
    flowSettings.SetFlowHead(5, 1.0);
    KVD::COMPtr<ICalculation> flow = PutOn(doc, SpFlowCalcTypeId(), flowChannel, &flowSettings);
    SpVolSettings volumeSettings;
    volumeSettings.mFlowChannel = flowChannel;
    volumeSettings.mDeadSpace = 150.0;
    volumeSettings.mCorrectionMethod = 1;
    KVD::COMPtr<ICalculation> volume = PutOn(doc, VolumeCalcTypeId(), volumeChannel, &volumeSettings);
    EXPECT_NEAR(Samples(doc, volumeChannel)[1599], -0.2 * 4, 0.01);

    KVD::COMPtr<ISpiroCalculations> spiro(KVD::com_cast(volume.get()));
    ASSERT_EQ(spiro->ApplyVolumeCorrection(0, doc.AutoDocument(), KVDPosition{0, 0}, KVDPosition{2401, 0}), KVD_S_OK);
    const SpVolSettings& applied = Implementation<SpVol>(volume).CurrentSettings();
    EXPECT_TRUE(applied.mApplyCorrection);
    EXPECT_NEAR(applied.mVolumeRatio, 1.05 / 0.85, 0.01);
    const std::vector<float> corrected = Samples(doc, volumeChannel);
    EXPECT_NEAR(corrected[1599] - corrected[399], 0.0, 0.02);

    EXPECT_EQ(spiro->ClearVolumeCorrection(0), KVD_S_OK);
    EXPECT_FALSE(Implementation<SpVol>(volume).CurrentSettings().mApplyCorrection);
    EXPECT_NEAR(Samples(doc, volumeChannel)[1599], -0.2 * 4, 0.01);
    doc.Close();
}

TEST(Calculations, SettingsDialogsCancelledOrAcceptedAndAutoScaled)
{
    SpiroTest::RegisterClassObjects();
    Host::DataDocument doc(Breathing(2, 1.0, 1.0));
    const int flowChannel = doc.AddChannel("Flow", "L/s");
    KVD::COMPtr<ICalculationClass> cls;
    ObjectFactoryAccessor::Get()->GetClassObject(SpFlowCalcTypeId(), IID_ICalculationClass, cls.Set());

    // Until the views install their dialogs, the user always cancels.
    IPersistObject* result = reinterpret_cast<IPersistObject*>(1);
    EXPECT_EQ(cls->SettingsDialog(HWND{}, nullptr, doc.AutoDocument(), nullptr, TChannelId{flowChannel, 0}, nullptr,
                                  &result),
              KVD_S_FALSE);
    EXPECT_EQ(result, nullptr);

    AcceptingDialogs dialogs;
    InstallSpiroDialogs(&dialogs);
    EXPECT_EQ(cls->SettingsDialog(HWND{}, nullptr, doc.AutoDocument(), nullptr, TChannelId{flowChannel, 0}, nullptr,
                                  &result),
              KVD_S_OK);
    InstallSpiroDialogs(nullptr);
    ASSERT_NE(result, nullptr);
    KVD::COMPtr<IPersistObject> accepted;
    accepted = result;
    result->Release();
    EXPECT_EQ(dialogs.shownChannel, flowChannel);
    EXPECT_EQ(dialogs.shownNames, (std::vector<KVD::String>{L"Raw", L"Flow"}));

    // The range found is that of twice the raw signal.
    const std::vector<float> raw = Samples(doc, 0);
    const auto [low, high] = std::minmax_element(raw.begin(), raw.end());
    const SpFlowSettings* settings = dynamic_cast<const SpFlowSettings*>(accepted.get());
    EXPECT_EQ(settings->mHeadScale, 2.0);
    EXPECT_FLOAT_EQ(float(settings->mRangeTop), 2.0f * *high);
    EXPECT_FLOAT_EQ(float(settings->mRangeBottom), 2.0f * *low);
    doc.Close();
}

TEST(Calculations, FormulaFunctionsByName)
{
    // The host's formula channel finds SpFlow and SpVol by name: SpFlow(source, drift, raw
    // channel, scale, coefficient) and SpVol(flow, correction, dead space, ratio).
    SpiroTest::RegisterClassObjects();
    Host::DataDocument doc(Breathing(2, 1.0, 1.0));
    const int channel = doc.AddChannel("Volume", "L");
    KVD::COMPtr<IPersistObject> formula;
    ObjectFactoryAccessor::Get()->CreateObject(TypeIdClass<&GUID_ArithCalcId, 1>::GetId(), nullptr,
                                               IID_IPersistObject, formula.Set());
    KVD::COMPtr<ISetCalcFromString>(KVD::com_cast(formula.get()))
        ->SetFromString(KVD::String(L"SpVol(SpFlow(Ch1, 0, 0, 0.5, 1), 0, 0, 1)").AsIAutoKVDString(),
                        KVD::String(L"L").AsIAutoKVDString());
    KVD::COMPtr<ICalculation> calculation = PutOn(doc, TypeIdClass<&GUID_ArithCalcId, 0>::GetId(), channel, formula);
    const std::vector<float> raw = Samples(doc, 0);
    const std::vector<float> volume = Samples(doc, channel);
    ASSERT_EQ(volume.size(), raw.size());
    double sum = 0.0;
    for (size_t i = 0; i < raw.size(); ++i) {
        sum += double(float(double(raw[i]) * 0.5)) * 0.01;
        ASSERT_NEAR(volume[i], sum, 1e-5) << i;
    }

    // The dialogs turn a channel into a formula the same way.
    const int twice = doc.AddChannel("Twice", "V");
    ASSERT_TRUE(DlgCommon::setChannelCalculation(TypeIdClass<&GUID_ArithCalcId, 0>::GetId(), L"Ch1 * 2", L"V",
                                                 &doc.Data(), TChannelId{twice, 0}));
    const std::vector<float> doubled = Samples(doc, twice);
    ASSERT_EQ(doubled.size(), raw.size());
    EXPECT_EQ(doubled[100], raw[100] * 2);
    doc.Close();
}
