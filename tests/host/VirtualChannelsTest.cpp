// Virtual channels of a document's data: made through ISetVirtualChans, named after their
// formula token, turned into arithmetic calculations the way a dialog's preview does, and read
// back as samples by streams and poly-lines; one virtual channel's formula reads another. Also
// what the host document answers a preview about its view and its recording hardware.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "IChannelCalc.h"
#include "IDisplaySettings.h"
#include "IEnumEventEx.h"
#include "IEnumFloatEx.h"
#include "IOrrelDataSink.h"
#include "IPolyLineEnumEx.h"
#include "IUnitName.h"
#include "IOrrelRecording.h"
#include "IPersistObject.h"
#include "ISetCalcFromString.h"
#include "ISetVirtualChans.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "foundation/KVDString.h"
#include "framework/HostDocumentQueries.h"
#include "host/data/Adopt.h"
#include "host/document/DataDocument.h"
#include "host/sampling/SimulatedDeviceManager.h"
#include "support/VtableSlot.h"

namespace {

constexpr uint32_t kVirtual = kVirtualChannelKind;

// One channel, "Flow", stored as (tick + 100 x record) x 0.001 L/s, records of 40 and 25 ticks.
std::shared_ptr<Host::Recording> FlowRecording(std::vector<uint32_t> records = {40u, 25u})
{
    auto rec = std::make_shared<Host::Recording>("flow.csv", 50.0,
                                                 std::vector<Host::ChannelFormat>{{"Flow", "L/s", 0.001, 0.0}});
    for (uint32_t ticks : records) {
        Host::RecordBlock block{ticks, {{}}};
        for (uint32_t t = 0; t < ticks; ++t)
            block.samples[0].push_back(int16_t(t + 100 * rec->RecordCount()));
        rec->AddRecord(std::move(block));
    }
    return rec;
}

std::vector<float> Samples(IRecordData* records, TChannelId channel, int record)
{
    KVD::COMPtr<IEnumFloatEx> stream;
    records->GetFloatStream(channel, KVDPosition{0, record}, kRecordEndTick, stream.Set());
    std::vector<float> out(100);
    uint32_t delivered = 0;
    if (stream != nullptr)
        stream->Next(100, out.data(), &delivered);
    out.resize(delivered);
    return out;
}

// The preview calls the first operation after the IUnknown three; the recording face's three
// follow in order.
TEST(PreviewHostInterfaces, SlotsOfTheVirtualChannelsAndTheRecordingFace)
{
    TestSupport::ExpectSlots({TEST_SLOT(ISetVirtualChans::AddVirtualChannel, 3),
                              TEST_SLOT(IOrrelRecording::IsReadOnly, 3),
                              TEST_SLOT(IOrrelRecording::GetDeviceCount, 4),
                              TEST_SLOT(IOrrelRecording::GetDeviceManager, 5)});
}

class VirtualChannels : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = Host::Adopt(Host::DocumentData::Create(FlowRecording()));
        data->SetDataChangedHandler([this] { ++documentChanges; });
        virtualChans = KVD::com_cast(static_cast<IOrrelData2*>(data.get()));
        ASSERT_NE(virtualChans, nullptr);
    }
    void TearDown() override { data->Close(); }

    TChannelId Add(KVD::String* name = nullptr)
    {
        KVD::String given;
        TChannelId id{0, 0};
        EXPECT_EQ(virtualChans->AddVirtualChannel(0, 0, 0, KVD::String::Setter(given), &id), KVD_S_OK);
        if (name != nullptr)
            *name = given;
        return id;
    }
    // As a preview sets a channel's formula: the arithmetic settings from texts, a calculation of
    // the arithmetic class on the channel, configured and put on it.
    HRESULT SetFormula(TChannelId channel, const wchar_t* formula, const wchar_t* unit)
    {
        IObjectFactory* factory = ObjectFactoryAccessor::Get();
        KVD::COMPtr<IPersistObject> settings;
        factory->CreateObject(TypeIdClass<&GUID_ArithCalcId, 1>::GetId(), nullptr, IID_IPersistObject,
                              settings.Set());
        KVD::COMPtr<ISetCalcFromString> setter(KVD::com_cast(settings.get()));
        setter->SetFromString(KVD::String(formula).AsIAutoKVDString(), KVD::String(unit).AsIAutoKVDString());
        KVD::COMPtr<ICalculationClass> cls;
        factory->GetClassObject(TypeIdClass<&GUID_ArithCalcId, 0>::GetId(), IID_ICalculationClass, cls.Set());
        KVD::COMPtr<ICalculation> calculation;
        cls->Create(channel, data.get(), calculation.Set());
        const HRESULT hr = calculation->Configure(settings, kAutoTrue);
        if (hr != KVD_S_OK)
            return hr;
        return data->SetCalculation(channel, calculation);
    }
    std::vector<float> Recorded(int record, float scale, float offset)
    {
        std::vector<float> out = Samples(data.get(), TChannelId{0, 0x40001000}, record);
        for (float& v : out)
            v = v * scale + offset;
        return out;
    }

    KVD::COMPtr<Host::DocumentData> data;
    KVD::COMPtr<ISetVirtualChans> virtualChans;
    int documentChanges = 0;
};

