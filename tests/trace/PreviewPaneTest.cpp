// The preview pane with the host's simulated device: its modes and their transitions, the
// monitoring record, its sinks and storage on every way out, refusals, the simple pane's channel
// mapping and the trace view modes.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <set>
#include <string>

#include "DataPaneFixture.h"
#include "appkit/Alert.h"
#include "appkit/RunLoop.h"
#include "host/data/Adopt.h"
#include "host/sampling/MonitoringRecord.h"
#include "host/sampling/SimulatedDeviceManager.h"
#include "trace/PreviewDataPane.h"
#include "trace/TraceViewModes.h"

namespace {

using namespace TraceTest;
using OrrelDraw::TPreviewMode;

class KeptPreviewControl final : public OrrelDraw::PreviewControl {
public:
    explicit KeptPreviewControl(OrrelDraw::PreviewDataPane* pane) : mPane(pane) {}
    void SetPosition(const TRect& rect) override { position = rect; }
    bool IsEnabled() const override { return enabled; }
    void SetEnabled(bool on) override { enabled = on; }
    void GetSize(TSize* size) const override { *size = TSize(60, 20); }
    void EnableButtons(unsigned) override {}
    void DepressOrrelViewBtn() override { mPane->DoOrrelViewId(); }
    void Invalidate() override {}
    void SetOnlineAutoScrollControl(bool) override {}
    void SetAutoScaleXTooltip(const KVD::String&) override {}

    bool enabled = false;
    TRect position;

private:
    OrrelDraw::PreviewDataPane* mPane;
};

class TestPreviewPane final : public OrrelDraw::PreviewDataPane {
public:
    TestPreviewPane(IRecordData* record, uint32_t controlFlags)
        : PreviewDataPane(record, 10, OrrelDraw::PaneFlag::kLeftScale, 0, controlFlags, 0)
    {
    }
    void Invalidate(bool) override {}
    void InvalidateRect(const TRect*, bool) override {}
    void ScrollX(long long, const TRect*) override {}
    OrrelDraw::ScrollBar* CreateScrollBar() override { return new KeptScrollBar; }
    OrrelDraw::ZoomControl* CreateZoomControlX(uint32_t) override { return new KeptZoomControl; }
    void PositionWindow(int, int, int, int, bool) override {}
    void UpdateWindow() override {}
    OrrelDraw::PreviewControl* CreatePreviewControl(PreviewDataPane* pane, uint32_t) override
    {
        return control = new KeptPreviewControl(pane);
    }
    OrrelDraw::PreviewControl* CreateTraceViewControl(PreviewDataPane*, unsigned) override { return nullptr; }

    KeptPreviewControl* control = nullptr;  // owned by the pane
};

// Hears the preview's mode notices as "kind:record".
class ModeEvents final : public KVD::detail::CountedUnknown<IObserver> {
public:
    HRESULT Notify(ISubject*, TCAFId event, uint32_t, void* data) override
    {
        if (event != OrrelDraw::PreviewModeEventId::GetId())
            return KVD_S_OK;
        const auto* args = static_cast<const uint64_t*>(data);
        heard.push_back({int(args[0]), reinterpret_cast<IRecordData*>(uintptr_t(args[1]))});
        return KVD_S_OK;
    }
    HRESULT RegisterEvents(ISubject* subject) override
    {
        return subject->RegisterEvent(this, OrrelDraw::PreviewModeEventId::GetId(), 0);
    }
    std::vector<std::pair<int, IRecordData*>> heard;
};

// A temporary directory of the test's own while it lives: other processes share /tmp.
class PrivateTempDir {
public:
    PrivateTempDir()
    {
        const char* old = std::getenv("TMPDIR");
        mOld = old != nullptr ? old : "";
        char name[] = "/tmp/preview-test-XXXXXX";
        mDir = ::mkdtemp(name);
        ::setenv("TMPDIR", mDir.c_str(), 1);
    }
    ~PrivateTempDir()
    {
        mOld.empty() ? ::unsetenv("TMPDIR") : ::setenv("TMPDIR", mOld.c_str(), 1);
        ::rmdir(mDir.c_str());
    }
    std::set<std::string> Files() const
    {
        std::set<std::string> names;
        if (DIR* d = ::opendir(mDir.c_str())) {
            while (const dirent* entry = ::readdir(d))
                if (entry->d_name[0] != '.')
                    names.insert(entry->d_name);
            ::closedir(d);
        }
        return names;
    }

private:
    std::string mOld, mDir;
};

int RecordCount(IRecordData* record)
{
    int count = -1;
    record->GetRecordCount(&count);
    return count;
}

uint32_t Ticks(IRecordData* record, int block)
{
    uint32_t ticks = 0;
    record->GetRecordTicks(block, &ticks);
    return ticks;
}

class PreviewPane : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppKit::RunLoop::Main().UseVirtualClock(true);
        AppKit::AlertPresenter::Shared().ClearShown();
        pane->SetNumberOfChannelPanes(1);
        pane->OnSetupWindow(nullptr, nullptr);
        pane->OnSize(TSize(602, 300));
    }
    void TearDown() override
    {
        pane = nullptr;
        manager = nullptr;
        AppKit::RunLoop::Main().UseVirtualClock(false);
    }

    void Advance(double seconds) { AppKit::RunLoop::Main().Advance(seconds); }

    TraceData data{MakeRecording({5000})};
    std::shared_ptr<Host::BreathingSource> source =
        std::make_shared<Host::BreathingSource>(Host::SyntheticOptions{}, 2);
    KVD::COMPtr<Host::SimulatedDeviceManager> manager = Host::Adopt(Host::SimulatedDeviceManager::Create(source));
    KVD::COMPtr<TestPreviewPane> pane{new TestPreviewPane(data.data, 0)};
};

