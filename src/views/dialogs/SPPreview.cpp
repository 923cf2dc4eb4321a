#include "views/dialogs/SPPreview.h"

#include <locale>
#include <sstream>
#include <string>

#include "IChannelCalc.h"
#include "ISetCalcFromString.h"
#include "ISetVirtualChans.h"
#include "foundation/DynamicId.h"
#include "foundation/OStringStream.h"
#include "framework/HostDocumentQueries.h"
#include "spirometry/DlgCommon.h"
#include "spirometry/SpFlowSettings.h"
#include "trace/CustomUnitsPolyLineTraceDrawer.h"
#include "trace/DrawUtils.h"
#include "trace/EventDrawer.h"
#include "trace/GraticuleDrawer.h"
#include "trace/OrrelColours.h"

namespace Spirometry {

namespace {

constexpr TChannelId kNoChannel{int32_t(0x80000000), 0xC0000000u};
// Request words: channel references and host queries, and channels handed to drawers.
constexpr uint32_t kReference = 0xC0000000u;
constexpr uint32_t kDrawn = 0x40000000u;
constexpr BlockDataType kDrawerType = 4096;
constexpr uint32_t kPreviewPaneFlags = 0x80000000u;
constexpr DragScaleStyle kPreviewScaleStyle = 0x2F30;
constexpr unsigned kOpaque = 255;
constexpr int kTraceLayer = 0x201;
constexpr int kPane = 0;
// The graticule without its grid, for a document whose graticule is off.
constexpr uint32_t kNoGrid = OrrelDraw::GraticuleDrawer::kNoVerticalGrid | OrrelDraw::GraticuleDrawer::kNoHorizontalGrid;
// Digits a double may need to read back as itself.
constexpr int kMaxDigits = 17;

CAFId ArithmeticCalculation()
{
    return TypeIdClass<&GUID_ArithCalcId, 0>::GetId();
}

KVD::COMPtr<IChannelCalc> CalculationOn(IOrrelData2* data, TChannelId channel)
{
    KVD::COMPtr<IOffLineData> offline;
    if (data == nullptr || data->GetChannelCalculation(channel, offline.Set()) != KVD_S_OK)
        return nullptr;
    return KVD::COMPtr<IChannelCalc>(KVD::com_cast(offline.get()));
}

}  // namespace

KVD::String SUNMapper::GetUnits(const KVD::String& units, UnitPrefix prefix, UnitPrefix* outPrefix) const
{
    if (outPrefix != nullptr)
        *outPrefix = prefix;
    return units;
}

bool SUNMapper::Map(const KVD::String& channelUnits, const KVD::String&, KVD::String& shown, UnitPrefix& prefix) const
{
    shown = GetUnits(channelUnits, prefix, &prefix);
    return true;
}

SPPreview::SPPreview(IAutoOrrelDoc* document, IOrrelData2* data, OrrelDraw::SPIRO_DataPaneView* view,
                     const SpConfig* settings)
    : mUnits(L"?"), mFirstVirtual(kNoChannel), mSecondVirtual(kNoChannel), mSettings(settings)
{
    Init(document, data, view, kPreviewPaneFlags, kPreviewScaleStyle);
    const KVD::COMPtr<IOrrelData2> recordData(KVD::com_cast(RecordData()));
    if (const KVD::COMPtr<ISetVirtualChans> channels{KVD::com_cast(recordData.get())}) {
        KVD::String name;
        channels->AddVirtualChannel(0, 0, 0, KVD::String::Setter(name), &mFirstVirtual);
        channels->AddVirtualChannel(0, 0, 0, KVD::String::Setter(name), &mSecondVirtual);
    }
}

SPPreview::~SPPreview()
{
    for (const auto& [channel, settings] : mOriginalFlowSettings)
        if (const KVD::COMPtr<IChannelCalc> calc = CalculationOn(Data(), TChannelId{channel, kReference}))
            calc->Configure(settings.get(), kAutoFalse);
}

TChannelId SPPreview::FlowId() const
{
    return TChannelId{mFlowChannel, kReference};
}

TChannelId SPPreview::VolumeId() const
{
    return TChannelId{mVolumeChannel, kReference};
}

void SPPreview::SetupWindow(int flag)
{
    int record = 0;
    KVDPosition left{kNoPositionTick, kNoPositionRecord};
    KVDPosition second = left;
    double ticksPerPixel = 1.0;
    OrrelClient::gGetViewDataDisplayInfo(Document(), record, left, second, ticksPerPixel);
    mRecord = record;
    SetupWindowR(record, flag);
    SetPosition(left, ticksPerPixel);
}

void SPPreview::Update(int flowChannel, int volumeChannel, double detectionFactor, bool recreate)
{
    mFlowChannel = flowChannel;
    mVolumeChannel = volumeChannel;
    mDetectionFactor = detectionFactor;
    mRecreate = recreate;
    Recreate(false);
}

KVD::String SPPreview::FactorText(double factor)
{
    // The shortest text without an exponent, else the shortest with one.
    KVD::String shortest;
    for (int digits = 1; digits <= kMaxDigits; ++digits) {
        KVD::OStringStream out;
        out.imbue(std::locale::classic());
        out.precision(digits);
        out << factor;
        const KVD::String text = out.str();
        std::istringstream back(KVD::ToU8String(text));
        back.imbue(std::locale::classic());
        double read = 0;
        if (!(back >> read) || read != factor)
            continue;
        const bool exponent = std::wstring(text.c_str()).find(L'e') != std::wstring::npos;
        if (!exponent)
            return text;
        if (shortest.empty())
            shortest = text;
    }
    return shortest;
}

KVD::String SPPreview::Expression(TChannelId flow, TChannelId volume, double factor)
{
    KVD::String flowReference, volumeReference;
    DlgCommon::getSourceChanAsString(flowReference, flow);
    DlgCommon::getSourceChanAsString(volumeReference, volume);
    KVD::String expression(L"SPEEVol(SpVol(");
    expression += volumeReference;
    expression += L"), SPEEFlow(";
    expression += flowReference;
    expression += L", ";
    expression += FactorText(factor);
    expression += L"))";
    return expression;
}

void SPPreview::Recreate(bool)
{
    IOrrelData2* data = Data();
    mFlowUnitsKnown = DlgCommon::getChannelUnitsR(true, FlowId(), mRecord, mUnits, data) && mRecreate;
    SPPreviewState state;
    state.valid = 1;
    state.secondFlag = 0;
    HandOverNoiseClamp(data);
    state.units = mUnits;
    KVD::String flowUnits;
    if (!DlgCommon::getChannelHasMultipleBaseUnits(FlowId(), data))
        DlgCommon::getChannelUnitsR(false, FlowId(), mRecord, flowUnits, data);
    KVD::String calculationUnits;
    UnitPrefix prefix = kUnitPrefixNone;
    GetPPUnits(flowUnits, kUnitPrefixNone, calculationUnits, prefix);
    state.expression = Expression(FlowId(), VolumeId(), mDetectionFactor);
    DlgCommon::getSourceChanAsString(state.virtualReference, mFirstVirtual);
    if (!mRecreate)
        return;
    if (OrrelDraw::PreviewWinPane* pane = Pane()) {
        if (mState.valid != 0)
            pane->ClearRecordDrawers(kPane, 0, kNoChannel);
        const KVD::COMPtr<IOrrelRecordDrawer> graticule = KVD::MakeCounted<OrrelDraw::GraticuleDrawer>(
            kDrawerType, TChannelId{mFlowChannel, kDrawn}, kScaleLeft, GraticuleFlag() ? 0u : kNoGrid,
            GraticuleColour(), false);
        pane->AddRecordDrawer(kPane, 0, graticule, kOpaque);
        if (mFlowUnitsKnown)
            AddDrawers(state, calculationUnits, data);
    }
    mState = state;
}

void SPPreview::AddDrawers(const SPPreviewState& state, const KVD::String& flowUnits, IOrrelData2* data)
{
    OrrelDraw::PreviewWinPane* pane = Pane();
    SetChannelCalcs(state, flowUnits, data);
    TColor colour = OrrelColours::ChannelColour(mFlowChannel);
    if (Document() != nullptr)
        DlgCommon::getChannelColour(colour, mFlowChannel, Document());
    const KVD::COMPtr<IOrrelRecordDrawer> trace = KVD::MakeCounted<OrrelDraw::CustomUnitsPolyLineTraceDrawer>(
        kDrawerType, TChannelId{mFlowChannel, kDrawn}, std::make_unique<SUNMapper>(FlowId(), mSettings),
        kScaleLeft, &colour, kNoChannel, 0, kTraceLayer);
    pane->SetTraceIndicatorColour(0, kPane, kScaleLeft, true, OrrelDraw::RgbFromColour(colour), 0);
    pane->AddRecordDrawer(kPane, 0, trace, kOpaque);
    const KVD::COMPtr<IOrrelRecordDrawer> events = KVD::MakeCounted<OrrelDraw::EventDrawer>(kDrawerType, mFirstVirtual);
    pane->AddRecordDrawer(kPane, 0, events, kOpaque);
    LockUnitsPrefix(true, true);
}

void SPPreview::SetChannelCalcs(const SPPreviewState& state, const KVD::String& units, IOrrelData2* data)
{
    const bool sameFirst = mState.valid != 0 && mState.secondFlag == state.secondFlag &&
                           mState.expression == state.expression && mState.units == state.units;
    if (!sameFirst)
        DlgCommon::setChannelCalculation(ArithmeticCalculation(), state.expression, units, data, mFirstVirtual);
    const bool sameSecond =
        mState.valid != 0 && mState.virtualReference == state.virtualReference && mState.units == state.units;
    if (!sameSecond)
        DlgCommon::setChannelCalculation(ArithmeticCalculation(), state.virtualReference, mUnits, data, mSecondVirtual);
}

void SPPreview::HandOverNoiseClamp(IOrrelData2* data)
{
    const KVD::COMPtr<IChannelCalc> calc = CalculationOn(data, FlowId());
    KVD::COMPtr<IPersistObject> current;
    if (calc == nullptr || mSettings == nullptr || calc->GetSettings(current.Set()) != KVD_S_OK)
        return;
    const auto* flow = dynamic_cast<const SpFlowSettings*>(current.get());
    if (flow == nullptr)
        return;
    mOriginalFlowSettings.emplace(mFlowChannel, KVD::MakeCounted<SpFlowSettings>(flow));
    const auto proposed = KVD::MakeCounted<SpFlowSettings>();
    proposed->SetFrom(flow);
    proposed->mClamp = mSettings->mFlowNoiseClamp;
    calc->Configure(proposed.get(), kAutoFalse);
}

void SPPreview::LockUnitsPrefix(bool left, bool right)
{
    UnitPrefix prefix = kUnitPrefixNone;
    DlgCommon::getUnitsPrefixR(FlowId(), mRecord, prefix, Data(), mSettings);
    if (left)
        LockDragScaleUnitsPrefix(ExtLib::kSideLeft, prefix);
    if (right) {
        KVD::String units;
        UnitPrefix rightPrefix = prefix;
        GetPPUnits(KVD::String(), prefix, units, rightPrefix);
        LockDragScaleUnitsPrefix(ExtLib::kSideRight, rightPrefix);
    }
}

void SPPreview::GetPPUnits(const KVD::String& units, UnitPrefix prefix, KVD::String& outUnits,
                           UnitPrefix& outPrefix) const
{
    outUnits = units;
    outPrefix = prefix;
}

void SPPreview::AutoScaleY(ExtLib::ESide side, ChannelYDataRange* range)
{
    LockUnitsPrefix(side == ExtLib::kSideLeft, side == ExtLib::kSideRight);
    if (side == ExtLib::kSideLeft) {
        PreviewPaneBase::AutoScaleY(ExtLib::kSideLeft, range);
        return;
    }
    ChannelYDataRange left = GetY(ExtLib::kSideLeft);
    PreviewPaneBase::AutoScaleY(ExtLib::kSideRight, &left);
}

void SPPreview::SetY(ExtLib::ESide side, ChannelYDataRange range)
{
    LockUnitsPrefix(side == ExtLib::kSideLeft, side == ExtLib::kSideRight);
    PreviewPaneBase::SetY(side, range);
}

}  // namespace Spirometry
