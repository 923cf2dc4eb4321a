#include "trace/PreviewControlMac.h"

#include <memory>

#include "appkit/NamedImage.h"
#include "trace/PreviewDataPane.h"

namespace OrrelDraw {

namespace {

constexpr double kButtonWidth = 20;

class KVDPreviewControl final : public AppKit::Control {
public:
    using AppKit::Control::Control;
    const char* ClassName() const override { return "KVDPreviewControl"; }
};

}  // namespace

PreviewControlMac::PreviewControlMac(PreviewDataPane* pane, AppKit::View& superview, uint32_t controlFlags)
    : mPane(pane)
{
    auto control = std::make_unique<KVDPreviewControl>(AppKit::Rect{0, 0, double(kWidth), double(kHeight)});
    control->SetIdentifier("previewControl");
    control->SetAutoresizingMask(AppKit::View::kMinXMargin | AppKit::View::kMinYMargin);
    mControl = &static_cast<AppKit::Control&>(superview.AddSubview(std::move(control)));
    mOrrelView = &AddButton("orrelView", "OrrelDoc_20x16.png", 0);
    mStart = &AddButton("monitor", "monitor_20x16.png", kButtonWidth);
    mStop = &AddButton("pause", "pause_20x16.png", 2 * kButtonWidth);
    const bool monitoring = (controlFlags & kControlStartMonitoring) != 0;
    mOrrelView->SetHidden(monitoring);
    Highlight(monitoring ? mStart : mOrrelView);
}

PreviewControlMac::~PreviewControlMac()
{
    mControl->RemoveFromSuperview();
}

AppKit::Button& PreviewControlMac::AddButton(const std::string& id, const std::string& image, double x)
{
    auto button = std::make_unique<AppKit::Button>(AppKit::Rect{x, 0, kButtonWidth, double(kHeight)});
    button->SetIdentifier(id);
    button->SetImage(AppKit::NamedImage::Find(image));
    button->SetTarget(this);
    button->SetAction(id + ":");
    return static_cast<AppKit::Button&>(mControl->AddSubview(std::move(button)));
}

void PreviewControlMac::SetPosition(const TRect& rect)
{
    mControl->SetFrame(AppKit::Rect{double(rect.left), double(rect.top), double(kWidth), double(kHeight)});
}

void PreviewControlMac::SetEnabled(bool enabled)
{
    mEnabled = enabled;
    ApplyEnabled();
}

void PreviewControlMac::ApplyEnabled()
{
    mControl->SetEnabled(mEnabled);
    mOrrelView->SetEnabled(mEnabled);
    mStart->SetEnabled(mEnabled);
    mStop->SetEnabled(mEnabled && mStopEnabled);
}

void PreviewControlMac::Highlight(AppKit::Button* on)
{
    for (AppKit::Button* button : {mOrrelView, mStart, mStop})
        button->SetHighlighted(button == on);
    if (on == mOrrelView)
        mStopEnabled = false;
    ApplyEnabled();
}

bool PreviewControlMac::RespondsTo(const std::string& selector) const
{
    return selector == "orrelView:" || selector == "monitor:" || selector == "pause:";
}

bool PreviewControlMac::Perform(const std::string& selector, void*)
{
    if (selector == "orrelView:") {
        mPane->DoOrrelViewId();
        Highlight(mOrrelView);
    } else if (selector == "monitor:") {
        mPane->DoMonitor();
        mStopEnabled = true;
        Highlight(mStart);
    } else if (selector == "pause:") {
        mPane->DoPause();
        Highlight(mStop);
    } else {
        return false;
    }
    return true;
}

}  // namespace OrrelDraw
