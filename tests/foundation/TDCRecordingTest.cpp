#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "foundation/draw/DrawFactories.h"
#include "foundation/draw/TDC.h"
#include "graphics/RecordingContext.h"

using testing::ElementsAre;

namespace {

// A view-like context: 200 × 100, top-down, and a drawing context on it with or without the
// half-pixel offset. The construction's calls are dropped from the log.
struct Drawing {
    explicit Drawing(bool halfPixel = false) : rc({200, 100}), dc(CreateTDC(&rc, halfPixel)) { rc.ClearCalls(); }
    const std::vector<std::string>& Calls() const { return rc.Calls(); }

    Gfx::RecordingContext rc;
    std::unique_ptr<TDC> dc;
};

}  // namespace

TEST(TDCRecorded, ConstructionBracketsTheCallersState) {
    Gfx::RecordingContext rc({200, 100});
    {
        auto dc = CreateTDC(&rc, true);
        EXPECT_TRUE(dc->IsDCFlipped());
        EXPECT_EQ(dc->GetGContext(), &rc);
    }
    EXPECT_THAT(rc.Calls(), ElementsAre("SaveState()", "Translate(0.5, 0.5)", "RestoreState()"));

    Gfx::RecordingContext page({200, 100}, Gfx::Origin::BottomLeft);
    EXPECT_FALSE(CreateTDC(&page, false)->IsDCFlipped());
}

TEST(TDCRecorded, LinesStrokeOneByOneFromThePenPosition) {
    Drawing d;
    d.dc->SelectObject(TPen(TColor(0xFFFF, 0, 0), 0, kPenDashDot));
    d.dc->MoveTo(0, 5);
    d.dc->LineTo(10, 5);
    d.dc->LineTo(TPoint(10, 20));  // a new path from where the last line ended
    TPoint zigzag[] = {{0, 0}, {5, 5}, {10, 5}, {20, 0}, {30, 30}};
    int counts[] = {3, 2};
    d.dc->PolyPolyline(zigzag, counts, 2);
    EXPECT_THAT(d.Calls(), ElementsAre("SetStrokeColor(rgba(1, 0, 0, 1))", "SetLineWidth(1)", "SetLineCap(square)",
                                       "SetLineDash(0, [3, 3, 1, 3])", "BeginPath()", "MoveTo(0, 5)",
                                       "LineTo(10, 5)", "StrokePath()", "BeginPath()", "MoveTo(10, 5)",
                                       "LineTo(10, 20)", "StrokePath()", "SaveState()",
                                       "SetShouldAntialias(false)", "BeginPath()", "MoveTo(0, 0)", "LineTo(5, 5)",
                                       "LineTo(10, 5)", "MoveTo(20, 0)", "LineTo(30, 30)", "StrokePath()",
                                       "RestoreState()"));

    // Scaled, a flat step is drawn a unit lower.
    d.rc.ClearCalls();
    d.dc->SetScalingFactor(2.0);
    TPoint flat[] = {{0, 5}, {10, 5}, {20, 8}};
    d.dc->Polyline(flat, 3);
    EXPECT_THAT(d.Calls(), ElementsAre("SaveState()", "SetShouldAntialias(false)", "BeginPath()", "MoveTo(0, 5)",
                                       "LineTo(10, 6)", "LineTo(20, 8)", "StrokePath()", "RestoreState()"));
    d.rc.ClearCalls();
    d.dc->PolyPolyline(nullptr, counts, 2);
    EXPECT_THAT(d.Calls(), ElementsAre("SaveState()", "SetShouldAntialias(false)", "RestoreState()"));
}

TEST(TDCRecorded, PensDashByStyle) {
    const char* dashes[] = {"SetLineDash(0, [])", "SetLineDash(0, [2, 4])", "SetLineDash(0, [1, 3])",
                            "SetLineDash(0, [3, 3, 1, 3])", "SetLineDash(0, [3, 3, 0.5, 3, 0.5, 3])",
                            "SetLineDash(0, [])"};
    for (int style = 0; style <= 5; ++style) {
        Drawing d;
        d.dc->SelectObject(TPen(TColor::Black, 3, style));
        ASSERT_EQ(d.Calls().size(), 4u);
        EXPECT_EQ(d.Calls()[1], "SetLineWidth(3)");
        EXPECT_EQ(d.Calls()[3], dashes[style]) << style;
    }
    Drawing d;
    d.dc->SelectObject(TBrush(TColor(0, 0xFFFF, 0, 0.5f)));
    d.dc->SelectObject(TFont());
    EXPECT_THAT(d.Calls(), ElementsAre("SetFillColor(rgba(0, 1, 0, 0.5))"));
}

