// What the spirometry document answers its views, its dialogs and its report: the settings
// through ISpiroDocument, breath detection on demand, and samples, ticks and ranges.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <new>
#include <utility>

#include "foundation/KVDResultCodes.h"
#include "foundation/LocaleInfo.h"
#include "foundation/StringKeys.h"
#include "spirometry/CsvReport.h"
#include "spirometry/SpiroDocument.h"
#include "spirometry/SpiroIds.h"
#include "spirometry/SpiroText.h"

namespace Spirometry {
namespace {

constexpr uint32_t kSampleByValue = 0x40000000;
constexpr uint32_t kSampleByChannel = 0x40001000;
constexpr uint32_t kRangeInPrefixedUnits = 0xC0002000;
constexpr double kRangeMargin = 0.15;

AutoBool ToAutoBool(bool value)
{
    return value ? kAutoTrue : kAutoFalse;
}

template <class T>
HRESULT Answer(T* out, T value)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = value;
    return KVD_S_OK;
}

HRESULT ChannelList(const std::vector<int>& channels, int* count, int** list)
{
    if (count != nullptr)
        *count = static_cast<int>(channels.size());
    if (list == nullptr)
        return KVD_E_BADSTATE;
    int* copy = new (std::nothrow) int[channels.size()];
    if (copy == nullptr)
        return KVD_E_BADSTATE;
    std::copy(channels.begin(), channels.end(), copy);
    delete[] *list;
    *list = copy;
    return KVD_S_OK;
}

std::pair<double, double> WithMargins(std::pair<double, double> range)
{
    const double margin = double(float(range.first - range.second)) * kRangeMargin;
    return {range.first + margin, range.second - margin};
}

}  // namespace

void SpiroDocument::ChangeSettings(SpConfig c)
{
    HmSpiroSettings2Change(c.mForcedExpirationThreshold, c.mCycleDetectionFactor, c.mNonForcedInReport,
                           c.mSpFlowCalcChan, c.mSpVolCalcChan, Config().mFlowUnitPrefix, Config().mFlowNoiseClamp.level,
                           Config().mFlowNoiseClamp.enabled);
}

HRESULT SpiroDocument::SetFlowHead(int head)
{
    mFlowHead = head;
    return PushFlow();
}

HRESULT SpiroDocument::SetCustomConst(double scale)
{
    mCustomConst = scale;
    return PushFlow();
}

HRESULT SpiroDocument::SetUsingCustom(AutoBool custom)
{
    mUsingCustom = custom != kAutoFalse;
    return PushFlow();
}

HRESULT SpiroDocument::SetUseDriftCorr(AutoBool drift)
{
    mDriftCorrection = drift != kAutoFalse;
    return PushFlow();
}

HRESULT SpiroDocument::SetApplyNLC(AutoBool compensate)
{
    mApplyNLC = compensate != kAutoFalse;
    return PushFlow();
}

HRESULT SpiroDocument::GetFlowHead(int* head) const
{
    return Answer(head, mFlowHead);
}

HRESULT SpiroDocument::GetCustomConst(double* scale) const
{
    return Answer(scale, mCustomConst);
}

HRESULT SpiroDocument::GetUsingCustom(AutoBool* custom) const
{
    return Answer(custom, ToAutoBool(mUsingCustom));
}

HRESULT SpiroDocument::GetUseDriftCorr(AutoBool* drift) const
{
    return Answer(drift, ToAutoBool(mDriftCorrection));
}

HRESULT SpiroDocument::GetApplyNLC(AutoBool* compensate) const
{
    return Answer(compensate, ToAutoBool(mApplyNLC));
}

HRESULT SpiroDocument::SetWarmDeadSpaceAir(double millilitres)
{
    mWarmDeadSpaceAir = std::clamp(millilitres, kMinDeadSpace, kMaxDeadSpace);
    return PushVolume();
}

HRESULT SpiroDocument::SetUseVolCorr(AutoBool use)
{
    mUseVolCorr = use != kAutoFalse;
    return PushVolume();
}

HRESULT SpiroDocument::SetVolRatio(double ratio)
{
    mVolRatio = std::clamp(ratio, kMinVolRatio, kMaxVolRatio);
    return PushVolume();
}

HRESULT SpiroDocument::GetWarmDeadSpaceAir(double* millilitres) const
{
    return Answer(millilitres, mWarmDeadSpaceAir);
}

HRESULT SpiroDocument::GetUseVolCorr(AutoBool* use) const
{
    return Answer(use, ToAutoBool(mUseVolCorr));
}

HRESULT SpiroDocument::GetVolRatio(double* ratio) const
{
    return Answer(ratio, mVolRatio);
}

