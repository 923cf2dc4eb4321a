// Windows and views drawn through the graphics stand-in: to PNG, and as PDF for the pasteboard.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "appkit/Window.h"
#include "graphics/Canvas.h"
#include "graphics/Image.h"
#include "graphics/RecordingContext.h"

namespace {

using namespace AppKit;

std::unique_ptr<Window> SampleWindow()
{
    auto window = std::make_unique<Window>(Rect{0, 0, 240, 160}, "Breaths");
    View& content = window->ContentView();
    auto button = std::make_unique<Button>(Rect{150, 120, 80, 28});
    button->SetTitle("Print");
    content.AddSubview(std::move(button));
    auto label = std::make_unique<Label>(Rect{10, 120, 120, 28});
    label->SetText("3 breaths");
    content.AddSubview(std::move(label));
    auto table = std::make_unique<TableView>(Rect{10, 10, 220, 100});
    table->AddColumn({"n", "#", 40});
    table->AddColumn({"vt", "V_T (L)", 180});
    table->SetDataSource({[] { return size_t(3); },
                          [](size_t row, const std::string& col) {
                              return col == "n" ? std::to_string(row + 1) : std::string("0.5");
                          }});
    table->SelectRow(1);
    content.AddSubview(std::move(table));
    auto hidden = std::make_unique<View>(Rect{0, 0, 240, 160});
    hidden->SetHidden(true);
    content.AddSubview(std::move(hidden));
    return window;
}

TEST(AppKitDrawing, AWindowRendersToPng)
{
    const std::string path = ::testing::TempDir() + "window.png";
    auto window = SampleWindow();
    ASSERT_TRUE(window->RenderToPng(path));
    std::ifstream in(path, std::ios::binary);
    std::string header(8, '\0');
    in.read(&header[0], 8);
    EXPECT_EQ(header, "\x89PNG\r\n\x1a\n");
    // Width and height stand big-endian at bytes 16 and 20 of the IHDR chunk.
    unsigned char ihdr[8];
    in.seekg(16);
    in.read(reinterpret_cast<char*>(ihdr), 8);
    EXPECT_EQ((ihdr[2] << 8) | ihdr[3], 240);
    EXPECT_EQ((ihdr[6] << 8) | ihdr[7], 160);
}

TEST(AppKitDrawing, AViewGivesAPdfOfItsVisibleRect)
{
    auto window = SampleWindow();
    View& table = *window->ContentView().Subviews()[2];
    const std::string pdf = table.DataWithPDFInsideRect(table.VisibleRect());
    ASSERT_GT(pdf.size(), 100u);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    // The page has the rectangle's size: 220 x 100 points.
    EXPECT_NE(pdf.find("/MediaBox [ 0 0 220 100 ]"), std::string::npos);
    EXPECT_TRUE(window->ContentView().Subviews()[3]->VisibleRect().IsEmpty());
}

// Lays its text out on the first draw and keeps the layout for the next ones.
class CachingView : public View {
public:
    using View::View;
    void DrawSelf(Gfx::Context& c) override
    {
        if (mLayouts == 0 || mLaidOutWidth != Frame().width) {
            ++mLayouts;
            mLaidOutWidth = Frame().width;
        }
        c.FillRect({0, 0, mLaidOutWidth, 1});
    }
    int mLayouts = 0;
    double mLaidOutWidth = 0;
};

TEST(AppKitDrawing, AViewMayKeepCachesWhileDrawing)
{
    Window window(Rect{0, 0, 100, 50});
    auto& view = static_cast<CachingView&>(window.ContentView().AddSubview(std::make_unique<CachingView>(Rect{0, 0, 80, 20})));
    Gfx::RecordingContext c({100, 50});
    window.ContentView().Display(c);
    window.ContentView().Display(c);
    EXPECT_EQ(view.mLayouts, 1);
    view.SetFrame({0, 0, 60, 20});
    window.ContentView().Display(c);
    EXPECT_EQ(view.mLayouts, 2);
    EXPECT_EQ(view.mLaidOutWidth, 60);
}

// Fills a band left of itself, and moves right by its band's width just before it draws.
class MarginView : public View {
public:
    using View::View;
    void ViewWillDraw() override { SetFrame({margin, Frame().y, Frame().width, Frame().height}); }
    void DrawSelf(Gfx::Context& c) override
    {
        c.SetFillColor({0, 0, 1, 1});
        c.FillRect({-margin, 0, margin + Frame().width, Frame().height});
    }
    double margin = 10;
};

TEST(AppKitDrawing, AViewThatDoesNotClipPaintsBesideItselfWhereItWasLaidOutBeforeDrawing)
{
    Window window(Rect{0, 0, 100, 40});
    auto& view = static_cast<MarginView&>(
        window.ContentView().AddSubview(std::make_unique<MarginView>(Rect{0, 0, 50, 20})));
    auto blueAt = [&](int x, int y) {
        auto canvas = Gfx::Canvas::CreateImage(100, 40);
        window.ContentView().Display(canvas->GetContext());
        return (canvas->Snapshot().Pixel(x, y) & 0xFFFFFF) == 0x0000FF;
    };
    // Clipped: nothing left of the frame, which moved to x = 10 before the draw.
    EXPECT_FALSE(blueAt(5, 10));
    EXPECT_TRUE(blueAt(12, 10));
    EXPECT_FALSE(blueAt(61, 10));
    EXPECT_EQ(view.Frame().x, 10);
    view.SetClipsToBounds(false);
    EXPECT_TRUE(blueAt(5, 10));
    EXPECT_TRUE(blueAt(0, 19));
    EXPECT_FALSE(blueAt(5, 21));
}

}  // namespace
