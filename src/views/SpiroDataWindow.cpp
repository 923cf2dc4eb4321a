#include "views/SpiroDataWindow.h"

#include "appkit/SplitView.h"
#include "appkit/TextField.h"
#include "plot/LumoHtml.h"
#include "views/AnnotationView.h"
#include "views/SpiroDataView.h"
#include "web/Page.h"

SpiroDataWindow::SpiroDataWindow(Spirometry::SpiroDataView* view, Spirometry::SpiroDocument* document)
    : SPIRO_KVDDocViewWindowController(kNibName, view), mDocView(view), mDocument(document)
{
}

bool SpiroDataWindow::SetOutlet(const std::string& name, AppKit::View* view)
{
    if (name == "splitter")
        mSplitter = dynamic_cast<AppKit::SplitView*>(view);
    else if (name == "flowFrame")
        mFlowFrame = view;
    else if (name == "volumeFrame")
        mVolumeFrame = view;
    else if (name == "flowReadout")
        mFlowReadout = dynamic_cast<AppKit::TextField*>(view);
    else if (name == "volumeReadout")
        mVolumeReadout = dynamic_cast<AppKit::TextField*>(view);
    else
        return false;
    return true;
}

void SpiroDataWindow::AwakeFromNib()
{
    if (mSplitter == nullptr)
        return;
    AppKit::SplitView::Delegate delegate;
    delegate.canCollapse = [](AppKit::SplitView&, AppKit::View&) { return true; };
    delegate.constrainMin = [this](AppKit::SplitView&, double proposed, size_t) { return ConstrainMin(proposed); };
    delegate.constrainMax = [this](AppKit::SplitView&, double proposed, size_t) { return ConstrainMax(proposed); };
    mSplitter->SetDelegate(std::move(delegate));
}

void SpiroDataWindow::WindowDidLoad()
{
    const Web::LoadTogether together;
    AttachPlot(true);
    AttachPlot(false);
}

void SpiroDataWindow::AttachPlot(bool flow)
{
    if (mDocView == nullptr)
        return;
    KVD::LumoPlotMac& plot = flow ? mDocView->GetPlot1() : mDocView->GetPlot2();
    AppKit::View* frame = flow ? mFlowFrame : mVolumeFrame;
    std::unique_ptr<AnnotationViewBase> made;
    if (flow)
        made = std::make_unique<FlowAnnotationView>();
    else
        made = std::make_unique<VolumeAnnotationView>();
    AnnotationViewBase* overlay = made.get();
    plot.AttachWebView(frame, std::move(made));
    // Our frames count y from the top, so the data area's top margin is the markup's.
    overlay->SetFrame(AdjustDataFrame(overlay->Frame(), overlay->Superview()->IsFlipped()));
    (flow ? mFlowAnnotation : mVolumeAnnotation) = overlay;
    plot.LoadHTML(KVD::ToKVDString(KVD::LumoHtml::GetLumoHtml()), KVD::String());
}

void SpiroDataWindow::OnFrameLoaded(const Web::WebFrame& frame)
{
    if (mDocView == nullptr)
        return;
    mDocView->OnLoad(frame);
    for (AnnotationViewBase* overlay : {mFlowAnnotation, mVolumeAnnotation})
        if (overlay != nullptr) {
            overlay->CreateGraph(mDocument, mDocView);
            overlay->SetNeedsDisplay();
        }
}

void SpiroDataWindow::ForgetOwnerView()
{
    mDocView = nullptr;
    SPIRO_KVDDocViewWindowController::ForgetOwnerView();
}

AppKit::Rect SpiroDataWindow::AdjustDataFrame(const AppKit::Rect& frame, bool flipped)
{
    return {frame.x + kScaleWidth, frame.y + (flipped ? kTopMargin : kScaleHeight),
            frame.width - (kScaleWidth + kRightMargin), frame.height - (kScaleHeight + kTopMargin)};
}

std::string SpiroDataWindow::ViewName() const
{
    return mDocView != nullptr ? KVD::ToU8String(mDocView->GetViewName()) : std::string();
}

double SpiroDataWindow::ConstrainMin(double) const
{
    return (mSplitter != nullptr ? mSplitter->Bounds().y : 0.0) + kMinPlotHeight;
}

double SpiroDataWindow::ConstrainMax(double) const
{
    return (mSplitter != nullptr ? mSplitter->Bounds().height : 0.0) - kMinPlotHeight;
}

void SpiroDataWindow::UpdateFlow(const double* value, const double* seconds)
{
    if (mFlowReadout != nullptr && mDocView != nullptr)
        mFlowReadout->SetStringValue(KVD::ToU8String(mDocView->ReadoutText(true, value, seconds)));
}

void SpiroDataWindow::UpdateVolume(const double* value, const double* seconds)
{
    if (mVolumeReadout != nullptr && mDocView != nullptr)
        mVolumeReadout->SetStringValue(KVD::ToU8String(mDocView->ReadoutText(false, value, seconds)));
}