HRESULT SpiroDocument::GetCalcVolRatio(double* ratio) const
{
    return Answer(ratio, mCalcVolRatio);
}

HRESULT SpiroDocument::GetVolRatioLimits(double* low, double* high) const
{
    if (low == nullptr || high == nullptr)
        return KVD_E_POINTER;
    *low = kMinVolRatio;
    *high = kMaxVolRatio;
    return KVD_S_OK;
}

HRESULT SpiroDocument::GetVolRatioDefault(double* ratio) const
{
    return Answer(ratio, kDefaultVolRatio);
}

HRESULT SpiroDocument::GetDeadSpaceLimits(double* low, double* high) const
{
    if (low == nullptr || high == nullptr)
        return KVD_E_POINTER;
    *low = kMinDeadSpace;
    *high = kMaxDeadSpace;
    return KVD_S_OK;
}

HRESULT SpiroDocument::GetDeadSpaceDefault(double* millilitres) const
{
    return Answer(millilitres, kDefaultDeadSpace);
}

HRESULT SpiroDocument::SetCycleDetectionFactor(double percent)
{
    return ChangeSetting(&SpConfig::mCycleDetectionFactor, percent);
}

HRESULT SpiroDocument::SetForcedExpirationThreshold(double multiple)
{
    return ChangeSetting(&SpConfig::mForcedExpirationThreshold, multiple);
}

HRESULT SpiroDocument::SetNonForcedInReport(AutoBool listed)
{
    return ChangeSetting(&SpConfig::mNonForcedInReport, listed != kAutoFalse);
}

HRESULT SpiroDocument::GetCycleDetectionFactor(double* percent) const
{
    return Answer(percent, Config().mCycleDetectionFactor);
}

HRESULT SpiroDocument::GetForcedExpirationThreshold(double* multiple) const
{
    return Answer(multiple, Config().mForcedExpirationThreshold);
}

HRESULT SpiroDocument::GetNonForcedInReport(AutoBool* listed) const
{
    return Answer(listed, ToAutoBool(Config().mNonForcedInReport));
}

HRESULT SpiroDocument::SetRawFlowChan(int channel)
{
    mRawFlowChannel = channel;
    return KVD_S_OK;
}

HRESULT SpiroDocument::GetRawFlowChan(int* channel) const
{
    return Answer(channel, mRawFlowChannel);
}

HRESULT SpiroDocument::SetSpFlowChan(int channel)
{
    mSpFlowChannel = channel;
    return KVD_S_OK;
}

HRESULT SpiroDocument::GetSpFlowChan(int* channel) const
{
    return Answer(channel, mSpFlowChannel);
}

HRESULT SpiroDocument::SetSpFlowCalcChan(int channel)
{
    return ChangeSetting(&SpConfig::mSpFlowCalcChan, channel);
}

HRESULT SpiroDocument::SetSpVolCalcChan(int channel)
{
    return ChangeSetting(&SpConfig::mSpVolCalcChan, channel);
}

HRESULT SpiroDocument::GetSpFlowCalcChan(int* channel) const
{
    return Answer(channel, static_cast<int>(Config().mSpFlowCalcChan));
}

HRESULT SpiroDocument::GetSpVolCalcChan(int* channel) const
{
    return Answer(channel, static_cast<int>(Config().mSpVolCalcChan));
}

HRESULT SpiroDocument::GetFlowCalcChanList(int* count, int** list) const
{
    return ChannelList(mFlowCalcChannels, count, list);
}

HRESULT SpiroDocument::GetVolCalcChanList(int* count, int** list) const
{
    return ChannelList(mVolCalcChannels, count, list);
}

bool SpiroDocument::AnyViewOpen() const
{
    IDocument* document = const_cast<SpiroDocument*>(this)->GetInnerDocument();
    if (document == nullptr)
        return false;
    for (TCAFId view : {SpiroReportViewTypeId(), SpiroDataViewTypeId(), SpiroLoopViewTypeId()}) {
        AutoBool open = kAutoFalse;
        document->IsViewOpen(view, &open);
        if (open != kAutoFalse)
            return true;
    }
    return false;
}

void SpiroDocument::FigureSpiroFactsAndFigures(bool force, bool redetect)
{
    if (!force && !AnyViewOpen())
        return;
    if (!mChanged)
        return;
    mMachine->Go(GetRecordData(), mSelStart, mSelEnd, redetect || std::exchange(mDataModified, false));
    mChanged = false;
}

