// The host's drawing services: pixel maps of the records at exact zooms, poly-line enumerators
// against a brute-force min/max over the samples, annotations as an event channel read from
// an EDF+ file, and the drag scale's grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "IEnumEventEx.h"
#include "IPolyLineEnumEx.h"
#include "IRecordDataPixMap.h"
#include "foundation/COMPtr.h"
#include "foundation/ConstEventIterBase.h"
#include "foundation/draw/TDC.h"
#include "graphics/Screen.h"
#include "host/data/DocumentData.h"
#include "host/data/EdfRecordingReader.h"
#include "host/data/EdfRecordingWriter.h"
#include "host/drawing/AnnotationEvents.h"
#include "host/drawing/DragScale.h"
#include "host/drawing/DrawingClasses.h"
#include "host/drawing/RecordPixMap.h"
#include "support/TempFolder.h"

namespace {

constexpr uint32_t kUnits = 0x40001000;

// One channel whose stored values are a sawtooth with a spike: (t × 37) mod 1000 − 500, and
// 3000 at tick 777; stored × 0.01 in its unit. Two records of 5000 and 1234 ticks at 1 kHz.
std::shared_ptr<Host::Recording> MakeRecording()
{
    auto rec = std::make_shared<Host::Recording>("test.csv", 1000.0,
                                                 std::vector<Host::ChannelFormat>{{"Signal", "V", 0.01, 0.0}});
    for (uint32_t ticks : {5000u, 1234u}) {
        Host::RecordBlock block;
        block.ticks = ticks;
        block.samples.resize(1);
        for (uint32_t t = 0; t < ticks; ++t)
            block.samples[0].push_back(int16_t(t == 777 ? 3000 : int(t * 37 % 1000) - 500));
        rec->AddRecord(std::move(block));
    }
    return rec;
}

struct Pair {
    int32_t x, low, high;
    bool operator==(const Pair& o) const { return x == o.x && low == o.low && high == o.high; }
};

// What every column must show, computed plainly: min and max of its ticks and of the last value
// of the column before (or the value interpolated at the column's start when it has no tick);
// a pair on one pixel reaches down to the next.
std::vector<Pair> BruteForce(const Host::Recording& rec, int record, int64_t num, int64_t den, int64_t from,
                             int64_t to, const DataScaling& s)
{
    const auto& stored = rec.Record(size_t(record)).samples[0];
    const int64_t ticks = int64_t(stored.size());
    auto value = [&](int64_t k) { return float(stored[size_t(k)] * 0.01); };
    auto first = [&](int64_t c) { return std::min(ticks, (c * num + den - 1) / den); };
    auto last = [&](int64_t c, float& lo, float& hi) {
        const int64_t a = first(c), b = first(c + 1);
        if (a >= ticks)
            return false;
        if (a < b) {
            lo = hi = value(a);
            for (int64_t k = a; k < b; ++k) {
                lo = std::min(lo, value(k));
                hi = std::max(hi, value(k));
            }
            return true;
        }
        const double at = double(c) * double(num) / double(den);
        const auto k = int64_t(std::floor(at));
        lo = hi = k + 1 < ticks ? float(value(k) + (at - double(k)) * (value(k + 1) - value(k))) : value(k);
        return true;
    };
    auto pixel = [&](float v) { return int32_t(std::lround((double(v) + s.offset) * s.scale)); };
    std::vector<Pair> pairs;
    for (int64_t c = from; c < to; ++c) {
        float lo = 0, hi = 0;
        if (!last(c, lo, hi))
            continue;
        float plo = 0, phi = 0;
        if (c > 0) {
            last(c - 1, plo, phi);
            const int64_t a = first(c - 1), b = first(c);
            const float end = a < b ? value(b - 1) : plo;
            lo = std::min(lo, end);
            hi = std::max(hi, end);
        }
        const int32_t a = pixel(lo), b = pixel(hi);
        pairs.push_back({int32_t(c - from), std::min(a, b), a == b ? a + 1 : std::max(a, b)});
    }
    return pairs;
}

class DrawingServices : public ::testing::Test {
protected:
    DrawingServices() : recording(MakeRecording()), data(Host::DocumentData::Create(recording)) { data->Release(); }
    ~DrawingServices() override { data->Close(); }

    KVD::COMPtr<IRecordDataPixMap> PixMap()
    {
        KVD::COMPtr<IRecordDataPixMap> map;
        EXPECT_EQ(data->CreatePixMap(0, map.Set()), KVD_S_OK);
        return map;
    }

