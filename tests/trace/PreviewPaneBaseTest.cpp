// The owner of a dialog's preview: the pane it makes over the document's data in the view, the
// recording hardware it hands on, and the y ranges, high end first, and trace view modes it
// gives the dialog.
#include <gtest/gtest.h>

#include <cstdlib>

#include <cmath>
#include <cstdio>

#include "TraceFixture.h"
#include "appkit/RunLoop.h"
#include "appkit/Window.h"
#include "host/data/Adopt.h"
#include "host/sampling/SimulatedDeviceManager.h"
#include "trace/PolyLineTraceDrawer.h"
#include "trace/PreviewPaneBase.h"
#include "trace/TraceViewModes.h"

namespace {

using namespace OrrelDraw;
using ExtLib::kSideLeft;
using ExtLib::kSideRight;

class Preview final : public ExtLib::PreviewPaneBase {
public:
    void Recreate(bool filter) override { recreated.push_back(filter); }
    std::vector<bool> recreated;
};

class PreviewOwner : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppKit::RunLoop::Main().UseVirtualClock(true);
        window = std::make_unique<AppKit::Window>(AppKit::Rect{0, 0, 700, 300}, "Preview");
        view = &SPIRO_DataPaneView::Create(window->ContentView());
        IOrrelData2* orrel = nullptr;
        ASSERT_EQ(data.data->QueryInterface(IID_IOrrelData2, reinterpret_cast<void**>(&orrel)), KVD_S_OK);
        document = Host::Adopt(orrel);
        preview->Init(document.get(), view, manager.get(), PaneFlag::kLeftScale | PaneFlag::kRightScale, 0);
    }
    void TearDown() override
    {
        // The device stops on the clock it started on.
        preview.reset();
        AppKit::RunLoop::Main().UseVirtualClock(false);
    }

    // Sine on the left scale and ramp on the right one of pane 0.
    void AddTraces()
    {
        for (int side : {kScaleLeft, kScaleRight})
            preview->Pane()->AddRecordDrawer(
                0, 0,
                KVD::COMPtr<IOrrelRecordDrawer>(new PolyLineTraceDrawer(
                    0x1000, TChannelId{side == kScaleLeft ? 0 : 1, TraceTest::kUnits}, side, nullptr, kNoChannel, 0,
                    0x201, 1)),
                0);
        preview->Pane()->SetRecordData(0, data.data.get(), nullptr);
        preview->Pane()->OnPrePaint();
    }

    TraceTest::TraceData data{TraceTest::MakeRecording({5000})};
    KVD::COMPtr<IOrrelData2> document;
    KVD::COMPtr<Host::SimulatedDeviceManager> manager = Host::Adopt(Host::SimulatedDeviceManager::Create(
        std::make_shared<Host::BreathingSource>(Host::SyntheticOptions{}, 2)));
    std::unique_ptr<AppKit::Window> window;
    SPIRO_DataPaneView* view = nullptr;
    std::unique_ptr<Preview> preview = std::make_unique<Preview>();
};

TEST_F(PreviewOwner, InitMakesThePaneOverTheDocumentsDataWithItsDevice)
{
    ASSERT_NE(preview->Pane(), nullptr);
    EXPECT_EQ(view->PreviewPane(), preview->Pane());
    EXPECT_EQ(preview->RecordData(), data.data.get());
    EXPECT_EQ(preview->Pane()->GetDocumentRecord(), data.data.get());
    EXPECT_TRUE(preview->IsReady());
    EXPECT_EQ(preview->ChannelCount(), 16);
    EXPECT_EQ(preview->OfferedTraceViewModes(), 15);
    ASSERT_NE(preview->Pane()->GetPreviewControl(), nullptr);
    EXPECT_TRUE(preview->Pane()->GetPreviewControl()->IsEnabled());

    // Offline, the pane has no device and monitoring does nothing.
    preview->EnableOnline(false);
    EXPECT_FALSE(preview->Pane()->GetPreviewControl()->IsEnabled());
    preview->Pane()->DoMonitor();
    EXPECT_EQ(preview->Pane()->GetPreviewMode(), kPreviewDocument);
    preview->EnableOnline(true);
    preview->Pane()->DoMonitor();
    EXPECT_TRUE(manager->IsSampling());
    preview->SetupWindowR(0, 0);
    EXPECT_EQ(preview->WindowStart(), 0);
}