TEST_F(VirtualChannels, EachCallMakesANewChannelNamedAfterItsToken)
{
    KVD::String first, second;
    const TChannelId a = Add(&first);
    const TChannelId b = Add(&second);
    EXPECT_EQ(first, L"VCh1");
    EXPECT_EQ(second, L"VCh2");
    EXPECT_EQ(a.channel, 0);
    EXPECT_EQ(a.blockDataType, kVirtual);
    EXPECT_EQ(b.channel, 1);
    EXPECT_EQ(b.blockDataType, kVirtual);
    KVD::String title;
    ASSERT_EQ(data->GetChannelTitle(TChannelId{1, 0xC0000004u}, KVD::String::Setter(title)), KVD_S_OK);
    EXPECT_EQ(title, L"VCh2");
    // Not channels of the recording: the document's channel 1 does not exist.
    EXPECT_NE(data->GetChannelTitle(TChannelId{1, 0xC0000000u}, KVD::String::Setter(title)), KVD_S_OK);
    EXPECT_EQ(data->Channels().Count(), 1);
    // Without a calculation there is nothing to read.
    AutoBool has = kAutoTrue;
    data->HasChannelData(0, a, &has);
    EXPECT_EQ(has, kAutoFalse);
    EXPECT_TRUE(Samples(data.get(), a, 0).empty());
    KVD::COMPtr<IEnumEventEx> events;
    EXPECT_EQ(data->GetEventStream(a, 0, KVDPosition{0, 0}, kRecordEndTick, events.Set()), KVD_S_FALSE);
    EXPECT_EQ(events, nullptr);
}

TEST_F(VirtualChannels, AFormulaSetOnAChannelIsReadBackAsItsSamples)
{
    const TChannelId a = Add();
    ASSERT_EQ(SetFormula(a, L"Ch1 * 2 + 1", L"mL"), KVD_S_OK);
    EXPECT_EQ(Samples(data.get(), a, 0), Recorded(0, 2, 1));
    EXPECT_EQ(Samples(data.get(), a, 1), Recorded(1, 2, 1));
    EXPECT_EQ(Samples(data.get(), TChannelId{0, 0x40001004u}, 1).size(), 25u);
    // The channel's calculation is the host's: it gives its channel and its formula back.
    KVD::COMPtr<IOffLineData> offline;
    ASSERT_EQ(data->GetChannelCalculation(TChannelId{0, 0xC0000004u}, offline.Set()), KVD_S_OK);
    TChannelId own{-1, 0};
    offline->GetChannel(&own);
    EXPECT_EQ(own.channel, 0);
    EXPECT_EQ(own.blockDataType, kVirtual);
    KVD::String formula;
    KVD::COMPtr<IChannelCalc>(KVD::com_cast(offline.get()))->GetInfoString(0, KVD::String::Setter(formula));
    EXPECT_EQ(formula, L"Ch1 * 2 + 1");
    KVD::COMPtr<IUnitName> unit;
    ASSERT_EQ(data->GetChannelUnitName(0, a, unit.Set()), KVD_S_OK);
    KVD::String unitText;
    unit->GetName(kAutoTrue, KVD::String::Setter(unitText));
    EXPECT_EQ(unitText, L"mL");
    // The dialog's channel is its own: the document hears of no change in its data.
    EXPECT_EQ(documentChanges, 0);
    // A formula that does not compile is refused and the channel keeps its last one.
    EXPECT_EQ(data->Virtual().Generation(0), 1);
    EXPECT_NE(SetFormula(a, L"Ch1 * (", L""), KVD_S_OK);
    EXPECT_EQ(Samples(data.get(), a, 0), Recorded(0, 2, 1));
    EXPECT_EQ(data->Virtual().Generation(0), 1);
}