    // Every pair the enumerator gives for columns [from, to), in calls of at most 256 points.
    std::vector<Pair> Enumerate(int record, int64_t num, int64_t den, int64_t from, int64_t to, const DataScaling& s)
    {
        const int64_t pair[2] = {num, den};
        KVD::COMPtr<IPolyLineEnumEx> lines;
        EXPECT_EQ(data->CreatePolyLineEnum(kUnits, 0, pair, 0x7FFFFFFFFFFFFFFF, from, record, &s, 0, lines.Set()),
                  KVD_S_OK);
        std::vector<Pair> pairs;
        PolyLinePoint points[kPolyLineMaxPoints];
        int64_t done = 0;
        while (done < to - from) {
            uint32_t produced = 0;
            int64_t consumed = 0;
            EXPECT_EQ(lines->Next(to - from - done, int32_t(done), kPolyLineMaxPoints, points, &produced, &consumed),
                      KVD_S_OK);
            EXPECT_EQ(produced % 2, 0u);
            for (uint32_t i = 0; i < produced; i += 2) {
                EXPECT_EQ(points[i].x, points[i + 1].x);
                pairs.push_back({points[i].x, std::min(points[i].y, points[i + 1].y),
                                 std::max(points[i].y, points[i + 1].y)});
            }
            if (consumed == 0)
                break;
            done += consumed;
        }
        return pairs;
    }

