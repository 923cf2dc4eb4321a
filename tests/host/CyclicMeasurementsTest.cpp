// The cyclic-measurements part of a data document: its cycle detection's parameters by number,
// the event formula it writes, and that formula run by the host over recorded signals.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ICMDoc.h"
#include "IChannelCalc.h"
#include "IEnumFloatEx.h"
#include "IPersistObject.h"
#include "ISetCalcFromString.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "foundation/KVDString.h"
#include "framework/HostDocumentQueries.h"
#include "host/document/DataDocument.h"
#include "support/VtableSlot.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = 100.0;
const TChannelId kByText{-1, 0xC0000000u};

// One channel "Flow" in L/s, steps of 0.1 mL/s, 20 s at 100 Hz.
std::shared_ptr<Host::Recording> Recorded(double (*flow)(double))
{
    auto rec = std::make_shared<Host::Recording>("cycles.csv", kRate,
                                                 std::vector<Host::ChannelFormat>{{"Flow", "L/s", 1e-4, 0.0}});
    Host::RecordBlock block{2000, {{}}};
    for (uint32_t i = 0; i < block.ticks; ++i)
        block.samples[0].push_back(rec->Channel(0).Raw(flow(i / kRate)));
    rec->AddRecord(std::move(block));
    return rec;
}

// Rises through zero 73.5 ticks after each 400.
double Sine(double t) { return 0.5 * std::sin(2 * kPi * (t - 0.735) / 4.0); }
double Flat(double) { return 0.05; }
// Flow that only expires: a dip of 1.5 s every 4 s, back at zero 150 ticks after each 400.
double Expirations(double t)
{
    const double s = std::fmod(t, 4.0);
    return s < 1.5 ? -0.5 * std::sin(kPi * s / 1.5) : 0.0;
}

KVD::COMPtr<ICMCycleDetect> Detection(Host::DataDocument& doc)
{
    const KVD::COMPtr<ICMDoc> part = CMShared::GetICMDoc(doc.AutoDocument());
    KVD::COMPtr<ICMCycleDetect> detection;
    if (part != nullptr)
        part->GetCycleDetection(detection.Set());
    return detection;
}

std::string Formula(ICMCycleDetect* detection, const wchar_t* channel, int32_t edge, TChannelId id)
{
    KVD::String text;
    const HRESULT hr =
        detection->GetEventFormula(KVD::String(channel).AsIAutoKVDString(), edge, id, KVD::String::Setter(text));
    return hr == KVD_S_OK ? KVD::ToU8String(text) : "error " + std::to_string(hr);
}

// The formula run as the host's arithmetic calculation on a new channel; its samples.
std::vector<float> Computed(Host::DataDocument& doc, const std::string& formula)
{
    const int channel = doc.AddChannel("Cycles", "s");
    KVD::COMPtr<ICalculationClass> cls;
    ObjectFactoryAccessor::Get()->GetClassObject(TypeIdClass<&GUID_ArithCalcId, 0>::GetId(), IID_ICalculationClass,
                                                 cls.Set());
    KVD::COMPtr<IPersistObject> settings;
    ObjectFactoryAccessor::Get()->CreateObject(TypeIdClass<&GUID_ArithCalcId, 1>::GetId(), nullptr,
                                               IID_IPersistObject, settings.Set());
    KVD::COMPtr<ISetCalcFromString>(KVD::com_cast(settings.get()))
        ->SetFromString(KVD::String(formula).AsIAutoKVDString(), KVD::String(L"s").AsIAutoKVDString());
    KVD::COMPtr<ICalculation> calculation;
    cls->Create(TChannelId{channel, 0}, &doc.Data(), calculation.Set());
    EXPECT_EQ(calculation->Configure(settings, kAutoTrue), KVD_S_OK) << formula;
    EXPECT_EQ(doc.Data().SetCalculation(TChannelId{channel, 0}, calculation), KVD_S_OK);
    KVD::COMPtr<IEnumFloatEx> stream;
    doc.Data().GetFloatStream(TChannelId{channel, 0x40001000}, KVDPosition{0, 0}, kRecordEndTick, stream.Set());
    std::vector<float> out(4000);
    uint32_t delivered = 0;
    if (stream != nullptr)
        stream->Next(uint32_t(out.size()), out.data(), &delivered);
    out.resize(delivered);
    return out;
}

