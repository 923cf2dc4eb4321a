#include "spirometry/SpFlowEnum.h"

#include <cfloat>
#include <cmath>

#include "IRecordData.h"
#include "IUnitsConversion.h"
#include "foundation/COMPtr.h"
#include "spirometry/FlowHeads.h"
#include "spirometry/RecordCodes.h"
#include "spirometry/SettingsTextReader.h"

namespace Spirometry {

namespace {

constexpr long kSourcePlaceholder = -2147483648L;
// Text lengths, with the terminating NUL, that are too short to carry settings.
constexpr unsigned kShortestSettingsCount = 8;
// The drift estimate averages this many samples at each end of the record.
constexpr uint32_t kDriftEndSamples = 10;
// Both ends are quiet below this share of the raw channel's full range.
constexpr double kQuietShare = 0.025;
constexpr double kFullRangeStored = 32000.0;

const wchar_t* const kParamNames[] = {L"Raw Flow channel", L"Apply drift correction", L"Raw flow channel index",
                                      L"Head scale", L"Non-linear compensation"};
const CalcEnums::Range kParamRanges[] = {
    {0, 0}, {0, 1}, {0, 2147483647.0}, {-FLT_MAX, FLT_MAX}, {-FLT_MAX, FLT_MAX}};
const KVDEnumDataType kParamTypes[] = {kEnumDataSamples, kEnumDataSamples, kEnumDataSamples, kEnumDataSamples,
                                       kEnumDataSamples};
const wchar_t* const kAliases[] = {L"SpFlow"};

// The double arithmetic runs twice as wide where the processor has AVX2; the clone is chosen
// once, when the program is loaded. Clang cannot clone templates: its builds (the fuzz
// targets) take the plain loop.
#if defined(__clang__)
#define SPIRO_AVX2_CLONES
#else
#define SPIRO_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
#endif

// One pass over the delivered samples; the flags are template arguments so that each
// combination is a loop without branches.
template <bool Drift, bool Compensate, bool Clamp>
SPIRO_AVX2_CLONES void ConvertToFlow(float* samples, uint32_t n, int32_t first,
                                                                    double offset, double slope, double scale,
                                                                    double coefficient, float clampBelow)
{
    for (uint32_t k = 0; k < n; ++k) {
        float x = samples[k];
        if constexpr (Drift)
            x -= float(offset + slope * double(first + int32_t(k)));
        double y;
        if constexpr (Compensate) {
            // scale (1 - k) x for x >= 0 and scale (1 + k) x below, k = coefficient x: one
            // expression without a branch, equal to the last bit.
            y = scale * (1.0 - coefficient * std::fabs(double(x))) * x;
        } else {
            y = double(x) * scale;
        }
        float out = float(y);
        if constexpr (Clamp)
            out = std::fabs(out) < clampBelow ? 0.0f : out;
        samples[k] = out;
    }
}

using Converter = void (*)(float*, uint32_t, int32_t, double, double, double, double, float);

// The least float at or above the level: a float magnitude is below the level exactly when it
// is below this, so the clamp compares floats.
float ClampBelow(double level)
{
    float below = float(level);
    if (double(below) < level)
        below = std::nextafter(below, INFINITY);
    return below;
}

constexpr Converter kConverters[8] = {
    ConvertToFlow<false, false, false>, ConvertToFlow<false, false, true>, ConvertToFlow<false, true, false>,
    ConvertToFlow<false, true, true>,   ConvertToFlow<true, false, false>, ConvertToFlow<true, false, true>,
    ConvertToFlow<true, true, false>,   ConvertToFlow<true, true, true>,
};

}  // namespace

const CalcEnums::NumericParamsFuncTable SpFlowEnum::sFuncTable = {
    kParamNames, kParamRanges, kParamTypes, 5, 1, kAliases, 1, 0, kEnumDataSamples};

SpFlowEnum::SpFlowEnum(ICalcEnumClass2* classObject, IOrrelData2* data) : SingleSourceNoDelayCalc(classObject, data)
{
}

HRESULT SpFlowEnum::SetSettings(IAutoKVDString* text, BlockUpdateType* update)
{
    const KVD::String settings(text);
    StoreSettings(settings);
    mSettingsText = settings;
    ParseSettings(settings);
    if (update != nullptr)
        *update = kUpdateAll;
    return KVD_S_OK;
}

void SpFlowEnum::ParseSettings(const KVD::String& text)
{
    mParsed = Parsed();
    Parsed& p = mParsed;
    long drift = 0;
    long compensation = 0;
    if (text.GetCount() >= kShortestSettingsCount) {
        SettingsTextReader in(text);
        long first = 0;
        in.Read(first);
        if (first > kSourcePlaceholder) {
            // A formula call: SpFlow(source, drift, raw channel index, head scale, coefficient).
            drift = first;
            in.Read(p.rawFlowChannel);
            in.Read(p.headScale);
            in.Read(p.coefficient);
            p.customHead = true;
            p.nonLinearCompensation = std::fabs(p.coefficient - 1.0) > 0.001;
            p.ownChannel = p.rawFlowChannel;
            p.driftCorrection = drift == 1;
            return;
        }
        long custom = 0;
        long clamp = 0;
        in.Read(drift);
        in.Read(p.headIndex);
        in.Read(custom);
        in.Read(p.headScale);
        in.Read(compensation);
        in.Read(p.rawFlowChannel);
        in.Read(p.ownChannel);
        in.Read(clamp);
        in.Read(p.clampLevel);
        p.customHead = custom == 1;
        p.clampEnabled = clamp == 1;
    }
    const FlowHeads heads;
    if (!p.customHead && heads.IsRow(p.headIndex)) {
        // With a built-in head the table's constant counts, not the scale in the text.
        p.headScale = heads.GetScale(unsigned(p.headIndex));
        p.coefficient = heads.GetCoefficient(unsigned(p.headIndex));
        p.nonLinearCompensation = compensation == 1;
    }
    p.driftCorrection = drift == 1;
}

HRESULT SpFlowEnum::SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                               CalcEnumFlags flags)
{
    const HRESULT hr = SingleSourceNoDelayCalc::SetSources(record, count, sources, units, sampling, flags);
    mSourceFlags = flags;
    DetermineDriftValuesByRecLength(record);
    return hr;
}