TEST_F(PreviewOwner, APositionWithoutAUsableRatioKeepsTheZoomAndOneBeyondTheLimitsTakesTheLimit)
{
    AddTraces();
    DataPane& pane = *preview->Pane();
    pane.OnSize(TSize(602, 200));
    const TicksPerPix before = pane.GetTicksPerPix();
    for (double ratio : {0.0, -4.0, std::nan("")}) {
        EXPECT_NO_THROW(preview->SetPosition(KVDPosition{0, 0}, ratio)) << ratio;
        EXPECT_EQ(pane.GetTicksPerPix(), before) << ratio;
    }
    preview->SetPosition(KVDPosition{0, 0}, 0.01);
    EXPECT_EQ(pane.GetTicksPerPix(), TicksPerPix(1, 10));
    preview->SetPosition(KVDPosition{0, 0}, 4e6);
    EXPECT_EQ(pane.GetTicksPerPix(), TicksPerPix(500000, 1));
}

TEST_F(PreviewOwner, GetYGivesTheHighEndFirst)
{
    AddTraces();
    preview->SetY(kSideLeft, {10, -2});
    const ChannelYDataRange left = preview->GetY(kSideLeft);
    EXPECT_EQ(left.top, 10);
    EXPECT_EQ(left.bottom, -2);
    // SetY is also the default that auto-scaling without data falls back to.
    preview->SetY(kSideRight, {3, 1});
    EXPECT_EQ(preview->GetY(kSideRight).top, 3);
    EXPECT_EQ(preview->GetY(kSideRight).bottom, 1);
}

TEST(PreviewOwnerWithoutView, GetYIsNaNWithoutAPane)
{
    Preview preview;
    const ChannelYDataRange range = preview.GetY(kSideLeft);
    EXPECT_TRUE(std::isnan(range.top));
    EXPECT_TRUE(std::isnan(range.bottom));
}

TEST_F(PreviewOwner, StackPutsTheLeftTraceInTheUpperHalfAndTheRightInTheLowerHalf)
{
    AddTraces();
    preview->ChangeTraceViewMode(kTraceViewOverlay, 0);
    const ChannelYDataRange left = preview->GetY(kSideLeft), right = preview->GetY(kSideRight);
    ASSERT_GT(left.top, left.bottom);
    ASSERT_GT(right.top, right.bottom);
    preview->ChangeTraceViewMode(kTraceViewStack, 0);
    const ChannelYDataRange stackedLeft = preview->GetY(kSideLeft), stackedRight = preview->GetY(kSideRight);
    EXPECT_DOUBLE_EQ(stackedLeft.top, left.top);
    EXPECT_DOUBLE_EQ(stackedLeft.bottom, left.bottom - (left.top - left.bottom));
    EXPECT_DOUBLE_EQ(stackedRight.top, right.top + (right.top - right.bottom));
    EXPECT_DOUBLE_EQ(stackedRight.bottom, right.bottom);
}

TEST_F(PreviewOwner, SourceOnlyFiltersThePreprocessorDrawersAndRecreates)
{
    preview->ChangeTraceViewMode(kTraceViewSourceOnly, kSourceOnlyOn);
    EXPECT_FALSE(preview->PreprocessorFilter());
    preview->ChangeTraceViewMode(kTraceViewSourceOnly, kSourceOnlyOff);
    EXPECT_TRUE(preview->PreprocessorFilter());
    EXPECT_EQ(preview->recreated, (std::vector<bool>{true, true}));
}

}  // namespace

#include "appkit/UserDriver.h"
#include "trace/PreviewMasterView.h"

namespace {

// The master view's buttons, clicked by the user, change the owner's trace view mode.
class MasterView : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<AppKit::Window>(AppKit::Rect{0, 0, 700, 300}, "Preview");
        master = static_cast<SPIRO_PreviewMasterView*>(
            &window->ContentView().AddSubview(std::make_unique<SPIRO_PreviewMasterView>(AppKit::Rect{0, 0, 700, 300})));
        IOrrelData2* orrel = nullptr;
        ASSERT_EQ(data.data->QueryInterface(IID_IOrrelData2, reinterpret_cast<void**>(&orrel)), KVD_S_OK);
        document = Host::Adopt(orrel);
        preview->Init(document.get(), &master->DataTraceView(), nullptr, PaneFlag::kLeftScale | PaneFlag::kRightScale, 0);
        master->SetPreviewPane(preview.get());
    }
    void TearDown() override { preview.reset(); }

    TraceTest::TraceData data{TraceTest::MakeRecording({5000})};
    KVD::COMPtr<IOrrelData2> document;
    std::unique_ptr<AppKit::Window> window;
    SPIRO_PreviewMasterView* master = nullptr;
    std::unique_ptr<Preview> preview = std::make_unique<Preview>();
};

