#include "spirometry/SpBreathEventEnumerator.h"

#include <cfloat>
#include <cmath>

#include "CalcEnumTypes.h"
#include "spirometry/SpFlowEnumerator.h"
#include "spirometry/SpiroIds.h"

namespace Spirometry {

namespace {

const wchar_t* const kParamNames[] = {L"Flow Source", L"Vol Source", L"mHeight", L"PNEND"};
const CalcEnums::Range kParamRanges[] = {{0, 0}, {0, 0}, {0, DBL_MAX}, {-1, -1}};
const KVDEnumDataType kParamTypes[] = {kEnumDataSamples, kEnumDataSamples, kEnumDataSamples};
const wchar_t* const kAliases[] = {L"SpBreathEvent", L"SpBreathEventEx", L"ALEND"};

using State = SpBreathEventState;

// A sample lies below a candidate's magnitude when it is smaller than the candidate's size:
// negative flow always does, so a candidate follows the flow up to where it rises past zero.
bool BelowMagnitude(float x, float candidate) { return x < std::fabs(candidate); }

void ResetPeaks(State& state, double level)
{
    state.mMaxFlow = static_cast<float>(level - 1.0);
    state.mMinFlow = static_cast<float>(level + 1.0);
    state.mMaxVol = -FLT_MAX;
    state.mMinVol = FLT_MAX;
}

// A fresh search for the start of a breath, from the current tick.
void StartSearch(State& state, double level)
{
    ResetPeaks(state, level);
    state.mMaxFlowTick = state.mMinFlowTick = state.mTick;
    state.mStart = state.mReversal = state.mEnd = {state.mTick, FLT_MAX};
    state.mMaxVolTick = state.mMinVolTick = 0;
    state.mReversalFound = false;
    state.mFreshSearch = false;
}

// Without a start of its own a breath begins where the previous one ended.
void TakeStartFromPreviousEnd(State& state)
{
    if (state.mStartFound)
        return;
    state.mStart = state.mEnd;
    state.mStartFound = true;
    state.mEnd.value = FLT_MAX;
}

// Phase 1: the start candidate follows the flow until it rises above the level, or falls
// below the negative level (a recording that begins in expiration). The sample that ends the
// phase is consumed here.
void WaitForBreath(State& state, double level, float x)
{
    if (x > level)
        state.mPhase = 2;
    if (BelowMagnitude(x, state.mStart.value)) {
        state.mStart = {state.mTick, x};
        state.mStartFound = true;
    }
    if (state.mPhase == 1 && x < -level) {
        // Recorded where the expiration's own samples begin, the tick after this one.
        state.mBeganInExpiration = true;
        state.mPhase = 3;
        state.mStart = {state.mTick + 1, x};
        state.mStartFound = true;
    }
}

void Inspire(State& state, double level, float x)
{
    state.mBeganInExpiration = false;
    if (x > state.mMaxFlow) {
        state.mMaxFlow = x;
        state.mMaxFlowTick = state.mTick;
    }
    if (x < level)
        state.mPhase = 3;
}

void Expire(State& state, double level, float x, float v)
{
    const int32_t tick = state.mTick;
    const bool newMinimum = x < 0 && x < state.mMinFlow;
    if (newMinimum) {
        state.mMinFlow = x;
        state.mMinFlowTick = tick;
        state.mEnd.value = x;
    }
    if (x > level) {
        state.mPhase = 2;
        if (state.mEnd.tick == state.mStart.tick)
            state.mEnd.tick = tick;
    }
    // In effect the first negative sample of the expiration.
    if (newMinimum && std::fabs(x) < std::fabs(state.mReversal.value)) {
        state.mReversal = {tick, x};
        state.mReversalFound = true;
    }
    if (tick > state.mMinFlowTick && BelowMagnitude(x, state.mEnd.value))
        state.mEnd = {tick, x};
    if (x > -level && state.mBeganInExpiration)
        state.mPhase = 1;
    if (v > state.mMaxVol) {
        state.mMaxVol = state.mMinVol = v;
        state.mMaxVolTick = state.mMinVolTick = tick;
    } else if (v < state.mMinVol) {
        state.mMinVol = v;
        state.mMinVolTick = tick;
    }
}

void WriteBreath(const State& state, SpBreathEvent& event)
{
    event = SpBreathEvent{};
    event.header = {state.mStart.tick, 0.0f, state.mStart.value};
    SpFlowEvent& flow = event.flow;
    flow.maxFlow = state.mMaxFlow;
    flow.minFlow = state.mMinFlow;
    flow.excluded = state.mBeganInExpiration ? 1 : 0;
    flow.startTick = state.mStart.tick;
    flow.endTick = state.mEnd.tick;
    flow.maxFlowTick = state.mMaxFlowTick;
    flow.minFlowTick = state.mMinFlowTick;
    flow.reversalTick = state.mReversal.tick;
    event.maxVolTick = state.mMaxVolTick;
    event.maxVol = state.mMaxVol;
    event.minVolTick = state.mMinVolTick;
    event.minVol = state.mMinVol;
}

// After a breath the search goes on from where it stands: the landmark ticks and the end
// candidate stay, so that the next breath begins at this one's end.
void ClearBreath(State& state, double level)
{
    ResetPeaks(state, level);
    state.mStart.value = state.mReversal.value = FLT_MAX;
    state.mStartFound = false;
    state.mBeganInExpiration = state.mReversalFound = false;
    state.mFreshSearch = state.mPhase == 1;
}

}  // namespace

void SpBreathEventParams::setSettings(std::wistream& in) { in >> mHeight; }

void SpBreathEventParams::getSettings(KVD::OStringStream& out) const { out << mHeight << wchar_t(0); }

EEH3::FloatExWrapper* SpBreathEventParams::Flow() const
{
    return SourceCount() >= 2 ? dynamic_cast<EEH3::FloatExWrapper*>(&Source(0)) : nullptr;
}

EEH3::FloatExWrapper* SpBreathEventParams::Volume() const
{
    return SourceCount() >= 2 ? dynamic_cast<EEH3::FloatExWrapper*>(&Source(1)) : nullptr;
}

bool SpBreathEventAlgorithm::FindEvent(State& state, SpBreathEventParams& params, SpBreathEvent& event)
{
    EEH3::FloatExWrapper* flow = params.Flow();
    EEH3::FloatExWrapper* volume = params.Volume();
    if (state.mHitEnd || flow == nullptr || volume == nullptr)
        return false;
    const double level = params.mHeight;
    if (state.mPhase == 1 && state.mFreshSearch)
        StartSearch(state, level);
    else if (state.mPhase != 1)
        TakeStartFromPreviousEnd(state);
    while (state.mTick < state.mAnalysisEnd && flow->IsValid() && volume->IsValid()) {
        const float x = flow->deref();
        const float v = volume->deref();
        const int32_t phase = state.mPhase;
        if (phase == 1)
            WaitForBreath(state, level, x);
        else if (phase == 2)
            Inspire(state, level, x);
        else
            Expire(state, level, x, v);
        flow->Advance();
        volume->Advance();
        ++state.mTick;
        if (phase == 1 && state.mPhase != 1)
            TakeStartFromPreviousEnd(state);
        if (phase != 3 || state.mPhase == 3)
            continue;
        if (!state.mReversalFound && !state.mBeganInExpiration) {
            state.mPhase = 2;  // a dip during inspiration: the breath goes on
            continue;
        }
        WriteBreath(state, event);
        ClearBreath(state, level);
        return true;
    }
    return false;
}

const CalcEnums::NumericParamsFuncTable SpBreathEventEnumerator::sFuncTable = {
    kParamNames, kParamRanges, kParamTypes, 3, 2, kAliases, 2, 0xA0000000u, kEnumDataEvents};

CalcEnums::CalcEnumClassBase2::Traits SpBreathEventEnumerator::sTraits = {
    L"SpBreathEventEnum3", kFindsFlowEventsText, &GUID_SpEnumObj, kSpBreathEventEnumSubId};

}  // namespace Spirometry