TEST(CyclicMeasurements, SlotsOfThePartAndItsCycleDetection)
{
    TestSupport::ExpectSlots({
        TEST_SLOT(ICMDoc::GetCycleDetection, 3),
        TEST_SLOT(ICMCycleDetect::ResetParameters, 3),
        TEST_SLOT(ICMCycleDetect::SetParameter, 4),
        TEST_SLOT(ICMCycleDetect::GetParameter, 5),
        TEST_SLOT(ICMCycleDetect::GetEventFormula, 6),
    });
}

// Every data document has the part; its detection keeps numbers 3, 5, 8 and 9 within their
// ranges and has no others.
TEST(CyclicMeasurements, ParametersByNumber)
{
    Host::DataDocument doc(Recorded(Sine));
    const KVD::COMPtr<ICMCycleDetect> detection = Detection(doc);
    ASSERT_NE(detection, nullptr);
    EXPECT_EQ(Detection(doc).get(), detection.get());

    const std::map<int32_t, double> defaults = {{3, 0.25}, {5, 0.2}, {8, 1.0}, {9, 0.0}};
    const std::map<int32_t, double> set = {{3, 0.5}, {5, 0.5}, {8, 8.0}, {9, -0.02}};
    for (const auto& [number, value] : set)
        EXPECT_EQ(detection->SetParameter(number, value), KVD_S_OK) << number;
    for (const auto& [number, value] : set) {
        double read = -1;
        EXPECT_EQ(detection->GetParameter(number, &read), KVD_S_OK);
        EXPECT_EQ(read, value) << number;
    }
    const std::vector<std::pair<int32_t, double>> outside = {{3, 1.5}, {3, -0.1}, {5, -1.0}, {8, 10001.0}, {9, 1e16}};
    for (const auto& [number, value] : outside)
        EXPECT_EQ(detection->SetParameter(number, value), KVD_E_BADSTATE) << number;
    EXPECT_EQ(detection->SetParameter(5, std::nan("")), KVD_E_BADSTATE);
    for (int32_t number : {-1, 0, 1, 2, 4, 6, 7, 10}) {
        double read = 7;
        EXPECT_EQ(detection->SetParameter(number, 0.5), KVD_E_BADSTATE) << number;
        EXPECT_EQ(detection->GetParameter(number, &read), KVD_E_BADSTATE) << number;
        EXPECT_EQ(read, 7);
    }
    EXPECT_EQ(detection->GetParameter(3, nullptr), KVD_E_POINTER);
    for (const auto& [number, value] : set) {
        double read = -1;
        detection->GetParameter(number, &read);
        EXPECT_EQ(read, value) << "kept " << number;
    }
    EXPECT_EQ(detection->ResetParameters(), KVD_S_OK);
    for (const auto& [number, value] : defaults) {
        double read = -1;
        detection->GetParameter(number, &read);
        EXPECT_EQ(read, value) << "default " << number;
    }
}