TEST_F(VirtualChannels, OneChannelsFormulaReadsAnotherByItsNameAndFollowsItsChanges)
{
    const TChannelId a = Add();
    const TChannelId b = Add();
    ASSERT_EQ(SetFormula(a, L"Ch1 * 2", L""), KVD_S_OK);
    ASSERT_EQ(SetFormula(b, L"VCh1 + 3", L""), KVD_S_OK);
    EXPECT_EQ(Samples(data.get(), b, 0), Recorded(0, 2, 3));
    ASSERT_EQ(SetFormula(a, L"Ch1 * 4", L""), KVD_S_OK);
    EXPECT_EQ(Samples(data.get(), b, 0), Recorded(0, 4, 3));
    // A channel that reads itself gets NaN, not an endless recursion.
    ASSERT_EQ(SetFormula(a, L"VCh1 + 1", L""), KVD_S_OK);
    const std::vector<float> looped = Samples(data.get(), a, 1);
    ASSERT_EQ(looped.size(), 25u);
    EXPECT_TRUE(std::isnan(looped.front()));
}

TEST_F(VirtualChannels, ARecordingChangeRecomputesThem)
{
    const TChannelId a = Add();
    const TChannelId b = Add();
    ASSERT_EQ(SetFormula(a, L"Ch1 - 1", L""), KVD_S_OK);
    ASSERT_EQ(SetFormula(b, L"VCh1", L""), KVD_S_OK);
    EXPECT_EQ(Samples(data.get(), b, 0), Recorded(0, 1, -1));
    // A computed channel of the document that the virtual one reads changes under it.
    const int doubled = data->Channels().AddChannel("Doubled", "L/s");
    IObjectFactory* factory = ObjectFactoryAccessor::Get();
    KVD::COMPtr<ICalculationClass> cls;
    factory->GetClassObject(TypeIdClass<&GUID_ArithCalcId, 0>::GetId(), IID_ICalculationClass, cls.Set());
    auto put = [&](const wchar_t* formula) {
        KVD::COMPtr<IPersistObject> settings;
        factory->CreateObject(TypeIdClass<&GUID_ArithCalcId, 1>::GetId(), nullptr, IID_IPersistObject,
                              settings.Set());
        KVD::COMPtr<ISetCalcFromString>(KVD::com_cast(settings.get()))
            ->SetFromString(KVD::String(formula).AsIAutoKVDString(), nullptr);
        KVD::COMPtr<ICalculation> calculation;
        cls->Create(TChannelId{doubled, 0}, data.get(), calculation.Set());
        ASSERT_EQ(calculation->Configure(settings, kAutoTrue), KVD_S_OK);
        data->SetCalculation(TChannelId{doubled, 0}, calculation);
    };
    put(L"Ch1 * 2");
    ASSERT_EQ(SetFormula(a, L"Ch2", L""), KVD_S_OK);
    EXPECT_EQ(Samples(data.get(), b, 0), Recorded(0, 2, 0));
    put(L"Ch1 * 5");
    EXPECT_EQ(Samples(data.get(), b, 0), Recorded(0, 5, 0));
}

TEST_F(VirtualChannels, APolyLineOfAVirtualChannelSpansItsSamplesPerColumn)
{
    const TChannelId a = Add();
    ASSERT_EQ(SetFormula(a, L"Ch1 * 1000", L""), KVD_S_OK);
    // Ten ticks per pixel over record 0 (0..39): the first column holds 0..9.
    const int64_t pair[2] = {10, 1};
    const DataScaling scaling{1.0, 0.0};
    KVD::COMPtr<IPolyLineEnumEx> lines;
    ASSERT_EQ(data->CreatePolyLineEnum(0x40001004u, 0, pair, 40, 0, 0, &scaling, 0, lines.Set()), KVD_S_OK);
    ASSERT_NE(lines, nullptr);
    PolyLinePoint points[kPolyLineMaxPoints];
    uint32_t produced = 0;
    int64_t consumed = 0;
    ASSERT_EQ(lines->Next(2, 0, kPolyLineMaxPoints, points, &produced, &consumed), KVD_S_OK);
    EXPECT_EQ(consumed, 2);
    std::vector<int> ys;
    for (uint32_t i = 0; i < produced; ++i)
        ys.push_back(std::abs(points[i].y));
    ASSERT_FALSE(ys.empty());
    EXPECT_EQ(*std::min_element(ys.begin(), ys.end()), 0);
    EXPECT_EQ(*std::max_element(ys.begin(), ys.end()), 19);
}

