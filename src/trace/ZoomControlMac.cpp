#include "trace/ZoomControlMac.h"

#include <memory>

#include "appkit/Menu.h"
#include "foundation/BundleImage.h"
#include "foundation/StringKeys.h"
#include "trace/ZoomSteps.h"

namespace OrrelDraw {

namespace {

constexpr double kButtonWidth = 21;
constexpr double kAutoFitWidth = 20;
constexpr double kScrollToEndWidth = 32;
constexpr double kBaseWidth = 92;
constexpr int kLastZoomCommand = kFirstZoomCommand + kZoomStepCount;
constexpr int kTitleTag = -1;

std::string Text(const KVDXMLStringKey& key)
{
    return GetStringFromStringsFile(KVDGetMyBundle(), key.key, key.table, false);
}

std::string Narrow(const KVD::String& text)
{
    std::string out;
    for (const wchar_t* c = text.c_str(); *c != 0; ++c)
        out += char(*c);
    return out;
}

// The pull-down's menu as the pane fills it.
class MenuSink final : public TMenuSink {
public:
    MenuSink(AppKit::Menu& menu, std::string title) : mMenu(menu), mTitle(std::move(title)) {}
    // Empties the menu but for a first item with the current label: a pull-down's title.
    void DeleteAll() override
    {
        while (mMenu.ItemCount() > 0)
            mMenu.RemoveAt(mMenu.ItemCount() - 1);
        mMenu.Add(std::make_unique<AppKit::MenuItem>(mTitle, "", "")).SetTag(kTitleTag);
    }
    void Append(const KVD::String& label, unsigned flags, int id) override
    {
        auto item = std::make_unique<AppKit::MenuItem>(Narrow(label), "", "");
        item->SetTag(id);
        item->SetOn((flags & 8) != 0);
        mMenu.Add(std::move(item));
    }

private:
    AppKit::Menu& mMenu;
    std::string mTitle;
};

}  // namespace

void SPIRO_KVDZoomControl::SetDisplayText(const std::string& text)
{
    mDisplayText = text;
    if (ratio != nullptr)
        ratio->SetTitle(text);
}

void SPIRO_KVDZoomControl::SetControlsEnabled(bool enabled)
{
    SetEnabled(enabled);
    for (AppKit::Control* c : {static_cast<AppKit::Control*>(compress), static_cast<AppKit::Control*>(ratio),
                               static_cast<AppKit::Control*>(expand)})
        c->SetEnabled(enabled);
}

TSize ZoomControlMac::SizeForFlags(uint32_t flags)
{
    int width = int(kBaseWidth);
    if (flags & kZoomAutoFitButton)
        width += int(kAutoFitWidth);
    if (flags & kZoomScrollToEndButton)
        width += int(kScrollToEndWidth);
    return TSize(width, (flags & kControlTall) != 0 ? 24 : 21);
}

bool SPIRO_ZoomControlActionHandler::RespondsTo(const std::string& selector) const
{
    return selector == "compress:" || selector == "expand:" || selector == "autoFit:" || selector == "scrollToEnd:" ||
           selector == "ratioChosen:";
}

bool SPIRO_ZoomControlActionHandler::Perform(const std::string& selector, void*)
{
    return mControl.DoAction(selector);
}

void SPIRO_ZoomControlActionHandler::MenuNeedsUpdate(AppKit::Menu& menu)
{
    mControl.FillMenu(menu);
}

ZoomControlMac::ZoomControlMac(DataPane* pane, AppKit::View& superview, uint32_t controlFlags)
    : mHandler(std::make_unique<SPIRO_ZoomControlActionHandler>(*this)), mPane(pane), mFlags(controlFlags)
{
    const TSize size = SizeForFlags(controlFlags);
    auto control = std::make_unique<SPIRO_KVDZoomControl>(AppKit::Rect{0, 0, double(size.cx), double(size.cy)});
    control->SetIdentifier("zoomControl");
    control->SetAutoresizingMask(AppKit::View::kMinXMargin | AppKit::View::kMinYMargin);
    mControl = static_cast<SPIRO_KVDZoomControl*>(&superview.AddSubview(std::move(control)));
    mControl->compress = &AddButton("compress", "CompressionZoomOut.png", Text(OrrelDrawStr::IDS_ZOOM_COMPRESS), 0,
                                    kButtonWidth);
    auto ratio = std::make_unique<AppKit::PopUpButton>(
        AppKit::Rect{kButtonWidth, 0, kBaseWidth - 2 * kButtonWidth, double(size.cy)});
    ratio->SetIdentifier("ratio");
    ratio->SetPullsDown(true);
    ratio->SetToolTip(Text(OrrelDrawStr::IDS_ZOOM_RATIO));
    ratio->SetTarget(mHandler.get());
    ratio->SetAction("ratioChosen:");
    ratio->ItemMenu()->SetNeedsUpdate([this](AppKit::Menu& menu) { mHandler->MenuNeedsUpdate(menu); });
    mControl->ratio = static_cast<AppKit::PopUpButton*>(&mControl->AddSubview(std::move(ratio)));
    mControl->expand = &AddButton("expand", "CompressionZoomIn.png", Text(OrrelDrawStr::IDS_ZOOM_EXPAND),
                                  kBaseWidth - kButtonWidth, kButtonWidth);
    double x = kBaseWidth;
    if (controlFlags & kZoomAutoFitButton) {
        mControl->autoFit = &AddButton("autoFit", "AutoFit.png", Text(OrrelDrawStr::IDS_ZOOM_AUTOFIT), x, kAutoFitWidth);
        x += kAutoFitWidth;
    }
    if (controlFlags & kZoomScrollToEndButton)
        mControl->scrollToEnd = &AddButton("scrollToEnd", "ScrollToEnd.png", Text(OrrelDrawStr::IDS_ZOOM_SCROLL_TO_END),
                                           x, kScrollToEndWidth);
}

ZoomControlMac::~ZoomControlMac()
{
    mControl->ratio->ItemMenu()->SetNeedsUpdate(nullptr);
    mControl->RemoveFromSuperview();
}

AppKit::Button& ZoomControlMac::AddButton(const std::string& id, const std::string& image, const std::string& tip,
                                          double x, double width)
{
    auto button = std::make_unique<AppKit::Button>(AppKit::Rect{x, 0, width, mControl->Frame().height});
    button->SetIdentifier(id);
    button->SetImage(KVDGetMyBundleImage(image));
    button->SetToolTip(tip);
    button->SetTarget(mHandler.get());
    button->SetAction(id + ":");
    return static_cast<AppKit::Button&>(mControl->AddSubview(std::move(button)));
}

void ZoomControlMac::FillMenu(AppKit::Menu& menu)
{
    MenuSink sink(menu, mControl->DisplayText());
    mPane->OnInitMenuPopup(sink, kFirstZoomCommand, kLastZoomCommand);
}

bool ZoomControlMac::DoAction(const std::string& selector)
{
    if (selector == "compress:")
        mPane->OnZoomXStep(false);
    else if (selector == "expand:")
        mPane->OnZoomXStep(true);
    else if (selector == "autoFit:")
        mPane->AutoScaleX(0);
    else if (selector == "scrollToEnd:")
        mPane->OnScrollToEnd();
    else if (selector == "ratioChosen:" && mControl->ratio->SelectedTag() >= kFirstZoomCommand)
        mPane->OnCommand(1, mControl->ratio->SelectedTag());
    else
        return false;
    mControl->SendAction();
    return true;
}

void ZoomControlMac::SetPosition(const TRect& rect)
{
    mControl->SetFrame(AppKit::Rect{double(rect.left), double(rect.top), double(rect.Width()), double(rect.Height())});
    mControl->SetNeedsDisplay();
}

void ZoomControlMac::SetEnabled(bool enabled)
{
    mControl->SetControlsEnabled(enabled);
}

KVD::String ZoomControlMac::CalcCompressionDisplay(const TicksPerPix& ratio) const
{
    return CompressionLabel(ratio);
}

void ZoomControlMac::SetCompressionDisplay(const TicksPerPix& ratio)
{
    SetCompressionDisplayText(CompressionLabel(ratio));
}

void ZoomControlMac::SetCompressionDisplayText(const KVD::String& text)
{
    mControl->SetDisplayText(Narrow(text));
}

TicksPerPix ZoomControlMac::CommandIdToCompression(int id) const
{
    return ZoomStepRatio(id - kFirstZoomCommand);
}

}  // namespace OrrelDraw