TEST(TDCRecorded, ShapesFillAndFrame) {
    Drawing d(true);
    TBrush red(TColor(0xFFFF, 0, 0));
    d.dc->FillRect(0, 0, 10, 10, red);
    d.dc->FrameRect(TRect(1, 2, 11, 22), red);
    d.dc->Rectangle(5, 6, 15, 26);
    d.dc->Ellipse(0, 0, 40, 20);
    d.dc->ClearRect(TRect(1, 1, 3, 3));
    d.dc->DrawImage(Gfx::Image(4, 3), TPoint(5, 6));
    EXPECT_THAT(d.Calls(),
                ElementsAre("SaveState()", "SetFillColor(rgba(1, 0, 0, 1))", "FillRect(-0.5, -0.5, 10, 10)",
                            "RestoreState()", "SaveState()", "SetStrokeColor(rgba(1, 0, 0, 1))",
                            "StrokeRect(1, 2, 10, 20)", "RestoreState()", "BeginPath()", "AddRect(5, 6, 10, 20)",
                            "FillStrokePath()", "BeginPath()", "AddEllipse(0, 0, 40, 20)", "FillStrokePath()",
                            "ClearRect(1, 1, 2, 2)", "DrawImage(4x3, 5, 6, 1, flipped)"));
}

TEST(TDCRecorded, TextIsPlacedByAlignmentAndMeasuredInOneFont) {
    Drawing d;
    d.dc->SetTextColor(TColor(0, 0, 0xFFFF, 0.25f));  // text is always opaque
    d.dc->TextOut(10, 20, L"Hello", -1);
    d.dc->SetTextAlign(kTextAlignBottom);
    d.dc->TextOut(TPoint(10, 20), L"Hello world", 5);  // five characters only
    d.dc->SetTextAlign(kTextAlignCentre);
    d.dc->ExtTextOut(100, 20, 0, nullptr, L"abcd", -1, nullptr);  // 4 × 5.5 wide
    d.dc->SetTextAlign(kTextAlignRight);
    d.dc->AttributedTextOut({100, 50, 0, 0}, AttributedText{L"ab", 20, TColor::White});
    EXPECT_THAT(d.Calls(),
                ElementsAre("SaveState()", "SetAllowsAntialiasing(true)",
                            "DrawText(10, 20, \"Hello\", 11, rgba(0, 0, 1, 1), flipped)",
                            "SetAllowsAntialiasing(true)", "RestoreState()", "SaveState()",
                            "SetAllowsAntialiasing(true)", "DrawText(10, 9, \"Hello\", 11, rgba(0, 0, 1, 1), flipped)",
                            "SetAllowsAntialiasing(true)", "RestoreState()", "SaveState()",
                            "SetAllowsAntialiasing(true)", "DrawText(89, 20, \"abcd\", 11, rgba(0, 0, 1, 1), flipped)",
                            "SetAllowsAntialiasing(true)", "RestoreState()", "SaveState()",
                            "SetAllowsAntialiasing(true)", "DrawText(80, 50, \"ab\", 20, rgba(1, 1, 1, 1), flipped)",
                            "SetAllowsAntialiasing(true)", "RestoreState()"));
    EXPECT_EQ(d.dc->GetTextColor(), TColor::Black);
    EXPECT_EQ(d.dc->GetBkColor(), TColor::White);
    EXPECT_EQ(d.dc->GetTextAlign(), unsigned(kTextAlignRight));

    // Width as the context measures it in the 11-point font, truncated; height fixed.
    EXPECT_EQ(d.dc->GetTextExtent(L"Hello", -1), TSize(27, 10));
    d.dc->SetScalingFactor(2.0);
    EXPECT_EQ(d.dc->GetTextExtent(L"Hello", 2), TSize(22, 20));
    EXPECT_EQ(TFont().GetTextExtent(*d.dc, L"ab"), TSize(22, 20));
    EXPECT_EQ(TFont().GetTextExtent(L"ab"), TSize(0, 10));

    // On a page (not flipped) a bottom-aligned text moves the other way.
    Gfx::RecordingContext page({200, 100}, Gfx::Origin::BottomLeft);
    auto pdc = CreateTDC(&page, false);
    pdc->SetTextAlign(kTextAlignBottom);
    pdc->TextOut(0, 50, L"x", -1);
    EXPECT_EQ(page.Calls()[3], "DrawText(0, 61, \"x\", 11, rgba(0, 0, 0, 1), unflipped)");
}

