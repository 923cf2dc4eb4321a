// The data pane as the host's online sink: its interface, the pixel map hearing each call before
// the pane, the flag that leaves the pane out, and the continuous auto-scaler around sampling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DataPaneFixture.h"
#include "host/data/Adopt.h"
#include "support/ComDoubles.h"
#include "support/ForwardingPixMap.h"
#include "support/StubRecordData.h"
#include "trace/DynamicScaling.h"

using namespace OrrelDraw;
using TraceTest::DataPaneTest;

namespace {

using Log = std::vector<std::string>;

// The host's map of the record, logging the online calls it hears before passing them on.
class LoggingMap final
    : public TestSupport::ForwardingPixMap<SimpleUnknownImp2<IRecordDataPixMap, IOnlineDataSink, 0>> {
public:
    LoggingMap(IRecordDataPixMap* inner, Log& log, std::function<std::string()> state)
        : ForwardingPixMap(inner), mSink(KVD::com_cast(inner)), mLog(log), mState(std::move(state))
    {
    }


    HRESULT CanSample(IAutoKVDString** reason) override { return mSink->CanSample(reason); }
    HRESULT PrepareForSampling(uint32_t block) override { return Heard("prepare", mSink->PrepareForSampling(block)); }
    HRESULT OnRecordStart(uint32_t block, AutoBool record) override
    {
        return Heard("start", mSink->OnRecordStart(block, record));
    }
    HRESULT Update(uint32_t block) override { return Heard("update", mSink->Update(block)); }
    HRESULT OnRecordEnd(uint32_t block, BlockUpdateType* type) override
    {
        return Heard("end", mSink->OnRecordEnd(block, type));
    }
    HRESULT CleanUpAfterSampling(AutoBool kept) override { return Heard("cleanup", mSink->CleanUpAfterSampling(kept)); }
    HRESULT OnEvent(uint32_t id, void* data) override { return Heard("event", mSink->OnEvent(id, data)); }
    HRESULT Reserved1() override { return KVD_E_NOTIMPL; }
    HRESULT Reserved2() override { return KVD_E_NOTIMPL; }
    HRESULT OnNewBlock(uint32_t block) override { return mSink->OnNewBlock(block); }
    int32_t GetCallingOrderNumber() override { return mSink->GetCallingOrderNumber(); }
    int32_t GetSourceChannelDataPriority() override { return mSink->GetSourceChannelDataPriority(); }

private:
    HRESULT Heard(const std::string& call, HRESULT hr)
    {
        mLog.push_back("map:" + call + mState());
        return hr;
    }

    KVD::COMPtr<IOnlineDataSink> mSink;
    Log& mLog;
    std::function<std::string()> mState;
};

// The recording's data, making logging maps.
class LoggingData final : public TestSupport::StubRecordData<TestSupport::HeapDouble<IRecordData>> {
public:
    LoggingData(IRecordData* inner, Log& log, std::function<std::string()> state)
        : mInner(inner), mLog(log), mState(std::move(state))
    {
    }
    HRESULT GetRecordCount(int* count) const override { return mInner->GetRecordCount(count); }
    HRESULT GetRecordTicks(int r, uint32_t* ticks) const override { return mInner->GetRecordTicks(r, ticks); }
    HRESULT GetSecsPerTick(int r, double* secs) const override { return mInner->GetSecsPerTick(r, secs); }
    HRESULT CreatePixMap(uint32_t number, IRecordDataPixMap** out) const override
    {
        KVD::COMPtr<IRecordDataPixMap> inner;
        mInner->CreatePixMap(number, inner.Set());
        *out = new LoggingMap(inner, mLog, mState);
        (*out)->AddRef();
        return KVD_S_OK;
    }

private:
    KVD::COMPtr<IRecordData> mInner;
    Log& mLog;
    std::function<std::string()> mState;
};

class OnlineSink : public DataPaneTest {
protected:
    explicit OnlineSink(uint32_t misc = 0) : DataPaneTest({6000}, misc) {}

    // A pane over the logging data; the map's log entries carry whether the pane samples.
    void Show()
    {
        DataPaneTest::SetUp(1);
        logging = Host::Adopt(new LoggingData(data.data, log, [this] { return pane->IsSampling() ? "+" : "-"; }));
        pane->SetRecordData(0, logging, nullptr);
        pane->OnPrePaint();
        pane->recordStartHook = [this](unsigned, IUnknown*, double, KVDTimeDate, long long, long, AutoBool) {
            log.push_back("pane:start");
        };
        pane->updateHook = [this](long) { log.push_back("pane:update"); };
    }

