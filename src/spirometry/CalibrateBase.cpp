#include "spirometry/CalibrateBase.h"

#include <algorithm>
#include <cmath>

#include "IChannelCalc.h"
#include "IEnumFloatEx.h"
#include "IUnitName.h"
#include "foundation/numeric/LinearFit.h"
#include "spirometry/FlowUnits.h"
#include "spirometry/SpiroIds.h"
#include "spirometry/SpiroText.h"

namespace Spirometry {

namespace {

void SetReason(KVD::String* reason, const KVD::String& text)
{
    if (reason != nullptr)
        *reason = text;
}

bool IsSet(KVDPosition p)
{
    return p.tick != kNoPositionTick || p.record != kNoPositionRecord;
}

// A factor that is zero or no number must never reach the volume or flow scale.
double UsableOrOne(double factor, KVD::String* message)
{
    if (std::isfinite(factor) && factor != 0.0)
        return factor;
    SetReason(message, CachedText<SpirometryStr::IDS_CALIBRATION_NO_RESULT>());
    return 1.0;
}

// Index of the smallest value in [first, last); a later one wins only when strictly smaller.
size_t IndexOfMinimum(const std::vector<float>& values, size_t first, size_t last)
{
    size_t best = first;
    for (size_t i = first + 1; i < last; ++i)
        if (values[i] < values[best])
            best = i;
    return best;
}

}  // namespace

CalibrateBase::CalibrateBase(IAutoOrrelDoc* document, IRecordData* recordData)
    : mRecordData(recordData), mDocument(document)
{
}

void CalibrateBase::SetupFromOmbrisk(KVDPosition start, KVDPosition end, long channel)
{
    mRangeStart = start;
    mRangeEnd = end;
    mCalcFlowChannel = channel;
}

bool CalibrateBase::FlowCalibrationCanBeDone(KVD::String* reason)
{
    SetReason(reason, CachedText<SpirometryStr::IDS_NO_FLOW_SELECTION>());
    return CalCheck(reason, mRawFlowChannel, mRawFlowChannel == mCalcFlowChannel ? kRawRecordedData : kChannelData);
}

bool CalibrateBase::VolumeCalibrationCanBeDone(KVD::String* reason)
{
    SetReason(reason, CachedText<SpirometryStr::IDS_NO_VOL_SELECTION>());
    return CalCheck(reason, mCalcFlowChannel, kChannelData);
}

bool CalibrateBase::HasRange() const
{
    return IsSet(mRangeStart) && IsSet(mRangeEnd);
}

bool CalibrateBase::GetRange(KVD::String* reason, KVDPosition& start, KVDPosition& end)
{
    if (HasRange()) {
        start = mRangeStart;
        end = mRangeEnd;
        return true;
    }
    KVD::COMPtr<IRecordDataSelection> selection;
    if (mDocument != nullptr)
        mDocument->GetSelection(0, selection.Set());
    if (selection == nullptr || !KVDSucceeded(selection->GetRange(&start, &end))) {
        SetReason(reason, CachedText<SpirometryStr::IDS_NO_VALID_SELECTION>());
        return false;
    }
    AutoBool valid = kAutoFalse;
    return selection->HasSelection(&valid) == KVD_S_OK && valid != kAutoFalse;
}

bool CalibrateBase::CalCheck(KVD::String* reason, long channel, uint32_t type)
{
    // Every negative index, the unset channel's included, names no channel.
    if (channel < 0) {
        SetReason(reason, CachedText<SpirometryStr::IDS_CHANNEL_NOT_SET>());
        return false;
    }
    KVDPosition start, end;
    if (!GetRange(reason, start, end))
        return false;
    if (start.record != end.record) {
        SetReason(reason, CachedText<SpirometryStr::IDS_RANGE_WARNING_1>());
        return false;
    }
    AutoBool has = kAutoFalse;
    if (mRecordData == nullptr ||
        mRecordData->HasChannelData(start.record, TChannelId{int32_t(channel), type}, &has) != KVD_S_OK ||
        has == kAutoFalse) {
        SetReason(reason, CachedText<SpirometryStr::IDS_RANGE_WARNING_2>());
        return false;
    }
    // Samples and ticks coincide in the streams the calibration reads. A range to the record's
    // end names it with the largest tick: the record has only so many.
    uint32_t ticks = 0;
    if (mRecordData->GetRecordTicks(start.record, &ticks) == KVD_S_OK)
        end.tick = std::min(end.tick, ticks);
    mSampleCount = int64_t(end.tick) - int64_t(start.tick);
    if (mSampleCount <= 0) {
        SetReason(reason, CachedText<SpirometryStr::IDS_NO_VALID_SELECTION>());
        return false;
    }
    SetReason(reason, KVD::String());
    return true;
}

bool CalibrateBase::OrganiseFlowData(long channel, uint32_t type)
{
    KVDPosition start, end;
    mFlow.clear();
    if (mRecordData == nullptr || mSampleCount <= 0 || !GetRange(nullptr, start, end))
        return false;
    mSampleInterval = 0.0;
    mRecordData->GetSecsPerTick(start.record, &mSampleInterval);
    KVD::COMPtr<IEnumFloatEx> stream;
    mRecordData->GetFloatStream(TChannelId{int32_t(channel), type}, start, end.tick, stream.Set());
    if (stream == nullptr)
        return false;
    mFlow.resize(size_t(mSampleCount));
    uint32_t delivered = 0;
    stream->Next(uint32_t(mSampleCount), mFlow.data(), &delivered);
    // What the stream did not deliver was never read.
    mFlow.resize(std::min<size_t>(delivered, mFlow.size()));
    mSampleCount = int64_t(mFlow.size());
    return !mFlow.empty();
}

void CalibrateBase::OrganiseVolData()
{
    if (mFlow.empty())
        return;
    mVolume.assign(mFlow.size(), 0.0f);
    for (size_t i = 1; i < mFlow.size(); ++i)
        mVolume[i] = float(mVolume[i - 1] + mFlow[i - 1] * mSampleInterval);
    mFlowIntegral = mVolume.back();
}

double CalibrateBase::CalcFlowGain(double knownVolume, KVD::String* message) const
{
    const double gain = mFlowIntegral == 0.0f ? 0.0 : std::fabs(knownVolume / mFlowIntegral);
    return UsableOrOne(gain, message);
}

double CalibrateBase::CalcVolume(double gain) const
{
    return std::fabs(gain * mFlowIntegral);
}

bool CalibrateBase::DetectFlowChannel(long channel) const
{
    if (mDocument == nullptr)
        return false;
    KVD::COMPtr<IOrrelData2> data;
    mDocument->GetData(data.Set());
    KVD::COMPtr<IOrrelSetCalcData> calcData = KVD::com_cast(data.get());
    if (calcData == nullptr)
        return false;
    KVD::COMPtr<ICalculation> calculation;
    calcData->GetCalculation(0xC000000000000000ull | uint32_t(channel), calculation.Set());
    if (calculation == nullptr)
        return false;
    KVD::COMPtr<ICalculationClass> cls;
    calculation->GetCalculationClass(cls.Set());
    TCAFId id = 0;
    return cls != nullptr && cls->GetTypeId(&id) == KVD_S_OK && id == SpFlowCalcTypeId();
}

double CalibrateBase::CalcVolumeCorrectionFactor(VolumeCorrectionMethod method, double deadSpaceML,
                                                 KVD::String* message)
{
    if (!CalCheck(nullptr, mCalcFlowChannel, kChannelData) || !OrganiseFlowData(mCalcFlowChannel, kChannelData))
        return 1.0;
    const double deadSpace = deadSpaceML * FlowVolumePerML();
    double factor;
    if (method == kVolumeCorrectionLinearFit)
        factor = LinearFitFactor(deadSpace);
    else if (method == kVolumeCorrectionWholeBreaths)
        factor = WholeBreathsFactor(deadSpace);
    else
        return 1.0;
    return std::clamp(UsableOrOne(factor, message), kMinVolumeRatio, kMaxVolumeRatio);
}

double CalibrateBase::FlowVolumePerML()
{
    // The dead space is in mL; the flow's own unit says what that is in its volume.
    double perML = 0.001;
    KVDPosition start, end;
    KVD::COMPtr<IUnitName> unit;
    if (GetRange(nullptr, start, end))
        mRecordData->GetChannelUnitName(start.record, TChannelId{int32_t(mCalcFlowChannel), kChannelData}, unit.Set());
    KVD::String text;
    if (unit != nullptr)
        unit->GetName(kAutoTrue, KVD::String::Setter(text));
    FlowUnitVolumePerML(text, perML);
    return perML;
}

double CalibrateBase::LinearFitFactor(double deadSpace) const
{
    // The running series A and B are fitted as they grow: their sums are all the fits need.
    ExtLib::LinearFitSums sumsA, sumsB;
    double a = 0.0, b = 0.0;
    double accumulator = mFlow[0] < 0.0f ? deadSpace : 0.0;
    for (size_t i = 0; i < mFlow.size(); ++i) {
        const double t = double(i) * mSampleInterval;
        const double v = mFlow[i] * mSampleInterval;
        accumulator = std::max(0.0, std::min(deadSpace, accumulator + v));
        // Expired volume beyond each expiration's dead space goes to b, everything else to a.
        if (accumulator <= 0.0 && v < 0.0)
            b += v;
        else
            a += v;
        sumsA.Add(t, a);
        sumsB.Add(t, b);
    }
    if (!(b < 0.0))
        return 1.0;
    std::vector<double> fitA, fitB;
    if (!sumsB.Fit(fitB, nullptr) || !sumsA.Fit(fitA, nullptr))
        return 1.0;
    return -fitB[1] / fitA[1];
}

double CalibrateBase::WholeBreathsFactor(double deadSpace)
{
    OrganiseVolData();
    const size_t n = mVolume.size();
    const size_t i1 = n >= 6 ? IndexOfMinimum(mVolume, 0, n / 3) : 0;
    const size_t i2 = IndexOfMinimum(mVolume, 2 * n / 3, n);
    float accumulator = 0.0f, inspired = 0.0f, corrected = 0.0f, deadSpaceExpired = 0.0f;
    const float d = float(deadSpace);
    for (size_t i = i1; i < i2; ++i) {
        const float v = float(mFlow[i] * mSampleInterval);
        accumulator = std::max(0.0f, accumulator - v);
        if (v >= 0.0f) {
            inspired += v;
        } else if (accumulator > d) {
            corrected += v;
            accumulator = d;
        } else {
            deadSpaceExpired += v;
        }
    }
    const float total = deadSpaceExpired + inspired;
    return total == 0.0f ? 0.0 : -corrected / total;
}

}  // namespace Spirometry