TEST_F(MasterView, SourceOnlyDisablesTheOtherModesUntilItIsOffAgain)
{
    AppKit::UserDriver user(*window);
    if (const char* dir = std::getenv("SPIRO_PICTURES"))
        user.Snapshot(std::string(dir) + "/preview-master.png");
    // The pane's controls start right of the buttons.
    EXPECT_GE(user.Find("previewControl").Frame().x, user.Find("sourceOnly").Frame().x + 23);
    const auto& split = static_cast<const AppKit::Button&>(user.Find("split"));
    EXPECT_EQ(split.ToolTip(), "Autoscale and stack traces");
    EXPECT_EQ(std::string(master->ClassName()), "SPIRO_PreviewMasterView");
    // Along the bottom, whole: the view is 300 high, and so are the pane's controls.
    EXPECT_EQ(split.Frame().y, 300 - 23);
    EXPECT_EQ(split.Frame().height, 23);
    for (const char* name : {"zoomControl", "previewControl"}) {
        const AppKit::View& control = user.Find(name);
        EXPECT_LE(control.ConvertRectToWindow(control.Bounds()).y + control.Frame().height, 300) << name;
    }
    EXPECT_EQ(split.Frame().x, 0);
    EXPECT_EQ(user.Find("overlay").Frame().x, 22);
    EXPECT_EQ(user.Find("sourceOnly").Frame().x, 51);
    EXPECT_EQ(split.GetAutoresizingMask(), 12u);
    EXPECT_EQ(split.Image().Name(), "ViewTraceSeparate_16x16");
    user.Click("sourceOnly");
    EXPECT_FALSE(preview->PreprocessorFilter());
    EXPECT_FALSE(static_cast<const AppKit::Control&>(user.Find("split")).IsEnabled());
    EXPECT_FALSE(static_cast<const AppKit::Control&>(user.Find("overlay")).IsEnabled());
    user.Click("sourceOnly");
    EXPECT_TRUE(preview->PreprocessorFilter());
    EXPECT_TRUE(static_cast<const AppKit::Control&>(user.Find("split")).IsEnabled());
    EXPECT_EQ(preview->recreated.size(), 2u);
}

TEST_F(MasterView, SplitStacksTheTraces)
{
    preview->Pane()->AddRecordDrawer(0, 0,
                                     KVD::COMPtr<IOrrelRecordDrawer>(new PolyLineTraceDrawer(
                                         0x1000, TChannelId{0, TraceTest::kUnits}, kScaleLeft, nullptr, kNoChannel, 0,
                                         0x201, 1)),
                                     0);
    preview->Pane()->SetRecordData(0, data.data.get(), nullptr);
    preview->Pane()->OnPrePaint();
    AppKit::UserDriver user(*window);
    user.Click("overlay");
    const ChannelYDataRange left = preview->GetY(kSideLeft);
    user.Click("split");
    EXPECT_DOUBLE_EQ(preview->GetY(kSideLeft).bottom, left.bottom - (left.top - left.bottom));
}

}  // namespace

#include "ISettingsRegistrar.h"
#include "framework/SRKey.h"
#include "host/document/DataDocument.h"
#include "trace/OrrelColours.h"

namespace {

// Set up over a host document: the recording hardware comes through the document, the
// graticule from the document's settings.
class PreviewOverDocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppKit::RunLoop::Main().UseVirtualClock(true);
        window = std::make_unique<AppKit::Window>(AppKit::Rect{0, 0, 700, 300}, "Preview");
        view = &SPIRO_DataPaneView::Create(window->ContentView());
    }
    void TearDown() override
    {
        preview.reset();
        doc.Close();
        AppKit::RunLoop::Main().UseVirtualClock(false);
    }
    void Init()
    {
        preview->Init(doc.AutoDocument(), &doc.Data(), view, PaneFlag::kLeftScale, 0);
    }

    Host::DataDocument doc{TraceTest::MakeRecording({5000})};
    std::unique_ptr<AppKit::Window> window;
    SPIRO_DataPaneView* view = nullptr;
    std::unique_ptr<Preview> preview = std::make_unique<Preview>();
};

TEST_F(PreviewOverDocument, TheDocumentsDeviceMakesMonitoringPossible)
{
    KVD::COMPtr<Host::SimulatedDeviceManager> manager = Host::Adopt(Host::SimulatedDeviceManager::Create(
        std::make_shared<Host::BreathingSource>(Host::SyntheticOptions{}, 1)));
    doc.Document().SetDeviceManager(manager.get());
    Init();
    EXPECT_EQ(preview->Document(), doc.AutoDocument());
    EXPECT_EQ(preview->RecordData(), static_cast<IRecordData*>(&doc.Data()));
    ASSERT_NE(preview->Pane()->GetPreviewControl(), nullptr);
    EXPECT_TRUE(preview->Pane()->GetPreviewControl()->IsEnabled());
    preview->Pane()->DoMonitor();
    EXPECT_EQ(preview->Pane()->GetPreviewMode(), kPreviewMonitor);
    EXPECT_TRUE(manager->IsSampling());
}

