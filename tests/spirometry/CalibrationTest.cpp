#include <gtest/gtest.h>

#include <cmath>

#include "HostDoubles.h"
#include "IRecordData.h"
#include "host/document/DataDocument.h"
#include "spirometry/CalibrateBase.h"
#include "spirometry/SpiroText.h"

using Spirometry::CalibrateBase;
using SpiroTest::MakeRecording;

namespace {

constexpr double kPi = 3.14159265358979323846;

// Half a sine wave of n samples whose integral over time is volume (negative: expiration).
void AppendHalfSine(std::vector<float>& flow, int n, double dt, double volume)
{
    const double amplitude = volume * kPi / (2.0 * n * dt);
    for (int i = 0; i < n; ++i)
        flow.push_back(float(amplitude * std::sin(kPi * (i + 0.5) / n)));
}

// Breaths of 2 s inspiration then 2 s expiration at 100 samples per second.
std::vector<float> Breathing(int breaths, double inspired, double expired)
{
    std::vector<float> flow;
    for (int b = 0; b < breaths; ++b) {
        AppendHalfSine(flow, 200, 0.01, inspired);
        AppendHalfSine(flow, 200, 0.01, -expired);
    }
    flow.push_back(0.0f);
    return flow;
}

// A document whose channel 0 is the flow, one record, selected whole.
struct FlowDocument {
    FlowDocument(double rate, const std::vector<float>& flow, const char* unit = "L/s", double step = 5e-5)
        : doc(MakeRecording(rate, {{{"Flow", unit, step, 0.0}, {flow}}}))
    {
        doc.Select(KVDPosition{0, 0}, KVDPosition{uint32_t(flow.size()), 0});
    }
    ~FlowDocument() { doc.Close(); }

    CalibrateBase Calibration()
    {
        CalibrateBase calibration(doc.AutoDocument(), &doc.Data());
        calibration.SetCalcFlowChannel(0);
        return calibration;
    }

    Host::DataDocument doc;
};

template <const KVDXMLStringKey& Key>
const KVD::String& Text()
{
    return Spirometry::CachedText<Key>();
}

}  // namespace

TEST(Calibration, RangeChecksGiveTheirReasons)
{
    Host::DataDocument doc(MakeRecording(100.0, {{{"Flow", "L/s", 0.001, 0.0}, {std::vector<float>(100, 0.0f),
                                                                                  std::vector<float>(50, 0.0f)}}}));
    CalibrateBase cal(doc.AutoDocument(), &doc.Data());
    KVD::String reason;

    cal.SetCalcFlowChannel(-1);
    EXPECT_FALSE(cal.VolumeCalibrationCanBeDone(&reason));
    EXPECT_EQ(reason, Text<SpirometryStr::IDS_CHANNEL_NOT_SET>());

    cal.SetCalcFlowChannel(0);
    EXPECT_FALSE(cal.VolumeCalibrationCanBeDone(&reason));  // nothing selected: the first reason stays
    EXPECT_EQ(reason, Text<SpirometryStr::IDS_NO_VOL_SELECTION>());

    doc.Select(KVDPosition{10, 0}, KVDPosition{20, 1});
    EXPECT_FALSE(cal.VolumeCalibrationCanBeDone(&reason));
    EXPECT_EQ(reason, Text<SpirometryStr::IDS_RANGE_WARNING_1>());

    doc.Select(KVDPosition{10, 0}, KVDPosition{60, 0});
    cal.SetCalcFlowChannel(4);
    EXPECT_FALSE(cal.VolumeCalibrationCanBeDone(&reason));
    EXPECT_EQ(reason, Text<SpirometryStr::IDS_RANGE_WARNING_2>());

    cal.SetCalcFlowChannel(0);
    EXPECT_TRUE(cal.VolumeCalibrationCanBeDone(&reason));
    EXPECT_EQ(reason, L"");
    EXPECT_EQ(cal.GetSampleCount(), 50);

    // A range given by the caller wins over the selection; an empty one cannot be calibrated.
    cal.SetupFromOmbrisk(KVDPosition{30, 0}, KVDPosition{30, 0}, 0);
    EXPECT_FALSE(cal.VolumeCalibrationCanBeDone(&reason));
    EXPECT_EQ(reason, Text<SpirometryStr::IDS_NO_VALID_SELECTION>());
    doc.Close();
}

TEST(Calibration, ThreeLitreInjectionGivesTheGainThatRestoresIt)
{
    // The head reads 20 % low: the calculated flow integrates to 2.4 L of a 3 L injection.
    for (double sign : {1.0, -1.0}) {
        std::vector<float> flow(100, 0.0f);
        AppendHalfSine(flow, 1000, 0.001, sign * 3.0 * 0.8);
        flow.resize(flow.size() + 100, 0.0f);
        FlowDocument d(1000.0, flow, "L/s", 2e-4);
        CalibrateBase cal = d.Calibration();
        ASSERT_TRUE(cal.CalCheck(nullptr, 0, Spirometry::kChannelData));
        ASSERT_TRUE(cal.OrganiseFlowData(0, Spirometry::kChannelData));
        cal.OrganiseVolData();
        EXPECT_NEAR(cal.GetFlowIntegral(), sign * 2.4, 1e-4);
        const double gain = cal.CalcFlowGain(3.0);
        EXPECT_NEAR(gain, 1.25, 1e-4);
        EXPECT_NEAR(cal.CalcVolume(gain), 3.0, 1e-12);
    }
}