    std::shared_ptr<Host::Recording> recording;
    KVD::COMPtr<Host::DocumentData> data;
};

TEST_F(DrawingServices, PixMapLaysRecordsEndToEndAtExactZooms)
{
    const auto map = PixMap();
    struct Case {
        int64_t num, den;
        int64_t firstEnd, total;
    };
    // 5000 and 1234 ticks: ceil(5000 / t) + ceil(1234 / t) columns.
    for (const Case& c : {Case{10, 1, 500, 624}, Case{3, 1, 1667, 2079}, Case{1, 10, 50000, 62340},
                          Case{5000, 3, 3, 4}}) {
        ASSERT_TRUE(KVDSucceeded(map->SetTicksPerPixel(c.num, c.den)));
        int64_t first = -1, end = -1, total = -1;
        ASSERT_EQ(map->GetRecordPixels(0, &first, &end), KVD_S_OK);
        EXPECT_EQ(first, 0);
        EXPECT_EQ(end, c.firstEnd) << c.num << "/" << c.den;
        ASSERT_EQ(map->GetTotalPixels(&total), KVD_S_OK);
        EXPECT_EQ(total, c.total) << c.num << "/" << c.den;
        int64_t offset = -1;
        ASSERT_EQ(map->GetRecordStartOffset(1, &offset), KVD_S_OK);
        EXPECT_EQ(offset, c.firstEnd);
    }
}

TEST_F(DrawingServices, PixMapConvertsPixelsAndPositions)
{
    const auto map = PixMap();
    ASSERT_EQ(map->SetTicksPerPixel(3, 1), KVD_S_OK);
    KVDPosition position{};
    ASSERT_EQ(map->PixelToPosition(1667, &position), KVD_S_OK);
    EXPECT_EQ(position.record, 1);
    EXPECT_EQ(position.tick, 0u);
    ASSERT_EQ(map->PixelToPosition(1666, &position), KVD_S_OK);
    EXPECT_EQ(position.record, 0);
    EXPECT_EQ(position.tick, 4998u);
    EXPECT_EQ(map->PixelToPosition(2079, &position), KVD_S_FALSE);
    EXPECT_EQ(map->PixelToPosition(-1, &position), KVD_S_FALSE);

    int32_t record = -1;
    double tick = -1;
    ASSERT_EQ(map->ColumnToPosition(kPixMapStartColumn, 1667.5, &record, &tick), KVD_S_OK);
    EXPECT_EQ(record, 1);
    EXPECT_DOUBLE_EQ(tick, 1.5);
    // An end column at a record's last column belongs to that record.
    ASSERT_EQ(map->ColumnToPosition(kPixMapEndColumn, 1667.0, &record, &tick), KVD_S_OK);
    EXPECT_EQ(record, 0);
    EXPECT_DOUBLE_EQ(tick, 5001.0);
    double column = 0;
    ASSERT_EQ(map->PositionToColumn(kPixMapCurrentRecord, 1, 30.0, &column), KVD_S_OK);
    EXPECT_DOUBLE_EQ(column, 1677.0);

    double seconds = 0, perPixel = 0;
    ASSERT_EQ(map->GetRecordTiming(kPixMapColumnTime, 1, 1677, &seconds, &perPixel), KVD_S_OK);
    EXPECT_DOUBLE_EQ(perPixel, 0.003);
    EXPECT_DOUBLE_EQ(seconds, 0.03);
}

TEST_F(DrawingServices, PixMapLeavesAHeaderGapBeforeEachLaterRecordWhileHeadersShow)
{
    const auto map = PixMap();
    ASSERT_TRUE(KVDSucceeded(map->SetTicksPerPixel(10, 1)));
    map->AcknowledgeNeedsUpdate(0xFFFFFFFF);
    // A gap of 8 columns alone changes nothing until the display says it shows headers.
    ASSERT_EQ(map->SetLayoutParameter(kPixMapHeaderGap, 8), KVD_S_OK);
    int64_t first = -1, end = -1, total = -1;
    map->GetRecordPixels(1, &first, &end);
    EXPECT_EQ(first, 500);
    uint32_t bits = 1;
    map->GetNeedsUpdate(&bits);
    EXPECT_EQ(bits, 0u);
    ASSERT_EQ(map->SetLayoutParameter(kPixMapHeaderMode, 4), KVD_S_OK);
    map->GetNeedsUpdate(&bits);
    EXPECT_EQ(bits, 0xFF000000u);  // the display lays its columns out again

    // 5000 and 1234 ticks: [0, 500), the gap [500, 508), then [508, 632).
    ASSERT_EQ(map->GetRecordPixels(0, &first, &end), KVD_S_OK);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(end, 500);
    ASSERT_EQ(map->GetRecordPixels(1, &first, &end), KVD_S_OK);
    EXPECT_EQ(first, 508);
    EXPECT_EQ(end, 632);
    ASSERT_EQ(map->GetTotalPixels(&total), KVD_S_OK);
    EXPECT_EQ(total, 632);
    int64_t offset = -1;
    map->GetRecordStartOffset(1, &offset);
    EXPECT_EQ(offset, 508);

    // The gap's columns belong to the record after it, at its start; the ticks before it.
    KVDPosition position{};
    ASSERT_EQ(map->PixelToPosition(500, &position), KVD_S_OK);
    EXPECT_EQ(position.record, 1);
    EXPECT_EQ(position.tick, 0u);
    ASSERT_EQ(map->PixelToPosition(499, &position), KVD_S_OK);
    EXPECT_EQ(position.record, 0);
    EXPECT_EQ(position.tick, 4990u);
    ASSERT_EQ(map->PixelToPosition(510, &position), KVD_S_OK);
    EXPECT_EQ(position.tick, 20u);
    int32_t record = -1;
    double tick = 0;
    ASSERT_EQ(map->ColumnToPosition(kPixMapStartColumn, 504.0, &record, &tick), KVD_S_OK);
    EXPECT_EQ(record, 1);
    EXPECT_DOUBLE_EQ(tick, -40.0);
    double column = 0, seconds = 0, perPixel = 0;
    ASSERT_EQ(map->PositionToColumn(kPixMapCurrentRecord, 1, 30.0, &column), KVD_S_OK);
    EXPECT_DOUBLE_EQ(column, 511.0);
    ASSERT_EQ(map->GetRecordTiming(kPixMapColumnTime, 1, 518, &seconds, &perPixel), KVD_S_OK);
    EXPECT_DOUBLE_EQ(seconds, 0.1);

    // The same values again lay nothing out; headers off close the gap.
    map->AcknowledgeNeedsUpdate(0xFFFFFFFF);
    map->SetLayoutParameter(kPixMapHeaderGap, 8);
    map->SetLayoutParameter(kPixMapHeaderMode, 4);
    map->GetNeedsUpdate(&bits);
    EXPECT_EQ(bits, 0u);
    map->SetLayoutParameter(kPixMapHeaderMode, 3);
    map->GetTotalPixels(&total);
    EXPECT_EQ(total, 624);
}

TEST_F(DrawingServices, PixMapKeepsNeedsUpdateBitsUntilAcknowledged)
{
    const auto map = PixMap();
    uint32_t bits = 1;
    ASSERT_EQ(map->GetNeedsUpdate(&bits), KVD_S_OK);
    EXPECT_EQ(bits, 0u);
    map->SetTicksPerPixel(7, 2);
    map->GetNeedsUpdate(&bits);
    EXPECT_EQ(bits, 0xFF000000u);
    map->AcknowledgeNeedsUpdate(0x0F000000);
    map->GetNeedsUpdate(&bits);
    EXPECT_EQ(bits, 0xF0000000u);
    EXPECT_EQ(map->SetTicksPerPixel(0, 1), KVD_E_BADSTATE);
}

TEST_F(DrawingServices, PolyLinesMatchBruteForceMinMax)
{
    const DataScaling s{-0.5, -10.0};
    struct Case {
        int record;
        int64_t num, den, from, to;
    };
    // Whole columns, fractional zooms, zoomed in past one tick per pixel, a start mid-record
    // (the column before still joins), and columns past the record's end.
    for (const Case& c : {Case{0, 10, 1, 0, 500}, Case{0, 7, 3, 100, 900}, Case{0, 1, 4, 3000, 3700},
                          Case{0, 1800, 1, 0, 3}, Case{1, 3, 1, 200, 600}, Case{0, 25, 1, 150, 250}}) {
        const auto expected = BruteForce(*recording, c.record, c.num, c.den, c.from, c.to, s);
        const auto got = Enumerate(c.record, c.num, c.den, c.from, c.to, s);
        ASSERT_EQ(got.size(), expected.size()) << c.num << "/" << c.den << " from " << c.from;
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_TRUE(got[i] == expected[i]) << c.num << "/" << c.den << " from " << c.from << " pair " << i << ": "
                                               << got[i].x << " " << got[i].low << " " << got[i].high << " vs "
                                               << expected[i].x << " " << expected[i].low << " " << expected[i].high;
    }
}

TEST_F(DrawingServices, PolyLineSpikeReachesItsColumnAndCallsFillAtMost256Points)
{
    const DataScaling s{1.0, 0.0};
    const int64_t pair[2] = {10, 1};
    KVD::COMPtr<IPolyLineEnumEx> lines;
    ASSERT_EQ(data->CreatePolyLineEnum(kUnits, 0, pair, 0x7FFFFFFFFFFFFFFF, 0, 0, &s, 0, lines.Set()), KVD_S_OK);
    PolyLinePoint points[kPolyLineMaxPoints];
    uint32_t produced = 0;
    int64_t consumed = 0;
    ASSERT_EQ(lines->Next(500, 0, kPolyLineMaxPoints, points, &produced, &consumed), KVD_S_OK);
    EXPECT_EQ(produced, 256u);
    EXPECT_EQ(consumed, 128);
    ASSERT_EQ(lines->Skip(77 - 128, nullptr), KVD_S_OK);  // back to column 77, which holds tick 777
    ASSERT_EQ(lines->Next(1, 5, kPolyLineMaxPoints, points, &produced, &consumed), KVD_S_OK);
    ASSERT_EQ(produced, 2u);
    EXPECT_EQ(points[1].x, 5);
    EXPECT_EQ(std::max(points[0].y, points[1].y), 30);
    int64_t latest = 0;
    lines->GetLatestPosition(&latest);
    EXPECT_EQ(latest, 500);
}

TEST_F(DrawingServices, PolyLineOfAMissingChannelIsRefused)
{
    const DataScaling s{1.0, 0.0};
    const int64_t pair[2] = {10, 1};
    KVD::COMPtr<IPolyLineEnumEx> lines;
    EXPECT_EQ(data->CreatePolyLineEnum(kUnits, 5, pair, 0, 0, 0, &s, 0, lines.Set()), KVD_E_BADSTATE);
    EXPECT_EQ(lines, nullptr);
    EXPECT_EQ(data->CreatePolyLineEnum(kUnits, 0, nullptr, 0, 0, 0, &s, 0, lines.Set()), KVD_E_POINTER);
}

TEST(Annotations, EdfPlusAnnotationsBecomeTheEventChannel)
{
    TestSupport::TempFolder folder;
    const std::string path = (folder.Path() / "notes.edf").string();
    Host::Recording rec(path, 100.0, {{"Flow", "L/s", 0.001, 0.0}});
    Host::RecordBlock block;
    block.ticks = 500;
    block.samples.assign(1, std::vector<int16_t>(500, 0));
    rec.AddRecord(std::move(block));
    rec.AddAnnotation({1.25, "cough"});
    rec.AddAnnotation({0.5, "start"});
    rec.AddAnnotation({3.0, "cough"});
    Host::WriteEdfRecording(path, rec);

    auto read = std::make_shared<Host::Recording>(Host::ReadEdfRecording(path));
    ASSERT_EQ(read->Annotations().size(), 3u);
    KVD::COMPtr<Host::DocumentData> data(Host::DocumentData::Create(read));
    data->Release();
    KVD::COMPtr<IEnumEventEx> events;
    ASSERT_EQ(data->GetEventStream(TChannelId{Host::kAnnotationChannel, 0x80000000}, 0x40000000, KVDPosition{100, 0},
                                   0x7FFFFFFF, events.Set()),
              KVD_S_OK);
    TCAFId type = 0;
    events->GetTypeofEvents(&type);
    EXPECT_EQ(type, Host::AnnotationDrawClassTypeId());
    KVDEventBase buffer[8];
    uint32_t count = 0;
    int32_t position = 0;
    events->Next(sizeof buffer, 0x7FFFFFFF, reinterpret_cast<uint8_t*>(buffer), &count, &position);
    // From tick 100 on, in time order: the two coughs share number 0 (the first text seen).
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(buffer[0].tick, 125);
    EXPECT_EQ(buffer[0].value, 0.0);
    EXPECT_EQ(buffer[1].tick, 300);
    EXPECT_EQ(buffer[1].value, 0.0);
    data->Close();

    KVD::COMPtr<IEnumEventEx> none;
    EXPECT_EQ(data->GetEventStream(TChannelId{0, 0}, 0x40000000, KVDPosition{0, 0}, 0x7FFFFFFF, none.Set()),
              KVD_S_FALSE);
    EXPECT_EQ(none, nullptr);
}

TEST(DragScaleGrid, LinesFallOnOneTwoFiveStepsOfTheRange)
{
    const auto scale = KVD::COMPtr<Host::DragScale>::Take(Host::DragScale::Create(0, 1, 0));
    scale->SetPosition(0, 0, 40, 200);
    struct Case {
        double top, bottom;
        double step, start, spacing;
    };
    // 200 pixels: lines at least 30 pixels apart.
    for (const Case& c : {Case{1.0, -1.0, 0.5, 0.0, 50.0}, Case{10.0, 0.0, 2.0, 0.0, 40.0},
                          Case{3.3, -0.7, 1.0, 35.0, 50.0}}) {
        ASSERT_EQ(scale->SetRange(c.top, c.bottom), KVD_S_OK);
        EXPECT_DOUBLE_EQ(scale->GridStep(), c.step);
        double start = -1, spacing = -1;
        ASSERT_EQ(scale->GetGridStartAndSpacing(&start, &spacing), KVD_S_OK);
        EXPECT_NEAR(start, c.start, 1e-9);
        EXPECT_NEAR(spacing, c.spacing, 1e-9);
    }
    EXPECT_EQ(scale->SetRange(1.0, 1.0), KVD_E_BADSTATE);
    // Top-down pixels: the top of the range at 0, the bottom at the height.
    scale->SetRange(4.0, -4.0);
    const DataScaling trace = scale->TracePixelScaling();
    EXPECT_DOUBLE_EQ((4.0 + trace.offset) * trace.scale, 0.0);
    EXPECT_DOUBLE_EQ((-4.0 + trace.offset) * trace.scale, 200.0);
}

}  // namespace

