#include "views/SpiroLoopView.h"

#include <cfloat>
#include <locale>
#include <sstream>

#include "FrameworkIds.h"
#include "IObserver.h"
#include "IRecordData.h"
#include "ISpiroDocument.h"
#include "IUnitName.h"
#include "ResultCodes.h"
#include "foundation/StringKeys.h"
#include "plot/IntervalStrings.h"
#include "spirometry/SpiroDocument.h"
#include "spirometry/SpiroIds.h"
#include "views/SpiroLoopWindow.h"

namespace Spirometry {
namespace {

typedef EventIdClass<&CLSID_OrrelDocument, 0u> SelectionChangedEventId;
typedef EventIdClass<&CLSID_OrrelDocument, 4u> DataChangedEventId;
typedef EventIdClass<&SpiroDocumentGUID, 0u> SettingsChangedEventId;

// The channel's data in prefixed units: what the ranges are of, so what the plot shows.
constexpr uint32_t kPrefixedData = 0xC0002000;
constexpr uint32_t kTraceColourFlags = 0xC0000000;
constexpr uint32_t kRedrawFlags = 0x15;
constexpr uint32_t kNewSourcesFlags = 0x11;

// "Ch n : text" for a chosen channel (0 or more), else the text alone.
KVD::String ChannelLabel(int channel, const KVD::String& text)
{
    if (channel < 0)
        return text;
    KVD::String label(L"Ch " + std::to_wstring(channel + 1) + L" : ");
    label += text;
    return label;
}

}  // namespace

const KVD::String SpiroLoopView::kEnumXId(L"$Spiro_Flow");
const KVD::String SpiroLoopView::kEnumYId(L"$Spiro_Volume");

CAF_DEFINE_RESPONSE_TABLE(SpiroLoopView, KVD::LumoViewXY) = {
    TableHeader(),
    ResponseTable::Event<SpiroLoopView>(&SelectionChangedEventId::GetId, &SpiroLoopView::EvRedraw),
    ResponseTable::Event<SpiroLoopView>(&DataChangedEventId::GetId, &SpiroLoopView::EvRedraw),
    ResponseTable::Event<SpiroLoopView>(&SettingsChangedEventId::GetId, &SpiroLoopView::EvRedraw),
    TableEnd(),
};

SpiroLoopView::SpiroLoopView(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document,
                             NSBundle* bundle)
    : KVD::LumoViewXY(parent, viewClass, docView, document, bundle)
{
    const KVD::COMPtr<ISpiroDocInterface> spiro(KVD::com_cast(document));
    mSpiroDocument = dynamic_cast<SpiroDocument*>(spiro.get());
    if (mSpiroDocument != nullptr)
        mSpiroDocument->FigureSpiroFactsAndFigures(true, true);
    ObserveOwnDocument(document);
}

SpiroLoopView::~SpiroLoopView()
{
    KVD::LumoViewBase::CleanupWindow();
}

// The base observes the host document (selection and data); the settings event is the
// spirometry document's own.
void SpiroLoopView::ObserveOwnDocument(IDocument* document)
{
    const KVD::COMPtr<ISubject> root(KVD::com_cast(GetRootDocument()));
    const KVD::COMPtr<ISubject> own(KVD::com_cast(document));
    if (own != nullptr && own != root)
        ObserveEvents(own);
}

const KVD::String& SpiroLoopView::GetStaticViewName()
{
    static const KVD::String name(KVDGetMyBundle(), SpirometryStr::ID_SP_FLOW_VOLUME_PLOT, true);
    return name;
}

KVD::String SpiroLoopView::Edit_CopyToClipboardMenuText() const
{
    return KVD::String(KVDGetMyBundle(), SpirometryStr::IDS_COPY_FLOW_VOLUME_PLOT, true);
}

KVD::String SpiroLoopView::File_PrintMenuText() const
{
    return KVD::String(KVDGetMyBundle(), SpirometryStr::IDS_PRINT_FLOW_VOLUME_PLOT, true);
}

SPIRO_KVDDocViewWindowController* SpiroLoopView::GetWindowController() const
{
    return mWindow.get();
}

bool SpiroLoopView::CreateWindowController()
{
    mWindow = std::make_shared<SpiroLoopWindow>(this);
    return mWindow != nullptr;
}

void SpiroLoopView::CleanupWindowController()
{
    if (mWindow != nullptr)
        mWindow->ForgetOwnerView();
    mWindow.reset();
}

void SpiroLoopView::SetUpdateFlags(uint32_t kind, uint32_t& flags)
{
    if (kind == 4 || kind == 6)
        flags |= kRedrawFlags;
    else if (kind == 5)
        flags |= kNewSourcesFlags;
}

void SpiroLoopView::GetScaleRanges(ChannelYDataRange& x, ChannelYDataRange& y) const
{
    if (mSpiroDocument == nullptr)
        return;
    const auto volume = mSpiroDocument->VolumeRange();
    const auto flow = mSpiroDocument->FlowRange();
    x = ChannelYDataRange{volume.first, volume.second};
    y = ChannelYDataRange{flow.first, flow.second};
}

KVD::String SpiroLoopView::GetVolumeLabel() const
{
    const KVD::String text(KVDGetMyBundle(), SpirometryStr::IDS_VOLUME, true);
    return mSpiroDocument != nullptr ? ChannelLabel(mSpiroDocument->Config().mSpVolCalcChan, text) : text;
}

KVD::String SpiroLoopView::GetFlowLabel() const
{
    const KVD::String text(KVDGetMyBundle(), SpirometryStr::IDS_FLOW, true);
    return mSpiroDocument != nullptr ? ChannelLabel(mSpiroDocument->Config().mSpFlowCalcChan, text) : text;
}

KVD::String SpiroLoopView::GetUnitName(int channel) const
{
    KVD::String name;
    IRecordData* records = mSpiroDocument != nullptr ? mSpiroDocument->GetRecordData() : nullptr;
    if (records == nullptr)
        return name;
    const int record = int(mSpiroDocument->AnalysedSpan().first.record);
    KVD::COMPtr<IRecordChannel> data;
    records->GetChannelObject(record, TChannelId{channel, kPrefixedData}, data.Set());
    KVD::COMPtr<IUnitName> units;
    if (data != nullptr)
        data->GetUnitName(kPrefixedData, units.Set());
    if (units != nullptr)
        units->GetName(kAutoTrue, KVD::String::Setter(name));
    return name;
}

KVD::String SpiroLoopView::GetMarkup() const
{
    if (mSpiroDocument == nullptr)
        return KVD::String();
    const SpConfig& config = mSpiroDocument->Config();
    const int flow = config.mSpFlowCalcChan, volume = config.mSpVolCalcChan;
    const auto span = mSpiroDocument->AnalysedSpan();
    const KVD::String colour = GetTraceColour(TChannelId{flow, kTraceColourFlags}, 1.0);
    const KVD::String volumeUnit = GetUnitName(volume), flowUnit = GetUnitName(flow);
    const KVD::String interval = KVD::GetClosedIntervalString<int>(int(span.first.tick), 1, int(span.second.tick));
    ChannelYDataRange x{DBL_MAX, -DBL_MAX}, y{DBL_MAX, -DBL_MAX};
    GetScaleRanges(x, y);

    std::wostringstream out;
    out.imbue(std::locale::classic());
    out << L"topmargin: 40, " << L"rightmargin: 40, " << L"scatter: {" << L"id: '" << kPlotId << L"', "
        << L"cursor: { readout: 'Volume: {0} " << volumeUnit << L", Flow: {1} " << flowUnit << L"' }, "
        << L"xdata: '" << kEnumXId << L"' " << interval << L", " << L"ydata: '" << kEnumYId << L"' "
        << interval << L", " << L"show_points: false, " << L"show_lines: true, " << L"colour: " << colour << L"}, "
        << L"graticule: { colour:" << GetGraticuleColour() << L", style: 'dashed' }, " << L"xlabel: '"
        << GetVolumeLabel() << L" (" << volumeUnit << L")', " << L"ylabel: '" << GetFlowLabel() << L" ("
        << flowUnit << L")', " << L"fullrange_yscalemin: " << y.low << L", " << L"fullrange_yscalemax: " << y.high
        << L", " << L"fullrange_xscalemin: " << x.low << L", " << L"fullrange_xscalemax: " << x.high << L", ";
    return KVD::String(out.str());
}

HRESULT SpiroLoopView::CreateStreams(IEnumFloatEx** x, IEnumFloatEx** y)
{
    if (mSpiroDocument == nullptr)
        return KVD_E_BADSTATE;
    const auto span = mSpiroDocument->AnalysedSpan();
    // Detection runs again here; the span is the one the markup was written for.
    if (!mSpiroDocument->ValidSelection(false, false, nullptr))
        return KVD_E_BADSTATE;
    IRecordData* records = mSpiroDocument->GetRecordData();
    if (records == nullptr)
        return KVD_E_BADSTATE;
    const SpConfig& config = mSpiroDocument->Config();
    const HRESULT volume =
        records->GetFloatStream(TChannelId{config.mSpVolCalcChan, kPrefixedData}, span.first, span.second.tick, x);
    const HRESULT flow =
        records->GetFloatStream(TChannelId{config.mSpFlowCalcChan, kPrefixedData}, span.first, span.second.tick, y);
    return volume != KVD_S_OK ? volume : flow;
}

void SpiroLoopView::CreateEnum(const KVD::String&, const KVD::String&, IEnumFloatEx** x, IEnumFloatEx** y)
{
    CreateStreams(x, y);
}

}  // namespace Spirometry
