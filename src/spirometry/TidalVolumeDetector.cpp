#include "spirometry/TidalVolumeDetector.h"

#include <cfloat>

#include "CalcEnumTypes.h"
#include "spirometry/SpiroIds.h"

namespace Spirometry {

namespace {

using EEH3::kNoTick;

const wchar_t* const kParamNames[] = {L"Tick Source", L"Height", L"PNEND"};
const CalcEnums::Range kParamRanges[] = {{0, 0}, {0, DBL_MAX}, {-1, -1}};
const KVDEnumDataType kParamTypes[] = {kEnumDataSamples, kEnumDataSamples};
const wchar_t* const kAliases[] = {L"SpTidVol", L"ALEND"};

// A negative phase must hold more than this share of the cycle's positive volume to end the
// cycle, and a positive phase this share of the previous negative volume to end itself: short
// blips of the other sign are thus counted where they occur without cutting the cycle.
constexpr double kShare = 0.1;

}  // namespace

void DetEx_EventDetectorParams::setSettings(std::wistream& in)
{
    in >> mHeight;
    mRegion.SetNoLimits();
}

void DetEx_EventDetectorParams::getSettings(KVD::OStringStream& out) const { out << mHeight << wchar_t(0); }

EEH3::FloatExWrapper* DetEx_EventDetectorParams::Flow() const
{
    return SourceCount() > 0 ? dynamic_cast<EEH3::FloatExWrapper*>(&Source(0)) : nullptr;
}

bool DetEx_EventAlgorithm::FindEvent(DetEx_DetectorState& state, DetEx_EventDetectorParams& params,
                                     DetEx_Event& event)
{
    EEH3::FloatExWrapper* flow = params.Flow();
    if (state.mHitEnd || flow == nullptr) {
        state.mNextIncompleteTick = kNoTick;
        return false;
    }
    if (!flow->IsValid()) {
        state.mNextIncompleteTick = flow->CompletelyExhausted() ? kNoTick : state.mCycleStartTick;
        return false;
    }
    // A cycle open at the search's limit is read to its end.
    flow->SetEndTick(kNoTick);
    const double sampling = params.mSampling;
    while (flow->IsValid() && state.mNextIncompleteTick < state.mAnalysisEnd) {
        const float x = flow->deref();
        const int32_t tick = flow->GetPosition();
        flow->Advance();
        const double d = x * sampling;
        if (state.mPhase == 0)
            state.mPhase = x >= 0 ? 1 : 2;
        if (x >= 0)
            state.mPositiveVolume += d;
        else
            state.mNegativeVolume -= d;
        if (d >= 0 && state.mPhase == 2) {
            if (!(state.mNegativeVolume > kShare * state.mPositiveVolume))
                continue;
            if (state.mCycleStartTick >= state.mAnalysisEnd) {
                // Completed again by a later search, at the next sample that passes the test.
                state.mNextIncompleteTick = state.mCycleStartTick;
                return false;
            }
            event.tick = state.mCycleStartTick;
            event.fraction = 0.0f;
            event.value = state.mNegativeVolume;
            state.mPhase = 1;
            state.mPositiveVolume = d;
            state.mCycleStartTick = tick;
            state.mPreviousNegativeVolume = state.mNegativeVolume;
            state.mNegativeVolume = 0.0;
            state.mNextIncompleteTick = tick;
            return true;
        }
        if (d < 0 && state.mPhase == 1 && state.mPositiveVolume > kShare * state.mPreviousNegativeVolume)
            state.mPhase = 2;
    }
    state.mNextIncompleteTick = state.mCycleStartTick;
    return false;
}

const CalcEnums::NumericParamsFuncTable DetEx_Enumerator::sFuncTable = {
    kParamNames, kParamRanges, kParamTypes, 2, 1, kAliases, 1, 0xA0000000u, kEnumDataEvents};

CalcEnums::CalcEnumClassBase2::Traits DetEx_Enumerator::sTraits = {
    L"SpTidalVolume", L"Measures tidal volume from a respiratory flow signal.", &TidalEventEnumGUID, 0};

}  // namespace Spirometry
