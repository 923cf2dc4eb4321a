#include "trace/PreviewMasterView.h"

#include <memory>

#include "foundation/BundleImage.h"
#include "foundation/StringKeys.h"
#include "foundation/StringResources.h"
#include "trace/PreviewPaneBase.h"
#include "trace/TraceViewModes.h"

namespace OrrelDraw {

namespace {

std::string Text(const KVDXMLStringKey& key)
{
    return GetStringFromStringsFile(KVDGetMyBundle(), key.key, key.table, false);
}

}  // namespace

SPIRO_PreviewMasterView::SPIRO_PreviewMasterView(AppKit::Rect frame, bool withTraceViewModeButtons) : View(frame)
{
    SetAutoresizingMask(kWidthSizable | kHeightSizable);
    mDataView = &SPIRO_DataPaneView::Create(*this);
    if (!withTraceViewModeButtons)
        return;
    mSplit = &AddButton("split", "ViewTraceSeparate_16x16", Text(UIStr::AutoScaleStack), 0);
    mOverlay = &AddButton("overlay", "ViewTraceOverlay_16x16", Text(UIStr::AutoScaleOverlay), 22);
    mSourceOnly = &AddButton("sourceOnly", "ViewTraceSource_16x16", Text(UIStr::ShowSourceOnly), 51);
    mSourceOnly->SetType(AppKit::Button::Type::OnOff);
    // The pane's own controls, at the left under the scales, stay clear of the buttons.
    mDataView->SetLeftReserve(kButtonsWidth);
}

SPIRO_PreviewMasterView::~SPIRO_PreviewMasterView()
{
    for (AppKit::Button* button : {mSplit, mOverlay, mSourceOnly})
        if (button != nullptr) {
            button->SetTarget(nullptr);
            button->SetAction("");
        }
}

AppKit::Button& SPIRO_PreviewMasterView::AddButton(const std::string& id, const std::string& image, const std::string& tip,
                                             double x)
{
    // Along the bottom left, beside the preview control, and staying there as the view grows.
    auto button =
        std::make_unique<AppKit::Button>(AppKit::Rect{x, Frame().height - kButtonSize, kButtonSize, kButtonSize});
    button->SetIdentifier(id);
    button->SetImage(KVDGetMyBundleImage(image));
    button->SetToolTip(tip);
    button->SetAutoresizingMask(kMaxXMargin | kMinYMargin);
    button->SetTarget(this);
    button->SetAction("buttonClicked:");
    return static_cast<AppKit::Button&>(AddSubview(std::move(button)));
}

void SPIRO_PreviewMasterView::SetFrame(const AppKit::Rect& frame)
{
    View::SetFrame(frame);
    mDataView->ResetSizeAndPos();
}

bool SPIRO_PreviewMasterView::RespondsTo(const std::string& selector) const
{
    return selector == "buttonClicked:";
}

bool SPIRO_PreviewMasterView::Perform(const std::string& selector, void* sender)
{
    if (selector != "buttonClicked:" || mPreview == nullptr)
        return selector == "buttonClicked:";
    if (sender == mSplit) {
        mPreview->ChangeTraceViewMode(kTraceViewStack, 0);
    } else if (sender == mOverlay) {
        mPreview->ChangeTraceViewMode(kTraceViewOverlay, 0);
    } else if (sender == mSourceOnly) {
        const bool on = mSourceOnly->GetState() == AppKit::Button::kOn;
        mPreview->ChangeTraceViewMode(kTraceViewSourceOnly, on ? kSourceOnlyOn : kSourceOnlyOff);
        mSplit->SetEnabled(!on);
        mOverlay->SetEnabled(!on);
    }
    return true;
}

}  // namespace OrrelDraw
