// Printing and copying the data view with in-process pages: the page layout's figures, the
// job's life from the two requests to its end (observers back to none), print and copy
// results, answers of another kind, an SVG the reader refuses and a missing web view.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "DataViewHost.h"
#include "foundation/ClassObjectAccessor.h"
#include "appkit/Pasteboard.h"
#include "appkit/PrintView.h"
#include "appkit/RunLoop.h"
#include "graphics/RecordingContext.h"
#include "plot/LumoIds.h"
#include "support/TempFolder.h"
#include "views/AnnotationView.h"
#include "views/SpiroDataPrintJob.h"
#include "views/SpiroDataWindow.h"

using namespace ViewsTest;

namespace {

const char* const kSvg =
    "<svg xmlns='http://www.w3.org/2000/svg' width='400' height='300'>"
    "<rect x='0' y='0' width='200' height='300' style='fill:#ff0000'/></svg>";

int Count(const std::vector<std::string>& calls, const std::string& part)
{
    return int(std::count_if(calls.begin(), calls.end(),
                             [&](const std::string& call) { return call.find(part) != std::string::npos; }));
}

class DataPrintTest : public DataViewHost {
protected:
    void SetUp() override
    {
        DataViewHost::SetUp();
        mSaved = AppKit::PrintInfo::Shared();
        AppKit::PrintInfo::Shared().savingPath = (mFolder.Path() / "data.pdf").string();
    }
    void TearDown() override
    {
        AppKit::PrintInfo::Shared() = mSaved;
        DataViewHost::TearDown();
    }
    void OpenWithMapping()
    {
        OpenDataView();
        for (Web::InProcessPage* page : mPages) {
            page->SetAnswer("lumo.get_plot('local').get_x_scaling().get_offset()", Web::Value::Number(3));
            page->SetAnswer("lumo.get_plot('local').get_x_scaling().get_scaling()", Web::Value::Number(30));
            page->SetAnswer("lumo.get_plot('local').get_y_scaling().get_offset()", Web::Value::Number(4));
            page->SetAnswer("lumo.get_plot('local').get_y_scaling().get_scaling()", Web::Value::Number(-20));
        }
    }
    // The page answers the job's request for the plot's SVG.
    static void Answer(KVD::LumoPlotMac& plot, const wchar_t* kind, const std::string& svg)
    {
        plot.GetLumoProxy()->SetSVG(KVD::String(L"local"), KVD::String(kind), KVD::ToKVDString(svg));
    }
    static uint32_t Observers(KVD::LumoPlotMac& plot)
    {
        ICAFEventMap* map = COMClassObjectAccessor<ICAFEventMap, &CLSID_CAFFrameWork>::Get();
        uint32_t count = 0;
        if (map != nullptr)
            map->GetObserverCount(plot.GetSubject(), KVD::LumoEventId<KVD::kLumoSetSVG>::GetId(), &count);
        return count;
    }
    std::vector<std::string> DrawPage(const std::string& flowSvg, const std::string& volumeSvg, bool copying,
                                      AppKit::Rect flowRect = {0, 0, 800, 299}, AppKit::Rect volumeRect = {0, 0, 800, 299})
    {
        SpiroDataPrintView page(mView, KVD::ToKVDString(flowSvg), KVD::ToKVDString(volumeSvg), flowRect, volumeRect);
        page.SetIsCopying(copying);
        page.SetFrame({0, 0, 800, 604});
        Gfx::RecordingContext context(Gfx::Size{800, 604});
        page.DrawSelf(context);
        return context.Calls();
    }

