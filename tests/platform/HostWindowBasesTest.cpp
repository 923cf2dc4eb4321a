// The host's window-controller and print-view bases of the appkit stand-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>

#include "appkit/DocViewWindowControllerBase.h"
#include "appkit/KVDDocViewPrintBase.h"
#include "appkit/PrintView.h"
#include "graphics/RecordingContext.h"

namespace {

using namespace AppKit;

// A controller with one outlet and one action, that counts what its window tells it.
struct DataWindowController : DocViewWindowControllerBase {
    using DocViewWindowControllerBase::DocViewWindowControllerBase;
    View* plot = nullptr;
    int moves = 0;
    bool allowClose = false;
    int closeAsked = 0;
    bool SetOutlet(const std::string& name, View* view) override
    {
        return name == "plot" ? (plot = view, true) : false;
    }
    void WindowDidMoveOrResize(Window&) override { ++moves; }
    bool WindowShouldClose(Window&) override { return ++closeAsked, allowClose; }
};

std::string LayoutFolder()
{
    const std::string folder = ::testing::TempDir();
    std::ofstream(LayoutPath(folder, "DataWindow")) << "<window title=\"Data\" x=\"100\" y=\"50\" width=\"300\" "
                                                       "height=\"200\"><view outlet=\"plot\" frame=\"0 0 300 200\"/></window>";
    return folder;
}

TEST(DocViewWindowController, LoadsItsWindowOnFirstUseAndReportsItsFrame)
{
    DataWindowController controller(LayoutFolder(), "DataWindow");
    EXPECT_FALSE(controller.IsWindowLoaded());
    Window& window = controller.GetWindow();
    EXPECT_TRUE(controller.IsWindowLoaded());
    EXPECT_EQ(window.Controller(), &controller);
    ASSERT_NE(controller.plot, nullptr);
    EXPECT_EQ(controller.moves, 0);

    const IntRect r = controller.GetOrzPosRect();
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.bottom, 250);
    controller.SetFrameFromOrzPosRect({10, 20, 410, 320});
    EXPECT_EQ(controller.moves, 1);
    EXPECT_EQ(window.Frame(), (Rect{10, 20, 400, 300}));
    controller.SetFrameFromOrzPosRect({10, 20, 10, 320});  // empty: ignored
    EXPECT_EQ(controller.moves, 1);
}

TEST(DocViewWindowController, TheCloseButtonAsksTheControllerFirst)
{
    DataWindowController controller(LayoutFolder(), "DataWindow");
    Window& window = controller.GetWindow();
    window.Show();
    controller.PerformClose();
    EXPECT_EQ(controller.closeAsked, 1);
    EXPECT_TRUE(window.IsVisible());
    controller.allowClose = true;
    controller.PerformClose();
    EXPECT_FALSE(window.IsVisible());
}

TEST(DocViewWindowController, AMissingLayoutIsALoadError)
{
    DataWindowController controller(LayoutFolder(), "NoSuchWindow");
    EXPECT_THROW(controller.GetWindow(), LayoutError);
}

// Three pages, each recording the page the print operation says it is on.
struct ThreePages : DocViewPrintBase {
    std::vector<int> seen;
    int PageCount(const PrintInfo&) override { return 3; }
    void DrawPage(Gfx::Context& c, int page) override
    {
        seen.push_back(PrintOperation::Current()->CurrentPage());
        c.SetFillColor({0, 0, 0, 1});
        c.FillRect({0, 0, 10.0 * (page + 1), 10});
    }
};

TEST(PrintOperation, DrawsEveryPageIntoOnePdf)
{
    ThreePages view;
    PrintOperation operation;
    const std::string path = ::testing::TempDir() + "three.pdf";
    ASSERT_TRUE(operation.RunToPdf(view, path));
    EXPECT_EQ(view.seen, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(PrintOperation::Current(), nullptr);
    std::ifstream in(path, std::ios::binary);
    const std::string pdf((std::istreambuf_iterator<char>(in)), {});
    const std::regex page("/Type /Page[^s]");
    EXPECT_EQ(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()), 3);
    EXPECT_FALSE(operation.RunToPdf(view, "/nonexistent/dir/out.pdf"));
}

