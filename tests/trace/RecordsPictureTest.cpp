// A data pane of three records as a user sees it in its window: where each record starts, its
// time scale shows the record's first time label whole and the record's number beside it, not
// over it; no label is cut by the pane's edges; milliseconds say so at the right. Written to
// PNG for a person to look at and probed here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "TraceFixture.h"
#include "appkit/Window.h"
#include "foundation/draw/DrawFactories.h"
#include "foundation/units/TimeDisplayMode.h"
#include "graphics/Canvas.h"
#include "trace/DataPaneView.h"
#include "trace/DataWinPane.h"
#include "trace/GraticuleDrawer.h"
#include "trace/PolyLineTraceDrawer.h"

using namespace OrrelDraw;

namespace {

class RecordsPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<AppKit::Window>(AppKit::Rect{0, 0, 700, 300}, "Records");
        view = &SPIRO_DataPaneView::Create(window->ContentView());
        pane = new DataWinPane(view, nullptr, PaneFlag::kLeftScale, 0, 0, 0);
        pane->SetNumberOfChannelPanes(2);
        view->SetPreviewPane(pane);
        const TColor colours[] = {TColor(0xD5D5, 0, 0), TColor(0, 0x4040, 0xFFFF)};
        for (int i = 0; i < 2; ++i) {
            pane->AddRecordDrawer(i, 0,
                                  KVD::COMPtr<IOrrelRecordDrawer>(new GraticuleDrawer(
                                      0x1000, TChannelId{i, TraceTest::kUnits}, kScaleLeft, 0,
                                      TColor(0x8A8A, 0x8A8A, 0x8A8A), false)),
                                  0);
            pane->AddRecordDrawer(i, 0,
                                  KVD::COMPtr<IOrrelRecordDrawer>(new PolyLineTraceDrawer(
                                      0x1000, TChannelId{i, TraceTest::kUnits}, 1, &colours[i], kNoChannel, 0,
                                      0x201, 1)),
                                  0);
        }
        pane->SetRecordData(0, data.data, nullptr);
        pane->OnZoomX(TicksPerPix(20, 1), nullptr, false);
        pane->OnPrePaint();
        pane->SetScalesBoundary(TRect(0, 0, 700, 300));
        view->ResetSizeAndPos();
    }
    void TearDown() override
    {
        view->SetPreviewPane(nullptr);
        pane->OnCleanupWindow();
        pane.Clear();
        window.reset();
    }

    Gfx::Image Draw(const std::string& name)
    {
        auto canvas = Gfx::Canvas::CreateImage(700, 300);
        window->ContentView().Display(canvas->GetContext());
        Gfx::Image image = canvas->Snapshot();
        if (const char* dir = std::getenv("SPIRO_PICTURES"))
            image.WritePNG(std::string(dir) + "/" + name);
        return image;
    }

    // Records of 4 s, 3 s and 5 s at 1 kHz.
    TraceTest::TraceData data{TraceTest::MakeRecording({4000, 3000, 5000})};
    std::unique_ptr<AppKit::Window> window;
    SPIRO_DataPaneView* view = nullptr;
    KVD::COMPtr<DataWinPane> pane;
};

struct Rgb {
    int r, g, b, a;
};

Rgb At(const Gfx::Image& image, int x, int y)
{
    const uint32_t argb = image.Pixel(x, y);
    return {int(argb >> 16 & 0xFF), int(argb >> 8 & 0xFF), int(argb & 0xFF), int(argb >> 24)};
}

// The first and last column of [from, to) with a pixel of the kind in the rows; {-1, -1}: none.
template <class Kind>
std::pair<int, int> Ink(const Gfx::Image& image, int top, int bottom, int from, int to, Kind kind)
{
    std::pair<int, int> ink{-1, -1};
    for (int y = top; y < bottom; ++y)
        for (int x = std::max(from, 0); x < std::min(to, image.Width()); ++x)
            if (kind(At(image, x, y))) {
                ink.first = ink.first < 0 ? x : std::min(ink.first, x);
                ink.second = std::max(ink.second, x);
            }
    return ink;
}

