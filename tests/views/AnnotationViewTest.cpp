// The overlays of the data view on a recording context: the axis mapping read from the page,
// the marks of forced, excluded and normal breaths, an empty breath list, the snapping cursor
// and readout fed through the window's tracking areas, and the print mapping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "DataViewHost.h"
#include "appkit/TextField.h"
#include "appkit/Window.h"
#include "graphics/RecordingContext.h"
#include "spirometry/Breath.h"
#include "spirometry/ForcedExpiration.h"
#include "spirometry/SpiroMachine.h"
#include "views/AnnotationView.h"
#include "views/SpiroDataWindow.h"

using namespace ViewsTest;
using Spirometry::UserScaling;

namespace {

// The page's mapping: 30 pixels a second from 3 s; -20 pixels a litre from 4 L at the top.
constexpr double kXOffset = 3, kXScale = 30, kYOffset = 4, kYScale = -20;

AppKit::Event MouseAt(AppKit::EventType type, Gfx::Point at)
{
    AppKit::Event event;
    event.type = type;
    event.locationInWindow = at;
    return event;
}

int Count(const std::vector<std::string>& calls, const std::string& part)
{
    return int(std::count_if(calls.begin(), calls.end(),
                             [&](const std::string& call) { return call.find(part) != std::string::npos; }));
}

// The x of each vertical line drawn, one list per pen in the order the pens were chosen.
std::vector<std::vector<int>> VerticalLinesByPen(const std::vector<std::string>& calls)
{
    std::vector<std::vector<int>> lines;
    std::string pen;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (size_t i = 0; i + 1 < calls.size(); ++i) {
        if (calls[i].rfind("SetStrokeColor(", 0) == 0 && calls[i] != pen) {
            pen = calls[i];
            lines.emplace_back();
        }
        if (std::sscanf(calls[i].c_str(), "MoveTo(%lf, %lf)", &x0, &y0) == 2 &&
            std::sscanf(calls[i + 1].c_str(), "LineTo(%lf, %lf)", &x1, &y1) == 2 && x0 == x1 && y0 != y1 &&
            !lines.empty())
            lines.back().push_back(int(x0));
    }
    return lines;
}

class AnnotationViewTest : public DataViewHost {
protected:
    void OpenWithMapping()
    {
        OpenDataView();
        for (Web::InProcessPage* page : mPages) {
            page->SetAnswer("lumo.get_plot('local').get_x_scaling().get_offset()", Web::Value::Number(kXOffset));
            page->SetAnswer("lumo.get_plot('local').get_x_scaling().get_scaling()", Web::Value::Number(kXScale));
            page->SetAnswer("lumo.get_plot('local').get_y_scaling().get_offset()", Web::Value::Number(kYOffset));
            page->SetAnswer("lumo.get_plot('local').get_y_scaling().get_scaling()", Web::Value::Number(kYScale));
        }
    }
    SpiroDataWindow& Window() { return *mView->GetDataWindow(); }
    std::vector<std::string> Draw(AnnotationViewBase& overlay)
    {
        Gfx::RecordingContext context(Gfx::Size{overlay.Frame().width, overlay.Frame().height});
        overlay.DrawSelf(context);
        return context.Calls();
    }
    const Spirometry::BreathList& Breaths() { return mDoc->Machine().Breaths(); }
    void SetKinds(bool forced, bool excluded)
    {
        for (unsigned i = 0; i < Breaths().GetCount(); ++i)
            Breaths()[i]->forced = Breaths()[i]->excluded = false;
        Breaths()[2]->forced = forced;
        Breaths()[2]->excluded = excluded;
    }
};

TEST_F(AnnotationViewTest, MappingOfSecondsValuesAndPositions)
{
    Spirometry::SpiroGraphMac graph(mDoc);
    graph.SetScalingX(UserScaling{1.0 / 30, 3.0});
    graph.SetScalingY(UserScaling{-1.0 / 20, 4.0});
    EXPECT_EQ(graph.XPFor(KVDPosition{400, 0}), 30);
    EXPECT_EQ(graph.XPFor(KVDPosition{405, 0}), 31);  // 31.5 truncated
    EXPECT_DOUBLE_EQ(graph.PixToTime(15), 3.5);
    const KVDPosition pos = graph.PixToPos(30);
    EXPECT_EQ(pos.tick, 400u);
    EXPECT_EQ(pos.record, 0);
    EXPECT_EQ(graph.PixToPos(31.6).tick, 405u);  // 4.0533 s rounds to tick 405
    EXPECT_DOUBLE_EQ(graph.ValueToPix(2.0), 40.0);
    EXPECT_DOUBLE_EQ(graph.DataToPix(4.0), 0.0);
}

// The small recording's third breath is forced: PEF, PIF, FEV with "1 s" and FVC once each.
TEST_F(AnnotationViewTest, AForcedBreathGetsItsMarks)
{
    OpenWithMapping();
    const auto flow = Draw(*Window().FlowAnnotation());
    const auto volume = Draw(*Window().VolumeAnnotation());
    EXPECT_EQ(Count(flow, "\"PEF\""), 1);
    EXPECT_EQ(Count(flow, "\"PIF\""), 1);
    EXPECT_EQ(Count(volume, "\"FEV\""), 1);
    EXPECT_EQ(Count(volume, "\"1 s\""), 1);
    EXPECT_EQ(Count(volume, "\"FVC\""), 1);
    EXPECT_EQ(Count(volume, "\"1\""), 0);  // layout B has no subscript
    // The shading of the forced breath from its start; fills stay on whole pixels, half a
    // pixel back from the lines' offset.
    const Spirometry::Breath& forced = *Breaths()[2];
    ASSERT_TRUE(forced.forced);
    const int x0 = int((forced.start.tick / 100.0 - kXOffset) / (1.0 / kXScale));
    EXPECT_EQ(Count(flow, "FillRect(" + std::to_string(x0 - 1) + ".5, -0.5, "), 1) << testing::PrintToString(flow);
    // The PEF tick stands at the sample's value.
    float pef = 0;
    mDoc->DataAt(forced.peakNegativeFlowPos, &pef, nullptr, false);
    const int px = int((forced.peakNegativeFlowPos.tick / 100.0 - kXOffset) / (1.0 / kXScale));
    const int py = int((pef - kYOffset) / (1.0 / kYScale));
    EXPECT_EQ(Count(flow, "MoveTo(" + std::to_string(px) + ", " + std::to_string(py) + ")"), 1)
        << testing::PrintToString(flow);
}

TEST_F(AnnotationViewTest, AnExcludedBreathShowsPefWithoutPifAndTheSubscript)
{
    OpenWithMapping();
    SetKinds(false, true);
    const auto flow = Draw(*Window().FlowAnnotation());
    const auto volume = Draw(*Window().VolumeAnnotation());
    EXPECT_EQ(Count(flow, "\"PEF\""), 1);
    EXPECT_EQ(Count(flow, "\"PIF\""), 0);
    EXPECT_EQ(Count(volume, "\"FEV\""), 1);
    EXPECT_EQ(Count(volume, "\"1\""), 1);
    EXPECT_EQ(Count(volume, "\"FVC\""), 1);
}

// The data end inside the breath, and before one second after the FEV start: no FEV1 or
// one-second marks, FVC still.
TEST_F(AnnotationViewTest, AnFevStartWithinASecondOfTheRecordsEndKeepsOnlyFvc)
{
    OpenWithMapping();
    uint32_t ticks = 0;
    mData->Data().GetRecordTicks(0, &ticks);
    Breaths()[2]->maxVolumePos = KVDPosition{ticks - 50, 0};
    Breaths()[2]->end = KVDPosition{ticks, 0};
    const auto volume = Draw(*Window().VolumeAnnotation());
    EXPECT_EQ(Count(volume, "\"1 s\""), 0);
    EXPECT_EQ(Count(volume, "\"FEV\""), 0);
    EXPECT_EQ(Count(volume, "\"FVC\""), 1);
}

TEST_F(AnnotationViewTest, NormalBreathsGetBoundariesOnly)
{
    OpenWithMapping();
    SetKinds(false, false);
    const auto flow = Draw(*Window().FlowAnnotation());
    const auto volume = Draw(*Window().VolumeAnnotation());
    for (const char* text : {"\"PEF\"", "\"PIF\"", "FillRect"})
        EXPECT_EQ(Count(flow, text), 0) << text;
    for (const char* text : {"\"FEV\"", "\"FVC\"", "\"1 s\"", "FillRect"})
        EXPECT_EQ(Count(volume, text), 0) << text;
    // Two boundaries a breath, the zero line, and on the flow plot the reversal line. The
    // breaths follow each other: where one ends the next starts, and that column gets one line.
    const int breaths = int(Breaths().GetCount());
    for (int i = 1; i < breaths; ++i)
        ASSERT_EQ(Breaths()[i - 1]->end.tick, Breaths()[i]->start.tick) << i;
    EXPECT_EQ(Count(volume, "LineTo("), breaths + 1 + 1);
    EXPECT_EQ(Count(flow, "LineTo("), breaths + 1 + breaths + 1);
}

// Crowded breaths: a line closer than the gap (4) to the last one drawn of its kind is left out,
// a second line in a column too. At 30 pixels a second from 3 s, tick t stands at pixel
// (t / 100 - 3) x 30, truncated.
TEST_F(AnnotationViewTest, CrowdedBreathLinesAreThinnedToTheGap)
{
    OpenWithMapping();
    SetKinds(false, false);
    ASSERT_EQ(Breaths().GetCount(), 5u);
    // Boundaries at 30|33, 33|34, 34|39, 39|42, 42|90; reversals at 45, 46, 51, 51, 120.
    const uint32_t bounds[] = {400, 411, 414, 431, 441, 600}, reversals[] = {450, 456, 470, 471, 700};
    for (unsigned i = 0; i < 5; ++i) {
        Breaths()[i]->start = KVDPosition{bounds[i], 0};
        Breaths()[i]->end = KVDPosition{bounds[i + 1], 0};
        Breaths()[i]->reversalPos = KVDPosition{reversals[i], 0};
    }
    // 33 is 3 from 30; 34 is 4 from 30, the last drawn; 42 is 3 from 39.
    const std::vector<int> boundaries{30, 34, 39, 90};
    const auto flow = VerticalLinesByPen(Draw(*Window().FlowAnnotation()));
    ASSERT_EQ(flow.size(), 2u) << testing::PrintToString(flow);
    EXPECT_EQ(flow[0], boundaries);
    EXPECT_EQ(flow[1], (std::vector<int>{45, 51, 120}));
    const auto volume = VerticalLinesByPen(Draw(*Window().VolumeAnnotation()));
    ASSERT_EQ(volume.size(), 1u) << testing::PrintToString(volume);
    EXPECT_EQ(volume[0], boundaries);
}

// Without breaths the graph draws the zero line alone; the overlays draw nothing at all.
TEST_F(AnnotationViewTest, NoBreathsDrawOnlyTheZeroLineAndTheOverlaysNothing)
{
    Select(KVDPosition{20, 0}, KVDPosition{150, 0});
    OpenWithMapping();
    ASSERT_EQ(Breaths().GetCount(), 0u);
    EXPECT_TRUE(Draw(*Window().FlowAnnotation()).empty());
    Spirometry::SpiroVolumeGraphMac graph(mDoc);
    graph.SetScalingY(UserScaling{-1.0 / 20, 4.0});
    Gfx::RecordingContext context(Gfx::Size{100, 100});
    std::unique_ptr<TDC> dc = CreateTDC(&context, true);
    graph.DrawData(*dc, TRect(0, 0, 100, 100), TRect(0, 0, 100, 100));
    EXPECT_EQ(Count(context.Calls(), "LineTo("), 1);
    EXPECT_EQ(Count(context.Calls(), "LineTo(100, 80)"), 1) << testing::PrintToString(context.Calls());
}

// The mouse over the overlay: the cursor snaps to the sample under it, the readout shows it;
// leaving clears both.
TEST_F(AnnotationViewTest, TheCursorSnapsToTheTraceAndFeedsTheReadout)
{
    OpenWithMapping();
    AnnotationViewBase& overlay = *Window().FlowAnnotation();
    ASSERT_NE(overlay.TrackingAreaId(), 0);
    Draw(overlay);  // the mapping comes with a draw
    AppKit::Window& window = Window().GetWindow();
    window.SetAcceptsMouseMovedEvents(true);
    // Pixel 30 of the overlay is 4 s: tick 400.
    const Gfx::Point at = overlay.ConvertPointToWindow(Gfx::Point{30, 50});
    window.SendEvent(MouseAt(AppKit::EventType::MouseMoved, at));
    float flow = 0;
    mDoc->DataAt(KVDPosition{400, 0}, &flow, nullptr, false);
    EXPECT_DOUBLE_EQ(overlay.TracePos().x, 30 - 6);
    EXPECT_DOUBLE_EQ(overlay.TracePos().y, (flow - kYOffset) * kYScale - 6);
    const double value = flow, seconds = 4.0;
    EXPECT_EQ(Window().FlowReadout()->StringValue(), KVD::ToU8String(mView->ReadoutText(true, &value, &seconds)));
    EXPECT_NE(Window().FlowReadout()->StringValue().find("at 4.000 s ="), std::string::npos);
    overlay.MouseExited(MouseAt(AppKit::EventType::MouseExited, at));
    EXPECT_EQ(Window().FlowReadout()->StringValue(), "");
    EXPECT_LT(overlay.TracePos().x, 0);
}

// The pages draw in the settings' prefix while the document answers litres: on screen and in
// print the PEF tick stands where the litre mapping puts it, at 1000 and at 1000000 times the
// page's numbers.
TEST_F(AnnotationViewTest, MarksInMillilitresAndMicrolitresStayOnTheTrace)
{
    OpenWithMapping();
    const Spirometry::Breath& forced = *Breaths()[2];
    float pef = 0;
    mDoc->DataAt(forced.peakNegativeFlowPos, &pef, nullptr, false);
    const int px = int((forced.peakNegativeFlowPos.tick / 100.0 - kXOffset) / (1.0 / kXScale));
    const std::string tick = "MoveTo(" + std::to_string(px) + ", " + std::to_string(int((pef - kYOffset) * kYScale)) + ")";
    for (const auto& [prefix, factor] : {std::pair<int, double>{7, 1e3}, std::pair<int, double>{6, 1e6}}) {
        SetFlowUnitPrefix(prefix);
        ASSERT_TRUE(Breaths()[2]->forced);
        for (Web::InProcessPage* page : mPages) {
            page->SetAnswer("lumo.get_plot('local').get_y_scaling().get_offset()", Web::Value::Number(kYOffset * factor));
            page->SetAnswer("lumo.get_plot('local').get_y_scaling().get_scaling()", Web::Value::Number(kYScale / factor));
        }
        const auto flow = Draw(*Window().FlowAnnotation());
        EXPECT_EQ(Count(flow, tick), 1) << prefix << testing::PrintToString(flow);
        AnnotationViewBase& overlay = *Window().FlowAnnotation();
        Gfx::RecordingContext context(Gfx::Size{1000, 1000});
        overlay.PrintRect(context, TRect(0, 0, 500, 300), 2.0f);
        EXPECT_NEAR(overlay.Graph()->ValueToPix(pef), (pef - kYOffset) * kYScale * 2, 1e-3) << prefix;
    }
}

// Printed at scale 2 the page's pixels are twice as many; a missing page answer (0) keeps the
// last mapping rather than dividing by zero.
TEST_F(AnnotationViewTest, PrintMappingAndAPageWithoutAnswers)
{
    OpenWithMapping();
    AnnotationViewBase& overlay = *Window().VolumeAnnotation();
    Gfx::RecordingContext context(Gfx::Size{1000, 1000});
    overlay.PrintRect(context, TRect(100, 100, 600, 400), 2.0f);
    EXPECT_DOUBLE_EQ(overlay.Graph()->ScalingX().factor, 1.0 / 60);
    EXPECT_DOUBLE_EQ(overlay.Graph()->ScalingX().offset, 3.0);
    EXPECT_DOUBLE_EQ(overlay.Graph()->ScalingY().factor, -1.0 / 40);
    EXPECT_DOUBLE_EQ(overlay.Graph()->ScalingY().offset, 4.0);
    EXPECT_EQ(Count(context.Calls(), "\"FVC\""), 1);
    // Its labels at twice the screen's 11 points, as the printed plot's own texts are.
    EXPECT_EQ(Count(context.Calls(), "\"FVC\", 22,"), 1) << testing::PrintToString(context.Calls());
    mPages[1]->SetAnswer("lumo.get_plot('local').get_x_scaling().get_scaling()", Web::Value::Number(0));
    overlay.PrintRect(context, TRect(100, 100, 600, 400), 1.0f);
    EXPECT_DOUBLE_EQ(overlay.Graph()->ScalingX().factor, 1.0 / 60);
    // The screen keeps the standard size after a print.
    EXPECT_EQ(Count(Draw(overlay), "\"FVC\", 11,"), 1);
}

// A forced breath held a second at full inspiration, and one breathed out in 0.6 s and at once
// followed by a deep inspiration, among quiet ones.
class AnnotationViewOfForcedBreaths : public AnnotationViewTest {
protected:
    std::shared_ptr<const Host::Recording> Breathing() const override
    {
        TestSupport::FlowScript script;
        script.MidTick().Rest(1).Quiet(3).Inspire(2.0, 3.5).Rest(1.0);
        mBlast = uint32_t(script.Ticks(100));
        script.ExpireExponential(5.0, 3.5, 0.5).Quiet(3).Inspire(2.0, 3.0).Expire(0.6, 3.0).Inspire(0.8, 3.0).Expire(
            3.0, 3.0);
        return SpiroTest::FlowHeadRecording(script.Quiet(3).Rest(1), 100);
    }
    static int X(uint32_t tick) { return int((tick / 100.0 - kXOffset) / (1.0 / kXScale)); }
    static int Y(double litres) { return int((litres - kYOffset) / (1.0 / kYScale)); }
    // A line drawn from (x0, y0) to (x1, y1), or to any y1 when it is left out.
    static bool HasLine(const std::vector<std::string>& calls, int x0, int y0, int x1, const int* y1 = nullptr)
    {
        const std::string from = "MoveTo(" + std::to_string(x0) + ", " + std::to_string(y0) + ")";
        const std::string to = "LineTo(" + std::to_string(x1) + ", " + (y1 ? std::to_string(*y1) + ")" : "");
        for (size_t i = 0; i + 1 < calls.size(); ++i)
            if (calls[i] == from && calls[i + 1].rfind(to, 0) == 0)
                return true;
        return false;
    }