// Two pages whose content is a box as big as the page offers, with margins of its own.
struct TwoPageReport : KVDDocViewPrintBase {
    std::vector<Gfx::Size> offered;
    int PageCount(const PrintInfo&) override { return 2; }
    void DrawSelf(Gfx::Context& c) override
    {
        offered.push_back(AvailablePageSizeMinusHeaderAndFooter());
        c.FillRect({0, 0, offered.back().width, offered.back().height});
    }
};

TEST(DocViewPrintBase, ThePageComesFromTheSharedPrintInfo)
{
    PrintInfo& shared = PrintInfo::Shared();
    const PrintInfo saved = shared;
    TwoPageReport report;
    // A4 upright less the 36 point margins, less header and footer.
    Gfx::Size page = report.AvailablePageSizeMinusHeaderAndFooter();
    EXPECT_NEAR(page.width, 595.276 - 72, 1e-9);
    EXPECT_NEAR(page.height, 841.89 - 72 - KVDDocViewPrintBase::kHeaderHeight - KVDDocViewPrintBase::kFooterHeight, 1e-9);
    shared.orientation = PrintInfo::Orientation::Landscape;
    page = report.AvailablePageSizeMinusHeaderAndFooter();
    EXPECT_NEAR(page.width, 841.89 - 72, 1e-9);
    // Letter, as page setup may choose: the print info decides.
    shared.orientation = PrintInfo::Orientation::Portrait;
    shared.paperWidth = 612;
    shared.paperHeight = 792;
    shared.savingPath = ::testing::TempDir() + "report.pdf";
    ASSERT_TRUE(report.Print());
    ASSERT_EQ(report.offered.size(), 2u);
    EXPECT_DOUBLE_EQ(report.offered[0].width, 612 - 72);
    std::ifstream in(shared.savingPath, std::ios::binary);
    const std::string pdf((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(pdf.find("/MediaBox [ 0 0 612 792 ]"), std::string::npos);
    shared.savingPath.clear();
    EXPECT_FALSE(report.Print());  // nowhere to print to
    shared = saved;
}

TEST(DocViewPrintBase, HeaderAndFooterFrameTheContent)
{
    TwoPageReport report;
    report.SetJobTitle("Breath report");
    PrintInfo info;
    PrintOperation operation(info);
    PrintOperation::SetCurrent(&operation);
    Gfx::RecordingContext c({600, 850});
    report.DrawPage(c, 1);
    PrintOperation::SetCurrent(nullptr);
    const auto& calls = c.Calls();
    auto has = [&](const std::string& part) {
        return std::any_of(calls.begin(), calls.end(), [&](const std::string& call) { return call.find(part) != std::string::npos; });
    };
    EXPECT_TRUE(has("\"Breath report\""));
    EXPECT_TRUE(has("\"Page 2 of 2\""));  // counted by the view: the operation has not run
    // The content starts below the header.
    EXPECT_TRUE(has("Translate(0, 24)"));
}

// A page without side margins keeps its header and footer half an inch from the paper's sides;
// a page with the usual margins has them at its content's edges.
TEST(DocViewPrintBase, HeaderAndFooterKeepOffThePapersEdges)
{
    for (const double margin : {0.0, 36.0, 50.0}) {
        TwoPageReport report;
        report.SetJobTitle("Breath report");
        PrintInfo info;
        info.marginLeft = info.marginRight = margin;
        PrintOperation operation(info);
        PrintOperation::SetCurrent(&operation);
        Gfx::RecordingContext c({600, 850});
        report.DrawPage(c, 1);
        PrintOperation::SetCurrent(nullptr);
        const double inset = std::max(0.0, 36 - margin), width = 595.276 - 2 * margin;
        const auto& calls = c.Calls();
        auto has = [&](const std::string& part) {
            return std::any_of(calls.begin(), calls.end(),
                               [&](const std::string& call) { return call.find(part) != std::string::npos; });
        };
        char line[64];
        std::snprintf(line, sizeof line, "MoveTo(%g, 20)", inset);
        EXPECT_TRUE(has(line)) << margin << testing::PrintToString(calls);
        std::snprintf(line, sizeof line, "LineTo(%g, 20)", width - inset);
        EXPECT_TRUE(has(line)) << margin << testing::PrintToString(calls);
        std::snprintf(line, sizeof line, "DrawText(%g, ", inset);
        EXPECT_TRUE(has(std::string(line))) << margin << testing::PrintToString(calls);
    }
}

}  // namespace