TEST(CyclicMeasurements, EventFormulaOfAChannel)
{
    Host::DataDocument doc(Recorded(Sine));
    const KVD::COMPtr<ICMCycleDetect> detection = Detection(doc);
    ASSERT_NE(detection, nullptr);
    EXPECT_EQ(Formula(detection.get(), L"Ch2", 0, kByText), "CycleStarts(Ch2,0,0.25,0.2,1,0)");
    detection->SetParameter(8, 8.0);
    detection->SetParameter(9, 0.0);
    detection->SetParameter(3, 0.5);
    detection->SetParameter(5, 0.5);
    EXPECT_EQ(Formula(detection.get(), L"Ch2", 0, kByText), "CycleStarts(Ch2,0,0.5,0.5,8,0)");
    EXPECT_EQ(Formula(detection.get(), L"Ch2", 1, kByText), "CycleStarts(Ch2,0,0.5,0.5,8,1)");
    // A channel number names the channel whatever the text.
    EXPECT_EQ(Formula(detection.get(), L"Ch2", 0, TChannelId{4, 0xC0000000u}), "CycleStarts(Ch5,0,0.5,0.5,8,0)");
    detection->SetParameter(9, -0.125);
    detection->SetParameter(5, 1.0 / 3);
    EXPECT_EQ(Formula(detection.get(), L"\"Flow\"", 0, kByText),
              "CycleStarts(\"Flow\",-0.125,0.5,0.333333333333333,8,0)");

    const std::string refused = "error " + std::to_string(KVD_E_BADSTATE);
    EXPECT_EQ(Formula(detection.get(), L"Ch2", 2, kByText), refused);
    EXPECT_EQ(Formula(detection.get(), L"Ch2", -1, kByText), refused);
    EXPECT_EQ(Formula(detection.get(), L"", 0, kByText), refused);
    EXPECT_EQ(Formula(detection.get(), L"Ch2", 0, TChannelId{int32_t(0x80000000), 0xC0000000u}), refused);
    IAutoKVDString* none = reinterpret_cast<IAutoKVDString*>(1);
    EXPECT_EQ(detection->GetEventFormula(nullptr, 0, kByText, &none), KVD_E_BADSTATE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(detection->GetEventFormula(nullptr, 0, kByText, nullptr), KVD_E_POINTER);
}

namespace {

// The part's formula, with 8 smoothing samples, hysteresis 0.5 and cycles of 0.5 s at least,
// run over the 2000 ticks of doc: events at first, first + 400, ... (count of them), each valued
// with the length of the cycle it closes (4 s), nothing before the first.
void ExpectEventsEvery4s(Host::DataDocument& doc, ICMCycleDetect* detection, int first, int count)
{
    detection->SetParameter(8, 8.0);
    detection->SetParameter(3, 0.5);
    detection->SetParameter(5, 0.5);
    const std::vector<float> held = Computed(doc, "EventInterp(" + Formula(detection, L"Ch1", 0, kByText) + ")");
    ASSERT_EQ(held.size(), 2000u);
    for (int k = 0; k < count; ++k) {
        const int start = first + 400 * k;
        if (k == 0)
            EXPECT_TRUE(std::isnan(held[start - 1]));
        else
            EXPECT_NEAR(held[start - 1], k == 1 ? 0.0 : 4.0, 1e-4) << k;
        EXPECT_NEAR(held[start], k == 0 ? 0.0 : 4.0, 1e-4) << k;
    }
    EXPECT_NEAR(held.back(), 4.0, 1e-4);
}

}  // namespace

// The part's formula run over a sine of 4 s: an event one period apart at each rise through
// zero, valued with the length of the cycle it closes; nothing before the first.
TEST(CyclicMeasurements, FormulaFindsTheCyclesOfARecordedSine)
{
    Host::DataDocument doc(Recorded(Sine));
    const KVD::COMPtr<ICMCycleDetect> detection = Detection(doc);
    ASSERT_NE(detection, nullptr);
    ExpectEventsEvery4s(doc, detection.get(), 73, 5);
    doc.Close();
}

// Over flow that only expires, the events lie where each expiration is back at zero (half
// the moving mean's eight samples later), each confirmed when the next expiration begins.
TEST(CyclicMeasurements, FormulaFindsTheReturnsOfExpirationOnlyFlow)
{
    Host::DataDocument doc(Recorded(Expirations));
    const KVD::COMPtr<ICMCycleDetect> detection = Detection(doc);
    ASSERT_NE(detection, nullptr);
    // The last return has no expiration after it.
    ExpectEventsEvery4s(doc, detection.get(), 153, 4);
    doc.Close();
}

TEST(CyclicMeasurements, FlatChannelHasNoCycles)
{
    Host::DataDocument doc(Recorded(Flat));
    const KVD::COMPtr<ICMCycleDetect> detection = Detection(doc);
    ASSERT_NE(detection, nullptr);
    const std::vector<float> held = Computed(doc, "EventInterp(" + Formula(detection.get(), L"Ch1", 0, kByText) + ")");
    ASSERT_EQ(held.size(), 2000u);
    for (float v : held)
        ASSERT_TRUE(std::isnan(v));
    doc.Close();
}

}  // namespace