// Live data: a monitoring record of the document computes the document's computed and virtual
// channels from what is sampled, and again as it grows.
TEST_F(VirtualChannels, AMonitoringRecordComputesTheDocumentsChannelsFromTheSampledData)
{
    const int doubled = data->Channels().AddChannel("Doubled", "L/s");
    IObjectFactory* factory = ObjectFactoryAccessor::Get();
    KVD::COMPtr<ICalculationClass> cls;
    factory->GetClassObject(TypeIdClass<&GUID_ArithCalcId, 0>::GetId(), IID_ICalculationClass, cls.Set());
    KVD::COMPtr<IPersistObject> settings;
    factory->CreateObject(TypeIdClass<&GUID_ArithCalcId, 1>::GetId(), nullptr, IID_IPersistObject, settings.Set());
    KVD::COMPtr<ISetCalcFromString>(KVD::com_cast(settings.get()))
        ->SetFromString(KVD::String(L"Ch1 * 2").AsIAutoKVDString(), nullptr);
    KVD::COMPtr<ICalculation> calculation;
    cls->Create(TChannelId{doubled, 0}, data.get(), calculation.Set());
    ASSERT_EQ(calculation->Configure(settings, kAutoTrue), KVD_S_OK);
    data->SetCalculation(TChannelId{doubled, 0}, calculation);
    const TChannelId a = Add();
    ASSERT_EQ(SetFormula(a, L"Ch2 + 1", L""), KVD_S_OK);

    KVD::COMPtr<IRecordData> monitor;
    ASSERT_EQ(data->CreateRecord(0, monitor.Set()), KVD_S_OK);
    KVD::COMPtr<IOrrelDataSink> sink(KVD::com_cast(monitor.get()));
    ASSERT_NE(sink, nullptr);
    sink->PrepareForSampling(0);
    sink->OnRecordStart(0, kAutoTrue);
    const std::vector<float> first{0.001f, 0.002f, 0.003f};
    sink->AppendSamples(0, 1, 3, first.data());
    const TChannelId computed{doubled, 0x40001000};
    EXPECT_EQ(Samples(monitor.get(), computed, 0), (std::vector<float>{0.002f, 0.004f, 0.006f}));
    EXPECT_EQ(Samples(monitor.get(), TChannelId{0, 0x40001004u}, 0), (std::vector<float>{1.002f, 1.004f, 1.006f}));
    const std::vector<float> more{0.01f};
    sink->AppendSamples(0, 1, 1, more.data());
    EXPECT_EQ(Samples(monitor.get(), computed, 0), (std::vector<float>{0.002f, 0.004f, 0.006f, 0.02f}));
    // The document's own channel is untouched by what was sampled.
    EXPECT_EQ(Samples(data.get(), computed, 0), Recorded(0, 2, 0));
    // A new formula on the document's virtual channel reaches the live data with the next samples.
    ASSERT_EQ(SetFormula(a, L"Ch2 + 5", L""), KVD_S_OK);
    sink->AppendSamples(0, 1, 1, more.data());
    EXPECT_EQ(Samples(monitor.get(), TChannelId{0, 0x40001004u}, 0),
              (std::vector<float>{5.002f, 5.004f, 5.006f, 5.02f, 5.02f}));
}

// What a live display keeps between its draws reads the monitoring record as it grows: the
// trace's poly-line enumerator gives the columns sampled after it was made, and the breath
// marks' event stream the events found in them.
class GrowingRecord : public VirtualChannels {
protected:
    void SetUp() override
    {
        VirtualChannels::SetUp();
        ASSERT_EQ(data->CreateRecord(0, monitor.Set()), KVD_S_OK);
        sink = KVD::com_cast(monitor.get());
        ASSERT_NE(sink, nullptr);
        sink->PrepareForSampling(0);
        sink->OnRecordStart(0, kAutoTrue);
    }
    // Samples from tick `from` on: 0.5 L/s × sin(2π tick / 20), a cycle each 20 ticks.
    void Sample(int from, int ticks)
    {
        std::vector<float> flow;
        for (int t = from; t < from + ticks; ++t)
            flow.push_back(float(0.5 * std::sin(2 * M_PI * t / 20.0)));
        ASSERT_EQ(sink->AppendSamples(0, 1, uint32_t(ticks), flow.data()), KVD_S_OK);
    }
    static std::vector<int32_t> Ticks(IEnumEventEx& stream)
    {
        int32_t size = 0;
        stream.GetSizeofEvents(&size);
        std::vector<int32_t> ticks;
        std::vector<uint8_t> buffer(size_t(std::max(size, 4)) * 8);
        for (uint32_t count = 1; count > 0;) {
            int32_t position = 0;
            count = 0;
            stream.Next(uint32_t(buffer.size()), kRecordEndTick, buffer.data(), &count, &position);
            for (uint32_t i = 0; i < count; ++i) {
                int32_t tick = 0;
                std::memcpy(&tick, buffer.data() + size_t(i) * size_t(size), sizeof tick);
                ticks.push_back(tick);
            }
        }
        return ticks;
    }

