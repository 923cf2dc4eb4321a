// The trace drawer's batches at their edge: an enumerator that fills all 256 points is asked
// again, one that comes back with 255 or fewer ends the draw although columns remain.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "IPolyLineEnumEx.h"
#include "IRecordDataPixMap.h"
#include "TraceFixture.h"
#include "host/data/Adopt.h"
#include "support/ComDoubles.h"
#include "support/StubRecordData.h"
#include "trace/PolyLineTraceDrawer.h"

using namespace OrrelDraw;

namespace {

// Hands out the scripted point counts, two points a column, and counts the calls.
class ScriptedEnum final : public TestSupport::HeapDouble<IPolyLineEnumEx> {
public:
    explicit ScriptedEnum(std::vector<uint32_t> script) : mScript(std::move(script)) {}

    HRESULT GetPosition(int64_t* column) override
    {
        *column = mPosition;
        return KVD_S_OK;
    }
    HRESULT Skip(int64_t, int64_t* skipped) override
    {
        *skipped = 0;
        return KVD_E_NOTIMPL;
    }
    HRESULT Next(int64_t columns, int32_t x, uint32_t maxPoints, PolyLinePoint* points, uint32_t* produced,
                 int64_t* consumed) override
    {
        asked.push_back(maxPoints);
        const uint32_t n = calls < mScript.size() ? std::min({mScript[calls], maxPoints, uint32_t(2 * columns)}) : 0;
        ++calls;
        for (uint32_t i = 0; i < n; ++i)
            points[i] = PolyLinePoint{x + int32_t(i / 2), int32_t(i % 2)};
        *produced = n;
        *consumed = std::min<int64_t>(columns, (n + 1) / 2);
        mPosition += *consumed;
        return KVD_S_OK;
    }
    HRESULT FindFirstColumn(double, int64_t column, int64_t* first) override
    {
        *first = column;
        return KVD_S_OK;
    }
    HRESULT GetLatestPosition(int64_t* column) override
    {
        *column = mPosition;
        return KVD_S_OK;
    }

    size_t calls = 0;
    std::vector<uint32_t> asked;

private:
    std::vector<uint32_t> mScript;
    int64_t mPosition = 0;
};

class ScriptedData final : public TestSupport::StubRecordData<TestSupport::HeapDouble<IRecordData>> {
public:
    explicit ScriptedData(ScriptedEnum* lines) : mLines(lines) {}
    HRESULT CreatePolyLineEnum(uint32_t, int32_t, const int64_t*, int64_t, int64_t, int32_t, const DataScaling*,
                               uint32_t, IPolyLineEnumEx** out) const override
    {
        *out = mLines;
        mLines->AddRef();
        return KVD_S_OK;
    }

private:
    ScriptedEnum* mLines;
};

// Only what the trace drawer asks of a map when it makes its enumerator.
class ScriptedMap final : public TestSupport::HeapDouble<IRecordDataPixMap> {
public:
    explicit ScriptedMap(IRecordData* data) : mData(data) {}
    HRESULT GetRecordData(IRecordData** out) override
    {
        *out = mData;
        mData->AddRef();
        return KVD_S_OK;
    }
    HRESULT GetPolyLinePair(int32_t, int64_t* pair) override
    {
        pair[0] = pair[1] = 1;
        return KVD_S_OK;
    }
    HRESULT SetTicksPerPixel(int64_t, int64_t) override { return KVD_E_NOTIMPL; }
    HRESULT GetTicksPerPixel(int64_t*, int64_t*) override { return KVD_E_NOTIMPL; }
    HRESULT GetTotalPixels(int64_t*) override { return KVD_E_NOTIMPL; }
    HRESULT PixelToPosition(int64_t, KVDPosition*) override { return KVD_E_NOTIMPL; }
    HRESULT GetRecordPixels(int32_t, int64_t*, int64_t*) override { return KVD_E_NOTIMPL; }
    HRESULT GetRecordSecsPerTick(int32_t, double*) override { return KVD_E_NOTIMPL; }
    HRESULT GetRecordStartOffset(int32_t, int64_t*) override { return KVD_E_NOTIMPL; }
    HRESULT GetNeedsUpdate(uint32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT AcknowledgeNeedsUpdate(uint32_t) override { return KVD_E_NOTIMPL; }
    HRESULT MarkNeedsUpdate(uint32_t) override { return KVD_E_NOTIMPL; }
    HRESULT ColumnToPosition(uint32_t, double, int32_t*, double*) override { return KVD_E_NOTIMPL; }
    HRESULT PositionToColumn(uint32_t, int32_t, double, double*) override { return KVD_E_NOTIMPL; }
    HRESULT GetRecordTiming(uint32_t, int32_t, int64_t, double*, double*) override { return KVD_E_NOTIMPL; }
    HRESULT SetLayoutParameter(uint32_t, double) override { return KVD_E_NOTIMPL; }
    HRESULT GetRecordDensity(double*, double*) override { return KVD_E_NOTIMPL; }
    HRESULT SetRecordData(IRecordData*) override { return KVD_E_NOTIMPL; }

private:
    KVD::COMPtr<IRecordData> mData;
};

struct Drawn {
    size_t calls;
    std::vector<uint32_t> asked;
    int columns;  // as the drawer reports them drawn
};

// Draws 1000 columns with an enumerator that answers the script.
Drawn DrawWith(std::vector<uint32_t> script)
{
    KVD::COMPtr<ScriptedEnum> lines(Host::Adopt(new ScriptedEnum(std::move(script))));
    KVD::COMPtr<ScriptedData> data(Host::Adopt(new ScriptedData(lines)));
    KVD::COMPtr<ScriptedMap> map(Host::Adopt(new ScriptedMap(data)));
    KVD::COMPtr<PolyLineTraceDrawer> trace(
        new PolyLineTraceDrawer(0x1000, TChannelId{0, TraceTest::kUnits}, 1, nullptr, kNoChannel, 0, 0x201, 1));
    trace->SetRecordDataPixMap(0, map);
    TraceTest::Recorded rec(1000, 100);
    const TRect clip(0, 0, 1000, 100);
    trace->DrawInRecord(*rec.dc, 0, 1000, TPixPosition{0, 0}, 0, &clip, 0, nullptr, nullptr);
    const Drawn drawn{lines->calls, lines->asked, int(trace->GetPixelsDrawn())};
    trace->SetRecordDataPixMap(0, nullptr);
    return drawn;
}

TEST(TraceBatches, AFullBatchOf256PointsIsFollowedByAnotherAndAShorterOneEndsTheDraw)
{
    // Two full batches, then 255 points: the third ends the draw with columns left.
    Drawn drawn = DrawWith({256, 256, 255, 256});
    EXPECT_EQ(drawn.calls, 3u);
    EXPECT_EQ(drawn.asked, (std::vector<uint32_t>{256, 256, 256}));
    EXPECT_EQ(drawn.columns, 128 + 128 + 128);
    // 255 at once stops at once; 254 too.
    for (uint32_t shortBatch : {255u, 254u, 1u}) {
        drawn = DrawWith({shortBatch, 256});
        EXPECT_EQ(drawn.calls, 1u) << shortBatch;
    }
    // Full batches go on until the columns run out: 1000 columns take 8 batches (7 × 128 + 104).
    drawn = DrawWith(std::vector<uint32_t>(10, 256));
    EXPECT_EQ(drawn.calls, 8u);
    EXPECT_EQ(drawn.columns, 1000);
}

}  // namespace
