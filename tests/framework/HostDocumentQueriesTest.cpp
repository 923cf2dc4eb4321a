// Reading the host's documents: the cyclic-measurements part, what the data view shows and at
// which zoom, and a channel's graticule colour.
#include <gtest/gtest.h>

#include "FrameworkIds.h"
#include "foundation/DynamicId.h"
#include "framework/CalcDoubles.h"
#include "framework/HostDocumentQueries.h"
#include "host/HostDocument.h"

using namespace FrameworkTest;

namespace {

class CyclicMeasurements final : public StackObject<ICMDoc> {
public:
    HRESULT GetCycleCount(uint32_t* count) override
    {
        *count = 3;
        return KVD_S_OK;
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
    HRESULT GetTraceColour(uint32_t* rgb) const override
    {
        *rgb = 0;
        return KVD_S_OK;
    }
    HRESULT GetShowGrid(AutoBool* show) const override
    {
        *show = kAutoTrue;
        return KVD_S_OK;
    }
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

    void Query()
    {
        OrrelClient::gGetViewDataDisplayInfo(host, record, left, right, zoom);
    }

    RecordedData* data = nullptr;
    Host::HostDocument* host = nullptr;
    int record = -1;
    KVDPosition left{}, right{};
    double zoom = -1;
};

TEST(ZoomSteps, FirstStepThatShowsTheWidthOn400Pixels)
{
    EXPECT_EQ(OrrelClient::ZoomForTicks(4000), 10.0);
    EXPECT_EQ(OrrelClient::ZoomForTicks(4001), 20.0);
    EXPECT_EQ(OrrelClient::ZoomForTicks(1), 1.0);
    EXPECT_EQ(OrrelClient::ZoomForTicks(400000), 1000.0);
    EXPECT_EQ(OrrelClient::ZoomForTicks(400001), 2000.0);
}

TEST_F(ViewDataDisplay, TheSelectionAndItsZoom)
{
    host->GetSelection().SetRange(KVDPosition{500, 0}, KVDPosition{4500, 0});
    Query();
    EXPECT_EQ(record, 0);
    EXPECT_EQ(left.tick, 500u);
    EXPECT_EQ(right.tick, 4500u);
    EXPECT_EQ(zoom, 10.0);
    host->GetSelection().SetRange(KVDPosition{499, 0}, KVDPosition{4500, 0});
    Query();
    EXPECT_EQ(zoom, 20.0);
    // Across records the width counts from the start of the first record.
    host->GetSelection().SetRange(KVDPosition{4900, 0}, KVDPosition{200, 1});
    Query();
    EXPECT_EQ(zoom, 1.0);
}

TEST_F(ViewDataDisplay, ASelectionOfOnePositionTakesTheViewsZoom)
{
    host->GetSelection().SetRange(KVDPosition{70, 1}, KVDPosition{70, 1});
    Query();
    EXPECT_EQ(record, 1);
    EXPECT_EQ(zoom, 1.0);
    ShownRange view(KVDPosition{0, 0}, KVDPosition{100, 0});
    view.SetZoom(50);
    host->SetDataView(&view);
    Query();
    EXPECT_EQ(left.tick, 70u);
    EXPECT_EQ(zoom, 50.0);
    host->SetDataView(nullptr);
}

TEST_F(ViewDataDisplay, WithoutASelectionWhatTheViewShows)
{
    ShownRange view(KVDPosition{10, 1}, KVDPosition{900, 1});
    view.SetZoom(5);
    host->SetDataView(&view);
    Query();
    EXPECT_EQ(record, 1);
    EXPECT_EQ(left.tick, 10u);
    EXPECT_EQ(right.tick, 900u);
    EXPECT_EQ(zoom, 5.0);
    host->SetDataView(nullptr);
}

TEST_F(ViewDataDisplay, OtherwiseAllOfTheFirstRecord)
{
    Query();
    EXPECT_EQ(record, 0);
    EXPECT_EQ(left.tick, 0u);
    EXPECT_EQ(left.record, 0);
    EXPECT_EQ(right.tick, 5000u);
    EXPECT_EQ(right.record, 0);
    EXPECT_EQ(zoom, 1.0);
    // A selection that does not lie in the data is replaced the same way.
    host->GetSelection().SetRange(KVDPosition{300, 0}, KVDPosition{100, 0});
    Query();
    EXPECT_EQ(left.tick, 0u);
    EXPECT_EQ(right.tick, 5000u);
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
