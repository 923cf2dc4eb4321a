// The host's window-controller and print-view bases of the appkit stand-in.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "appkit/DocViewWindowControllerBase.h"
#include "appkit/PrintView.h"

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

}  // namespace