TEST_F(PreviewPane, WithoutADeviceManagerModesDoNothingAndTheControlIsOff)
{
    ASSERT_NE(pane->control, nullptr);
    EXPECT_FALSE(pane->control->enabled);
    pane->DoMonitor();
    EXPECT_EQ(pane->GetPreviewMode(), OrrelDraw::kPreviewDocument);
    EXPECT_EQ(pane->GetMonitoringRecord(), nullptr);
    pane->SetDeviceManager(0, manager.get());
    EXPECT_TRUE(pane->control->enabled);
}

TEST_F(PreviewPane, MonitorPauseReapplyAndBackToTheDocument)
{
    KVD::COMPtr<ModeEvents> events(new ModeEvents);
    pane->AttachObserver(events);
    pane->SetDeviceManager(0, manager.get());

    pane->DoMonitor();
    EXPECT_EQ(pane->GetPreviewMode(), OrrelDraw::kPreviewMonitor);
    // Held, so that a record made in its place could not take its address unnoticed.
    const KVD::COMPtr<IRecordData> monitor(pane->GetMonitoringRecord());
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(manager->IsSampling());
    EXPECT_EQ(manager->SinkCount(), 1u);
    Advance(2.01);
    EXPECT_EQ(Ticks(monitor, 0), 2000u);
    EXPECT_TRUE(pane->IsOnlineAutoScrollX());

    // Monitor twice: nothing new.
    pane->DoMonitor();
    EXPECT_EQ(pane->GetMonitoringRecord(), monitor.get());
    EXPECT_EQ(RecordCount(monitor), 1);

    pane->DoPause();
    EXPECT_EQ(pane->GetPreviewMode(), OrrelDraw::kPreviewPause);
    EXPECT_FALSE(manager->IsSampling());
    EXPECT_EQ(manager->SinkCount(), 0u);
    EXPECT_FALSE(pane->IsOnlineAutoScrollX());
    EXPECT_EQ(pane->GetMonitoringRecord(), monitor.get());

    // Monitor again: the same record, asked to start again.
    pane->DoMonitor();
    EXPECT_EQ(pane->GetMonitoringRecord(), monitor.get());
    EXPECT_TRUE(manager->IsSampling());
    EXPECT_EQ(RecordCount(monitor), 2);

    // Re-apply while monitoring starts again and stays in monitoring.
    pane->OnPreviewModeChange(OrrelDraw::kPreviewReapply);
    EXPECT_EQ(pane->GetPreviewMode(), OrrelDraw::kPreviewMonitor);
    EXPECT_EQ(RecordCount(monitor), 3);
    EXPECT_EQ(manager->SinkCount(), 1u);

    pane->DoOrrelViewId();
    EXPECT_EQ(pane->GetPreviewMode(), OrrelDraw::kPreviewDocument);
    EXPECT_EQ(pane->GetMonitoringRecord(), nullptr);
    EXPECT_FALSE(manager->IsSampling());
    EXPECT_EQ(manager->SinkCount(), 0u);
    EXPECT_EQ(AppKit::RunLoop::Main().TimerCount(), 0u);

    pane->DetachObserver(events);
    ASSERT_EQ(events->heard.size(), 5u);
    EXPECT_EQ(events->heard[0], std::make_pair(1, monitor.get()));  // monitor
    EXPECT_EQ(events->heard[2], std::make_pair(1, monitor.get()));  // pause
    EXPECT_EQ(events->heard[4], std::make_pair(0, data.data.get()));
}