#include "IDisplaySettings.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "FrameworkIds.h"
#include "host/drawing/DisplaySettings.h"

namespace {

// Answers auto-scale requests with a range and counts scaling notices.
class ScaleObserver final : public SimpleUnknownImp1<IDragScaleObserver, 0> {
public:
    HRESULT OnBeginDrag(long, DragScaleDragType) override { return KVD_S_OK; }
    HRESULT OnEndDrag(long, DragScaleDragType) override { return KVD_S_OK; }
    HRESULT OnScalingChanged(long side, unsigned int, const DataScaling* scaling) override
    {
        lastSide = side;
        last = *scaling;
        ++notices;
        return KVD_S_OK;
    }
    HRESULT OnAutoScaleCommand(long) override { return KVD_S_OK; }
    HRESULT OnAutoScaleRequest(long, ChannelYDataRange* range, AutoBool*) override
    {
        if (!answers)
            return KVD_S_FALSE;
        *range = ChannelYDataRange{5.0, 1.0};
        return KVD_S_OK;
    }

    bool answers = true;
    int notices = 0;
    long lastSide = 0;
    DataScaling last{0, 0};
};

uint32_t RefsOf(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

// What the drawing services make or copy comes with the caller's reference alone.
TEST(DrawingObjects, AreMadeAndCopiedWithOneReferenceForTheCaller)
{
    const auto scale = KVD::COMPtr<Host::DragScale>::Take(Host::DragScale::Create(0, 1, 0));
    EXPECT_EQ(RefsOf(static_cast<IScale*>(scale.get())), 1u);
    KVD::COMPtr<IScale> copy;
    ASSERT_EQ(scale->CloneScale(copy.Set()), KVD_S_OK);
    EXPECT_NE(copy.get(), static_cast<IScale*>(scale.get()));
    EXPECT_EQ(RefsOf(copy), 1u);

    const auto settings = KVD::COMPtr<Host::DisplaySettings>::Take(Host::DisplaySettings::CreateForChannel(1, 0xFF));
    EXPECT_EQ(RefsOf(static_cast<IChannelDisplaySettings2*>(settings.get())), 1u);

    const auto stream = Host::AnnotationStream({{10, 0.0f, 0.0}, {20, 0.5f, 1.0}}, 15, 100, 0x10015);
    EXPECT_EQ(RefsOf(stream), 1u);
    KVD::COMPtr<IEnumEventEx> twin;
    ASSERT_EQ(stream->Clone(twin.Set()), KVD_S_OK);
    EXPECT_EQ(RefsOf(twin), 1u);
    EXPECT_EQ(RefsOf(stream), 1u);
}

// The drawing class objects answer the class-object face as their identity, their own face,
// and nothing of each other's.
TEST(DrawingClasses, EachAnswersItsOwnFaceAndOneIdentity)
{
    Host::DragScaleClass scales(0x00010009);
    Host::AnnotationDrawClass annotations(0x00010015);
    void* out = nullptr;
    ASSERT_EQ(static_cast<IDragScaleClassObject*>(&scales)->QueryInterface(IID_IUnknown, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<ICAFClassObject*>(&scales));
    ASSERT_EQ(scales.QueryInterface(IID_IDragScaleClassObject, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<IDragScaleClassObject*>(&scales));
    EXPECT_EQ(scales.QueryInterface(IID_IPODEventDrawClass, &out), KVD_E_NOINTERFACE);

    ASSERT_EQ(static_cast<IPODEventDrawClass*>(&annotations)->QueryInterface(IID_IUnknown, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<ICAFClassObject*>(&annotations));
    ASSERT_EQ(annotations.QueryInterface(IID_IPODEventDrawClass, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<IPODEventDrawClass*>(&annotations));
    EXPECT_EQ(annotations.QueryInterface(IID_IDragScaleClassObject, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    TCAFId type = 0;
    ASSERT_EQ(annotations.GetTypeId(&type), KVD_S_OK);
    EXPECT_EQ(type, 0x00010015u);
}

TEST(DragScales, TheClassObjectOfTypeNineMakesScalesThatTellTheirObservers)
{
    using DragScaleClass = ObjectFactoryClassObjectAccessor<IDragScaleClassObject, TypeIdClass<&GUID_OrrelObjects, 9u>>;
    IDragScaleClassObject* factory = DragScaleClass::Get();
    ASSERT_NE(factory, nullptr);
    KVD::COMPtr<IScale> scale;
    ASSERT_EQ(factory->CreateScale(0, 1, 0, scale.Set()), KVD_S_OK);
    KVD::COMPtr<IDragScale> drag(KVD::com_cast(scale.get()));
    ASSERT_NE(drag, nullptr);
    KVD::COMPtr<ScaleObserver> observer(new ScaleObserver);
    drag->Advise(observer, 2);
    scale->SetPosition(0, 0, 30, 100);
    EXPECT_EQ(observer->notices, 1);  // the height came
    ASSERT_EQ(drag->AutoScale(), KVD_S_OK);
    double top = 0, bottom = 0;
    scale->GetRange(&top, &bottom);
    EXPECT_EQ(top, 5.0);
    EXPECT_EQ(bottom, 1.0);
    EXPECT_EQ(observer->lastSide, 2);
    // Top-down pixels of the new range: 5 at row 0, 1 at row 100.
    EXPECT_DOUBLE_EQ((5.0 + observer->last.offset) * observer->last.scale, 0.0);
    EXPECT_DOUBLE_EQ((1.0 + observer->last.offset) * observer->last.scale, 100.0);
    // Without an answer the default range holds.
    observer->answers = false;
    scale->SetDefaultRange(2.0, -2.0);
    drag->AutoScale();
    scale->GetRange(&top, &bottom);
    EXPECT_EQ(top, 2.0);
    drag->Unadvise(observer);
    const int notices = observer->notices;
    scale->SetRange(3.0, 0.0);
    EXPECT_EQ(observer->notices, notices);

    scale->SetUnitsText(L"L/s");
    KVD::String units;
    scale->GetUnitsText(KVD::String::Setter(units));
    EXPECT_EQ(units, KVD::String(L"L/s"));
    drag->SetTraceIndicator(kAutoTrue, 0x0000FF, 7);
    KVD::COMPtr<IScale> copy;
    ASSERT_EQ(drag->CloneScale(copy.Set()), KVD_S_OK);
    copy->GetRange(&top, &bottom);
    EXPECT_EQ(top, 3.0);
    // Measured on the screen: the unit text, wider than the labels 0 to 3, and a gap each side.
    auto screen = CreateTDC(&Gfx::MainScreenContext(), false);
    const int unitsWidth = screen->GetTextExtent(L"L/s", -1).cx;
    ASSERT_GT(unitsWidth, screen->GetTextExtent(L"3", -1).cx);
    int32_t width = 0;
    EXPECT_EQ(scale->GetWidth(kScaleLabelWidth, nullptr, &width), KVD_S_OK);
    EXPECT_EQ(width, unitsWidth + 2 * 4);
    // Without the unit text, the widest grid label: 0.5 .. -2.5 over 100 pixels has a line
    // every 1, at -2, -1 and 0 (the ends of the range are no lines and get no label).
    scale->SetUnitsText(L"");
    scale->SetRange(0.5, -2.5);
    width = 0;
    scale->GetWidth(kScaleLabelWidth, nullptr, &width);
    int widest = 0;
    for (const wchar_t* label : {L"-2", L"-1", L"0"})
        widest = std::max(widest, screen->GetTextExtent(label, -1).cx);
    EXPECT_EQ(width, widest + 8);
    EXPECT_LT(width, screen->GetTextExtent(L"-2.5", -1).cx + 8);
    EXPECT_EQ(scale->GetWidth(9, nullptr, &width), KVD_E_BADSTATE);
}

TEST(DisplaySettingsOfTheHost, ChannelsDisplayAndLibraryColours)
{
    auto settings = KVD::COMPtr<Host::DisplaySettings>::Take(Host::DisplaySettings::Create());
    settings->SetChannel(2, 0x123456, 1, 3);
    settings->SetBackground(0x000000);
    settings->SetGrid(0x404040, false, 1);
    uint32_t rgb = 0, type = 9;
    int32_t width = 0;
    settings->GetChannelTraceColour(2, &rgb);
    EXPECT_EQ(rgb, 0x123456u);
    settings->GetPolyLineType(2, &type);
    EXPECT_EQ(type, 1u);
    settings->GetPenWidth(5, &width);
    EXPECT_EQ(width, 1);
    settings->GetChannelTraceColour(1, &rgb);  // the library's channel colour 1
    EXPECT_EQ(rgb, 0xFF4000u);
    KVD::COMPtr<IKVDOrrelDisplaySettings> display(KVD::com_cast(static_cast<IChannelDisplaySettings2*>(settings.get())));
    ASSERT_NE(display, nullptr);
    display->GetColour(kDisplayColourBackground, 0, &rgb, 0);
    EXPECT_EQ(rgb, 0u);
    display->GetColour(kDisplayColourGraticule, 0, &rgb, 0);
    EXPECT_EQ(rgb, 0x404040u);
    EXPECT_EQ(display->GetColour(7, 0, &rgb, 0), KVD_E_BADSTATE);
    AutoBool show = kAutoTrue;
    display->GetShowGrid(&show);
    EXPECT_EQ(show, kAutoFalse);
    KVD::COMPtr<IColourLibrary> library(KVD::com_cast(static_cast<IChannelDisplaySettings2*>(settings.get())));
    ASSERT_NE(library, nullptr);
    library->GetLibraryColour(kColourGroupGraticule, 1, &rgb);
    EXPECT_EQ(rgb, 0x8A8A8Au);
}

}  // namespace

#include "graphics/RecordingContext.h"

namespace {

TEST(DragScales, LabelsAtEveryGridLineRightAlignedBesideThePaneWithTheUnitTextOnTop)
{
    const auto scale = KVD::COMPtr<Host::DragScale>::Take(Host::DragScale::Create(0, 1, 0));
    scale->SetPosition(0, 0, 30, 100);
    scale->SetRange(1, -1);  // lines every 1 (0.6 would crowd): at 1, 0 and -1
    Gfx::RecordingContext context({40, 100});
    auto dc = CreateTDC(&context, false);
    context.ClearCalls();
    ASSERT_EQ(scale->Draw(dc.get()), KVD_S_OK);
    std::vector<std::string> texts;
    for (const std::string& call : context.Calls())
        if (call.rfind("DrawText", 0) == 0)
            texts.push_back(call.substr(call.find('"'), call.find('"', call.find('"') + 1) - call.find('"') + 1));
    EXPECT_EQ(texts, (std::vector<std::string>{"\"-1\"", "\"0\"", "\"1\""}));  // from the bottom up
    // Centred on their lines (10 high), the ones at the ends kept inside the band.
    std::vector<std::string> tops;
    for (const std::string& call : context.Calls())
        if (call.rfind("DrawText", 0) == 0)
            tops.push_back(call.substr(call.find(", ") + 2, call.find(", \"") - call.find(", ") - 2));
    EXPECT_EQ(tops, (std::vector<std::string>{"90", "45", "0"}));
    // With a unit text the top label would run into it and is left out.
    scale->SetUnitsText(L"V");
    context.ClearCalls();
    scale->Draw(dc.get());
    texts.clear();
    for (const std::string& call : context.Calls())
        if (call.rfind("DrawText", 0) == 0)
            texts.push_back(call.substr(call.find('"'), call.find('"', call.find('"') + 1) - call.find('"') + 1));
    EXPECT_EQ(texts, (std::vector<std::string>{"\"-1\"", "\"0\"", "\"V\""}));
    EXPECT_EQ(scale->Draw(nullptr), KVD_E_POINTER);

    // A right scale's labels start beside the pane, left of them its ticks.
    const auto right = KVD::COMPtr<Host::DragScale>::Take(Host::DragScale::Create(0, 2, 2));
    right->SetPosition(100, 0, 130, 100);
    right->SetRange(1, -1);
    context.ClearCalls();
    right->Draw(dc.get());
    std::vector<std::string> lefts, ticks;
    for (const std::string& call : context.Calls()) {
        if (call.rfind("DrawText", 0) == 0)
            lefts.push_back(call.substr(9, call.find(", ") - 9));
        if (call.rfind("MoveTo", 0) == 0)
            ticks.push_back(call);
    }
    EXPECT_EQ(lefts, (std::vector<std::string>{"104", "104", "104"}));
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks[0], "MoveTo(103, 100)");
}

// The label texts a scale draws, from the bottom up.
std::vector<std::string> LabelTexts(Host::DragScale& scale)
{
    Gfx::RecordingContext context({80, 200});
    auto dc = CreateTDC(&context, false);
    context.ClearCalls();
    scale.Draw(dc.get());
    std::vector<std::string> texts;
    for (const std::string& call : context.Calls())
        if (call.rfind("DrawText", 0) == 0) {
            const size_t open = call.find('"');
            texts.push_back(call.substr(open + 1, call.find('"', open + 1) - open - 1));
        }
    return texts;
}

TEST(DragScales, LabelsArePlainDigitsWithTheDecimalsTheirStepNeeds)
{
    const auto scale = KVD::COMPtr<Host::DragScale>::Take(Host::DragScale::Create(0, 1, 0));
    scale->SetPosition(0, 0, 80, 200);
    // 200 pixels, lines 30 or more apart: a flow of 3 to -7 L/s in micro units steps by 2000000.
    scale->SetRange(3e6, -7e6);
    EXPECT_EQ(LabelTexts(*scale),
              (std::vector<std::string>{"-6000000", "-4000000", "-2000000", "0", "2000000"}));
    scale->SetRange(2.6, -0.4);
    EXPECT_EQ(LabelTexts(*scale), (std::vector<std::string>{"0", "0.5", "1", "1.5", "2", "2.5"}));
    scale->SetRange(3e-6, -7e-6);
    EXPECT_EQ(LabelTexts(*scale),
              (std::vector<std::string>{"-0.000006", "-0.000004", "-0.000002", "0", "0.000002"}));
    // Sums of steps that miss zero by a rounding error still read 0.
    scale->SetRange(0.35, -0.25);
    EXPECT_EQ(LabelTexts(*scale), (std::vector<std::string>{"-0.2", "-0.1", "0", "0.1", "0.2", "0.3"}));
}

}  // namespace