bool SpiroDocument::ValidSelection(bool multiRecord, bool redetect, KVD::String* reason)
{
    if (reason != nullptr)
        *reason = multiRecord ? mMultiRecordReason : mSingleRecordReason;
    if (!(multiRecord ? mMultiRecordValid : mSingleRecordValid))
        return false;
    if (mMachine->Go(GetRecordData(), mSelStart, mSelEnd, redetect || std::exchange(mDataModified, false)) > 0)
        return true;
    if (reason != nullptr) {
        *reason = mMultiRecordReason = mSingleRecordReason =
            CachedText<SpirometryStr::IDS_SELECTION_ERROR_REASON_12>();
        mMultiRecordValid = mSingleRecordValid = false;
    }
    return false;
}

int SpiroDocument::TicksPerSecondAt(KVDPosition position) const
{
    const double rate = TickRateAt(position);
    return rate > 0.0 ? static_cast<int>(rate + 0.5) : 0;
}

double SpiroDocument::TickRateAt(KVDPosition position) const
{
    double interval = 0.0;
    if (IRecordData* records = GetRecordData())
        records->GetSecsPerTick(position.record, &interval);
    return interval > 0.0 ? 1.0 / interval : 0.0;
}

int64_t SpiroDocument::TicksBetween(KVDPosition a, KVDPosition b) const
{
    int64_t ticksA = 0;
    int64_t ticksB = 0;
    if (IRecordData* records = GetRecordData()) {
        records->GetAbsoluteTick(a, &ticksA);
        records->GetAbsoluteTick(b, &ticksB);
    }
    return ticksB - ticksA;
}

std::pair<KVDPosition, KVDPosition> SpiroDocument::AnalysedSpan() const
{
    const BreathList& breaths = mMachine->Breaths();
    if (breaths.GetCount() == 0)
        return {mSelStart, mSelEnd};
    return {breaths[0]->start, breaths[breaths.GetCount() - 1]->end};
}

int64_t SpiroDocument::TotalTicks() const
{
    const auto span = AnalysedSpan();
    return TicksBetween(span.first, span.second);
}

bool SpiroDocument::DataAt(KVDPosition position, float* flow, float* volume, bool mode) const
{
    IRecordData* records = GetRecordData();
    uint32_t ticks = 0;
    if (records != nullptr)
        records->GetRecordTicks(position.record, &ticks);
    if (position.tick >= ticks)
        return false;
    const uint32_t key = mode ? kSampleByValue : kSampleByChannel;
    if (flow != nullptr)
        records->GetSample(TChannelId{Config().mSpFlowCalcChan, key}, position, flow);
    if (volume != nullptr)
        records->GetSample(TChannelId{Config().mSpVolCalcChan, key}, position, volume);
    return true;
}

bool SpiroDocument::DataAtRelative(KVDPosition position, double seconds, float* flow, float* volume, bool mode) const
{
    KVDPosition after{};
    return PositionAfter(position, seconds, after) && DataAt(after, flow, volume, mode);
}

bool SpiroDocument::PositionAfter(KVDPosition position, double seconds, KVDPosition& after) const
{
    const double offset = std::trunc(TicksPerSecondAt(position) * seconds);
    const double tick = double(position.tick) + offset;
    if (tick < 0.0 || tick >= double(kNoPositionTick))
        return false;
    after = KVDPosition{static_cast<uint32_t>(tick), position.record};
    return true;
}

std::pair<double, double> SpiroDocument::YRange(uint32_t blockType, int channel, KVDPosition from,
                                                KVDPosition to) const
{
    std::pair<double, double> range{DBL_MAX, -DBL_MAX};
    const KVD::COMPtr<IRecordData> records(GetRecordData());
    if (records != nullptr)
        records->GetRange(TChannelId{channel, blockType}, from, to, &range.first, &range.second);
    return range;
}

std::pair<double, double> SpiroDocument::FlowRange() const
{
    const auto span = AnalysedSpan();
    return WithMargins(YRange(kRangeInPrefixedUnits, Config().mSpFlowCalcChan, span.first, span.second));
}

std::pair<double, double> SpiroDocument::VolumeRange() const
{
    const auto span = AnalysedSpan();
    return WithMargins(YRange(kRangeInPrefixedUnits, Config().mSpVolCalcChan, span.first, span.second));
}

HRESULT SpiroDocument::WriteTheReportInCSV(const KVD::String& path)
{
    const LocaleInfo* locale = LocaleInfo::sTheLocaleInfo.load();
    const KVD::String separator((locale != nullptr ? locale : LocaleInfo::InitTheLocaleInfo())->ListSeparator());
    KVD::String reason;
    if (!ValidSelection(false, false, &reason)) {
        reason += L"\r\n";
        return CsvReport::WriteLatin1(path, reason) ? KVD_E_REPORTMESSAGE : KVD_E_BADSTATE;
    }
    return CsvReport::WriteLatin1(path, CsvReport(*this, separator).Text()) ? KVD_S_OK : KVD_E_BADSTATE;
}

}  // namespace Spirometry