TEST_F(PreviewPane, MonitoringHasOneRecordOneTemporaryFileAndOneSink)
{
    int made = 0;
    pane->newRecordCallback = [&](IRecordData* record) { made += record != nullptr; };
    pane->SetDeviceManager(0, manager.get());
    pane->DoMonitor();
    pane->DoPause();
    pane->DoMonitor();
    EXPECT_EQ(made, 1);
    EXPECT_EQ(manager->SinkCount(), 1u);
    auto* record = dynamic_cast<Host::MonitoringRecord*>(pane->GetMonitoringRecord());
    ASSERT_NE(record, nullptr);
    EXPECT_NE(record->Storage(), nullptr);
}

TEST_F(PreviewPane, APaneDestroyedMidSampleStopsTheDeviceAndLeavesNoFile)
{
    PrivateTempDir temp;
    pane->SetDeviceManager(0, manager.get());
    pane->DoMonitor();
    Advance(0.5);
    ASSERT_TRUE(manager->IsSampling());
    auto* record = dynamic_cast<Host::MonitoringRecord*>(pane->GetMonitoringRecord());
    ASSERT_NE(record, nullptr);
    ASSERT_NE(record->Storage(), nullptr);
    pane = nullptr;
    EXPECT_FALSE(manager->IsSampling());
    EXPECT_EQ(manager->SinkCount(), 0u);
    EXPECT_EQ(AppKit::RunLoop::Main().TimerCount(), 0u);
    Advance(0.5);  // nothing is left to hear the clock
    EXPECT_TRUE(temp.Files().empty());
}

TEST_F(PreviewPane, CleanUpOfTheWindowStopsSampling)
{
    pane->SetDeviceManager(0, manager.get());
    pane->DoMonitor();
    pane->OnCleanupWindow();
    EXPECT_FALSE(manager->IsSampling());
    EXPECT_EQ(manager->SinkCount(), 0u);
}

TEST_F(PreviewPane, ANewRecordOrNoManagerLetsTheMonitoringRecordGo)
{
    pane->SetDeviceManager(0, manager.get());
    pane->DoMonitor();
    pane->SetDeviceManager(0, nullptr);
    EXPECT_EQ(pane->GetPreviewMode(), OrrelDraw::kPreviewDocument);
    EXPECT_EQ(pane->GetMonitoringRecord(), nullptr);
    EXPECT_FALSE(manager->IsSampling());
    EXPECT_FALSE(pane->control->enabled);

    pane->SetDeviceManager(0, manager.get());
    pane->DoMonitor();
    pane->SetRecordData(0, data.data.get(), nullptr);
    EXPECT_EQ(pane->GetMonitoringRecord(), nullptr);
    EXPECT_FALSE(manager->IsSampling());
    EXPECT_EQ(manager->SinkCount(), 0u);
}

struct Refusal {
    HRESULT result;
    std::wstring reason;
    const char* shown;  // null: no message
};