TEST(TDCRecorded, ClippingAndOrigins) {
    Drawing d(true);
    d.dc->IntersectClipRect(TRect(10, 10, 50, 30));
    EXPECT_EQ(d.Calls().back(), "ClipToRect(9.5, 9.5, 40, 20)");
    EXPECT_TRUE(d.dc->RectVisible(TRect(40, 20, 60, 40)));
    EXPECT_FALSE(d.dc->RectVisible(TRect(60, 10, 70, 30)));

    Drawing o;
    TPoint old(-1, -1);
    o.dc->SetViewportOrg(TPoint(5, 5), &old);
    o.dc->SetViewportOrg(TPoint(5, 5), &old);
    EXPECT_EQ(old, TPoint(5, 5));
    Gfx::Point p = o.rc.CurrentMatrix().Apply({0, 0});
    EXPECT_DOUBLE_EQ(p.x, 5);  // (5, 5) once, not twice
    EXPECT_DOUBLE_EQ(p.y, 95);
    o.dc->OffsetWindowOrg(TPoint(2, 3), &old);  // origin (3, 2)
    EXPECT_EQ(old, TPoint(5, 5));
    o.dc->SetWindowOrg(TPoint(1, 1));  // origin (-1, -1)
    p = o.rc.CurrentMatrix().Apply({0, 0});
    EXPECT_DOUBLE_EQ(p.x, -1);
    EXPECT_DOUBLE_EQ(p.y, 101);
}

TEST(TDCRecorded, UnflipVerticalUndoesFlipVertical) {
    Drawing d;
    Gfx::Matrix before = d.rc.CurrentMatrix();
    d.dc->FlipVertical(80);
    EXPECT_FALSE(d.dc->IsDCFlipped());  // a top-down view turned upside down
    Gfx::Point p = d.rc.CurrentMatrix().Apply({0, 0});
    EXPECT_DOUBLE_EQ(p.y, 100 - 80);
    EXPECT_EQ(d.dc->UnflipVertical(), 80);
    EXPECT_TRUE(d.dc->IsDCFlipped());
    Gfx::Matrix after = d.rc.CurrentMatrix();
    EXPECT_DOUBLE_EQ(after.d, before.d);
    EXPECT_DOUBLE_EQ(after.ty, before.ty);
    EXPECT_EQ(d.dc->UnflipVertical(), 0);  // the height is forgotten
}

TEST(TDCRecorded, LayersAreDrawnOffScreenAndCopiedBack) {
    Drawing d;
    auto buffer = OrrelDraw::gCreateBufferedDC(*d.dc, TSize(40, 30));
    EXPECT_TRUE(buffer->IsDCFlipped());  // as the view it buffers
    buffer->FillRect(0, 0, 40, 30, TBrush(TColor::White));
    buffer->TextOut(0, 0, L"t", -1);
    EXPECT_TRUE(d.dc->BitBlt(TRect(10, 20, 30, 40), *buffer, TPoint(5, 6), 0));
    EXPECT_FALSE(d.dc->BitBlt(0, 0, 1, 1, *d.dc, 0, 0, 0));  // only layers are copied
    EXPECT_THAT(d.Calls(),
                ElementsAre("CreateLayer(40, 30) -> layer1", "layer1: SetAllowsAntialiasing(false)",
                            "layer1: SetAllowsFontSmoothing(true)", "layer1: SaveState()",
                            "layer1: SetFillColor(rgba(1, 1, 1, 1))", "layer1: FillRect(-0.5, -0.5, 40, 30)",
                            "layer1: RestoreState()", "layer1: SaveState()", "layer1: SetAllowsAntialiasing(true)",
                            "layer1: DrawText(0, 0, \"t\", 11, rgba(0, 0, 0, 1), flipped)",
                            "layer1: SetAllowsAntialiasing(false)", "layer1: RestoreState()", "SaveState()",
                            "ClipToRect(10, 20, 20, 20)", "DrawLayer(layer1, 5, 14)", "RestoreState()"));

    // A source point beyond the target's own: the layer starts left of and above the target.
    d.rc.ClearCalls();
    d.dc->BitBlt(0, 0, 10, 10, *buffer, 15, 25, 0);
    EXPECT_EQ(d.Calls()[2], "DrawLayer(layer1, -15, -25)");
    // Images go into a layer as into an unflipped view.
    buffer->DrawImage(Gfx::Image(2, 2), TPoint(1, 1));
    EXPECT_EQ(d.Calls().back(), "layer1: DrawImage(2x2, 1, 1, 1, unflipped)");

    auto screen = OrrelDraw::gCreateScreenBitmapDC(TSize(8, 8));
    EXPECT_FALSE(screen->IsDCFlipped());
    EXPECT_NE(screen->GetGContext(), nullptr);
    EXPECT_EQ(OrrelDraw::gGetAveWidthChar(*d.dc), 5);
    EXPECT_NE(OrrelDraw::gCreateDefaultScaleLabelScreenFont(), nullptr);
}