    mutable uint32_t mBlast = 0;
};

// The FEV1 arrow and the one-second bar start where the expiration does, not at the hold's
// first sample, and end at the volume the reports read; for the short breath at its lowest.
TEST_F(AnnotationViewOfForcedBreaths, FevMarksRunFromTheExpirationsTimeZeroToTheFigure)
{
    OpenWithMapping();
    std::vector<const Spirometry::Breath*> forced;
    for (unsigned i = 0; i < Breaths().GetCount(); ++i)
        if (Breaths()[i]->forced)
            forced.push_back(Breaths()[i]);
    ASSERT_EQ(forced.size(), 3u);
    const auto volume = Draw(*Window().VolumeAnnotation());

    const Spirometry::Breath& held = *forced[0];
    ASSERT_LT(held.maxVolumePos.tick + 90, mBlast);
    const uint32_t zero = mBlast - 1;
    float left = 0;
    ASSERT_TRUE(mDoc->DataAt(KVDPosition{zero + 100, 0}, nullptr, &left, false));
    const int y1 = Y(left);
    // The bar at the volume left one second on; the arrow down to it from time zero.
    EXPECT_TRUE(HasLine(volume, X(zero), y1, X(zero + 100), &y1)) << testing::PrintToString(volume);
    EXPECT_TRUE(HasLine(volume, X(zero), y1 + 1, X(zero))) << testing::PrintToString(volume);

    const Spirometry::Breath& brief = *forced[1];
    const KVDPosition start = Spirometry::ForcedExpiration::TimeZero(*mDoc, brief);
    ASSERT_LT(brief.end.tick, start.tick + 100);
    const int lowest = Y(brief.minVolume);
    EXPECT_TRUE(HasLine(volume, X(start.tick), lowest, X(start.tick + 100), &lowest)) << testing::PrintToString(volume);
    EXPECT_TRUE(HasLine(volume, X(start.tick), lowest + 1, X(start.tick))) << testing::PrintToString(volume);
}

}  // namespace
