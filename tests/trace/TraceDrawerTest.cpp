// The trace drawer over the host's poly-line enumerator: strokes in batches of 128 segments, a
// range starting before the record, continuing a kept enumerator, scope paths through a test
// double of the scope pixel map, display settings, cloning and units mapped by a unit mapper.
#include <gtest/gtest.h>

#include <memory>

#include "IDisplaySettings.h"
#include "TraceFixture.h"
#include "support/ForwardingPixMap.h"
#include "trace/CustomUnitsPolyLineTraceDrawer.h"
#include "trace/PolyLineTraceDrawer.h"

using namespace OrrelDraw;

namespace {

// Stroked batches: the number of segments (MoveTo calls) before each StrokePath.
std::vector<int> Batches(const Gfx::RecordingContext& context)
{
    std::vector<int> batches;
    int moves = 0;
    for (const auto& call : context.Calls()) {
        if (call.rfind("MoveTo", 0) == 0)
            ++moves;
        if (call == "StrokePath()") {
            batches.push_back(moves);
            moves = 0;
        }
    }
    return batches;
}

class TraceDrawers : public ::testing::Test {
protected:
    TraceDrawers() : data(TraceTest::MakeRecording({5000, 3000})) {}

    KVD::COMPtr<PolyLineTraceDrawer> MakeTrace(int channel = 0, long layer = 0x201)
    {
        KVD::COMPtr<PolyLineTraceDrawer> trace(
            new PolyLineTraceDrawer(0x1000, TChannelId{channel, TraceTest::kUnits}, 1, nullptr, kNoChannel, 0,
                                    int(layer), 1));
        pane.AddPane().AddRecordDrawer(0, trace, 255);
        pane.SetRecordData(data.data, 10, 1);
        pane.AttachDrawers(0);
        pane.Layout(600, 300, 20);
        pane.SetRange(0, 1.0, -1.0);
        return trace;
    }

