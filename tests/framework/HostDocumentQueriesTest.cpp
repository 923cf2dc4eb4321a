// Reading the host's documents: the cyclic-measurements part, what the data view shows and at
// which zoom, and a channel's graticule colour.
#include <gtest/gtest.h>

#include "CalcDoubles.h"
#include "FrameworkIds.h"
#include "foundation/DynamicId.h"
#include "framework/HostDocumentQueries.h"
#include "host/document/HostDocument.h"

using namespace FrameworkTest;

namespace {

class CyclicMeasurements final : public StackObject<ICMDoc> {
public:
    HRESULT GetCycleDetection(ICMCycleDetect** detection) override
    {
        *detection = nullptr;
        return KVD_E_NOTIMPL;
    }
};

// Display settings that answer the graticule colour, or offer no display interface at all.
class DisplaySettings final : public IChannelDisplaySettings2, public IKVDOrrelDisplaySettings {
public:
    DisplaySettings(bool answers, uint32_t rgb) : mAnswers(answers), mRgb(rgb) {}
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        *out = nullptr;
        if (iid == IID_IChannelDisplaySettings2)
            *out = static_cast<IChannelDisplaySettings2*>(this);
        else if (iid == IID_IKVDOrrelDisplaySettings && mAnswers)
            *out = static_cast<IKVDOrrelDisplaySettings*>(this);
        return *out == nullptr ? KVD_E_NOINTERFACE : KVD_S_OK;
    }
    HRESULT GetTraceColour(uint32_t* rgb) const override { *rgb = 0; return KVD_S_OK; }
    HRESULT GetChannelTraceColour(int32_t, uint32_t*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetPolyLineType(int32_t, uint32_t*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetPenWidth(int32_t, int32_t*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetDisplayValue(int32_t, uint32_t*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetGridStyle(uint32_t*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetShowHeaders(AutoBool*) const override { return KVD_E_NOTIMPL; }
    HRESULT GetShowGrid(AutoBool* show) const override { *show = kAutoTrue; return KVD_S_OK; }
    HRESULT GetColour(int which, int part, uint32_t* rgb, int) const override
    {
        *rgb = which == 0 && part == 0 ? mRgb : 0;
        return KVD_S_OK;
    }

private:
    bool mAnswers;
    uint32_t mRgb;
};

class ViewDataDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = new RecordedData;
        data->AddRef();
        data->AddRecord({{1, std::vector<float>(5000)}});
        data->AddRecord({{1, std::vector<float>(1000)}});
        host = Host::HostDocument::Create(L"Recording");
        host->SetRecordData(static_cast<IRecordData*>(data));
    }
    void TearDown() override
    {
        host->Close();
        host->Release();
        data->Release();
    }

    RecordedData* data = nullptr;
    Host::HostDocument* host = nullptr;
};

TEST(ZoomSteps, FirstStepThatShowsTheWidthOn400Pixels)
{
    const std::pair<uint32_t, double> steps[] = {{4000, 10}, {4001, 20}, {1, 1}, {400000, 1000}, {400001, 2000}};
    for (const auto& [ticks, zoom] : steps)
        EXPECT_EQ(OrrelClient::ZoomForTicks(ticks), zoom) << ticks;
}

// The selection and its zoom; a selection of one position takes the view's zoom; without a
// selection what the view shows; otherwise all of the first record.
TEST_F(ViewDataDisplay, TheRangeShownAndItsZoom)
{
    const KVDPosition kNone{0xFFFFFFFF, -1};
    const struct {
        KVDPosition selectedLeft, selectedRight;
        KVDPosition shownLeft, shownRight;  // kNone: no data view
        double viewZoom;
        int record;
        KVDPosition left, right;
        double zoom;
    } cases[] = {
        {{500, 0}, {4500, 0}, kNone, kNone, 0, 0, {500, 0}, {4500, 0}, 10.0},
        {{499, 0}, {4500, 0}, kNone, kNone, 0, 0, {499, 0}, {4500, 0}, 20.0},
        // Across records the width counts from the start of the first record.
        {{4900, 0}, {200, 1}, kNone, kNone, 0, 0, {4900, 0}, {200, 1}, 1.0},
        {{70, 1}, {70, 1}, kNone, kNone, 0, 1, {70, 1}, {70, 1}, 1.0},
        {{70, 1}, {70, 1}, {0, 0}, {100, 0}, 50, 1, {70, 1}, {70, 1}, 50.0},
        {kNone, kNone, {10, 1}, {900, 1}, 5, 1, {10, 1}, {900, 1}, 5.0},
        {kNone, kNone, kNone, kNone, 0, 0, {0, 0}, {5000, 0}, 1.0},
        // A selection that does not lie in the data is replaced the same way (5000 ticks).
        {{300, 0}, {100, 0}, kNone, kNone, 0, 0, {0, 0}, {5000, 0}, 20.0},
    };
    for (const auto& c : cases) {
        if (c.selectedLeft.record >= 0)
            host->GetSelection().SetRange(c.selectedLeft, c.selectedRight);
        ShownRange view(c.shownLeft, c.shownRight);
        view.SetZoom(c.viewZoom);
        host->SetDataView(c.shownLeft.record >= 0 ? &view : nullptr);
        int record = -1;
        KVDPosition left{}, right{};
        double zoom = -1;
        OrrelClient::gGetViewDataDisplayInfo(host, record, left, right, zoom);
        const std::string which = std::to_string(c.selectedLeft.tick) + "/" + std::to_string(c.shownLeft.tick);
        EXPECT_EQ(record, c.record) << which;
        EXPECT_EQ(left.tick, c.left.tick) << which;
        EXPECT_EQ(left.record, c.left.record) << which;
        EXPECT_EQ(right.tick, c.right.tick) << which;
        EXPECT_EQ(right.record, c.right.record) << which;
        EXPECT_EQ(zoom, c.zoom) << which;
        host->SetDataView(nullptr);
        host->GetSelection().Clear();
    }
}

TEST(HostDocumentParts, CyclicMeasurementsPartWhenThereIsOne)
{
    Host::HostDocument* host = Host::HostDocument::Create(L"Recording");
    EXPECT_EQ(CMShared::GetICMDoc(host), nullptr);
    CyclicMeasurements part;
    host->SetChildObject(TypeIdClass<&CMDocumentGUID, 0>::GetId(), &part);
    KVD::COMPtr<ICMDoc> found = CMShared::GetICMDoc(host);
    EXPECT_EQ(found.get(), &part);
    found.Clear();
    EXPECT_EQ(CMShared::GetICMDoc(nullptr), nullptr);
    host->SetChildObject(TypeIdClass<&CMDocumentGUID, 0>::GetId(), nullptr);
    host->Release();
}

TEST(GraticuleColour, EightBitComponentsWidenedRedLowest)
{
    DisplaySettings red(true, 0x0000FF);
    EXPECT_EQ(OrrelDraw::GetGraticuleColour(&red), TColor(65535, 0, 0, 1.0f));
    DisplaySettings mixed(true, 0x804020);
    EXPECT_EQ(OrrelDraw::GetGraticuleColour(&mixed), TColor(8224, 16448, 32896, 1.0f));
    DisplaySettings silent(false, 0x000000);
    EXPECT_EQ(OrrelDraw::GetGraticuleColour(&silent), TColor(65535, 65535, 65535, 1.0f));
    EXPECT_EQ(OrrelDraw::GetGraticuleColour(nullptr), TColor(65535, 65535, 65535, 1.0f));
}

}  // namespace