    TestSupport::TempFolder mFolder;

private:
    AppKit::PrintInfo mSaved;
};

TEST(DataPrintLayout, PlotsKeepTheirProportionsCentredOnThePage)
{
    using Layout = SpiroDataPrintView::Layout;
    const struct {
        Gfx::Size page;
        AppKit::Rect flow, volume;
        float scale;
        Gfx::Point flowAt, volumeAt;
    } table[] = {
        // Unequal widths: the wider one sets the scale, each is centred on its own.
        {{500, 800}, {0, 0, 400, 200}, {0, 0, 300, 200}, 1.25f, {0, 150}, {62.5, 400}},
        // A narrow page scales both down alike; the pair is centred vertically.
        {{200, 800}, {0, 0, 400, 200}, {0, 0, 300, 200}, 0.5f, {0, 300}, {25, 400}},
        // A tall pair on a wide page: the height sets the scale.
        {{1000, 400}, {0, 0, 400, 200}, {0, 0, 400, 200}, 1.0f, {300, 0}, {300, 200}},
    };
    for (const auto& row : table) {
        Layout layout;
        ASSERT_TRUE(SpiroDataPrintView::LayOut(row.page, row.flow, row.volume, layout));
        EXPECT_FLOAT_EQ(layout.scale, row.scale);
        EXPECT_DOUBLE_EQ(layout.flow.x, row.flowAt.x);
        EXPECT_DOUBLE_EQ(layout.flow.y, row.flowAt.y);
        EXPECT_DOUBLE_EQ(layout.volume.x, row.volumeAt.x);
        EXPECT_DOUBLE_EQ(layout.volume.y, row.volumeAt.y);
    }
    // A missing web view: nothing to lay out rather than a division by zero.
    Layout layout;
    EXPECT_FALSE(SpiroDataPrintView::LayOut({500, 800}, {}, {}, layout));
}

TEST_F(DataPrintTest, TheJobPrintsOnceBothPagesAnsweredAndThenEnds)
{
    OpenWithMapping();
    const uint32_t before1 = Observers(mView->GetPlot1()), before2 = Observers(mView->GetPlot2());
    mView->DoViewPrint();
    EXPECT_EQ(Observers(mView->GetPlot1()), before1 + 1);
    EXPECT_EQ(Observers(mView->GetPlot2()), before2 + 1);
    // Both pages were asked for their print SVG, the flow page first.
    EXPECT_NE(mPages[0]->Scripts().back().find("'print'"), std::string::npos) << mPages[0]->Scripts().back();
    EXPECT_NE(mPages[1]->Scripts().back().find("'print'"), std::string::npos);
    Answer(mView->GetPlot1(), L"copy", kSvg);  // another kind: ignored
    Answer(mView->GetPlot1(), L"print", kSvg);
    EXPECT_FALSE(std::filesystem::exists(AppKit::PrintInfo::Shared().savingPath));
    Answer(mView->GetPlot2(), L"print", kSvg);
    ASSERT_TRUE(std::filesystem::exists(AppKit::PrintInfo::Shared().savingPath));
    std::ifstream in(AppKit::PrintInfo::Shared().savingPath, std::ios::binary);
    const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(pdf.compare(0, 5, "%PDF-"), 0);
    EXPECT_EQ(Observers(mView->GetPlot1()), before1);
    EXPECT_EQ(Observers(mView->GetPlot2()), before2);
}

// A page that never answers does not hold the job and both plots' subjects for good: after
// the page layer's script wait the job gives up, leaves both, and a late answer prints nothing.
TEST_F(DataPrintTest, AJobWhosePagesDoNotAnswerGivesUpAndLeavesBothPlots)
{
    OpenWithMapping();
    AppKit::RunLoop& loop = AppKit::RunLoop::Main();
    loop.UseVirtualClock(true);
    const uint32_t before1 = Observers(mView->GetPlot1()), before2 = Observers(mView->GetPlot2());
    mView->DoViewPrint();
    Answer(mView->GetPlot1(), L"print", kSvg);
    loop.Advance(Spirometry::SpiroDataViewPrintJob::kAnswerSeconds - 0.5);
    EXPECT_EQ(Observers(mView->GetPlot1()), before1 + 1);
    EXPECT_EQ(Observers(mView->GetPlot2()), before2 + 1);
    loop.Advance(1);
    EXPECT_EQ(Observers(mView->GetPlot1()), before1);
    EXPECT_EQ(Observers(mView->GetPlot2()), before2);
    Answer(mView->GetPlot2(), L"print", kSvg);
    EXPECT_FALSE(std::filesystem::exists(AppKit::PrintInfo::Shared().savingPath));
    loop.UseVirtualClock(false);
}

TEST_F(DataPrintTest, TheCopyIsThePasteboardsPdf)
{
    OpenWithMapping();
    AppKit::Pasteboard::General().Clear();
    mView->DoViewCopy();
    Answer(mView->GetPlot1(), L"print", kSvg);
    EXPECT_FALSE(AppKit::Pasteboard::General().Has(AppKit::Pasteboard::kPdfType));
    Answer(mView->GetPlot2(), L"print", kSvg);
    EXPECT_TRUE(AppKit::Pasteboard::General().Has(AppKit::Pasteboard::kPdfType));
    EXPECT_FALSE(std::filesystem::exists(AppKit::PrintInfo::Shared().savingPath));
}

// Both plots with their overlays; an SVG the reader refuses leaves its plot and overlay out.
TEST_F(DataPrintTest, APlotTheReaderRefusesIsLeftOutWithItsOverlay)
{
    OpenWithMapping();
    const auto both = DrawPage(kSvg, kSvg, true);
    EXPECT_EQ(Count(both, "rgba(1, 0, 0, 1)"), 2) << testing::PrintToString(both);
    EXPECT_EQ(Count(both, "\"PEF\""), 1);
    EXPECT_EQ(Count(both, "\"FVC\""), 1);
    const auto noFlow = DrawPage("<svg width=", kSvg, true);
    EXPECT_EQ(Count(noFlow, "rgba(1, 0, 0, 1)"), 1);
    EXPECT_EQ(Count(noFlow, "\"PEF\""), 0);
    EXPECT_EQ(Count(noFlow, "\"FVC\""), 1);
    EXPECT_TRUE(DrawPage("", kSvg, true).empty());
    EXPECT_TRUE(DrawPage(kSvg, kSvg, true, {}, {}).empty());
}

// The print overlays sit on the plots' data areas at the page's scale: 800 x 598 of plots on
// 800 x 604, scale 1, the flow area 75 in and 20 down.
TEST_F(DataPrintTest, OverlaysFollowTheirPlotsOnThePage)
{
    OpenWithMapping();
    DrawPage(kSvg, kSvg, true);
    const Spirometry::SpiroGraphMac& graph = *mView->GetDataWindow()->FlowAnnotation()->Graph();
    EXPECT_DOUBLE_EQ(graph.ScalingX().factor, 1.0 / 30);
    EXPECT_DOUBLE_EQ(graph.ScalingY().factor, -1.0 / 20);
    const auto calls = DrawPage(kSvg, kSvg, true);
    // The zero line of the flow overlay: 4 L at the top, 20 pixels a litre, from y = 3 + 20.
    EXPECT_EQ(Count(calls, "MoveTo(75, 103)"), 1) << testing::PrintToString(calls);
}

}  // namespace

