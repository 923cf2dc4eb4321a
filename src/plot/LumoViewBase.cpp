#include "plot/LumoViewBase.h"

#include <cmath>
#include <cstdio>

#include "FrameworkIds.h"
#include "appkit/Window.h"
#include "framework/HostDocumentQueries.h"
#include "framework/KVDDocViewWindowController.h"
#include "framework/MsgData.h"
#include "plot/LumoIds.h"

namespace KVD {
namespace {

constexpr MsgFlags kViewCommandFlags = 0x40;
typedef MsgData0<StaticMsgIdClass<kMsgId_Copy>, kViewCommandFlags> ViewCopyMsg;
typedef MsgData0<StaticMsgIdClass<kMsgId_Print>, kViewCommandFlags> ViewPrintMsg;
typedef MsgData0<StaticMsgIdClass<kMsgId_PrintPreview>, kViewCommandFlags> ViewPrintPreviewMsg;
typedef StaticTypeIdClass<kEventId_HostViewEvent> SizingEventId;
typedef LumoEventId<kLumoUpdate> UpdatePlotsEventId;
typedef EventIdClass<&CLSID_OrrelDocument, 7u> ChannelDisplayInfoEventId;

// The flags of each update kind, 0 to 6.
constexpr uint32_t kKindFlags[] = {0x13, 0x20, 0x20, 0x18, 0x19, 0x11, 0x13};

// A 16-bit colour component as the page's 8 bits, through single precision as drawn.
uint8_t Narrow(uint16_t component) { return static_cast<uint8_t>(static_cast<float>(component / 65535.0) * 255.0f); }

void AppendHex(std::string& out, uint8_t value)
{
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", value);
    out += digits;
}

}  // namespace

CAF_DEFINE_RESPONSE_TABLE(LumoViewBase, ViewBase) = {
    TableHeader(),
    ResponseTable::Event<LumoViewBase>(&SizingEventId::GetId, &LumoViewBase::OnSizing),
    ResponseTable::Message<LumoViewBase, ViewCopyMsg>(&LumoViewBase::HmViewCopy, 0xFFFF),
    ResponseTable::Message<LumoViewBase, ViewPrintMsg>(&LumoViewBase::HmViewPrint, 0xFFFF),
    ResponseTable::Message<LumoViewBase, ViewPrintPreviewMsg>(&LumoViewBase::HmViewPrintPreview, 0xFFFF),
    ResponseTable::Event<LumoViewBase>(&UpdatePlotsEventId::GetId, &LumoViewBase::EvUpdatePlots),
    ResponseTable::Event<LumoViewBase>(&ChannelDisplayInfoEventId::GetId, &LumoViewBase::EvChannelDisplayInfoChanged),
    TableEnd(),
};

LumoViewBase::LumoViewBase(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document,
                           NSBundle* bundle)
    : ViewBase(parent, viewClass, docView, document, L"", bundle), mAutoDocument(com_cast(GetRootDocument()))
{
    // The document's channel-display event reaches the view from the root document.
    const COMPtr<ISubject> root(com_cast(GetRootDocument()));
    if (root != nullptr)
        ObserveEvents(root);
}

void LumoViewBase::SetupWindow()
{
    ObservePlotEvents();
    SetPlotIdentifiers();
}

HWND LumoViewBase::Create()
{
    HWND record{};
    if (!CreateWindowController())
        return record;
    SetupWindow();
    SPIRO_KVDDocViewWindowController* controller = GetWindowController();
    if (controller != nullptr)
        record.words[2] = reinterpret_cast<uintptr_t>(&controller->GetWindow());
    return record;
}

void LumoViewBase::SetUpdateFlags(uint32_t kind, uint32_t& flags)
{
    if (kind < sizeof kKindFlags / sizeof kKindFlags[0])
        flags |= kKindFlags[kind];
    if (kind == 0)
        mSampling = true;
    else if (kind == 2)
        mSampling = false;
}

void LumoViewBase::EvUpdatePlots(uint32_t kind)
{
    uint32_t flags = 0;
    SetUpdateFlags(kind, flags);
    ++mUpdates;
    UpdatePlots(flags);
}

void LumoViewBase::EvChannelDisplayInfoChanged(uint32_t)
{
    ++mUpdates;
    UpdatePlots(kUpdateMarkup);
}

void LumoViewBase::OnSizing(unsigned int, const tagRECT*, tagSIZE* size)
{
    if (size != nullptr)
        *size = kMinViewSize;
}

bool LumoViewBase::HmViewCopy()
{
    DoViewCopy();
    return true;
}

bool LumoViewBase::HmViewPrint()
{
    DoViewPrint();
    return true;
}

bool LumoViewBase::IsSampling() const
{
    int32_t sampling = 0;
    return mAutoDocument != nullptr && mAutoDocument->GetSamplingState(&sampling) == KVD_S_OK && sampling != 0;
}

COMPtr<IChannelDisplaySettings2> LumoViewBase::DisplaySettings() const
{
    COMPtr<IChannelDisplaySettings2> settings;
    if (mAutoDocument != nullptr)
        mAutoDocument->GetChannelDisplaySettings(0, settings.Set());
    return settings;
}

String LumoViewBase::GetTraceColour(TChannelId channel, double opacity) const
{
    uint32_t rgb = 0;
    const COMPtr<IChannelDisplaySettings2> settings = DisplaySettings();
    if (settings != nullptr)
        settings->GetChannelTraceColour(channel.channel, &rgb);
    std::string text = "#";
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t c = rgb >> shift & 0xFF;
        AppendHex(text, Narrow(static_cast<uint16_t>(std::trunc(c / 255.0 * 65535.0))));
    }
    AppendHex(text, static_cast<uint8_t>(static_cast<int>(std::trunc(opacity * 255.0))));
    return ToKVDString(text);
}

String LumoViewBase::GetGraticuleColour() const
{
    const TColor colour = OrrelDraw::GetGraticuleColour(DisplaySettings());
    std::string text = "#";
    AppendHex(text, Narrow(colour.red));
    AppendHex(text, Narrow(colour.green));
    AppendHex(text, Narrow(colour.blue));
    return ToKVDString(text + "ff");
}

}  // namespace KVD