// Black text, antialiased on white; columns left unpainted are transparent.
bool Black(Rgb p) { return p.a > 128 && p.b < 100; }
bool Blue(Rgb p) { return p.a > 128 && p.b - p.r > 60 && p.b - p.g > 60; }  // the record numbers' dark blue

class RecordsPictureProbe : public RecordsPicture {
protected:
    // The window's column of a record's first pixel column.
    int RecordStartX(int record) const
    {
        int64_t first = 0, end = 0;
        pane->GetRecordPixMap()->GetRecordPixels(record, &first, &end);
        return int(view->Frame().x) + pane->GetDataLeft() + int(first - pane->GetLeftColumn());
    }
    // The rows of the time labels and the columns of the time scale.
    TRect LabelRows() const
    {
        const TRect r = pane->GetTimeScale().GetPaneRect();
        const int x0 = int(view->Frame().x);
        return TRect(x0 + r.left, r.top + 2, x0 + r.right, r.bottom);
    }
    // The ink width of "0" in the time scale's font.
    int ZeroWidth() const
    {
        auto alone = Gfx::Canvas::CreateImage(40, 30);
        alone->GetContext().SetFillColor({1, 1, 1, 1});
        alone->GetContext().FillRect({0, 0, 40, 30});
        auto dc = CreateTDC(&alone->GetContext(), true);
        dc->SelectObject(*gCreateDefaultScaleLabelScreenFont());
        dc->TextOut(10, 5, L"0", -1);
        const auto ink = Ink(alone->Snapshot(), 0, 30, 0, 40, Black);
        return ink.second - ink.first + 1;
    }
};

TEST_F(RecordsPictureProbe, EachRecordStartShowsItsFirstTimeLabelWholeAndItsNumberBesideIt)
{
    const Gfx::Image image = Draw("data-pane-records.png");
    const TRect rows = LabelRows();
    const int zero = ZeroWidth();
    ASSERT_GT(zero, 2);
    for (int record = 0; record < 3; ++record) {
        const int start = RecordStartX(record);
        ASSERT_GT(start, rows.left);
        // Nothing of the "0" reaches back over the record before (or the empty columns).
        EXPECT_EQ(Ink(image, rows.top, rows.bottom, start - 6, start, Black).first, -1) << record;
        const auto label = Ink(image, rows.top, rows.bottom, start, start + 8 + zero, Black);
        EXPECT_GE(label.second - label.first + 1, zero) << record;  // whole
        // The number, in blue, right of the label.
        const auto number = Ink(image, rows.top - 2, rows.bottom, start, start + 40, Blue);
        ASSERT_GE(number.first, 0) << record;
        EXPECT_GT(number.first, label.second) << record;
        EXPECT_EQ(Ink(image, rows.top, rows.bottom, number.first, number.second + 1, Black).first, -1) << record;
    }
}

TEST_F(RecordsPictureProbe, ALineInTheGapBeforeEachLaterRecordMarksWhereItStarts)
{
    const Gfx::Image image = Draw("data-pane-records.png");
    // The boundaries' dark blue, not the second trace's bright blue.
    auto boundary = [](Rgb p) { return p.a > 128 && p.r < 40 && p.g < 40 && p.b > 90 && p.b < 170; };
    const int x0 = int(view->Frame().x);
    for (int pane = 0; pane < 2; ++pane) {
        const TRect r = this->pane->GetChannelPane(pane).GetPaneRect();
        for (int record = 0; record < 3; ++record) {
            const int start = RecordStartX(record);
            const auto line = Ink(image, r.top + 8, r.bottom - 8, start - 8, start + 2, boundary);
            if (record == 0) {
                EXPECT_EQ(line.first, -1) << pane;
                continue;
            }
            // Three columns wide, ending two columns before the record's first.
            EXPECT_EQ(line.first, start - 4) << pane << " " << record;
            EXPECT_EQ(line.second, start - 2) << pane << " " << record;
            // Down the pane, short of its top and bottom.
            int rows = 0;
            for (int y = r.top; y < r.bottom; ++y)
                rows += boundary(At(image, start - 3, y));
            EXPECT_GT(rows, r.Height() - 12) << pane << " " << record;
            EXPECT_FALSE(boundary(At(image, start - 3, r.top + 1))) << pane << " " << record;
            EXPECT_FALSE(boundary(At(image, start - 3, r.bottom - 2))) << pane << " " << record;
        }
        // Nowhere else.
        EXPECT_EQ(Ink(image, r.top, r.bottom, x0 + r.left, RecordStartX(1) - 8, boundary).first, -1) << pane;
    }
}