// A selection to the record's end counts the record's samples, not the ticks up to the largest
// tick that names the end (two thousand million floats to read).
TEST(Calibration, ASelectionToTheRecordsEndCountsTheRecordsSamples)
{
    FlowDocument d(1000.0, std::vector<float>(1000, 1.0f), "L/s", 0.001);
    d.doc.Select(KVDPosition{200, 0}, KVDPosition{kRecordEndTick, 0});
    CalibrateBase cal = d.Calibration();
    ASSERT_TRUE(cal.CalCheck(nullptr, 0, Spirometry::kChannelData));
    EXPECT_EQ(cal.GetSampleCount(), 800);
    ASSERT_TRUE(cal.OrganiseFlowData(0, Spirometry::kChannelData));
    EXPECT_EQ(cal.GetSampleCount(), 800);
}

TEST(Calibration, UndeliveredSamplesAreNeverRead)
{
    // The range asks for 1400 samples of a record of 1000.
    FlowDocument d(1000.0, std::vector<float>(1000, 1.0f), "L/s", 0.001);
    CalibrateBase cal = d.Calibration();
    cal.SetupFromOmbrisk(KVDPosition{0, 0}, KVDPosition{1400, 0}, 0);
    ASSERT_TRUE(cal.CalCheck(nullptr, 0, Spirometry::kChannelData));
    ASSERT_TRUE(cal.OrganiseFlowData(0, Spirometry::kChannelData));
    EXPECT_EQ(cal.GetSampleCount(), 1000);
    cal.OrganiseVolData();
    EXPECT_NEAR(cal.GetFlowIntegral(), 999 * 0.001, 1e-5);
}

TEST(Calibration, VolumeCorrectionBalancesExpiredAgainstInspiredBeyondTheDeadSpace)
{
    // 1.0 L in, 1.2 L out per breath, 150 mL dead space: (1.2 - 0.15) / (1.0 - 0.15), whether
    // the flow is in L/s or in mL/s.
    const double expected = 1.05 / 0.85;
    const bool units[] = {false, true};
    for (auto method : {Spirometry::kVolumeCorrectionLinearFit, Spirometry::kVolumeCorrectionWholeBreaths}) {
        for (bool millilitres : units) {
            const double perLitre = millilitres ? 1000.0 : 1.0;
            FlowDocument d(100.0, Breathing(6, perLitre, 1.2 * perLitre), millilitres ? "mL/s" : "L/s",
                           5e-5 * perLitre);
            CalibrateBase cal = d.Calibration();
            KVD::String message;
            EXPECT_NEAR(cal.CalcVolumeCorrectionFactor(method, 150.0, &message), expected, 0.01 * expected)
                << method << " " << millilitres;
            EXPECT_EQ(message, L"");
        }
    }
}

TEST(Calibration, CorrectionWithoutAUsableResultIsOneOrClamped)
{
    const struct {
        const char* what;
        std::vector<float> flow;
        Spirometry::VolumeCorrectionMethod method;
        double factor;
        bool message;
    } cases[] = {
        {"no expiration beyond the dead space", Breathing(6, 1.0, 0.1), Spirometry::kVolumeCorrectionLinearFit, 1.0,
         false},
        {"no flow at all", std::vector<float>(2401, 0.0f), Spirometry::kVolumeCorrectionWholeBreaths, 1.0, true},
        {"far too much expired", Breathing(6, 0.16, 1.2), Spirometry::kVolumeCorrectionWholeBreaths, 10.0, false},
        {"unknown method", Breathing(6, 1.0, 1.2), Spirometry::VolumeCorrectionMethod(2), 1.0, false},
    };
    for (const auto& c : cases) {
        FlowDocument d(100.0, c.flow);
        CalibrateBase cal = d.Calibration();
        KVD::String message;
        EXPECT_EQ(cal.CalcVolumeCorrectionFactor(c.method, 150.0, &message), c.factor) << c.what;
        EXPECT_EQ(message == Text<SpirometryStr::IDS_CALIBRATION_NO_RESULT>(), c.message) << c.what;
    }

    FlowDocument d(100.0, std::vector<float>(10, 0.0f));
    CalibrateBase cal = d.Calibration();
    ASSERT_TRUE(cal.CalCheck(nullptr, 0, Spirometry::kChannelData) && cal.OrganiseFlowData(0, Spirometry::kChannelData));
    cal.OrganiseVolData();
    KVD::String message;
    EXPECT_EQ(cal.CalcFlowGain(3.0, &message), 1.0);
    EXPECT_EQ(message, Text<SpirometryStr::IDS_CALIBRATION_NO_RESULT>());
}
