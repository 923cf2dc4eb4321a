#include "views/AnnotationView.h"

#include "appkit/Cursor.h"
#include "foundation/BundleImage.h"
#include "foundation/units/UnitPrefixScaling.h"
#include "framework/KVDDocViewWindowController.h"
#include "spirometry/SpiroDocument.h"
#include "views/ReadoutLines.h"
#include "views/SpiroDataView.h"

namespace {

const char* const kYOffset = "lumo.get_plot('local').get_y_scaling().get_offset()";
const char* const kYScale = "lumo.get_plot('local').get_y_scaling().get_scaling()";
const char* const kXOffset = "lumo.get_plot('local').get_x_scaling().get_offset()";
const char* const kXScale = "lumo.get_plot('local').get_x_scaling().get_scaling()";

// The readout lines of the view's window, when its controller has them.
ReadoutLines* ReadoutsOf(const Spirometry::SpiroDataView* view)
{
    return view != nullptr ? dynamic_cast<ReadoutLines*>(view->GetWindowController()) : nullptr;
}

}  // namespace

void AnnotationViewBase::CreateGraph(Spirometry::SpiroDocument* document, Spirometry::SpiroDataView* view)
{
    mDocument = document;
    mDocView = view;
    mCursorImage = KVDGetMyBundleImage(kCursorImage);
    mTracePos = kInvalidPos;
    SetupTrackingArea();
}

void AnnotationViewBase::SetupTrackingArea()
{
    if (mTrackingArea != 0)
        RemoveTrackingArea(mTrackingArea);
    AppKit::TrackingArea area;
    area.rect = Bounds();
    area.options = kTrackingOptions;
    area.owner = this;
    mTrackingArea = AddTrackingArea(area);
}

// The tracking area follows the view's size, as the window asks on every resize.
void AnnotationViewBase::SetFrame(const AppKit::Rect& frame)
{
    AppKit::View::SetFrame(frame);
    if (mTrackingArea != 0)
        SetupTrackingArea();
}

void AnnotationViewBase::MouseEntered(const AppKit::Event&) { AppKit::Cursor::Crosshair().Set(); }

void AnnotationViewBase::MouseMoved(const AppKit::Event& e)
{
    if (mGraph == nullptr)
        return;
    const Gfx::Point p = ConvertPointFromWindow(e.locationInWindow);
    const KVDPosition pos = mGraph->PixToPos(p.x);
    if (mDocument != nullptr && mDocument->ValidSelection(false, false, nullptr) && EnumIsValid()) {
        const double value = DataAtPos(pos), time = mGraph->PixToTime(p.x);
        UpdateReadout(&value, &time);
    } else {
        UpdateReadout(nullptr, nullptr);
    }
    mTracePos = Gfx::Point{mGraph->PosToPix(pos) - kCursorOffset.x,
                           mGraph->DataToPix(mDocument != nullptr ? DataAtPos(pos) : 0.0) - kCursorOffset.y};
    SetNeedsDisplay();
}

void AnnotationViewBase::MouseExited(const AppKit::Event&)
{
    UpdateReadout(nullptr, nullptr);
    mTracePos = kInvalidPos;
    SetNeedsDisplay();
}

void AnnotationViewBase::UpdateScalingX(const Spirometry::UserScaling& scaling)
{
    if (mGraph != nullptr)
        mGraph->SetScalingX(scaling);
}

void AnnotationViewBase::UpdateScalingY(const Spirometry::UserScaling& scaling)
{
    if (mGraph != nullptr)
        mGraph->SetScalingY(scaling);
}

bool AnnotationViewBase::CanDraw() const
{
    return mGraph != nullptr && mDocument != nullptr && mDocument->ValidSelection(false, false, nullptr);
}

void AnnotationViewBase::QueryScaling(double scale, double prefixFactor)
{
    const double yOff = CallJS(kYOffset), yScale = CallJS(kYScale);
    const double xOff = CallJS(kXOffset), xScale = CallJS(kXScale);
    // A page that cannot answer leaves the last mapping rather than dividing by zero.
    if (xScale == 0.0 || yScale == 0.0 || scale == 0.0 || prefixFactor == 0.0)
        return;
    UpdateScalingX({1.0 / (xScale * scale), xOff});
    UpdateScalingY({1.0 / (yScale * scale) / prefixFactor, yOff / prefixFactor});
}