    TraceTest::TraceData data;
    TestSupport::TracePane pane;
    TraceTest::Recorded rec{600, 300};
};

TEST_F(TraceDrawers, StrokesColumnsIn128SegmentBatchesUntilABatchComesBackShort)
{
    auto trace = MakeTrace();
    const TRect clip(0, 0, 600, 300);
    trace->DrawInRecord(*rec.dc, 0, 300, TPixPosition{0, 0}, 0, &clip, 0, nullptr, nullptr);
    EXPECT_EQ(Batches(rec.context), (std::vector<int>{128, 128, 44}));
    EXPECT_EQ(trace->GetPixelsDrawn(), 300);
    EXPECT_FALSE(trace->HasEnumerator());  // not online: let go after the draw
}

TEST_F(TraceDrawers, ARangeStartingBeforeTheRecordDrawsFromItsStartWithTheClipMoved)
{
    auto trace = MakeTrace();
    const TRect clip(0, 0, 600, 300);
    trace->DrawInRecord(*rec.dc, 90, 150, TPixPosition{-10, 0}, 5, &clip, 0, nullptr, nullptr);
    const auto clips = rec.Matching("ClipToRect");
    ASSERT_FALSE(clips.empty());
    EXPECT_EQ(clips.back(), "ClipToRect(15, 0, 585, 300)");  // x, y, width, height
    EXPECT_EQ(Batches(rec.context), (std::vector<int>{50}));
    // The first segment stands at x + 10.
    EXPECT_EQ(rec.Matching("MoveTo").front().substr(0, 10), "MoveTo(15,");
    EXPECT_EQ(trace->GetPixelsDrawn(), 15 + 50);

    rec.context.ClearCalls();
    trace->DrawInRecord(*rec.dc, 90, 100, TPixPosition{-10, 0}, 5, &clip, 0, nullptr, nullptr);
    EXPECT_TRUE(rec.Matching("StrokePath").empty());
}

TEST_F(TraceDrawers, OnlineDrawsKeepTheEnumeratorAndContinueOneColumnBehindWithoutSkipping)
{
    auto trace = MakeTrace();
    const TRect clip(0, 0, 600, 300);
    trace->DrawInRecord(*rec.dc, 0, 100, TPixPosition{0, 0}, 0, &clip, DrawFlag::kOnline, nullptr, nullptr);
    ASSERT_TRUE(trace->HasEnumerator());
    long long latest = 0;
    EXPECT_EQ(trace->Update(0, 0, &latest), KVD_S_OK);
    EXPECT_EQ(latest, 500);  // the record's columns at 10 ticks per pixel
    // The enumerator stands at column 100: a draw from 99 is one column behind.
    rec.context.ClearCalls();
    trace->DrawInRecord(*rec.dc, 99, 150, TPixPosition{99, 0}, 99, &clip, DrawFlag::kOnline, nullptr, nullptr);
    EXPECT_EQ(Batches(rec.context), (std::vector<int>{50}));
    EXPECT_EQ(rec.Matching("MoveTo").front().substr(0, 11), "MoveTo(100,");
    // A fresh start drops it.
    trace->DrawInRecord(*rec.dc, 0, 10, TPixPosition{0, 0}, 0, &clip, DrawFlag::kFreshStart, nullptr, nullptr);
    EXPECT_FALSE(trace->HasEnumerator());
    EXPECT_EQ(trace->Update(0, 0, &latest), KVD_S_FALSE);
}

TEST_F(TraceDrawers, ForeignScaleIdsAndUnnumberedChannelsAreRefused)
{
    auto trace = MakeTrace();
    const DataScaling s{2.0, 0.0};
    EXPECT_EQ(trace->OnScalingChanged(2, 0, &s, nullptr), KVD_S_FALSE);
    EXPECT_EQ(trace->OnScalingChanged(1, 0, &s, nullptr), KVD_S_OK);
    EXPECT_EQ(trace->GetScaling().scale, 2.0);
    IAutoKVDString* name = nullptr;
    EXPECT_EQ(trace->GetUnitsName(2, 1, &name, nullptr), KVD_S_FALSE);
    EXPECT_EQ(name, nullptr);
    KVD::String units;
    AutoBool has = kAutoFalse;
    ASSERT_EQ(trace->GetUnitsName(1, 1, KVD::String::Setter(units), &has), KVD_S_OK);
    EXPECT_EQ(units, KVD::String(L"V"));
    EXPECT_EQ(has, kAutoTrue);
    long id = 0;
    trace->GetScaleId(&id);
    EXPECT_EQ(id, 1);
    unsigned flags = 0;
    int left = 0, right = 0;
    trace->GetInfo(0, &flags, &left, &right, nullptr);
    EXPECT_EQ(flags, 0x60000000u);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(right, 0);
}

TEST_F(TraceDrawers, DefaultColourComesFromThePaletteAndDisplaySettingsReplaceIt)
{
    auto trace = MakeTrace(1);
    EXPECT_EQ(RgbFromColour(trace->GetColour()), 0xFF4000u);

    // Settings for channel 1: colour, line type 1, pen width 3.
    struct Settings final : IChannelDisplaySettings2 {
        uint32_t AddRef() override { return 1; }
        uint32_t Release() override { return 1; }
        HRESULT QueryInterface(const _IID&, void** out) override { *out = nullptr; return KVD_E_NOINTERFACE; }
        HRESULT GetTraceColour(uint32_t*) const override { return KVD_E_NOTIMPL; }
        HRESULT GetChannelTraceColour(int32_t, uint32_t* rgb) const override { *rgb = 0x00FF00; return KVD_S_OK; }
        HRESULT GetPolyLineType(int32_t, uint32_t* type) const override { *type = 1; return KVD_S_OK; }
        HRESULT GetPenWidth(int32_t, int32_t* width) const override { *width = 3; return KVD_S_OK; }
        HRESULT GetDisplayValue(int32_t, uint32_t*) const override { return KVD_E_NOTIMPL; }
    } settings;
    trace->OnDisplayInfoChanged(&settings, nullptr, 5);  // another channel: unchanged
    EXPECT_EQ(trace->GetPenWidth(), 1);
    trace->OnDisplayInfoChanged(&settings, nullptr, -1);
    EXPECT_EQ(RgbFromColour(trace->GetColour()), 0x00FF00u);
    EXPECT_EQ(trace->GetPolyLineType(), 1u);
    EXPECT_EQ(trace->GetPenWidth(), 3);
    // Pen width counts only when drawing in high resolution.
    const TRect clip(0, 0, 600, 300);
    trace->DrawInRecord(*rec.dc, 0, 10, TPixPosition{0, 0}, 0, &clip, 0, nullptr, nullptr);
    EXPECT_EQ(rec.Matching("SetLineWidth").front(), "SetLineWidth(1)");
    pane.mNonInteractive = true;
    pane.mPixelRatio = 2.0;
    rec.context.ClearCalls();
    trace->DrawInRecord(*rec.dc, 0, 10, TPixPosition{0, 0}, 0, &clip, 0, nullptr, nullptr);
    EXPECT_EQ(rec.Matching("SetLineWidth").front(), "SetLineWidth(6)");
}

TEST_F(TraceDrawers, CloneCopiesHowItDrawsButNoEnumeratorAndRefusesANullOut)
{
    auto trace = MakeTrace();
    const DataScaling s{2.0, 1.0};
    trace->OnScalingChanged(1, 0, &s, nullptr);
    EXPECT_EQ(trace->Clone(0, nullptr), KVD_E_NULLOUT);
    KVD::COMPtr<IOrrelRecordDrawer> copy;
    ASSERT_EQ(trace->Clone(0, copy.Set()), KVD_S_OK);
    auto* twin = static_cast<PolyLineTraceDrawer*>(copy.get());
    EXPECT_EQ(twin->GetScaling().scale, 1.0);
    EXPECT_EQ(RgbFromColour(twin->GetColour()), RgbFromColour(trace->GetColour()));
    EXPECT_EQ(twin->GetPixMap(), nullptr);
    long layer = 0;
    twin->GetLayer(&layer);
    EXPECT_EQ(layer, 0x201);
}

// A scope pixel map over the record data's own map: records drawn as background or overlay.
class ScopeMap final : public TestSupport::ForwardingPixMap<SimpleUnknownImp1<IRecordDataPixMap, 0>> {
public:
    explicit ScopeMap(IRecordDataPixMap* inner) : ForwardingPixMap(inner), mScope(this) {}

    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        if (out != nullptr && iid == IID_IKVDScopeDataPixMap) {
            *out = static_cast<IKVDScopeDataPixMap*>(&mScope);
            AddRef();
            return KVD_S_OK;
        }
        return SimpleUnknownImp1::QueryInterface(iid, out);
    }