namespace {

// The pages draw in millilitres or microlitres: the printed overlay's zero line stays where the
// page's axis has zero, and its PEF tick where the page's axis has the PEF.
TEST_F(DataPrintTest, PrintedOverlaysInMillilitresAndMicrolitres)
{
    OpenWithMapping();
    for (const auto& [prefix, factor] : {std::pair<int, double>{7, 1e3}, std::pair<int, double>{6, 1e6}}) {
        SetFlowUnitPrefix(prefix);
        for (Web::InProcessPage* page : mPages) {
            page->SetAnswer("lumo.get_plot('local').get_y_scaling().get_offset()", Web::Value::Number(4 * factor));
            page->SetAnswer("lumo.get_plot('local').get_y_scaling().get_scaling()", Web::Value::Number(-20 / factor));
        }
        const auto calls = DrawPage(kSvg, kSvg, true);
        EXPECT_EQ(Count(calls, "MoveTo(75, 103)"), 1) << prefix << testing::PrintToString(calls);
        const Spirometry::SpiroGraphMac& graph = *mView->GetDataWindow()->FlowAnnotation()->Graph();
        // 2.5 L/s shown as 2500 mL/s: 1.5 L/s under the top, 30 pixels.
        EXPECT_NEAR(graph.ValueToPix(2.5), 30.0, 1e-9) << prefix;
    }
}

}  // namespace

namespace {

// The job is asked for either of its handler faces by the host's event machinery.
TEST_F(DataPrintTest, TheJobAnswersAsObserverAndAsCommandHandler)
{
    OpenDataView();
    auto* job = new Spirometry::SpiroDataViewPrintJob(mView, mView->GetPlotId1(), mView->GetPlotId2(),
                                                      mView->GetViewName(), false);
    job->AddRef();
    {
        KVD::COMPtr<ICAFCommandHandler> handler;
        EXPECT_EQ(job->QueryInterface(IID_ICAFCommandHandler, handler.Set()), KVD_S_OK);
        EXPECT_EQ(handler.get(), static_cast<ICAFCommandHandler*>(job));
        KVD::COMPtr<IObserver> observer;
        EXPECT_EQ(job->QueryInterface(IID_IObserver, observer.Set()), KVD_S_OK);
        EXPECT_EQ(observer.get(), static_cast<IObserver*>(job));
    }
    job->Release();
}

}  // namespace