    KVD::COMPtr<IRecordData> monitor;
    KVD::COMPtr<IOrrelDataSink> sink;
};

TEST_F(GrowingRecord, AKeptPolyLineEnumeratorDrawsTheColumnsSampledSinceItWasMade)
{
    Sample(0, 100);
    // Ten ticks per pixel: 10 columns now.
    const int64_t pair[2] = {10, 1};
    const DataScaling scaling{100.0, 0.0};
    KVD::COMPtr<IPolyLineEnumEx> lines;
    ASSERT_EQ(monitor->CreatePolyLineEnum(0x40001000u, 0, pair, 0x7FFFFFFFFFFFFFFF, 0, 0, &scaling, 0, lines.Set()),
              KVD_S_OK);
    PolyLinePoint points[kPolyLineMaxPoints];
    uint32_t produced = 0;
    int64_t consumed = 0;
    ASSERT_EQ(lines->Next(10, 0, kPolyLineMaxPoints, points, &produced, &consumed), KVD_S_OK);
    EXPECT_EQ(produced, 20u);
    int64_t latest = 0;
    lines->GetLatestPosition(&latest);
    EXPECT_EQ(latest, 10);

    // Five more columns come in; the enumerator goes on where it stood.
    Sample(100, 50);
    lines->GetLatestPosition(&latest);
    EXPECT_EQ(latest, 15);
    ASSERT_EQ(lines->Next(5, 10, kPolyLineMaxPoints, points, &produced, &consumed), KVD_S_OK);
    EXPECT_EQ(consumed, 5);
    ASSERT_EQ(produced, 10u);
    // The same as a new enumerator over the grown record draws there.
    KVD::COMPtr<IPolyLineEnumEx> fresh;
    ASSERT_EQ(monitor->CreatePolyLineEnum(0x40001000u, 0, pair, 0x7FFFFFFFFFFFFFFF, 10, 0, &scaling, 0, fresh.Set()),
              KVD_S_OK);
    PolyLinePoint expected[kPolyLineMaxPoints];
    uint32_t freshProduced = 0;
    ASSERT_EQ(fresh->Next(5, 10, kPolyLineMaxPoints, expected, &freshProduced, &consumed), KVD_S_OK);
    ASSERT_EQ(freshProduced, produced);
    for (uint32_t i = 0; i < produced; ++i) {
        EXPECT_EQ(points[i].x, expected[i].x) << i;
        EXPECT_EQ(points[i].y, expected[i].y) << i;
    }
    // A column reaches at least across its half cycle: 0.5 L/s, 50 pixels.
    EXPECT_GE(std::abs(points[0].y - points[1].y), 50);
    // Skipping into columns sampled later works as well.
    Sample(150, 100);
    int64_t skipped = 0;
    EXPECT_EQ(lines->Skip(8, &skipped), KVD_S_OK);
    EXPECT_EQ(skipped, 8);
    int64_t position = 0;
    lines->GetPosition(&position);
    EXPECT_EQ(position, 23);
}

TEST_F(GrowingRecord, AKeptEventStreamOfAVirtualChannelGivesTheEventsFoundSinceItWasMade)
{
    const TChannelId starts = Add();
    ASSERT_EQ(SetFormula(starts, L"CycleStarts(Ch1, 0, 0.25, 0, 0, 0)", L""), KVD_S_OK);
    Sample(0, 100);
    KVD::COMPtr<IEnumEventEx> stream;
    ASSERT_EQ(monitor->GetEventStream(TChannelId{starts.channel, 0x80000000u | kVirtual}, 0x40000000,
                                      KVDPosition{0, 0}, kRecordEndTick, stream.Set()),
              KVD_S_OK);
    const std::vector<int32_t> before = Ticks(*stream);
    ASSERT_FALSE(before.empty());
    EXPECT_LT(before.back(), 100);

    // A hundred more ticks: five more cycles start, and the kept stream, positioned after the
    // last event it gave, finds them as a new stream does.
    Sample(100, 100);
    ASSERT_EQ(stream->Find(0, before.back() + 1, -1, 0x7FFFFFFF), KVD_S_OK);
    const std::vector<int32_t> after = Ticks(*stream);
    KVD::COMPtr<IEnumEventEx> fresh;
    monitor->GetEventStream(TChannelId{starts.channel, 0x80000000u | kVirtual}, 0x40000000,
                            KVDPosition{uint32_t(before.back() + 1), 0}, kRecordEndTick, fresh.Set());
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(after, Ticks(*fresh));
    EXPECT_GE(after.size(), 4u);
    EXPECT_GE(after.front(), 100);
}