TEST_F(RecordsPictureProbe, NoTimeLabelIsCutByThePanesEdges)
{
    // At 10 ticks a pixel the second record starts 2 pixels left of the pane's left edge,
    // where its "0" would be cut in half.
    pane->OnZoomX(TicksPerPix(10, 1), nullptr, false);
    KVDPosition at{};
    int64_t first = 0, end = 0;
    pane->GetRecordPixMap()->GetRecordPixels(1, &first, &end);
    ASSERT_EQ(pane->GetRecordPixMap()->PixelToPosition(first + 2, &at), KVD_S_OK);
    pane->SetLeftEdgePosition(at);
    Gfx::Image image = Draw("data-pane-records-left.png");
    TRect rows = LabelRows();
    EXPECT_EQ(Ink(image, rows.top, rows.bottom, rows.left, rows.left + 5, Black).first, -1);
    EXPECT_EQ(Ink(image, rows.top - 2, rows.bottom, rows.left, rows.left + 5, Blue).first, -1);  // nor its number

    // A label 2 s into the third record (200 pixels) 2 pixels left of the right edge.
    pane->GetRecordPixMap()->GetRecordPixels(2, &first, &end);
    ASSERT_EQ(pane->GetRecordPixMap()->PixelToPosition(first + 200 + 3 - pane->DataWidth(), &at), KVD_S_OK);
    pane->SetLeftEdgePosition(at);
    image = Draw("data-pane-records-right.png");
    rows = LabelRows();
    EXPECT_EQ(Ink(image, rows.top, rows.bottom, rows.right - 5, rows.right, Black).first, -1);
    // The label one interval before it shows.
    EXPECT_GE(Ink(image, rows.top, rows.bottom, rows.right - 110, rows.right - 90, Black).first, 0);
}

TEST_F(RecordsPictureProbe, MillisecondLabelsHaveTheirUnitWholeAtTheRightOfTheTimeScale)
{
    pane->SetTimeDisplayMode(CTimeDisplayMode::kOriginRelative | CTimeDisplayMode::kMilliSeconds);
    pane->OnZoomX(TicksPerPix(1, 1), nullptr, false);
    const Gfx::Image image = Draw("data-pane-milliseconds.png");
    const TRect rows = LabelRows();
    auto alone = Gfx::Canvas::CreateImage(80, 30);
    alone->GetContext().SetFillColor({1, 1, 1, 1});
    alone->GetContext().FillRect({0, 0, 80, 30});
    auto dc = CreateTDC(&alone->GetContext(), true);
    dc->SelectObject(*gCreateDefaultScaleLabelScreenFont());
    dc->TextOut(10, 5, L"(ms)", -1);
    const auto text = Ink(alone->Snapshot(), 0, 30, 0, 80, Black);
    ASSERT_GT(text.second - text.first, 10);
    // "(ms)" ends 2 pixels or so before the right edge, and no time label runs into it.
    const auto units = Ink(image, rows.top - 1, rows.bottom, rows.right - (text.second - text.first) - 12, rows.right,
                           Black);
    ASSERT_GE(units.first, 0);
    EXPECT_GE(units.second - units.first, text.second - text.first);
    EXPECT_LE(units.second - units.first, text.second - text.first + 1);
    EXPECT_GE(units.second, rows.right - 5);
}

}  // namespace