    // One run of one record with two updates and an event.
    void Run()
    {
        pane->PrepareForSampling(0);
        pane->OnRecordStart(0, kAutoTrue);
        pane->Update(0);
        now += 1000;
        pane->Update(0);
        pane->OnEvent(7, nullptr);
        pane->OnRecordEnd(0, nullptr);
        pane->CleanUpAfterSampling(kAutoTrue);
    }

    Log log;
    KVD::COMPtr<LoggingData> logging;
};

TEST_F(OnlineSink, ThePaneIsTheHostsOnlineSinkWithFixedAnswers)
{
    Show();
    KVD::COMPtr<IOnlineDataSink> sink;
    ASSERT_EQ(pane->QueryInterface(IID_IOnlineDataSink, sink.Set()), KVD_S_OK);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(pane->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), KVD_S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(sink.get()), unknown);
    unknown->Release();
    KVD::String reason(L"old");
    EXPECT_EQ(sink->CanSample(KVD::String::Setter(reason)), KVD_S_OK);
    EXPECT_TRUE(reason.empty());
    EXPECT_EQ(sink->GetCallingOrderNumber(), 100);
    EXPECT_EQ(sink->GetSourceChannelDataPriority(), 100);
    EXPECT_EQ(sink->OnNewBlock(3), KVD_S_OK);
    EXPECT_EQ(sink->Reserved1(), KVD_E_NOTIMPL);
    EXPECT_EQ(sink->Reserved2(), KVD_E_NOTIMPL);
    // The host's own map follows sampling too, ahead of the displays.
    KVD::COMPtr<IOnlineDataSink> map;
    KVD::COMPtr<IRecordDataPixMap> real;
    data.data->CreatePixMap(0, real.Set());
    ASSERT_EQ(real->QueryInterface(IID_IOnlineDataSink, map.Set()), KVD_S_OK);
    EXPECT_LT(map->GetCallingOrderNumber(), sink->GetCallingOrderNumber());
}

TEST_F(OnlineSink, EveryOnlineCallReachesThePixelMapBeforeThePane)
{
    Show();
    Run();
    EXPECT_EQ(log, (Log{"map:prepare-", "map:start+", "pane:start", "map:update+", "pane:update", "map:update+",
                        "pane:update", "map:event+", "map:end+", "map:cleanup+"}));
    EXPECT_FALSE(pane->IsSampling());
}

class OnlineSinkWithoutDrawing : public OnlineSink {
protected:
    OnlineSinkWithoutDrawing() : OnlineSink(MiscFlag::kNoOnlineDrawing) {}
};

TEST_F(OnlineSinkWithoutDrawing, OnlyThePixelMapHearsSampling)
{
    Show();
    KVD::DynamicScaling scaler(nullptr, 100);
    pane->SetContinuousAutoScalerRef(&scaler);
    const int64_t edge = pane->GetRightEdgeVPix();
    pane->PrepareForSampling(0);
    EXPECT_FALSE(pane->IsSampling());
    EXPECT_FALSE(scaler.IsRunning());
    pane->CleanUpAfterSampling(kAutoTrue);
    Run();
    EXPECT_EQ(log, (Log{"map:prepare-", "map:cleanup-", "map:prepare-", "map:start-", "map:update-", "map:update-",
                        "map:event-", "map:end-", "map:cleanup-"}));
    EXPECT_EQ(pane->GetRightEdgeVPix(), edge);
    EXPECT_EQ(scaler.FitCount(), 0);
}

TEST_F(OnlineSink, TheContinuousAutoScalerRunsFromPreparingToCleaningUpAtMostOncePerInterval)
{
    Show();
    int fits = 0;
    KVD::DynamicScaling scaler([&] { ++fits; }, 500);
    EXPECT_FALSE(scaler.OnUpdate(now + 10000));  // not started
    pane->SetContinuousAutoScalerRef(&scaler);
    EXPECT_EQ(pane->GetContinuousAutoScaler(), &scaler);
    pane->PrepareForSampling(0);
    EXPECT_TRUE(scaler.IsRunning());
    const int64_t steps[] = {100, 399, 1, 200, 900};
    const int expected[] = {0, 0, 1, 1, 2};
    for (size_t i = 0; i < 5; ++i) {
        now += steps[i];
        pane->Update(0);
        EXPECT_EQ(fits, expected[i]) << "step " << i;
    }
    pane->CleanUpAfterSampling(kAutoTrue);
    EXPECT_FALSE(scaler.IsRunning());
    now += 5000;
    pane->Update(0);
    EXPECT_EQ(fits, 2);
    EXPECT_EQ(scaler.FitCount(), 2);
    pane->SetContinuousAutoScalerRef(nullptr);
    pane->PrepareForSampling(0);
    EXPECT_FALSE(scaler.IsRunning());
}

}  // namespace