TEST_F(PreviewPane, ARefusedStartShowsWhyAndLeavesTheDeviceStopped)
{
    pane->SetDeviceManager(0, manager.get());
    const Refusal cases[] = {
        {KVD_E_SAMPLING_REFUSED, L"The flow head is not connected", "The flow head is not connected"},
        {KVD_E_SAMPLING_REFUSED, L"", "Sampling could not be started."},
        {KVD_E_SAMPLING_SHOWN, L"Already told", nullptr},
    };
    for (const auto& refusal : cases) {
        AppKit::AlertPresenter::Shared().ClearShown();
        manager->RefuseStart(refusal.result, refusal.reason);
        pane->OnPreviewModeChange(OrrelDraw::kPreviewReapply);
        pane->DoMonitor();
        EXPECT_EQ(pane->GetPreviewMode(), OrrelDraw::kPreviewMonitor);
        EXPECT_FALSE(manager->IsSampling());
        EXPECT_EQ(manager->SinkCount(), 0u);
        const auto& shown = AppKit::AlertPresenter::Shared().Shown();
        if (refusal.shown == nullptr) {
            EXPECT_TRUE(shown.empty());
        } else {
            ASSERT_FALSE(shown.empty());
            EXPECT_EQ(shown.back().messageText, refusal.shown);
        }
    }
    // Allowed again, re-apply starts it.
    manager->RefuseStart(KVD_S_OK, L"");
    pane->OnPreviewModeChange(OrrelDraw::kPreviewReapply);
    EXPECT_TRUE(manager->IsSampling());
    EXPECT_EQ(manager->SinkCount(), 1u);
}

TEST_F(PreviewPane, StartsMonitoringWhenTheControlFlagsSaySo)
{
    KVD::COMPtr<TestPreviewPane> monitoring(new TestPreviewPane(data.data, OrrelDraw::kControlStartMonitoring));
    EXPECT_EQ(monitoring->GetPreviewMode(), OrrelDraw::kPreviewMonitor);
}

TEST(SimpleDataPane, MapsPanesOneToOneOntoChannels)
{
    KVD::COMPtr<TestPreviewPane> pane(new TestPreviewPane(nullptr, 0));
    pane->SetNumberOfChannelPanes(2);
    struct Case {
        int pane;
        int32_t channel;
    } cases[] = {{0, 0}, {1, 1}, {2, OrrelDraw::kNoPaneChannel}, {-1, OrrelDraw::kNoPaneChannel}};
    for (const auto& c : cases) {
        const TChannelId id = pane->PaneToChannel(c.pane);
        EXPECT_EQ(id.channel, c.channel) << c.pane;
        EXPECT_EQ(id.blockDataType, 0xC0000000u);
    }
    EXPECT_EQ(pane->ChannelToPane(TChannelId{1, 0}), 1);
    EXPECT_EQ(pane->ChannelToPane(TChannelId{2, 0}), OrrelDraw::kNoPaneChannel);
    const TChannelId kept = pane->UserChanToVirtualChan(TChannelId{1, 0x1001});
    EXPECT_EQ(kept.channel, 1);
    EXPECT_EQ(kept.blockDataType, 0x1001u);
    const TChannelId none = pane->VirtChanToUserChan(TChannelId{5, 0x1001});
    EXPECT_EQ(none.channel, OrrelDraw::kNoPaneChannel);
    EXPECT_EQ(none.blockDataType, 0xC0000000u);
}

TEST(TraceViewModes, StackPutsTheLeftTraceAboveTheRightOne)
{
    // Left 0..10 and right -5..5, each {top, bottom}.
    const ChannelYDataRange left = OrrelDraw::StackedLeftRange({10, 0});
    const ChannelYDataRange right = OrrelDraw::StackedRightRange({5, -5});
    EXPECT_EQ(left.top, 10);
    EXPECT_EQ(left.bottom, -10);
    EXPECT_EQ(right.top, 15);
    EXPECT_EQ(right.bottom, -5);
}

TEST_F(PreviewPane, SourceOnlyTellsTheTraceDrawerWhetherTheDerivedTraceShows)
{
    std::vector<bool> told;
    pane->traceDrawerCallback = [&](bool on) { told.push_back(on); };
    pane->OnTraceViewModeChange(OrrelDraw::kTraceViewSourceOnly, OrrelDraw::kSourceOnlyOn);
    pane->OnTraceViewModeChange(OrrelDraw::kTraceViewSourceOnly, OrrelDraw::kSourceOnlyOff);
    pane->OnTraceViewModeChange(OrrelDraw::kTraceViewSourceOnly, 0);
    pane->OnTraceViewModeChange(OrrelDraw::kTraceViewOverlay, 0);
    EXPECT_EQ(told, (std::vector<bool>{false, true}));
}

}  // namespace
