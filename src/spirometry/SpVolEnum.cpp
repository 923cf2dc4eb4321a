#include "spirometry/SpVolEnum.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "spirometry/FlowUnits.h"
#include "spirometry/SettingsTextReader.h"

namespace Spirometry {

namespace {

// Below this the text is the source token of the calculation's settings text.
constexpr long kSourceTokenLimit = -2147483647L;
// Stored lengths (with the NUL) of texts too short to carry settings: the old defaults apply.
constexpr unsigned kShortestSettingsCount = 6;

const wchar_t* const kParamNames[] = {L"Spirometry Flow channel", L"Volume correction", L"Dead space",
                                      L"Volume ratio"};
const CalcEnums::Range kParamRanges[] = {{0, 0}, {0, 1}, {-FLT_MAX, FLT_MAX}, {-FLT_MAX, FLT_MAX}};
const KVDEnumDataType kParamTypes[] = {kEnumDataSamples, kEnumDataSamples, kEnumDataSamples, kEnumDataSamples};
const wchar_t* const kAliases[] = {L"SpVol"};

}  // namespace

const CalcEnums::NumericParamsFuncTable SpVolEnum::sFuncTable = {
    kParamNames, kParamRanges, kParamTypes, 4, 1, kAliases, 1, 0, kEnumDataSamples};

HRESULT SpVolPolicy::SetSettings(IAutoKVDString* text, BlockUpdateType* update, bool* clearCache)
{
    if (clearCache != nullptr)
        *clearCache = true;
    mSettingsText = KVD::String(text);
    if (update != nullptr)
        *update = kUpdateAll;
    ParseSettings(mSettingsText);
    return KVD_S_OK;
}

void SpVolPolicy::ParseSettings(const KVD::String& text)
{
    long correction = 1;
    long reset = 0;
    // A text that ends early leaves the values that change nothing, never an earlier text's.
    mDeadSpace = 0.0;
    mVolumeRatio = 1.0;
    mLegacyText = false;
    if (text.GetCount() < kShortestSettingsCount) {
        mLegacyText = true;
    } else {
        SettingsTextReader in(text);
        long first = 0;
        in.Read(first);
        if (first < kSourceTokenLimit) {
            in.Read(correction);
        } else {
            correction = first;
            mLegacyText = true;
        }
        in.Read(mDeadSpace);
        in.Read(mVolumeRatio);
        in.Read(reset);
    }
    mApplyCorrection = correction == 1;
    mResetVolume = reset == 1;
    if (!(mVolumeRatio >= kMinVolumeRatio && mVolumeRatio <= kMaxVolumeRatio)) {
        mApplyCorrection = false;
        mVolumeRatio = 1.0;
    }
}

HRESULT SpVolPolicy::SetSources(int32_t, long count, IUnknown** sources, IUnitName** units, double secondsPerSample,
                                CalcEnumFlags)
{
    KVD::COMPtr<IEnumFloatEx> source(KVD::com_cast(count > 0 && sources != nullptr ? sources[0] : nullptr));
    if (!source)
        return KVD_E_BADSTATE;
    mReader.SetEnum(source);
    mUnitName = units != nullptr ? units[0] : nullptr;
    mScale = secondsPerSample;
    CheckSourceUnit();
    return KVD_S_OK;
}

void SpVolPolicy::CheckSourceUnit()
{
    mSourceUnitsPerML = 0.001;
    // A source given without a unit says nothing against being flow: it is taken as L/s.
    if (!mUnitName)
        return;
    KVD::String unit;
    mUnitName->GetName(kAutoTrue, KVD::String::Setter(unit));
    if (FlowUnitVolumePerML(unit, mSourceUnitsPerML))
        return;
    // Volume from anything but flow is no volume: every output becomes NaN.
    if (!mLegacyText)
        mScale = std::numeric_limits<double>::quiet_NaN();
}

namespace {

// One flow sample in, the volume after it out. The settings are template arguments, so that
// the common case is a plain running sum; without correction the dead-space accumulator is
// never read (a change of settings drops every saved state) and is not kept up.
template <bool Correct, bool Reset>
struct Integrator {
    CDouble& s;
    const double scale;
    const double deadSpace;
    const double ratio;

    float operator()(float flow) const
    {
        const double f = flow * scale;
        if (Reset && s.previousFlow < 0.0 && f >= 0.0 && 0.9 * s.maximumVolume > s.volume) {
            s.volume = 0.0;
            s.maximumVolume = 0.0;
        }
        double added = f;
        if (Correct) {
            s.deadSpaceAccumulator = std::max(s.deadSpaceAccumulator - f, 0.0);
            if (f < 0.0 && s.deadSpaceAccumulator > deadSpace) {
                added = f / ratio;
                s.deadSpaceAccumulator = deadSpace;
            }
        }
        s.volume += added;
        s.maximumVolume = std::max(s.maximumVolume, s.volume);
        s.previousFlow = f;
        return float(s.volume);
    }
};

}  // namespace

HRESULT SpVolPolicy::DoNext(uint32_t count, float* out, uint32_t* delivered)
{
    if (mApplyCorrection)
        return mResetVolume ? Integrate<true, true>(count, out, delivered) : Integrate<true, false>(count, out, delivered);
    return mResetVolume ? Integrate<false, true>(count, out, delivered) : Integrate<false, false>(count, out, delivered);
}

template <bool Correct, bool Reset>
HRESULT SpVolPolicy::Integrate(uint32_t count, float* out, uint32_t* delivered)
{
    State s = mState;
    const Integrator<Correct, Reset> integrate{s, mScale, DeadSpaceInSourceUnits(), mVolumeRatio};
    uint32_t n = 0;
    while (n < count) {
        // More than a buffer's worth is integrated where the source keeps it, or comes from
        // the source straight into out and is integrated there.
        if (mReader.Buffered() == 0 && count - n >= mReader.kCapacity) {
            const float* in = nullptr;
            uint32_t got = mReader.NextInPlace(count - n, in);
            if (in == nullptr) {
                got = mReader.NextPastBuffer(count - n, out + n);
                in = out + n;
            }
            for (uint32_t k = 0; k < got; ++k)
                out[n + k] = integrate(in[k]);
            n += got;
            if (got == 0)
                break;
            continue;
        }
        if (!mReader.HasMore())
            break;
        // What the reader holds is integrated without asking it again for each sample.
        for (const uint32_t end = n + std::min<uint32_t>(uint32_t(mReader.Buffered()), count - n); n < end; ++n)
            out[n] = integrate(mReader.Next());
    }
    mState = s;
    *delivered = n;
    return mReader.Buffered() > 0 ? KVD_S_OK : mReader.LastResult();
}

void SpVolPolicy::StartOfRecord()
{
    mState = State{0.0, 0.0, 0.0, 0.0};
    if (IEnumFloatEx* source = mReader.Source()) {
        int32_t position = 0;
        int32_t skipped = 0;
        source->GetPosition(&position);
        source->SkipEx(-position, &skipped);
    }
}

HRESULT SpVolEnum::CloneSlave(IUnknown* outer, ICalcEnum** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    SpVolEnum* copy = new SpVolEnum(*this);
    if (outer != nullptr) {
        copy->AggregateIn(outer);
        // The outer object keeps the copy by its inner IUnknown, as CreateEx hands it out.
        *out = reinterpret_cast<ICalcEnum*>(copy->NonDelegating());
    } else {
        *out = copy->CalcFace();
    }
    return KVD_S_OK;
}

}  // namespace Spirometry