// The black texts written at the top of a pane right of the scales when the window is drawn:
// the time labels (the scales' labels lie left of the data, the record number is blue).
std::vector<std::string> TimeLabels(AppKit::Window& window)
{
    TraceTest::Recorded drawn(700, 300);
    window.ContentView().Display(drawn.context);
    std::vector<std::string> labels;
    for (const std::string& call : drawn.Matching("DrawText(")) {
        double x = 0, y = 0;
        char text[64] = {};
        if (std::sscanf(call.c_str(), "DrawText(%lf, %lf, \"%63[^\"]", &x, &y, text) == 3 && x > 0 && y < 5 &&
            call.find("rgba(0, 0, 0, 1)") != std::string::npos && call.find(":1") == std::string::npos)
            labels.push_back(text);
    }
    return labels;
}

TEST_F(PreviewOverDocument, MonitoredDataHasItsTimesUnderIt)
{
    KVD::COMPtr<Host::SimulatedDeviceManager> manager = Host::Adopt(Host::SimulatedDeviceManager::Create(
        std::make_shared<Host::BreathingSource>(Host::SyntheticOptions{}, 1)));
    doc.Document().SetDeviceManager(manager.get());
    Init();
    // The document's 5 s record at 1 kHz and 10 ticks a pixel: a label every second from 0.
    const std::vector<std::string> seconds{"0", "1", "2", "3", "4"};
    EXPECT_EQ(TimeLabels(*window), seconds);
    preview->Pane()->DoMonitor();
    ASSERT_TRUE(manager->IsSampling());
    AppKit::RunLoop::Main().Advance(5.5);
    // Counted from the monitoring's start, whatever the labels drawn before.
    EXPECT_EQ(TimeLabels(*window), (std::vector<std::string>{"0", "1", "2", "3", "4", "5"}));
}

TEST_F(PreviewOverDocument, MonitoredDataHasItsUnitsOnTheScale)
{
    KVD::COMPtr<Host::SimulatedDeviceManager> manager = Host::Adopt(Host::SimulatedDeviceManager::Create(
        std::make_shared<Host::BreathingSource>(Host::SyntheticOptions{}, 1)));
    doc.Document().SetDeviceManager(manager.get());
    Init();
    preview->Pane()->AddRecordDrawer(0, 0,
                                     KVD::COMPtr<IOrrelRecordDrawer>(new PolyLineTraceDrawer(
                                         0x1000, TChannelId{0, TraceTest::kUnits}, kScaleLeft, nullptr, kNoChannel,
                                         0, 0x201, 1)),
                                     0);
    preview->Pane()->OnPrePaint();
    const ChannelPane& channel = preview->Pane()->GetChannelPane(0);
    ASSERT_TRUE(channel.LeftUnitsFound());
    // The monitoring record has no record to name units by until sampling starts one.
    preview->Pane()->DoMonitor();
    ASSERT_TRUE(manager->IsSampling());
    AppKit::RunLoop::Main().Advance(1.0);
    EXPECT_TRUE(channel.LeftUnitsFound());
    KVD::String units;
    ASSERT_EQ(channel.ScaleOf(kScaleLeft)->GetUnitsText(KVD::String::Setter(units)), KVD_S_OK);
    EXPECT_EQ(units, KVD::String(L"V"));
}

TEST_F(PreviewOverDocument, WithoutADeviceThePreviewOnlyShowsTheDocument)
{
    Init();
    EXPECT_FALSE(preview->Pane()->GetPreviewControl()->IsEnabled());
    preview->Pane()->DoMonitor();
    EXPECT_EQ(preview->Pane()->GetPreviewMode(), kPreviewDocument);
    // The defaults: a white graticule that is shown.
    EXPECT_TRUE(preview->GraticuleFlag());
    EXPECT_EQ(preview->GraticuleColour().Rgb(), 0xFFFFFFu);
}

TEST_F(PreviewOverDocument, TheGraticuleComesFromTheDocumentsSettings)
{
    ISettingsRegistrar* registrar = doc.Document().GetRegistrar();
    const uint32_t colourIndex = 3, style = 0x42, shown = 0;
    registrar->SetValue(SRKey(0x800C000A, nullptr).GetKey(), &colourIndex, sizeof colourIndex);
    registrar->SetValue(SRKey(0x800C000E, nullptr).GetKey(), &style, sizeof style);
    registrar->SetValue(SRKey(0x800C0009, nullptr).GetKey(), &shown, sizeof shown);
    Init();
    EXPECT_FALSE(preview->GraticuleFlag());
    EXPECT_EQ(preview->GraticuleStyle(), 0x42u);
    const uint32_t rgb = OrrelColours::GetGraticuleColour(nullptr, 3);
    EXPECT_EQ(preview->GraticuleColour().Rgb(), rgb);
    EXPECT_NE(rgb, 0xFFFFFFu);
}

}  // namespace