// The preview's road to the document: what the host's data view shows, and its device.
TEST(PreviewHost, TheViewDataDisplayInfoComesFromTheSelectionElseTheView)
{
    Host::DataDocument doc(FlowRecording({5000u}));
    int record = -1;
    KVDPosition left{0x7FFFFFFF, 0x7FFFFFFF}, right = left;
    double zoom = 0;
    OrrelClient::gGetViewDataDisplayInfo(doc.AutoDocument(), record, left, right, zoom);
    EXPECT_EQ(record, 0);
    EXPECT_EQ(left.tick, 0u);
    EXPECT_EQ(right.tick, 5000u);
    EXPECT_EQ(zoom, 1.0);  // the view's
    doc.Select(KVDPosition{500, 0}, KVDPosition{4501, 0});
    OrrelClient::gGetViewDataDisplayInfo(doc.AutoDocument(), record, left, right, zoom);
    EXPECT_EQ(left.tick, 500u);
    EXPECT_EQ(right.tick, 4501u);
    EXPECT_EQ(zoom, 20.0);  // 4001 ticks on 400 pixels: the next zoom step up from 10
    doc.Close();
}

// A dialog asks the document for a channel's colour, a view its display settings: both give
// the library's colour of the channel, which shows on a white pane.
TEST(PreviewHost, ChannelsHaveTheLibrarysTraceColours)
{
    Host::DataDocument doc(FlowRecording());
    const int added = doc.AddChannel("Volume", "L");
    KVD::COMPtr<IChannelDisplaySettings2> display;
    ASSERT_EQ(doc.AutoDocument()->GetChannelDisplaySettings(0, display.Set()), KVD_S_OK);
    for (int channel : {0, added}) {
        uint32_t rgb = 0, shown = 1;
        doc.AutoDocument()->GetChannelColour(channel, &rgb);
        display->GetChannelTraceColour(channel, &shown);
        EXPECT_EQ(rgb, shown) << channel;
        EXPECT_NE(rgb, 0xFFFFFFu) << channel;
    }
    uint32_t first = 0, second = 0;
    doc.AutoDocument()->GetChannelColour(0, &first);
    doc.AutoDocument()->GetChannelColour(added, &second);
    EXPECT_EQ(first, 0x0000D5u);   // 213, 0, 0
    EXPECT_EQ(second, 0xFF4000u);  // 0, 64, 255
    doc.Close();
}

TEST(PreviewHost, ADocumentWithADeviceAnswersItsRecordingFace)
{
    Host::DataDocument doc(FlowRecording());
    KVD::COMPtr<IOrrelRecording> none(KVD::com_cast(doc.AutoDocument()));
    EXPECT_EQ(none, nullptr);
    auto manager = Host::Adopt(Host::SimulatedDeviceManager::Create(
        std::make_shared<Host::BreathingSource>(Host::SyntheticOptions{}, 1)));
    doc.Document().SetDeviceManager(manager.get());
    KVD::COMPtr<IOrrelRecording> recording(KVD::com_cast(doc.AutoDocument()));
    ASSERT_NE(recording, nullptr);
    AutoBool readOnly = kAutoTrue;
    int32_t count = 0;
    EXPECT_EQ(recording->IsReadOnly(0, &readOnly), KVD_S_OK);
    EXPECT_EQ(readOnly, kAutoFalse);
    EXPECT_EQ(recording->GetDeviceCount(0, &count), KVD_S_OK);
    EXPECT_EQ(count, 1);
    KVD::COMPtr<IKVDDeviceManager> given;
    EXPECT_EQ(recording->GetDeviceManager(given.Set()), KVD_S_OK);
    EXPECT_EQ(given.get(), static_cast<IKVDDeviceManager*>(manager.get()));
    doc.Close();
}

}  // namespace