TEST(TDCRecorded, WithoutAContextNothingIsDrawn) {
    auto dc = CreateTDC(nullptr, true);
    EXPECT_TRUE(dc->MoveTo(0, 0));
    EXPECT_TRUE(dc->LineTo(5, 5));
    EXPECT_TRUE(dc->FillRect(0, 0, 5, 5, TBrush(TColor::Black)));
    EXPECT_TRUE(dc->TextOut(0, 0, L"x", -1));
    EXPECT_TRUE(dc->IntersectClipRect(TRect(0, 0, 1, 1)));
    EXPECT_FALSE(dc->RectVisible(TRect(0, 0, 1, 1)));
    EXPECT_FALSE(dc->AttributedTextOut({0, 0, 1, 1}, AttributedText{L"x"}));
    EXPECT_FALSE(dc->IsDCFlipped());
    EXPECT_GT(dc->GetTextExtent(L"Hello", -1).cx, 10);  // measured in the font all the same
    EXPECT_EQ(dc->GetDeviceCaps(0), 85.33333333333333);
    EXPECT_EQ(dc->GetDeviceCaps(1), 85.33333333333333);
    EXPECT_EQ(dc->GetDeviceCaps(2), 1.0);
    EXPECT_EQ(dc->GetAttributeHDC(), nullptr);
    auto layer = CreateLayerBackedDC(nullptr, {10, 10});
    EXPECT_TRUE(dc->BitBlt(0, 0, 1, 1, *layer, 0, 0, 0));
}

TEST(TDCRecorded, RestorerSavesOnFirstUseOnly) {
    Drawing d;
    {
        KVD::TDCRestorer restorer(d.dc.get());
        restorer.Save();
        restorer.Save();
    }
    { KVD::TDCRestorer unused(d.dc.get()); }
    {
        KVD::TDCRestorer disabled(d.dc.get(), false);
        disabled.Save();
    }
    EXPECT_THAT(d.Calls(), ElementsAre("SaveState()", "RestoreState()"));
}

TEST(TDCRecorded, AFontsSizeHoldsUntilTheStateItWasSelectedInIsRestored) {
    Drawing d;
    d.dc->TextOut(0, 0, L"a", -1);
    d.dc->SaveDC();
    d.dc->SelectObject(TFont(8));
    d.dc->TextOut(0, 0, L"b", -1);
    const int small = d.dc->GetTextExtent(L"bbbb", -1).cx;
    EXPECT_EQ(d.dc->GetTextExtent(L"b", -1).cy, 7);  // 10 at 11 points
    d.dc->SetScalingFactor(2.0);
    d.dc->TextOut(0, 0, L"c", -1);
    d.dc->SetScalingFactor(1.0);
    d.dc->RestoreDC();
    d.dc->TextOut(0, 0, L"d", -1);
    EXPECT_LT(small, d.dc->GetTextExtent(L"bbbb", -1).cx);
    // A font without a size draws at the standard 11 points; measuring in a font leaves the
    // context's own as it was.
    EXPECT_EQ(TFont(8).GetTextExtent(*d.dc, L"bbbb").cx, small);
    d.dc->SelectObject(TFont());
    d.dc->TextOut(0, 0, L"e", -1);
    std::vector<std::string> sizes;
    for (const std::string& call : d.Calls())
        if (call.rfind("DrawText", 0) == 0)
            sizes.push_back(call.substr(call.find('"') + 1, 1) + call.substr(call.find("\", ") + 3, 2));
    EXPECT_THAT(sizes, ElementsAre("a11", "b8,", "c16", "d11", "e11"));
}
