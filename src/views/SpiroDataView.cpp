#include "views/SpiroDataView.h"

#include <algorithm>
#include <locale>
#include <sstream>

#include "FrameworkIds.h"
#include "ISpiroDocument.h"
#include "IUnitName.h"
#include "foundation/StringKeys.h"
#include "foundation/units/EngDouble.h"
#include "foundation/units/UnitPrefixScaling.h"
#include "plot/IntervalStrings.h"
#include "spirometry/SpiroDocument.h"
#include "spirometry/SpiroIds.h"
#include "views/SpiroDataPrintJob.h"
#include "views/SpiroDataWindow.h"

namespace Spirometry {

namespace {

typedef EventIdClass<&CLSID_OrrelDocument, 0u> SelectionChangedEventId;
typedef EventIdClass<&CLSID_OrrelDocument, 4u> DataChangedEventId;
typedef EventIdClass<&SpiroDocumentGUID, 0u> SettingsChangedEventId;

// Samples and units of the channels' data as the host shows it.
constexpr uint32_t kShownData = 0xC0002000;
// The host's channel id of a computed channel's data.
constexpr uint64_t kChannelIdFlags = 0xC000000000000000ull;
constexpr int kReadoutDecimals = 3;

std::wstring Wide(const KVD::String& text) { return std::wstring(text.c_str(), text.length()); }

}  // namespace

const KVD::String SpiroDataView::kEnumFlowId(L"$Spiro_Flow_Data");
const KVD::String SpiroDataView::kEnumVolumeId(L"$Spiro_Volume_Data");

CAF_DEFINE_RESPONSE_TABLE(SpiroDataView, KVD::LumoViewBase) = {
    TableHeader(),
    ResponseTable::Event<SpiroDataView>(&SelectionChangedEventId::GetId, &SpiroDataView::EvSelChanged),
    ResponseTable::Event<SpiroDataView>(&DataChangedEventId::GetId, &SpiroDataView::EvDataChanged),
    ResponseTable::Event<SpiroDataView>(&SettingsChangedEventId::GetId, &SpiroDataView::EvRedraw),
    TableEnd(),
};

SpiroDataView::SpiroDataView(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document,
                             NSBundle* bundle)
    : KVD::LumoViewDouble(parent, viewClass, docView, document, bundle)
{
    const KVD::COMPtr<ISpiroDocInterface> spiro(KVD::com_cast(document));
    mDocument = dynamic_cast<SpiroDocument*>(spiro.get());
    // The settings event comes from the spirometry document, the others from the root.
    const KVD::COMPtr<ISubject> root(KVD::com_cast(GetRootDocument()));
    const KVD::COMPtr<ISubject> own(KVD::com_cast(document));
    if (own != nullptr && own != root)
        ObserveEvents(own);
}

SpiroDataView::~SpiroDataView()
{
    for (const auto& job : mJobs)
        job->Abandon();
    mJobs.clear();
    CleanupWindow();
    mFlowSource.Clear();
    mVolumeSource.Clear();
}

const KVD::String& SpiroDataView::GetStaticViewName()
{
    static const KVD::String name(KVDGetMyBundle(), SpirometryStr::ID_SPIROMETRY_DATA, true);
    return name;
}

KVD::String SpiroDataView::Edit_CopyToClipboardMenuText() const
{
    return KVD::String(KVDGetMyBundle(), SpirometryStr::IDS_COPY_DATA_WINDOW, true);
}

KVD::String SpiroDataView::File_PrintMenuText() const
{
    return KVD::String(KVDGetMyBundle(), SpirometryStr::IDS_PRINT_DATA_WINDOW, true);
}

void SpiroDataView::SetupWindow()
{
    KVD::LumoViewDouble::SetupWindow();
    if (mDocument != nullptr)
        mDocument->FigureSpiroFactsAndFigures(true, true);
}

SPIRO_KVDDocViewWindowController* SpiroDataView::GetWindowController() const { return mWindow.get(); }

bool SpiroDataView::CreateWindowController()
{
    mWindow = std::make_shared<SpiroDataWindow>(this, mDocument);
    return mWindow != nullptr;
}

void SpiroDataView::CleanupWindowController()
{
    if (mWindow != nullptr)
        mWindow->ForgetOwnerView();
    mWindow.reset();
}

void SpiroDataView::SetUpdateFlags(uint32_t reason, uint32_t& flags)
{
    switch (reason) {
    case 4:
    case 6:
        flags |= KVD::kUpdateSources | KVD::kUpdateRanges | KVD::kUpdateMarkup;
        break;
    case 5:
        flags |= KVD::kUpdateSources | KVD::kUpdateMarkup;
        break;
    default:
        break;
    }
}

void SpiroDataView::UpdatePlots(uint32_t flags)
{
    if (flags & KVD::kUpdateSources)
        UpdateSources();
    if (flags & KVD::kUpdateData) {
        GetPlot1().PlotterDataChanged(GetPlotId1(), 0x7FFFFFFF, 0x7FFFFFFF);
        GetPlot2().PlotterDataChanged(GetPlotId2(), 0x7FFFFFFF, 0x7FFFFFFF);
    }
    if (flags & KVD::kUpdateRangesIfUnset)
        UpdateRanges(false, true);
    if (flags & KVD::kUpdateRanges)
        UpdateRanges(false, false);
    if (flags & KVD::kUpdateRescale)
        UpdateRanges(true, false);
    if (flags & KVD::kUpdateMarkup) {
        GetPlot1().SetMarkup(GetFlowMarkup());
        GetPlot2().SetMarkup(GetVolumeMarkup());
    }
}

void SpiroDataView::UpdateSources()
{
    const SpConfig* config = mDocument != nullptr ? &mDocument->Config() : nullptr;
    mFlowSource.Clear();
    if (config != nullptr)
        CreateEnum(kEnumFlowId, config->mSpFlowCalcChan, mFlowSource.Set());
    GetPlot1().SetEnumSource(kEnumFlowId, mFlowSource.get());
    GetPlot1().RegisterClickablePlot(kEnumFlowId, KVD::String(), GetPlotId1(), KVD::PlotType(0));
    mVolumeSource.Clear();
    if (config != nullptr)
        CreateEnum(kEnumVolumeId, config->mSpVolCalcChan, mVolumeSource.Set());
    GetPlot2().SetEnumSource(kEnumVolumeId, mVolumeSource.get());
    GetPlot2().RegisterClickablePlot(kEnumVolumeId, KVD::String(), GetPlotId2(), KVD::PlotType(0));
}

void SpiroDataView::UpdateRanges(bool userRescale, bool onlyIfUnset)
{
    ChannelYDataRange x{0, 0}, y{0, 0};
    GetFlowScaleRanges(x, y);
    GetPlot1().SetScaleRanges(x, y, userRescale, onlyIfUnset);
    x = y = ChannelYDataRange{0, 0};
    GetVolumeScaleRanges(x, y);
    GetPlot2().SetScaleRanges(x, y, userRescale, onlyIfUnset);
}

HRESULT SpiroDataView::CreateEnum(const KVD::String&, int channel, IEnumFloatEx** out) const
{
    if (mDocument == nullptr || !mDocument->ValidSelection(false, false, nullptr))
        return kNoSource;
    IRecordData* records = mDocument->GetRecordData();
    if (records == nullptr)
        return kNoSource;
    const auto span = mDocument->AnalysedSpan();
    return records->GetFloatStream(TChannelId{channel, kShownData}, span.first, span.second.tick, out);
}

void SpiroDataView::XRange(ChannelYDataRange& x) const
{
    if (mDocument == nullptr)
        return;
    const auto span = mDocument->AnalysedSpan();
    // In floating point: whole seconds would cut up to a second off either end.
    const double tps = mDocument->TicksPerSecondAt(span.first);
    if (tps <= 0.0)
        return;
    x.high = double(int32_t(span.second.tick)) / tps;
    x.low = double(span.first.tick) / tps;
}

bool SpiroDataView::GetFlowScaleRanges(ChannelYDataRange& x, ChannelYDataRange& y) const
{
    XRange(x);
    if (mDocument != nullptr) {
        const auto range = mDocument->FlowRange();
        y = ChannelYDataRange{range.first, range.second};
    }
    return true;
}

bool SpiroDataView::GetVolumeScaleRanges(ChannelYDataRange& x, ChannelYDataRange& y) const
{
    XRange(x);
    if (mDocument != nullptr) {
        const auto range = mDocument->VolumeRange();
        y = ChannelYDataRange{range.first, range.second};
    }
    return true;
}

KVD::String SpiroDataView::GetFlowMarkup() const { return Markup(true); }

KVD::String SpiroDataView::GetVolumeMarkup() const { return Markup(false); }

KVD::String SpiroDataView::Markup(bool flow) const
{
    if (mDocument == nullptr)
        return KVD::String();
    const auto span = mDocument->AnalysedSpan();
    const double tps = mDocument->TicksPerSecondAt(span.first);
    const int channel = flow ? mDocument->Config().mSpFlowCalcChan : mDocument->Config().mSpVolCalcChan;
    ChannelYDataRange x{0, 0}, y{0, 0};
    if (flow)
        GetFlowScaleRanges(x, y);
    else
        GetVolumeScaleRanges(x, y);
    const uint64_t id = kChannelIdFlags | uint32_t(channel);
    const TChannelId channelId{int32_t(uint32_t(id)), uint32_t(id >> 32)};

    std::wostringstream out;
    out.imbue(std::locale::classic());
    out << L"topmargin: 20, " << L"rightmargin: 40, " << L"tplot: {" << L"id: '"
        << Wide(flow ? GetPlotId1() : GetPlotId2()) << L"', " << L"xdata: "
        << Wide(KVD::GetOpenIntervalString(double(span.first.tick) / tps, 1.0 / tps)) << L", " << L"ydata: '"
        << Wide(flow ? kEnumFlowId : kEnumVolumeId) << L"' "
        << Wide(KVD::GetClosedIntervalString<int64_t>(span.first.tick, 1, span.second.tick)) << L", "
        << L"colour: " << Wide(GetTraceColour(channelId, 1.0)) << L"}, " << L"graticule: { colour:"
        << Wide(GetGraticuleColour()) << L" }, " << L"xlabel: 'Time (" << L"s" << L")', "
        << (flow ? L"ylabel: 'Flow (" : L"ylabel: 'Volume (") << Wide(GetUnitName(channel, true)) << L")', "
        << L"fullrange_yscalemin: " << y.low << L"," << L"fullrange_yscalemax: " << y.high << L","
        << L"fullrange_xscalemin: " << x.low << L"," << L"fullrange_xscalemax: " << x.high << L",";
    return KVD::String(out.str());
}

KVD::String SpiroDataView::GetUnitName(int channel, bool flag) const
{
    KVD::String text;
    IRecordData* records = mDocument != nullptr ? mDocument->GetRecordData() : nullptr;
    if (records == nullptr)
        return text;
    KVD::COMPtr<IUnitName> unit;
    records->GetChannelUnitName(mDocument->AnalysedSpan().first.record, TChannelId{channel, kShownData}, unit.Set());
    if (unit != nullptr)
        unit->GetName(flag ? kAutoTrue : kAutoFalse, KVD::String::Setter(text));
    return text;
}

KVD::String SpiroDataView::GetFlowLabel() const
{
    const int channel = mDocument != nullptr ? mDocument->Config().mSpFlowCalcChan : -1;
    const KVD::String text(KVDGetMyBundle(), SpirometryStr::IDS_FLOW, true);
    return channel < 0 ? text : KVD::String(L"Ch " + std::to_wstring(channel + 1) + L" : " + Wide(text));
}

KVD::String SpiroDataView::GetVolumeLabel() const
{
    const int channel = mDocument != nullptr ? mDocument->Config().mSpVolCalcChan : -1;
    const KVD::String text(KVDGetMyBundle(), SpirometryStr::IDS_VOLUME, true);
    return channel < 0 ? text : KVD::String(L"Ch " + std::to_wstring(channel + 1) + L" : " + Wide(text));
}

KVD::String SpiroDataView::ReadoutText(bool flow, const double* value, const double* seconds) const
{
    if (value == nullptr || seconds == nullptr || mDocument == nullptr)
        return KVD::String();
    // The value comes in litres (the document's samples); the line shows it in the settings'
    // prefix, whose letter goes before the unit without prefix.
    const SpConfig& config = mDocument->Config();
    const int channel = flow ? config.mSpFlowCalcChan : config.mSpVolCalcChan;
    const int exponent =
        EngUtils::engdouble::GetExponent(UnitPrefixScaling::sLetterFromPrefix(UnitPrefix(config.mFlowUnitPrefix)));
    const EngUtils::engdouble shown(*value, KVD::UnitInfo(0, kUnitPrefixNone, GetUnitName(channel, false)));
    const EngUtils::engdouble time(*seconds, KVD::UnitInfo(0, kUnitPrefixNone, KVD::String(L"s")));
    const std::wstring text = L" " + Wide(flow ? GetFlowLabel() : GetVolumeLabel()) + L" at " +
                              time.ToScaledString(0, kReadoutDecimals, true, L"", false) + L" = " +
                              shown.ToScaledString(exponent, kReadoutDecimals, true, L"", false);
    return KVD::String(text);
}

void SpiroDataView::DoViewPrint() { StartJob(false); }

void SpiroDataView::DoViewCopy() { StartJob(true); }

void SpiroDataView::StartJob(bool copy)
{
    // The job holds itself until both pages have answered, or for a bounded time.
    mJobs.erase(std::remove_if(mJobs.begin(), mJobs.end(), [](const auto& job) { return job->Done() || job->Failed(); }),
                mJobs.end());
    const auto job = KVD::MakeCounted<SpiroDataViewPrintJob>(this, GetPlotId1(), GetPlotId2(), GetViewName(), copy);
    mJobs.push_back(job);
    job->Init();
}

}  // namespace Spirometry