void AnnotationViewBase::Draw(Gfx::Context& context, const TRect& rect)
{
    std::unique_ptr<TDC> dc = CreateTDC(&context, true);
    mGraph->DrawData(*dc, rect, rect);
}

void AnnotationViewBase::DrawSelf(Gfx::Context& context)
{
    if (!CanDraw() || !EnumIsValid())
        return;
    const AppKit::Rect bounds = Bounds();
    QueryScaling(1.0, UnitPrefixScaling::sScalingFromPrefix(UnitPrefix(mDocument->Config().mFlowUnitPrefix)));
    Draw(context, TRect(0, 0, int(bounds.width), int(bounds.height)));
    if (!mCursorImage.IsPlaceholder() && mTracePos.x >= 0) {
        const Gfx::Size size = mCursorImage.Size();
        mCursorImage.DrawIn(context, AppKit::Rect{mTracePos.x, mTracePos.y, size.width, size.height});
    }
}

// Print follows the screen's mapping, the prefix factor included: the printed SVG is the
// same rendering of the page. The labels take the page's scale as the plots' texts do.
void AnnotationViewBase::PrintRect(Gfx::Context& context, const TRect& rect, float scale)
{
    if (!CanDraw())
        return;
    QueryScaling(scale, UnitPrefixScaling::sScalingFromPrefix(UnitPrefix(mDocument->Config().mFlowUnitPrefix)));
    mGraph->SetTextScale(scale);
    Draw(context, rect);
    mGraph->SetTextScale(1.0);
}

void FlowAnnotationView::CreateGraph(Spirometry::SpiroDocument* document, Spirometry::SpiroDataView* view)
{
    AnnotationViewBase::CreateGraph(document, view);
    mGraph = document != nullptr ? std::make_unique<Spirometry::SpiroFlowGraphMac>(document) : nullptr;
}

double FlowAnnotationView::DataAtPos(const KVDPosition& position) const
{
    float flow = 0.0f;
    if (mDocument != nullptr)
        mDocument->DataAt(position, &flow, nullptr, false);
    return flow;
}

bool FlowAnnotationView::EnumIsValid() const { return mDocView != nullptr && mDocView->FlowEnumIsValid(); }

double FlowAnnotationView::CallJS(const char* script) const
{
    return mDocView != nullptr ? mDocView->GetPlot1().CallJavaScript(KVD::ToKVDString(script)) : 0.0;
}

void FlowAnnotationView::UpdateReadout(const double* value, const double* seconds)
{
    if (ReadoutLines* lines = ReadoutsOf(mDocView))
        lines->UpdateFlow(value, seconds);
}

void VolumeAnnotationView::CreateGraph(Spirometry::SpiroDocument* document, Spirometry::SpiroDataView* view)
{
    AnnotationViewBase::CreateGraph(document, view);
    mGraph = document != nullptr ? std::make_unique<Spirometry::SpiroVolumeGraphMac>(document) : nullptr;
}

double VolumeAnnotationView::DataAtPos(const KVDPosition& position) const
{
    float volume = 0.0f;
    if (mDocument != nullptr)
        mDocument->DataAt(position, nullptr, &volume, false);
    return volume;
}

bool VolumeAnnotationView::EnumIsValid() const { return mDocView != nullptr && mDocView->VolumeEnumIsValid(); }

double VolumeAnnotationView::CallJS(const char* script) const
{
    return mDocView != nullptr ? mDocView->GetPlot2().CallJavaScript(KVD::ToKVDString(script)) : 0.0;
}

void VolumeAnnotationView::UpdateReadout(const double* value, const double* seconds)
{
    if (ReadoutLines* lines = ReadoutsOf(mDocView))
        lines->UpdateVolume(value, seconds);
}