    uint32_t traceFlags = 0;
    int32_t validFirst = -1;

private:
    struct Scope final : IKVDScopeDataPixMap {
        explicit Scope(ScopeMap* owner) : mOwner(owner) {}
        uint32_t AddRef() override { return mOwner->AddRef(); }
        uint32_t Release() override { return mOwner->Release(); }
        HRESULT QueryInterface(const _IID& iid, void** out) override { return mOwner->QueryInterface(iid, out); }
        HRESULT GetTraceDrawFlags(int32_t, uint32_t* flags) override
        {
            *flags = mOwner->traceFlags;
            return KVD_S_OK;
        }
        HRESULT GetValidRange(int32_t, int32_t* first, int32_t* last) override
        {
            *first = mOwner->validFirst;
            *last = mOwner->validFirst;
            return KVD_S_OK;
        }
        HRESULT GetRecordTimeOffset(int32_t, int32_t* whole, float* fraction, double* divisor) override
        {
            *whole = 0;
            *fraction = 0;
            *divisor = 1;
            return KVD_S_OK;
        }
        HRESULT GetColumnRange(int32_t, int64_t, int64_t end, int64_t* endColumn, double* position) override
        {
            *endColumn = end;
            *position = -1.0;  // the column before the range: nothing to skip
            return KVD_S_OK;
        }
        ScopeMap* mOwner;
    };
    Scope mScope;
};

