#include "trace/PreviewControlMac.h"

#include "appkit/RunLoop.h"
#include "foundation/BundleImage.h"
#include "foundation/StringKeys.h"
#include "trace/PreviewDataPane.h"

namespace OrrelDraw {

namespace {

constexpr double kButtonWidth = 20;
constexpr const char* kOrrelViewAction = "orrelViewBtnClicked:";
constexpr const char* kStartAction = "startPreviewBtnClicked:";
constexpr const char* kStopAction = "stopPreviewBtnClicked:";

}  // namespace

bool SPIRO_PreviewControlActionHandler::RespondsTo(const std::string& selector) const
{
    return selector == kOrrelViewAction || selector == kStartAction || selector == kStopAction;
}

bool SPIRO_PreviewControlActionHandler::Perform(const std::string& selector, void*)
{
    if (selector == kOrrelViewAction)
        mControl.OrrelViewBtnClicked();
    else if (selector == kStartAction)
        mControl.StartPreviewBtnClicked();
    else if (selector == kStopAction)
        mControl.StopPreviewBtnClicked();
    else
        return false;
    return true;
}

PreviewControlMac::PreviewControlMac(PreviewDataPane* pane, AppKit::View& superview, uint32_t controlFlags)
    : mHandler(std::make_unique<SPIRO_PreviewControlActionHandler>(*this)), mPane(pane)
{
    auto control = std::make_unique<SPIRO_KVDPreviewControl>(AppKit::Rect{0, 0, double(kWidth), double(kHeight)});
    control->SetIdentifier("previewControl");
    control->SetAutoresizingMask(AppKit::View::kMinXMargin | AppKit::View::kMinYMargin);
    mControl = &static_cast<SPIRO_KVDPreviewControl&>(superview.AddSubview(std::move(control)));
    mOrrelView = &AddButton("orrelView", "OrrelDoc_20x16.png", kOrrelViewAction, 0);
    mOrrelView->SetToolTip(GetStringFromStringsFile(KVDGetMyBundle(), OrrelDrawStr::IDS_PREVIEW_ORREL_VIEW.key,
                                                    OrrelDrawStr::IDS_PREVIEW_ORREL_VIEW.table, false));
    mStart = &AddButton("monitor", "monitor_20x16.png", kStartAction, kButtonWidth);
    mStop = &AddButton("pause", "pause_20x16.png", kStopAction, 2 * kButtonWidth);
    const bool monitoring = (controlFlags & kControlStartMonitoring) != 0;
    mOrrelView->SetHidden(monitoring);
    (monitoring ? mStart : mOrrelView)->SetHighlighted(true);
    ApplyEnabled();
}

PreviewControlMac::~PreviewControlMac()
{
    if (mHighlightTimer != 0)
        AppKit::RunLoop::Main().RemoveTimer(mHighlightTimer);
    mControl->RemoveFromSuperview();
}

AppKit::Button& PreviewControlMac::AddButton(const std::string& id, const std::string& image,
                                             const std::string& action, double x)
{
    auto button = std::make_unique<AppKit::Button>(AppKit::Rect{x, 0, kButtonWidth, double(kHeight)});
    button->SetIdentifier(id);
    button->SetImage(KVDGetMyBundleImage(image));
    button->SetTarget(mHandler.get());
    button->SetAction(action);
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

void PreviewControlMac::Press(AppKit::Button* button)
{
    for (AppKit::Button* other : {mOrrelView, mStart, mStop})
        if (other != button)
            other->SetHighlighted(false);
    AppKit::RunLoop& loop = AppKit::RunLoop::Main();
    if (mHighlightTimer != 0)
        loop.RemoveTimer(mHighlightTimer);
    mHighlightTimer = loop.AddTimer(
        kHighlightDelay, false,
        [this, button] {
            mHighlightTimer = 0;
            SetHighlighted(button);
        },
        std::vector<std::string>{AppKit::RunLoop::kDefaultMode, AppKit::RunLoop::kModalPanelMode});
}

void PreviewControlMac::SetHighlighted(AppKit::Button* button)
{
    button->SetHighlighted(true);
    if (button == mOrrelView) {
        // Back on the document there is nothing to pause.
        mStopEnabled = false;
        ApplyEnabled();
    }
}

void PreviewControlMac::OrrelViewBtnClicked()
{
    mPane->DoOrrelViewId();
    Press(mOrrelView);
    mControl->SendAction();
}

void PreviewControlMac::StartPreviewBtnClicked()
{
    mPane->DoMonitor();
    mStopEnabled = true;
    ApplyEnabled();
    Press(mStart);
    mControl->SendAction();
}

void PreviewControlMac::StopPreviewBtnClicked()
{
    mPane->DoPause();
    Press(mStop);
    mControl->SendAction();
}

}  // namespace OrrelDraw