void SpFlowEnum::DetermineDriftValuesByRecLength(int32_t record)
{
    if (!RemovesDrift() || Data() == nullptr)
        return;
    KVD::COMPtr<IRecordData> records;
    Data()->GetRecordData(records.Set());
    uint32_t length = 0;
    if (records == nullptr || records->GetRecordTicks(record, &length) != KVD_S_OK)
        return;
    // Every kept span starts at tick 0: a new record is estimated, a grown one is not.
    const bool startDiffers = record != mDriftSpanStart.record || mDriftSpanStart.tick != 0;
    const bool endDiffers = record != mDriftSpanEnd.record || mDriftSpanEnd.tick != length;
    if (!startDiffers || !endDiffers)
        return;
    mDriftSpanStart = KVDPosition{0, record};
    mDriftSpanEnd = KVDPosition{length, record};
    mDriftOffset = 0.0;
    mDriftSlope = 0.0;
    if (length <= 2 * kDriftEndSamples)
        return;

    const uint32_t dataFlags = mParsed.rawFlowChannel == mParsed.ownChannel ? 0x1001u : 0x40001000u;
    const TChannelId channel{int32_t(mParsed.rawFlowChannel), dataFlags};
    KVD::COMPtr<IEnumFloatEx> stream;
    records->GetFloatStream(channel, mDriftSpanStart, length, stream.Set());
    if (stream == nullptr)
        return;
    float head[kDriftEndSamples], tail[kDriftEndSamples];
    uint32_t headCount = 0, tailCount = 0;
    int32_t skipped = 0;
    const int32_t middle = int32_t(length - 2 * kDriftEndSamples);
    stream->Next(kDriftEndSamples, head, &headCount);
    stream->SkipEx(middle, &skipped);
    stream->Next(kDriftEndSamples, tail, &tailCount);
    // Ends the stream did not deliver in full give no estimate.
    if (headCount != kDriftEndSamples || tailCount != kDriftEndSamples || skipped != middle)
        return;
    float s1 = 0.0f, m1 = 0.0f, s2 = 0.0f, m2 = 0.0f;
    for (uint32_t i = 0; i < kDriftEndSamples; ++i) {
        s1 += head[i];
        m1 = std::fmax(m1, std::fabs(head[i]));
        s2 += tail[i];
        m2 = std::fmax(m2, std::fabs(tail[i]));
    }

    KVD::COMPtr<IUnitsConversion> units;
    records->GetUnitsConversion(record, channel, units.Set());
    double fullRange = 0.0;
    if (units == nullptr || units->ConvertValue(dataFlags, kFullRangeStored, &fullRange) != KVD_S_OK)
        return;
    const float threshold = float(fullRange * kQuietShare);
    if (m1 < threshold && m2 < threshold) {
        const float mean1 = s1 / float(kDriftEndSamples);
        const float mean2 = s2 / float(kDriftEndSamples);
        mDriftOffset = mean1;
        mDriftSlope = (mean2 - mean1) / float(length);
    }
}

HRESULT SpFlowEnum::Next(uint32_t count, float* buffer, uint32_t* delivered)
{
    IEnumFloatEx* source = SourceStream();
    uint32_t got = 0;
    HRESULT hr = KVD_E_BADSTATE;
    int32_t first = 0;
    if (source != nullptr && buffer != nullptr) {
        source->GetPosition(&first);
        hr = source->Next(count, buffer, &got);
    }
    const Parsed& p = mParsed;
    const unsigned variant = (RemovesDrift() ? 4 : 0) | (p.nonLinearCompensation ? 2 : 0) | (p.clampEnabled ? 1 : 0);
    kConverters[variant](buffer, got, first, mDriftOffset, mDriftSlope, p.headScale, p.coefficient,
                         ClampBelow(p.clampLevel));
    if (delivered != nullptr)
        *delivered = got;
    return got == count ? KVD_S_OK : hr;
}

HRESULT SpFlowEnum::CloneSlave(IUnknown* outer, ICalcEnum** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    SpFlowEnum* copy = new SpFlowEnum(*this);
    if (outer != nullptr) {
        copy->AggregateIn(outer);
        // The outer object keeps the copy by its inner IUnknown, as CreateEx hands it out.
        *out = reinterpret_cast<ICalcEnum*>(copy->NonDelegating());
    } else {
        *out = copy->CalcFace();
    }
    return KVD_S_OK;
}

HRESULT SpFlowEnum::Clone(IEnumExBase** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = (new SpFlowEnum(*this))->StreamFace();
    return KVD_S_OK;
}

}  // namespace Spirometry