TEST_F(TraceDrawers, ScopeOverlaysAreNotDrawnAndBackgroundSweepsAreBlack)
{
    auto trace = MakeTrace();
    KVD::COMPtr<ScopeMap> scope(new ScopeMap(pane.GetRecordPixMap()));
    trace->SetRecordDataPixMap(0, scope);
    const TRect clip(0, 0, 600, 300);
    scope->traceFlags = 3;
    trace->DrawInRecord(*rec.dc, 0, 50, TPixPosition{0, 0}, 0, &clip, 0, nullptr, nullptr);
    EXPECT_TRUE(rec.Matching("StrokePath").empty());
    scope->traceFlags = 2;
    trace->DrawInRecord(*rec.dc, 0, 50, TPixPosition{0, 0}, 0, &clip, 0, nullptr, nullptr);
    EXPECT_EQ(Batches(rec.context), (std::vector<int>{50}));
    EXPECT_EQ(rec.Matching("SetStrokeColor").front(), "SetStrokeColor(rgba(0, 0, 0, 1))");
}

// A mapper that shows "flow units" for volts.
class VoltMapper final : public UnitMapper {
public:
    explicit VoltMapper(bool* destroyed) : mDestroyed(destroyed) {}
    ~VoltMapper() override { *mDestroyed = true; }
    int32_t GetChannel() const override { return 1; }
    uint32_t GetFlags() const override { return TraceTest::kUnits; }
    bool Map(const KVD::String& channelUnits, const KVD::String&, KVD::String& shown, UnitPrefix& prefix) const override
    {
        if (channelUnits != KVD::String(L"V"))
            return false;
        shown = KVD::String(L"mL/s");
        prefix = kUnitPrefixMilli;
        return true;
    }

private:
    bool* mDestroyed;
};

TEST(CustomUnits, TheMapperGivesTheUnitsAndGoesWithTheDrawerThroughItsBase)
{
    TraceTest::TraceData data(TraceTest::MakeRecording({100}));
    TestSupport::TracePane pane;
    bool destroyed = false;
    {
        std::unique_ptr<UnitMapper> mapper = std::make_unique<VoltMapper>(&destroyed);
        KVD::COMPtr<CustomUnitsPolyLineTraceDrawer> trace(new CustomUnitsPolyLineTraceDrawer(
            4096, TChannelId{0, TraceTest::kUnits}, std::move(mapper), 1, nullptr, kNoChannel, 0, 0x201));
        pane.AddPane().AddRecordDrawer(0, trace, 255);
        pane.SetRecordData(data.data, 1, 1);
        pane.AttachDrawers(0);
        KVD::String units;
        AutoBool has = kAutoFalse;
        ASSERT_EQ(trace->GetUnitsName(1, 1, KVD::String::Setter(units), &has), KVD_S_OK);
        EXPECT_EQ(units, KVD::String(L"mL/s"));
        EXPECT_EQ(has, kAutoTrue);
        double factor = 0;
        KVD::String prefixed;
        ASSERT_EQ(trace->GetPrefixedUnitsName(1, 1, KVD::String::Setter(prefixed), &has, nullptr, nullptr, &factor),
                  KVD_S_OK);
        EXPECT_DOUBLE_EQ(factor, 1000.0);
        EXPECT_EQ(trace->GetPenWidth(), 1);
        EXPECT_EQ(trace->GetUnitsName(2, 1, KVD::String::Setter(units), &has), KVD_S_FALSE);
        pane.Pane(0).ClearRecordDrawers(0, kNoChannel);
        EXPECT_FALSE(destroyed);
    }
    EXPECT_TRUE(destroyed);
}

}  // namespace

namespace {

TEST_F(TraceDrawers, ValueRangeBetweenPositionsComesFromTheRecordData)
{
    auto trace = MakeTrace();
    ChannelYDataRange range{0, 0};
    ASSERT_EQ(trace->GetRange(0x10000, 1, KVDPosition{0, 0}, KVDPosition{500, 0}, &range), KVD_S_OK);
    EXPECT_NEAR(range.top, 1.0, 1e-4);  // the sine's crest at 0.25 s
    EXPECT_NEAR(range.bottom, 0.0, 1e-4);
    ASSERT_EQ(trace->GetRange(0x10000, 1, KVDPosition{0, 1}, KVDPosition{1000, 1}, &range), KVD_S_OK);
    EXPECT_NEAR(range.bottom, -1.0, 1e-4);
}

}  // namespace
